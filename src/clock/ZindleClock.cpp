#include "AlarmCheck.h"
#include "ErrorReport.h"
#include "InstanceGuard.h"
#include "PlatformChoice.h"
#include "ZApplication.h"
#include "uClock.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    const bool platformChosen = PlatformChoice::apply();
    ZApplication app(argc, argv);
    PlatformChoice::forget(platformChosen);
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
    AlarmChecker::install(*clock);
    clock->createMenu();
    QObject::connect(clock.get(), &TfClock::closed, &app, &QCoreApplication::quit);
    clock->show();
    return app.exec();
}
