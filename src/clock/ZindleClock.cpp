#include "AlarmCheck.h"
#include "ErrorReport.h"
#include "InstanceGuard.h"
#include "ZApplication.h"
#include "uClock.h"

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    ZApplication app(argc, argv);
    app.setApplicationName("Zindle Clock");
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
    clock->show();
    return app.exec();
}
