#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

const QString &fuzzFolder()
{
    static QTemporaryDir *dir = [] {
        const QString base = QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath();
        auto *d = new QTemporaryDir(base + "/zc-fuzz-XXXXXX");
        if (!d->isValid()) {
            std::fprintf(stderr, "cannot make a scratch folder in %s\n", qPrintable(base));
            std::abort();
        }
        std::atexit([] { delete dir; });
        return d;
    }();
    static const QString path = dir->path() + "/";
    return path;
}

QString writeInput(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = fuzzFolder() + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
