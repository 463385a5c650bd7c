#include "EntryName.h"
#include "SkinPackageError.h"
#include "TempFolder.h"
#include "ZipMaker.h"
#include "ZipReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QStringList everythingIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Opens and unpacks; returns the error's text, or an empty string when the
// package was accepted.
QString unpackError(const QString &zip, const QString &folder, const QStringList &protectedNames = {})
{
    try {
        TZipReader reader;
        reader.open(zip);
        reader.setBaseFolder(folder);
        reader.setProtectedNames(protectedNames);
        reader.unpackAll();
    } catch (const ESkinPackage &e) {
        return e.message();
    }
    return {};
}

TEST(ZipReader, EntriesUnpackUnderBareNamesAndReplaceFiles)
{
    TempFolder work, out;
    ASSERT_EQ(ZipMaker()
                  .add("art/", "")
                  .add("art/deep/", "", 0040755)
                  .add("art/deep/dial.bmp", "new dial")
                  .add("Skins.db", "catalogue", ZipMaker::Stored)
                  .add("data/big.bmp", noise(300000))
                  .add("data/nothing.txt", "")
                  .write(work.file("nested.zip")),
              "");
    out.write("dial.bmp", "old dial");

    TZipReader reader;
    reader.open(work.file("nested.zip"));
    EXPECT_EQ(reader.entryNames(), QStringList({"art/", "art/deep/", "art/deep/dial.bmp", "Skins.db", "data/big.bmp",
                                                "data/nothing.txt"}));
    reader.setBaseFolder(out.path());
    EXPECT_EQ(reader.filesToUnpack(), QStringList({"dial.bmp", "Skins.db", "big.bmp", "nothing.txt"}));
    QList<int> progress;
    reader.onProgress = [&](int p) { progress << p; };
    reader.unpackAll();

    EXPECT_EQ(everythingIn(out.path()), QStringList({"Skins.db", "big.bmp", "dial.bmp", "nothing.txt"}))
        << "no folders, no temporary files";
    EXPECT_EQ(out.read("dial.bmp"), "new dial");
    EXPECT_EQ(out.read("Skins.db"), "catalogue");
    EXPECT_EQ(out.read("nothing.txt"), "");
    // Several read chunks, inflated.
    EXPECT_EQ(out.read("big.bmp").size(), 300000);
    ASSERT_GE(progress.size(), 3);
    EXPECT_EQ(progress.first(), 0);
    EXPECT_EQ(progress.last(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(std::count(progress.begin(), progress.end(), 100), 1);
}

// Stored names as zip tools write them, and the file each unpacks to; an
// empty bare name means the whole package is refused, for the reason given.
TEST(ZipReader, EntryNamesBecomeBareFileNames)
{
    const struct
    {
        const char *stored;
        const char *bare;
        const char *refusal;
    } cases[] = {
        {"dial.bmp", "dial.bmp", ""},
        {"art/dial.bmp", "dial.bmp", ""},
        {"art\\dial.bmp", "dial.bmp", ""},
        {"art\\deep\\dial.bmp", "dial.bmp", ""},
        {"art/deep\\dial.bmp", "dial.bmp", ""},
        {"art\\deep/dial.bmp", "dial.bmp", ""},
        {"art\\.hidden", ".hidden", ""},
        {"a..b\\c..d", "c..d", ""},
        {"", "", "empty name"},
        {".", "", "no usable file name"},
        {"..", "", "outside"},
        {"art\\.", "", "no usable file name"},
        {"art/.", "", "no usable file name"},
        {"art\\..", "", "outside"},
        {"..\\evil.bmp", "", "outside"},
        {"art\\..\\..\\evil.bmp", "", "outside"},
        {"art/..\\evil.bmp", "", "outside"},
        {"/tmp/evil.bmp", "", "absolute"},
        {"\\evil.bmp", "", "absolute"},
        {"\\\\server\\share\\evil.bmp", "", "absolute"},
        {"C:\\evil.bmp", "", "absolute"},
        {"c:evil.bmp", "", "absolute"},
        {"art\\evil\n.bmp", "", "control character"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        QString problem = "unset";
        EXPECT_EQ(bareEntryName(QString::fromUtf8(c.stored), &problem), QString::fromUtf8(c.bare));
        if (*c.refusal)
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.refusal))) << problem.toStdString();
        else
            EXPECT_EQ(problem, "");
    }
    EXPECT_TRUE(isFolderEntryName("art/"));
    EXPECT_TRUE(isFolderEntryName("art\\deep\\"));
    EXPECT_FALSE(isFolderEntryName("art\\deep"));
}

