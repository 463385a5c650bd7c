#pragma once

// What the menu's Hide does on the desktop at hand.
enum class HideAction {
    ToTray,        // hide the window; the notification-area icon brings it back
    Minimise,      // no notification area: the window manager keeps it in its list
    StayAndExplain // neither: a hidden or minimised frameless window could not
                   // be brought back, so it stays and the user is told why
};

HideAction hideAction(bool trayAvailable, bool windowManagerAlive);
