#pragma once
#include <QString>
#include <QStringList>

// Texts the alarm windows show, in the system's own formats.
namespace AlarmText {

// The system's short date form.
QString shortDate(double date);
// The system's long time form, without a time zone name.
QString longTime(double time);
// The time picker's display format: the long time form.
QString longTimeFormat();
// The due-time line of the message window: date, two spaces, time.
QString dueLine(double date, double time);

// The names of the alarm sound files in folder ("*.wav", "*.mid", "*.mp3",
// any letter case), sorted by name, followed by "None". A missing or
// unreadable folder gives "None" alone.
QStringList soundList(const QString &folder);
// The same over several folders (the user's own and the shipped one): each
// name once, all sorted together, then "None".
QStringList soundList(const QStringList &folders);

} // namespace AlarmText
