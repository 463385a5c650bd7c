#include "AlarmText.h"
#include "DateTime.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>

namespace AlarmText {

QString shortDate(double date)
{
    return QLocale::system().toString(ZDateTime::toQDateTime(ZDateTime::dateOf(date)).date(), QLocale::ShortFormat);
}

QString longTimeFormat()
{
    QString f = QLocale::system().timeFormat(QLocale::LongFormat);
    f.remove(QRegularExpression("\\s*t+\\s*"));
    return f.trimmed();
}

QString longTime(double time)
{
    return QLocale::system().toString(ZDateTime::toQDateTime(ZDateTime::timeOf(time)).time(), longTimeFormat());
}

QString dueLine(double date, double time) { return shortDate(date) + "  " + longTime(time); }

QStringList soundList(const QString &folder)
{
    QStringList names;
    QDir dir(folder);
    if (dir.exists())
        names = dir.entryList({"*.wav", "*.mid", "*.mp3"}, QDir::Files | QDir::Readable,
                              QDir::Name | QDir::IgnoreCase);
    names << QStringLiteral("None");
    return names;
}

} // namespace AlarmText
