// Runs against a real X server (Xvfb): the shape the server holds for a
// shaped window, the screen a fallback-mode glass window leaves, and (on a
// private server) the window-manager and compositor questions.
#include "Eventually.h"
#include "HueShift.h"
#include "MaskRegion.h"
#include "OrganicShapeGlassForm.h"
#include "TempFolder.h"
#include "WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_screen_t *firstScreen(xcb_connection_t *c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data; }

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    auto *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

// The window's bounding shape as the server has it, clipped to the window.
QRegion serverShape(xcb_connection_t *c, xcb_window_t w, const QSize &size)
{
    auto *reply = xcb_shape_get_rectangles_reply(c, xcb_shape_get_rectangles(c, w, XCB_SHAPE_SK_BOUNDING), nullptr);
    QRegion r;
    if (!reply)
        return r;
    const xcb_rectangle_t *rects = xcb_shape_get_rectangles_rectangles(reply);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply); ++i)
        r += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    free(reply);
    return r & QRect(QPoint(0, 0), size);
}

class XvfbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb" || !connection())
            GTEST_SKIP() << "needs an X server";
        c = connection();
    }

    void writeMask(TOrganicShapeForm &form, const QImage &img)
    {
        form.setObjectName("fClock");
        ASSERT_TRUE(img.save(folder.file("mask_fClock.bmp"), "BMP"));
        form.SetInvisibleColor(clMagenta);
        form.loadSkin(folder.path());
    }

    xcb_connection_t *c = nullptr;
    TempFolder folder;
};

QImage shapedMask()
{
    // A rounded body with a hole and a one-pixel notch, magenta outside.
    QImage img(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = (x - 20) * (x - 20) / 400.0 + (y - 15) * (y - 15) / 225.0 < 1.0;
            const bool hole = x >= 18 && x < 22 && y >= 12 && y < 16;
            img.setPixel(x, y, inside && !hole && !(x == 30 && y == 15) ? qRgb(x * 6, y * 8, 90) : qRgb(255, 0, 255));
        }
    return img;
}

TEST_F(XvfbTest, ServerShapeEqualsTheMasksInsidePixels)
{
    TOrganicShapeForm form;
    const QImage mask = shapedMask();
    writeMask(form, mask);
    form.move(100, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, kPatienceMs));
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // round trip: the server has the shape

    const QRegion want = maskRegion(mask, clMagenta);
    const QRegion got = serverShape(c, xcb_window_t(form.winId()), form.size());
    EXPECT_TRUE((got ^ want).isEmpty()) << "server shape differs from the mask";
    EXPECT_FALSE(got.contains(QPoint(20, 13))) << "the hole is cut out";
    EXPECT_FALSE(got.contains(QPoint(30, 15))) << "the one-pixel notch is cut out";

    // All of it invisible: the server shape holds no pixel of the window.
    QImage blank(40, 30, QImage::Format_RGB32);
    blank.fill(qRgb(255, 0, 255));
    form.skin().assign(blank);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    EXPECT_TRUE(serverShape(c, xcb_window_t(form.winId()), form.size()).isEmpty());
}

// A backdrop the server paints by itself (a tiled background pixmap), so
// what lies behind the glass window shows at once when it moves away, and
// any misplaced background pixel shows.
QRgb backdropColour(int x, int y)
{
    static const QRgb colours[4] = {qRgb(200, 40, 40), qRgb(40, 200, 40), qRgb(40, 40, 200), qRgb(230, 230, 60)};
    return colours[((x % 16) / 8) + 2 * ((y % 16) / 8)];
}

const QRect kBackdrop(180, 130, 120, 100);

xcb_window_t showBackdrop(xcb_connection_t *c)
{
    xcb_screen_t *screen = firstScreen(c);
    const xcb_pixmap_t pm = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, pm, screen->root, 16, 16);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pm, 0, nullptr);
    std::vector<uint32_t> pixels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[size_t(y * 16 + x)] = backdropColour(x, y) & 0xFFFFFF;
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pm, gc, 16, 16, 0, 0, 0, screen->root_depth,
                  uint32_t(pixels.size() * 4), reinterpret_cast<const uint8_t *>(pixels.data()));
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t values[] = {pm, 1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, int16_t(kBackdrop.x()), int16_t(kBackdrop.y()),
                      uint16_t(kBackdrop.width()), uint16_t(kBackdrop.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(c, w);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, pm);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return w;
}

