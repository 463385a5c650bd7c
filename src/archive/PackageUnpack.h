#pragma once
#include <QString>
#include <QStringList>

#include <functional>

// Unpacks every entry of a skin package into folder under its bare file
// name. Refuses, before writing anything, a package that is damaged,
// encrypted, compressed by an unsupported method, too large once unpacked,
// or that carries one of the protected names. Throws with a message that
// names the package.
void unpackPackage(const QString &zipFile, const QString &folder, const QStringList &protectedNames,
                   const std::function<void(int)> &progress);
