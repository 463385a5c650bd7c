#pragma once
#include <QObject>

#include <functional>

class TfClock;

// The tick's alarm step: finds the alarms that are due, marks each, and shows
// its message window while the tick stands still. The scan visits Alarm in
// table order; an alarm's message decides what becomes of it.
//
// Between changes of the alarm table the check remembers the earliest moment
// at which any alarm can come due, so that a tick before that moment reads
// nothing from disk.
class AlarmChecker : public QObject
{
    Q_OBJECT
public:
    explicit AlarmChecker(TfClock &clock);

    // The checker of the clock (made on first use, owned by the clock).
    static AlarmChecker &of(TfClock &clock);
    // Makes the clock's tick run this checker.
    static void install(TfClock &clock);

    void CheckAlarms();

    // Shows the message of the alarm at Alarm's current record and returns
    // when it has been dealt with. By default the modal message window.
    using ShowMessage = std::function<void(TfClock &)>;
    void setShowMessage(ShowMessage show) { m_showMessage = std::move(show); }

    // Full scans of the table so far (a cheap tick does none).
    int scans() const { return m_scans; }

private:
    void scan();

    TfClock &m_clock;
    ShowMessage m_showMessage;
    bool m_scanning = false;
    bool m_known = false;     // m_nextDue holds for the table as it is
    double m_knownSince = 0;  // the moment m_nextDue was worked out
    double m_nextDue = 0;     // no alarm is due before this moment
    int m_scans = 0;
};
