#include "FakeSystemClock.h"
#include "LocalZone.h"
#include "uSystemTime.h"

#include <QDateTimeEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Opens the dialog two seconds before local midnight.
class SystemTimeDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clock.setNow(opened);
        dialog.show();
    }

    QDateTimeEdit *timeField() { return dialog.findChild<QDateTimeEdit *>("DateTimePicker1"); }
    QDateTimeEdit *dateField() { return dialog.findChild<QDateTimeEdit *>("DateTimePicker2"); }
    void click(const char *button) { QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton); }
    void tickAfter(qint64 ms)
    {
        clock.advanceMs(ms);
        dialog.Timer1Timer();
    }
    // The absolute time asked of the clock, as local time.
    QDateTime setTo()
    {
        EXPECT_EQ(clock.changes.size(), 1);
        if (clock.changes.isEmpty())
            return {};
        EXPECT_FALSE(clock.changes[0].relative);
        return QDateTime::fromMSecsSinceEpoch(clock.changes[0].usec / 1000, Qt::LocalTime);
    }
    bool waitClosed()
    {
        return QTest::qWaitFor([this] { return !dialog.isVisible(); }, 5000);
    }

    LocalZone zone;
    const QDateTime opened{QDate(2024, 3, 10), QTime(23, 59, 58), Qt::LocalTime};
    FakeSystemClock clock;
    TfSystemTime dialog{clock};
};

TEST_F(SystemTimeDialog, FieldsFollowTheClockUntilEdited)
{
    EXPECT_EQ(timeField()->dateTime(), opened);
    EXPECT_EQ(dateField()->dateTime(), opened);
    tickAfter(1000);
    EXPECT_EQ(timeField()->time(), QTime(23, 59, 59));
    tickAfter(1000);
    EXPECT_EQ(dateField()->date(), QDate(2024, 3, 11));
    EXPECT_FALSE(dialog.edited());
}

TEST_F(SystemTimeDialog, OkAtOnceSetsTheTimeOfTheLastTick)
{
    clock.advanceMs(700);
    click("btnOK");
    EXPECT_EQ(setTo(), opened);
    EXPECT_TRUE(waitClosed());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SystemTimeDialog, EditingOnlyTheTimeKeepsTheDateShownAcrossMidnight)
{
    timeField()->setFocus();
    timeField()->setCurrentSection(QDateTimeEdit::HourSection);
    QTest::keyClick(timeField(), Qt::Key_Down);
    ASSERT_TRUE(dialog.edited());
    ASSERT_EQ(timeField()->time(), QTime(22, 59, 58));
    tickAfter(5000); // the clock is past midnight now
    EXPECT_EQ(dateField()->date(), QDate(2024, 3, 10));
    click("btnOK");
    EXPECT_EQ(setTo(), QDateTime(QDate(2024, 3, 10), QTime(22, 59, 58), Qt::LocalTime));
    EXPECT_TRUE(waitClosed());
}

TEST_F(SystemTimeDialog, EditingOnlyTheDateKeepsTheTimeFrozenAtTheEdit)
{
    dateField()->setFocus();
    dateField()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(dateField(), Qt::Key_Down);
    ASSERT_TRUE(dialog.edited());
    ASSERT_EQ(dateField()->date(), QDate(2024, 3, 9));
    tickAfter(10000);
    EXPECT_EQ(timeField()->time(), QTime(23, 59, 58));
    click("btnOK");
    EXPECT_EQ(setTo(), QDateTime(QDate(2024, 3, 9), QTime(23, 59, 58), Qt::LocalTime));
}

TEST_F(SystemTimeDialog, TheTimeFieldsOwnDateIsNotUsed)
{
    timeField()->setDateTime(QDateTime(QDate(2001, 1, 1), QTime(8, 0, 0), Qt::LocalTime));
    click("btnOK");
    EXPECT_EQ(setTo(), QDateTime(QDate(2024, 3, 10), QTime(8, 0, 0), Qt::LocalTime));
}

TEST_F(SystemTimeDialog, CancelAfterEditingChangesNothing)
{
    timeField()->setCurrentSection(QDateTimeEdit::HourSection);
    QTest::keyClick(timeField(), Qt::Key_Down);
    click("btnCancel");
    EXPECT_TRUE(waitClosed());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(clock.changes.isEmpty());
}

TEST_F(SystemTimeDialog, RefusedChangeIsToldAndTheDialogStaysOpen)
{
    clock.refuse = true;
    click("btnOK");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog.findChildren<QMessageBox *>().isEmpty(); }, 5000));
    EXPECT_EQ(dialog.findChild<QMessageBox *>()->text(),
              "The date and time could not be set.\n" + clock.refuseReason);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.findChild<QPushButton *>("btnOK")->isEnabled());
}

} // namespace
