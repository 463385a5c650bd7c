#pragma once
#include "AlarmStore.h"
#include "DateTime.h"
#include "TempFolder.h"
#include "uClock.h"

#include <QDateTime>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

// A program folder with the ten tables and a "sound/" folder.
class AlarmFolder : public TempFolder
{
public:
    AlarmFolder();
    // A wave file of silence, ms long, in "sound/".
    void writeWave(const QString &name, int ms) const;
};

// One alarm row as the tests compare it.
struct Row
{
    QString title, memo, type;
    int typeIndex = 0;
    QDateTime due;
    QString sound;
    bool activated = false, loop = false;
};

// A running clock on a fresh folder, "now" under the test's control, and
// errors collected instead of shown.
class AlarmTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    static QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
    {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
    }
    // Adds an alarm through the store (both tables), due at `due`.
    int addAlarm(const QString &title, int typeIndex, const QDateTime &due, const QString &sound = "None",
                 bool loop = false, const QString &memo = QString());
    QVector<Row> rows(TTable &table);
    QVector<Row> alarmRows() { return rows(clock->tblAlarm); }
    QVector<Row> alarm2Rows() { return rows(clock->tblAlarm2); }
    QStringList titles(TTable &table);
    // The two tables hold the same alarms record for record.
    void expectInStep();

    AlarmFolder folder;
    QDateTime now;
    std::unique_ptr<TfClock> clock;
    AlarmStore *store = nullptr;
    QStringList errors;
};
