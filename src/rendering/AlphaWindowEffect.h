#pragma once
#include <QGraphicsEffect>
#include <QRegion>

// Where the window system neither cuts a window to a shape nor blends it
// with an opacity (a Wayland client), the shaped glass window paints both
// itself: the whole window, its child controls included, is drawn through
// this effect into a translucent surface, cut to the outline (every pixel
// outside stays at alpha 0) and at the fade's opacity.
class AlphaWindowEffect : public QGraphicsEffect
{
    Q_OBJECT
public:
    // window: the top-level window it is set on, which owns it.
    explicit AlphaWindowEffect(QWidget *window);

    // The outline in the window's coordinates; empty: the whole window.
    void setOutline(const QRegion &outline);
    const QRegion &outline() const { return m_outline; }
    // 0.0 (invisible) to 1.0 (opaque).
    void setOpacity(qreal opacity);
    qreal opacity() const { return m_opacity; }

protected:
    void draw(QPainter *painter) override;

private:
    QRegion m_outline;
    qreal m_opacity = 1.0;
};
