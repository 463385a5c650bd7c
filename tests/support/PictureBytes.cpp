#include "PictureBytes.h"

#include <QtEndian>

#include <array>

namespace {

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (const char b : bytes)
        c = table[(c ^ quint8(b)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

} // namespace

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type) + data;
    return be32(quint32(data.size())) + body + be32(crc32(body));
}

int pngChunkAt(const QByteArray &png, const char *type)
{
    for (int at = 8; at + 8 <= png.size();) {
        if (png.mid(at + 4, 4) == type)
            return at;
        at += 12 + int(qFromBigEndian<quint32>(png.constData() + at));
    }
    return -1;
}

QByteArray pngBytes(int width, int height)
{
    // Greyscale, one bit deep, no interlace.
    const QByteArray header = be32(quint32(width)) + be32(quint32(height)) + QByteArray("\x01\x00\x00\x00\x00", 5);
    const QByteArray row(1 + (width + 7) / 8, '\0'); // filter byte, then the pixels
    QByteArray raw;
    raw.reserve(row.size() * height);
    for (int y = 0; y < height; ++y)
        raw += row;
    // qCompress puts the length in front of a zlib stream, which is what IDAT holds.
    const QByteArray zlib = qCompress(raw, 9).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", zlib) + pngChunk("IEND", {});
}
