#include "IniFile.h"

#include <QFile>
#include "ReplaceFile.h"

#include <limits>

namespace {

bool isSectionLine(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith('[') || !t.contains(']'))
        return false;
    *name = t.mid(1, t.indexOf(']') - 1).trimmed();
    return true;
}

} // namespace

IniFile::IniFile(const QString &path) : m_path(path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    m_exists = true;
    // The settings file is tiny; anything huge is not ours and is ignored.
    const QByteArray bytes = f.read(1 << 20);
    m_lines = QString::fromUtf8(bytes).split('\n');
    for (QString &l : m_lines)
        if (l.endsWith('\r'))
            l.chop(1);
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

int IniFile::findSection(const QString &section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSectionLine(m_lines[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::findKey(int sectionLine, const QString &key) const
{
    QString name;
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        const QString &line = m_lines[i];
        if (isSectionLine(line, &name))
            break;
        const int eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int s = findSection(section);
    const int k = s < 0 ? -1 : findKey(s, key);
    if (k < 0)
        return def;
    QString v = m_lines[k].mid(m_lines[k].indexOf('=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QString clean = value;
    clean.replace('\r', ' ').replace('\n', ' ');
    const QString line = key + '=' + clean;
    int s = findSection(section);
    if (s < 0) {
        m_lines << '[' + section + ']' << line;
        return;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        m_lines[k] = line;
        return;
    }
    // After the section's last key, before any blank lines that end it.
    QString name;
    int end = s + 1;
    while (end < m_lines.size() && !isSectionLine(m_lines[end], &name))
        ++end;
    while (end > s + 1 && m_lines[end - 1].trimmed().isEmpty())
        --end;
    m_lines.insert(end, line);
}

void IniFile::save() const
{
    if (!replaceFile(m_path, (m_lines.join('\n') + '\n').toUtf8()))
        throw EInOutError(QString("Unable to write to %1").arg(m_path));
}

int IniFile::parseInteger(const QString &input, int def)
{
    QString t = input.trimmed();
    bool negative = false;
    if (t.startsWith('-') || t.startsWith('+')) {
        negative = t.startsWith('-');
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith("0x") || t.startsWith("0X")) {
        base = 16;
        t = t.mid(2);
    } else if (t.startsWith('$')) {
        base = 16;
        t = t.mid(1);
    }
    if (t.isEmpty())
        return def;
    for (QChar c : t)
        if (!(base == 16 ? QString("0123456789abcdefABCDEF").contains(c) : c.isDigit()))
            return def;
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok)
        return def;
    if (base == 16) {
        // Hexadecimal covers the full 32 bits: $FFFFFFFF is -1.
        if (magnitude > 0xFFFFFFFFull)
            return def;
        const qint32 v = qint32(quint32(magnitude));
        return negative ? qint32(0u - quint32(v)) : v;
    }
    const qlonglong limit = negative ? qlonglong(std::numeric_limits<int>::max()) + 1 : std::numeric_limits<int>::max();
    if (qlonglong(magnitude) > limit || magnitude > qulonglong(limit))
        return def;
    return negative ? int(-qlonglong(magnitude)) : int(magnitude);
}
