#pragma once
#include <QString>
#include <QStringList>

// The arithmetic of alarms, kept apart from tables and windows. Date-time
// values are days since 30 Dec 1899 (see DateTime.h).
namespace AlarmRules {

enum AlarmType { Once = 0, Hourly = 1, Daily = 2, FiveMinutes = 3, TenMinutes = 4, OneHour = 5, TwentyFourHours = 6 };

// The wizard's type choices, item index = TypeIndex.
const QStringList &typeNames();

// Type texts of a snooze record: the two tables carry different texts.
inline const QString kSnoozeTypeAlarm = QStringLiteral("Five Minute");
inline const QString kSnoozeTypeAlarm2 = QStringLiteral("5 minute");

// Due when not activated, today's date has reached `date` and the time of day
// has reached `time`, compared separately: a past date does not make an alarm
// due before its time of day. Only the date part of `date` and the time part
// of `time` count, so a whole date-time stored in both fields still works.
bool isDue(bool activated, double date, double time, double now);

// The first moment at or after `now` at which the alarm is due (`now` itself
// when it is due); +infinity for an activated alarm, which is never due.
double earliestDue(bool activated, double date, double time, double now);

// Rounds a date-time to the nearest millisecond, the resolution of the
// stored time of day, so that repeated arithmetic cannot drift.
double snapToMs(double value);

// now + minutes, with seconds and milliseconds cut off.
double minutesAheadCut(double now, int minutes);

// Next occurrence of an hourly alarm: one hour after the stored due moment
// (not after now).
struct DateAndTime
{
    double date;
    double time;
};
DateAndTime nextHourly(double date, double time);
// A moment split into its date and its time of day on whole milliseconds,
// so that the time of day is the exact value a picker or a clock gives.
DateAndTime splitMoment(double value);
// Next occurrence of a daily alarm: the next day, same time of day.
DateAndTime nextDaily(double date, double time);

// The snooze alarm's due moment: five minutes on, cut to the minute.
double snoozeMoment(double now);

// The wizard's due moment for types 3 to 6 (5, 10, 60 minutes on, cut to the
// minute; 24 Hours keeps the seconds); for other types the default of a new
// alarm, one hour on cut to the minute.
double wizardDueMoment(int typeIndex, double now);

// Types 0..6 that the wizard's time and date page is shown for.
inline bool hasTimeDatePage(int typeIndex) { return typeIndex <= Daily; }
// Types that come back after their message; every other value is removed.
inline bool repeats(int typeIndex) { return typeIndex == Hourly || typeIndex == Daily; }

} // namespace AlarmRules
