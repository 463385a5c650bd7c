#include "IniFile.h"
#include "TempFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>

TEST(IniFile, IntegersInDecimalAndHexadecimal)
{
    struct Case { const char *text; int expected; };
    const Case cases[] = {
        {"40", 40}, {"-5", -5}, {" 7 ", 7}, {"0x1", 1}, {"0X1f", 31}, {"$32", 50}, {"$FFFFFFFF", -1},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        // unreadable text gives the default
        {"abc", 99}, {"", 99}, {"12abc", 99}, {"0x", 99}, {"$", 99}, {"2147483648", 99}, {"1.5", 99},
        {"$100000000", 99}, {"--1", 99},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IniFile::parseInteger(c.text, 99), c.expected) << c.text;
}

TEST(IniFile, KeysAndSectionsIgnoreCaseAndOtherContentSurvives)
{
    TempFolder folder;
    folder.write("a.ini", "; comment\r\n[Other]\r\nkeep=1\r\n\r\n[path]\r\nTOP = 12\r\nname=\"quoted\"\r\n");
    IniFile ini(folder.file("a.ini"));
    EXPECT_EQ(ini.readString("Path", "top", "0"), "12");
    EXPECT_EQ(ini.readString("Path", "Name", ""), "quoted");
    EXPECT_EQ(ini.readString("Path", "missing", "def"), "def");
    EXPECT_EQ(ini.readString("Nowhere", "top", "def"), "def");

    ini.writeString("Path", "top", "30");
    ini.writeString("Path", "left", "40");
    ini.writeString("New", "x", "line\nbreak");
    ini.save();

    IniFile again(folder.file("a.ini"));
    EXPECT_EQ(again.readString("Path", "top", ""), "30");
    EXPECT_EQ(again.readString("Path", "left", ""), "40");
    EXPECT_EQ(again.readString("Other", "keep", ""), "1");
    EXPECT_EQ(again.readString("New", "x", ""), "line break") << "a value cannot break the file's lines";
    // Every line keeps its own line end; new lines take the file's.
    EXPECT_EQ(folder.read("a.ini"), "; comment\r\n[Other]\r\nkeep=1\r\n\r\n[path]\r\ntop=30\r\nname=\"quoted\"\r\n"
                                    "left=40\r\n[New]\r\nx=line break\r\n");
}

TEST(IniFile, RefusedWriteNamesTheFileAndKeepsTheOldOne)
{
    TempFolder folder;
    folder.write("blocker", "a file, not a folder");
    IniFile ini(folder.file("blocker/ZindleClock.ini"));
    EXPECT_FALSE(ini.exists());
    ini.writeString("Path", "top", "1");
    try {
        ini.save();
        FAIL() << "the write went through";
    } catch (const EInOutError &e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + folder.file("blocker/ZindleClock.ini")).toUtf8().constData());
    }
    EXPECT_EQ(folder.read("blocker"), "a file, not a folder");
}

// Lines the clock does not own come back byte for byte, whatever their
// encoding; only the keys written change.
TEST(IniFile, LinesThatAreNotTheClocksAreKeptByteForByte)
{
    QByteArray garbage(4096, Qt::Uninitialized);
    QRandomGenerator rng(7);
    for (char &c : garbage)
        c = char(rng.bounded(256));
    garbage.replace('\r', 'x'); // the file's own line end stays "\n"
    struct Case { const char *what; QByteArray before, after; };
    const Case cases[] = {
        {"Latin-1 comment", "; f\xFCr mich\n[Path]\ntop=1\n", "; f\xFCr mich\n[Path]\ntop=2\nleft=3\n"},
        {"binary garbage", garbage + "\n[Path]\ntop=1\n", garbage + "\n[Path]\ntop=2\nleft=3\n"},
        {"garbage after the section", "[Path]\ntop=1\n[x]\n\xFF\xFE\x02\x01\r\n",
         "[Path]\ntop=2\nleft=3\n[x]\n\xFF\xFE\x02\x01\r\n"},
        {"Windows line ends", "[Path]\r\n;\xE9t\xE9\r\ntop = 1\r\n\r\n", "[Path]\r\n;\xE9t\xE9\r\ntop=2\r\nleft=3\r\n\r\n"},
        {"no line end at the end", "; x\n[Path]\ntop=1", "; x\n[Path]\ntop=2\nleft=3\n"},
        {"no section yet", "\xC3\x28 not UTF-8", "\xC3\x28 not UTF-8\n[Path]\ntop=2\nleft=3\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        folder.write("a.ini", c.before);
        IniFile ini(folder.file("a.ini"));
        ini.writeString("Path", "top", "2");
        ini.writeString("Path", "left", "3");
        ini.save();
        EXPECT_EQ(folder.read("a.ini"), c.after);
    }
}

TEST(IniFile, ValuesAreReadAsUtf8OrElseAsLatin1)
{
    TempFolder folder;
    folder.write("a.ini", "[Path]\na=Uhr f\xFCr Dich\nb=\xC3\x9Cn\xC3\xAF"
                          "code\nc=\"\xE9t\xE9\"\n");
    const IniFile ini(folder.file("a.ini"));
    EXPECT_EQ(ini.readString("Path", "a", ""), QString::fromUtf8("Uhr f\xC3\xBCr Dich"));
    EXPECT_EQ(ini.readString("Path", "b", ""), QString::fromUtf8("\xC3\x9Cn\xC3\xAF"
                                                                  "code"));
    EXPECT_EQ(ini.readString("Path", "c", ""), QString::fromUtf8("\xC3\xA9t\xC3\xA9"));
}

// A settings file is never cut: a large one is read whole and written back
// whole, one beyond all reason is neither read nor rewritten, and says so.
TEST(IniFile, LargeFilesAreReadWholeOrLeftAlone)
{
    TempFolder folder;
    QByteArray filler;
    for (int i = 0; filler.size() < (10 << 20); ++i)
        filler += "; line " + QByteArray::number(i) + " of a file someone else made longer than it should be\n";
    ASSERT_NE(filler[(1 << 20) - 1], '\n') << "the old 1 MiB cut fell mid-line";
    folder.write("big.ini", filler + "[Path]\nFadeSpeed=17\n");
    IniFile big(folder.file("big.ini"));
    EXPECT_EQ(big.readString("Path", "FadeSpeed", "40"), "17") << "a section at the end is read";
    big.writeString("Path", "top", "5");
    big.save();
    EXPECT_EQ(folder.read("big.ini"), filler + "[Path]\nFadeSpeed=17\ntop=5\n");

    // Sparse: no disk is spent on it.
    folder.write("huge.ini", "[Path]\nFadeSpeed=17\n");
    ASSERT_TRUE(QFile::resize(folder.file("huge.ini"), IniFile::kMaxSize + 1));
    IniFile huge(folder.file("huge.ini"));
    EXPECT_TRUE(huge.exists());
    EXPECT_EQ(huge.readString("Path", "FadeSpeed", "40"), "40");
    huge.writeString("Path", "FadeSpeed", "20");
    try {
        huge.save();
        FAIL() << "a file that was not read was rewritten";
    } catch (const EInOutError &e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + folder.file("huge.ini")
                                + ": the file is larger than 64 MiB; it was not read and is left as it is.")
                                   .toUtf8()
                                   .constData());
    }
    EXPECT_EQ(QFileInfo(folder.file("huge.ini")).size(), IniFile::kMaxSize + 1);
    QFile kept(folder.file("huge.ini"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.read(20), "[Path]\nFadeSpeed=17\n");
}
