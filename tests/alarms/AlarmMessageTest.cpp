#include "AlarmCheck.h"
#include "AlarmFixture.h"
#include "AlarmRules.h"
#include "AlarmText.h"
#include "Eventually.h"
#include "uAlarmMessage.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The message window on the alarm at Alarm's current record, as the check
// opens it (marked, Alarm2 at the same record), shown without a modal loop.
class MessageTest : public AlarmTest
{
protected:
    TfAlarmMessage &open(int recNo)
    {
        tblAlarm.setRecNo(recNo);
        store->markActivated();
        tblAlarm2.setRecNo(recNo);
        message = std::make_unique<TfAlarmMessage>(*alarms);
        message->show();
        return *message;
    }
    std::unique_ptr<TfAlarmMessage> message;
};

} // namespace

TEST_F(MessageTest, SilentAlarmClosesByItsType)
{
    struct Case
    {
        int type;
        int left;
    };
    const Case cases[] = {{AlarmRules::Once, 0}, {AlarmRules::Daily, 1}, {AlarmRules::OneHour, 0}};
    for (const Case &c : cases) {
        const int recNo = addAlarm("quiet", c.type, now.addSecs(-60));
        TfAlarmMessage &w = open(recNo);
        EXPECT_FALSE(w.btnStop->isEnabled());
        EXPECT_FALSE(w.SoundPlaying);
        EXPECT_EQ(w.DBText1->text(), "quiet");
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(tblAlarm.RecordCount(), c.left) << "type " << c.type;
        expectInStep();
        if (c.left)
            store->remove(1);
    }
}

TEST_F(MessageTest, ShowsTheStoredDueTimeAndKeepsTheClockOpaque)
{
    window.FadeEnabled = true;
    window.transparency = 40;
    const QDateTime due = at(2024, 3, 4, 21, 5, 9);
    addAlarm("overdue", AlarmRules::Once, due, "None", false, "line one\nline two");
    TfAlarmMessage &w = open(1);
    const double v = ZDateTime::fromQDateTime(due);
    EXPECT_EQ(w.lblAlarmTime->text(), AlarmText::dueLine(ZDateTime::dateOf(v), ZDateTime::timeOf(v)));
    EXPECT_TRUE(w.lblAlarmTime->text().contains(QLocale::system().toString(due.date(), QLocale::ShortFormat) + "  "));
    EXPECT_EQ(w.DBMemo1->toPlainText(), "line one\nline two");
    EXPECT_FALSE(window.FadeEnabled);
    EXPECT_EQ(window.transparency, 0);
    w.close(); // the close box
    EXPECT_TRUE(window.FadeEnabled);
    EXPECT_EQ(tblAlarm.RecordCount(), 0) << "the close box closes like Close";
}

TEST_F(MessageTest, SnoozeCarriesTheEditedMessage)
{
    struct Case
    {
        int type;
        QStringList titles;
        QDateTime firstDue;
    };
    const Case cases[] = {
        {AlarmRules::Once, {"pills"}, at(2024, 3, 5, 10, 8)},
        {AlarmRules::Daily, {"pills", "pills"}, at(2024, 3, 6, 10, 0)},
    };
    for (const Case &c : cases) {
        addAlarm("pills", c.type, at(2024, 3, 5, 10, 0), "None", true, "take two");
        TfAlarmMessage &w = open(1);
        w.DBMemo1->setPlainText("take two with water");
        QTest::mouseClick(w.btnSnooze, Qt::LeftButton);
        EXPECT_TRUE(w.Snoozed);
        const QVector<Row> a = alarmRows();
        EXPECT_EQ(titles(tblAlarm), c.titles) << "type " << c.type;
        ASSERT_FALSE(a.isEmpty());
        EXPECT_EQ(a.first().due, c.firstDue) << "type " << c.type;
        EXPECT_EQ(a.last().type, "Five Minute");
        EXPECT_EQ(a.last().due, at(2024, 3, 5, 10, 8));
        EXPECT_EQ(a.last().memo, "take two with water");
        EXPECT_TRUE(a.last().loop);
        // The edited message stays with an alarm that comes back.
        EXPECT_EQ(a.first().memo, "take two with water");
        expectInStep();
        while (tblAlarm.RecordCount() > 0)
            store->remove(1);
    }
}

