#include "PngPicture.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QPixelFormat>
#include <QStringList>
#include <QSysInfo>
#include <QtEndian>

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

// What libpng reads: the bytes, and whether the pixels are all read.
struct Source
{
    const png_byte *data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool pixelsRead = false;
};

extern "C" {

static void readSource(png_structp png, png_bytep out, size_t length)
{
    auto *source = static_cast<Source *>(png_get_io_ptr(png));
    const size_t left = source->size - source->pos;
    if (source->pixelsRead && left < 4 && length == 4) {
        // Qt's reader takes a picture whose last chunk lacks its CRC, as
        // some writers leave it, for complete; so must this one.
        static const png_byte iendCrc[4] = {0xae, 0x42, 0x60, 0x82};
        std::memcpy(out, iendCrc, 4);
        source->pos = source->size;
        return;
    }
    if (length > left)
        png_error(png, "Read Error");
    std::memcpy(out, source->data + source->pos, length);
    source->pos += length;
}

// Damaged data: back to the step that was reading, which says so. The
// caller tells what is wrong; libpng's words stay out of the terminal.
static void stopReading(png_structp png, png_const_charp) { png_longjmp(png, 1); }
static void ignoreWarning(png_structp, png_const_charp) {}

} // extern "C"

constexpr quint32 kIdat = 0x49444154, kIend = 0x49454e44;

// Whether each chunk up to the first of type `stop` (or IEND) holds the
// data its length declares. libpng allocates and clears a chunk's declared
// length before reading it: a hundred bytes declaring 2 GB would take that
// much memory and seconds, only for libpng (under Qt's reader too) to find
// the data missing and give up.
bool chunksFit(const QByteArray &bytes, quint32 stop)
{
    qsizetype at = 8;
    while (at + 8 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        const quint32 type = qFromBigEndian<quint32>(bytes.constData() + at + 4);
        if (type == stop)
            return true;
        if (qint64(length) > bytes.size() - at - 8)
            return false;
        if (type == kIend)
            return true;
        at += 12 + qsizetype(length);
    }
    return true;
}

// The steps that call into libpng, each returning false when it jumped out
// on damaged data. They hold nothing that such a jump would have to destroy.
bool readInfo(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

bool setUpRows(png_structp png, png_infop info, bool palette, int depth, bool opaque)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_interlace_handling(png);
    if (palette) {
        // A byte a pixel, as Indexed8 has it; one bit stays packed for Mono.
        if (depth != 1)
            png_set_packing(png);
    } else {
        png_set_expand(png); // a transparent colour becomes alpha
        if (opaque)
            png_set_filler(png, 0xff, PNG_FILLER_AFTER);
        png_set_bgr(png); // (A)RGB32 in a little-endian word
    }
    png_read_update_info(png, info);
    return true;
}

bool readPixels(png_structp png, png_infop end, png_bytepp rows, Source *source)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    source->pixelsRead = true;
    png_read_end(png, end);
    return true;
}

void appendTexts(png_structp png, png_infop info, QStringList &texts)
{
    png_textp text = nullptr;
    int count = 0;
    png_get_text(png, info, &text, &count);
    for (int i = 0; i < count; ++i) {
        texts << QString::fromLatin1(text[i].key);
        texts << (text[i].itxt_length ? QString::fromUtf8(text[i].text, qsizetype(text[i].itxt_length))
                                      : QString::fromLatin1(text[i].text, qsizetype(text[i].text_length)));
    }
}

bool hasSrgbChunk(png_structp png, png_infop info)
{
    int intent = -1;
    if (png_get_valid(png, info, PNG_INFO_sRGB))
        png_get_sRGB(png, info, &intent);
    return intent >= 0 && intent <= 3;
}

// Whether the picture is of a kind decoded here. Colour chunks other than
// sRGB's become colour spaces whose making has changed between versions of
// Qt; grey and 16-bit kinds get formats of their own. All are rare in skins.
bool decodesItself(png_structp png, png_infop info)
{
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return false;
    if (png_get_valid(png, info, PNG_INFO_iCCP))
        return false;
    // libpng reports an sRGB chunk's gamma and chromaticities as its own.
    if (!hasSrgbChunk(png, info) && png_get_valid(png, info, PNG_INFO_gAMA | PNG_INFO_cHRM))
        return false;
    const int type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        return png_get_PLTE(png, info, &palette, &count) && count <= 256;
    }
    return png_get_bit_depth(png, info) == 8 && (type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGB_ALPHA);
}

} // namespace

struct PngPicture::Decoder
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop end = nullptr;
    Source source;

    ~Decoder() { png_destroy_read_struct(&png, &info, &end); }
};

PngPicture::PngPicture(const QByteArray &bytes)
    : m_bytes(bytes)
{
}

PngPicture::~PngPicture() = default;

QSize PngPicture::size()
{
    if (m_state == State::Unread)
        readHeader();
    return m_size;
}

