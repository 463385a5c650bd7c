#include "KeyedOut.h"

QImage keyedOut(const QImage &picture)
{
    if (picture.isNull())
        return picture;
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = out.pixel(0, out.height() - 1) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((row[x] | 0xFF000000u) == key)
                row[x] = 0;
    }
    return out;
}
