#include "OnScreen.h"

#include <algorithm>

namespace {

// Squared distance between two rectangles; 0 when they touch or overlap.
qint64 distance2(const QRect &a, const QRect &b)
{
    const qint64 dx = std::max({qint64(0), qint64(b.left()) - a.right(), qint64(a.left()) - b.right()});
    const qint64 dy = std::max({qint64(0), qint64(b.top()) - a.bottom(), qint64(a.top()) - b.bottom()});
    return dx * dx + dy * dy;
}

// Inside [low, high - size], or at low when it is larger than the span.
int fitInto(int pos, int size, int low, int high)
{
    return std::max(low, std::min(pos, high - size + 1));
}

} // namespace

QPoint onScreenPosition(const QRect &rect, const QVector<QRect> &screens)
{
    // A window without a size still has a place: its corner pixel.
    const QRect window = rect.isEmpty() ? QRect(rect.topLeft(), QSize(1, 1)) : rect;
    const QRect *nearest = nullptr;
    qint64 best = 0;
    for (const QRect &s : screens) {
        if (s.isEmpty())
            continue;
        if (s.intersects(window))
            return window.topLeft();
        const qint64 d = distance2(window, s);
        if (!nearest || d < best) {
            nearest = &s;
            best = d;
        }
    }
    if (!nearest)
        return window.topLeft();
    return QPoint(fitInto(window.left(), window.width(), nearest->left(), nearest->right()),
                  fitInto(window.top(), window.height(), nearest->top(), nearest->bottom()));
}
