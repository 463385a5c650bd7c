#include "FakeSystemClock.h"
#include "IpTime.h"
#include "NtpTime.h"
#include "TestSntpServer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    enum Kind { Time, Failure, Error } kind = Error;
    double timeStamp = 0;
    double offset = 0;
    double delay = 0;
    int stratum = 0;
    bool synchronized = false;
    TIpSNTPClient::TIpSNTPFailure failure = TIpSNTPClient::sfInvalidReply;
    QString text;
    int errCode = 0;
};

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

class SntpClient : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Not on a millisecond boundary: the request carries only milliseconds.
        clock.now = FakeSystemClock::nanosOf(utc(2024, 5, 17, 10, 20, 30, 456)) + 789123;
        QObject::connect(&client, &TIpSNTPClient::OnSNTPTime, &client,
                         [this](TIpSNTPClient *, double ts, double offset, double delay, int stratum, bool synced) {
                             Outcome o;
                             o.kind = Outcome::Time;
                             o.timeStamp = ts;
                             o.offset = offset;
                             o.delay = delay;
                             o.stratum = stratum;
                             o.synchronized = synced;
                             outcomes << o;
                         });
        QObject::connect(&client, &TIpSNTPClient::OnFailure, &client,
                         [this](TIpSNTPClient *, TIpSNTPClient::TIpSNTPFailure kind, const QString &reason) {
                             Outcome o;
                             o.kind = Outcome::Failure;
                             o.failure = kind;
                             o.text = reason;
                             outcomes << o;
                         });
        QObject::connect(&client, &TIpSNTPClient::OnError, &client,
                         [this](TIpSNTPClient *, qintptr, int code, const QString &text) {
                             Outcome o;
                             o.kind = Outcome::Error;
                             o.errCode = code;
                             o.text = text;
                             outcomes << o;
                         });
        client.setServer(server.entry());
        client.setSyncThreshold(999);
    }

    // Runs one query and returns its only outcome.
    Outcome query(const ServerBehaviour &b)
    {
        server.behaviour = b;
        outcomes.clear();
        client.QueryTime();
        const bool answered = QTest::qWaitFor([this] { return !outcomes.isEmpty(); }, 10000);
        QCoreApplication::processEvents(); // a second outcome would show up here
        EXPECT_TRUE(answered);
        EXPECT_EQ(outcomes.size(), 1);
        return outcomes.isEmpty() ? Outcome() : outcomes.first();
    }

    FakeSystemClock clock;
    TestSntpServer server{clock};
    TIpSNTPClient client{clock};
    QVector<Outcome> outcomes;
};

struct ValidCase
{
    const char *name;
    qint64 aheadMs;
    int threshold;
    int stratum;
    bool set;
};

void PrintTo(const ValidCase &c, std::ostream *os) { *os << c.name; }

class SntpValidReply : public SntpClient, public ::testing::WithParamInterface<ValidCase>
{
};

