#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

// The computer's clock: read it, and ask the system to set it. The time
// dialogs and the SNTP client see the clock only through this, so a test can
// run them against a clock of its own without touching the machine's.
class SystemClock
{
public:
    using Done = std::function<void(bool accepted, const QString &reason)>;

    virtual ~SystemClock() = default;

    // Nanoseconds since 1970-01-01 00:00 UTC.
    virtual qint64 nowUnixNanos() const = 0;

    // Asks for the clock to be set to usec microseconds since 1970 UTC, or,
    // when relative, moved by usec. Setting may need the user's
    // authorisation, so the answer comes later: done runs on the main thread
    // with whether the system accepted, unless context is destroyed first.
    virtual void setTime(qint64 usec, bool relative, QObject *context, Done done) = 0;

    QDateTime nowUtc() const;
    QDateTime nowLocal() const;
};
