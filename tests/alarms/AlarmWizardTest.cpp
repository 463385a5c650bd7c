#include "AlarmCheck.h"
#include "AlarmFixture.h"
#include "AlarmRules.h"
#include "uAlarmWiz.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimeEdit>

namespace {

class WizardTest : public AlarmTest
{
protected:
    void SetUp() override
    {
        AlarmTest::SetUp();
        now = at(2024, 3, 5, 10, 17, 42);
    }
    TfAlarmWiz &open(bool editing)
    {
        alarms->EditingAlarm = editing;
        wizard = std::make_unique<TfAlarmWiz>(*alarms);
        wizard->show();
        return *wizard;
    }
    void next(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(wizard->btnNext, Qt::LeftButton);
    }
    void previous() { QTest::mouseClick(wizard->btnPrevious, Qt::LeftButton); }
    void chooseType(int type) { wizard->typeButtons->button(type)->click(); }
    QDateTime picked() const { return ZDateTime::toQDateTime(wizard->pickedDate() + wizard->pickedTime()); }
    QStringList soundItems() const
    {
        QStringList out;
        for (int i = 0; i < wizard->ComboBox1->count(); ++i)
            out << wizard->ComboBox1->itemText(i);
        return out;
    }

    std::unique_ptr<TfAlarmWiz> wizard;
};

} // namespace

TEST_F(WizardTest, NewAlarmDefaults)
{
    TfAlarmWiz &w = open(false);
    EXPECT_EQ(w.pages->currentWidget(), w.pnlTitle);
    EXPECT_FALSE(w.btnPrevious->isEnabled());
    EXPECT_EQ(w.btnNext->text(), "Next >");
    EXPECT_EQ(picked(), at(2024, 3, 5, 11, 17, 0));
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    EXPECT_EQ(w.ComboBox1->currentText(), "None");
    EXPECT_FALSE(w.CheckBoxLoop->isEnabled());
    EXPECT_FALSE(w.btnPlay->isEnabled());
    EXPECT_FALSE(window.FadeEnabled) << "the clock stays opaque while the wizard is open";
    w.reject();
    EXPECT_TRUE(window.FadeEnabled);

    now = at(2024, 3, 5, 23, 20, 5);
    open(false);
    EXPECT_EQ(picked(), at(2024, 3, 6, 0, 20, 0)) << "after 23:00 the default is tomorrow";
}

TEST_F(WizardTest, EnterGoesOnToTheNextPage)
{
    TfAlarmWiz &w = open(false);
    QTest::keyClicks(w.Edit1, "Dentist");
    QTest::keyClick(w.Edit1, Qt::Key_Return);
    EXPECT_EQ(w.PageIndex, 1);
    EXPECT_EQ(w.pages->currentWidget(), w.pnlType);
    QTest::keyClick(w.typeButtons->button(AlarmRules::Once), Qt::Key_Enter);
    EXPECT_EQ(w.pages->currentWidget(), w.pnlTimeDate);
    next();
    // In the message Enter starts a new line.
    QTest::keyClicks(w.Memo1, "Bring the card");
    QTest::keyClick(w.Memo1, Qt::Key_Return);
    EXPECT_EQ(w.pages->currentWidget(), w.pnlMessage);
    EXPECT_EQ(w.Memo1->toPlainText(), "Bring the card\n");
    EXPECT_EQ(w.Edit1->text(), "Dentist");
}

TEST_F(WizardTest, OneTimeTypesSkipTheTimePage)
{
    struct Case
    {
        int type;
        QDateTime due;
    };
    const Case cases[] = {
        {AlarmRules::FiveMinutes, at(2024, 3, 5, 10, 22)},
        {AlarmRules::TenMinutes, at(2024, 3, 5, 10, 27)},
        {AlarmRules::OneHour, at(2024, 3, 5, 11, 17)},
        {AlarmRules::TwentyFourHours, at(2024, 3, 6, 10, 17, 42)},
    };
    for (const Case &c : cases) {
        TfAlarmWiz &w = open(false);
        next();
        chooseType(c.type);
        next();
        EXPECT_EQ(w.PageIndex, 3);
        EXPECT_EQ(w.pages->currentWidget(), w.pnlMessage);
        previous();
        EXPECT_EQ(w.PageIndex, 1) << "Previous passes over the skipped page";
        EXPECT_EQ(w.pages->currentWidget(), w.pnlType);
        next(4);
        const QVector<Row> a = alarmRows(), b = alarm2Rows();
        ASSERT_EQ(a.size(), 1);
        EXPECT_EQ(a[0].due, c.due) << "type " << c.type;
        EXPECT_EQ(a[0].type, AlarmRules::typeNames()[c.type]);
        EXPECT_EQ(a[0].title, "Alarm") << "an empty title";
        EXPECT_EQ(b[0].title, "Alarm");
        expectInStep();
        store->remove(1);
    }
}

