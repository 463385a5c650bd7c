#pragma once
#include "SystemClock.h"

#include <QDBusError>

// The real clock. Setting goes through systemd-timedated (SetTime on the
// system bus, which lets the desktop ask the user for authorisation); only
// when timedated cannot be reached at all does it fall back to
// clock_settime, which works when the process has the right to set the time.
// A refusal by timedated (denied, or its own NTP sync is on) is final.
class LinuxSystemClock : public SystemClock
{
public:
    qint64 nowUnixNanos() const override;
    void setTime(qint64 usec, bool relative, QObject *context, Done done) override;

    // True for the errors that mean no timedated is there to ask.
    static bool timedatedUnavailable(const QDBusError &error);

private:
    static void setDirectly(qint64 usec, bool relative, QObject *context, const Done &done);
};