TEST_F(XvfbTest, FallbackGlassShowsTheTintedSkinOverTheScreen)
{
    const xcb_window_t backdrop = showBackdrop(c);
    TOrganicShapeGlassForm form(TOrganicShapeGlassForm::GlassMode::Fallback);
    const QImage mask = shapedMask();
    writeMask(form, mask);
    form.setHue(120);
    form.setTransparency(50);
    const QPoint at(203, 151);
    form.move(at);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, kPatienceMs));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    // Activation took the screenshot behind the window.
    ASSERT_TRUE(eventually([&] { return !form.backgroundBitmap().isEmpty(); }));
    ASSERT_TRUE(eventually([&] { return QPoint(form.glassLeft(), form.glassTop()) == at; }));

    // What the screen must show: the backdrop where the mask cuts the
    // window out, the tinted skin blended half and half with it elsewhere.
    QImage want(mask.size(), QImage::Format_RGB32);
    int inside = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            const QRgb bg = backdropColour(p.x() - kBackdrop.x(), p.y() - kBackdrop.y());
            const QRgb own = mask.pixel(x, y);
            QRgb pixel = bg; // cut out: the backdrop itself
            if ((own & 0xFFFFFF) != 0xFF00FF) {
                quint8 r = quint8(qRed(own)), g = quint8(qGreen(own)), b = quint8(qBlue(own));
                shiftHue(r, g, b, 120);
                pixel = qRgb((qRed(bg) + r) / 2, (qGreen(bg) + g) / 2, (qBlue(bg) + b) / 2);
                ++inside;
            }
            want.setPixel(x, y, pixel | 0xFF000000u);
        }
    auto shown = [&] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, at.x(), at.y(), mask.width(), mask.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    // The blended picture is painted after the screenshot; a wrong one never
    // turns right, and the comparison below then names the first wrong pixel.
    eventually([&] { return shown() == want; });

    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    screen.copy(kBackdrop).save(QString::fromLocal8Bit(qgetenv("ZC_BINARY_DIR")) + "/rendering-xvfb-glass.png");
    xcb_destroy_window(c, backdrop);
    xcb_flush(c);

    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            ASSERT_EQ(screen.pixel(at + QPoint(x, y)) & 0xFFFFFF, want.pixel(x, y) & 0xFFFFFF) << "at " << x << "," << y;
    EXPECT_GT(inside, 500);
}

// A private X server for checks that change server-wide state (a window
// manager's or a compositor's marks), so no other test on the shared
// display sees them.
class PrivateXServer
{
public:
    PrivateXServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        const std::string fd = std::to_string(fds[1]);
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "64x64x24",
                   static_cast<char *>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string display;
        char ch;
        pollfd pfd{fds[0], POLLIN, 0};
        while (poll(&pfd, 1, 20000) > 0 && read(fds[0], &ch, 1) == 1 && ch != '\n')
            display += ch;
        close(fds[0]);
        if (display.empty())
            return;
        m_c = xcb_connect((":" + display).c_str(), nullptr);
        if (xcb_connection_has_error(m_c)) {
            xcb_disconnect(m_c);
            m_c = nullptr;
        }
    }
    ~PrivateXServer()
    {
        if (m_c)
            xcb_disconnect(m_c);
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    xcb_connection_t *connection() const { return m_c; }

private:
    pid_t m_pid = -1;
    xcb_connection_t *m_c = nullptr;
};

xcb_window_t hiddenWindow(xcb_connection_t *c)
{
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, firstScreen(c)->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    return w;
}

TEST(PrivateXvfb, WindowManagerMustBeAliveForASystemMove)
{
    PrivateXServer server;
    xcb_connection_t *c = server.connection();
    ASSERT_TRUE(c) << "cannot start Xvfb";
    const xcb_window_t root = firstScreen(c)->root;
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    EXPECT_FALSE(WindowSystem::windowManagerAlive(c, 0)) << "bare server";

    const xcb_window_t wm = hiddenWindow(c);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, check, XCB_ATOM_WINDOW, 32, 1, &wm);
    EXPECT_FALSE(WindowSystem::windowManagerAlive(c, 0)) << "its window does not name itself";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, wm, check, XCB_ATOM_WINDOW, 32, 1, &wm);
    EXPECT_TRUE(WindowSystem::windowManagerAlive(c, 0)) << "live manager";

    xcb_destroy_window(c, wm); // the manager dies, the root keeps its property
    EXPECT_FALSE(WindowSystem::windowManagerAlive(c, 0)) << "dead manager";
}

TEST(PrivateXvfb, CompositorIsTheOwnerOfTheScreensSelection)
{
    PrivateXServer server;
    xcb_connection_t *c = server.connection();
    ASSERT_TRUE(c) << "cannot start Xvfb";
    EXPECT_FALSE(WindowSystem::compositorRunning(c, 0));
    const xcb_window_t owner = hiddenWindow(c);
    xcb_set_selection_owner(c, owner, atom(c, "_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    EXPECT_TRUE(WindowSystem::compositorRunning(c, 0));
    xcb_destroy_window(c, owner); // gives the selection up
    EXPECT_FALSE(WindowSystem::compositorRunning(c, 0));
}

} // namespace