TEST_F(WizardTest, DateRowOnlyForOnceButTheDateIsAlwaysStored)
{
    struct Case
    {
        int type;
        bool dateRow;
    };
    const Case cases[] = {{AlarmRules::Once, true}, {AlarmRules::Hourly, false}, {AlarmRules::Daily, false}};
    for (const Case &c : cases) {
        TfAlarmWiz &w = open(false);
        next();
        chooseType(c.type);
        next();
        EXPECT_EQ(w.pages->currentWidget(), w.pnlTimeDate);
        EXPECT_EQ(w.pnlSetDate->isVisibleTo(&w), c.dateRow) << "type " << c.type;
        w.DateTimePicker2->setTime(QTime(7, 45, 0));
        w.DateTimePicker1->setDate(QDate(2024, 3, 9));
        next(4);
        const QVector<Row> a = alarmRows();
        ASSERT_EQ(a.size(), 1);
        EXPECT_EQ(a[0].due, at(2024, 3, 9, 7, 45)) << "type " << c.type;
        expectInStep();
        store->remove(1);
    }
}

TEST_F(WizardTest, EditRoundTrip)
{
    folder.writeWave("bell.wav", 50);
    addAlarm("first", AlarmRules::Once, at(2024, 3, 7, 6, 0));
    addAlarm("wake", AlarmRules::Daily, at(2024, 3, 8, 6, 30, 15), "bell.wav", true, "get up\nnow");
    tblAlarm.setRecNo(2);
    store->markActivated(); // a stuck alarm
    tblAlarm2.setRecNo(2);

    TfAlarmWiz &w = open(true);
    EXPECT_EQ(w.EditRecNo, 2);
    EXPECT_EQ(w.Edit1->text(), "wake");
    EXPECT_EQ(w.Memo1->toPlainText(), "get up\nnow");
    EXPECT_EQ(w.typeIndex(), AlarmRules::Daily);
    EXPECT_EQ(picked(), at(2024, 3, 8, 6, 30, 15));
    EXPECT_EQ(w.ComboBox1->currentText(), "bell.wav");
    EXPECT_TRUE(w.btnPlay->isEnabled());
    EXPECT_TRUE(w.CheckBoxLoop->isChecked());

    w.Edit1->setText("wake up");
    next(6);
    const QVector<Row> a = alarmRows(), b = alarm2Rows();
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a[0].title, "first");
    EXPECT_EQ(a[1].title, "wake up");
    EXPECT_EQ(b[1].title, "wake up");
    EXPECT_EQ(a[1].memo, "get up\nnow");
    EXPECT_EQ(a[1].due, at(2024, 3, 8, 6, 30, 15));
    EXPECT_EQ(a[1].sound, "bell.wav");
    EXPECT_TRUE(a[1].loop);
    EXPECT_FALSE(a[1].activated) << "editing a stuck alarm makes it due again";
    expectInStep();
}

TEST_F(WizardTest, CancelAfterPagingWritesNothing)
{
    addAlarm("kept", AlarmRules::Once, at(2024, 3, 7, 6, 0));
    for (bool editing : {false, true}) {
        TfAlarmWiz &w = open(editing);
        w.Edit1->setText("changed");
        next();
        chooseType(AlarmRules::Hourly);
        next(3);
        QTest::mouseClick(w.btnCancel, Qt::LeftButton);
        EXPECT_TRUE(w.Edit1->text().isEmpty());
        EXPECT_EQ(titles(tblAlarm), QStringList({"kept"}));
        EXPECT_EQ(alarmRows()[0].typeIndex, AlarmRules::Once);
    }
    open(false);
    QTest::keyClick(wizard.get(), Qt::Key_Escape);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(tblAlarm.RecordCount(), 1);
}

