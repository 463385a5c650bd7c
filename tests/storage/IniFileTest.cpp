#include "IniFile.h"
#include "TempFolder.h"

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
    EXPECT_TRUE(folder.read("a.ini").startsWith("; comment\n[Other]\nkeep=1\n\n[path]\ntop=30\nname=\"quoted\"\nleft=40\n[New]\n"));
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
