#pragma once
#include "CatalogueMerge.h"

#include <QString>

#include <functional>

class TTable;

// Installs one skin package into the program folder: unpacks it into a
// staging folder beside the program's files, checks what came out (no file
// of the program's own, a catalogue that is a sound skin table whose
// pictures are whole and within PictureLimit), then moves
// the files into place, reopens the catalogue table and merges it into the
// skin tables. Anything refused leaves the program folder as it was.
class PackageInstall
{
public:
    PackageInstall(const QString &programFolder, TTable &skins, const SkinTargets &targets, qint32 appVersion);

    // Whole-package progress, 0 to 100.
    std::function<void(int)> progress;
    // Asked for an item made for a newer program; false stops the merge.
    std::function<bool()> continueNewer;

    // packageFile: full path of the ZIP. Every refusal is an ESkinPackage
    // whose message starts "Skin package <file name>: " and never names the
    // staging folder.
    MergeResult install(const QString &packageFile);

    // Checks a catalogue table file that came in a package (folder holds
    // "Skins.db"); throws ESkinPackage naming the package, not the folder.
    static void checkCatalogue(const QString &folder, const QString &packageName);

private:
    void moveIntoPlace(const QString &staging, const QStringList &files, const QString &packageName);

    QString m_folder;
    TTable &m_skins;
    SkinTargets m_targets;
    qint32 m_appVersion;
};