TEST_P(SntpValidReply, MeasuresTheOffsetAndSetsTheClockOnlyBeyondTheThreshold)
{
    const ValidCase &c = GetParam();
    client.setSyncThreshold(c.threshold);
    const qint64 before = clock.now;
    ServerBehaviour b;
    b.aheadMs = c.aheadMs;
    b.stratum = c.stratum;
    const Outcome o = query(b);

    ASSERT_EQ(o.kind, Outcome::Time) << o.text.toStdString();
    EXPECT_DOUBLE_EQ(o.offset, double(c.aheadMs));
    EXPECT_DOUBLE_EQ(o.delay, 0.0);
    EXPECT_EQ(o.stratum, c.stratum);
    EXPECT_EQ(o.synchronized, c.set);
    EXPECT_NEAR(o.timeStamp, Ntp::toDateTime(Ntp::fromUnixNanos(before) + c.aheadMs * 1000000), 1e-9);
    if (c.set) {
        ASSERT_EQ(clock.changes.size(), 1);
        EXPECT_TRUE(clock.changes[0].relative);
        EXPECT_EQ(clock.changes[0].usec, c.aheadMs * 1000);
        EXPECT_EQ(clock.now, before + c.aheadMs * 1000000);
    } else {
        EXPECT_TRUE(clock.changes.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Offsets, SntpValidReply,
                         ::testing::Values(ValidCase{"Ahead1200", 1200, 999, 1, true},
                                           ValidCase{"Behind1200", -1200, 999, 1, true},
                                           ValidCase{"Ahead500", 500, 999, 1, false},
                                           ValidCase{"Behind500", -500, 999, 1, false},
                                           ValidCase{"Exactly999", 999, 999, 1, false},
                                           ValidCase{"ExactlyMinus999", -999, 999, 1, false},
                                           ValidCase{"Ahead1000", 1000, 999, 1, true},
                                           ValidCase{"ThresholdZero", 5000, 0, 1, false},
                                           ValidCase{"Stratum15", 3000, 999, 15, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SntpClient, RequestIsVersion3ClientModeWithOnlyOurTransmitTime)
{
    const Outcome o = query({});
    ASSERT_EQ(o.kind, Outcome::Time);
    const QByteArray first = server.lastRequest;
    ASSERT_EQ(first.size(), 48);
    EXPECT_EQ(quint8(first[0]), 27);
    for (int i = 1; i < 40; ++i)
        EXPECT_EQ(first[i], 0) << "byte " << i;
    // Our clock's milliseconds, below them anything.
    const qint64 sent = Ntp::toNanos(Ntp::readTimestamp(reinterpret_cast<const unsigned char *>(first.constData()) + 40));
    const qint64 ms = Ntp::fromUnixNanos(clock.now - clock.now % 1000000);
    EXPECT_GE(sent, ms);
    EXPECT_LT(sent, ms + 1000000);

    // The clock stands still, yet the next request's transmit time differs:
    // the low bits are random.
    query({});
    EXPECT_NE(server.lastRequest.mid(40), first.mid(40));
}

struct RejectCase
{
    const char *name;
    void (*spoil)(ServerBehaviour &);
};

void PrintTo(const RejectCase &c, std::ostream *os) { *os << c.name; }

class SntpRejectedReply : public SntpClient, public ::testing::WithParamInterface<RejectCase>
{
};

// Each reply is 1.2 s ahead: believed, it would set the clock.
TEST_P(SntpRejectedReply, NeverSetsTheClockAndIsReportedAsAFailure)
{
    ServerBehaviour b;
    b.aheadMs = 1200;
    GetParam().spoil(b);
    const Outcome o = query(b);
    EXPECT_EQ(o.kind, Outcome::Failure);
    EXPECT_EQ(o.failure, TIpSNTPClient::sfInvalidReply);
    EXPECT_FALSE(o.text.isEmpty());
    EXPECT_TRUE(clock.changes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SntpRejectedReply,
    ::testing::Values(RejectCase{"ZeroTransmit", [](ServerBehaviour &b) { b.zeroTransmit = true; }},
                      RejectCase{"WrongOriginate", [](ServerBehaviour &b) { b.wrongOriginate = true; }},
                      RejectCase{"ClientMode", [](ServerBehaviour &b) { b.mode = 3; }},
                      RejectCase{"Version0", [](ServerBehaviour &b) { b.version = 0; }},
                      RejectCase{"Version5", [](ServerBehaviour &b) { b.version = 5; }},
                      RejectCase{"Stratum0", [](ServerBehaviour &b) { b.stratum = 0; }},
                      RejectCase{"Stratum16", [](ServerBehaviour &b) { b.stratum = 16; }},
                      RejectCase{"LeapIndicator3", [](ServerBehaviour &b) { b.leap = 3; }},
                      RejectCase{"Short47Bytes", [](ServerBehaviour &b) { b.length = 47; }},
                      RejectCase{"Empty", [](ServerBehaviour &b) { b.length = 0; }},
                      RejectCase{"NegativeDelay", [](ServerBehaviour &b) { b.holdMs = 10; }},
                      RejectCase{"FarRootDistance", [](ServerBehaviour &b) { b.rootDispersion = 0x10001; }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SntpClient, ReplyFromAnotherPortIsNeverRead)
{
    ServerBehaviour b;
    b.aheadMs = 1200;
    b.fromOtherPort = true;
    server.impostor.aheadMs = 5000; // sent first, from the server's address but not its port
    const Outcome o = query(b);
    ASSERT_EQ(o.kind, Outcome::Time);
    EXPECT_DOUBLE_EQ(o.offset, 1200.0);
}

TEST_F(SntpClient, TimestampsAfter2036AreReadInTheNextEra)
{
    clock.setNow(utc(2040, 3, 1, 12, 0, 0));
    const qint64 before = clock.now;
    ServerBehaviour b;
    b.aheadMs = 1200;
    const Outcome o = query(b);
    ASSERT_EQ(o.kind, Outcome::Time) << o.text.toStdString();
    EXPECT_DOUBLE_EQ(o.offset, 1200.0);
    EXPECT_TRUE(o.synchronized);
    const double expected = QDate(1899, 12, 30).daysTo(QDate(2040, 3, 1)) + 0.5 + 1.2 / 86400;
    EXPECT_NEAR(o.timeStamp, expected, 1e-9);
    EXPECT_EQ(clock.now, before + 1200 * 1000000LL);
}

TEST_F(SntpClient, RefusedClockChangeIsAFailureNotASynchronization)
{
    clock.refuse = true;
    ServerBehaviour b;
    b.aheadMs = 1200;
    const Outcome o = query(b);
    EXPECT_EQ(o.kind, Outcome::Failure);
    EXPECT_EQ(o.failure, TIpSNTPClient::sfClockRefused);
    EXPECT_TRUE(o.text.contains("could not be set"));
    EXPECT_TRUE(o.text.contains(clock.refuseReason));
    EXPECT_EQ(clock.changes.size(), 1);
}

TEST_F(SntpClient, UnansweredQueryClosesItsSocketAtTheNextQueryAndAtCancel)
{
    server.behaviour.silent = true;
    client.QueryTime();
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.requests == 1; }, 10000));
    QPointer<QUdpSocket> first = client.QuerySocket();
    ASSERT_TRUE(first);

    client.QueryTime();
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.requests == 2; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }, 1000));
    QPointer<QUdpSocket> second = client.QuerySocket();
    ASSERT_TRUE(second);
    EXPECT_NE(second.data(), first.data());

    client.Cancel();
    EXPECT_EQ(client.QuerySocket(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.isNull(); }, 1000));
    EXPECT_TRUE(outcomes.isEmpty());
}

