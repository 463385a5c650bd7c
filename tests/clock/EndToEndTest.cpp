#include "Eventually.h"
#include "TTable.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace {

Window findWindow(Display *d, Window w, const char *name)
{
    char *found = nullptr;
    if (XFetchName(d, w, &found) && found) {
        const bool match = QByteArray(found) == name;
        XFree(found);
        XWindowAttributes a;
        if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable)
            return w;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window result = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !result; ++i)
            result = findWindow(d, children[i], name);
        if (children)
            XFree(children);
    }
    return result;
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
