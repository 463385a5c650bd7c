#include "SpeedBitmap.h"

namespace {

// Qt's own conversion goes through a general pixel pipeline and costs a
// window's outline a millisecond at every build; the bytes are the same.
QImage bgrOf(const QImage &rgb32)
{
    QImage out(rgb32.size(), QImage::Format_BGR888);
    for (int y = 0; y < rgb32.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb32.constScanLine(y));
        uchar *o = out.scanLine(y);
        for (int x = 0; x < rgb32.width(); ++x, o += 3) {
            o[0] = uchar(qBlue(in[x]));
            o[1] = uchar(qGreen(in[x]));
            o[2] = uchar(qRed(in[x]));
        }
    }
    return out;
}

} // namespace

void TSpeedBitmap::assign(const QImage &picture)
{
    if (picture.width() == 0 || picture.height() == 0)
        m_image = QImage(0, 0, QImage::Format_BGR888);
    else if (picture.format() == QImage::Format_BGR888)
        m_image = picture;
    else if (picture.format() == QImage::Format_RGB32)
        m_image = bgrOf(picture);
    else
        m_image = picture.convertToFormat(QImage::Format_BGR888);
    Changed();
}

void TSpeedBitmap::setSize(int width, int height)
{
    width = qMax(0, width);
    height = qMax(0, height);
    if (width != m_image.width() || height != m_image.height()) {
        m_image = QImage(width, height, QImage::Format_BGR888);
        if (!m_image.isNull())
            m_image.fill(Qt::black);
    }
    Changed();
}
