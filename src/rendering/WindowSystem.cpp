#include "WindowSystem.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

WindowSystem::CompositorProbe &probe()
{
    static WindowSystem::CompositorProbe p;
    return p;
}

struct X11
{
    Display *display = nullptr;
    xcb_connection_t *connection = nullptr;
};

X11 x11()
{
    X11 x;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return x;
    // The interface also exists under other platforms with both null.
    if (auto *native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        x.display = native->display();
        x.connection = native->connection();
    }
    if (!x.display || !x.connection)
        return {};
    return x;
}

xcb_screen_t *screenOf(xcb_connection_t *c, int number)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem; ++i, xcb_screen_next(&it))
        if (i == number)
            return it.data;
    return nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const std::string &name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return a;
}

// The WINDOW value of a property, or none when absent or the window is gone.
xcb_window_t windowProperty(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, property, XCB_ATOM_WINDOW, 0, 1), nullptr);
    xcb_window_t value = XCB_WINDOW_NONE;
    if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        std::memcpy(&value, xcb_get_property_value(reply), 4);
    free(reply);
    return value;
}

bool isWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

} // namespace

namespace WindowSystem {

bool compositorRunning(xcb_connection_t *c, int screen)
{
    const xcb_atom_t selection = atom(c, "_NET_WM_CM_S" + std::to_string(screen));
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
    free(reply);
    return owned;
}

bool windowManagerAlive(xcb_connection_t *c, int screenNumber)
{
    xcb_screen_t *screen = screenOf(c, screenNumber);
    if (!screen)
        return false;
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE)
        return false;
    const xcb_window_t wm = windowProperty(c, screen->root, check);
    // A dead manager leaves the root's property behind; its own window,
    // which names itself, goes with it.
    return wm != XCB_WINDOW_NONE && windowProperty(c, wm, check) == wm;
}

bool compositorRunning()
{
    if (isWayland())
        return true;
    const X11 x = x11();
    return x.connection && compositorRunning(x.connection, DefaultScreen(x.display));
}

bool systemMoveWorks()
{
    if (isWayland())
        return true;
    const X11 x = x11();
    return x.connection && windowManagerAlive(x.connection, DefaultScreen(x.display));
}

bool alphaWindows() { return isWayland(); }

void flush()
{
    const X11 x = x11();
    if (x.connection)
        xcb_flush(x.connection);
}

void setCompositorProbe(CompositorProbe p) { probe() = std::move(p); }

bool layeredModeAvailable() { return probe() ? probe()() : compositorRunning(); }

} // namespace WindowSystem
