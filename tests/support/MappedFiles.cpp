#include "MappedFiles.h"

#include <QFile>

bool isMapped(const QString &part)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    // Not readLine-until-atEnd: proc files report no size.
    const QString all = QString::fromUtf8(maps.readAll());
    return all.contains(part);
}
