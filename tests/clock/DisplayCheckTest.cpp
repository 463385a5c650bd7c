#include "DisplayCheck.h"
#include "TempFolder.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>

TEST(DisplayCheck, XcbIsCheckedWhenQtWouldUseIt)
{
    using P = DisplayCheck::Plan;
    struct Case { const char *platform, *display; P expected; };
    const Case cases[] = {
        {"", ":0", P::Connect},          {"xcb", ":0", P::Connect},
        {"xcb:nomitshm", ":0", P::Connect}, {"offscreen", ":0", P::LeaveToQt},
        {"wayland", ":0", P::LeaveToQt}, {"wayland;xcb", ":0", P::LeaveToQt},
        {"xcb", "", P::NoDisplay},       {"", "", P::LeaveToQt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DisplayCheck::plan(c.platform, c.display), c.expected) << c.platform << " / " << c.display;
}

namespace {

// A display name no server answers: a Unix socket only ("unix:" never falls
// back to TCP), on a number nobody uses.
QString deadDisplay()
{
    for (;;) {
        const int n = int(QRandomGenerator::global()->bounded(20000, 60000));
        if (!QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)) && !QFile::exists(QString("/tmp/.X%1-lock").arg(n)))
            return QString("unix:%1").arg(n);
    }
}

} // namespace

// The real program, on a display it cannot reach: one line and exit code 1,
// not an abort with a core dump.
TEST(DisplayCheck, TheProgramEndsWithOneLineWhenTheDisplayRefuses)
{
    const QString dead = deadDisplay();
    struct Case { const char *platform; QString display; QString line; };
    const Case cases[] = {
        {nullptr, dead, "Zindle Clock: cannot connect to display " + dead + "\n"},
        {"xcb", dead, "Zindle Clock: cannot connect to display " + dead + "\n"},
        {"xcb", QString(), "Zindle Clock: cannot connect to display: DISPLAY is not set\n"},
    };
    TempFolder runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        if (c.platform)
            env.insert("QT_QPA_PLATFORM", c.platform);
        if (!c.display.isEmpty())
            env.insert("DISPLAY", c.display);
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(programDir() + "ZindleClock", {});
        ASSERT_TRUE(p.waitForStarted(10000));
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "no abort";
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()), c.line);
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    }
}
