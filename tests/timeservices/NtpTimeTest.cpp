#include "NtpTime.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

qint64 ntpNanosOf(const QDateTime &utc) { return Ntp::fromUnixNanos(utc.toMSecsSinceEpoch() * 1000000); }

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

struct EraCase
{
    const char *name;
    quint32 seconds;
    QDateTime when;
};

void PrintTo(const EraCase &c, std::ostream *os) { *os << c.name; }

class NtpEra : public ::testing::TestWithParam<EraCase>
{
};

// Wire seconds are read in the window 1968..2104: the top bit chooses the era.
TEST_P(NtpEra, WireSecondsMapToTheirInstantAndBack)
{
    const EraCase &c = GetParam();
    const qint64 expected = ntpNanosOf(c.when);
    EXPECT_EQ(Ntp::toNanos({c.seconds, 0}), expected);
    EXPECT_EQ(Ntp::fromNanos(expected), (Ntp::Timestamp{c.seconds, 0}));
}

INSTANTIATE_TEST_SUITE_P(
    Window, NtpEra,
    ::testing::Values(EraCase{"FirstOfWindow", 0x80000000u, utc(1968, 1, 20, 3, 14, 8)},
                      EraCase{"Year2024", 3913056000u, utc(2024, 1, 1, 0, 0, 0)},
                      EraCase{"LastSecondOfEra0", 0xFFFFFFFFu, utc(2036, 2, 7, 6, 28, 15)},
                      EraCase{"FirstSecondOfEra1", 0u, utc(2036, 2, 7, 6, 28, 16)},
                      EraCase{"Year2040", quint32(3913056000u + 16ull * 365 * 86400 + 4 * 86400), utc(2040, 1, 1, 0, 0, 0)},
                      EraCase{"LastOfWindow", 0x7FFFFFFFu, utc(2104, 2, 26, 9, 42, 23)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NtpTime, FractionRoundTripsEveryNanosecondItIsGiven)
{
    const qint64 base = ntpNanosOf(utc(2024, 6, 1, 12, 0, 0));
    for (qint64 ns : {0LL, 1LL, 499999999LL, 500000000LL, 999999999LL, 123456789LL})
        EXPECT_EQ(Ntp::toNanos(Ntp::fromNanos(base + ns)), base + ns) << ns;
    EXPECT_EQ(Ntp::fromNanos(base + 500000000).fraction, 0x80000000u);
    // Just under a second rounds up into the next second, not past the fraction.
    const Ntp::Timestamp almost = Ntp::fromNanos(base + 999999999);
    EXPECT_EQ(almost.seconds, Ntp::fromNanos(base).seconds);
}

TEST(NtpTime, DateTimeValuesCountDaysFrom30December1899)
{
    EXPECT_DOUBLE_EQ(Ntp::toDateTime(0), 2.0); // 1 January 1900
    EXPECT_EQ(Ntp::fromDateTime(2.0), 0);
    const QDate epoch(1899, 12, 30);
    const QDateTime when = utc(2040, 3, 1, 18, 0, 0);
    const double value = double(epoch.daysTo(when.date())) + 0.75;
    EXPECT_DOUBLE_EQ(Ntp::toDateTime(ntpNanosOf(when)), value);
    EXPECT_EQ(Ntp::fromDateTime(value), ntpNanosOf(when));
}

TEST(NtpTime, WireBytesAreBigEndian)
{
    unsigned char bytes[8];
    Ntp::writeTimestamp(bytes, {0x01020304u, 0xA0B0C0D0u});
    const unsigned char expected[8] = {1, 2, 3, 4, 0xA0, 0xB0, 0xC0, 0xD0};
    EXPECT_EQ(0, memcmp(bytes, expected, 8));
    EXPECT_EQ(Ntp::readTimestamp(bytes), (Ntp::Timestamp{0x01020304u, 0xA0B0C0D0u}));
}

} // namespace
