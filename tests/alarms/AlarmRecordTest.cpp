#include "AlarmFixture.h"
#include "AlarmRules.h"

// What each writer puts into each table: the wizard's save gives Alarm2
// neither Memo nor Sound and Loop (new or edited); the snooze gives it all
// but Memo; every writer clears Activated.
TEST_F(AlarmTest, EachWriterWritesItsOwnFieldsIntoEachTable)
{
    addAlarm("wake", AlarmRules::Daily, at(2024, 3, 5, 10, 0), "bell.wav", true, "get up");
    tblAlarm.setRecNo(1);
    store->markActivated();
    AlarmRecord edited = store->current();
    edited.sound = "gong.wav";
    store->save(1, edited);

    QVector<Row> a = alarmRows(), b = alarm2Rows();
    ASSERT_EQ(a.size(), 1);
    EXPECT_EQ(a[0].memo, "get up");
    EXPECT_EQ(a[0].sound, "gong.wav");
    EXPECT_TRUE(a[0].loop);
    EXPECT_FALSE(a[0].activated) << "saving makes a stuck alarm due again";
    EXPECT_EQ(b[0].title, "wake");
    EXPECT_TRUE(b[0].sound.isEmpty());
    EXPECT_FALSE(b[0].loop);

    tblAlarm.setRecNo(1);
    store->closeMessage("get up now", true, ZDateTime::now());
    a = alarmRows();
    b = alarm2Rows();
    ASSERT_EQ(b.size(), 2);
    EXPECT_EQ(b[1].sound, "gong.wav");
    EXPECT_TRUE(b[1].loop);
    EXPECT_EQ(a[1].memo, "get up now");
    tblAlarm2.setRecNo(2);
    EXPECT_TRUE(AlarmRecord::read(tblAlarm2).memo.isEmpty()) << "Alarm2 has no Memo to read";
}
