#include "HandContrast.h"

#include <QVector>
#include <algorithm>
#include <array>
#include <cmath>

namespace HandContrast {

namespace {

// sRGB channel values made linear, once.
const std::array<double, 256> &linearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

double ratio(double la, double lb) { return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05); }

} // namespace

double luminance(QRgb c)
{
    const auto &lin = linearTable();
    return 0.2126 * lin[qRed(c)] + 0.7152 * lin[qGreen(c)] + 0.0722 * lin[qBlue(c)];
}

double contrastRatio(QRgb a, QRgb b) { return ratio(luminance(a), luminance(b)); }

EdgeStats measure(const QImage &faceIn, const QImage &handIn, QPoint handAt, int band, double threshold)
{
    const QImage face = faceIn.convertToFormat(QImage::Format_ARGB32);
    const QImage hand = handIn.convertToFormat(QImage::Format_RGB32);
    const int w = face.width(), h = face.height();
    EdgeStats stats;
    if (hand.isNull() || w == 0 || h == 0)
        return stats;
    const QRgb key = hand.pixel(0, hand.height() - 1);

    // 0: not the hand, 1: under the hand's picture but hidden, 2: hand seen.
    QVector<unsigned char> state(w * h, 0);
    const QRect handRect = QRect(handAt, hand.size()).intersected(face.rect());
    for (int y = handRect.top(); y <= handRect.bottom(); ++y)
        for (int x = handRect.left(); x <= handRect.right(); ++x) {
            const QRgb c = hand.pixel(x - handAt.x(), y - handAt.y());
            if (c == key)
                continue;
            const QRgb f = face.pixel(x, y);
            state[y * w + x] = (f | 0xFF000000u) == c && qAlpha(f) != 0 ? 2 : 1;
        }

    // Luminance of every face pixel near the hand, worked out once.
    const QRect near = handRect.adjusted(-band - 1, -band - 1, band + 1, band + 1).intersected(face.rect());
    QVector<double> lum(w * h, 0.0);
    for (int y = near.top(); y <= near.bottom(); ++y)
        for (int x = near.left(); x <= near.right(); ++x)
            lum[y * w + x] = luminance(face.pixel(x, y));

    auto seen = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && state[y * w + x] == 2; };
    stats.worst = 0;
    bool first = true;
    for (int y = std::max(0, handRect.top() - 1); y <= std::min(h - 1, handRect.bottom() + 1); ++y)
        for (int x = std::max(0, handRect.left() - 1); x <= std::min(w - 1, handRect.right() + 1); ++x) {
            if (state[y * w + x] != 0 || qAlpha(face.pixel(x, y)) == 0)
                continue;
            if (!seen(x - 1, y) && !seen(x + 1, y) && !seen(x, y - 1) && !seen(x, y + 1))
                continue;
            const double outside = lum[y * w + x];
            double best = 1.0;
            bool nearHidden = false;
            for (int yy = y - band; yy <= y + band; ++yy)
                for (int xx = x - band; xx <= x + band; ++xx) {
                    if (seen(xx, yy))
                        best = std::max(best, ratio(lum[yy * w + xx], outside));
                    else if (xx >= 0 && yy >= 0 && xx < w && yy < h && state[yy * w + xx] == 1)
                        nearHidden = true;
                }
            // Beside the character's edge, or where the hand shows through a
            // gap in the character, what is seen is the character's outline.
            if (nearHidden)
                continue;
            ++stats.edgePixels;
            if (best < threshold)
                ++stats.weakPixels;
            if (first || best < stats.worst) {
                stats.worst = best;
                stats.worstAt = QPoint(x, y);
                first = false;
            }
        }
    return stats;
}

} // namespace HandContrast
