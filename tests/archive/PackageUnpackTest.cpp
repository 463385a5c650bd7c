#include "MappedFiles.h"
#include "PackageUnpack.h"
#include "SkinPackageError.h"
#include "TempFolder.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// A package made by the zip tool from files laid out in a work folder.
void zipUp(const QString &work, const QString &zip, const QStringList &entries)
{
    QProcess p;
    p.setWorkingDirectory(work);
    p.start("zip", QStringList{"-q", zip} + entries);
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0);
}

} // namespace

// Skins are installed seldom: libzip, and the libcrypto it brings, are
// loaded with the first package, not with the clock.
TEST(PackageUnpack, LibzipLoadsWithTheFirstPackage)
{
    TempFolder work, out;
    work.write("Skins.db", "catalogue");
    zipUp(work.path(), work.file("pack.zip"), {"Skins.db"});
    EXPECT_FALSE(isMapped("libzip.so"));
    unpackPackage(work.file("pack.zip"), out.path(), {}, [](int) {});
    EXPECT_EQ(out.read("Skins.db"), "catalogue");
    EXPECT_TRUE(isMapped("libzip.so"));
}

TEST(PackageUnpack, EntriesLandUnderBareNamesAndReplaceOldFiles)
{
    TempFolder work, out;
    QDir(work.path()).mkpath("art/deep");
    work.write("art/deep/dial.bmp", "new dial");
    work.write("Skins.db", "catalogue");
    zipUp(work.path(), work.file("pack.zip"), {"art/deep/dial.bmp", "Skins.db"});
    out.write("dial.bmp", "old dial");

    QList<int> progress;
    unpackPackage(work.file("pack.zip"), out.path(), {}, [&](int p) { progress << p; });
    EXPECT_EQ(out.read("dial.bmp"), "new dial");
    EXPECT_EQ(out.read("Skins.db"), "catalogue");
    EXPECT_FALSE(QDir(out.path()).exists("art")) << "no folders are made";
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST(PackageUnpack, MissingEmptyAndProtectedPackagesAreRefusedByName)
{
    TempFolder work, out;
    work.write("empty.zip", "");
    work.write("ZINDLECLOCK.INI", "[Path]\n");
    zipUp(work.path(), work.file("settings.zip"), {"ZINDLECLOCK.INI"});
    struct Case { const char *package; const char *says; };
    const Case cases[] = {{"missing.zip", "missing.zip"}, {"empty.zip", "empty.zip"}, {"settings.zip", "ZindleClock.ini"}};
    for (const Case &c : cases) {
        try {
            unpackPackage(work.file(c.package), out.path(), {"ZindleClock.ini"}, {});
            ADD_FAILURE() << c.package << " was unpacked";
        } catch (const ESkinPackage &e) {
            EXPECT_TRUE(e.message().contains(c.package)) << e.what();
            EXPECT_TRUE(e.message().contains(c.says, Qt::CaseInsensitive)) << e.what();
        }
    }
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "nothing was written";
}
