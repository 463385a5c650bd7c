#include "TempFolder.h"
#include "ClockFolders.h"
#include "PlatformChoice.h"
#include "uClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QProcessEnvironment envOf(std::initializer_list<std::pair<const char *, const char *>> vars)
{
    QProcessEnvironment env;
    for (const auto &[name, value] : vars)
        env.insert(name, value);
    return env;
}

} // namespace

TEST(ClockFolders, ChoiceFromProgramFolderWritabilityAndEnvironment)
{
    struct Case
    {
        const char *what;
        bool writable;
        QProcessEnvironment env;
        const char *own;
        const char *settings;
    };
    const Case cases[] = {
        {"writable: beside the executable, whatever the environment", true,
         envOf({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data"}}), "/opt/zc/", "/opt/zc/ZindleClock.ini"},
        {"installed, base directories unset", false, envOf({{"HOME", "/home/ann"}}),
         "/home/ann/.local/share/zindleclock/", "/home/ann/.config/zindleclock/ZindleClock.ini"},
        {"installed, base directories set", false,
         envOf({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/srv/d"}, {"XDG_CONFIG_HOME", "/srv/c/"}}),
         "/srv/d/zindleclock/", "/srv/c/zindleclock/ZindleClock.ini"},
        {"installed, empty and relative base directories are ignored", false,
         envOf({{"HOME", "/home/ann/"}, {"XDG_DATA_HOME", ""}, {"XDG_CONFIG_HOME", "rel/cfg"}}),
         "/home/ann/.local/share/zindleclock/", "/home/ann/.config/zindleclock/ZindleClock.ini"},
    };
    for (const Case &c : cases) {
        const ClockFolders f = ClockFolders::choose("/opt/zc", c.writable, c.env);
        EXPECT_EQ(f.program, "/opt/zc/") << c.what;
        EXPECT_EQ(f.own, c.own) << c.what;
        EXPECT_EQ(f.settingsFile, c.settings) << c.what;
        EXPECT_EQ(f.perUser, !c.writable) << c.what;
    }
}

TEST(ClockFolders, AFolderIsWritableUnlessItCarriesTheInstallMarker)
{
    TempFolder folder;
    EXPECT_TRUE(ClockFolders::writable(folder.path()));
    folder.write(ClockFolders::kInstalledMarker, "installed\n");
    EXPECT_FALSE(ClockFolders::writable(folder.path())) << "root, too, keeps its files per user";
    EXPECT_FALSE(ClockFolders::writable(folder.file("missing")));
}

TEST(ClockFolders, SoundsAndPackagesComeFromTheUsersFolderFirst)
{
    TempFolder program, own;
    const ClockFolders beside = ClockFolders::choose(program.path(), true, {});
    EXPECT_EQ(beside.soundFolders(), QStringList({program.file("sound/")}));

    ClockFolders f = ClockFolders::choose(program.path(), false, {});
    f.own = own.path();
    EXPECT_EQ(f.soundFolders(), QStringList({own.file("sound/"), program.file("sound/")}));
    EXPECT_EQ(f.skinFolders(), QStringList({own.file("skins/"), program.file("skins/")}));
    QDir().mkpath(program.file("sound"));
    QDir().mkpath(own.file("sound"));
    program.write("sound/ring.wav", "shipped");
    program.write("sound/bell.wav", "shipped");
    own.write("sound/ring.wav", "own");
    EXPECT_EQ(f.soundFile("ring.wav"), own.file("sound/ring.wav"));
    EXPECT_EQ(f.soundFile("bell.wav"), program.file("sound/bell.wav"));
    EXPECT_EQ(f.soundFile("gone.wav"), own.file("sound/gone.wav"));
}

// A user's first start copies the tables; later starts and a newer install
// leave the user's tables alone; a copy cut off by a kill is never trusted.
TEST(ClockFolders, FirstStartCopiesEachMissingTableWhole)
{
    TempFolder program, home;
    program.write("Clock.db", "clock v1");
    program.write("Alarm.db", "alarm v1");
    const ClockFolders f =
        ClockFolders::choose(program.path(), false, envOf({{"HOME", home.path().toUtf8().constData()}}));
    f.prepare({"Clock", "Alarm", "Time"}); // Time is not shipped: left to the table's own error
    EXPECT_EQ(home.read(".local/share/zindleclock/Clock.db"), "clock v1");
    EXPECT_EQ(home.read(".local/share/zindleclock/Alarm.db"), "alarm v1");
    EXPECT_FALSE(QFileInfo::exists(f.own + "Time.db"));
    for (const char *sub : {"skins", "sound"})
        EXPECT_TRUE(QFileInfo(f.own + sub).isDir()) << sub;
    EXPECT_TRUE(QFileInfo(home.file(".config/zindleclock")).isDir());

    // The user's alarms; a newer install; a first start killed while copying
    // the clock table (its staging copy is all that is left of it).
    home.write(".local/share/zindleclock/Alarm.db", "my alarms");
    program.write("Alarm.db", "alarm v2");
    QFile::remove(f.own + "Clock.db");
    home.write(".local/share/zindleclock/Clock.db.new", "clock v");
    f.prepare({"Clock", "Alarm"});
    EXPECT_EQ(home.read(".local/share/zindleclock/Alarm.db"), "my alarms");
    EXPECT_EQ(home.read(".local/share/zindleclock/Clock.db"), "clock v1");
    EXPECT_FALSE(QFileInfo::exists(f.own + "Clock.db.new"));
    EXPECT_EQ(program.read("Alarm.db"), "alarm v2");
}

TEST(ClockFolders, AFolderThatCannotBeMadeIsReported)
{
    TempFolder program, home;
    home.write("blocker", "a file where the data folder should go");
    const ClockFolders f = ClockFolders::choose(
        program.path(), false, envOf({{"HOME", "/nowhere"}, {"XDG_DATA_HOME", home.file("blocker").toUtf8().constData()}}));
    try {
        f.prepare({"Clock"});
        FAIL() << "no error";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString(e.what()), "Cannot create folder " + home.file("blocker/zindleclock/"));
    }
}

// The clock on an installed folder: tables, settings and mask go to the
// user's folders; the program folder is only read.
TEST(ClockFolders, AClockOnAnInstalledFolderWritesOnlyIntoTheUsersFolders)
{
    TempFolder program;
    const QDir built(programDir());
    for (const QString &f : built.entryList({"*.db"}, QDir::Files))
        ASSERT_TRUE(QFile::copy(built.filePath(f), program.file(f)));
    program.write("ZindleClock.ini", "[Path]\nFadeSpeed=17\n");
    program.write(ClockFolders::kInstalledMarker, "installed\n");
    const QStringList before = QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QByteArray dialBefore = program.read("Dial.db");

    TfClock clock(program.path());
    ASSERT_TRUE(clock.Folders.perUser);
    const QString own = qEnvironmentVariable("XDG_DATA_HOME") + "/zindleclock/";
    EXPECT_EQ(clock.Folders.own, own);
    clock.FormActivate();
    ASSERT_TRUE(clock.StartupDone);
    EXPECT_EQ(clock.Settings.FadeSpeed, 40) << "the shipped settings file is not the user's";
    EXPECT_EQ(clock.tblDial.FileName(), own + "Dial.db");
    clock.Settings.FadeSpeed = 22;
    clock.tblDial.Append();
    clock.tblDial.FieldByName("Name").setAsString("mine");
    clock.tblDial.Post();
    clock.FormClose();

    EXPECT_TRUE(QFileInfo::exists(own + "mask_fClock.bmp"));
    QFile ini(qEnvironmentVariable("XDG_CONFIG_HOME") + "/zindleclock/ZindleClock.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("FadeSpeed=22"));
    EXPECT_EQ(QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(program.read("Dial.db"), dialBefore);
    QDir(own).removeRecursively();
    QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/zindleclock").removeRecursively();
}

TEST(PlatformChoice, XWaylandIsChosenOnlyWhenTheUserChoseNothing)
{
    struct Case
    {
        QProcessEnvironment env;
        const char *platform;
    };
    const Case cases[] = {
        {envOf({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}}), "xcb;wayland"},
        {envOf({{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}), "xcb;wayland"},
        {envOf({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}, {"QT_QPA_PLATFORM", "wayland"}}), ""},
        {envOf({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}, {"QT_QPA_PLATFORM", ""}}), "xcb;wayland"},
        {envOf({{"WAYLAND_DISPLAY", "wayland-0"}}), ""},
        {envOf({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}), ""},
        {envOf({{"DISPLAY", ":0"}}), ""},
        {envOf({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}), ""},
        {envOf({}), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PlatformChoice::choose(c.env), QByteArray(c.platform)) << c.env.toStringList().join(' ').toStdString();
}
