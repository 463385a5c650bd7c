#include "ImagePluginLookout.h"
#include "MappedFiles.h"
#include "PictureBytes.h"
#include "PngMaker.h"
#include "PngPicture.h"
#include "ProgramIcon.h"
#include "TempFolder.h"

#include <QBuffer>
#include <QColorSpace>
#include <QIcon>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>

namespace {

PngKind kind(PngKind::ColourType type, int depth, const std::function<void(PngKind &)> &more = {})
{
    PngKind k;
    k.type = type;
    k.depth = depth;
    if (more)
        more(k);
    return k;
}

QImage readByQt(const QByteArray &bytes, QSize *size)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    *size = reader.size();
    return reader.read();
}

// Everything of the picture Qt's reader gives that the one here gives too.
QImage expectReadAsQtReadsIt(const QByteArray &bytes)
{
    QSize qtSize;
    const QImage qt = readByQt(bytes, &qtSize);
    PngPicture png(bytes);
    EXPECT_EQ(png.size(), qtSize);
    const QImage ours = png.read();
    EXPECT_EQ(ours.isNull(), qt.isNull());
    EXPECT_EQ(ours.format(), qt.format());
    EXPECT_EQ(ours.size(), qt.size());
    EXPECT_TRUE(ours == qt) << "pixels differ";
    EXPECT_EQ(ours.colorTable(), qt.colorTable());
    EXPECT_TRUE(ours.colorSpace() == qt.colorSpace()) << "colour space";
    EXPECT_EQ(ours.dotsPerMeterX(), qt.dotsPerMeterX());
    EXPECT_EQ(ours.dotsPerMeterY(), qt.dotsPerMeterY());
    EXPECT_EQ(ours.offset(), qt.offset());
    EXPECT_EQ(ours.textKeys(), qt.textKeys());
    for (const QString &key : qt.textKeys())
        EXPECT_EQ(ours.text(key), qt.text(key)) << key.toStdString();
    return ours;
}

QByteArray withChunk(QByteArray png, const char *type, const std::function<void(QByteArray &)> &change)
{
    const int at = pngChunkAt(png, type);
    const int length = int(qFromBigEndian<quint32>(png.constData() + at));
    QByteArray data = png.mid(at + 8, length);
    change(data);
    return png.replace(at, 12 + length, pngChunk(type, data));
}

// A picture whose zlib stream declares a 256-byte window but refers back a
// row (601 bytes): some writers get the window wrong, and Qt reads them.
QByteArray pngWithTooSmallZlibWindow()
{
    QByteArray raw;
    for (int y = 0; y < 4; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < 600; ++x)
            raw += char(x * 7 % 251);
    }
    QByteArray zlib = qCompress(raw, 9).mid(4); // without qCompress's length
    zlib[0] = char(0x08); // deflate, window of 256 bytes
    zlib[1] = char(31 - (0x08 * 256) % 31);
    QByteArray header;
    header += QByteArray("\0\0\0\xc8\0\0\0\x04\x08\x02\0\0\0", 13); // 200 x 4, RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", zlib)
           + pngChunk("IEND", {});
}

} // namespace

