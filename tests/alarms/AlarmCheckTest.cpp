#include "AlarmCheck.h"
#include "AlarmFixture.h"
#include "AlarmRules.h"
#include "ErrorReport.h"
#include "TableError.h"

namespace {

// The alarm check with its message step answered by the test: each shown
// alarm is recorded, then closed (or snoozed) the way the window closes it.
class CheckTest : public AlarmTest
{
protected:
    void SetUp() override
    {
        AlarmTest::SetUp();
        checker = std::make_unique<AlarmChecker>(*store, tick, [this] {
            const AlarmRecord r = store->current();
            Shown s;
            s.title = r.title;
            s.activated = r.activated;
            s.inStep = tblAlarm2.RecNo() == tblAlarm.RecNo();
            s.timerStopped = !Timer1.isActive();
            shown << s;
            if (onShow)
                onShow();
            store->closeMessage(r.memo, snooze, ZDateTime::now());
        });
    }
    QStringList shownTitles() const
    {
        QStringList out;
        for (const Shown &s : shown)
            out << s.title;
        return out;
    }
    void check()
    {
        shown.clear();
        checker->CheckAlarms();
    }

    struct Shown
    {
        QString title;
        bool activated, inStep, timerStopped;
    };
    std::unique_ptr<AlarmChecker> checker;
    QVector<Shown> shown;
    bool snooze = false;
    std::function<void()> onShow;
};

} // namespace

TEST_F(CheckTest, NoRecordsLeavesTheTimerAlone)
{
    ASSERT_TRUE(Timer1.isActive());
    check();
    EXPECT_EQ(checker->scans(), 0);
    EXPECT_TRUE(Timer1.isActive());
}

TEST_F(CheckTest, OnceAlarmAMinuteAgoFiresAndIsRemoved)
{
    addAlarm("tea", AlarmRules::Once, now.addSecs(-60));
    addAlarm("later", AlarmRules::Once, now.addSecs(3600));
    check();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "tea");
    EXPECT_TRUE(shown[0].activated) << "marked before its message";
    EXPECT_TRUE(shown[0].inStep);
    EXPECT_TRUE(shown[0].timerStopped) << "no tick while a message is open";
    EXPECT_TRUE(Timer1.isActive()) << "the scan starts the tick again";
    EXPECT_EQ(titles(tblAlarm), QStringList({"later"}));
    expectInStep();
}

TEST_F(CheckTest, PastDateDoesNotMakeAnEarlierTimeDue)
{
    addAlarm("yesterday later", AlarmRules::Once, now.addDays(-1).addSecs(3600));
    addAlarm("tomorrow earlier", AlarmRules::Once, now.addDays(1).addSecs(-3600));
    check();
    EXPECT_TRUE(shown.isEmpty());
    now = now.addSecs(3600);
    check();
    EXPECT_EQ(shownTitles(), QStringList({"yesterday later"}));
    expectInStep();
}

TEST_F(CheckTest, RepeatingAlarmsMoveOn)
{
    struct Case
    {
        const char *name;
        int type;
        QDateTime due, now;
        QDateTime next;
    };
    const Case cases[] = {
        {"daily already past", AlarmRules::Daily, at(2024, 3, 5, 8, 0), at(2024, 3, 5, 10, 3, 45), at(2024, 3, 6, 8, 0)},
        {"hourly at 23:30", AlarmRules::Hourly, at(2024, 3, 5, 23, 30), at(2024, 3, 5, 23, 30, 0, 200),
         at(2024, 3, 6, 0, 30)},
    };
    for (const Case &c : cases) {
        now = c.now;
        addAlarm(c.name, c.type, c.due);
        check();
        EXPECT_EQ(shownTitles(), QStringList({c.name}));
        const QVector<Row> a = alarmRows(), b = alarm2Rows();
        ASSERT_EQ(a.size(), 1) << c.name;
        EXPECT_EQ(a[0].due, c.next) << c.name;
        EXPECT_FALSE(a[0].activated) << c.name;
        EXPECT_FALSE(b[0].activated) << c.name;
        expectInStep();
        check();
        EXPECT_TRUE(shown.isEmpty()) << c.name << ": not due again until its next occurrence";
        store->remove(1);
    }
}

TEST_F(CheckTest, OverdueHourlyAlarmCatchesUpOneHourPerScan)
{
    now = at(2024, 3, 5, 10, 0, 30);
    addAlarm("hourly", AlarmRules::Hourly, at(2024, 3, 5, 7, 0));
    const char *expected[] = {"08:00", "09:00", "10:00", "11:00"};
    for (const char *next : expected) {
        check();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(alarmRows()[0].due.toString("HH:mm"), next);
    }
    check();
    EXPECT_TRUE(shown.isEmpty()) << "11:00 is in the future";
}

