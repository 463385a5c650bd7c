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

    // One read of every record's due fields finds the first due alarm, or
    // the moment the next one can come due, without a query and a change
    // notice per record.
    const QVector<AlarmRecord> all = AlarmRecord::readAllDue(alarm);
    double nextDue = std::numeric_limits<double>::infinity();
    int firstDue = -1;
    for (int i = 0; i < all.size() && firstDue < 0; ++i) {
        const double now = ZDateTime::now();
        const AlarmRecord &r = all[i];
        if (AlarmRules::isDue(r.activated, r.date, r.time, now))
            firstDue = i;
        else
            nextDue = std::min(nextDue, AlarmRules::earliestDue(r.activated, r.date, r.time, now));
    }
    if (firstDue < 0) {
        m_nextDue = nextDue;
        m_knownSince = ZDateTime::now();
        m_known = true;
        return;
    }
    // A message changes the table as it goes (an alarm removed, moved on or
    // snoozed): from the first due alarm on, the scan follows the cursor.
    // After a message it may have passed over alarms, so the next tick
    // looks at all of them again.
    for (alarm.setRecNo(firstDue + 1); !alarm.Eof(); alarm.Next()) {
        const double now = ZDateTime::now();
        const AlarmRecord r = AlarmRecord::read(alarm, AlarmRecord::kDueFields);
        if (AlarmRules::isDue(r.activated, r.date, r.time, now)) {
            m_store.markActivated();
            m_store.alarm2().setRecNo(alarm.RecNo());
            if (m_showMessage)
                m_showMessage();
        }
    }
}