// A package written by a tool that separates folders with backslashes.
TEST(ZipReader, BackslashFoldersAreDroppedLikeSlashes)
{
    TempFolder work, out;
    ASSERT_EQ(ZipMaker()
                  .add("art\\", "")
                  .add("art\\deep\\", "")
                  .add("art\\deep\\dial.bmp", "new dial")
                  .add("Skins.db", "catalogue")
                  .write(work.file("windows.zip")),
              "");
    out.write("dial.bmp", "old dial");
    ASSERT_EQ(unpackError(work.file("windows.zip"), out.path()), "");
    EXPECT_EQ(everythingIn(out.path()), QStringList({"Skins.db", "dial.bmp"}));
    EXPECT_EQ(out.read("dial.bmp"), "new dial");
    EXPECT_EQ(out.read("Skins.db"), "catalogue");
}

// Written in one go, and streamed the way pipe-fed tools write: sizes and
// checksum then follow the data instead of leading it.
TEST(ZipReader, UnpackedContentIsExact)
{
    const QByteArray data = noise(200000, 7) + QByteArray("tail").repeated(5000);
    for (const bool streamed : {false, true}) {
        SCOPED_TRACE(streamed ? "streamed" : "in one go");
        TempFolder work, out;
        ZipMaker maker;
        maker.add("pictures/clock.bmp", data);
        if (streamed)
            maker.streamed();
        ASSERT_EQ(maker.write(work.file("p.zip")), "");
        const QByteArray zip = work.read("p.zip");
        ASSERT_EQ(zip[6] & 8, streamed ? 8 : 0) << "the local header's data descriptor flag";
        ASSERT_EQ(unpackError(work.file("p.zip"), out.path()), "");
        EXPECT_EQ(out.read("clock.bmp"), data);
    }
}

TEST(ZipReader, MakesAMissingBaseFolderAndAcceptsAnEmptyArchive)
{
    TempFolder work, out;
    ASSERT_EQ(ZipMaker().add("a.bmp", "a").write(work.file("one.zip")), "");
    ASSERT_EQ(ZipMaker().write(work.file("none.zip")), "");
    ASSERT_EQ(unpackError(work.file("one.zip"), out.file("new/sub")), "");
    EXPECT_EQ(out.read("new/sub/a.bmp"), "a");

    TZipReader reader;
    reader.open(work.file("none.zip"));
    reader.setBaseFolder(out.path());
    QList<int> progress;
    reader.onProgress = [&](int p) { progress << p; };
    reader.unpackAll();
    EXPECT_EQ(progress, QList<int>({0, 100}));
}

TEST(ZipReader, MissingEmptyAndFolderFilesFailToOpen)
{
    TempFolder work;
    work.write("empty.zip", "");
    QDir(work.path()).mkdir("folder.zip");
    struct Case
    {
        const char *file;
        const char *says;
    } const cases[] = {{"missing.zip", "does not exist"}, {"empty.zip", "empty"}, {"folder.zip", "folder"}};
    for (const Case &c : cases) {
        TZipReader reader;
        try {
            reader.open(work.file(c.file));
            ADD_FAILURE() << c.file << " opened";
        } catch (const std::exception &e) {
            const QString text = QString::fromUtf8(e.what());
            EXPECT_TRUE(text.contains(c.file)) << text.toStdString();
            EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
        }
        EXPECT_FALSE(reader.isOpen());
    }
}

TEST(ZipReader, UsingItWithoutAnArchiveOrFolderIsAnError)
{
    TempFolder work;
    ASSERT_EQ(ZipMaker().add("a.bmp", "a").write(work.file("one.zip")), "");
    TZipReader reader;
    EXPECT_THROW(reader.entryNames(), ESkinPackage);
    reader.open(work.file("one.zip"));
    EXPECT_THROW(reader.unpackAll(), ESkinPackage) << "no base folder";
    reader.close();
    reader.setBaseFolder(work.path());
    EXPECT_THROW(reader.unpackAll(), ESkinPackage);
}

