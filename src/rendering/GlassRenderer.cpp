#include "GlassRenderer.h"

#include "HueShift.h"

#include <algorithm>

const TSpeedBitmap &GlassRenderer::hueShifted(const TSpeedBitmap &source, quint64 sourceKey, int hue)
{
    if (hue == 0)
        return source;
    if (m_hueValid && sourceKey != 0 && sourceKey == m_hueKey && hue == m_hueOf)
        return m_hue;
    ++m_hueComputations;
    const int W = source.width(), H = source.height();
    m_hue.setSize(W, H);
    // Skins are mostly flat colour: a pixel like its left neighbour reuses
    // its result.
    for (int y = 0; y < H; ++y) {
        const uchar *s = source.scanLine(y);
        uchar *d = m_hue.scanLine(y);
        int lastB = -1, lastG = -1, lastR = -1;
        quint8 outB = 0, outG = 0, outR = 0;
        for (int x = 0; x < W; ++x, s += 3, d += 3) {
            if (s[0] != lastB || s[1] != lastG || s[2] != lastR) {
                lastB = s[0];
                lastG = s[1];
                lastR = s[2];
                outB = s[0];
                outG = s[1];
                outR = s[2];
                shiftHue(outR, outG, outB, hue);
            }
            d[0] = outB;
            d[1] = outG;
            d[2] = outR;
        }
    }
    m_hueKey = sourceKey;
    m_hueOf = hue;
    m_hueValid = sourceKey != 0;
    return m_hue;
}

const TSpeedBitmap &GlassRenderer::tinted(const TSpeedBitmap &source, quint64 sourceKey, int hue)
{
    if (m_tintValid && sourceKey != 0 && sourceKey == m_tintKey && hue == m_tintHue
        && m_tintTables == m_tables.generation())
        return m_tint;
    const TSpeedBitmap &src = hueShifted(source, sourceKey, hue);
    ++m_tintComputations;
    const int W = src.width(), H = src.height();
    m_tint.setSize(W, H);
    const quint8 *red = m_tables.red(255), *green = m_tables.green(255), *blue = m_tables.blue(255);
    for (int y = 0; y < H; ++y) {
        const uchar *s = src.scanLine(y);
        uchar *d = m_tint.scanLine(y);
        for (int x = 0; x < W; ++x, s += 3, d += 3) {
            d[0] = blue[s[0]];
            d[1] = green[s[1]];
            d[2] = red[s[2]];
        }
    }
    m_tintKey = sourceKey;
    m_tintHue = hue;
    m_tintTables = m_tables.generation();
    m_tintValid = sourceKey != 0;
    return m_tint;
}

void GlassRenderer::render(TSpeedBitmap &glass, const TSpeedBitmap &source, quint64 sourceKey, int hue, const Blend *blend)
{
    const int W = source.width(), H = source.height();
    if (!blend) {
        glass.assign(tinted(source, sourceKey, hue).image());
        return;
    }
    if (glass.width() != W || glass.height() != H)
        glass.assign(hueShifted(source, sourceKey, hue).image());
    const TSpeedBitmap *bg = blend->background;
    if (!bg || bg->isEmpty() || W == 0 || H == 0)
        return;
    const int ox = blend->left + blend->bx, oy = blend->top + blend->by;
    const int x0 = std::max(0, -ox), x1 = std::min(W - 1, bg->width() - 1 - ox);
    const int y0 = std::max(0, -oy), y1 = std::min(H - 1, bg->height() - 1 - oy);
    if (x0 > x1 || y0 > y1)
        return;
    const TSpeedBitmap &src = hueShifted(source, sourceKey, hue);
    const quint8 *red = m_tables.red(0), *green = m_tables.green(0), *blue = m_tables.blue(0);
    for (int y = y0; y <= y1; ++y) {
        const uchar *s = src.scanLine(y) + 3 * x0;
        const uchar *b = bg->scanLine(y + oy) + 3 * (x0 + ox);
        uchar *d = glass.scanLine(y) + 3 * x0;
        for (int x = x0; x <= x1; ++x, s += 3, b += 3, d += 3) {
            d[0] = blue[256 * b[0] + s[0]];
            d[1] = green[256 * b[1] + s[1]];
            d[2] = red[256 * b[2] + s[2]];
        }
    }
}