TEST_F(SntpClient, ServerThatCannotBeResolvedIsAFailure)
{
    for (const char *name : {"", "no-such-host.invalid", "host:99999"}) {
        client.setServer(name);
        const Outcome o = query({});
        EXPECT_EQ(o.kind, Outcome::Failure) << name;
        EXPECT_EQ(o.failure, TIpSNTPClient::sfUnresolved) << name;
        EXPECT_EQ(server.requests, 0);
    }
}

// A link-local address without its interface takes no socket. Given as an
// address, QueryTime throws at once; given as a name that the look-up turns
// into it, the same text comes later, as a failure of the query.
TEST_F(SntpClient, AnAddressNoSocketOpensForIsAnInvalidUdpSocket)
{
    client.setServer("fe80::1");
    try {
        client.QueryTime();
        ADD_FAILURE() << "no error";
    } catch (const ESntpError &e) {
        EXPECT_STREQ(e.what(), "invalid udp socket");
    }
    EXPECT_EQ(client.QuerySocket(), nullptr);
}

// The system's look-up cannot be made to give such an address here.
class LinkLocalLookUp : public TIpSNTPClient
{
public:
    using TIpSNTPClient::TIpSNTPClient;

protected:
    void lookUp(const QString &host, int query) override
    {
        QMetaObject::invokeMethod(
            this,
            [this, host, query] {
                lookedUp(query, host == "link-local.test" ? QList<QHostAddress>{QHostAddress("fe80::1")}
                                                          : QList<QHostAddress>{});
            },
            Qt::QueuedConnection);
    }
};

TEST_F(SntpClient, ANameNoSocketOpensForIsAnInvalidUdpSocket)
{
    LinkLocalLookUp named(clock);
    QVector<QPair<TIpSNTPClient::TIpSNTPFailure, QString>> failures;
    int others = 0;
    QObject::connect(&named, &TIpSNTPClient::OnFailure, &named,
                     [&](TIpSNTPClient *, TIpSNTPClient::TIpSNTPFailure kind, const QString &reason) {
                         failures.append({kind, reason});
                     });
    QObject::connect(&named, &TIpSNTPClient::OnError, &named, [&] { ++others; });
    QObject::connect(&named, &TIpSNTPClient::OnSNTPTime, &named, [&] { ++others; });
    named.setServer("link-local.test:123");
    named.QueryTime();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.isEmpty(); }, 10000));
    QCoreApplication::processEvents();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0].first, TIpSNTPClient::sfNoSocket);
    EXPECT_EQ(failures[0].second, "invalid udp socket");
    EXPECT_EQ(others, 0);
    EXPECT_EQ(named.QuerySocket(), nullptr);
}

} // namespace
