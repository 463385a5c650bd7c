#include "TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {

QString baseFor(TempFolder::Where where)
{
    const QFileInfo shm("/dev/shm");
    const bool memory = where == TempFolder::InMemory && shm.isDir() && shm.isWritable();
    const QString name = QCoreApplication::applicationName();
    return (memory ? shm.filePath() : QDir::tempPath()) + "/" + (name.isEmpty() ? "qt_temp" : name) + "-XXXXXX";
}

} // namespace

TempFolder::TempFolder(Where where) : m_dir(baseFor(where))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempFolder::path() const { return m_dir.path() + "/"; }

void TempFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + name.toStdString());
}

QByteArray TempFolder::read(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString sourceDir() { return QStringLiteral(ZC_SOURCE_DIR "/"); }
QString programDir() { return QStringLiteral(ZC_PROGRAM_DIR "/"); }