TEST_F(CheckTest, SnoozeOnHourlyAlarm)
{
    addAlarm("stand up", AlarmRules::Hourly, at(2024, 3, 5, 10, 0), "bell.wav", true, "stretch\nand walk");
    snooze = true;
    check(); // at 10:03:45
    ASSERT_EQ(shown.size(), 1);
    const QVector<Row> a = alarmRows(), b = alarm2Rows();
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a[0].due, at(2024, 3, 5, 11, 0));
    EXPECT_EQ(a[0].typeIndex, AlarmRules::Hourly);
    const Row &s = a[1];
    EXPECT_EQ(s.title, "stand up");
    EXPECT_EQ(s.memo, "stretch\nand walk");
    EXPECT_EQ(s.type, "Five Minute");
    EXPECT_EQ(b[1].type, "5 minute");
    EXPECT_EQ(s.typeIndex, 3);
    EXPECT_EQ(b[1].typeIndex, 3);
    EXPECT_EQ(s.due, at(2024, 3, 5, 10, 8));
    EXPECT_EQ(s.sound, "bell.wav");
    EXPECT_EQ(b[1].sound, "bell.wav");
    EXPECT_TRUE(s.loop);
    EXPECT_TRUE(b[1].loop);
    EXPECT_FALSE(s.activated);
    expectInStep();
    // Date and Time each keep only their own part.
    tblAlarm.Last();
    EXPECT_EQ(tblAlarm.FieldByName("Date").asDateTime(), ZDateTime::encodeDate(2024, 3, 5));
    EXPECT_EQ(tblAlarm.FieldByName("Time").asDateTime(), ZDateTime::encodeTime(10, 8, 0));
    now = at(2024, 3, 5, 10, 8);
    snooze = false;
    check();
    EXPECT_EQ(shownTitles(), QStringList({"stand up"}));
    EXPECT_EQ(alarmRows().size(), 1);
}

TEST_F(CheckTest, AlarmsDueTogetherComeInTableOrder)
{
    addAlarm("A", AlarmRules::Daily, now.addSecs(-5));
    addAlarm("B", AlarmRules::Daily, now.addSecs(-5));
    check();
    EXPECT_EQ(shownTitles(), QStringList({"A", "B"}));
}

// Alarms not due (later, or already shown) before and between due ones are
// passed over; the due ones come in table order, each with its Alarm2 twin.
TEST_F(CheckTest, DueAlarmsAmongOthersComeInTableOrder)
{
    addAlarm("later", AlarmRules::Daily, now.addSecs(3600));
    addAlarm("A", AlarmRules::Daily, now.addSecs(-5));
    addAlarm("shown", AlarmRules::Daily, now.addSecs(-5));
    tblAlarm.setRecNo(3);
    store->markActivated();
    addAlarm("B", AlarmRules::Daily, now.addSecs(-5));
    check();
    EXPECT_EQ(shownTitles(), QStringList({"A", "B"}));
    for (const Shown &s : shown)
        EXPECT_TRUE(s.inStep) << s.title.toStdString();
}

// After a removal the cursor stands on the following alarm, which the scan's
// move to the next record passes over; it comes up on the next tick.
TEST_F(CheckTest, RemovalPassesOverTheFollowingAlarmUntilTheNextTick)
{
    for (const char *t : {"A", "B", "C"})
        addAlarm(t, AlarmRules::Once, now.addSecs(-5));
    check();
    EXPECT_EQ(shownTitles(), QStringList({"A", "C"}));
    check();
    EXPECT_EQ(shownTitles(), QStringList({"B"}));
    EXPECT_EQ(tblAlarm.RecordCount(), 0);
    EXPECT_EQ(tblAlarm2.RecordCount(), 0);
}

// After a snooze the cursor stands on the snooze record at the end: the scan
// ends there and later alarms come up on the next tick.
TEST_F(CheckTest, SnoozeEndsTheScan)
{
    addAlarm("A", AlarmRules::Daily, now.addSecs(-5));
    addAlarm("B", AlarmRules::Daily, now.addSecs(-5));
    snooze = true;
    check();
    EXPECT_EQ(shownTitles(), QStringList({"A"}));
    snooze = false;
    check();
    EXPECT_EQ(shownTitles(), QStringList({"B"}));
    EXPECT_EQ(titles(tblAlarm), QStringList({"A", "B", "A"}));
    expectInStep();
}

TEST_F(CheckTest, AnErrorInTheScanLeavesTheTickRunning)
{
    addAlarm("A", AlarmRules::Once, now.addSecs(-5));
    onShow = [] { throw ETableError("disk trouble"); };
    EXPECT_THROW(check(), ETableError);
    EXPECT_TRUE(Timer1.isActive());
    // The next tick, guarded as the clock's tick is.
    ErrorReport::guardTick([this] { checker->CheckAlarms(); });
    EXPECT_TRUE(Timer1.isActive());
}

// With nothing due, ticks do not read the table again until an alarm can
// come due, the table changes, or the clock is set back.
TEST_F(CheckTest, QuietTicksDoNotScanButNothingIsMissed)
{
    for (int i = 0; i < 50; ++i)
        addAlarm(QString("w%1").arg(i), AlarmRules::Once, now.addSecs(7200 + i));
    addAlarm("first", AlarmRules::Daily, now.addDays(-1).addSecs(600)); // yesterday, 10 minutes on
    check();
    EXPECT_EQ(checker->scans(), 1);
    for (int i = 0; i < 50; ++i) {
        now = now.addMSecs(200);
        check();
    }
    EXPECT_EQ(checker->scans(), 1);
    EXPECT_TRUE(shown.isEmpty());

    // A new alarm that is due sooner than the remembered moment.
    addAlarm("new", AlarmRules::Once, now.addSecs(60));
    check();
    EXPECT_EQ(checker->scans(), 2);
    now = now.addSecs(60);
    check();
    EXPECT_EQ(shownTitles(), QStringList({"new"}));

    // The clock set back by a day: yesterday's alarms are looked at again.
    const int before = checker->scans();
    check();
    EXPECT_EQ(checker->scans(), before + 1) << "after a message every alarm is looked at again";
    now = now.addDays(-1);
    check();
    EXPECT_EQ(checker->scans(), before + 2);

    now = now.addDays(1).addSecs(540);
    check();
    EXPECT_EQ(shownTitles(), QStringList({"first"}));
}
