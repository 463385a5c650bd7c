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
    ASSERT_EQ(makeZip(work.file("nested.zip"), R"PY(
z = zf()
entry(z, 'art/', b'')
entry(z, 'art/deep/', b'', system=3, mode=0o040755)
entry(z, 'art/deep/dial.bmp', b'new dial')
entry(z, 'Skins.db', b'catalogue', method=STORED)
entry(z, 'data/big.bmp', os.urandom(300000))
entry(z, 'data/nothing.txt', b'')
z.close()
)PY"), "");
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
    ASSERT_EQ(makeZip(work.file("windows.zip"), R"PY(
z = zf()
entry(z, 'art\\', b'')
entry(z, 'art\\deep\\', b'')
entry(z, 'art\\deep\\dial.bmp', b'new dial')
entry(z, 'Skins.db', b'catalogue')
z.close()
)PY"), "");
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
    const char *writers[] = {
        "z = zf()\nentry(z, 'pictures/clock.bmp', data)\nz.close()",
        "class Stream:\n"
        "    def __init__(self): self.f = open(out, 'wb')\n"
        "    def write(self, b): return self.f.write(b)\n"
        "    def flush(self): self.f.flush()\n"
        "z = zipfile.ZipFile(Stream(), 'w', DEFLATED)\n"
        "with z.open('pictures/clock.bmp', 'w') as e: e.write(data)\n"
        "z.close()\n"
        "assert zipfile.ZipFile(out).infolist()[0].flag_bits & 8",
    };
    for (const char *writer : writers) {
        TempFolder work, out;
        ASSERT_EQ(makeZip(work.file("p.zip"), QString(R"PY(
import random
random.seed(7)
data = bytes(random.getrandbits(8) for _ in range(200000)) + b'tail' * 5000
open(out + '.raw', 'wb').write(data)
)PY") + writer), "");
        ASSERT_EQ(unpackError(work.file("p.zip"), out.path()), "");
        QFile raw(work.file("p.zip.raw"));
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        EXPECT_EQ(out.read("clock.bmp"), raw.readAll()) << writer;
    }
}

TEST(ZipReader, MakesAMissingBaseFolderAndAcceptsAnEmptyArchive)
{
    TempFolder work, out;
    ASSERT_EQ(makeZip(work.file("one.zip"), "z = zf(); entry(z, 'a.bmp', b'a'); z.close()"), "");
    ASSERT_EQ(makeZip(work.file("none.zip"), "zf().close()"), "");
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
    ASSERT_EQ(makeZip(work.file("one.zip"), "z = zf(); entry(z, 'a.bmp', b'a'); z.close()"), "");
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
    ASSERT_EQ(makeZip(work.file("p.zip"), "z = zf(); entry(z, 'dial.bmp', b'dial'); z.close()"), "");
    ASSERT_EQ(unpackError(work.file("p.zip"), out.path()), "");
    EXPECT_EQ(work.read("victim.txt"), "precious");
    EXPECT_FALSE(QFileInfo(out.file("dial.bmp")).isSymLink());
    EXPECT_EQ(out.read("dial.bmp"), "dial");
}

TEST(ZipReader, AnEntryNamedLikeAFolderInTheBaseFolderIsRefused)
{
    TempFolder work, out;
    QDir(out.path()).mkdir("sounds");
    ASSERT_EQ(makeZip(work.file("p.zip"), "z = zf(); entry(z, 'a.bmp', b'a'); entry(z, 'x/sounds', b's'); z.close()"),
              "");
    const QString error = unpackError(work.file("p.zip"), out.path());
    EXPECT_TRUE(error.contains("p.zip") && error.contains("folder")) << error.toStdString();
    EXPECT_EQ(everythingIn(out.path()), QStringList({"sounds"}));
}

// Small entries may shrink beyond the ratio limit: flat-coloured pictures do.
TEST(ZipReader, SmallHighlyCompressedEntriesAreAccepted)
{
    TempFolder work, out;
    ASSERT_EQ(makeZip(work.file("flat.zip"), "z = zf(); entry(z, 'flat.bmp', b'\\xff\\x00\\xff' * 340000); z.close()"),
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
    const char *python;
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
    ASSERT_EQ(makeZip(zip, c.python), "");

    const QString error = unpackError(zip, out.path(), {"ZindleClock", "ZindleClock.ini", "Clock.db"});
    ASSERT_FALSE(error.isEmpty()) << "accepted";
    EXPECT_TRUE(error.contains(QString(c.name) + ".zip")) << error.toStdString();
    EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
    EXPECT_EQ(everythingIn(out.path()), QStringList({"first.bmp"}));
    EXPECT_EQ(out.read("first.bmp"), "old");
}

// Every package starts with a good entry that would replace first.bmp.
#define GOOD "z = zf(); entry(z, 'first.bmp', b'new');"

const Hostile kHostile[] = {
    {"climbs", GOOD "entry(z, '../evil.bmp', b'x'); z.close()", "outside"},
    {"climbsdeep", GOOD "entry(z, 'art/../../evil.bmp', b'x'); z.close()", "outside"},
    {"absolute", GOOD "entry(z, '/tmp/evil.bmp', b'x'); z.close()", "outside"},
    {"drive", GOOD "entry(z, 'C:/evil.bmp', b'x'); z.close()", "outside"},
    {"backslashclimbs", GOOD "entry(z, 'art\\\\..\\\\..\\\\evil.bmp', b'x'); z.close()", "outside"},
    {"backslashabsolute", GOOD "entry(z, '\\\\evil.bmp', b'x'); z.close()", "outside"},
    {"backslashdrive", GOOD "entry(z, 'C:\\\\evil.bmp', b'x'); z.close()", "outside"},
    {"dot", GOOD "entry(z, 'art/.', b'x'); z.close()", "no usable file name"},
    {"dotdot", GOOD "entry(z, '..', b'x'); z.close()", "outside"},
    {"control", GOOD "entry(z, 'evil\\n.bmp', b'x'); z.close()", "control character"},
    {"symlink", GOOD "entry(z, 'link.bmp', b'/etc/passwd', system=3, mode=0o120777); z.close()", "symbolic link"},
    {"fifo", GOOD "entry(z, 'pipe.bmp', b'', system=3, mode=0o010644); z.close()", "not an ordinary file"},
    {"protected", GOOD "entry(z, 'data/ZINDLECLOCK.INI', b'[Path]'); z.close()", "own file ZINDLECLOCK.INI"},
    {"program", GOOD "entry(z, 'ZindleClock', b'ELF'); z.close()", "own file ZindleClock"},
    {"table", GOOD "entry(z, 'deep/clock.DB', b'x'); z.close()", "own file clock.DB"},
    {"bzip2", GOOD "entry(z, 'a.bmp', b'a' * 100, method=BZIP2); z.close()", "compression method"},
    {"lzma", GOOD "entry(z, 'a.bmp', b'a' * 100, method=LZMA); z.close()", "compression method"},
    {"encrypted",
     "import tempfile\n"
     "d = tempfile.mkdtemp(); open(d + '/first.bmp', 'wb').write(b'secret')\n"
     "subprocess.run(['zip', '-q', '-P', 'password', out, 'first.bmp'], cwd=d, check=True)",
     "encrypted"},
    {"duplicate", GOOD "entry(z, 'twice.bmp', b'1'); entry(z, 'twice.bmp', b'2'); z.close()", "damaged"},
    {"samebare", GOOD "entry(z, 'a/x.bmp', b'1'); entry(z, 'b/x.bmp', b'2'); z.close()", "same file"},
    {"samebarebackslash", GOOD "entry(z, 'a\\\\x.bmp', b'1'); entry(z, 'b/x.bmp', b'2'); z.close()", "same file"},
    {"samebarecase", GOOD "entry(z, 'X.bmp', b'1'); entry(z, 'x.bmp', b'2'); z.close()", "same file"},
    {"ratio", GOOD "entry(z, 'zeros.bmp', bytes(4 << 20)); z.close()", "beyond 1:200"},
    {"total",
     // Declared 100 MiB each from 1 MiB packed: a fair ratio, too much in all.
     GOOD "[entry(z, 'big%d.bmp' % i, os.urandom(1 << 20), method=STORED) for i in range(3)]; z.close()\n"
          "[set_size('big%d.bmp' % i, 100 << 20) for i in range(3)]",
     "more than 256.0 MiB"},
    {"entries", GOOD "[entry(z, 'e%d' % i, b'') for i in range(10000)]; z.close()", "more than 10000"},
    {"saysless",
     // Inflates to more than it declares, with a right checksum: only
     // counting the bytes catches it.
     GOOD "entry(z, 'more.bmp', os.urandom(100000)); z.close(); set_size('more.bmp', 1000)",
     "more than the 1000 bytes"},
    {"saysmore", GOOD "entry(z, 'less.bmp', os.urandom(1000), method=STORED); z.close(); set_size('less.bmp', 5000)",
     "damaged"},
    {"crcstored", GOOD "entry(z, 'bad.bmp', os.urandom(200000), method=STORED); z.close(); flip('bad.bmp')",
     "damaged"},
    {"crcdeflated", GOOD "entry(z, 'bad.bmp', b'abcdefgh' * 50000); z.close(); flip('bad.bmp')", "damaged"},
    {"truncated", GOOD "entry(z, 'more.bmp', os.urandom(10000)); z.close(); cut(0.6)", "truncated"},
    {"notazip", "open(out, 'w').write('just some text, no archive at all')", "not a ZIP archive"},
};

INSTANTIATE_TEST_SUITE_P(Hostile, ZipReaderRefuses, ::testing::ValuesIn(kHostile),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
