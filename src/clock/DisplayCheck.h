#pragma once
#include <QByteArray>

struct xcb_connection_t;

// The X display, checked before the application object is made: Qt ends
// the process with an abort and a core dump when its platform cannot
// connect, for instance while a freshly started X server resets.
class DisplayCheck
{
public:
    enum class Plan {
        LeaveToQt, // another platform (offscreen, wayland) or a list of them
        Connect,   // xcb on the display named by DISPLAY
        NoDisplay, // xcb asked for, but DISPLAY is not set
    };
    // From QT_QPA_PLATFORM and DISPLAY: Qt uses xcb when the platform is
    // "xcb" (with or without options), or unset and DISPLAY is set.
    static Plan plan(const QByteArray &platform, const QByteArray &display);

    DisplayCheck() = default;
    DisplayCheck(const DisplayCheck &) = delete;
    DisplayCheck &operator=(const DisplayCheck &) = delete;
    ~DisplayCheck() { release(); }

    // Connects to the display, trying `tries` times `pauseMs` apart; true
    // once a connection stands. It is held until release(), so that the
    // check itself, leaving as the server's only client, cannot make the
    // server reset under the application's own connection.
    bool connect(const QByteArray &display, int tries = 6, int pauseMs = 250);
    void release();

private:
    xcb_connection_t *m_connection = nullptr;
};
