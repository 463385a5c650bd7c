#include "ClockFolder.h"
#include "ErrorReport.h"
#include "uClock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A small file system of the test's own, made read-only after it is filled:
// the refusal is real even for root, which ignores file permissions.
class ReadOnlyMount
{
public:
    explicit ReadOnlyMount(const QString &path) : m_path(path)
    {
        m_mounted = run("mount", {"-t", "tmpfs", "-o", "size=8m", "tmpfs", path});
    }
    ~ReadOnlyMount()
    {
        if (m_mounted)
            run("umount", {"-l", m_path});
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly() { return run("mount", {"-o", "remount,ro", m_path}); }

private:
    QString m_path;
    bool m_mounted = false;
};

} // namespace

TEST(ReadOnlyFolder, TheClockStartsAndTheRefusedSaveIsReported)
{
    ClockFolder source;
    for (const char *t : {"Clock", "Dial", "Head", "Body", "Hand"})
        source.addSkin(t, "only");
    source.writeSettings("[Path]\nFadeSpeed=17\nleft=5\n");
    TempFolder mountPoint;
    ReadOnlyMount mount(mountPoint.path());
    if (!mount.mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    const QDir from(source.path());
    for (const QString &f : from.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(from.filePath(f), mountPoint.file(f)));
    ASSERT_TRUE(mount.makeReadOnly());

    QStringList reports;
    ErrorReport::forgetShown();
    ErrorReport::setSink([&](const QString &t) { reports << t; });
    {
        TfClock clock(mountPoint.path());
        clock.FormActivate();
        EXPECT_TRUE(clock.StartupDone);
        EXPECT_EQ(clock.FadeSpeed, 17);
        clock.FormClose();
    }
    ErrorReport::setSink(nullptr);
    EXPECT_EQ(reports, QStringList({"Unable to write to " + mountPoint.file("ZindleClock.ini")}));
    QFile ini(mountPoint.file("ZindleClock.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), "[Path]\nFadeSpeed=17\nleft=5\n") << "the old settings stay whole";
}
