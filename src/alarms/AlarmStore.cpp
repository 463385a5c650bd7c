#include "AlarmStore.h"
#include "AlarmRules.h"
#include "DateTime.h"

AlarmStore::AlarmStore(TTable &alarm, TTable &alarm2, QObject *parent)
    : QObject(parent), m_alarm(alarm), m_alarm2(alarm2)
{
}

AlarmRecord AlarmStore::current() { return AlarmRecord::read(m_alarm); }

void AlarmStore::markActivated()
{
    AlarmRecord r;
    r.activated = true;
    m_alarm.Edit();
    r.write(m_alarm, AlarmRecord::Activated);
    m_alarm.Post();
}

void AlarmStore::closeMessage(const QString &message, bool snoozed, double now)
{
    // Taken before any change: the snooze copies them.
    const AlarmRecord saved = current();
    const int recNo = m_alarm.RecNo();
    bool removedOne = false;
    TTable::transaction({&m_alarm, &m_alarm2}, [&] {
        m_alarm2.setRecNo(recNo);
        if (AlarmRules::repeats(saved.typeIndex)) {
            const AlarmRules::DateAndTime next = saved.typeIndex == AlarmRules::Hourly
                                                     ? AlarmRules::nextHourly(saved.date, saved.time)
                                                     : AlarmRules::nextDaily(saved.date, saved.time);
            AlarmRecord moved = saved;
            moved.date = next.date;
            moved.time = next.time;
            moved.activated = false;
            // The message window's memo is bound to the record: what the
            // user typed stays with the alarm.
            moved.memo = message;
            AlarmRecord::Fields fields = AlarmRecord::Date | AlarmRecord::Activated;
            if (saved.typeIndex == AlarmRules::Hourly)
                fields |= AlarmRecord::Time;
            m_alarm.Edit();
            m_alarm2.Edit();
            moved.write(m_alarm, fields | AlarmRecord::Memo);
            moved.write(m_alarm2, fields);
            m_alarm.Post();
            m_alarm2.Post();
        } else {
            // Every type that does not repeat (also an unknown one) is done.
            m_alarm.setRecNo(m_alarm2.RecNo());
            m_alarm.Delete();
            m_alarm2.Delete();
            removedOne = true;
        }
        if (snoozed) {
            const AlarmRules::DateAndTime d = AlarmRules::splitMoment(AlarmRules::snoozeMoment(now));
            AlarmRecord snooze = saved;
            snooze.memo = message;
            snooze.type = AlarmRules::kSnoozeTypeAlarm;
            snooze.typeIndex = AlarmRules::FiveMinutes;
            snooze.date = d.date;
            snooze.time = d.time;
            snooze.activated = false;
            m_alarm.Append();
            snooze.write(m_alarm, AlarmRecord::kAllFields);
            m_alarm.Post();
            snooze.type = AlarmRules::kSnoozeTypeAlarm2;
            m_alarm2.Append();
            snooze.write(m_alarm2, AlarmRecord::kAlarm2Fields);
            m_alarm2.Post();
        }
    });
    if (removedOne)
        emit removed(recNo);
}

void AlarmStore::remove(int recNo)
{
    if (m_alarm2.RecordCount() == 0 || recNo < 1)
        return;
    TTable::transaction({&m_alarm, &m_alarm2}, [&] {
        m_alarm2.setRecNo(recNo);
        m_alarm.setRecNo(m_alarm2.RecNo());
        m_alarm.Delete();
        m_alarm2.Delete();
    });
    emit removed(recNo);
}

int AlarmStore::save(int recNo, const AlarmRecord &record)
{
    const bool existing = recNo >= 1 && recNo <= m_alarm.RecordCount() && recNo <= m_alarm2.RecordCount();
    int written = 0;
    TTable::transaction({&m_alarm, &m_alarm2}, [&] {
        if (existing) {
            m_alarm.setRecNo(recNo);
            m_alarm2.setRecNo(recNo);
            m_alarm.Edit();
            m_alarm2.Edit();
        } else {
            m_alarm.Append();
            m_alarm2.Append();
        }
        AlarmRecord r = record;
        r.activated = false;
        r.write(m_alarm, AlarmRecord::kAllFields);
        m_alarm.Post();
        r.write(m_alarm2, AlarmRecord::kAlarm2WizardFields);
        m_alarm2.Post();
        written = m_alarm.RecNo();
    });
    return written;
}
