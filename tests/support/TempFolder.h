#pragma once
#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed afterwards. path() ends with "/" like
// the program folder does.
class TempFolder
{
public:
    enum Where { OnDisk, InMemory };
    // InMemory: under /dev/shm where there is one. For tests that kill a
    // writer: a kill is no power cut, what the kernel was given survives it
    // either way, but on a busy disk every sync of the writer takes long.
    explicit TempFolder(Where where = OnDisk);
    QString path() const;
    QString file(const QString &name) const { return path() + name; }
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

// Source and build folders, as the test's environment gives them.
QString sourceDir();
QString programDir();
