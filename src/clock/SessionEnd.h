#pragma once
#include <QObject>

class QSocketNotifier;
class TfClock;

// Ends the clock the way Exit does when the system ends it: on SIGTERM,
// SIGINT and SIGHUP (logout, shutdown, kill, Ctrl+C), at any moment, also
// while a sound plays or a modal window runs its own loop. The signal only
// writes a byte into a socket pair; the main thread reads it, leaves every
// modal window and menu by its own close path and then closes the clock.
// The session manager's save request saves the settings as Exit does.
//
// One at a time; the signals' previous handlers come back when it goes.
class SessionEnd : public QObject
{
    Q_OBJECT
public:
    explicit SessionEnd(TfClock &clock);
    ~SessionEnd() override;

    // The signals that end the clock.
    static const int Signals[3];

    // What the session manager's save request does.
    void saveForSession();
    // What a signal does, on the main thread.
    void end();

private:
    void readSignals();
    void leaveLoopsThenClose();

    TfClock &m_clock;
    QSocketNotifier *m_notifier = nullptr;
    int m_fds[2] = {-1, -1};
    bool m_ending = false;
    int m_attempts = 0;
};
