#include "InstallSummary.h"

#include <QStringList>

namespace {

QString count(int n, const char *one, const char *many) { return QString(n == 1 ? one : many).arg(n); }

QString packageLine(const InstalledPackage &p)
{
    const MergeResult &r = p.result;
    QStringList parts;
    parts << (r.added > 0 ? count(r.added, "%1 new item", "%1 new items") : QString("no new items"));
    if (r.skipped > 0)
        parts << QString("%1 already installed").arg(r.skipped);
    if (r.ignored > 0)
        parts << QString("%1 of an unknown kind left out").arg(r.ignored);
    if (r.stopped)
        parts << "stopped at an item made for a newer version";
    return p.name + ": " + parts.join(", ") + ".";
}

} // namespace

QString installSummary(const QVector<InstalledPackage> &packages)
{
    int added = 0;
    QStringList lines;
    for (const InstalledPackage &p : packages) {
        added += p.result.added;
        lines << packageLine(p);
    }
    const QString head = added > 0 ? count(added, "%1 skin item was installed.", "%1 skin items were installed.")
                                   : QString("No new skin items were installed.");
    QString text = head + "\n\n" + lines.join("\n");
    if (added > 0)
        text += "\n\nChoose them with Select Skin.";
    return text;
}
