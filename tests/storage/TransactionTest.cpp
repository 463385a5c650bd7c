#include "TableError.h"
#include "TableFixture.h"

#include <QRandomGenerator>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

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

    TempFolder folder;
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

// A writer process killed at random moments must never leave the two
// tables out of step.
TEST_F(PairFixture, KilledWriterLeavesTheTablesInStep)
{
    a.CloseTable();
    b.CloseTable();
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
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
            }
        }
        usleep(1000 + QRandomGenerator::global()->bounded(20000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        open();
        ASSERT_EQ(titles(a), titles(b)) << "round " << round;
        a.CloseTable();
        b.CloseTable();
    }
}
