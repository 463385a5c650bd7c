#include "ClockHints.h"

#include <QLocale>

QString windowHint(const QDate &today) { return QLocale::system().toString(today, "ddd MMM d"); }

QString trayHint(const QDateTime &now)
{
    return QLocale::system().toString(now.time(), QLocale::ShortFormat) + ' ' + windowHint(now.date());
}
