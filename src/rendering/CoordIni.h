#pragma once
#include <QString>

#include <optional>

// Read-only access to a geometry file ("coord.ini") the way the system's
// profile-file reader sees it: section and key names match without regard
// to case, the first occurrence wins, values are trimmed and may be quoted.
// A missing file reads as empty.
class CoordIni
{
public:
    explicit CoordIni(const QString &fileName);

    const QString &fileName() const { return m_fileName; }
    std::optional<QString> value(const QString &section, const QString &key) const;
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal with "$" or "0x"; anything else gives def.
    int ReadInteger(const QString &section, const QString &key, int def) const;

private:
    QString m_fileName;
    QString m_text;
};

// The integer of an INI value, as ReadInteger reads it.
std::optional<int> parseIniInteger(const QString &text);
