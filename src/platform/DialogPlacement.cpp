#include "DialogPlacement.h"
#include "ClockWindow.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

QPoint besideClock(const QRect &clock, const QSize &dialog, const QSize &screen)
{
    const int right = clock.left() + clock.width();
    const int left = right + dialog.width() < screen.width() ? right : clock.left() - dialog.width();
    int top = clock.top();
    if (screen.height() - 32 < top + dialog.height())
        top = screen.height() - dialog.height() - 32;
    return {left, top};
}

void PlaceBesideClock(QWidget *dialog, const QWidget *clock)
{
    const QScreen *screen = clock->screen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    dialog->adjustSize();
    dialog->move(besideClock(clock->frameGeometry(), dialog->frameGeometry().size(), screenSize));
    // On a narrow screen the window manager pulls a dialog that would stick
    // out back over the clock, and a clock that stays on top would hide it:
    // as the clock's transient the dialog is kept above it.
    // (Not to a clock hidden in the tray: an alarm must show on its own; a
    // dialog opened by another stays that one's transient.)
    if (!dialog->parentWidget() && clock->isVisible() && clock->windowHandle()) {
        dialog->winId();
        dialog->windowHandle()->setTransientParent(clock->windowHandle());
    }
}

FadePause::FadePause(ClockWindow *clock) : m_clock(clock), m_saved(clock->fadeEnabled())
{
    clock->setFadeEnabled(false);
    clock->showOpaque();
}

FadePause::~FadePause()
{
    if (m_restore)
        m_clock->setFadeEnabled(m_saved);
}
