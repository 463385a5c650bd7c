#include "SkinFolder.h"
#include "SkinRemoval.h"

#include <gtest/gtest.h>

using namespace SkinRules;

TEST(SkinRemoval, OnlyTheLastItemOfItsKindIsRefused)
{
    EXPECT_EQ(removeVerdict(1), RemoveVerdict::LastOfItsKind);
    EXPECT_EQ(removeVerdict(2), RemoveVerdict::Ask);
    EXPECT_EQ(removeVerdict(0), RemoveVerdict::Ask) << "an empty table is asked about and then left alone";
}

TEST(SkinRemoval, TheItemInUseAfterwards)
{
    struct Case
    {
        const char *standOn; // the record removed
        const char *inUse;
        const char *inUseAfter;
        int recNoAfter;
    } cases[] = {
        {"C", "B", "B", 2}, // another item, after the one in use
        {"A", "B", "B", 1}, // another item, before it: its number moves down
        {"A", "A", "B", 1}, // the first, in use: the next one
        {"B", "B", "C", 2}, // in use, in the middle: the next one
        {"D", "D", "C", 3}, // the last, in use: the new last one
    };
    for (const Case &c : cases) {
        SkinFolder folder;
        for (const char *n : {"A", "B", "C", "D"})
            folder.addItem("Clock", n);
        TTable table;
        table.OpenTable(folder.path(), "Clock");
        QString name = c.inUse;
        table.FindKey(name);
        qint32 recNo = table.RecNo();
        ASSERT_TRUE(table.FindKey(c.standOn));
        removeCurrentItem({&table, &name, &recNo});
        EXPECT_EQ(namesOf(table).size(), 3);
        EXPECT_FALSE(namesOf(table).contains(c.standOn)) << c.standOn;
        EXPECT_EQ(name, c.inUseAfter) << c.standOn << " " << c.inUse;
        EXPECT_EQ(recNo, c.recNoAfter) << c.standOn << " " << c.inUse;
        EXPECT_EQ(table.FieldByName("Name").asString(), c.inUseAfter) << "the table stands on the item in use";
    }
}

TEST(SkinRemoval, AnEmptyTableIsLeftAlone)
{
    SkinFolder folder;
    TTable table;
    table.OpenTable(folder.path(), "Head");
    QString name = "remembered";
    qint32 recNo = 7;
    removeCurrentItem({&table, &name, &recNo});
    EXPECT_EQ(name, "remembered");
    EXPECT_EQ(recNo, 7);
}
