#include "AlarmRules.h"
#include "AlarmText.h"
#include "AlarmWizardPages.h"
#include "DateTime.h"
#include "TempFolder.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <cmath>

using namespace AlarmRules;

namespace {

double moment(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return ZDateTime::fromQDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)));
}

QString text(double value) { return ZDateTime::toQDateTime(value).toString("yyyy-MM-dd HH:mm:ss.zzz"); }

struct DueCase
{
    const char *name;
    bool activated;
    double date, time, now;
    bool due;
};

} // namespace

TEST(AlarmDueRule, DateAndTimeAreComparedSeparately)
{
    const double now = moment(2024, 3, 5, 10, 3, 45);
    const double today = ZDateTime::encodeDate(2024, 3, 5);
    const DueCase cases[] = {
        {"once a minute ago", false, today, ZDateTime::encodeTime(10, 2, 45), now, true},
        {"exactly now", false, today, ZDateTime::encodeTime(10, 3, 45), now, true},
        {"a millisecond ahead", false, today, ZDateTime::encodeTime(10, 3, 45, 1), now, false},
        {"yesterday, later time of day", false, today - 1, ZDateTime::encodeTime(11, 0, 0), now, false},
        {"yesterday, earlier time of day", false, today - 1, ZDateTime::encodeTime(9, 0, 0), now, true},
        {"tomorrow, earlier time of day", false, today + 1, ZDateTime::encodeTime(9, 0, 0), now, false},
        {"activated", true, today, ZDateTime::encodeTime(9, 0, 0), now, false},
        // A whole date-time in both fields counts by its own part in each.
        {"date-time in both fields", false, today + ZDateTime::encodeTime(10, 0, 0), today + ZDateTime::encodeTime(10, 0, 0),
         now, true},
    };
    for (const DueCase &c : cases) {
        EXPECT_EQ(isDue(c.activated, c.date, c.time, c.now), c.due) << c.name;
        // No alarm is due before the moment the check remembers for it.
        const double e = earliestDue(c.activated, c.date, c.time, c.now);
        if (c.due)
            EXPECT_EQ(e, c.now) << c.name;
        else
            EXPECT_GT(e, c.now) << c.name;
    }
}

TEST(AlarmDueRule, EarliestDueIsTheFirstDueMoment)
{
    const double now = moment(2024, 3, 5, 10, 0);
    const double today = ZDateTime::encodeDate(2024, 3, 5);
    // Yesterday at 11:00 waits for today's 11:00; tomorrow at 9:00 for tomorrow's.
    EXPECT_EQ(text(earliestDue(false, today - 1, ZDateTime::encodeTime(11, 0, 0), now)), "2024-03-05 11:00:00.000");
    EXPECT_EQ(text(earliestDue(false, today + 1, ZDateTime::encodeTime(9, 0, 0), now)), "2024-03-06 09:00:00.000");
    EXPECT_TRUE(std::isinf(earliestDue(true, today, 0.0, now)));
}

TEST(AlarmArithmetic, NextOccurrences)
{
    const double day = ZDateTime::encodeDate(2024, 3, 5);
    const DateAndTime h = nextHourly(day, ZDateTime::encodeTime(23, 30, 0));
    EXPECT_EQ(text(h.date + h.time), "2024-03-06 00:30:00.000");
    EXPECT_EQ(h.date, day + 1);
    EXPECT_EQ(h.time, ZDateTime::encodeTime(0, 30, 0));
    const DateAndTime d = nextDaily(day, ZDateTime::encodeTime(7, 15, 20));
    EXPECT_EQ(d.date, day + 1);
    EXPECT_EQ(d.time, ZDateTime::encodeTime(7, 15, 20));
}

// Repeated hourly moves must land on exact times: a time of day a hair under
// midnight would only come due in the last millisecond of some later day.
TEST(AlarmArithmetic, HourlyMovesDoNotDrift)
{
    DateAndTime at{ZDateTime::encodeDate(2024, 3, 5), ZDateTime::encodeTime(0, 0, 0, 7)};
    for (int i = 0; i < 24 * 40; ++i) {
        at = nextHourly(at.date, at.time);
        ASSERT_EQ(at.time, ZDateTime::encodeTime((i + 1) % 24, 0, 0, 7)) << "step " << i;
    }
    EXPECT_EQ(at.date, ZDateTime::encodeDate(2024, 3, 5) + 40);
}

