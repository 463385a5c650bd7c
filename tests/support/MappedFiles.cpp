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

qint64 peakResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}
