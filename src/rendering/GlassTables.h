#pragma once
#include <QtGlobal>

#include <array>

// The three blend tables of the glass window, indexed [background][own]:
// entry = Trunc(i * a + (1 - a) * j * intensity) in 80-bit arithmetic, a
// being the translucency that is blended in (0 where the window system
// blends). With them a pixel's blend and tint cost three look-ups.
class GlassTables
{
public:
    using Table = std::array<quint8, 256 * 256>;

    GlassTables() { calculate(0, 1, 1, 1); }

    void calculate(double a, double redIntensity, double greenIntensity, double blueIntensity);

    const quint8 *red(int background) const { return m_red.data() + 256 * background; }
    const quint8 *green(int background) const { return m_green.data() + 256 * background; }
    const quint8 *blue(int background) const { return m_blue.data() + 256 * background; }
    quint8 red(int background, int own) const { return m_red[256 * background + own]; }
    quint8 green(int background, int own) const { return m_green[256 * background + own]; }
    quint8 blue(int background, int own) const { return m_blue[256 * background + own]; }

    // Bumped by every calculate(); renderings made from older tables are stale.
    quint64 generation() const { return m_generation; }

private:
    static void fill(Table &t, long double a, long double intensity);

    Table m_red{}, m_green{}, m_blue{};
    quint64 m_generation = 0;
};

// The window system's constant alpha for a translucency level 0.0 .. 1.0:
// Round(255 - 255 * level), halves to even.
int layeredAlpha(double transparency);
