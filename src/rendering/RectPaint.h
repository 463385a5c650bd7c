#pragma once
#include <QRegion>

#include <functional>

class QPainter;

// Paints the region one rectangle at a time, draw() once under each.
// Under a clip of one rectangle the raster engine copies or blends a
// picture row by row on the calling thread; under a clip of many it blends
// span by span and hands every long run of spans to Qt's thread pool, so
// that each repaint of a turned hand would wake the pool's threads.
void paintByRects(QPainter &painter, const QRegion &region, const std::function<void()> &draw);
