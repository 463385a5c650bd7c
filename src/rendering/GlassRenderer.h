#pragma once
#include "GlassTables.h"
#include "SpeedBitmap.h"

// Renders the glass window's picture from the skin: the tint alone, or the
// tint blended with the screen behind the window. What depends only on the
// skin and the hue (the hue round trip), and on those and the tables (the
// tint alone), is kept between renderings, so a fade step costs one pass of
// table look-ups and an unchanged tint costs none. The output is exactly
// what the per-pixel arithmetic gives on every rendering.
class GlassRenderer
{
public:
    GlassTables &tables() { return m_tables; }
    const GlassTables &tables() const { return m_tables; }

    struct Blend
    {
        const TSpeedBitmap *background = nullptr; // screenshot; may be empty
        int left = 0, top = 0; // window position on the screen
        int bx = 0, by = 0;    // border offsets of the client area
    };

    // glass := the rendering of source. sourceKey names the source's pixels
    // (a generation number; 0 means "do not keep anything for it").
    // Without blend, glass becomes the tint alone (row 255 of the tables).
    // With blend, every pixel whose place lies on the background is blended
    // with it; the others keep glass's content. A glass of another size
    // starts as the hue-turned source, so pixels off the background show
    // the skin rather than nothing.
    void render(TSpeedBitmap &glass, const TSpeedBitmap &source, quint64 sourceKey, int hue, const Blend *blend);

    // The source with the hue turned, and the tint alone (kept per key).
    const TSpeedBitmap &hueShifted(const TSpeedBitmap &source, quint64 sourceKey, int hue);
    const TSpeedBitmap &tinted(const TSpeedBitmap &source, quint64 sourceKey, int hue);

    // How many times each kept picture was computed.
    int hueComputations() const { return m_hueComputations; }
    int tintComputations() const { return m_tintComputations; }

private:
    GlassTables m_tables;

    TSpeedBitmap m_hue;
    quint64 m_hueKey = 0;
    int m_hueOf = 0;
    bool m_hueValid = false;

    TSpeedBitmap m_tint;
    quint64 m_tintKey = 0;
    int m_tintHue = 0;
    quint64 m_tintTables = 0;
    bool m_tintValid = false;

    int m_hueComputations = 0;
    int m_tintComputations = 0;
};
