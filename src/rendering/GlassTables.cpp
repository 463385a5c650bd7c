#include "GlassTables.h"

#include "Extended.h"

void GlassTables::fill(Table &t, long double a, long double intensity)
{
    // i * a and (1 - a) * j * intensity are the same two products for a
    // whole row or column; only their sum is per entry.
    long double own[256];
    for (int j = 0; j < 256; ++j)
        own[j] = (1 - a) * j * intensity;
    for (int i = 0; i < 256; ++i) {
        const long double background = i * a;
        quint8 *row = t.data() + 256 * i;
        for (int j = 0; j < 256; ++j) {
            row[j] = quint8(truncNonNegative(background + own[j]));
        }
    }
}

void GlassTables::calculate(double a, double redIntensity, double greenIntensity, double blueIntensity)
{
    fill(m_red, a, redIntensity);
    // Equal intensities give equal tables: copy rather than recompute.
    if (greenIntensity == redIntensity)
        m_green = m_red;
    else
        fill(m_green, a, greenIntensity);
    if (blueIntensity == redIntensity)
        m_blue = m_red;
    else if (blueIntensity == greenIntensity)
        m_blue = m_green;
    else
        fill(m_blue, a, blueIntensity);
    ++m_generation;
}

int layeredAlpha(double transparency)
{
    return int(roundEven(255 - 255 * (long double)transparency));
}
