#pragma once
#include <QObject>

#include <functional>

class AlarmStore;
class TickControl;

// The tick's alarm step: finds the alarms that are due, marks each, and shows
// its message while the tick stands still. The scan visits Alarm in table
// order; an alarm's message decides what becomes of it.
//
// Between changes of the alarm table the check remembers the earliest moment
// at which any alarm can come due, so that a tick before that moment reads
// nothing from disk.
class AlarmChecker : public QObject
{
    Q_OBJECT
public:
    // Shows the message of the alarm at Alarm's current record (Alarm2 at the
    // same record) and returns when it has been dealt with: the program's
    // modal message window.
    using ShowMessage = std::function<void()>;

    AlarmChecker(AlarmStore &store, TickControl &tick, ShowMessage show, QObject *parent = nullptr);

    void CheckAlarms();

    void setShowMessage(ShowMessage show) { m_showMessage = std::move(show); }

    // Full scans of the table so far (a cheap tick does none).
    int scans() const { return m_scans; }

private:
    void scan();

    AlarmStore &m_store;
    TickControl &m_tick;
    ShowMessage m_showMessage;
    bool m_scanning = false;
    bool m_known = false;     // m_nextDue holds for the table as it is
    double m_knownSince = 0;  // the moment m_nextDue was worked out
    double m_nextDue = 0;     // no alarm is due before this moment
    int m_scans = 0;
};
