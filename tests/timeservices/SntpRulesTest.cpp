#include "SntpReply.h"
#include "SntpServerEntry.h"

#include <gtest/gtest.h>

namespace {

TEST(SntpThreshold, OnlyAPositiveThresholdStrictlyExceededSetsTheClock)
{
    struct Case
    {
        double offsetMs;
        int threshold;
        bool set;
    } cases[] = {
        {1200, 999, true}, {-1200, 999, true}, {999, 999, false},     {-999, 999, false},
        {999.5, 999, true}, {500, 999, false}, {5000, 0, false},      {5000, -1, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Sntp::exceedsThreshold(c.offsetMs, c.threshold), c.set) << c.offsetMs << " / " << c.threshold;
}

// The root distance limit is 1 s: root delay / 2 + root dispersion.
TEST(SntpReply, RootDistanceOfExactlyOneSecondIsAccepted)
{
    const qint64 t1 = Ntp::fromUnixNanos(1700000000LL * Ntp::NanosPerSecond);
    const Ntp::Timestamp sent = Ntp::fromNanos(t1);
    auto reply = [&](quint32 rootDelay, quint32 rootDispersion) {
        QByteArray r(48, '\0');
        auto *p = reinterpret_cast<unsigned char *>(r.data());
        p[0] = 0x24; // version 4, server
        p[1] = 1;
        for (int i = 0; i < 4; ++i) {
            p[4 + i] = static_cast<unsigned char>(rootDelay >> (24 - 8 * i));
            p[8 + i] = static_cast<unsigned char>(rootDispersion >> (24 - 8 * i));
        }
        Ntp::writeTimestamp(p + 24, sent);
        Ntp::writeTimestamp(p + 32, sent);
        Ntp::writeTimestamp(p + 40, sent);
        return r;
    };
    EXPECT_EQ(Sntp::evaluateReply(reply(0x10000, 0x8000), sent, t1, t1).fault, Sntp::Fault::None);
    EXPECT_EQ(Sntp::evaluateReply(reply(0x10000, 0x8001), sent, t1, t1).fault, Sntp::Fault::FarRootDistance);
    EXPECT_EQ(Sntp::evaluateReply(reply(0, 0x10000), sent, t1, t1).fault, Sntp::Fault::None);
    EXPECT_EQ(Sntp::evaluateReply(reply(0x20002, 0), sent, t1, t1).fault, Sntp::Fault::FarRootDistance);
}

TEST(SntpServerEntry, ReadsHostAndOptionalPort)
{
    struct Case
    {
        const char *text;
        bool ok;
        const char *host;
        quint16 port;
    } cases[] = {
        {"pool.ntp.org", true, "pool.ntp.org", 123},
        {" time.example.net:1234 ", true, "time.example.net", 1234},
        {"127.0.0.1:40000", true, "127.0.0.1", 40000},
        {"::1", true, "::1", 123},
        {"[::1]:5123", true, "::1", 5123},
        {"[fe80::1]", true, "fe80::1", 123},
        {"", false, "", 0},
        {"host:", false, "", 0},
        {"host:0", false, "", 0},
        {"host:70000", false, "", 0},
        {"host:12x", false, "", 0},
        {":123", false, "", 0},
        {"[::1", false, "", 0},
    };
    for (const Case &c : cases) {
        SntpServerEntry e;
        ASSERT_EQ(SntpServerEntry::parse(c.text, &e), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(e.host, QString(c.host)) << c.text;
            EXPECT_EQ(e.port, c.port) << c.text;
        }
    }
}

} // namespace
