#include "TImage.h"

#include "RectPaint.h"

#include <QPaintEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TImage::setPicture(const QImage &picture)
{
    m_picture = picture;
    prepare();
}

void TImage::setStretch(bool stretch)
{
    if (m_stretch != stretch) {
        m_stretch = stretch;
        prepare();
    }
}

void TImage::setTransparent(bool transparent)
{
    if (m_transparent != transparent) {
        m_transparent = transparent;
        prepare();
    }
}

void TImage::resizeEvent(QResizeEvent *)
{
    if (m_stretch)
        prepare();
}

void TImage::prepare()
{
    if (m_picture.isNull()) {
        m_drawn = QPixmap();
    } else {
        QImage img = m_transparent ? keyedOut(m_picture) : m_picture;
        // Keyed out of an opaque picture, every pixel is either opaque or
        // zero, which premultiplied is the same: the pixmap takes the pixels
        // as they are instead of converting a copy.
        if (m_transparent && !m_picture.hasAlphaChannel())
            img.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        if (m_stretch && img.size() != size() && !size().isEmpty())
            img = img.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        m_drawn = QPixmap::fromImage(std::move(img));
    }
    update();
}

void TImage::paintLayer(QPainter &painter)
{
    if (!m_drawn.isNull())
        painter.drawPixmap(0, 0, m_drawn);
}

void TImage::paintEvent(QPaintEvent *e)
{
    if (m_drawn.isNull())
        return;
    QPainter p(this);
    paintByRects(p, e->region(), [&] { p.drawPixmap(0, 0, m_drawn); });
}
