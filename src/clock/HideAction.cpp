#include "HideAction.h"

HideAction hideAction(bool trayAvailable, bool windowManagerAlive)
{
    if (trayAvailable)
        return HideAction::ToTray;
    return windowManagerAlive ? HideAction::Minimise : HideAction::StayAndExplain;
}
