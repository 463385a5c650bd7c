#include "KilledWriter.h"
#include "TableError.h"
#include "TableFixture.h"
#include "TestSeed.h"

#include <QRandomGenerator>
#include <sys/wait.h>

namespace {

class PairFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        createTable(folder.path(), standardSchema("Alarm"));
        createTable(folder.path(), standardSchema("Alarm2"));
        open();
    }
    void open()
    {
        a.OpenTable(folder.path(), "Alarm");
        b.OpenTable(folder.path(), "Alarm2");
    }
    static void append(TTable &t, const QString &title)
    {
        t.Append();
        t.FieldByName("Title").setAsString(title);
        t.Post();
    }
    QStringList titles(TTable &t)
    {
        QStringList out;
        for (t.First(); !t.Eof(); t.Next())
            out << t.FieldByName("Title").asString();
        return out;
    }

    TempFolder folder{TempFolder::InMemory}; // the killed writer syncs at every commit
    TTable a, b;
};

} // namespace

TEST_F(PairFixture, CommitKeepsBothAndFailureKeepsNeither)
{
    TTable::transaction({&a, &b}, [&] {
        append(a, "one");
        append(b, "one");
    });
    EXPECT_THROW(TTable::transaction({&a, &b},
                                     [&] {
                                         append(a, "two");
                                         append(b, "two");
                                         a.First();
                                         a.Delete();
                                         throw ETableError("interrupted");
                                     }),
                 ETableError);
    EXPECT_EQ(a.RecordCount(), 1) << "the cursor forgets undone changes";
    EXPECT_EQ(b.RecordCount(), 1);
    a.CloseTable();
    b.CloseTable();
    open();
    EXPECT_EQ(titles(a), QStringList({"one"}));
    EXPECT_EQ(titles(b), QStringList({"one"}));
    append(b, "after"); // the second table works on its own again
    EXPECT_EQ(b.RecordCount(), 2);
}

// A writer process killed at random points of its work (after a random
// number of transactions, wherever the next one then stands) must never
// leave the two tables out of step.
TEST_F(PairFixture, KilledWriterLeavesTheTablesInStep)
{
    a.CloseTable();
    b.CloseTable();
    const TestSeed seed;
    SCOPED_TRACE(seed.replay);
    QRandomGenerator rng(seed.value);
    for (int round = 0; round < 40; ++round) {
        KilledWriter writer([&](const KilledWriter::Step &step) {
            TTable ca, cb;
            ca.OpenTable(folder.path(), "Alarm");
            cb.OpenTable(folder.path(), "Alarm2");
            for (int i = 0;; ++i) {
                TTable::transaction({&ca, &cb}, [&] {
                    const QString title = QString("r%1-%2").arg(round).arg(i);
                    append(ca, title);
                    append(cb, title);
                    if (ca.RecordCount() > 6) {
                        ca.First();
                        ca.Delete();
                        cb.First();
                        cb.Delete();
                    }
                });
                step();
            }
        });
        ASSERT_TRUE(writer.waitForSteps(int(rng.bounded(21)))) << "round " << round << ": the writer stopped by itself";
        ASSERT_TRUE(WIFSIGNALED(writer.kill())) << "round " << round;

        open();
        ASSERT_EQ(titles(a), titles(b)) << "round " << round;
        a.CloseTable();
        b.CloseTable();
    }
}
