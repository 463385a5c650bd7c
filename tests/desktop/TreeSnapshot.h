#pragma once
#include <QMap>
#include <QString>

// Every entry below a folder with what it holds: a file's SHA-256, a
// link's target, a folder's mark; with the permission bits. Two snapshots
// are equal when nothing below the folder was added, removed or changed.
QMap<QString, QString> snapshotTree(const QString &folder);
