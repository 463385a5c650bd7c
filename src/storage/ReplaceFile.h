#pragma once

#include <QByteArray>
#include <QString>

// Puts `bytes` in place of the file at `path` whole or not at all. The new
// text goes to one fixed staging name beside the file ("<path>.new") and is
// renamed over it: a write killed half-way leaves the old file whole and at
// most that one stray copy, which the next write reuses. Returns false (the
// old file untouched, the staging copy removed) when the folder or the disk
// refuses.
bool replaceFile(const QString &path, const QByteArray &bytes);
