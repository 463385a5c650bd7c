#include "PictureLimit.h"

#include <QBuffer>
#include <QImageReader>

namespace PictureLimit {

bool fits(const QSize &size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxSide && size.height() <= kMaxSide;
}

QSize declaredSize(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        return {};
    return reader.size();
}

QString tooLargeText(const QSize &size)
{
    return QString("is %1 x %2 pixels, larger than the %3 x %3 a picture may have")
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxSide);
}

} // namespace PictureLimit
