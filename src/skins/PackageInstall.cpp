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

} // namespace

PackageInstall::PackageInstall(const QString &programFolder, TTable &skins, const SkinTargets &targets,
                               qint32 appVersion)
    : m_folder(programFolder), m_skins(skins), m_targets(targets), m_appVersion(appVersion)
{
}

void PackageInstall::checkCatalogue(const QString &folder, const QString &packageName)
{
    const QString file = folder + kCatalogueFile;
    try {
        {
            SqliteDb db(file, SqliteDb::ReadWrite);
            // A table file from outside may carry views or triggers that run
            // code of its own when read; ours never have any.
            SqliteStmt extra(db, "SELECT name FROM sqlite_master WHERE type NOT IN ('table', 'index')");
            if (extra.step())
                throw ETableError(QString("it holds an unexpected object '%1'").arg(extra.text(0)));
            SqliteStmt check(db, "PRAGMA quick_check");
            if (!check.step() || check.text(0) != "ok")
                throw ETableError("its file is damaged");
        }
        TTable t;
        t.OpenTable(folder, "Skins");
        for (const FieldDef &f : standardSchema("Skins").fields) {
            const int i = t.fieldIndex(f.name);
            if (i < 0)
                throw ETableError(QString("Field '%1' not found").arg(f.name));
            if (t.fields()[i].type != f.type)
                throw ETableError(QString("field '%1' is not of type %2").arg(f.name, fieldTypeName(f.type)));
        }
        // Before anything is replaced: a picture bomb refuses the package
        // while the program folder is still as it was.
        CatalogueMerge::checkPictures(t, packageName);
    } catch (const ETableError &e) {
        throw ESkinPackage(QString("Skin package %1: its Skins table is not a valid skin catalogue (%2)")
                               .arg(packageName, e.message()));
    }
}

MergeResult PackageInstall::install(const QString &packageFile, const QString &packageName)
{
    // The staging folder lives in the program folder so that the final
    // moves are renames on one file system, never half-copied files.
    // One clock runs per folder, so a staging folder found here was left by
    // an install that was killed; it holds nothing anyone needs.
    for (const QString &stale :
         QDir(m_folder).entryList({".skin-install-*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(m_folder + stale).removeRecursively();
    QTemporaryDir staging(m_folder + ".skin-install-XXXXXX");
    if (!staging.isValid())
        throw ESkinPackage(
            QString("Skin package %1: cannot make a staging folder in %2").arg(packageName, m_folder));
    const QString stage = staging.path() + "/";

    unpackPackage(packageFile, stage, SkinRules::protectedFileNames(), progress);

    QDir stageDir(stage);
    const QStringList files = stageDir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (!stageDir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
        throw ESkinPackage(QString("Skin package %1: unpacking made a folder; only files are installed").arg(packageName));
    for (const QString &f : files)
        if (SkinRules::isProtectedFile(f))
            throw ESkinPackage(
                QString("Skin package %1 is refused: it would replace the program's own file %2").arg(packageName, f));
    for (const QString &f : files)
        if (QFileInfo(m_folder + f).isDir())
            throw ESkinPackage(
                QString("Skin package %1 is refused: its file %2 would replace a folder").arg(packageName, f));
    if (files.contains(kCatalogueFile))
        checkCatalogue(stage, packageName);

    // From here on the package is accepted.
    m_skins.CloseTable();
    auto reopen = qScopeGuard([this] {
        if (!m_skins.Active())
            m_skins.OpenTable();
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
            throw ESkinPackage(QString("Skin package %1: cannot put %2 into %3: %4")
                                   .arg(packageName, f, m_folder, QString::fromLocal8Bit(std::strerror(errno))));
    }
}
