#include "FakeSystemClock.h"
#include "TTable.h"
#include "TableSchema.h"
#include "TempFolder.h"
#include "TestSntpServer.h"
#include "TimeText.h"
#include "uTimeServer.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A Time table with two test servers and a name that cannot be resolved.
class TimeServerDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clock.setNow(QDateTime(QDate(2024, 5, 17), QTime(10, 20, 30), Qt::LocalTime));
        createTable(folder.path(), standardSchema("Time"));
        table.OpenTable(folder.path(), "Time");
        for (const QString &server : {first.entry(), second.entry(), QString("no-such-host.invalid")}) {
            table.Append();
            table.FieldByName("TimeServer").setAsString(server);
            table.Post();
        }
        table.First();
    }

    std::unique_ptr<TfTimeServer> open(bool connected = true)
    {
        auto d = std::make_unique<TfTimeServer>(table, clock, nullptr, nullptr, [connected] { return connected; });
        d->show();
        return d;
    }

    static QString result(TfTimeServer &d) { return d.findChild<QLabel *>("lblResult")->text(); }
    static void getTime(TfTimeServer &d) { QTest::mouseClick(d.findChild<QPushButton *>("btnGetTime"), Qt::LeftButton); }
    static bool waitForResult(TfTimeServer &d, const QString &prefix)
    {
        return QTest::qWaitFor([&] { return result(d).startsWith(prefix); }, 10000);
    }
    static QStringList boxes(TfTimeServer &d)
    {
        QStringList texts;
        for (QMessageBox *b : d.findChildren<QMessageBox *>())
            texts << b->text();
        return texts;
    }

    TempFolder folder;
    TTable table;
    FakeSystemClock clock;
    TestSntpServer first{clock};
    TestSntpServer second{clock};
};

struct SuccessCase
{
    const char *name;
    int stratum;
    qint64 aheadMs;
    bool clockSet;
};

void PrintTo(const SuccessCase &c, std::ostream *os) { *os << c.name; }

class TimeServerSuccess : public TimeServerDialog, public ::testing::WithParamInterface<SuccessCase>
{
};

TEST_P(TimeServerSuccess, ShowsTheLocalTimeAfterTheReplyAndTheTickLeavesItAlone)
{
    const SuccessCase &c = GetParam();
    first.behaviour.stratum = c.stratum;
    first.behaviour.aheadMs = c.aheadMs;
    auto d = open();
    getTime(*d);
    EXPECT_EQ(result(*d), "Please wait.");
    ASSERT_TRUE(waitForResult(*d, "Time synchronized at ")) << result(*d).toStdString();
    EXPECT_EQ(result(*d), "Time synchronized at " + TimeText::longTime(clock.nowLocal().time()));
    EXPECT_EQ(clock.changes.size(), c.clockSet ? 1 : 0);
    EXPECT_FALSE(d->syncPending());

    const QString shown = result(*d);
    d->Timer1Timer();
    EXPECT_EQ(result(*d), shown);
    EXPECT_EQ(d->findChild<QLabel *>("StatusPanel")->text(), TimeText::dateAndTime(clock.nowLocal()));
}

INSTANTIATE_TEST_SUITE_P(Servers, TimeServerSuccess,
                         ::testing::Values(SuccessCase{"Stratum1Within", 1, 50, false},
                                           SuccessCase{"Stratum1Ahead", 1, 1200, true},
                                           SuccessCase{"Stratum2ThreeSecondsOff", 2, -3000, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(TimeServerDialog, NoAnswerGivesTheLongFailureTextAtTheNextTickAndGetTimeStartsAgain)
{
    first.behaviour.silent = true;
    auto d = open();
    auto *timer = d->findChild<QTimer *>("Timer1");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);

    getTime(*d);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.requests == 1; }, 10000));
    EXPECT_EQ(result(*d), "Please wait.");
    d->Timer1Timer();
    EXPECT_EQ(result(*d), TfTimeServer::LongFailureText);

    getTime(*d);
    EXPECT_EQ(result(*d), "Please wait.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.requests == 2; }, 10000));
    EXPECT_TRUE(clock.changes.isEmpty());
}

TEST_F(TimeServerDialog, RefusedClockChangeSaysTheClockCouldNotBeSet)
{
    first.behaviour.aheadMs = 1200;
    clock.refuse = true;
    auto d = open();
    getTime(*d);
    ASSERT_TRUE(waitForResult(*d, TfTimeServer::FailureText));
    EXPECT_EQ(result(*d), "Synchronization failed. The clock could not be set: " + clock.refuseReason);
    d->Timer1Timer();
    EXPECT_EQ(result(*d), "Synchronization failed. The clock could not be set: " + clock.refuseReason);
}

