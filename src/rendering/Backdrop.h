#pragma once
#include <QImage>
#include <QRegion>

#include <vector>

class QWidget;

// What lies under a control in its window, the window's own painting and
// the controls below it, kept as one picture. A control that changes every
// second over a still face (the second hand) draws it under itself and is
// marked opaque, so a turn repaints that control alone instead of every
// layer beneath it. The picture is made again whenever one of those layers
// has changed, moved, shown, hidden or changed places. The layers beneath
// are meant to be PaintedLayers: one that is not cannot say whether it
// changed, so the picture is made at every paint and its changes show only
// where the control is painted again.
class Backdrop
{
public:
    // The picture of what is under `control`, at the control's size.
    const QImage &under(QWidget &control);
    // Whether the layers under `control` are known to have changed since
    // the picture was made (one that cannot tell never counts).
    bool stale(QWidget &control);
    // How many times the picture was made.
    int renders() const { return m_renders; }
    // Where the picture last made differs from the one before it, in the
    // control's coordinates: the whole control for a first picture or a
    // new size. Only there does the control show something stale.
    const QRegion &changed() const { return m_changed; }

private:
    QImage m_picture;
    QRegion m_changed;
    std::vector<quint64> m_layers; // what the picture was made of; empty: unknown
    int m_renders = 0;
};
