#include "StagedFile.h"
#include "SkinPackageError.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

TStagedFile::TStagedFile(const QString &target, const QString &package, const QString &shown)
    : m_target(target), m_package(package), m_shown(shown.isEmpty() ? target : shown),
      m_file(QFileInfo(target).absolutePath() + "/.zc-unpack-XXXXXX")
{
    if (!m_file.open())
        fail(QString("cannot create a file in %1 (%2)").arg(QFileInfo(m_shown).path(), m_file.errorString()));
}

TStagedFile::~TStagedFile()
{
    if (!m_committed)
        m_file.remove();
}

void TStagedFile::write(const char *data, qint64 size)
{
    if (m_file.write(data, size) != size)
        fail(QString("cannot write %1 (%2)").arg(m_shown, m_file.errorString()));
}

void TStagedFile::finish()
{
    if (!m_file.flush())
        fail(QString("cannot write %1 (%2)").arg(m_shown, m_file.errorString()));
    // The temporary file is private to its owner; the unpacked one is not.
    m_file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    m_file.close();
}

void TStagedFile::commit()
{
    // rename() swaps the new file in at once; QFile::rename would refuse to
    // replace an existing target.
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(QString("cannot put %1 in place (%2)").arg(m_shown, QString::fromLocal8Bit(std::strerror(errno))));
    m_committed = true;
    m_file.setAutoRemove(false);
}

void TStagedFile::fail(const QString &what) const
{
    throw ESkinPackage(QString("Skin package %1: %2").arg(m_package, what));
}
