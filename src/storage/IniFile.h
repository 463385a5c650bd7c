#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <stdexcept>

class EInOutError : public std::runtime_error
{
public:
    explicit EInOutError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// A classic INI file: "[Section]" headers and "key=value" lines. Sections and
// keys are matched without regard to case. The file is the user's: it is
// read whole and kept as bytes, so everything the program does not write
// (other sections, other keys, comments, text in any encoding, line ends)
// is written back byte for byte. Only the values read are decoded. save()
// replaces the file atomically, so a crash never leaves half a file.
class IniFile
{
public:
    // Far beyond any settings file; a larger file is neither read nor
    // rewritten (save() refuses and says why).
    static constexpr qint64 kMaxSize = 64ll << 20;

    explicit IniFile(const QString &path);

    const QString &path() const { return m_path; }
    bool exists() const { return m_exists; }
    bool hasKey(const QString &section, const QString &key) const;
    // Values that are not UTF-8 are read as Latin-1, the nearest reading of
    // a file written in a Windows code page.
    QString readString(const QString &section, const QString &key, const QString &def) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    // Throws EInOutError "Unable to write to <path>" when the file cannot be
    // replaced, or when it could not be read whole; the previous file stays
    // as it was.
    void save() const;

    // Integers as decimal, or hexadecimal after "0x", "0X" or "$"; anything
    // else gives def.
    static int parseInteger(const QString &text, int def);

private:
    int findSection(const QByteArray &section) const;
    int findKey(int sectionLine, const QByteArray &key) const;
    void insertLine(int at, const QByteArray &content);

    QString m_path;
    bool m_exists = false;
    // Why the file must not be rewritten (too large, unreadable); empty
    // when it may be.
    QString m_refusal;
    // Each line with its own line end ("\n", "\r\n", or none for a last
    // line without one).
    QList<QByteArray> m_lines;
    QByteArray m_newline = "\n";
};
