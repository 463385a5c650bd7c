#include "DateTime.h"
#include "IniFile.h"
#include "Eventually.h"
#include "TTable.h"
#include "TempFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <csignal>
#include <vector>

namespace {

// The viewable windows with the name, in the tree below w.
void windowsNamed(Display *d, Window w, const char *name, std::vector<Window> &found)
{
    char *title = nullptr;
    if (XFetchName(d, w, &title) && title) {
        const bool match = QByteArray(title) == name;
        XFree(title);
        XWindowAttributes a;
        if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable)
            found.push_back(w);
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i)
            windowsNamed(d, children[i], name, found);
        if (children)
            XFree(children);
    }
}

Window findWindow(Display *d, Window w, const char *name)
{
    std::vector<Window> found;
    windowsNamed(d, w, name, found);
    return found.empty() ? 0 : found.front();
}

QImage grab(Display *d, Window w, int width, int height)
{
    XImage *x = XGetImage(d, w, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!x)
        return QImage();
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int xx = 0; xx < width; ++xx)
            img.setPixel(xx, y, QRgb(XGetPixel(x, xx, y)) | 0xFF000000u);
    XDestroyImage(x);
    return img;
}

// The real program, started from a copy of its program folder at a scale.
class RunningClock : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        if (!display)
            GTEST_SKIP() << "no X server";
        const QDir built(programDir());
        for (const QString &f : built.entryList(QDir::Files))
            QFile::copy(built.filePath(f), folder.file(f));
        QFile::setPermissions(folder.file("ZindleClock"), QFile::permissions(built.filePath("ZindleClock")));
        folder.write("ZindleClock.ini",
                     QString("[Path]\nleft=20\ntop=20\nFadeEnabled=0\nSizeScale=%1\n").arg(GetParam()).toUtf8());
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        clock.setProcessEnvironment(env);
        clock.start(folder.file("ZindleClock"), {});
        ASSERT_TRUE(clock.waitForStarted(kPatienceMs));
    }
    void TearDown() override
    {
        clock.kill();
        clock.waitForFinished(kPatienceMs);
        if (display)
            XCloseDisplay(display);
    }

    Window waitForWindow()
    {
        Window w = 0;
        eventually([&] { return (w = findWindow(display, DefaultRootWindow(display), "Zindle Clock")) != 0; });
        return w;
    }

    Display *display = nullptr;
    TempFolder folder;
    TempFolder runtime;
    QProcess clock;
};

} // namespace

TEST_P(RunningClock, WindowTakesTheClockOutlineAndTheSecondHandMoves)
{
    const int scale = GetParam();
    TTable t;
    t.OpenTable(folder.path(), "Clock");
    ASSERT_TRUE(t.FindKey("Pocket Watch 001"));
    const QImage full = t.FieldByName("Image").asPicture().convertToFormat(QImage::Format_RGB32);
    const QSize size(full.width() * scale / 16, full.height() * scale / 16);
    const QImage scaled = full.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    qint64 inside = 0;
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x)
            inside += (scaled.pixel(x, y) & 0xFFFFFF) != 0xFF00FF;

    const Window w = waitForWindow();
    ASSERT_NE(w, 0u) << "the clock never showed";
    // The window shows before its face is built and shaped at the scale.
    XWindowAttributes a;
    qint64 shaped = 0;
    auto settled = [&] {
        if (!XGetWindowAttributes(display, w, &a))
            return false;
        int count = 0, ordering = 0;
        XRectangle *rects = XShapeGetRectangles(display, w, ShapeBounding, &count, &ordering);
        shaped = 0;
        for (int i = 0; i < count; ++i)
            shaped += qint64(rects[i].width) * rects[i].height;
        if (rects)
            XFree(rects);
        return QSize(a.width, a.height) == size && shaped == inside;
    };
    eventually(settled);
    EXPECT_EQ(QSize(a.width, a.height), size);
    EXPECT_EQ(shaped, inside) << "the window's shape is the clock's outline";

    // Two changes of the picture: the first may be the face being painted
    // at last, the second can only be the tick turning a hand.
    QImage shown = grab(display, w, a.width, a.height);
    ASSERT_FALSE(shown.isNull()) << "the window could not be read back";
    for (int change = 1; change <= 2; ++change) {
        QImage next;
        eventually([&] {
            next = grab(display, w, a.width, a.height);
            return !next.isNull() && next != shown;
        });
        ASSERT_FALSE(next.isNull()) << "the window could not be read back";
        ASSERT_NE(next, shown) << "change " << change << ": the second hand turned";
        shown = next;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, RunningClock, ::testing::Values(16, 8));

namespace {

// Copies a folder with its subfolders.
void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
        QFile::setPermissions(target, QFile::permissions(source));
    }
}

// Names of the process's threads.
QStringList threadNames(qint64 pid)
{
    QStringList names;
    const QDir tasks(QString("/proc/%1/task").arg(pid));
    for (const QString &t : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(t + "/comm"));
        if (comm.open(QIODevice::ReadOnly))
            names << QString::fromUtf8(comm.readAll()).trimmed();
    }
    return names;
}

struct SignalCase
{
    const char *name;
    int signal;
    bool alarmSounding; // a due alarm's message open, its sound playing
};