// A file in the base folder that is a link is replaced, never written through.
TEST(ZipReader, ALinkInTheBaseFolderIsReplacedNotFollowed)
{
    TempFolder work, out;
    work.write("victim.txt", "precious");
    ASSERT_TRUE(QFile::link(work.file("victim.txt"), out.file("dial.bmp")));
    ASSERT_EQ(ZipMaker().add("dial.bmp", "dial").write(work.file("p.zip")), "");
    ASSERT_EQ(unpackError(work.file("p.zip"), out.path()), "");
    EXPECT_EQ(work.read("victim.txt"), "precious");
    EXPECT_FALSE(QFileInfo(out.file("dial.bmp")).isSymLink());
    EXPECT_EQ(out.read("dial.bmp"), "dial");
}

TEST(ZipReader, AnEntryNamedLikeAFolderInTheBaseFolderIsRefused)
{
    TempFolder work, out;
    QDir(out.path()).mkdir("sounds");
    ASSERT_EQ(ZipMaker().add("a.bmp", "a").add("x/sounds", "s").write(work.file("p.zip")), "");
    const QString error = unpackError(work.file("p.zip"), out.path());
    EXPECT_TRUE(error.contains("p.zip") && error.contains("folder")) << error.toStdString();
    EXPECT_EQ(everythingIn(out.path()), QStringList({"sounds"}));
}

// Small entries may shrink beyond the ratio limit: flat-coloured pictures do.
TEST(ZipReader, SmallHighlyCompressedEntriesAreAccepted)
{
    TempFolder work, out;
    ASSERT_EQ(ZipMaker().add("flat.bmp", QByteArray("\xff\x00\xff", 3).repeated(340000)).write(work.file("flat.zip")),
              "");
    ASSERT_EQ(unpackError(work.file("flat.zip"), out.path()), "");
    EXPECT_EQ(out.read("flat.bmp").size(), 1020000);
}

// Hostile or broken packages. Each is refused whole with a message naming
// the package and the fault, and the base folder stays as it was: the file
// already there is neither replaced nor joined by anything.
struct Hostile
{
    const char *name;
    QString (*make)(const QString &zip); // writes the package, returns what went wrong
    const char *says;
};

void PrintTo(const Hostile &h, std::ostream *os)
{
    *os << h.name;
}

class ZipReaderRefuses : public ::testing::TestWithParam<Hostile>
{
};

TEST_P(ZipReaderRefuses, ThePackageAndLeavesTheFolderAlone)
{
    const Hostile &c = GetParam();
    TempFolder work, out;
    out.write("first.bmp", "old");
    const QString zip = work.file(QString(c.name) + ".zip");
    ASSERT_EQ(c.make(zip), "");

    const QString error = unpackError(zip, out.path(), {"ZindleClock", "ZindleClock.ini", "Clock.db"});
    ASSERT_FALSE(error.isEmpty()) << "accepted";
    EXPECT_TRUE(error.contains(QString(c.name) + ".zip")) << error.toStdString();
    EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
    EXPECT_EQ(everythingIn(out.path()), QStringList({"first.bmp"}));
    EXPECT_EQ(out.read("first.bmp"), "old");
}

// Every package starts with a good entry that would replace first.bmp.
ZipMaker good()
{
    ZipMaker maker;
    maker.add("first.bmp", "new");
    return maker;
}

QString one(const QString &zip, const QByteArray &name, const QByteArray &data = "x")
{
    return good().add(name, data).write(zip);
}

const QByteArray kPassword = "password";

