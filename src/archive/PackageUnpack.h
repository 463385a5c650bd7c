#pragma once
#include <QString>
#include <QStringList>

#include <functional>

// One call for the usual sequence on TZipReader: open zipFile, unpack every
// entry into folder under its bare name, refusing protectedNames; progress
// 0 to 100. Throws ESkinPackage naming the package; its messages name
// shownFolder instead of folder when one is given.
void unpackPackage(const QString &zipFile, const QString &folder, const QStringList &protectedNames,
                   const std::function<void(int)> &progress, const QString &shownFolder = QString());
