#include "TreeSnapshot.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

QMap<QString, QString> snapshotTree(const QString &folder)
{
    QMap<QString, QString> entries;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString what = QString::number(int(info.permissions()), 16) + ' ';
        if (info.isSymLink()) {
            what += "link " + info.symLinkTarget();
        } else if (info.isDir()) {
            what += "folder";
        } else {
            QFile f(path);
            QCryptographicHash hash(QCryptographicHash::Sha256);
            what += f.open(QIODevice::ReadOnly) && hash.addData(&f) ? QString(hash.result().toHex()) : "unreadable";
        }
        entries.insert(base.relativeFilePath(path), what);
    }
    return entries;
}
