#include "DisplayCheck.h"

#include <xcb/xcb.h>

#include <chrono>
#include <thread>

DisplayCheck::Plan DisplayCheck::plan(const QByteArray &platform, const QByteArray &display)
{
    const qsizetype colon = platform.indexOf(':');
    const QByteArray name = (colon < 0 ? platform : platform.left(colon)).trimmed();
    if (!name.isEmpty() && (name != "xcb" || platform.contains(';')))
        return Plan::LeaveToQt;
    if (!display.isEmpty())
        return Plan::Connect;
    // Unset, without DISPLAY, Qt may still find a Wayland display.
    return name.isEmpty() ? Plan::LeaveToQt : Plan::NoDisplay;
}

bool DisplayCheck::connect(const QByteArray &display, int tries, int pauseMs)
{
    release();
    for (int i = 0; i < tries; ++i) {
        if (i > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        xcb_connection_t *c = xcb_connect(display.constData(), nullptr);
        if (c && !xcb_connection_has_error(c)) {
            m_connection = c;
            return true;
        }
        if (c)
            xcb_disconnect(c);
    }
    return false;
}

void DisplayCheck::release()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}
