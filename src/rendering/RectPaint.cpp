#include "RectPaint.h"

#include <QPainter>

void paintByRects(QPainter &painter, const QRegion &region, const std::function<void()> &draw)
{
    for (const QRect &r : region) {
        painter.setClipRect(r);
        draw();
    }
    painter.setClipping(false);
}