QImage PngPicture::read()
{
    if (m_state == State::Unread)
        readHeader();
    QImage image;
    const bool whole = chunksFit(m_bytes, kIend);
    if (whole && m_state == State::Direct)
        image = decode();
    else if (whole && m_state == State::Handed)
        image = m_reader->read();
    m_state = State::Done;
    m_decoder.reset();
    m_reader.reset();
    m_buffer.reset();
    return image;
}

void PngPicture::readHeader()
{
    m_state = State::Failed;
    if (!chunksFit(m_bytes, kIdat))
        return;
    auto d = std::make_unique<Decoder>();
    d->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopReading, ignoreWarning);
    if (!d->png)
        return;
    d->info = png_create_info_struct(d->png);
    d->end = png_create_info_struct(d->png);
    if (!d->info || !d->end)
        return;
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_MAXIMUM_INFLATE_WINDOW)
    // As Qt's reader: accept the too-small zlib window some writers declare.
    png_set_option(d->png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
#endif
    d->source.data = reinterpret_cast<const png_byte *>(m_bytes.constData());
    d->source.size = size_t(m_bytes.size());
    png_set_read_fn(d->png, &d->source, readSource);
    if (!readInfo(d->png, d->info))
        return;
    if (!decodesItself(d->png, d->info)) {
        m_buffer = std::make_unique<QBuffer>();
        m_buffer->setData(m_bytes);
        m_reader = std::make_unique<QImageReader>(m_buffer.get(), "png");
        // Named and nothing else: guessing would load every image plugin.
        m_reader->setAutoDetectImageFormat(false);
        m_size = m_reader->size();
        m_state = State::Handed;
        return;
    }
    m_size = QSize(int(png_get_image_width(d->png, d->info)), int(png_get_image_height(d->png, d->info)));
    m_decoder = std::move(d);
    m_state = State::Direct;
}

QImage PngPicture::decode()
{
    png_structp png = m_decoder->png;
    png_infop info = m_decoder->info;
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    const bool palette = type == PNG_COLOR_TYPE_PALETTE;
    const bool opaque = type == PNG_COLOR_TYPE_RGB && !png_get_valid(png, info, PNG_INFO_tRNS);
    if (!setUpRows(png, info, palette, depth, opaque))
        return {};

    const QImage::Format format = palette ? (depth == 1 ? QImage::Format_Mono : QImage::Format_Indexed8)
                                          : (opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    // The allocation limit Qt's reader keeps to, with its arithmetic: at
    // least 32 bits a pixel, whatever the format.
    const int bits = qMax(int(QImage::toPixelFormat(format).bitsPerPixel()), 32);
    const qint64 bytesPerLine = (qint64(m_size.width()) * bits + 31) / 32 * 4;
    const int limit = QImageReader::allocationLimit();
    if (limit > 0 && bytesPerLine * m_size.height() > (qint64(limit) << 20))
        return {};
    QImage image(m_size, format);
    if (image.isNull())
        return {};

    if (palette) {
        png_colorp colours = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &colours, &count);
        png_bytep alpha = nullptr;
        int alphas = 0;
        png_color_16p transparent = nullptr;
        if (!png_get_tRNS(png, info, &alpha, &alphas, &transparent) || !alpha)
            alphas = 0;
        image.setColorCount(format == QImage::Format_Mono ? 2 : count);
        for (int i = 0; i < count; ++i)
            image.setColor(i, qRgba(colours[i].red, colours[i].green, colours[i].blue, i < alphas ? alpha[i] : 0xff));
    }

    std::vector<png_bytep> rows(size_t(m_size.height()));
    for (int y = 0; y < m_size.height(); ++y)
        rows[size_t(y)] = image.scanLine(y);
    if (!readPixels(png, m_decoder->end, rows.data(), &m_decoder->source))
        return {};

    if (format == QImage::Format_Indexed8) {
        // Indices beyond the palette show its first colour, as in Qt.
        const int colours = image.colorCount();
        for (int y = 0; y < image.height(); ++y) {
            uchar *p = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x)
                if (p[x] >= colours)
                    p[x] = 0;
        }
    }
    image.setDotsPerMeterX(int(png_get_x_pixels_per_meter(png, info)));
    image.setDotsPerMeterY(int(png_get_y_pixels_per_meter(png, info)));
    png_int_32 offsetX = 0, offsetY = 0;
    int unit = PNG_OFFSET_PIXEL;
    png_get_oFFs(png, info, &offsetX, &offsetY, &unit);
    if (unit == PNG_OFFSET_PIXEL)
        image.setOffset(QPoint(offsetX, offsetY));
    QStringList texts;
    appendTexts(png, info, texts);
    appendTexts(png, m_decoder->end, texts);
    for (int i = 0; i + 1 < texts.size(); i += 2)
        image.setText(texts[i], texts[i + 1]);
    if (hasSrgbChunk(png, info))
        image.setColorSpace(QColorSpace::SRgb);
    return image;
}
