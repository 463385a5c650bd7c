#include "AlarmStore.h"
#include "AlarmRules.h"
#include "DateTime.h"
#include "uClock.h"

AlarmStore::AlarmStore(TTable &alarm, TTable &alarm2, QObject *parent)
    : QObject(parent), m_alarm(alarm), m_alarm2(alarm2)
{
}

AlarmStore &AlarmStore::of(TfClock &clock)
{
    if (auto *store = clock.findChild<AlarmStore *>(QString(), Qt::FindDirectChildrenOnly))
        return *store;
    return *new AlarmStore(clock.tblAlarm, clock.tblAlarm2, &clock);
}

AlarmRecord AlarmStore::current()
{
    AlarmRecord r;
    r.title = m_alarm.FieldByName("Title").asString();
    r.memo = m_alarm.FieldByName("Memo").asString();
    r.type = m_alarm.FieldByName("Type").asString();
    r.typeIndex = m_alarm.FieldByName("TypeIndex").asInteger();
    r.date = m_alarm.FieldByName("Date").asDateTime();
    r.time = m_alarm.FieldByName("Time").asDateTime();
    r.sound = m_alarm.FieldByName("Sound").asString();
    r.activated = m_alarm.FieldByName("Activated").asBoolean();
    r.loop = m_alarm.FieldByName("Loop").asBoolean();
    return r;
}

void AlarmStore::markActivated()
{
    m_alarm.Edit();
    m_alarm.FieldByName("Activated").setAsBoolean(true);
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
            m_alarm.Edit();
            m_alarm2.Edit();
            for (TTable *t : {&m_alarm, &m_alarm2}) {
                t->FieldByName("Date").setAsDateTime(next.date);
                if (saved.typeIndex == AlarmRules::Hourly)
                    t->FieldByName("Time").setAsDateTime(next.time);
                t->FieldByName("Activated").setAsBoolean(false);
            }
            // The message window's memo is bound to the record: what the
            // user typed stays with the alarm.
            m_alarm.FieldByName("Memo").setAsString(message);
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
            const double date = d.date;
            const double time = d.time;
            m_alarm.Append();
            m_alarm.FieldByName("Title").setAsString(saved.title);
            m_alarm.FieldByName("Memo").setAsString(message);
            m_alarm.FieldByName("Type").setAsString(AlarmRules::kSnoozeTypeAlarm);
            m_alarm.FieldByName("TypeIndex").setAsInteger(AlarmRules::FiveMinutes);
            m_alarm.FieldByName("Date").setAsDateTime(date);
            m_alarm.FieldByName("Time").setAsDateTime(time);
            m_alarm.FieldByName("Sound").setAsString(saved.sound);
            m_alarm.FieldByName("Activated").setAsBoolean(false);
            m_alarm.FieldByName("Loop").setAsBoolean(saved.loop);
            m_alarm.Post();
            m_alarm2.Append();
            m_alarm2.FieldByName("Title").setAsString(saved.title);
            m_alarm2.FieldByName("Type").setAsString(AlarmRules::kSnoozeTypeAlarm2);
            m_alarm2.FieldByName("TypeIndex").setAsInteger(AlarmRules::FiveMinutes);
            m_alarm2.FieldByName("Date").setAsDateTime(date);
            m_alarm2.FieldByName("Time").setAsDateTime(time);
            m_alarm2.FieldByName("Sound").setAsString(saved.sound);
            m_alarm2.FieldByName("Activated").setAsBoolean(false);
            m_alarm2.FieldByName("Loop").setAsBoolean(saved.loop);
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
        m_alarm.FieldByName("Title").setAsString(record.title);
        m_alarm.FieldByName("Memo").setAsString(record.memo);
        m_alarm.FieldByName("Type").setAsString(record.type);
        m_alarm.FieldByName("TypeIndex").setAsInteger(record.typeIndex);
        m_alarm.FieldByName("Date").setAsDateTime(record.date);
        m_alarm.FieldByName("Time").setAsDateTime(record.time);
        m_alarm.FieldByName("Sound").setAsString(record.sound);
        m_alarm.FieldByName("Activated").setAsBoolean(false);
        m_alarm.FieldByName("Loop").setAsBoolean(record.loop);
        m_alarm.Post();
        m_alarm2.FieldByName("Title").setAsString(record.title);
        m_alarm2.FieldByName("Type").setAsString(record.type);
        m_alarm2.FieldByName("TypeIndex").setAsInteger(record.typeIndex);
        m_alarm2.FieldByName("Date").setAsDateTime(record.date);
        m_alarm2.FieldByName("Time").setAsDateTime(record.time);
        m_alarm2.FieldByName("Activated").setAsBoolean(false);
        m_alarm2.Post();
        written = m_alarm.RecNo();
    });
    return written;
}

TickPause::TickPause(TfClock &clock) : m_clock(clock), m_wasActive(clock.Timer1.isActive())
{
    m_clock.Timer1.stop();
}

TickPause::~TickPause()
{
    if (m_wasActive)
        m_clock.Timer1.start();
}
