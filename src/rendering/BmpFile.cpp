#include "BmpFile.h"

#include <QtEndian>

namespace {

void put16(char *at, quint16 v) { qToLittleEndian(v, at); }
void put32(char *at, quint32 v) { qToLittleEndian(v, at); }

} // namespace

QByteArray bmpFile(const QImage &picture)
{
    const QImage image = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    const int rowBytes = (w * 3 + 3) / 4 * 4; // rows are padded to whole 32-bit words
    const int headers = 14 + 40;
    QByteArray bytes(headers + qsizetype(rowBytes) * h, '\0');
    char *d = bytes.data();
    d[0] = 'B';
    d[1] = 'M';
    put32(d + 2, quint32(bytes.size()));
    put32(d + 10, headers);
    put32(d + 14, 40);
    put32(d + 18, quint32(w));
    put32(d + 22, quint32(h)); // positive: the bottom row comes first
    put16(d + 26, 1);
    put16(d + 28, 24);
    put32(d + 34, quint32(rowBytes) * quint32(h));
    put32(d + 38, 2834); // 72 dots an inch, in dots a metre
    put32(d + 42, 2834);
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(h - 1 - y));
        char *out = d + headers + qsizetype(rowBytes) * y;
        for (int x = 0; x < w; ++x) {
            *out++ = char(qBlue(line[x]));
            *out++ = char(qGreen(line[x]));
            *out++ = char(qRed(line[x]));
        }
    }
    return bytes;
}