TEST_F(TimeServerDialog, UnresolvableServerGivesTheFailureTextWithoutATick)
{
    auto d = open();
    auto *list = d->findChild<QComboBox *>("DBLookupComboBox1");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    ASSERT_EQ(table.RecNo(), 3);
    getTime(*d);
    EXPECT_TRUE(waitForResult(*d, TfTimeServer::LongFailureText));
    EXPECT_FALSE(d->syncPending());
}

TEST_F(TimeServerDialog, ChosenServerIsKeptForTheNextOpening)
{
    {
        auto d = open();
        auto *list = d->findChild<QComboBox *>("DBLookupComboBox1");
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->currentText(), first.entry());
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(table.RecNo(), 2);
        d->close();
    }
    auto d = open();
    EXPECT_EQ(d->findChild<QComboBox *>("DBLookupComboBox1")->currentText(), second.entry());
    getTime(*d);
    ASSERT_TRUE(waitForResult(*d, "Time synchronized at "));
    EXPECT_EQ(second.requests, 1);
    EXPECT_EQ(first.requests, 0);
}

TEST_F(TimeServerDialog, WarnsWithoutAConnectionAndStaysUsable)
{
    auto d = open(false);
    EXPECT_EQ(boxes(*d), QStringList{"No internet connection detected.\n"
                                     "Syncronization can only occur if this computer is connected to the Internet."});
    EXPECT_TRUE(d->isVisible());
    getTime(*d);
    EXPECT_TRUE(waitForResult(*d, "Time synchronized at "));

    auto connected = open(true);
    EXPECT_TRUE(boxes(*connected).isEmpty());
}

TEST_F(TimeServerDialog, SocketErrorShowsHandleAndCodeInHex)
{
    auto d = open();
    emit d->client().OnError(&d->client(), 7, 0x2711, "WinSock Error (10001): Connection refused, on API 'Fd_Read'");
    EXPECT_EQ(result(*d), TfTimeServer::FailureText);
    const QString handle = QString::number(quint32(d->winId()), 16).toUpper().rightJustified(8, ' ');
    EXPECT_EQ(boxes(*d), QStringList{"Error: Handle " + handle + ", ErrCode     2711, "
                                     "WinSock Error (10001): Connection refused, on API 'Fd_Read'"});
}

// A server no socket opens for: the error's own text in a box, as the error
// report shows it, and the result text stays "Please wait." until the next
// tick. Given as an address it is found at once, as a name after the look-up.
TEST_F(TimeServerDialog, NoSocketForTheServerShowsInvalidUdpSocket)
{
    table.Last();
    table.Edit();
    table.FieldByName("TimeServer").setAsString("fe80::1");
    table.Post();
    ASSERT_EQ(table.FieldByName("TimeServer").asString(), "fe80::1");
    auto d = open();
    getTime(*d);
    EXPECT_EQ(boxes(*d), QStringList{"invalid udp socket"});
    EXPECT_EQ(result(*d), "Please wait.");
    EXPECT_TRUE(d->syncPending());
    d->Timer1Timer();
    EXPECT_EQ(result(*d), TfTimeServer::LongFailureText);

    // A name: the look-up is under way when the failure comes.
    first.behaviour.silent = true;
    table.First();
    auto named = open();
    getTime(*named);
    emit named->client().OnFailure(&named->client(), TIpSNTPClient::sfNoSocket, "invalid udp socket");
    EXPECT_EQ(boxes(*named), QStringList{"invalid udp socket"});
    EXPECT_EQ(result(*named), "Please wait.");
    EXPECT_TRUE(named->syncPending());
    named->Timer1Timer();
    EXPECT_EQ(result(*named), TfTimeServer::LongFailureText);
}

TEST_F(TimeServerDialog, ClosingStopsTheTimerAndTheQueryWaitingForAnAnswer)
{
    first.behaviour.silent = true;
    auto d = open();
    getTime(*d);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.requests == 1; }, 10000));
    ASSERT_NE(d->client().QuerySocket(), nullptr);
    d->close();
    EXPECT_EQ(d->client().QuerySocket(), nullptr);
    EXPECT_FALSE(d->findChild<QTimer *>("Timer1")->isActive());
}

} // namespace
