#include "DateTime.h"

#include <gtest/gtest.h>

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
