#pragma once
#include "Colors.h"
#include "PaintedLayer.h"
#include "TurnCache.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>

class Backdrop;

// The source turned by angle degrees (counter-clockwise on the screen for a
// positive angle) into a new picture as large as the turned rectangle's
// bounding box; pixels the source does not cover are fill. Nearest-pixel
// sampling in 80-bit arithmetic, so the one-pixel shifts at the quarter
// angles come out the same on every run. The result is RGB32, opaque.
QImage rotateBitmap(const QImage &source, TColor fill, double angle);

// Side of the fixed square a W x H picture is shown in at every angle.
int uniqueSquareSide(int width, int height);

// Puts `under` into `target` at `at`, within `region` (in under's
// coordinates), with the pixels of `keyed` (at `keyedAt` there) over it
// wherever they are not clear. `keyed` holds only clear and opaque pixels,
// as a keyed turn does: that is what drawing it with a painter would give.
void composeKeyed(QImage &target, QPoint at, const QImage &under, const QImage &keyed, QPoint keyedAt,
                  const QRegion &region);

// A picture control that shows its picture turned by Angle. The rotation is
// done once per change into displayBitmap; painting only draws it.
class TRotateImage : public QWidget, public PaintedLayer
{
    Q_OBJECT
public:
    explicit TRotateImage(QWidget *parent = nullptr);
    ~TRotateImage() override;

    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    long double Angle() const { return m_angle; }
    void setAngle(long double angle);
    bool Center() const { return m_center; }
    void setCenter(bool on);
    bool Stretch() const { return m_stretch; }
    void setStretch(bool on);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);
    bool UniqueSize() const { return m_uniqueSize; }
    void setUniqueSize(bool on);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    // The fill of uncovered pixels, and so the colour left out when drawn
    // transparently. White, like the main window, unless set.
    TColor Color() const { return m_color; }
    void setColor(TColor color);

    // The result of the last rotation: what is painted, with the fill where
    // it is drawn transparently.
    QImage displayBitmap() const;
    // Whether displayBitmap is drawn with its bottom-left colour left out.
    bool displayTransparent() const { return m_displayTransparent; }
    // How many rotations this control has done (a turning hand must not
    // redo one for an unchanged angle).
    int rebuildCount() const { return m_rebuilds; }
    // Keeps the finished transparent turns for angles the control comes
    // back to; a rotation that finds its angle there copies instead of
    // turning. For a hand that comes back often (the second hand, every
    // minute): the others would keep memory all day for a turn a minute.
    void setKeepTurns(bool on);
    const TurnCache &keptTurns() const { return m_turns; }

    // Draws what lies under the control from a picture kept of it (see
    // Backdrop) and paints opaquely: a turn then repaints this control
    // alone. Qt never repaints an opaque control for what changes beneath
    // it, so the control watches the window and its other controls: what
    // moves, shows, hides, changes places or paints there, and a picture
    // found stale at its own paint, has it repainted whole. Not for a
    // window that paints through an effect (Wayland).
    void setKeepBackdrop(bool on);
    // Paints each change as it is made instead of at the event loop's next
    // pass. For a control that changes alone on a timer (the second hand):
    // the posted repaint would wake the loop once more, which costs more
    // than painting a hand's few bands. Updates marked elsewhere before it
    // are painted in the same pass.
    void setPaintAtOnce(bool on);
    const Backdrop *backdrop() const { return m_backdrop.get(); }

    quint64 paintKey() override { return quint64(m_rebuilds); }
    void paintLayer(QPainter &painter) override;

protected:
    void paintEvent(QPaintEvent *) override;
    void changeEvent(QEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void PictureChanged();
    void watch(QObject *layer);
    void rebuildRotation();
    void turnKeyed();
    QRect destinationRect() const;
    const QImage &backdropFor(const QRegion &painting);
    bool paintIntoWindow(const QRegion &dirty);

    QImage m_picture;
    bool m_stretch = false;
    bool m_center = false;
    bool m_transparent = false;
    bool m_drawing = false;
    long double m_angle = 0;
    bool m_uniqueSize = true;
    bool m_autoSize = false;
    TColor m_color = clWhite;
    QImage m_display;          // kept only when drawn as it is
    QSize m_displaySize;
    bool m_displayTransparent = false;
    bool m_displayKeyed = false; // the display lives in the drawable alone
    QImage m_drawable; // displayBitmap ready to draw, its key colour cleared
    int m_rebuilds = 0;
    std::unique_ptr<Backdrop> m_backdrop;
    QRegion m_kept;        // drawn pixels of the display bitmap, in bands
    QRegion m_shown;       // where they were last put in the control
    bool m_shownValid = false;
    QImage m_work; // the picture drawn on the fill, before turning
    QImage m_workSource;
    TColor m_workColor = clWhite;
    bool m_workTransparent = false;
    bool m_keepTurns = false;
    bool m_paintAtOnce = false;
    TurnCache m_turns; // turns of m_work, drawn as the drawable holds them
};
