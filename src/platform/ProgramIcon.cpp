#include "ProgramIcon.h"
#include "PngPicture.h"

#include <QFile>
#include <QPixmap>

namespace ProgramIcon {

const QVector<int> &sizes()
{
    static const QVector<int> all = {16, 22, 24, 32, 48, 64};
    return all;
}

QString fileName(int size) { return QString("zindleclock-%1.png").arg(size); }

QStringList fileNames()
{
    QStringList names;
    for (int size : sizes())
        names << fileName(size);
    return names;
}

QIcon load(const QString &programFolder)
{
    QIcon icon;
    for (int size : sizes()) {
        // Not QIcon::addFile: to learn a file's format it asks every image
        // plugin installed, and loads them (SVG's with libQt6Svg among them).
        QFile file(programFolder + fileName(size));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QImage picture = PngPicture(file.readAll()).read();
        if (!picture.isNull())
            icon.addPixmap(QPixmap::fromImage(picture));
    }
    return icon;
}

} // namespace ProgramIcon
