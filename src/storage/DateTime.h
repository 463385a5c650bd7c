#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

// Date-time values are doubles counting days since 30 December 1899 at
// midnight: the whole part is the date, the fraction the time of day.
namespace ZDateTime {

constexpr double MsPerDay = 86400000.0;

double fromQDateTime(const QDateTime &dt);
QDateTime toQDateTime(double value);
double encodeDate(int year, int month, int day);
double encodeTime(int hour, int minute, int second, int msec = 0);
double dateOf(double value);
double timeOf(double value);
// The time of day a value holds, as a clock face or a time picker shows it
// (rounded to the millisecond; a value's date is ignored), and back.
QTime timeOfDay(double value);
double dayFraction(const QTime &time);
// The local date and time; tests replace where it comes from so that
// alarms, chimes and the tick can be driven without waiting.
double now();
QDateTime currentDateTime();
void setNowProvider(std::function<QDateTime()> provider);

// The system's short date and long time text, with a four-digit year so that
// a value written and read back keeps its date. The time keeps no zone name.
QString toText(double value);
// Reads a date, a time or both as the system writes them (also 24-hour
// "hh:mm:ss" and ISO text); false when nothing fits.
bool fromText(const QString &text, double *value);

} // namespace ZDateTime
