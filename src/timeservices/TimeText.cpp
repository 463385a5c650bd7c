#include "TimeText.h"

#include <QLocale>
#include <QRegularExpression>

namespace TimeText {

QString longTime(const QTime &time)
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    // The zone name adds nothing to a clock that always shows local time.
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return QLocale::system().toString(time, format.trimmed());
}

QString dateAndTime(const QDateTime &local)
{
    return QLocale::system().toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') + longTime(local.time());
}

} // namespace TimeText
