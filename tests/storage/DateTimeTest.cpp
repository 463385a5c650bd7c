#include "DateTime.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

using namespace ZDateTime;

TEST(DateTime, DaysSince1899)
{
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(encodeTime(12, 0, 0), 0.5);
    EXPECT_NEAR(encodeTime(22, 0, 0), 0.9166666, 1e-6);
    const QDateTime dt(QDate(2026, 12, 10), QTime(13, 45, 30, 250));
    EXPECT_EQ(toQDateTime(fromQDateTime(dt)), dt);
    EXPECT_EQ(toQDateTime(encodeDate(2026, 1, 1) + encodeTime(23, 59, 59, 999)),
              QDateTime(QDate(2026, 1, 1), QTime(23, 59, 59, 999)));
}

TEST(DateTime, TextRoundTripKeepsSecondsAndDayZero)
{
    for (double v : {encodeTime(22, 0, 0), encodeTime(6, 0, 0), encodeTime(0, 0, 1), encodeTime(23, 59, 59),
                     encodeDate(2026, 12, 31) + encodeTime(13, 5, 7)}) {
        double back = -1;
        ASSERT_TRUE(fromText(toText(v), &back)) << toText(v).toStdString();
        EXPECT_NEAR(back, v, 0.5 / 86400.0) << toText(v).toStdString();
    }
}

TEST(DateTime, TextThatIsNoTimeIsRefused)
{
    double v = 7;
    for (const char *text : {"", "   ", "abc", "25:00:00", "12/30/1899 99:00"})
        EXPECT_FALSE(fromText(text, &v)) << text;
    EXPECT_EQ(v, 7);
    ASSERT_TRUE(fromText("22:00:00", &v));
    EXPECT_NEAR(v, encodeTime(22, 0, 0), 1e-9);
}

// The clock's own local time (a kept UTC offset) agrees with the system's
// for zones east and west of Greenwich, on half hours and a quarter hour.
// Each zone is read on a thread of its own, whose kept offset is new.
TEST(DateTime, CurrentTimeAgreesWithTheSystemsLocalTime)
{
    const QByteArray saved = qgetenv("TZ");
    for (const char *zone : {"UTC", "Europe/Berlin", "America/St_Johns", "Asia/Kathmandu", "Pacific/Chatham"}) {
        SCOPED_TRACE(zone);
        qputenv("TZ", zone);
        tzset();
        QDateTime ours, system;
        std::thread([&] {
            system = QDateTime::currentDateTime();
            ours = currentDateTime();
        }).join();
        EXPECT_EQ(ours.offsetFromUtc(), system.offsetFromUtc());
        EXPECT_LT(std::abs(system.msecsTo(ours)), 5000);
        EXPECT_LT(std::abs(QDateTime(system.date(), system.time(), Qt::UTC)
                               .msecsTo(QDateTime(ours.date(), ours.time(), Qt::UTC))),
                  5000)
            << "the local fields";
    }
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    tzset();
}

TEST(DateTime, TimeOfDayIgnoresTheDateAndRoundsToTheMillisecond)
{
    const struct
    {
        double value;
        QTime time;
    } cases[] = {
        {0.0, QTime(0, 0)},
        {0.5, QTime(12, 0)},
        {45000.25, QTime(6, 0)},                       // a date in front
        {22.0 / 24.0, QTime(22, 0)},                   // not exact in binary
        {1.0 - 0.1 / ZDateTime::MsPerDay, QTime(0, 0)}, // rounds up to the next midnight
        {encodeTime(23, 59, 59, 999), QTime(23, 59, 59, 999)},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(timeOfDay(c.value), c.time) << c.value;
        EXPECT_EQ(timeOfDay(dayFraction(c.time)), c.time) << c.value;
    }
}
