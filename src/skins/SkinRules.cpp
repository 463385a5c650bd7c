#include "SkinRules.h"
#include "ClockFolders.h"
#include "ProgramIcon.h"

#include <QDir>

#include <algorithm>

namespace SkinRules {

QRect previewRect(PreviewFit fit, const QSize &picture)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    switch (fit) {
    case PreviewFit::FitHeight: {
        // 64-bit product: a very wide picture must not overflow.
        const int width = int(qint64(picture.width()) * kPreviewSide / picture.height());
        return {kPreviewSide / 2 - width / 2, 0, width, kPreviewSide};
    }
    case PreviewFit::Stretch:
        return {0, 0, kPreviewSide, kPreviewSide};
    case PreviewFit::OwnSizeCentred:
        return {kPreviewSide / 2 - picture.width() / 2, kPreviewSide / 2 - picture.height() / 2, picture.width(),
                picture.height()};
    }
    return {};
}

HandStrip minuteStrip() { return {{16, 0}, QRect(16, 0, 73, kPreviewSide)}; }

HandStrip secondStrip() { return {{184, 0}, QRect(184, 0, 73, kPreviewSide)}; }

QFileInfoList packageFiles(const QFileInfoList &entries)
{
    QFileInfoList packages;
    for (const QFileInfo &e : entries) {
        // The name must be more than the extension: ".zip" alone is hidden anyway.
        if (!e.isFile() || e.isHidden() || e.fileName().startsWith('.'))
            continue;
        if (!e.fileName().endsWith(".zip", Qt::CaseInsensitive))
            continue;
        packages << e;
    }
    std::sort(packages.begin(), packages.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const int c = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.fileName() < b.fileName();
    });
    return packages;
}

QString packageName(const QFileInfo &file) { return file.fileName().chopped(4); }

QFileInfoList listPackages(const QString &skinsFolder)
{
    const QDir dir(skinsFolder);
    if (!dir.exists())
        throw std::runtime_error(QString("The skin package folder %1 does not exist").arg(skinsFolder).toStdString());
    return packageFiles(dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}

QFileInfoList listPackages(const QStringList &skinsFolders)
{
    QFileInfoList entries;
    QStringList seen;
    bool anyFolder = false;
    for (const QString &folder : skinsFolders) {
        const QDir dir(folder);
        if (!dir.exists())
            continue;
        anyFolder = true;
        for (const QFileInfo &e : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            if (!e.isFile() || seen.contains(e.fileName()))
                continue;
            seen << e.fileName();
            entries << e;
        }
    }
    if (!anyFolder)
        return listPackages(skinsFolders.value(0));
    return packageFiles(entries);
}

QString targetTable(const QString &category)
{
    const QString c = category.toLower();
    if (c == "head")
        return "Head";
    if (c == "body")
        return "Body";
    if (c == "hand")
        return "Hand";
    if (c == "clock")
        return "Clock";
    if (c == "dial")
        return "Dial";
    return {};
}

namespace {

const QStringList kOwnTables = {"Clock", "Dial", "Hand", "Body", "Head", "Alarm", "Alarm2", "Product", "Time"};

} // namespace

QStringList protectedFileNames()
{
    QStringList names = {"ZindleClock", "ZindleClock.ini", "mask_fClock.bmp", "coord.ini", "ZindleClock.html",
                         "zindleclock.desktop", "zindleclock.svg", ClockFolders::kInstalledMarker};
    names << ProgramIcon::fileNames();
    for (const QString &t : kOwnTables)
        for (const char *suffix : {".db", ".db-journal", ".db-wal", ".db-shm", ".bak"})
            names << t + suffix;
    for (const char *suffix : {".db-journal", ".db-wal", ".db-shm"})
        names << QString("Skins") + suffix;
    return names;
}

bool isProtectedFile(const QString &bareName)
{
    for (const QString &n : protectedFileNames())
        if (bareName.compare(n, Qt::CaseInsensitive) == 0)
            return true;
    // Journals, backups and compaction copies of our own tables: a stray
    // journal beside a table is played back into it when it next opens.
    for (const QString &t : kOwnTables)
        if (bareName.startsWith(t + ".db", Qt::CaseInsensitive))
            return true;
    // The package's own table file is welcome, its journals are not.
    return bareName.startsWith("Skins.db-", Qt::CaseInsensitive);
}

} // namespace SkinRules