// Each kind of PNG comes out as Qt's reader gives it, whether it is decoded
// here or handed to Qt: format, pixels, colour table, colour space,
// resolution, offset, texts. Downstream (face, keying, tint) sees the same.
TEST(PngPicture, EveryKindReadsAsQtReadsIt)
{
    using K = PngKind;
    const struct
    {
        const char *what;
        PngKind kind;
        QImage::Format format;
        bool colourSpace;
    } cases[] = {
        // Decoded here.
        {"RGB", kind(K::Rgb, 8), QImage::Format_RGB32, false},
        {"RGB, interlaced", kind(K::Rgb, 8, [](K &k) { k.interlaced = true; }), QImage::Format_RGB32, false},
        {"RGB, a transparent colour", kind(K::Rgb, 8, [](K &k) { k.transparentColour = true; }),
         QImage::Format_ARGB32, false},
        {"RGBA", kind(K::Rgba, 8), QImage::Format_ARGB32, false},
        {"RGBA, interlaced", kind(K::Rgba, 8, [](K &k) { k.interlaced = true; }), QImage::Format_ARGB32, false},
        {"palette of 256", kind(K::Palette, 8, [](K &k) { k.paletteSize = 256; }), QImage::Format_Indexed8, false},
        {"palette of 5, 3 alphas, indices beyond",
         kind(K::Palette, 8, [](K &k) { k.paletteSize = 5, k.alphas = 3; }), QImage::Format_Indexed8, false},
        {"palette, 4 bits, interlaced",
         kind(K::Palette, 4, [](K &k) { k.paletteSize = 16, k.interlaced = true; }), QImage::Format_Indexed8, false},
        {"palette, 2 bits, of 3 with alphas", kind(K::Palette, 2, [](K &k) { k.paletteSize = 3, k.alphas = 2; }),
         QImage::Format_Indexed8, false},
        {"palette, 1 bit", kind(K::Palette, 1, [](K &k) { k.paletteSize = 2; }), QImage::Format_Mono, false},
        {"palette, 1 bit, of 1 with alpha", kind(K::Palette, 1, [](K &k) { k.paletteSize = 1, k.alphas = 1; }),
         QImage::Format_Mono, false},
        {"sRGB", kind(K::Rgb, 8, [](K &k) { k.srgbIntent = 0; }), QImage::Format_RGB32, true},
        {"sRGB, its gamma", kind(K::Rgba, 8, [](K &k) { k.srgbIntent = 3, k.gamma = 0.45455; }),
         QImage::Format_ARGB32, true},
        {"sRGB, other chromaticities (all dropped)",
         kind(K::Rgba, 8, [](K &k) { k.srgbIntent = 1, k.chromaticities = true; }), QImage::Format_ARGB32, false},
        {"texts, resolution, offset", kind(K::Rgba, 8, [](K &k) {
             k.texts = true, k.dotsPerMeter = QSize(2835, 5000), k.offset = QPoint(-3, 12);
         }),
         QImage::Format_ARGB32, false},
        {"offset in micrometres", kind(K::Rgb, 8, [](K &k) { k.offset = QPoint(5, 6), k.offsetInMicrons = true; }),
         QImage::Format_RGB32, false},
        // Handed to Qt.
        {"ICC profile", kind(K::Rgb, 8, [](K &k) { k.iccProfile = true; }), QImage::Format_RGB32, true},
        {"gamma", kind(K::Rgb, 8, [](K &k) { k.gamma = 0.45455; }), QImage::Format_RGB32, true},
        {"gamma 1", kind(K::Palette, 8, [](K &k) { k.paletteSize = 20, k.gamma = 1.0; }), QImage::Format_Indexed8,
         true},
        {"gamma and chromaticities", kind(K::Rgb, 8, [](K &k) { k.gamma = 0.5, k.chromaticities = true; }),
         QImage::Format_RGB32, true},
        {"grey, 1 bit", kind(K::Grey, 1), QImage::Format_Mono, false},
        {"grey, 1 bit, transparent", kind(K::Grey, 1, [](K &k) { k.transparentColour = true; }), QImage::Format_Mono,
         false},
        {"grey, 2 bits", kind(K::Grey, 2), QImage::Format_Indexed8, false},
        {"grey, 4 bits, interlaced", kind(K::Grey, 4, [](K &k) { k.interlaced = true; }), QImage::Format_Indexed8,
         false},
        {"grey", kind(K::Grey, 8), QImage::Format_Grayscale8, false},
        {"grey, transparent", kind(K::Grey, 8, [](K &k) { k.transparentColour = true; }), QImage::Format_Indexed8,
         false},
        {"grey, 16 bits", kind(K::Grey, 16), QImage::Format_Grayscale16, false},
        {"grey, 16 bits, transparent", kind(K::Grey, 16, [](K &k) { k.transparentColour = true; }),
         QImage::Format_RGBA64, false},
        {"grey and alpha", kind(K::GreyAlpha, 8), QImage::Format_ARGB32, false},
        {"grey and alpha, 16 bits", kind(K::GreyAlpha, 16), QImage::Format_RGBA64, false},
        {"RGB, 16 bits", kind(K::Rgb, 16), QImage::Format_RGBX64, false},
        {"RGB, 16 bits, transparent", kind(K::Rgb, 16, [](K &k) { k.transparentColour = true; }),
         QImage::Format_RGBA64, false},
        {"RGBA, 16 bits, interlaced", kind(K::Rgba, 16, [](K &k) { k.interlaced = true; }), QImage::Format_RGBA64,
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QImage image = expectReadAsQtReadsIt(pngMade(c.kind));
        EXPECT_EQ(image.format(), c.format);
        EXPECT_EQ(image.size(), QSize(9, 7));
        EXPECT_EQ(image.colorSpace().isValid(), c.colourSpace);
    }
}

// Damaged bytes are refused (or, where Qt's reader lets them pass, read) as
// Qt's reader does; nothing is read beyond the bytes.
TEST(PngPicture, DamagedBytesFailAsWithQt)
{
    const QByteArray rgb = pngMade(kind(PngKind::Rgb, 8, [](PngKind &k) { k.dotsPerMeter = QSize(3000, 3000); }));
    const QByteArray palette = pngMade(kind(PngKind::Palette, 8, [](PngKind &k) { k.paletteSize = 7; }));
    const int idat = pngChunkAt(rgb, "IDAT"), iend = pngChunkAt(rgb, "IEND");
    auto flipped = [](QByteArray png, int at) {
        png[at] = char(png[at] ^ 0x55);
        return png;
    };
    auto header = [&](const QByteArray &png, int at, QByteArray value) {
        return withChunk(png, "IHDR", [&](QByteArray &data) { data.replace(at, value.size(), value); });
    };
    const struct
    {
        const char *what;
        QByteArray bytes;
        bool read;
    } cases[] = {
        {"no bytes", {}, false},
        {"signature only", rgb.left(8), false},
        {"garbage", QByteArray(200, 'x'), false},
        {"cut in the header", rgb.left(20), false},
        {"cut in the pixels", rgb.left(idat + 20), false},
        {"no end chunk", rgb.left(iend), false},
        {"end chunk cut in its type", rgb.left(iend + 6), false},
        {"end chunk without its CRC", rgb.left(rgb.size() - 4), true},
        {"end chunk with half its CRC", rgb.left(rgb.size() - 2), true},
        {"bytes after the end", rgb + "more", true},
        {"header's CRC wrong", flipped(rgb, 8 + 8 + 13), false},
        {"pixels' CRC wrong", flipped(rgb, iend - 1), false},
        {"resolution's CRC wrong", flipped(rgb, pngChunkAt(rgb, "pHYs") + 8 + 9), true},
        {"zlib window declared too small", pngWithTooSmallZlibWindow(), true},
        {"pixel data no zlib stream", withChunk(rgb, "IDAT", [](QByteArray &d) { d.fill('\x13'); }), false},
        {"zero width", header(rgb, 0, QByteArray(4, '\0')), false},
        {"zero height", header(rgb, 4, QByteArray(4, '\0')), false},
        {"width beyond libpng's limit", header(rgb, 0, QByteArray("\x00\x20\x00\x00", 4)), false},
        {"RGB of 4 bits", header(rgb, 8, QByteArray(1, '\4')), false},
        {"unknown colour type", header(rgb, 9, QByteArray(1, '\7')), false},
        {"no pixels", rgb.left(idat) + rgb.mid(iend), false},
        {"palette missing", palette.left(pngChunkAt(palette, "PLTE")) + palette.mid(pngChunkAt(palette, "IDAT")),
         false},
        {"palette cut", palette.left(pngChunkAt(palette, "IDAT") + 30), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(!expectReadAsQtReadsIt(c.bytes).isNull(), c.read);
    }
}

// A chunk declaring more data than there are bytes fails to read, as with
// Qt's reader (not run here: libpng would take and clear the 2 GB first).
TEST(PngPicture, ChunksLongerThanTheBytesAreNotAllocated)
{
    const QByteArray rgb = pngMade(kind(PngKind::Rgb, 8));
    const QByteArray grey = pngMade(kind(PngKind::Grey, 8));
    const QByteArray huge = QByteArray("\x7a\0\0\x14tEXt", 8) + "Title";
    auto before = [&](const QByteArray &png, const char *type) {
        return QByteArray(png).insert(pngChunkAt(png, type), huge);
    };
    const struct
    {
        const char *what;
        QByteArray bytes;
        QSize size;
    } cases[] = {
        {"before the pixels", before(rgb, "IDAT"), QSize()},
        {"after the pixels", before(rgb, "IEND"), QSize(9, 7)},
        {"before a grey picture's pixels", before(grey, "IDAT"), QSize()},
        {"after a grey picture's pixels", before(grey, "IEND"), QSize(9, 7)},
    };
    const qint64 peak = peakResidentKilobytes();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        PngPicture png(c.bytes);
        EXPECT_EQ(png.size(), c.size);
        EXPECT_TRUE(png.read().isNull());
    }
    EXPECT_LT(peakResidentKilobytes() - peak, 100 * 1024) << "kilobytes more at the peak";
}

// A picture needing more memory than Qt's reader would take is not read.
TEST(PngPicture, KeepsToTheAllocationLimit)
{
    const int before = QImageReader::allocationLimit();
    // 3000 x 1000 pixels of 32 bits: 11.4 MiB; as a palette 2.9 MiB.
    const QByteArray rgb = pngMade(kind(PngKind::Rgb, 8), QSize(3000, 1000));
    const QByteArray palette =
        pngMade(kind(PngKind::Palette, 8, [](PngKind &k) { k.paletteSize = 9; }), QSize(3000, 1000));
    for (int limit : {11, 12, 2, 3}) {
        SCOPED_TRACE(limit);
        QImageReader::setAllocationLimit(limit);
        expectReadAsQtReadsIt(rgb);
        expectReadAsQtReadsIt(palette);
    }
    QImageReader::setAllocationLimit(11);
    EXPECT_TRUE(PngPicture(rgb).read().isNull());
    QImageReader::setAllocationLimit(12);
    EXPECT_FALSE(PngPicture(rgb).read().isNull());
    QImageReader::setAllocationLimit(before);
}

// The kinds skin pictures and the icon are read without Qt looking for
// image plugins (reading the metadata of each, a cost at every start).
TEST(PngPicture, CommonKindsAreReadWithoutLookingForImagePlugins)
{
    // CTest runs each case in its own process: no reader has been made yet.
    ImagePluginLookout lookout;
    ASSERT_FALSE(lookout.looked()) << "image plugins were looked for before the test";
    for (const PngKind &made :
         {kind(PngKind::Rgb, 8), kind(PngKind::Rgba, 8, [](PngKind &k) { k.interlaced = true; }),
          kind(PngKind::Palette, 4, [](PngKind &k) { k.paletteSize = 16, k.alphas = 4; }),
          kind(PngKind::Rgb, 8, [](PngKind &k) { k.srgbIntent = 0, k.gamma = 0.45455, k.texts = true; })})
        EXPECT_FALSE(PngPicture(pngMade(made)).read().isNull());
    EXPECT_TRUE(PngPicture(QByteArray(100, 'x')).read().isNull());

    TempFolder folder;
    for (int s : ProgramIcon::sizes())
        folder.write(ProgramIcon::fileName(s), pngMade(kind(PngKind::Rgba, 8), QSize(s, s)));
    EXPECT_EQ(ProgramIcon::load(folder.path()).availableSizes().size(), ProgramIcon::sizes().size());
    EXPECT_FALSE(lookout.looked());

    // What is handed to Qt's reader shows that a look would be seen.
    EXPECT_FALSE(PngPicture(pngMade(kind(PngKind::Grey, 8))).read().isNull());
    EXPECT_TRUE(lookout.looked());
}
