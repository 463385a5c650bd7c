#include "SkinPreview.h"
#include "KeyedOut.h"

#include <QPainter>

using namespace SkinRules;

SkinPreview::SkinPreview(QWidget *parent) : QWidget(parent)
{
    setFixedSize(kPreviewSide, kPreviewSide);
}

void SkinPreview::setMain(const QImage &picture, PreviewFit fit)
{
    m_main = picture.isNull() ? QImage() : keyedOut(picture);
    m_mainRect = previewRect(fit, picture.size());
    update();
}

void SkinPreview::setHands(const QImage &minute, const QImage &second)
{
    m_handsShown = true;
    m_minute = minute.isNull() ? QImage() : keyedOut(minute);
    m_second = second.isNull() ? QImage() : keyedOut(second);
    update();
}

void SkinPreview::hideHands()
{
    m_handsShown = false;
    m_minute = m_second = QImage();
    update();
}

void SkinPreview::clear()
{
    m_main = m_minute = m_second = QImage();
    m_mainRect = QRect();
    update();
}

void SkinPreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setClipRect(rect());
    // Nearest pixel: skin art keeps its hard edges when stretched.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!m_main.isNull() && !m_mainRect.isEmpty())
        p.drawImage(m_mainRect, m_main);
    if (!m_handsShown)
        return;
    const HandStrip strips[] = {minuteStrip(), secondStrip()};
    const QImage *pictures[] = {&m_minute, &m_second};
    for (int i = 0; i < 2; ++i) {
        if (pictures[i]->isNull())
            continue;
        p.save();
        p.setClipRect(strips[i].visible.intersected(rect()));
        p.drawImage(strips[i].topLeft, *pictures[i]);
        p.restore();
    }
}
