#include "MaskRegion.h"

#include <vector>

namespace {

// Collects a region band by band in Qt's canonical order: bands top to
// bottom, rectangles left to right, a band merged into the one above when
// they touch and have the same spans.
class BandBuilder
{
public:
    // Spans [x0, x1) of row y, left to right, not touching each other.
    void addRow(int y, const std::vector<int> &spans)
    {
        if (spans.empty()) {
            m_lastY = -2; // a gap: nothing below can merge upward
            return;
        }
        if (m_lastY == y - 1 && spans == m_lastSpans) {
            for (size_t i = m_bandStart; i < m_rects.size(); ++i)
                m_rects[i].setBottom(y);
        } else {
            m_bandStart = m_rects.size();
            for (size_t i = 0; i < spans.size(); i += 2)
                m_rects.emplace_back(spans[i], y, spans[i + 1] - spans[i], 1);
            m_lastSpans = spans;
        }
        m_lastY = y;
    }

    QRegion region() const
    {
        QRegion r;
        if (!m_rects.empty())
            r.setRects(m_rects.data(), int(m_rects.size()));
        return r;
    }

private:
    std::vector<QRect> m_rects;
    std::vector<int> m_lastSpans;
    size_t m_bandStart = 0;
    int m_lastY = -2;
};

} // namespace

QRegion maskRegion(const TSpeedBitmap &bitmap, TColor invisible)
{
    const int W = bitmap.width(), H = bitmap.height();
    if (W <= 0 || H <= 0)
        return QRegion();
    const uchar keyBlue = uchar(colorBlue(invisible));
    const uchar keyGreen = uchar(colorGreen(invisible));
    const uchar keyRed = uchar(colorRed(invisible));

    BandBuilder builder;
    std::vector<int> spans; // inside spans of the row: the row minus its runs
    for (int y = 0; y < H; ++y) {
        const uchar *p = bitmap.scanLine(y);
        spans.clear();
        spans.push_back(0);
        int x = 0;
        while (x < W) {
            const uchar *q = p + 3 * x;
            if (q[0] != keyBlue || q[1] != keyGreen || q[2] != keyRed) {
                ++x;
                continue;
            }
            // A run of outside pixels [x0, x) ...
            const int x0 = x;
            do {
                ++x;
                q += 3;
            } while (x < W && q[0] == keyBlue && q[1] == keyGreen && q[2] == keyRed);
            // ... is cut out of the row in one step.
            if (spans.back() == x0)
                spans.back() = x; // the span so far is empty: it starts after the run
            else {
                spans.push_back(x0);
                spans.push_back(x);
            }
        }
        if (spans.back() == W)
            spans.pop_back(); // the last span is empty
        else
            spans.push_back(W);
        builder.addRow(y, spans);
    }
    return builder.region();
}

QRegion maskRegion(const QImage &image, TColor invisible)
{
    TSpeedBitmap b;
    b.assign(image);
    return maskRegion(b, invisible);
}