const Hostile kHostile[] = {
    {"climbs", [](const QString &z) { return one(z, "../evil.bmp"); }, "outside"},
    {"climbsdeep", [](const QString &z) { return one(z, "art/../../evil.bmp"); }, "outside"},
    {"absolute", [](const QString &z) { return one(z, "/tmp/evil.bmp"); }, "outside"},
    {"drive", [](const QString &z) { return one(z, "C:/evil.bmp"); }, "outside"},
    {"backslashclimbs", [](const QString &z) { return one(z, "art\\..\\..\\evil.bmp"); }, "outside"},
    {"backslashabsolute", [](const QString &z) { return one(z, "\\evil.bmp"); }, "outside"},
    {"backslashdrive", [](const QString &z) { return one(z, "C:\\evil.bmp"); }, "outside"},
    {"dot", [](const QString &z) { return one(z, "art/."); }, "no usable file name"},
    {"dotdot", [](const QString &z) { return one(z, ".."); }, "outside"},
    {"control", [](const QString &z) { return one(z, "evil\n.bmp"); }, "control character"},
    {"symlink", [](const QString &z) { return good().add("link.bmp", "/etc/passwd", 0120777).write(z); },
     "symbolic link"},
    {"fifo", [](const QString &z) { return good().add("pipe.bmp", "", 0010644).write(z); }, "not an ordinary file"},
    {"protected", [](const QString &z) { return one(z, "data/ZINDLECLOCK.INI", "[Path]"); },
     "own file ZINDLECLOCK.INI"},
    {"program", [](const QString &z) { return one(z, "ZindleClock", "ELF"); }, "own file ZindleClock"},
    {"table", [](const QString &z) { return one(z, "deep/clock.DB"); }, "own file clock.DB"},
    {"bzip2", [](const QString &z) { return good().add("a.bmp", QByteArray(100, 'a'), ZipMaker::Bzip2).write(z); },
     "compression method"},
    {"lzma", [](const QString &z) { return good().add("a.bmp", QByteArray(100, 'a'), ZipMaker::Lzma).write(z); },
     "compression method"},
    {"encrypted", [](const QString &z) { return ZipMaker().addEncrypted("first.bmp", "secret", kPassword).write(z); },
     "encrypted"},
    {"duplicate", [](const QString &z) { return good().add("twice.bmp", "1").add("twice.bmp", "2").write(z); },
     "damaged"},
    {"samebare", [](const QString &z) { return good().add("a/x.bmp", "1").add("b/x.bmp", "2").write(z); },
     "same file"},
    {"samebarebackslash", [](const QString &z) { return good().add("a\\x.bmp", "1").add("b/x.bmp", "2").write(z); },
     "same file"},
    {"samebarecase", [](const QString &z) { return good().add("X.bmp", "1").add("x.bmp", "2").write(z); },
     "same file"},
    {"ratio", [](const QString &z) { return one(z, "zeros.bmp", QByteArray(4 << 20, '\0')); }, "beyond 1:200"},
    {"total",
     // Declared 100 MiB each from 1 MiB packed: a fair ratio, too much in all.
     [](const QString &z) {
         ZipMaker maker = good();
         for (int i = 0; i < 3; ++i)
             maker.add("big" + QByteArray::number(i) + ".bmp", noise(1 << 20, quint32(i)), ZipMaker::Stored);
         for (int i = 0; i < 3; ++i)
             maker.declareSize("big" + QByteArray::number(i) + ".bmp", 100 << 20);
         return maker.write(z);
     },
     "more than 256.0 MiB"},
    {"entries",
     [](const QString &z) {
         ZipMaker maker = good();
         for (int i = 0; i < 10000; ++i)
             maker.add("e" + QByteArray::number(i), "");
         return maker.write(z);
     },
     "more than 10000"},
    {"saysless",
     // Inflates to more than it declares, with a right checksum: only
     // counting the bytes catches it.
     [](const QString &z) { return good().add("more.bmp", noise(100000)).declareSize("more.bmp", 1000).write(z); },
     "more than the 1000 bytes"},
    {"saysmore",
     [](const QString &z) {
         return good().add("less.bmp", noise(1000), ZipMaker::Stored).declareSize("less.bmp", 5000).write(z);
     },
     "damaged"},
    {"crcstored",
     [](const QString &z) { return good().add("bad.bmp", noise(200000), ZipMaker::Stored).flip("bad.bmp").write(z); },
     "damaged"},
    {"crcdeflated",
     [](const QString &z) { return good().add("bad.bmp", QByteArray("abcdefgh").repeated(50000)).flip("bad.bmp").write(z); },
     "damaged"},
    {"truncated", [](const QString &z) { return good().add("more.bmp", noise(10000)).cut(0.6).write(z); },
     "truncated"},
    {"notazip",
     [](const QString &z) {
         QFile f(z);
         const QByteArray text = "just some text, no archive at all";
         return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() ? QString() : "cannot write " + z;
     },
     "not a ZIP archive"},
};

INSTANTIATE_TEST_SUITE_P(Hostile, ZipReaderRefuses, ::testing::ValuesIn(kHostile),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
