#include "DateTime.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace ZDateTime {

namespace {
const QDate kEpoch(1899, 12, 30);

QString shortDateFormat()
{
    QString f = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!f.contains("yyyy"))
        f.replace(QRegularExpression("y+"), "yyyy");
    return f;
}

QString longTimeFormat()
{
    QString f = QLocale::system().timeFormat(QLocale::LongFormat);
    f.remove(QRegularExpression("\\s*t+\\s*"));
    return f.trimmed();
}
} // namespace

double encodeDate(int year, int month, int day) { return double(kEpoch.daysTo(QDate(year, month, day))); }

double encodeTime(int hour, int minute, int second, int msec)
{
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / MsPerDay;
}

double fromQDateTime(const QDateTime &dt)
{
    return double(kEpoch.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / MsPerDay;
}

QDateTime toQDateTime(double value)
{
    const double days = std::floor(value);
    qint64 ms = std::llround((value - days) * MsPerDay);
    QDate date = kEpoch.addDays(qint64(days));
    if (ms >= qint64(MsPerDay)) {
        ms -= qint64(MsPerDay);
        date = date.addDays(1);
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

double dateOf(double value) { return std::trunc(value); }
double timeOf(double value) { return std::fabs(value - std::trunc(value)); }
namespace {
std::function<QDateTime()> &nowProvider()
{
    static std::function<QDateTime()> provider;
    return provider;
}
} // namespace

// The local time from the system clock and a kept UTC offset. Asking the C
// library for the local time looks at /etc/localtime on every call; the
// offset can only change on a whole minute (zone transitions fall on whole
// minutes), so it is asked once a minute, and again at once when the clock
// is set to another minute than the one the offset was asked in.
QDateTime systemNow()
{
    thread_local qint64 offsetMinute = std::numeric_limits<qint64>::min();
    thread_local int offsetSeconds = 0;
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    const qint64 minute = ms >= 0 ? ms / 60000 : (ms - 59999) / 60000;
    if (minute != offsetMinute) {
        offsetSeconds = QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc();
        offsetMinute = minute;
    }
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offsetSeconds);
}

QDateTime currentDateTime()
{
    const auto &provider = nowProvider();
    return provider ? provider() : systemNow();
}

double now() { return fromQDateTime(currentDateTime()); }

void setNowProvider(std::function<QDateTime()> provider) { nowProvider() = std::move(provider); }

QString toText(double value)
{
    const QDateTime dt = toQDateTime(value);
    const QLocale locale = QLocale::system();
    return locale.toString(dt.date(), shortDateFormat()) + ' ' + locale.toString(dt.time(), longTimeFormat());
}

bool fromText(const QString &input, double *value)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return false;
    const QLocale locale = QLocale::system();
    const QString dateFormats[] = {shortDateFormat(), locale.dateFormat(QLocale::ShortFormat), "yyyy-MM-dd"};
    const QString timeFormats[] = {longTimeFormat(), locale.timeFormat(QLocale::ShortFormat), "HH:mm:ss",
                                   "H:mm:ss", "HH:mm", "H:mm", "h:mm:ss AP", "h:mm AP"};
    for (const QString &df : dateFormats)
        for (const QString &tf : timeFormats) {
            const QDateTime dt = locale.toDateTime(text, df + ' ' + tf);
            if (dt.isValid()) {
                *value = fromQDateTime(dt);
                return true;
            }
        }
    for (const QString &tf : timeFormats) {
        const QTime t = locale.toTime(text, tf);
        if (t.isValid()) {
            *value = t.msecsSinceStartOfDay() / MsPerDay;
            return true;
        }
    }
    for (const QString &df : dateFormats) {
        const QDate d = locale.toDate(text, df);
        if (d.isValid()) {
            *value = double(kEpoch.daysTo(d));
            return true;
        }
    }
    return false;
}


QTime timeOfDay(double value)
{
    const qint64 dayMs = qint64(MsPerDay);
    return QTime::fromMSecsSinceStartOfDay(int(std::llround(timeOf(value) * MsPerDay) % dayMs));
}

double dayFraction(const QTime &time) { return time.msecsSinceStartOfDay() / MsPerDay; }

} // namespace ZDateTime