TEST_F(WizardTest, SoundList)
{
    struct Case
    {
        const char *name;
        QStringList files;
        bool removeFolder;
        QStringList expected;
    };
    const Case cases[] = {
        {"empty folder", {}, false, {"None"}},
        {"missing folder", {}, true, {"None"}},
        {"sorted by name", {"b.mp3", "A.wav", "notes.txt", "c.MID", "d.ogg"}, false, {"A.wav", "b.mp3", "c.MID", "None"}},
    };
    for (const Case &c : cases) {
        QDir sound(folder.file("sound"));
        sound.removeRecursively();
        if (!c.removeFolder)
            QDir(folder.path()).mkdir("sound");
        for (const QString &f : c.files)
            folder.write("sound/" + f, "x");
        TfAlarmWiz &w = open(false);
        EXPECT_EQ(soundItems(), c.expected) << c.name;
        EXPECT_TRUE(w.btnNext->isEnabled()) << c.name;
        w.reject();
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(WizardTest, SoundChoiceEnablesLoopAndPlay)
{
    folder.writeWave("chirp.wav", 2000);
    TfAlarmWiz &w = open(false);
    next(5);
    w.ComboBox1->setCurrentText("chirp.wav");
    EXPECT_TRUE(w.CheckBoxLoop->isEnabled());
    EXPECT_TRUE(w.btnPlay->isEnabled());
    QTest::mouseClick(w.btnPlay, Qt::LeftButton);
    EXPECT_TRUE(w.MediaPlayer1->isPlaying());
    w.ComboBox1->setCurrentText("typed-name.wav"); // no such file: stored as typed
    EXPECT_TRUE(w.btnPlay->isEnabled());
    w.CheckBoxLoop->setChecked(true);
    next();
    EXPECT_FALSE(w.isVisible());
    const QVector<Row> a = alarmRows();
    ASSERT_EQ(a.size(), 1);
    EXPECT_EQ(a[0].sound, "typed-name.wav");
    EXPECT_TRUE(a[0].loop);
    EXPECT_TRUE(errors.isEmpty());

    TfAlarmWiz &again = open(false);
    again.ComboBox1->setCurrentText("chirp.wav");
    again.ComboBox1->setCurrentText("None");
    EXPECT_FALSE(again.CheckBoxLoop->isEnabled());
    EXPECT_FALSE(again.btnPlay->isEnabled());
}

// Alarms that fire while the wizard is open may remove or add records; Finish
// must still write the alarm that was opened.
TEST_F(WizardTest, FinishReachesTheEditedAlarmAfterOthersChanged)
{
    addAlarm("early", AlarmRules::Once, now.addSecs(-5));
    addAlarm("snoozy", AlarmRules::Daily, now.addSecs(-5));
    addAlarm("edited", AlarmRules::Once, now.addDays(2));
    addAlarm("after", AlarmRules::Once, now.addDays(3));
    tblAlarm2.setRecNo(3);
    TfAlarmWiz &w = open(true);
    ASSERT_EQ(w.Edit1->text(), "edited");

    // While the wizard is open: "early" fires and is removed, "snoozy" fires
    // and is snoozed (a record added at the end).
    AlarmChecker checker(*store, tick, [this] {
        const bool snooze = store->current().title == "snoozy";
        store->closeMessage(QString(), snooze, ZDateTime::now());
    });
    checker.CheckAlarms();
    checker.CheckAlarms();
    ASSERT_EQ(titles(tblAlarm), QStringList({"snoozy", "edited", "after", "snoozy"}));

    w.Edit1->setText("edited twice");
    next(6);
    EXPECT_EQ(titles(tblAlarm), QStringList({"snoozy", "edited twice", "after", "snoozy"}));
    expectInStep();

    // The edited alarm itself went away meanwhile: Finish keeps the user's alarm.
    tblAlarm2.setRecNo(3);
    TfAlarmWiz &w2 = open(true);
    ASSERT_EQ(w2.Edit1->text(), "after");
    store->remove(3);
    next(6);
    EXPECT_EQ(titles(tblAlarm), QStringList({"snoozy", "edited twice", "snoozy", "after"}));
    expectInStep();
}
