#pragma once
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// Xlib's types without its macros (None, Bool, Status), which clash with
// Qt's and GoogleTest's names.
struct _XDisplay;

// What the tests ask of an X server about the clock's windows, through
// their own connection.
namespace XWindows {

using Display = ::_XDisplay;
using Window = unsigned long;

// The display named (empty: DISPLAY), or null.
Display *open(const QString &name = QString());
void close(Display *display);

// The viewable window of that name (WM_NAME), or 0.
Window find(Display *display, const QString &name);
// Polls until such a window shows; 0 after the time allowed.
Window waitFor(Display *display, const QString &name, int seconds);
// The window's rectangle on the screen.
QRect geometry(Display *display, Window window);
// The number of rectangles of its bounding shape (1 for an unshaped one).
int shapeRectangles(Display *display, Window window);
// The sizes of the icon pictures it offers the window manager (_NET_WM_ICON).
QList<QSize> iconSizes(Display *display, Window window);
// Moves it as a window manager would.
void move(Display *display, Window window, int x, int y);
// Asks it to close, as a window manager's close button does.
void askToClose(Display *display, Window window);

} // namespace XWindows
