#include "AlarmCheck.h"
#include "AlarmRules.h"
#include "AlarmStore.h"
#include "AlarmTick.h"
#include "DateTime.h"

#include <QScopeGuard>

#include <algorithm>
#include <limits>

AlarmChecker::AlarmChecker(AlarmStore &store, TickControl &tick, ShowMessage show, QObject *parent)
    : QObject(parent), m_store(store), m_tick(tick), m_showMessage(std::move(show))
{
    // Any change of the table outside the scan (a new, edited or removed
    // alarm, a moved cursor) makes the remembered moment doubtful.
    connect(&store.alarm(), &TTable::changed, this, [this] {
        if (!m_scanning)
            m_known = false;
    });
}

void AlarmChecker::CheckAlarms()
{
    TTable &alarm = m_store.alarm();
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
    TTable &alarm = m_store.alarm();
    // No tick may run while the cursor and the alarm in hand are in use; an
    // error in the scan must not leave the tick stopped.
    TickPause pause(m_tick);
    m_scanning = true;
    m_known = false;
    auto done = qScopeGuard([this] { m_scanning = false; });
    ++m_scans;

    bool fired = false;
    double nextDue = std::numeric_limits<double>::infinity();
    for (alarm.First(); !alarm.Eof(); alarm.Next()) {
        const double now = ZDateTime::now();
        const AlarmRecord r = AlarmRecord::read(alarm, AlarmRecord::kDueFields);
        if (AlarmRules::isDue(r.activated, r.date, r.time, now)) {
            fired = true;
            m_store.markActivated();
            m_store.alarm2().setRecNo(alarm.RecNo());
            if (m_showMessage)
                m_showMessage();
        } else {
            nextDue = std::min(nextDue, AlarmRules::earliestDue(r.activated, r.date, r.time, now));
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
