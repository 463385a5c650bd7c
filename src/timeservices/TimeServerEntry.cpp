#include "uTimeServer.h"

#include <QtGlobal>

class ClockWindow;
class SystemClock;
class TTable;

extern "C" Q_DECL_EXPORT void zindleclock_time_server(TTable &timeTable, SystemClock &clock, ClockWindow *window)
{
    TfTimeServer dialog(timeTable, clock, window);
    dialog.exec();
}
