#include "AlarmCheck.h"
#include "AlarmRules.h"
#include "AlarmStore.h"
#include "DateTime.h"
#include "uAlarmMessage.h"
#include "uClock.h"

#include <QScopeGuard>

#include <algorithm>
#include <limits>

AlarmChecker::AlarmChecker(TfClock &clock) : QObject(&clock), m_clock(clock)
{
    m_showMessage = [](TfClock &c) {
        TfAlarmMessage window(c);
        window.exec();
    };
    // Any change of the table outside the scan (a new, edited or removed
    // alarm, a moved cursor) makes the remembered moment doubtful.
    connect(&clock.tblAlarm, &TTable::changed, this, [this] {
        if (!m_scanning)
            m_known = false;
    });
}

AlarmChecker &AlarmChecker::of(TfClock &clock)
{
    if (auto *checker = clock.findChild<AlarmChecker *>(QString(), Qt::FindDirectChildrenOnly))
        return *checker;
    return *new AlarmChecker(clock);
}

void AlarmChecker::install(TfClock &clock)
{
    AlarmChecker *checker = &of(clock);
    clock.alarmCheck = [checker] { checker->CheckAlarms(); };
}

void AlarmChecker::CheckAlarms()
{
    TTable &alarm = m_clock.tblAlarm;
    if (alarm.RecordCount() == 0)
        return;
    if (m_known) {
        const double now = ZDateTime::now();
        // A clock set back may have made an earlier moment current again.
        if (now >= m_knownSince && now < m_nextDue)
            return;
    }
    scan();
}

void AlarmChecker::scan()
{
    TTable &alarm = m_clock.tblAlarm;
    AlarmStore &store = AlarmStore::of(m_clock);
    // No tick may run while the cursor and the alarm in hand are in use; an
    // error in the scan must not leave the tick stopped.
    TickPause pause(m_clock);
    m_scanning = true;
    m_known = false;
    auto done = qScopeGuard([this] { m_scanning = false; });
    ++m_scans;

    bool fired = false;
    double nextDue = std::numeric_limits<double>::infinity();
    for (alarm.First(); !alarm.Eof(); alarm.Next()) {
        const double now = ZDateTime::now();
        const bool activated = alarm.FieldByName("Activated").asBoolean();
        const double date = alarm.FieldByName("Date").asDateTime();
        const double time = alarm.FieldByName("Time").asDateTime();
        if (AlarmRules::isDue(activated, date, time, now)) {
            fired = true;
            store.markActivated();
            m_clock.tblAlarm2.setRecNo(alarm.RecNo());
            m_showMessage(m_clock);
        } else {
            nextDue = std::min(nextDue, AlarmRules::earliestDue(activated, date, time, now));
        }
    }
    // After a message the table has changed and the scan may have passed
    // over alarms: the next tick looks at all of them again.
    if (!fired) {
        m_nextDue = nextDue;
        m_knownSince = ZDateTime::now();
        m_known = true;
    }
}
