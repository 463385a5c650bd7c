#include "CoordIni.h"

#include <QFile>
#include <QStringList>

#include <climits>

CoordIni::CoordIni(const QString &fileName) : m_fileName(fileName)
{
    QFile f(fileName);
    if (f.open(QIODevice::ReadOnly))
        m_text = QString::fromUtf8(f.readAll());
}

std::optional<QString> CoordIni::value(const QString &section, const QString &key) const
{
    bool inSection = false;
    bool seenSection = false;
    const QStringList lines = m_text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int end = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, end < 0 ? -1 : end - 1).trimmed();
            if (inSection)
                return std::nullopt; // the first section of that name is the one read
            inSection = !seenSection && name.compare(section, Qt::CaseInsensitive) == 0;
            seenSection = seenSection || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString v = line.mid(eq + 1).trimmed();
        if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
            && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return v;
    }
    return std::nullopt;
}

QString CoordIni::ReadString(const QString &section, const QString &key, const QString &def) const
{
    return value(section, key).value_or(def);
}

int CoordIni::ReadInteger(const QString &section, const QString &key, int def) const
{
    const auto v = value(section, key);
    if (!v)
        return def;
    return parseIniInteger(*v).value_or(def);
}

std::optional<int> parseIniInteger(const QString &text)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.front() == QLatin1Char('-');
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t = t.mid(1);
    } else if (t.size() > 2 && t.front() == QLatin1Char('0') && (t[1] == QLatin1Char('x') || t[1] == QLatin1Char('X'))) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty())
        return std::nullopt;
    for (QChar ch : t) {
        const char16_t u = ch.unicode();
        const bool digit = (u >= '0' && u <= '9') || (base == 16 && ((u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')));
        if (!digit)
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const qlonglong signedValue = negative ? -v : v;
    if (signedValue < INT_MIN || signedValue > INT_MAX)
        return std::nullopt;
    return int(signedValue);
}
