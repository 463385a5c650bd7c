#pragma once
#include <QByteArray>
#include <QPoint>
#include <QSize>

// What a PNG made for a test holds: any colour type and depth libpng
// writes, interlaced or not, with the chunks a reader must deal with.
struct PngKind
{
    enum ColourType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };
    ColourType type = Rgb;
    int depth = 8;
    bool interlaced = false;
    int paletteSize = 0; // palettes: the entries (pixels may use any index the depth allows)
    int alphas = 0;      // palettes: the entries of the tRNS chunk
    bool transparentColour = false; // grey and RGB: a tRNS colour, the first pixel's
    int srgbIntent = -1;            // an sRGB chunk with this intent
    double gamma = 0;               // a gAMA chunk
    bool chromaticities = false;    // a cHRM chunk (Display P3's)
    bool iccProfile = false;        // an iCCP chunk (Display P3's)
    bool texts = false;             // a tEXt before the pixels, a zTXt and an iTXt after
    QSize dotsPerMeter;             // a pHYs chunk
    QPoint offset;                  // an oFFs chunk, in pixels
    bool offsetInMicrons = false;   // ... or in micrometres
};

// A PNG of that kind with patterned pixels, written with libpng (not with
// QImageWriter, which has Qt look for image plugins).
QByteArray pngMade(const PngKind &kind, QSize size = QSize(9, 7));
