#include "ClockAlarms.h"
#include "ClockMenu.h"
#include "DisplayCheck.h"
#include "ErrorReport.h"
#include "InstanceGuard.h"
#include "PlatformChoice.h"
#include "SessionEnd.h"
#include "ZApplication.h"
#include "uClock.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    // Qt aborts with a core dump when the display refuses it: say so in one
    // line and end instead.
    const bool platformChosen = PlatformChoice::apply();
    DisplayCheck display;
    const QByteArray displayName = qgetenv("DISPLAY");
    switch (DisplayCheck::plan(qgetenv("QT_QPA_PLATFORM"), displayName)) {
    case DisplayCheck::Plan::NoDisplay:
        std::fprintf(stderr, "Zindle Clock: cannot connect to display: DISPLAY is not set\n");
        return 1;
    case DisplayCheck::Plan::Connect:
        if (!display.connect(displayName)) {
            std::fprintf(stderr, "Zindle Clock: cannot connect to display %s\n", displayName.constData());
            return 1;
        }
        break;
    case DisplayCheck::Plan::LeaveToQt:
        break;
    }
    // The face's tables are opened and its pictures decoded on the other
    // core while Qt starts and the window is made.
    TfClock::prefetchFacePictures();
    // Through shared memory each repaint costs the X server's completion
    // event, read by Qt's X thread and passed on to this one: two wake-ups
    // more a second. The clock's repaints are a hand's few pixels, cheaper
    // sent in the request itself.
    const bool shmChosen = !qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (shmChosen)
        qputenv("QT_XCB_NO_MITSHM", "1");
    ZApplication app(argc, argv);
    display.release();
    PlatformChoice::forget(platformChosen);
    if (shmChosen)
        qunsetenv("QT_XCB_NO_MITSHM"); // programs the clock starts choose for themselves
    app.setApplicationName("Zindle Clock");
    // The clock may be hidden in the tray while a dialog (an alarm) is the
    // only window: closing that must not end the program. Only the clock's
    // own close does.
    app.setQuitOnLastWindowClosed(false);
    InstanceGuard guard("Zindle Watch");
    if (!guard.tryAcquire())
        return 0; // another copy runs: end silently

    std::unique_ptr<TfClock> clock;
    try {
        clock = std::make_unique<TfClock>();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "Zindle Clock: %s\n", e.what());
        return 1;
    }
    ClockAlarms::install(*clock);
    new ClockMenu(*clock);
    // From here on logout, shutdown and kill end the clock as Exit does.
    new SessionEnd(*clock);
    bool closed = false;
    QObject::connect(clock.get(), &TfClock::closed, &app, [&closed] {
        closed = true;
        QCoreApplication::quit();
    });
    clock->show();
    // Ended while it showed (a signal while a failed start's message was
    // open): quit() does nothing before the loop runs.
    if (closed)
        return 0;
    return app.exec();
}
