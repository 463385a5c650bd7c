#pragma once
#include "TempFolder.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

// A private Wayland compositor for one test: weston's headless backend
// (pixman rendering, so that screenshots hold real pixels), a plain
// background, no panel, a socket of a name of its own in a runtime folder
// of its own; with XWayland when asked.
class WestonSession
{
public:
    explicit WestonSession(bool xwayland);
    ~WestonSession();

    // Whether weston came up (with its X display, when asked for one);
    // why not, otherwise.
    bool ready() const { return m_ready; }
    QString log() const { return m_log; }

    QString socket() const { return m_socket; }
    QString runtime() const { return m_runtime.path(); }
    // ":N" of XWayland, or empty.
    QString xDisplay() const { return m_xDisplay; }

    // The environment of a client of this session: the runtime folder, the
    // socket, the X display when there is one; no platform chosen.
    QProcessEnvironment clientEnvironment() const;

    // What the screen shows, through weston-screenshooter.
    QImage screenshot();

    static constexpr QRgb kBackground = 0xff2e5d8a;

private:
    TempFolder m_runtime;
    TempFolder m_work;
    QProcess m_weston;
    QString m_socket;
    QString m_xDisplay;
    QString m_log;
    bool m_ready = false;
};