// The real program ended by the system: it leaves by the way Exit does,
// writing where the window stands, also in the middle of an alarm.
class EndedClock : public ::testing::TestWithParam<SignalCase>
{
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        if (!display)
            GTEST_SKIP() << "no X server";
        copyTree(programDir(), folder.path());
        folder.write("ZindleClock.ini", "[Path]\nleft=137\ntop=91\nFadeEnabled=0\n");
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
    }
    void TearDown() override
    {
        if (clock.state() != QProcess::NotRunning) {
            clock.kill();
            clock.waitForFinished(10000);
        }
        if (display)
            XCloseDisplay(display);
    }

    // An alarm due now, its sound looping.
    void addAlarm()
    {
        const double due = ZDateTime::now();
        for (const char *name : {"Alarm", "Alarm2"}) {
            TTable t;
            t.OpenTable(folder.path(), name);
            t.Append();
            t.FieldByName("Title").setAsString("Wake up");
            t.FieldByName("Type").setAsString("Once");
            t.FieldByName("TypeIndex").setAsInteger(0);
            t.FieldByName("Date").setAsDateTime(ZDateTime::dateOf(due));
            t.FieldByName("Time").setAsDateTime(ZDateTime::timeOf(due));
            t.FieldByName("Sound").setAsString("gong.wav");
            t.FieldByName("Activated").setAsBoolean(false);
            t.FieldByName("Loop").setAsBoolean(true);
            t.Post();
        }
    }

    Window waitForWindow(const char *name, std::size_t count = 1)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000) {
            std::vector<Window> found;
            windowsNamed(display, DefaultRootWindow(display), name, found);
            if (found.size() >= count)
                return found.front();
            QThread::msleep(50);
        }
        return 0;
    }

    Display *display = nullptr;
    TempFolder folder;
    TempFolder runtime;
    QProcessEnvironment env;
    QProcess clock;
};

} // namespace

TEST_P(EndedClock, SignalEndsTheProgramAsExitDoes)
{
    const SignalCase c = GetParam();
    if (c.alarmSounding)
        addAlarm();
    clock.setProcessEnvironment(env);
    clock.start(folder.file("ZindleClock"), {});
    ASSERT_TRUE(clock.waitForStarted(10000));
    ASSERT_NE(waitForWindow("Zindle Clock"), 0u) << "the clock never showed";
    if (c.alarmSounding) {
        ASSERT_NE(waitForWindow("Alarm Message"), 0u) << "the alarm never showed";
        // The sound system runs: its audio thread is there.
        QElapsedTimer waited;
        waited.start();
        while (!threadNames(clock.processId()).join(' ').contains("SDLAudio") && waited.elapsed() < 60000)
            QThread::msleep(50);
        ASSERT_TRUE(threadNames(clock.processId()).join(' ').contains("SDLAudio")) << "no sound played";
    }

    ASSERT_EQ(::kill(pid_t(clock.processId()), c.signal), 0);
    ASSERT_TRUE(clock.waitForFinished(60000)) << "the program ignored the signal";
    EXPECT_EQ(clock.exitStatus(), QProcess::NormalExit) << "ended by the signal, not by itself";
    EXPECT_EQ(clock.exitCode(), 0);
    const IniFile ini(folder.file("ZindleClock.ini"));
    EXPECT_EQ(ini.readString("Path", "left", "?"), "137");
    EXPECT_EQ(ini.readString("Path", "top", "?"), "91");
    EXPECT_NE(ini.readString("Path", "FadeSpeed", "?"), "?") << "the whole settings file is written";
    if (c.alarmSounding) {
        // The message was left the way its window closes: the one-time alarm is done.
        for (const char *name : {"Alarm", "Alarm2"}) {
            TTable t;
            t.OpenTable(folder.path(), name);
            EXPECT_EQ(t.RecordCount(), 0) << name;
        }
    }
}

// Ended while the message of a failed start is open (a damaged table at
// login, the session ending before anyone answered): the program leaves,
// and the settings it never read are not written over.
TEST_F(EndedClock, SignalEndsAStartThatFailed)
{
    folder.write("Dial.db", QByteArray(8192, '\x5a'));
    const QByteArray settings = folder.read("ZindleClock.ini");
    clock.setProcessEnvironment(env);
    clock.start(folder.file("ZindleClock"), {});
    ASSERT_TRUE(clock.waitForStarted(10000));
    // The clock's window and the message, both named after the program.
    ASSERT_NE(waitForWindow("Zindle Clock", 2), 0u) << "the failure was never shown";

    ASSERT_EQ(::kill(pid_t(clock.processId()), SIGTERM), 0);
    ASSERT_TRUE(clock.waitForFinished(60000)) << "the program ignored the signal";
    EXPECT_EQ(clock.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(clock.exitCode(), 0);
    EXPECT_EQ(folder.read("ZindleClock.ini"), settings);
}

INSTANTIATE_TEST_SUITE_P(Signals, EndedClock,
                         ::testing::Values(SignalCase{"TermDuringAlarm", SIGTERM, true},
                                           SignalCase{"IntDuringAlarm", SIGINT, true},
                                           SignalCase{"HangUpIdle", SIGHUP, false}),
                         [](const ::testing::TestParamInfo<SignalCase> &i) { return std::string(i.param.name); });
