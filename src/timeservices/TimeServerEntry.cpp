#include "uTimeServer.h"

#include <QtGlobal>

// What the program finds by name when the window first opens: the one way
// into the module.
extern "C" Q_DECL_EXPORT void zindleclock_time_server(TTable &timeTable, SystemClock &clock, ClockWindow *window)
{
    TfTimeServer dialog(timeTable, clock, window);
    dialog.exec();
}
