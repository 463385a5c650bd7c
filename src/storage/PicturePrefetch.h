#pragma once
#include <QByteArray>
#include <QImage>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class TTable;

// Work done on a thread of its own ahead of its use: the start has the
// face's tables opened and their pictures decoded while it makes its window.
// A picture is handed out only for the very bytes it was decoded from, and a
// table only as its file still is, so a guess that proves wrong costs
// nothing but the work.
namespace PicturePrefetch {

// What the thread gives to the waiting program.
class Handover
{
public:
    // Decodes a picture field's bytes and keeps the picture for take().
    void picture(const QByteArray &bytes);
    // A table opened as promised, for takeTable(); null when it will not come.
    void table(const QString &fileName, std::unique_ptr<TTable> opened);
};

// Runs `work` on another thread. The tables of `promised` (file names) are
// waited for by takeTable until work hands them over or ends. A new
// prefetch first finishes the last.
void start(const QStringList &promised, std::function<void(Handover &)> work);
bool promised(const QString &fileName);
// The table opened for this file, once; null when none comes. Waits for it
// only while it is promised.
std::unique_ptr<TTable> takeTable(const QString &fileName);
// The picture decoded from exactly these bytes, once. Waits until it comes
// or the thread ends.
std::optional<QImage> take(const QByteArray &bytes);
// Waits for the thread and drops whatever was not taken.
void finish();

} // namespace PicturePrefetch
