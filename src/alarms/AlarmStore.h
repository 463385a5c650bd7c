#pragma once
#include "AlarmRecord.h"
#include "TTable.h"

#include <QObject>
#include <QString>

// Every change to the alarm tables. Alarm and Alarm2 stay record for record
// in step: a change that touches both commits as one transaction across the
// two files, so a crash at any moment leaves both as before or both as after.
class AlarmStore : public QObject
{
    Q_OBJECT
public:
    AlarmStore(TTable &alarm, TTable &alarm2, QObject *parent = nullptr);

    TTable &alarm() { return m_alarm; }
    TTable &alarm2() { return m_alarm2; }

    // The current record of Alarm.
    AlarmRecord current();
    // The alarm has come due: only Alarm records it.
    void markActivated();

    // What follows an alarm's message, for the alarm at Alarm's current
    // record: removed (one-time types) or moved to its next occurrence
    // (hourly, daily), then, when snoozed, a one-time alarm five minutes on.
    // `message` is the message text as the window holds it (the user may have
    // changed it). Afterwards the cursor stands on the record after a removed
    // alarm, or on the snooze record.
    void closeMessage(const QString &message, bool snoozed, double now);

    // Removes the alarm at record number recNo from both tables.
    void remove(int recNo);

    // Writes the alarm into both tables at recNo, or appends it when recNo is
    // 0 or no longer names a record, always with Activated false. Alarm2
    // gets neither Memo nor Sound and Loop. Returns the record number written.
    int save(int recNo, const AlarmRecord &record);

signals:
    // An alarm was removed; alarms after it moved up by one.
    void removed(int recNo);

private:
    TTable &m_alarm;
    TTable &m_alarm2;
};
