#include "PngMaker.h"

#include <QColorSpace>

#include <png.h>

#include <csetjmp>
#include <stdexcept>
#include <vector>

namespace {

extern "C" {

static void appendBytes(png_structp png, png_bytep data, size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))->append(reinterpret_cast<const char *>(data), qsizetype(length));
}
static void noFlush(png_structp) {}
static void ignoreWarning(png_structp, png_const_charp) {}

} // extern "C"

struct Parts
{
    std::vector<png_color> palette;
    std::vector<png_byte> alpha;
    png_color_16 transparent{};
    QByteArray icc;
    std::vector<png_bytep> rows;
    png_text before[1]{};
    png_text after[2]{};
};

// Returns false when libpng refused; nothing here needs destroying.
bool write(png_structp png, png_infop info, const PngKind &k, QSize size, Parts *p)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(size.width()), png_uint_32(size.height()), k.depth, k.type,
                 k.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (k.type == PngKind::Palette) {
        png_set_PLTE(png, info, p->palette.data(), int(p->palette.size()));
        if (k.alphas)
            png_set_tRNS(png, info, p->alpha.data(), k.alphas, nullptr);
    }
    if (k.transparentColour)
        png_set_tRNS(png, info, nullptr, 0, &p->transparent);
    if (k.srgbIntent >= 0)
        png_set_sRGB(png, info, k.srgbIntent);
    if (k.gamma > 0)
        png_set_gAMA(png, info, k.gamma);
    if (k.chromaticities)
        png_set_cHRM(png, info, 0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060);
    if (k.iccProfile)
        png_set_iCCP(png, info, "Display P3", PNG_COMPRESSION_TYPE_BASE,
                     reinterpret_cast<png_const_bytep>(p->icc.constData()), png_uint_32(p->icc.size()));
    if (k.texts)
        png_set_text(png, info, p->before, 1);
    if (k.dotsPerMeter.isValid())
        png_set_pHYs(png, info, png_uint_32(k.dotsPerMeter.width()), png_uint_32(k.dotsPerMeter.height()),
                     PNG_RESOLUTION_METER);
    if (!k.offset.isNull())
        png_set_oFFs(png, info, k.offset.x(), k.offset.y(),
                     k.offsetInMicrons ? PNG_OFFSET_MICROMETER : PNG_OFFSET_PIXEL);
    png_write_info(png, info);
    png_write_image(png, p->rows.data());
    if (k.texts)
        png_set_text(png, info, p->after, 2);
    png_write_end(png, info);
    return true;
}

} // namespace

QByteArray pngMade(const PngKind &kind, QSize size)
{
    static char key1[] = "Title", key2[] = "Comment", key3[] = "Author", lang[] = "de";
    static char text1[] = "A test picture";
    static char text2[] = "Written after the pixels, and long enough to be worth compressing";
    static char text3[] = "J\xc3\xbcrgen";
    Parts p;
    for (int i = 0; i < kind.paletteSize; ++i)
        p.palette.push_back({png_byte(i * 37), png_byte(255 - i * 11), png_byte(i * 101)});
    for (int i = 0; i < kind.alphas; ++i)
        p.alpha.push_back(png_byte(i * 60 % 256));
    if (kind.iccProfile)
        p.icc = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    p.before[0] = {PNG_TEXT_COMPRESSION_NONE, key1, text1, 0, 0, nullptr, nullptr};
    p.after[0] = {PNG_TEXT_COMPRESSION_zTXt, key2, text2, 0, 0, nullptr, nullptr};
    p.after[1] = {PNG_ITXT_COMPRESSION_NONE, key3, text3, 0, 0, lang, nullptr};

    // Pixels: a pattern that changes along and across the rows, with indices
    // beyond a small palette too.
    const int channels = kind.type == PngKind::Rgb         ? 3
                         : kind.type == PngKind::Rgba      ? 4
                         : kind.type == PngKind::GreyAlpha ? 2
                                                           : 1;
    const int rowBytes = (size.width() * channels * kind.depth + 7) / 8;
    std::vector<std::vector<png_byte>> pixels(size_t(size.height()), std::vector<png_byte>(size_t(rowBytes)));
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < rowBytes; ++x)
            pixels[size_t(y)][size_t(x)] = png_byte(x * (2 * y + 23) + y * 71);
        p.rows.push_back(pixels[size_t(y)].data());
    }
    // The first pixel's value, for a transparent colour.
    const int sampleBytes = kind.depth == 16 ? 2 : 1;
    auto sample = [&](int c) {
        if (kind.depth < 8)
            return png_uint_16(pixels[0][0] >> (8 - kind.depth));
        return png_uint_16(sampleBytes == 2 ? pixels[0][size_t(2 * c)] << 8 | pixels[0][size_t(2 * c + 1)]
                                            : pixels[0][size_t(c)]);
    };
    p.transparent.gray = sample(0);
    if (kind.type == PngKind::Rgb) {
        p.transparent.red = sample(0);
        p.transparent.green = sample(1);
        p.transparent.blue = sample(2);
    }

    QByteArray bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, ignoreWarning);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, appendBytes, noFlush);
    // Indices beyond the palette are written on purpose.
    png_set_benign_errors(png, 1);
    const bool written = write(png, info, kind, size, &p);
    png_destroy_write_struct(&png, &info);
    if (!written)
        throw std::runtime_error("libpng would not write the picture");
    return bytes;
}
