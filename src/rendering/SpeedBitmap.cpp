#include "SpeedBitmap.h"

void TSpeedBitmap::assign(const QImage &picture)
{
    if (picture.width() == 0 || picture.height() == 0)
        m_image = QImage(0, 0, QImage::Format_BGR888);
    else if (picture.format() == QImage::Format_BGR888)
        m_image = picture;
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
