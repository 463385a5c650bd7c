#include "ZApplication.h"
#include "ErrorReport.h"

bool ZApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    const auto deliver = [&] { handled = QApplication::notify(receiver, event); };
    // Menu commands and buttons guard themselves; what reaches here unguarded
    // is mostly painting, timers and the like, which fail again and again.
    if (ErrorReport::isUserInput(*event))
        ErrorReport::guard(deliver);
    else
        ErrorReport::guardTick(deliver);
    return handled;
}
