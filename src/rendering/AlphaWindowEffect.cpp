#include "AlphaWindowEffect.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

AlphaWindowEffect::AlphaWindowEffect(QWidget *window) : QGraphicsEffect(window) {}

void AlphaWindowEffect::setOutline(const QRegion &outline)
{
    if (outline == m_outline)
        return;
    m_outline = outline;
    update();
}

void AlphaWindowEffect::setOpacity(qreal opacity)
{
    opacity = qBound(0.0, opacity, 1.0);
    if (qFuzzyCompare(opacity, m_opacity))
        return;
    m_opacity = opacity;
    update();
}

void AlphaWindowEffect::draw(QPainter *painter)
{
    auto *window = qobject_cast<QWidget *>(parent());
    if (!window) {
        drawSource(painter);
        return;
    }
    // The window and its children as one picture: drawn straight onto the
    // surface they would ignore the clip and the opacity. Drawn afresh each
    // time (the source's cached picture can lag behind a child that
    // changed), and without the window's mask, which a rendering places at
    // the offset of its bounding box and so cuts off part of the outline;
    // the clip below does the cutting.
    const QRect area = window->rect();
    if (area.isEmpty())
        return;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    QPixmap picture(area.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    window->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren | QWidget::IgnoreMask);
    painter->save();
    if (!m_outline.isEmpty())
        painter->setClipRegion(m_outline, Qt::IntersectClip);
    painter->setOpacity(m_opacity);
    painter->drawPixmap(area.topLeft(), picture);
    painter->restore();
}
