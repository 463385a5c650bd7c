#include "TimeText.h"

#include <QLocale>
#include <QRegularExpression>

namespace TimeText {

QString longTimeFormat()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    // The zone name adds nothing to a clock that always shows local time.
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return format.trimmed();
}

QString longTime(const QTime &time) { return QLocale::system().toString(time, longTimeFormat()); }

QString dateAndTime(const QDateTime &local)
{
    return QLocale::system().toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') + longTime(local.time());
}

} // namespace TimeText
