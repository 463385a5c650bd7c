#include "AlarmText.h"
#include "AlarmRecord.h"
#include "DateTime.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

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

QStringList soundList(const QString &folder) { return soundList(QStringList{folder}); }

QStringList soundList(const QStringList &folders)
{
    QStringList names;
    for (const QString &folder : folders) {
        QDir dir(folder);
        if (dir.exists())
            names += dir.entryList({"*.wav", "*.mid", "*.mp3"}, QDir::Files | QDir::Readable);
    }
    names.removeDuplicates();
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    names << kNoSound;
    return names;
}

} // namespace AlarmText
