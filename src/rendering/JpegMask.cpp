#include "JpegMask.h"

#include "OrganicShapeException.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
// after jpeglib.h, which it needs
#include <jerror.h>

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info)
{
    auto *err = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings of damaged but readable files stay quiet, except data that ends
// early: libjpeg would make up the rest of the picture, and a few hundred
// bytes that declare a huge picture would keep it busy for minutes.
void onMessage(j_common_ptr info, int level)
{
    if (level < 0 && (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        onError(info);
}

// As for pictures in tables: 256 MiB at 4 bytes a pixel.
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;

} // namespace

QImage decodeJpegFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw OrganicShapeException("cannot open the mask picture " + fileName + ": " + file.errorString());
    const QByteArray bytes = file.readAll();

    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.emit_message = onMessage;
    err.message[0] = 0;
    // Everything that must be released after a jump lives outside this frame.
    QImage image;
    std::vector<JSAMPLE> row;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        throw OrganicShapeException("cannot decode the mask picture " + fileName + ": " + QString::fromLocal8Bit(err.message));
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);

    const int w = int(info.output_width), h = int(info.output_height);
    if (qint64(w) * h > kMaxPixels) {
        jpeg_destroy_decompress(&info);
        throw OrganicShapeException("cannot decode the mask picture " + fileName + ": too large");
    }
    image = QImage(w, h, QImage::Format_BGR888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        throw OrganicShapeException("cannot decode the mask picture " + fileName + ": too large");
    }
    row.resize(size_t(w) * info.output_components);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        uchar *out = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            int r, g, b;
            if (cmyk) {
                // Adobe writes CMYK inverted: each stored value is 255 - ink.
                const JSAMPLE *p = &row[size_t(x) * 4];
                r = p[0] * p[3] / 255;
                g = p[1] * p[3] / 255;
                b = p[2] * p[3] / 255;
            } else {
                const JSAMPLE *p = &row[size_t(x) * 3];
                r = p[0];
                g = p[1];
                b = p[2];
            }
            out[3 * x] = uchar(b);
            out[3 * x + 1] = uchar(g);
            out[3 * x + 2] = uchar(r);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}
