#pragma once
#include <QImage>
#include <QPoint>
#include <QRgb>

// How well a hand stands out from what lies around it on the face.
//
// A hand reads when its outline differs in brightness from its surroundings.
// Each face pixel just outside the hand (not covered by the hand's picture,
// next to a pixel where the hand is seen) is compared with the hand pixels
// within `band` pixels of it: the hand's rim, its outline and halo included.
// The best WCAG contrast ratio among them is that pixel's contrast; a two-tone
// rim (dark line inside a light halo) therefore reads on dark and light
// ground alike. Where a character stands in front of the hand, the edge
// there is the character's: face pixels within `band` of a hidden part of
// the hand are not counted.

namespace HandContrast {

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double luminance(QRgb c);
// (lighter + 0.05) / (darker + 0.05): 1 for equal luminance, 21 for black on white.
double contrastRatio(QRgb a, QRgb b);

struct EdgeStats
{
    int edgePixels = 0;    // face pixels just outside the seen hand
    int weakPixels = 0;    // of those, the ones below the threshold
    double worst = 0;      // lowest contrast of any edge pixel (0 without edge)
    QPoint worstAt;        // where, in face coordinates
    double weakShare() const { return edgePixels ? double(weakPixels) / edgePixels : 0.0; }
};

// face: the drawn face (pixels with alpha 0 lie outside the window and are
// not counted). hand: the hand's turned picture as drawn, its key colour the
// colour of its bottom-left pixel; handAt: where its top-left pixel lies on
// the face. A hand pixel counts as seen where the face shows exactly the
// hand's colour there.
EdgeStats measure(const QImage &face, const QImage &hand, QPoint handAt, int band, double threshold);

} // namespace HandContrast
