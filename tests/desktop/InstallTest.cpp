// The clock installed by `cmake --install` into a root-owned prefix and run
// by two unprivileged users on a real X server: each keeps their own
// settings, tables and outline, and the install is never written to.
#include "Account.h"
#include "AlarmStore.h"
#include "DateTime.h"
#include "TTable.h"
#include "TempFolder.h"
#include "TreeSnapshot.h"
#include "XWindows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString kClock = "Zindle Clock";

bool run(const QString &program, const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ok = p.waitForFinished(300000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

uid_t ownerOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
}

// Polls until the window stands at `at`.
bool waitForPosition(XWindows::Display *d, XWindows::Window w, QPoint at)
{
    for (int i = 0; i < 200; ++i) {
        if (XWindows::geometry(d, w).topLeft() == at)
            return true;
        QThread::msleep(50);
    }
    return false;
}

class Installed : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Account::asRoot())
            GTEST_SKIP() << "changing the user id needs root";
        display = XWindows::open();
        if (!display)
            GTEST_SKIP() << "no X server";
        // The prefix as an administrator's install leaves it: root's, readable by all.
        QFile::setPermissions(prefix.path(), QFile::permissions(prefix.path()) | QFileDevice::ReadOther
                                                 | QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        QString log;
        ASSERT_TRUE(run(ZC_CMAKE_COMMAND, {"--install", ZC_BINARY_DIR, "--prefix", prefix.path()}, &log))
            << log.toStdString();
    }
    void TearDown() override
    {
        if (display)
            XWindows::close(display);
    }

    QString launcher() const { return prefix.file("bin/zindleclock"); }

    XWindows::Display *display = nullptr;
    TempFolder prefix;
};

} // namespace

TEST_F(Installed, TheLauncherAndTheDesktopEntryStartTheInstalledProgram)
{
    EXPECT_EQ(QFileInfo(launcher()).canonicalFilePath(),
              QFileInfo(prefix.file("lib/zindleclock/ZindleClock")).canonicalFilePath());
    const QString entry = QString::fromUtf8(prefix.read("share/applications/zindleclock.desktop"));
    EXPECT_TRUE(entry.contains("\nExec=zindleclock\n")) << "the launcher on PATH, whatever the prefix";
    EXPECT_FALSE(entry.contains(prefix.path()));
    EXPECT_FALSE(entry.contains("/usr/local"));
    EXPECT_TRUE(QFileInfo::exists(prefix.file("lib/zindleclock/INSTALLED")));
    EXPECT_TRUE(QFileInfo::exists(prefix.file("share/icons/hicolor/scalable/apps/zindleclock.svg")));
    // The icon theme's pictures, and the program's own up to 64.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString theme = prefix.file(QString("share/icons/hicolor/%1x%1/apps/zindleclock.png").arg(size));
        EXPECT_EQ(QImageReader(theme, "png").size(), QSize(size, size)) << theme.toStdString();
        const QString own = prefix.file(QString("lib/zindleclock/zindleclock-%1.png").arg(size));
        EXPECT_EQ(QFileInfo::exists(own), size <= 64) << own.toStdString();
    }
}

TEST_F(Installed, TwoUsersKeepTheirOwnFilesAndTheInstallStaysAsItWas)
{
    const QMap<QString, QString> before = snapshotTree(prefix.path());
    ASSERT_TRUE(before.contains("lib/zindleclock/Alarm.db"));

    struct User
    {
        std::unique_ptr<Account> account;
        QPoint movedTo;
        QString data() const { return account->home() + "/.local/share/zindleclock/"; }
        QString settings() const { return account->home() + "/.config/zindleclock/ZindleClock.ini"; }
    };
    User users[2];
    users[0].account = std::make_unique<Account>(65534, 65534);
    users[0].movedTo = {120, 70};
    users[1].account = std::make_unique<Account>(Account::unusedUid(64000));
    users[1].movedTo = {400, 260};
    for (const User &u : users)
        ASSERT_TRUE(u.account->usable());

    // First start of each: the tables are copied, the outline written, in
    // the user's own folders; the user moves the clock and closes it.
    for (const User &u : users) {
        SCOPED_TRACE("uid " + std::to_string(u.account->uid()));
        QProcess clock;
        u.account->start(clock, launcher());
        ASSERT_TRUE(clock.waitForStarted(10000));
        const XWindows::Window w = XWindows::waitFor(display, kClock, 60);
        ASSERT_NE(w, 0u) << "the clock never showed: " << clock.readAllStandardError().toStdString();
        EXPECT_EQ(XWindows::geometry(display, w).topLeft(), QPoint(0, 0)) << "no settings yet";
        for (const char *f : {"Clock.db", "Alarm.db", "Alarm2.db", "Time.db", "mask_fClock.bmp"}) {
            EXPECT_TRUE(QFileInfo::exists(u.data() + f)) << f;
            EXPECT_EQ(ownerOf(u.data() + f), u.account->uid()) << f;
        }
        XWindows::move(display, w, u.movedTo.x(), u.movedTo.y());
        ASSERT_TRUE(waitForPosition(display, w, u.movedTo));
        XWindows::askToClose(display, w);
        ASSERT_TRUE(clock.waitForFinished(30000));
        EXPECT_EQ(clock.exitStatus(), QProcess::NormalExit) << clock.readAllStandardError().toStdString();
        QFile ini(u.settings());
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly)) << "the settings were saved at close";
        const QByteArray text = ini.readAll();
        EXPECT_TRUE(text.contains("left=" + QByteArray::number(u.movedTo.x()))) << text.toStdString();
        EXPECT_TRUE(text.contains("top=" + QByteArray::number(u.movedTo.y()))) << text.toStdString();
    }

    // The first user adds an alarm due at once, through their own tables.
    {
        TTable alarm, alarm2;
        alarm.OpenTable(users[0].data(), "Alarm");
        alarm2.OpenTable(users[0].data(), "Alarm2");
        AlarmRecord r;
        r.title = "Only for the first user";
        r.type = "Once";
        r.date = ZDateTime::dateOf(ZDateTime::fromQDateTime(QDateTime::currentDateTime()));
        r.time = 0;
        r.sound = "None";
        AlarmStore(alarm, alarm2).save(0, r);
    }

    // Started again, each clock stands where its user left it; only the
    // first user's clock shows the alarm.
    {
        QProcess clock;
        users[0].account->start(clock, launcher());
        const XWindows::Window w = XWindows::waitFor(display, kClock, 60);
        ASSERT_NE(w, 0u);
        EXPECT_TRUE(waitForPosition(display, w, users[0].movedTo));
        EXPECT_NE(XWindows::waitFor(display, "Alarm Message", 60), 0u) << "the first user's alarm fired";
        clock.kill();
        clock.waitForFinished(10000);
    }
    {
        QProcess clock;
        users[1].account->start(clock, launcher());
        const XWindows::Window w = XWindows::waitFor(display, kClock, 60);
        ASSERT_NE(w, 0u);
        EXPECT_TRUE(waitForPosition(display, w, users[1].movedTo));
        clock.kill();
        clock.waitForFinished(10000);
        TTable alarm;
        alarm.OpenTable(users[1].data(), "Alarm");
        EXPECT_EQ(alarm.RecordCount(), 0) << "the second user has no alarm of the first";
    }
    EXPECT_NE(users[0].account->home(), users[1].account->home());
    EXPECT_NE(QFile(users[0].settings()).size(), 0);

    EXPECT_EQ(snapshotTree(prefix.path()), before) << "nothing in the install changed";
}
