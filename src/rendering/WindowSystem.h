#pragma once
#include <functional>

struct xcb_connection_t;

// What the window system underneath offers the shaped glass window.
namespace WindowSystem {

// Whether a compositing manager blends translucent windows: on X11 the
// screen's _NET_WM_CM_Sn selection has an owner; Wayland always composes;
// any other platform (offscreen) does not.
bool compositorRunning();

// Whether a system move will really move the window: Wayland, or X11 with a
// live window manager (the window named by _NET_SUPPORTING_WM_CHECK exists).
bool systemMoveWorks();
// Whether something manages the windows, so that a minimised window can be
// brought back: the same question.
inline bool windowManagerRunning() { return systemMoveWorks(); }

// Whether windows are surfaces the clock must cut and fade itself (a
// Wayland client): the window system ignores a window's shape (beyond where
// it takes input) and its opacity, so the outline and the fade are painted
// as alpha.
bool alphaWindows();

// The same two questions asked of one X server's screen.
bool compositorRunning(xcb_connection_t *connection, int screen);
bool windowManagerAlive(xcb_connection_t *connection, int screen);

// Sends queued requests to the X server (no-op elsewhere).
void flush();

// Tests force either glass mode: a probe replaces compositorRunning() for
// windows created afterwards; an empty one restores the real question.
using CompositorProbe = std::function<bool()>;
void setCompositorProbe(CompositorProbe probe);
// The probe in force, else compositorRunning().
bool layeredModeAvailable();

} // namespace WindowSystem
