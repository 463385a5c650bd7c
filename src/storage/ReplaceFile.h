#pragma once

#include <QByteArray>
#include <QString>

// Puts `bytes` in place of the file at `path` whole or not at all. The new
// text goes to one fixed staging name beside the file ("<path>.new") and is
// renamed over it: a write killed half-way leaves the old file whole and at
// most that one stray copy, which the next write reuses. Returns false (the
// old file untouched, the staging copy removed) when the folder or the disk
// refuses.
//
// The new text is on the disk before the rename, unless `durable` is false:
// for a file made again from other data whenever it is used, where a crash
// leaving it empty costs nothing and the wait would cost every write.
bool replaceFile(const QString &path, const QByteArray &bytes, bool durable = true);
