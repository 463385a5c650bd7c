#include "AlarmRules.h"
#include "DateTime.h"

#include <cmath>
#include <limits>

namespace AlarmRules {

namespace {
constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kMsPerMinute = 60000;

qint64 toMs(double value) { return std::llround(value * ZDateTime::MsPerDay); }
double fromMs(qint64 ms) { return double(ms) / ZDateTime::MsPerDay; }

DateAndTime splitExact(double value)
{
    // Split on whole milliseconds so that the time of day is exact.
    const qint64 ms = toMs(value);
    qint64 days = ms / kMsPerDay;
    qint64 rest = ms % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --days;
    }
    return {double(days), fromMs(rest)};
}
} // namespace

const QStringList &typeNames()
{
    static const QStringList names = {"Once", "Hourly", "Daily", "Five Minutes", "Ten Minutes", "One Hour", "24 Hours"};
    return names;
}

bool isDue(bool activated, double date, double time, double now)
{
    if (activated)
        return false;
    return ZDateTime::dateOf(now) >= ZDateTime::dateOf(date) && ZDateTime::timeOf(now) >= ZDateTime::timeOf(time);
}

double earliestDue(bool activated, double date, double time, double now)
{
    if (activated)
        return std::numeric_limits<double>::infinity();
    const double d = ZDateTime::dateOf(date);
    const double t = ZDateTime::timeOf(time);
    const double today = ZDateTime::dateOf(now);
    if (today < d)
        return d + t;
    if (ZDateTime::timeOf(now) >= t)
        return now;
    return today + t;
}

double snapToMs(double value) { return fromMs(toMs(value)); }

double minutesAheadCut(double now, int minutes)
{
    const qint64 ms = toMs(now) + minutes * kMsPerMinute;
    return fromMs(ms - ((ms % kMsPerMinute) + kMsPerMinute) % kMsPerMinute);
}

DateAndTime nextHourly(double date, double time)
{
    const double x = date + time + 1.0 / 24.0;
    return splitExact(x);
}

DateAndTime nextDaily(double date, double time) { return {date + 1.0, time}; }

DateAndTime splitMoment(double value) { return splitExact(value); }

double snoozeMoment(double now) { return minutesAheadCut(now, 5); }

double wizardDueMoment(int typeIndex, double now)
{
    switch (typeIndex) {
    case FiveMinutes: return minutesAheadCut(now, 5);
    case TenMinutes: return minutesAheadCut(now, 10);
    case OneHour: return minutesAheadCut(now, 60);
    case TwentyFourHours: return now + 1.0;
    default: return minutesAheadCut(now, 60);
    }
}

} // namespace AlarmRules
