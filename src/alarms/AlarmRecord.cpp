#include "AlarmRecord.h"
#include "TTable.h"

AlarmRecord AlarmRecord::read(TTable &t, Fields fields)
{
    AlarmRecord r;
    if (fields & Title)
        r.title = t.FieldByName("Title").asString();
    if ((fields & Memo) && t.fieldIndex("Memo") >= 0)
        r.memo = t.FieldByName("Memo").asString();
    if (fields & Type)
        r.type = t.FieldByName("Type").asString();
    if (fields & TypeIndex)
        r.typeIndex = t.FieldByName("TypeIndex").asInteger();
    if (fields & Date)
        r.date = t.FieldByName("Date").asDateTime();
    if (fields & Time)
        r.time = t.FieldByName("Time").asDateTime();
    if (fields & Sound)
        r.sound = t.FieldByName("Sound").asString();
    if (fields & Activated)
        r.activated = t.FieldByName("Activated").asBoolean();
    if (fields & Loop)
        r.loop = t.FieldByName("Loop").asBoolean();
    return r;
}

QVector<AlarmRecord> AlarmRecord::readAllDue(TTable &t)
{
    const FieldType activatedType = t.FieldByName("Activated").DataType();
    const QVector<QVariant> v = t.columnValues({"Date", "Time", "Activated"});
    QVector<AlarmRecord> records(v.size() / 3);
    for (int i = 0; i < records.size(); ++i) {
        records[i].date = TField::dateTimeOf(v[3 * i]);
        records[i].time = TField::dateTimeOf(v[3 * i + 1]);
        records[i].activated = TField::booleanOf(v[3 * i + 2], activatedType);
    }
    return records;
}

void AlarmRecord::write(TTable &t, Fields fields) const
{
    if (fields & Title)
        t.FieldByName("Title").setAsString(title);
    if (fields & Memo)
        t.FieldByName("Memo").setAsString(memo);
    if (fields & Type)
        t.FieldByName("Type").setAsString(type);
    if (fields & TypeIndex)
        t.FieldByName("TypeIndex").setAsInteger(typeIndex);
    if (fields & Date)
        t.FieldByName("Date").setAsDateTime(date);
    if (fields & Time)
        t.FieldByName("Time").setAsDateTime(time);
    if (fields & Sound)
        t.FieldByName("Sound").setAsString(sound);
    if (fields & Activated)
        t.FieldByName("Activated").setAsBoolean(activated);
    if (fields & Loop)
        t.FieldByName("Loop").setAsBoolean(loop);
}

bool AlarmRecord::operator==(const AlarmRecord &o) const
{
    return title == o.title && memo == o.memo && type == o.type && typeIndex == o.typeIndex && date == o.date
           && time == o.time && sound == o.sound && activated == o.activated && loop == o.loop;
}
