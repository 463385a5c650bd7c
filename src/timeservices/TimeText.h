#pragma once
#include <QDateTime>
#include <QString>

// How the time dialogs write times: the system's long time format (without a
// zone name) and, for status bars, its short date followed by that time.
namespace TimeText {
QString longTimeFormat();
QString longTime(const QTime &time);
QString dateAndTime(const QDateTime &local);
} // namespace TimeText
