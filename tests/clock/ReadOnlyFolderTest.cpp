#include "ClockFolder.h"
#include "ClockFolders.h"
#include "ErrorReport.h"
#include "TmpfsMount.h"
#include "uClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// The environment variable set for one test, put back afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QString &value) : m_name(name), m_old(qgetenv(name)) { qputenv(name, value.toUtf8()); }
    ~ScopedEnv() { qputenv(m_name, m_old); }

private:
    const char *m_name;
    QByteArray m_old;
};

} // namespace

// A program folder the clock may not write to is an installed one: the
// clock starts with the user's own files and leaves the folder as it was.
TEST(ReadOnlyFolder, TheClockStartsWithTheUsersOwnFilesAndChangesNothingThere)
{
    ClockFolder source;
    for (const char *t : {"Clock", "Dial", "Head", "Body", "Hand"})
        source.addSkin(t, "only");
    source.writeSettings("[Path]\nFadeSpeed=17\nleft=5\n");
    TempFolder mountPoint, data, config;
    TmpfsMount mount(mountPoint.path());
    if (!mount.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    ASSERT_TRUE(source.copyTo(mountPoint.path()));
    ASSERT_TRUE(mount.makeReadOnly());
    const ScopedEnv dataHome("XDG_DATA_HOME", data.path());
    const ScopedEnv configHome("XDG_CONFIG_HOME", config.path());
    QDir().mkpath(config.file("zindleclock"));
    config.write("zindleclock/ZindleClock.ini", "[Path]\nFadeSpeed=23\n");

    QStringList reports;
    ErrorReport::forgetShown();
    ErrorReport::setSink([&](const QString &t) { reports << t; });
    {
        TfClock clock(mountPoint.path());
        clock.FormActivate();
        EXPECT_TRUE(clock.StartupDone);
        EXPECT_EQ(clock.Settings.FadeSpeed, 23) << "the user's settings, not the folder's";
        clock.Settings.FadeSpeed = 31;
        clock.FormClose();
    }
    ErrorReport::setSink(nullptr);
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    EXPECT_TRUE(config.read("zindleclock/ZindleClock.ini").contains("FadeSpeed=31"));
    EXPECT_TRUE(QFileInfo::exists(data.file("zindleclock/Alarm.db")));
    QFile ini(mountPoint.file("ZindleClock.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), "[Path]\nFadeSpeed=17\nleft=5\n");
}

TEST(ReadOnlyFolder, TheClockStartsAndTheRefusedSaveIsReported)
{
    // The settings file on a file system that refuses writes, for an
    // installed program folder.
    ClockFolder program;
    for (const char *t : {"Clock", "Dial", "Head", "Body", "Hand"})
        program.addSkin(t, "only");
    program.write(ClockFolders::kInstalledMarker, "installed\n");
    TempFolder mountPoint, data;
    TmpfsMount mount(mountPoint.path());
    if (!mount.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    ASSERT_TRUE(QDir().mkpath(mountPoint.file("zindleclock")));
    mountPoint.write("zindleclock/ZindleClock.ini", "[Path]\nFadeSpeed=17\nleft=5\n");
    ASSERT_TRUE(mount.makeReadOnly());
    const ScopedEnv dataHome("XDG_DATA_HOME", data.path());
    const ScopedEnv configHome("XDG_CONFIG_HOME", mountPoint.path());
    const QString settings = mountPoint.file("zindleclock/ZindleClock.ini");

    QStringList reports;
    ErrorReport::forgetShown();
    ErrorReport::setSink([&](const QString &t) { reports << t; });
    {
        TfClock clock(program.path());
        clock.FormActivate();
        EXPECT_TRUE(clock.StartupDone);
        EXPECT_EQ(clock.Settings.FadeSpeed, 17);
        clock.FormClose();
    }
    ErrorReport::setSink(nullptr);
    EXPECT_EQ(reports, QStringList({"Unable to write to " + settings}));
    QFile ini(settings);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), "[Path]\nFadeSpeed=17\nleft=5\n") << "the old settings stay whole";
}
