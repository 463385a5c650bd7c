#include "ZApplication.h"
#include "ErrorReport.h"

bool ZApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    ErrorReport::guard([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
