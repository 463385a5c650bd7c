#include "AlarmFixture.h"
#include "AlarmRules.h"
#include "AlarmText.h"
#include "uAlarmWiz.h"
#include "uAlarms.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

class ListTest : public AlarmTest
{
protected:
    TfAlarms &open()
    {
        list = std::make_unique<TfAlarms>(*alarms);
        list->show();
        return *list;
    }
    QString cell(int row, int column) const
    {
        return list->DBGrid1->model()->index(row, column).data().toString();
    }
    std::unique_ptr<TfAlarms> list;
};

} // namespace

TEST_F(ListTest, GridFollowsAlarm2)
{
    addAlarm("one", AlarmRules::Once, at(2024, 3, 7, 6, 0, 5));
    addAlarm("two", AlarmRules::Daily, at(2024, 3, 8, 7, 0));
    TfAlarms &l = open();
    ASSERT_EQ(l.DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(cell(0, 0), "one");
    EXPECT_EQ(cell(1, 1), "Daily");
    EXPECT_EQ(cell(0, 2), AlarmText::shortDate(ZDateTime::encodeDate(2024, 3, 7)));
    EXPECT_EQ(cell(0, 3), AlarmText::longTime(ZDateTime::encodeTime(6, 0, 5)));
    EXPECT_EQ(l.DBGrid1->columnWidth(0), 180);

    // Choosing a row moves Alarm2's cursor; moving the cursor moves the row.
    l.DBGrid1->setCurrentIndex(l.DBGrid1->model()->index(0, 0));
    EXPECT_EQ(tblAlarm2.RecNo(), 1);
    tblAlarm2.setRecNo(2);
    EXPECT_EQ(l.DBGrid1->currentIndex().row(), 1);

    // Changes made elsewhere (a snooze) show up.
    tblAlarm.setRecNo(1);
    store->closeMessage("m", true, ZDateTime::now());
    QCoreApplication::processEvents();
    ASSERT_EQ(l.DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(cell(0, 0), "two");
    EXPECT_EQ(cell(1, 1), "5 minute");
}

TEST_F(ListTest, RemoveUpdatesButtons)
{
    addAlarm("one", AlarmRules::Once, at(2024, 3, 7, 6, 0));
    addAlarm("two", AlarmRules::Once, at(2024, 3, 8, 6, 0));
    TfAlarms &l = open();
    EXPECT_TRUE(l.btnEdit->isEnabled());
    EXPECT_TRUE(l.btnRemove->isEnabled());
    l.DBGrid1->setCurrentIndex(l.DBGrid1->model()->index(1, 0));
    QTest::mouseClick(l.btnRemove, Qt::LeftButton);
    EXPECT_EQ(titles(tblAlarm), QStringList({"one"}));
    expectInStep();
    EXPECT_TRUE(Timer1.isActive());
    QTest::mouseClick(l.btnRemove, Qt::LeftButton);
    EXPECT_EQ(tblAlarm.RecordCount(), 0);
    EXPECT_EQ(tblAlarm2.RecordCount(), 0);
    EXPECT_FALSE(l.btnEdit->isEnabled());
    EXPECT_FALSE(l.btnRemove->isEnabled());
    QCoreApplication::processEvents();
    EXPECT_EQ(l.DBGrid1->model()->rowCount(), 0);
}

TEST_F(ListTest, NewThroughTheModalWizard)
{
    window.FadeEnabled = true;
    TfAlarms &l = open();
    EXPECT_FALSE(l.btnEdit->isEnabled());
    EXPECT_FALSE(window.FadeEnabled);
    bool editing = true;
    QTimer::singleShot(0, [&] {
        TfAlarmWiz *w = TfAlarmWiz::fAlarmWiz;
        ASSERT_NE(w, nullptr);
        editing = alarms->EditingAlarm;
        w->Edit1->setText("from the list");
        for (int i = 0; i < 6; ++i)
            QTest::mouseClick(w->btnNext, Qt::LeftButton);
    });
    QTest::mouseClick(l.btnNewAlarm, Qt::LeftButton);
    EXPECT_FALSE(editing);
    EXPECT_EQ(titles(tblAlarm2), QStringList({"from the list"}));
    EXPECT_TRUE(l.btnEdit->isEnabled());
    EXPECT_TRUE(l.btnRemove->isEnabled());
    EXPECT_FALSE(window.FadeEnabled) << "the list is still open";
    QTest::mouseClick(l.BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(window.FadeEnabled);
}
