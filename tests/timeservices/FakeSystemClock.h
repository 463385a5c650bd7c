#pragma once
#include "SystemClock.h"

#include <QTimer>
#include <QVector>

// A clock that stands still until the test moves it, and that records the
// changes asked of it instead of touching the machine's clock. refuse makes
// the "system" say no, as it does without the right to set the time.
class FakeSystemClock : public SystemClock
{
public:
    struct Change
    {
        qint64 usec;
        bool relative;
    };

    explicit FakeSystemClock(qint64 unixNanos = 0) : now(unixNanos) {}

    static qint64 nanosOf(const QDateTime &dt) { return dt.toMSecsSinceEpoch() * 1000000; }
    void setNow(const QDateTime &dt) { now = nanosOf(dt); }
    void advanceMs(qint64 ms) { now += ms * 1000000; }

    qint64 nowUnixNanos() const override { return now; }

    void setTime(qint64 usec, bool relative, QObject *context, Done done) override
    {
        changes.push_back({usec, relative});
        if (!refuse)
            now = relative ? now + usec * 1000 : usec * 1000;
        const bool accepted = !refuse;
        const QString reason = refuse ? refuseReason : QString();
        QTimer::singleShot(0, context, [done, accepted, reason] { done(accepted, reason); });
    }

    qint64 now;
    bool refuse = false;
    QString refuseReason = "Interactive authentication required.";
    QVector<Change> changes;
};
