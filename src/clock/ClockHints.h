#pragma once
#include <QDateTime>
#include <QString>

// The tray icon's hint: the short time, then the day as the window's hint
// shows it ("3:07 PM Tue Mar 5" under United States settings).
QString trayHint(const QTime &time, const QString &dayHint);
// The window's tooltip: abbreviated day name, month name and day ("Tue Mar 5").
QString windowHint(const QDate &today);
