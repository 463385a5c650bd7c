#include "PackageInstall.h"
#include "PackageUnpack.h"
#include "SkinPackageError.h"
#include "SkinRules.h"
#include "SqliteDb.h"
#include "TTable.h"
#include "TableError.h"
#include "TableSchema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const QString kCatalogueFile = "Skins.db";

// Every refusal starts the same way and names the package as the user sees
// it: by its file name.
[[noreturn]] void refuse(const QString &packageName, const QString &why)
{
    throw ESkinPackage(QString("Skin package %1: %2").arg(packageName, why));
}

} // namespace

PackageInstall::PackageInstall(const QString &programFolder, TTable &skins, const SkinTargets &targets,
                               qint32 appVersion)
    : m_folder(programFolder), m_skins(skins), m_targets(targets), m_appVersion(appVersion)
{
}

void PackageInstall::checkCatalogue(const QString &folder, const QString &packageName)
{
    const QString file = folder + kCatalogueFile;
    // The file is looked at where it was unpacked, a place of no concern to
    // the user: the messages call it by its own name only.
    const QString its = "its file " + kCatalogueFile + " ";
    try {
        {
            SqliteDb db(file, SqliteDb::ReadWrite);
            // A table file from outside may carry views or triggers that run
            // code of its own when read; ours never have any.
            SqliteStmt extra(db, "SELECT name FROM sqlite_master WHERE type NOT IN ('table', 'index')");
            if (extra.step())
                refuse(packageName, its + QString("holds an unexpected object '%1'").arg(extra.text(0)));
            SqliteStmt check(db, "PRAGMA quick_check");
            if (!check.step() || check.text(0) != "ok")
                refuse(packageName, its + "is damaged");
        }
        TTable t;
        t.OpenTable(folder, "Skins");
        for (const FieldDef &f : standardSchema("Skins").fields) {
            const int i = t.fieldIndex(f.name);
            if (i < 0)
                refuse(packageName, its + QString("is not a skin catalogue: Field '%1' not found").arg(f.name));
            if (t.fields()[i].type != f.type)
                refuse(packageName, its + QString("is not a skin catalogue: field '%1' is not of type %2")
                                              .arg(f.name, fieldTypeName(f.type)));
        }
        // Before anything is replaced: a picture bomb refuses the package
        // while the program folder is still as it was.
        CatalogueMerge::checkPictures(t, packageName);
    } catch (const ETableError &e) {
        // Every table error about the file says what is wrong with it apart
        // from its name; any other would name the file itself.
        refuse(packageName, e.problem().isEmpty() ? its + "cannot be used" : its + e.problem());
    }
}

MergeResult PackageInstall::install(const QString &packageFile)
{
    const QString packageName = QFileInfo(packageFile).fileName();
    // The staging folder lives in the program folder so that the final
    // moves are renames on one file system, never half-copied files.
    // One clock runs per folder, so a staging folder found here was left by
    // an install that was killed; it holds nothing anyone needs.
    for (const QString &stale :
         QDir(m_folder).entryList({".skin-install-*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(m_folder + stale).removeRecursively();
    QTemporaryDir staging(m_folder + ".skin-install-XXXXXX");
    if (!staging.isValid())
        refuse(packageName, QString("cannot make a folder in %1 to unpack it into").arg(m_folder));
    const QString stage = staging.path() + "/";

    // Messages name the program folder, where the files are bound for.
    unpackPackage(packageFile, stage, SkinRules::protectedFileNames(), progress, m_folder);

    QDir stageDir(stage);
    const QStringList files = stageDir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (!stageDir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
        refuse(packageName, "unpacking made a folder; only files are installed");
    for (const QString &f : files)
        if (SkinRules::isProtectedFile(f))
            refuse(packageName, QString("it would replace the program's own file %1").arg(f));
    for (const QString &f : files)
        if (QFileInfo(m_folder + f).isDir())
            refuse(packageName, QString("its file %1 would replace the folder %2").arg(f, m_folder + f));
    if (files.contains(kCatalogueFile))
        checkCatalogue(stage, packageName);

    // From here on the package is accepted; what fails now is a table of the
    // program folder, said under the package's name all the same.
    try {
        m_skins.CloseTable();
        auto reopen = qScopeGuard([this] {
            // Runs while the first error unwinds: a second one must not end
            // the program, and the first is the one to tell.
            try {
                if (!m_skins.Active())
                    m_skins.OpenTable();
            } catch (const ETableError &) {
            }
        });
        // A package without a catalogue then brings no item.
        m_skins.EmptyTable();
        moveIntoPlace(stage, files, packageName);
        m_skins.OpenTable();
        reopen.dismiss();

        CatalogueMerge merge(m_skins, m_targets, m_appVersion);
        merge.packageName = packageName;
        merge.continueNewer = continueNewer;
        return merge.run();
    } catch (const ETableError &e) {
        refuse(packageName, e.message());
    }
}

void PackageInstall::moveIntoPlace(const QString &staging, const QStringList &files, const QString &packageName)
{
    // The catalogue goes last: if a move fails, the emptied catalogue stays.
    QStringList ordered = files;
    if (ordered.removeAll(kCatalogueFile) > 0)
        ordered << kCatalogueFile;
    for (const QString &f : ordered) {
        // rename() replaces an existing file in one step.
        if (std::rename(QFile::encodeName(staging + f).constData(), QFile::encodeName(m_folder + f).constData()) != 0)
            refuse(packageName, QString("cannot put %1 into %2: %3")
                                    .arg(f, m_folder, QString::fromLocal8Bit(std::strerror(errno))));
    }
}
