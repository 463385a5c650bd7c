#pragma once
#include "AlarmContext.h"
#include "AlarmStore.h"
#include "AlarmTick.h"
#include "ClockFolders.h"
#include "ClockWindow.h"
#include "DateTime.h"
#include "TempFolder.h"

#include <QDateTime>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

// A program folder with the two alarm tables and a "sound/" folder.
class AlarmFolder : public TempFolder
{
public:
    AlarmFolder();
    // A wave file of silence, ms long, in "sound/".
    void writeWave(const QString &name, int ms) const;
};

// The clock's window as the alarm windows see it: where they open, the fade
// setting they pause, and how translucent the clock is.
class ClockWindowDouble : public QWidget, public ClockWindow
{
public:
    QWidget *clockWidget() override { return this; }
    bool fadeEnabled() const override { return FadeEnabled; }
    void setFadeEnabled(bool on) override { FadeEnabled = on; }
    void showOpaque() override { transparency = 0; }

    bool FadeEnabled = true;
    int transparency = 0;
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

// The two alarm tables on a fresh folder, a running tick timer, the clock's
// window, "now" under the test's control, and errors collected instead of
// shown.
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
    int addAlarm(const QString &title, int typeIndex, const QDateTime &due, const QString &sound = kNoSound,
                 bool loop = false, const QString &memo = QString());
    QVector<Row> rows(TTable &table);
    QVector<Row> alarmRows() { return rows(tblAlarm); }
    QVector<Row> alarm2Rows() { return rows(tblAlarm2); }
    QStringList titles(TTable &table);
    // The two tables hold the same alarms record for record.
    void expectInStep();

    AlarmFolder folder;
    QDateTime now;
    TTable tblAlarm, tblAlarm2;
    // The clock's tick: running, as after the clock's start.
    QTimer Timer1;
    TimerTick tick{Timer1};
    ClockFolders folders;
    ClockWindowDouble window;
    std::unique_ptr<AlarmContext> alarms;
    AlarmStore *store = nullptr;
    QStringList errors;
};
