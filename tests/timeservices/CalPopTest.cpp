#include "FakeSystemClock.h"
#include "LocalZone.h"
#include "uCalPop.h"

#include <QCalendarWidget>
#include <gtest/gtest.h>

namespace {

struct LastDay
{
    const char *name;
    QDate date;
};

void PrintTo(const LastDay &c, std::ostream *os) { *os << c.name; }

class CalPop : public ::testing::TestWithParam<LastDay>
{
protected:
    LocalZone zone;
    FakeSystemClock clock;
};

// Half past midnight local time is still the day before in UTC.
TEST_P(CalPop, OpensOnTodayAndComesBackToItAfterBrowsing)
{
    const QDate today = GetParam().date;
    clock.setNow(QDateTime(today, QTime(0, 30), Qt::LocalTime));
    TfCalPop pop(clock);
    QCalendarWidget *cal = pop.calendar();
    pop.show();
    EXPECT_EQ(cal->selectedDate(), today);
    EXPECT_EQ(cal->yearShown(), today.year());
    EXPECT_EQ(cal->monthShown(), today.month());

    cal->showNextMonth();
    cal->showNextMonth();
    cal->setSelectedDate(today.addDays(40));
    pop.close();

    clock.advanceMs(24 * 3600 * 1000); // the next opening is on the first of the next month
    pop.show();
    const QDate tomorrow = today.addDays(1);
    EXPECT_EQ(cal->selectedDate(), tomorrow);
    EXPECT_EQ(cal->yearShown(), tomorrow.year());
    EXPECT_EQ(cal->monthShown(), tomorrow.month());
}

INSTANTIATE_TEST_SUITE_P(MonthEnds, CalPop,
                         ::testing::Values(LastDay{"EndOfYear", QDate(2023, 12, 31)},
                                           LastDay{"LeapFebruary", QDate(2024, 2, 29)},
                                           LastDay{"ThirtyDayMonth", QDate(2024, 4, 30)}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
