#include "PackageUnpack.h"
#include "ZipReader.h"

void unpackPackage(const QString &zipFile, const QString &folder, const QStringList &protectedNames,
                   const std::function<void(int)> &progress, const QString &shownFolder)
{
    TZipReader reader;
    reader.open(zipFile);
    reader.setBaseFolder(folder);
    reader.setShownFolder(shownFolder);
    reader.setProtectedNames(protectedNames);
    reader.onProgress = progress;
    reader.unpackAll();
}