TEST_F(MessageTest, UnplayableFileLeavesTheWindowSilentAndUsable)
{
    folder.write("sound/broken.wav", "this is not a wave file");
    addAlarm("broken", AlarmRules::Once, now, "broken.wav", true);
    TfAlarmMessage &w = open(1);
    EXPECT_FALSE(w.SoundPlaying);
    EXPECT_FALSE(w.btnStop->isEnabled());
    EXPECT_EQ(errors.size(), 1);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(tblAlarm.RecordCount(), 0);
}

TEST_F(MessageTest, MissingFileLeavesTheWindowSilent)
{
    addAlarm("gone", AlarmRules::Once, now, "gone.wav", true);
    TfAlarmMessage &w = open(1);
    EXPECT_FALSE(w.SoundPlaying);
    EXPECT_FALSE(w.btnStop->isEnabled());
    EXPECT_TRUE(errors.isEmpty());
}

// The real player on SDL's dummy driver: a short sound without Loop plays
// once; with Loop it starts again after each end until Stop Sound.
TEST_F(MessageTest, SoundPlaysOnceOrLoopsUntilStopped)
{
    folder.writeWave("short.wav", 60);

    addAlarm("once", AlarmRules::Once, now, "short.wav", false);
    {
        TfAlarmMessage &w = open(1);
        ASSERT_TRUE(w.SoundPlaying) << errors.join("; ").toStdString();
        EXPECT_TRUE(w.btnStop->isEnabled());
        QSignalSpy ends(w.MediaPlayer1.get(), &AlarmSound::notify);
        ASSERT_TRUE(eventually([&] { return ends.count() >= 1; }));
        QCoreApplication::processEvents();
        EXPECT_EQ(ends.count(), 1);
        EXPECT_FALSE(w.MediaPlayer1->isPlaying()) << "no loop: played once";
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    }

    addAlarm("loop", AlarmRules::Once, now, "short.wav", true);
    {
        TfAlarmMessage &w = open(1);
        ASSERT_TRUE(w.SoundPlaying);
        QSignalSpy ends(w.MediaPlayer1.get(), &AlarmSound::notify);
        ASSERT_TRUE(eventually([&] { return ends.count() >= 3; }));
        EXPECT_TRUE(w.MediaPlayer1->isPlaying()) << "started again after each end";
        QTest::mouseClick(w.btnStop, Qt::LeftButton);
        EXPECT_TRUE(w.SoundStopped);
        EXPECT_TRUE(w.isVisible()) << "Stop Sound keeps the window open";
        ASSERT_TRUE(eventually([&] { return !w.MediaPlayer1->isPlaying(); }));
        const int after = ends.count();
        // Nothing may happen now: a fixed wait, longer than the sound, in
        // which a restart would show.
        QTest::qWait(150);
        EXPECT_FALSE(w.MediaPlayer1->isPlaying());
        EXPECT_LE(ends.count(), after + 1);
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    }

    addAlarm("snoozed", AlarmRules::Once, now, "short.wav", true);
    {
        TfAlarmMessage &w = open(1);
        QTest::mouseClick(w.btnSnooze, Qt::LeftButton);
        QTest::qWait(150); // as above: longer than the sound, no restart
        EXPECT_FALSE(w.MediaPlayer1->isPlaying()) << "Snooze ends the loop";
    }
}

// The real modal window, opened by the alarm check and answered by a click.
TEST_F(MessageTest, CheckShowsTheModalWindow)
{
    addAlarm("modal", AlarmRules::Daily, now.addSecs(-1));
    AlarmChecker checker(*store, tick, [this] { ShowAlarmMessage(*alarms); });
    bool wasStopped = false;
    QTimer::singleShot(0, [&] {
        TfAlarmMessage *w = TfAlarmMessage::fAlarmMessage;
        ASSERT_NE(w, nullptr);
        wasStopped = !Timer1.isActive();
        QTest::mouseClick(w->btnSnooze, Qt::LeftButton);
    });
    checker.CheckAlarms();
    EXPECT_TRUE(wasStopped);
    EXPECT_EQ(TfAlarmMessage::fAlarmMessage, nullptr);
    EXPECT_EQ(titles(tblAlarm), QStringList({"modal", "modal"}));
    EXPECT_TRUE(Timer1.isActive());
}
