#include "AlarmFixture.h"
#include "AlarmRules.h"
#include "ErrorReport.h"
#include "TableSchema.h"

#include <QDataStream>
#include <QDir>

AlarmFolder::AlarmFolder()
{
    for (const char *table : {"Alarm", "Alarm2"})
        createTable(path(), standardSchema(table));
    QDir(path()).mkdir("sound");
}

void AlarmFolder::writeWave(const QString &name, int ms) const
{
    const quint32 rate = 8000;
    const quint32 samples = rate * ms / 1000;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    bytes.append(QByteArray(int(samples * 2), '\0'));
    write("sound/" + name, bytes);
}

void AlarmTest::SetUp()
{
    now = at(2024, 3, 5, 10, 3, 45);
    ZDateTime::setNowProvider([this] { return now; });
    ErrorReport::forgetShown();
    ErrorReport::setSink([this](const QString &text) { errors << text; });
    tblAlarm.OpenTable(folder.path(), "Alarm");
    tblAlarm2.OpenTable(folder.path(), "Alarm2");
    Timer1.setInterval(200);
    Timer1.start();
    folders.program = folders.own = folder.path();
    alarms = std::make_unique<AlarmContext>(tblAlarm, tblAlarm2, tick, folders, &window);
    store = &alarms->store;
}

void AlarmTest::TearDown()
{
    // The tables go with the fixture's members, after any dialog a derived
    // fixture holds on them.
    ErrorReport::setSink(nullptr);
    ZDateTime::setNowProvider(nullptr);
}

int AlarmTest::addAlarm(const QString &title, int typeIndex, const QDateTime &due, const QString &sound, bool loop,
                        const QString &memo)
{
    AlarmRecord r;
    r.title = title;
    r.memo = memo;
    r.type = AlarmRules::typeNames().value(typeIndex);
    r.typeIndex = typeIndex;
    const AlarmRules::DateAndTime moment = AlarmRules::splitMoment(ZDateTime::fromQDateTime(due));
    r.date = moment.date;
    r.time = moment.time;
    r.sound = sound;
    r.loop = loop;
    return store->save(0, r);
}

QVector<Row> AlarmTest::rows(TTable &t)
{
    QVector<Row> out;
    const int recNo = t.RecNo();
    const bool hasMemo = t.fieldIndex("Memo") >= 0;
    for (t.First(); !t.Eof(); t.Next()) {
        Row r;
        r.title = t.FieldByName("Title").asString();
        r.memo = hasMemo ? t.FieldByName("Memo").asString() : QString();
        r.type = t.FieldByName("Type").asString();
        r.typeIndex = t.FieldByName("TypeIndex").asInteger();
        r.due = ZDateTime::toQDateTime(t.FieldByName("Date").asDateTime() + t.FieldByName("Time").asDateTime());
        r.sound = t.FieldByName("Sound").asString();
        r.activated = t.FieldByName("Activated").asBoolean();
        r.loop = t.FieldByName("Loop").asBoolean();
        out << r;
    }
    if (recNo > 0)
        t.setRecNo(recNo);
    return out;
}

QStringList AlarmTest::titles(TTable &t)
{
    QStringList out;
    for (const Row &r : rows(t))
        out << r.title;
    return out;
}

void AlarmTest::expectInStep()
{
    const QVector<Row> a = alarmRows(), b = alarm2Rows();
    ASSERT_EQ(a.size(), b.size());
    for (int i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].title, b[i].title) << "record " << i + 1;
        EXPECT_EQ(a[i].typeIndex, b[i].typeIndex) << "record " << i + 1;
        EXPECT_EQ(a[i].due, b[i].due) << "record " << i + 1;
    }
}
