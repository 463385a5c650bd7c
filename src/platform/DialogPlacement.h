#pragma once
#include <QRect>
#include <QSize>

class QWidget;

// Where a dialog opens: right of the clock when it fits on the screen, else
// left of it; level with the clock's top, lifted so that it ends 32 pixels
// above the screen's bottom. Rectangles are outer frames in screen pixels.
QPoint besideClock(const QRect &clock, const QSize &dialog, const QSize &screen);

// Moves the dialog beside the clock window on the clock's screen.
void PlaceBesideClock(QWidget *dialog, const QWidget *clock);

// Fade pause: a dialog that opens keeps the clock opaque and puts the fade
// setting back when it closes.
class ClockWindow;
class FadePause
{
public:
    explicit FadePause(ClockWindow *clock);
    ~FadePause();
    // Leaves the fade setting as it is now instead of restoring it.
    void keepCurrent() { m_restore = false; }
    bool SavedFadeEnabled() const { return m_saved; }

private:
    ClockWindow *m_clock;
    bool m_saved;
    bool m_restore = true;
};
