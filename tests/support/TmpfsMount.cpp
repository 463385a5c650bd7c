#include "TmpfsMount.h"

#include <QFile>

#include <sys/mount.h>
#include <sys/statvfs.h>

TmpfsMount::TmpfsMount(const QString &path, const QString &size) : m_path(path)
{
    const QByteArray options = "size=" + size.toLatin1();
    m_mounted = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, options.constData()) == 0;
}

TmpfsMount::~TmpfsMount()
{
    // Lazily: a test that failed half-way may still hold files open there.
    if (m_mounted)
        ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
}

bool TmpfsMount::makeReadOnly()
{
    return ::mount(nullptr, QFile::encodeName(m_path).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

bool TmpfsMount::fill()
{
    QFile f(m_path + "filler");
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'x');
    while (f.write(block) == block.size() && f.flush()) {
    }
    f.close();
    struct statvfs st;
    return statvfs(QFile::encodeName(m_path).constData(), &st) == 0 && st.f_bavail == 0;
}

void TmpfsMount::unfill() { QFile::remove(m_path + "filler"); }