TEST(AlarmArithmetic, SnoozeAndWizardMoments)
{
    struct Case
    {
        int type;
        double now;
        const char *expected;
    };
    const double t = moment(2024, 3, 5, 10, 17, 42);
    const Case cases[] = {
        {-1, t, "2024-03-05 11:17:00.000"},
        {FiveMinutes, t, "2024-03-05 10:22:00.000"},
        {TenMinutes, t, "2024-03-05 10:27:00.000"},
        {OneHour, t, "2024-03-05 11:17:00.000"},
        {TwentyFourHours, moment(2024, 3, 5, 10, 17, 42, 250), "2024-03-06 10:17:42.250"},
        {-1, moment(2024, 12, 31, 23, 30, 5), "2025-01-01 00:30:00.000"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(text(wizardDueMoment(c.type, c.now)), c.expected) << "type " << c.type;
    EXPECT_EQ(text(snoozeMoment(moment(2024, 3, 5, 10, 3, 45))), "2024-03-05 10:08:00.000");
    EXPECT_EQ(text(snoozeMoment(moment(2024, 3, 5, 23, 57, 10))), "2024-03-06 00:02:00.000");
}

// Installed, the wizard lists the user's own sounds with the shipped ones.
TEST(AlarmSoundList, TheUsersAndTheShippedSoundsTogetherThenNone)
{
    TempFolder own, shipped;
    for (const char *f : {"ring.wav", "Zebra.mp3", "notes.txt"})
        own.write(f, "x");
    for (const char *f : {"gong.wav", "ring.wav", "melody.MID", "beeps.wav"})
        shipped.write(f, "x");
    EXPECT_EQ(AlarmText::soundList(QStringList{own.path(), shipped.path()}),
              QStringList({"beeps.wav", "gong.wav", "melody.MID", "ring.wav", "Zebra.mp3", "None"}));
    EXPECT_EQ(AlarmText::soundList(QStringList{own.file("gone/"), shipped.file("gone/")}), QStringList({"None"}));
}

// Which page Next and Previous go to: the time and date page only for Once,
// Hourly and Daily; the other types pass over it both ways.
TEST(AlarmWizardPages, NextAndPreviousByType)
{
    namespace P = AlarmWizardPages;
    struct Case
    {
        int type;
        int page;
        int next, previous;
    };
    const Case cases[] = {
        {Once, P::Title, P::Type, P::Title},
        {Once, P::Type, P::TimeDate, P::Title},
        {Once, P::TimeDate, P::Message, P::Type},
        {Once, P::Message, P::Sound, P::TimeDate},
        {Hourly, P::Type, P::TimeDate, P::Title},
        {Daily, P::Message, P::Sound, P::TimeDate},
        {Daily, P::Sound, P::Done, P::Message},
        {Daily, P::Done, P::Finished, P::Sound},
        {FiveMinutes, P::Type, P::Message, P::Title},
        {FiveMinutes, P::Message, P::Sound, P::Type},
        {TenMinutes, P::Type, P::Message, P::Title},
        {OneHour, P::Message, P::Sound, P::Type},
        {TwentyFourHours, P::Type, P::Message, P::Title},
        {TwentyFourHours, P::Message, P::Sound, P::Type},
        {TwentyFourHours, P::Done, P::Finished, P::Sound},
        // No type chosen yet: the time page is shown.
        {-1, P::Type, P::TimeDate, P::Title},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(P::next(c.page, c.type), c.next) << "type " << c.type << ", page " << c.page;
        EXPECT_EQ(P::previous(c.page, c.type), c.previous) << "type " << c.type << ", page " << c.page;
    }
    EXPECT_TRUE(P::passesTimeDate(P::Type, P::Message));
    EXPECT_FALSE(P::passesTimeDate(P::Type, P::TimeDate));
    EXPECT_FALSE(P::passesTimeDate(P::Message, P::Type)) << "going back sets no due moment";
}
