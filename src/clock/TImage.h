#pragma once
#include "KeyedOut.h"
#include "PaintedLayer.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

// A picture control of the face: shows a picture at its own size or
// stretched to the control (nearest pixel, so skin art keeps hard edges),
// optionally leaving out the colour of the picture's bottom-left pixel. The
// drawable form is prepared once per picture or size, never per paint. It
// never takes the mouse: presses reach the window below it.
class TImage : public QWidget, public PaintedLayer
{
public:
    explicit TImage(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    void setStretch(bool stretch);
    void setTransparent(bool transparent);
    bool transparent() const { return m_transparent; }
    quint64 paintKey() override { return quint64(m_drawn.cacheKey()); }
    void paintLayer(QPainter &painter) override;

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;

private:
    void prepare();

    QImage m_picture;
    QPixmap m_drawn;
    bool m_stretch = false;
    bool m_transparent = false;
};
