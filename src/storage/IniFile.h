#pragma once
#include <QString>
#include <QStringList>
#include <stdexcept>

class EInOutError : public std::runtime_error
{
public:
    explicit EInOutError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// A classic INI file: "[Section]" headers and "key=value" lines. Sections and
// keys are matched without regard to case; everything the program does not
// write (other sections, other keys, comments) is kept as it was. save()
// replaces the file atomically, so a crash never leaves half a file.
class IniFile
{
public:
    explicit IniFile(const QString &path);

    const QString &path() const { return m_path; }
    bool exists() const { return m_exists; }
    bool hasKey(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &def) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    // Throws EInOutError "Unable to write to <path>" when the file cannot be
    // replaced; the previous file stays whole.
    void save() const;

    // Integers as decimal, or hexadecimal after "0x", "0X" or "$"; anything
    // else gives def.
    static int parseInteger(const QString &text, int def);

private:
    int findSection(const QString &section) const;
    int findKey(int sectionLine, const QString &key) const;

    QString m_path;
    bool m_exists = false;
    QStringList m_lines;
};
