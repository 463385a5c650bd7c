#include "EntryName.h"

#include <QRegularExpression>

namespace {

bool isSeparator(QChar c) { return c == '/' || c == '\\'; }

} // namespace

bool isFolderEntryName(const QString &stored) { return !stored.isEmpty() && isSeparator(stored.back()); }

QString bareEntryName(const QString &stored, QString *problem)
{
    auto refuse = [&](const char *why) {
        *problem = QString::fromLatin1(why);
        return QString();
    };
    if (stored.isEmpty())
        return refuse("has an empty name");
    for (const QChar c : stored)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return refuse("has a control character in its name");
    // The folder part is dropped anyway, but a package that names a place
    // outside its own tree is not one to trust with the rest of its files.
    static const QRegularExpression drive("^[A-Za-z]:");
    if (isSeparator(stored.front()) || drive.match(stored).hasMatch())
        return refuse("points outside the base folder (absolute name)");
    static const QRegularExpression separators("[/\\\\]");
    if (stored.split(separators).contains(QStringLiteral("..")))
        return refuse("points outside the base folder (\"..\" in its name)");
    const QString bare = stored.mid(int(stored.lastIndexOf(separators)) + 1);
    if (bare.isEmpty() || bare == "." || bare == "..")
        return refuse("has no usable file name");
    problem->clear();
    return bare;
}
