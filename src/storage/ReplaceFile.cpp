#include "ReplaceFile.h"

#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

bool replaceFile(const QString &path, const QByteArray &bytes, bool durable)
{
    const QString staging = path + ".new";
    QFile f(staging);
    // flush() and fsync() before the rename: a write refused while the buffer
    // is flushed (a full disk) must not put a cut-off file in place of the
    // old one.
    const bool written = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size()
                         && f.flush() && (!durable || ::fsync(f.handle()) == 0);
    f.close();
    if (!written || std::rename(QFile::encodeName(staging).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(staging);
        return false;
    }
    return true;
}
