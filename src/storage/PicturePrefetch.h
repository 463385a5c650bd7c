#pragma once
#include <QByteArray>
#include <QImage>
#include <QList>

#include <functional>
#include <optional>

// Pictures decoded on a thread of their own ahead of their use: the start
// has the face's pictures decoded while it makes its window. A picture is
// handed out only for the very bytes it was decoded from, so a guess that
// proves wrong costs nothing but the work.
namespace PicturePrefetch {

// Runs `stored` on another thread and decodes each picture it gives (the
// bytes a picture field holds). A new prefetch first finishes the last.
void start(std::function<QList<QByteArray>()> stored);
// The picture decoded from exactly these bytes, once. Waits for the thread.
std::optional<QImage> take(const QByteArray &bytes);
// Waits for the thread and drops whatever was not taken.
void finish();

} // namespace PicturePrefetch
