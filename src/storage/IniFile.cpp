#include "IniFile.h"

#include <QFile>
#include <QStringDecoder>
#include "ReplaceFile.h"

#include <limits>

namespace {

// A line without its line end, as a view into the stored bytes: the file
// may be large and is scanned once per key.
QByteArrayView contentOf(const QByteArray &line)
{
    qsizetype n = line.size();
    if (n > 0 && line[n - 1] == '\n') {
        --n;
        if (n > 0 && line[n - 1] == '\r')
            --n;
    }
    return QByteArrayView(line.constData(), n);
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0;
}

bool isSectionLine(const QByteArray &line, QByteArrayView *name)
{
    const QByteArrayView t = contentOf(line).trimmed();
    if (!t.startsWith('[') || !t.contains(']'))
        return false;
    *name = t.sliced(1, t.indexOf(']') - 1).trimmed();
    return true;
}

QString decodeValue(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

IniFile::IniFile(const QString &path) : m_path(path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    m_exists = true;
    // The file is read whole: what is kept of it is written back, so a part
    // of it must never stand for all of it.
    if (f.size() > kMaxSize) {
        m_refusal = QString("the file is larger than %1 MiB; it was not read and is left as it is").arg(kMaxSize >> 20);
        return;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        m_refusal = QString("the file could not be read whole (%1); it is left as it is").arg(f.errorString());
        return;
    }
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        m_lines.append(bytes.mid(start, end - start));
        start = end;
    }
    // New lines take the line end the file uses.
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (firstEnd > 0 && bytes[firstEnd - 1] == '\r')
        m_newline = "\r\n";
}

int IniFile::findSection(const QByteArray &section) const
{
    QByteArrayView name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSectionLine(m_lines[i], &name) && sameName(name, section))
            return i;
    return -1;
}

int IniFile::findKey(int sectionLine, const QByteArray &key) const
{
    QByteArrayView name;
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        const QByteArray &line = m_lines[i];
        if (isSectionLine(line, &name))
            break;
        const QByteArrayView content = contentOf(line);
        const qsizetype eq = content.indexOf('=');
        if (eq > 0 && sameName(content.first(eq).trimmed(), key))
            return i;
    }
    return -1;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    const int s = findSection(section.toUtf8());
    return s >= 0 && findKey(s, key.toUtf8()) >= 0;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int s = findSection(section.toUtf8());
    const int k = s < 0 ? -1 : findKey(s, key.toUtf8());
    if (k < 0)
        return def;
    const QByteArrayView content = contentOf(m_lines[k]);
    QByteArrayView v = content.sliced(content.indexOf('=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return decodeValue(v);
}

void IniFile::insertLine(int at, const QByteArray &content)
{
    // A last line without a line end gets one before a line follows it.
    if (at > 0 && !m_lines[at - 1].endsWith('\n'))
        m_lines[at - 1] += m_newline;
    m_lines.insert(at, content + m_newline);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QString clean = value;
    clean.replace('\r', ' ').replace('\n', ' ');
    const QByteArray line = key.toUtf8() + '=' + clean.toUtf8();
    const QByteArray sectionName = section.toUtf8();
    const int s = findSection(sectionName);
    if (s < 0) {
        insertLine(m_lines.size(), '[' + sectionName + ']');
        insertLine(m_lines.size(), line);
        return;
    }
    const int k = findKey(s, key.toUtf8());
    if (k >= 0) {
        // The line keeps its own line end.
        const QByteArray &old = m_lines[k];
        m_lines[k] = line + old.sliced(contentOf(old).size());
        return;
    }
    // After the section's last key, before any blank lines that end it.
    QByteArrayView name;
    int end = s + 1;
    while (end < m_lines.size() && !isSectionLine(m_lines[end], &name))
        ++end;
    while (end > s + 1 && contentOf(m_lines[end - 1]).trimmed().isEmpty())
        --end;
    insertLine(end, line);
}

void IniFile::save() const
{
    if (!m_refusal.isEmpty())
        throw EInOutError(QString("Unable to write to %1: %2.").arg(m_path, m_refusal));
    QByteArray bytes;
    qsizetype size = 0;
    for (const QByteArray &l : m_lines)
        size += l.size();
    bytes.reserve(size);
    for (const QByteArray &l : m_lines)
        bytes += l;
    if (!replaceFile(m_path, bytes))
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
