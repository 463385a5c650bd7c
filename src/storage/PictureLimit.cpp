#include "PictureLimit.h"
#include "PngPicture.h"

namespace PictureLimit {

bool fits(const QSize &size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxSide && size.height() <= kMaxSide;
}

QSize declaredSize(const QByteArray &bytes)
{
    // Not QImageReader: a package's picture that declares a chunk of 2 GB
    // would have libpng take and clear 2 GB before finding the bytes short.
    return PngPicture(bytes).size();
}

QString tooLargeText(const QSize &size)
{
    return QString("is %1 x %2 pixels, larger than the %3 x %3 a picture may have")
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxSide);
}

} // namespace PictureLimit
