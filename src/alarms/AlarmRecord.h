#pragma once
#include <QFlags>
#include <QString>
#include <QVector>

class TTable;

// The sound name that means "no sound": listed last in the wizard and stored
// as the alarm's Sound.
inline const QString kNoSound = QStringLiteral("None");

// One alarm as the tables hold it, and the one place that maps it to a table
// record. Alarm holds all nine fields; Alarm2 has no Memo.
struct AlarmRecord
{
    enum Field {
        Title = 0x1,
        Memo = 0x2,
        Type = 0x4,
        TypeIndex = 0x8,
        Date = 0x10,
        Time = 0x20,
        Sound = 0x40,
        Activated = 0x80,
        Loop = 0x100,
    };
    Q_DECLARE_FLAGS(Fields, Field)

    // What each writer puts into each table.
    static constexpr Fields kAllFields = Fields::fromInt(0x1ff);
    // Alarm2 of a new record (the snooze): everything but Memo.
    static constexpr Fields kAlarm2Fields = Fields::fromInt(0x1ff & ~Memo);
    // Alarm2 as the wizard writes it, new or edited: neither Sound nor Loop.
    static constexpr Fields kAlarm2WizardFields = Fields::fromInt(0x1ff & ~(Memo | Sound | Loop));
    // What the due rule looks at.
    static constexpr Fields kDueFields = Fields::fromInt(Date | Time | Activated);
    // The alarm list's columns.
    static constexpr Fields kListFields = Fields::fromInt(Title | Type | Date | Time);

    QString title;
    QString memo;
    QString type;
    int typeIndex = 0;
    double date = 0.0;
    double time = 0.0;
    QString sound;
    bool activated = false;
    bool loop = false;

    // Reads the table's current record; fields not asked for, and Memo of a
    // table without it, keep their defaults.
    static AlarmRecord read(TTable &table, Fields fields = kAllFields);
    // The due fields of every record, in table order, read in one pass
    // without moving the cursor.
    static QVector<AlarmRecord> readAllDue(TTable &table);
    // Writes the fields into the table's record being edited or appended;
    // the caller posts it.
    void write(TTable &table, Fields fields) const;

    bool hasSound() const { return !sound.isEmpty() && sound != kNoSound; }

    bool operator==(const AlarmRecord &o) const;
    bool operator!=(const AlarmRecord &o) const { return !(*this == o); }
};
Q_DECLARE_OPERATORS_FOR_FLAGS(AlarmRecord::Fields)
