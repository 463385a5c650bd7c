#pragma once
#include <QByteArray>
#include <QProcessEnvironment>

// The window system the clock asks Qt for. The clock needs X11's window
// semantics (a placed, stay-on-top, shaped window), which a Wayland client
// cannot have: on a Wayland session that also offers an X display
// (XWayland) it runs there. Only without any X display does it run as a
// Wayland client.
namespace PlatformChoice {

// "xcb;wayland" (XWayland, else Wayland when the X display does not answer)
// when the user chose no platform (QT_QPA_PLATFORM unset or empty), an X
// display is set (DISPLAY) and the session is a Wayland one
// (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE "wayland"); otherwise empty:
// Qt's own choice stands.
QByteArray choose(const QProcessEnvironment &env);

// Sets QT_QPA_PLATFORM from choose() for the application about to be made;
// true when it did.
bool apply();
// Takes the setting back once the application is made, so that programs
// the clock starts (the browser of the help page) choose for themselves.
void forget(bool applied);

} // namespace PlatformChoice
