#pragma once
#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed afterwards. path() ends with "/" like
// the program folder does.
class TempFolder
{
public:
    TempFolder();
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
