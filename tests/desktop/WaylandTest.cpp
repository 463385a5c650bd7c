// The real clock in a Wayland session (weston, headless): with XWayland it
// runs there as an X11 client; with no X display at all it is a Wayland
// client that paints its outline and its fade as alpha.
#include "GlassTables.h"
#include "TTable.h"
#include "TempFolder.h"
#include "Weston.h"
#include "XWindows.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool isBackground(QRgb p) { return (p & 0xFFFFFF) == (WestonSession::kBackground & 0xFFFFFF); }

// The clock's pixels on a screenshot: the bounding box of everything that
// is not the background.
QRect clockArea(const QImage &shot)
{
    QRect box;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (!isBackground(shot.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Whether `faded` is `opaque` laid over the background at `alpha`, within a
// step of rounding per channel.
bool blended(QRgb faded, QRgb opaque, double alpha)
{
    auto near = [&](int f, int o, int b) { return std::abs(f - (o * alpha + b * (1 - alpha))) <= 3; };
    const QRgb bg = WestonSession::kBackground;
    return near(qRed(faded), qRed(opaque), qRed(bg)) && near(qGreen(faded), qGreen(opaque), qGreen(bg))
           && near(qBlue(faded), qBlue(opaque), qBlue(bg));
}

class WaylandClock : public ::testing::Test
{
protected:
    // A copy of the program folder with the given settings.
    void prepare(const QByteArray &settings)
    {
        const QDir built(programDir());
        for (const QString &f : built.entryList(QDir::Files))
            QFile::copy(built.filePath(f), folder.file(f));
        QFile::setPermissions(folder.file("ZindleClock"), QFile::permissions(built.filePath("ZindleClock")));
        folder.write("ZindleClock.ini", settings);
    }
    void start(const WestonSession &session)
    {
        clock.setProcessEnvironment(session.clientEnvironment());
        clock.setProcessChannelMode(QProcess::MergedChannels);
        clock.start(folder.file("ZindleClock"), {});
        ASSERT_TRUE(clock.waitForStarted(10000));
    }
    void TearDown() override
    {
        clock.kill();
        clock.waitForFinished(10000);
    }

    // Pixels of the clock's outline at full size (the silhouette's pixels
    // that are not magenta), and the outline's bounding box.
    qint64 outlinePixels(QRect *box)
    {
        TTable t;
        t.OpenTable(folder.path(), "Clock");
        EXPECT_TRUE(t.FindKey("Pocket Watch 001"));
        const QImage full = t.FieldByName("Image").asPicture().convertToFormat(QImage::Format_RGB32);
        qint64 inside = 0;
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x)
                if ((full.pixel(x, y) & 0xFFFFFF) != 0xFF00FF) {
                    ++inside;
                    *box |= QRect(x, y, 1, 1);
                }
        return inside;
    }

    // Polls screenshots until `done` accepts one; the last one taken.
    QImage screenshotWhen(WestonSession &session, const std::function<bool(const QImage &)> &done)
    {
        QImage shot;
        for (int i = 0; i < 120; ++i) {
            shot = session.screenshot();
            if (!shot.isNull() && done(shot))
                break;
            QThread::msleep(250);
        }
        return shot;
    }

    TempFolder folder;
    QProcess clock;
};

} // namespace

TEST_F(WaylandClock, WithXWaylandItRunsAsAnX11ClientWithItsShape)
{
    WestonSession session(true);
    ASSERT_TRUE(session.ready()) << session.log().toStdString();
    prepare("[Path]\nFadeEnabled=0\n");
    start(session);
    XWindows::Display *display = XWindows::open(session.xDisplay());
    ASSERT_NE(display, nullptr) << "XWayland at " << session.xDisplay().toStdString();
    const XWindows::Window w = XWindows::waitFor(display, "Zindle Clock", 60);
    EXPECT_NE(w, 0u) << "the clock chose Wayland: " << clock.readAll().toStdString();
    if (w) {
        EXPECT_GT(XWindows::shapeRectangles(display, w), 1) << "the window is shaped to the outline";
    }
    XWindows::close(display);
}

TEST_F(WaylandClock, WithoutXTheOutlineIsTransparentAndTheFadeIsAlpha)
{
    WestonSession session(false);
    ASSERT_TRUE(session.ready()) << session.log().toStdString();
    QRect outlineBox;
    prepare("[Path]\nFadeEnabled=0\n");
    const qint64 inside = outlinePixels(&outlineBox);
    ASSERT_GT(inside, 1000);
    start(session);

    // Opaque: exactly the outline's pixels differ from the desktop; none is
    // magenta.
    const auto clockPixels = [](const QImage &shot) {
        qint64 n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                n += !isBackground(shot.pixel(x, y));
        return n;
    };
    const QImage opaque = screenshotWhen(session, [&](const QImage &s) { return clockPixels(s) == inside; });
    ASSERT_FALSE(opaque.isNull());
    // ZC_SHOTS names a folder to keep the screenshots in, for a look.
    if (qEnvironmentVariableIsSet("ZC_SHOTS"))
        opaque.save(qEnvironmentVariable("ZC_SHOTS") + "/wayland-opaque.png");
    EXPECT_EQ(clockPixels(opaque), inside) << "the clock's pixels are its outline's: " << clock.readAll().toStdString();
    const QRect area = clockArea(opaque);
    EXPECT_EQ(area.size(), outlineBox.size());
    qint64 magenta = 0;
    for (int y = 0; y < opaque.height(); ++y)
        for (int x = 0; x < opaque.width(); ++x)
            magenta += (opaque.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
    EXPECT_EQ(magenta, 0);
    clock.kill();
    clock.waitForFinished(10000);

    // Faded to 48 % (reached in whole steps of 4): each pixel of the outline
    // is the opaque one laid over the desktop at the window's alpha (the
    // hands, which moved, aside).
    prepare("[Path]\nFadeEnabled=1\nMaxTransparency=48\nFadeSpeed=10\n");
    start(session);
    const double alpha = layeredAlpha(0.48) / 255.0;
    qint64 matching = 0;
    const auto halfFaded = [&](const QImage &shot) {
        const QRect now = clockArea(shot);
        if (now.size() != area.size())
            return false;
        matching = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x) {
                const QRgb o = opaque.pixel(area.x() + x, area.y() + y);
                if (!isBackground(o))
                    matching += blended(shot.pixel(now.x() + x, now.y() + y), o, alpha);
            }
        return matching > inside * 95 / 100;
    };
    const QImage faded = screenshotWhen(session, halfFaded);
    ASSERT_FALSE(faded.isNull());
    if (qEnvironmentVariableIsSet("ZC_SHOTS"))
        faded.save(qEnvironmentVariable("ZC_SHOTS") + "/wayland-faded.png");
    EXPECT_GT(matching, inside * 95 / 100) << matching << " of " << inside << " pixels blended at alpha " << alpha;
}
