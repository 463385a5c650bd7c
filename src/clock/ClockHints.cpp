#include "ClockHints.h"

#include <QLocale>

QString windowHint(const QDate &today) { return QLocale::system().toString(today, "ddd MMM d"); }

QString trayHint(const QTime &time, const QString &dayHint)
{
    return QLocale::system().toString(time, QLocale::ShortFormat) + ' ' + dayHint;
}
