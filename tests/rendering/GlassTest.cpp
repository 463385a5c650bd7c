#include "Eventually.h"
#include "GlassRenderer.h"
#include "GlassTables.h"
#include "HueShift.h"
#include "OrganicShapeGlassForm.h"
#include "TempFolder.h"
#include "WindowSystem.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(GlassTables, FullIntensityWithoutBlendIsTheIdentity)
{
    GlassTables t;
    t.calculate(0, 1, 1, 1);
    for (int j = 0; j < 256; ++j) {
        ASSERT_EQ(t.red(255, j), j);
        ASSERT_EQ(t.green(255, j), j);
        ASSERT_EQ(t.blue(255, j), j);
        ASSERT_EQ(t.red(0, j), j) << "without blend the background does not matter";
    }
}

TEST(GlassTables, HalfIntensityTruncates)
{
    GlassTables t;
    t.calculate(0, 0.5, 1, 0);
    EXPECT_EQ(t.red(255, 255), 127);
    EXPECT_EQ(t.red(255, 1), 0);
    EXPECT_EQ(t.red(255, 3), 1);
    EXPECT_EQ(t.green(255, 200), 200);
    EXPECT_EQ(t.blue(255, 200), 0);
}

TEST(GlassTables, HalfTranslucencyAveragesWithTheBackground)
{
    GlassTables t;
    t.calculate(0.5, 1, 1, 1);
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j) {
            ASSERT_EQ(t.red(i, j), (i + j) / 2) << i << "," << j;
            ASSERT_EQ(t.blue(i, j), (i + j) / 2) << i << "," << j;
        }
}

TEST(GlassTables, UnequalIntensitiesGiveTheirOwnTables)
{
    // Equal intensities share work; unequal ones must not.
    // Levels are doubles (0.3 is a hair below 0.3), the arithmetic 80-bit.
    const double a = 0.3, red = 0.2, green = 0.7;
    GlassTables t;
    t.calculate(a, red, green, red);
    for (int j : {0, 1, 100, 255}) {
        EXPECT_EQ(t.red(10, j), int(10 * (long double)a + (1 - (long double)a) * j * (long double)red));
        EXPECT_EQ(t.green(10, j), int(10 * (long double)a + (1 - (long double)a) * j * (long double)green));
        EXPECT_EQ(t.blue(10, j), t.red(10, j));
    }
}

TEST(GlassTables, LayeredAlpha)
{
    EXPECT_EQ(layeredAlpha(0.0), 255);
    EXPECT_EQ(layeredAlpha(0.25), 191);
    EXPECT_EQ(layeredAlpha(0.5), 128); // 127.5, halves to even
    EXPECT_EQ(layeredAlpha(1.0), 0);
}

struct HueCase
{
    int r, g, b, hue, wr, wg, wb;
};

TEST(ShiftHue, QuantisedRoundTrip)
{
    const HueCase cases[] = {
        {255, 0, 0, 120, 1, 255, 4},
        {255, 0, 0, 358, 255, 1, 1},
        {255, 0, 0, 359, 255, 5, 1}, // 359 is not above 359: no wrap
        {255, 0, 0, 360, 255, 5, 1}, // wraps to 1, not to 2
    };
    for (const HueCase &c : cases) {
        quint8 r = quint8(c.r), g = quint8(c.g), b = quint8(c.b);
        shiftHue(r, g, b, c.hue);
        EXPECT_EQ(r, c.wr) << "hue " << c.hue;
        EXPECT_EQ(g, c.wg) << "hue " << c.hue;
        EXPECT_EQ(b, c.wb) << "hue " << c.hue;
    }
}

TEST(ShiftHue, GreyIsUnchangedByAnyHue)
{
    for (int v : {0, 1, 127, 128, 200, 255})
        for (int hue = 1; hue <= 360; ++hue) {
            quint8 r = quint8(v), g = quint8(v), b = quint8(v);
            shiftHue(r, g, b, hue);
            ASSERT_EQ(r, v);
            ASSERT_EQ(g, v);
            ASSERT_EQ(b, v);
        }
}

QImage randomPicture(int w, int h, quint32 seed)
{
    QRandomGenerator rng(seed);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            // Runs of equal colour as skins have, and single odd pixels.
            img.setPixel(x, y, (x / 3 + y) % 4 ? qRgb(40 * (y % 6), 200, 30 * (x % 9)) : rng.generate() | 0xFF000000);
    return img;
}

TSpeedBitmap speed(const QImage &img)
{
    TSpeedBitmap b;
    b.assign(img);
    return b;
}

// The rendering pixel by pixel, straight from the tables and shiftHue.
quint32 expectedPixel(const GlassTables &t, quint32 own, quint32 bg, int hue)
{
    quint8 r = quint8(own >> 16), g = quint8(own >> 8), b = quint8(own);
    if (hue)
        shiftHue(r, g, b, hue);
    return quint32(t.red(int(bg >> 16) & 255, r)) << 16 | quint32(t.green(int(bg >> 8) & 255, g)) << 8
        | t.blue(int(bg) & 255, b);
}

TEST(GlassRenderer, TintAloneAndBlendMatchThePerPixelArithmetic)
{
    const TSpeedBitmap skin = speed(randomPicture(30, 20, 1));
    const TSpeedBitmap bg = speed(randomPicture(100, 80, 2));
    for (int hue : {0, 120, 359}) {
        GlassRenderer r;
        r.tables().calculate(0, 0.9, 0.5, 1);
        TSpeedBitmap glass;
        r.render(glass, skin, 1, hue, nullptr);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(glass.ReadPixel(x, y), expectedPixel(r.tables(), skin.ReadPixel(x, y), 0xFFFFFF, hue)) << hue;

        r.tables().calculate(0.37, 0.9, 0.5, 1);
        GlassRenderer::Blend blend{&bg, 40, 30, 0, 0};
        r.render(glass, skin, 1, hue, &blend);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(glass.ReadPixel(x, y), expectedPixel(r.tables(), skin.ReadPixel(x, y), bg.ReadPixel(x + 40, y + 30), hue))
                    << hue << " at " << x << "," << y;
    }
}

TEST(GlassRenderer, HalfTranslucencyIsTheMeanOfBackgroundAndSkin)
{
    QImage own(4, 1, QImage::Format_RGB32), back(4, 1, QImage::Format_RGB32);
    const QRgb ownPx[] = {qRgb(255, 0, 10), qRgb(1, 2, 3), qRgb(100, 101, 102), qRgb(255, 255, 255)};
    const QRgb backPx[] = {qRgb(0, 255, 11), qRgb(2, 2, 2), qRgb(51, 50, 49), qRgb(0, 0, 0)};
    for (int x = 0; x < 4; ++x) {
        own.setPixel(x, 0, ownPx[x]);
        back.setPixel(x, 0, backPx[x]);
    }
    const TSpeedBitmap skin = speed(own), bg = speed(back);
    GlassRenderer r;
    r.tables().calculate(0.5, 1, 1, 1);
    TSpeedBitmap glass;
    GlassRenderer::Blend blend{&bg, 0, 0, 0, 0};
    r.render(glass, skin, 1, 0, &blend);
    for (int x = 0; x < 4; ++x) {
        const QRgb got = glass.image().pixel(x, 0);
        EXPECT_EQ(qRed(got), (qRed(ownPx[x]) + qRed(backPx[x])) / 2);
        EXPECT_EQ(qGreen(got), (qGreen(ownPx[x]) + qGreen(backPx[x])) / 2);
        EXPECT_EQ(qBlue(got), (qBlue(ownPx[x]) + qBlue(backPx[x])) / 2);
    }
}

TEST(GlassRenderer, PixelsOffTheScreenshotKeepTheirLastRendering)
{
    const TSpeedBitmap skin = speed(randomPicture(10, 10, 3));
    QImage backImg(20, 20, QImage::Format_RGB32);
    backImg.fill(qRgb(0, 0, 0));
    const TSpeedBitmap bg = speed(backImg);
    GlassRenderer r;
    TSpeedBitmap glass;
    r.render(glass, skin, 1, 0, nullptr); // last rendering: the skin itself
    r.tables().calculate(0.5, 1, 1, 1);

    // Window at (15, -4): columns 0..4 and rows 4..9 lie on the screen.
    GlassRenderer::Blend blend{&bg, 15, -4, 0, 0};
    r.render(glass, skin, 1, 0, &blend);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const quint32 own = skin.ReadPixel(x, y);
            const bool onScreen = x <= 4 && y >= 4;
            const quint32 want = onScreen ? ((own >> 16 & 255) / 2) << 16 | ((own >> 8 & 255) / 2) << 8 | (own & 255) / 2 : own;
            ASSERT_EQ(glass.ReadPixel(x, y), want) << x << "," << y;
        }

    // Before the first screenshot nothing is written at all.
    TSpeedBitmap none;
    const TSpeedBitmap before = glass;
    GlassRenderer::Blend noBackground{&none, 0, 0, 0, 0};
    r.render(glass, skin, 1, 0, &noBackground);
    EXPECT_EQ(glass.image(), before.image());
}

TEST(GlassRenderer, HueTurnIsKeptPerSkinAndHue)
{
    const TSpeedBitmap skin = speed(randomPicture(30, 40, 4));
    const TSpeedBitmap bg = speed(randomPicture(300, 200, 5));
    GlassRenderer r;
    TSpeedBitmap glass;
    GlassRenderer::Blend blend{&bg, 10, 10, 0, 0};
    for (int level = 1; level <= 10; ++level) { // a fade: the tables change, the hue does not
        r.tables().calculate(level / 20.0, 1, 1, 1);
        r.render(glass, skin, 7, 200, &blend);
    }
    EXPECT_EQ(r.hueComputations(), 1);

    // The same result as computing everything afresh.
    GlassRenderer fresh;
    fresh.tables().calculate(10 / 20.0, 1, 1, 1);
    TSpeedBitmap freshGlass = glass;
    fresh.render(freshGlass, skin, 0, 200, &blend);
    EXPECT_EQ(glass.image(), freshGlass.image());

    r.render(glass, skin, 8, 200, &blend); // a new skin
    EXPECT_EQ(r.hueComputations(), 2);
    r.render(glass, skin, 8, 201, &blend); // a new hue
    EXPECT_EQ(r.hueComputations(), 3);

    // The tint alone is kept until skin, hue or tables change.
    r.tables().calculate(0, 0.5, 1, 1);
    r.render(glass, skin, 8, 201, nullptr);
    r.render(glass, skin, 8, 201, nullptr);
    EXPECT_EQ(r.tintComputations(), 1);
    r.tables().calculate(0, 0.6, 1, 1);
    r.render(glass, skin, 8, 201, nullptr);
    EXPECT_EQ(r.tintComputations(), 2);
    EXPECT_EQ(r.hueComputations(), 3);
}

// Glass windows with the mode forced either way.
class GlassFormTest : public ::testing::Test
{
protected:
    void loadSkin(TOrganicShapeGlassForm &form, const QImage &img)
    {
        form.setObjectName("fClock");
        ASSERT_TRUE(img.save(folder.file("mask_fClock.bmp"), "BMP"));
        form.SetInvisibleColor(clMagenta);
        form.loadSkin(folder.path());
    }
    TempFolder folder;
};

TEST_F(GlassFormTest, ModeComesFromTheProbe)
{
    WindowSystem::setCompositorProbe([] { return true; });
    TOrganicShapeGlassForm layered;
    WindowSystem::setCompositorProbe([] { return false; });
    TOrganicShapeGlassForm fallback;
    WindowSystem::setCompositorProbe(nullptr);
    TOrganicShapeGlassForm offscreen; // no compositor under the offscreen platform
    EXPECT_TRUE(layered.layeredAvailable());
    EXPECT_FALSE(fallback.layeredAvailable());
    EXPECT_FALSE(offscreen.layeredAvailable());
}

TEST_F(GlassFormTest, NewLayeredWindowIsAQuarterTranslucent)
{
    TOrganicShapeGlassForm form(TOrganicShapeGlassForm::GlassMode::Layered);
    EXPECT_EQ(form.getTransparency(), 25);
    EXPECT_EQ(form.layeredAlphaValue(), 191);
    EXPECT_NEAR(form.windowOpacity(), 191 / 255.0, 1e-6);
    form.setTransparency(50);
    EXPECT_EQ(form.layeredAlphaValue(), 128);
    form.setTransparency(0);
    EXPECT_EQ(form.layeredAlphaValue(), 255);
}

TEST_F(GlassFormTest, SettersKeepTheirRanges)
{
    for (auto mode : {TOrganicShapeGlassForm::GlassMode::Layered, TOrganicShapeGlassForm::GlassMode::Fallback}) {
        TOrganicShapeGlassForm form(mode);
        EXPECT_EQ(form.getTransparency(), 25);
        EXPECT_EQ(form.getRedIntensity(), 100);
        EXPECT_EQ(form.getHue(), 0);
        form.setTransparency(40);
        for (int bad : {101, -1})
            form.setTransparency(bad);
        EXPECT_EQ(form.getTransparency(), 40);

        form.setRedIntensity(30);
        form.setGreenIntensity(31);
        form.setBlueIntensity(32);
        for (int bad : {101, -1}) {
            form.setRedIntensity(bad);
            form.setGreenIntensity(bad);
            form.setBlueIntensity(bad);
        }
        EXPECT_EQ(form.getRedIntensity(), 30);
        EXPECT_EQ(form.getGreenIntensity(), 31);
        EXPECT_EQ(form.getBlueIntensity(), 32);

        form.setHue(361);
        form.setHue(-1);
        EXPECT_EQ(form.getHue(), 0);
        form.setHue(360);
        EXPECT_EQ(form.getHue(), 360);

        // The value in force changes nothing: no table is recomputed.
        const quint64 tables = form.tables().generation();
        form.setTransparency(40);
        form.setRedIntensity(30);
        form.setGreenIntensity(31);
        form.setBlueIntensity(32);
        EXPECT_EQ(form.tables().generation(), tables);
    }
}

TEST_F(GlassFormTest, TablesBlendOnlyInFallbackMode)
{
    TOrganicShapeGlassForm layered(TOrganicShapeGlassForm::GlassMode::Layered);
    TOrganicShapeGlassForm fallback(TOrganicShapeGlassForm::GlassMode::Fallback);
    for (TOrganicShapeGlassForm *f : {&layered, &fallback}) {
        f->setTransparency(50);
        f->setRedIntensity(50);
    }
    EXPECT_EQ(layered.tables().red(0, 255), 127);
    EXPECT_EQ(layered.tables().green(0, 200), 200);
    EXPECT_EQ(fallback.tables().red(0, 255), 63); // 0.5 * 255 * 0.5
    EXPECT_EQ(fallback.tables().green(100, 200), 150);
}

TEST_F(GlassFormTest, LayeredPaintShowsTheTintedSkin)
{
    TOrganicShapeGlassForm form(TOrganicShapeGlassForm::GlassMode::Layered);
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 0));
    img.setPixel(0, 0, qRgb(255, 0, 255));
    loadSkin(form, img);
    form.setHue(120);
    form.setGreenIntensity(50);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.repaint();
    EXPECT_EQ(form.glassBitmap().ReadPixel(3, 3), quint32(1 << 16 | 127 << 8 | 4)); // (1, 255, 4) with green halved
}

TEST_F(GlassFormTest, FallbackMoveFollowsOnlyNonZeroPositions)
{
    TOrganicShapeGlassForm form(TOrganicShapeGlassForm::GlassMode::Fallback);
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 200));
    loadSkin(form, img);
    form.setTransparency(50);
    form.move(30, 40);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(eventually([&] { return QPoint(form.glassLeft(), form.glassTop()) == QPoint(30, 40); }));
    form.move(0, 50);
    QApplication::processEvents();
    EXPECT_EQ(QPoint(form.glassLeft(), form.glassTop()), QPoint(30, 40));
    form.move(60, 0);
    QApplication::processEvents();
    EXPECT_EQ(QPoint(form.glassLeft(), form.glassTop()), QPoint(30, 40));
    form.move(70, 80);
    ASSERT_TRUE(eventually([&] { return QPoint(form.glassLeft(), form.glassTop()) == QPoint(70, 80); }));

    // At level 0 moves are not followed.
    form.setTransparency(0);
    form.move(90, 100);
    QApplication::processEvents();
    EXPECT_EQ(QPoint(form.glassLeft(), form.glassTop()), QPoint(70, 80));
}

TEST_F(GlassFormTest, LayeredModeIgnoresMoves)
{
    TOrganicShapeGlassForm form(TOrganicShapeGlassForm::GlassMode::Layered);
    form.move(30, 40);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QApplication::processEvents();
    EXPECT_EQ(QPoint(form.glassLeft(), form.glassTop()), QPoint(0, 0));
}

} // namespace

namespace {
// Counts the paints a widget receives.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

// Without a compositor and before any screenshot, a fade step between two
// levels above 0 changes no pixel: nothing is computed or drawn. From or to
// level 0, or with a screenshot to blend, the step is drawn.
TEST_F(GlassFormTest, FallbackFadeStepThatChangesNoPixelDrawsNothing)
{
    struct Case
    {
        const char *name;
        int from, to;
        bool screenshot;
        bool drawn;
    };
    const Case cases[] = {
        {"between two levels, no screenshot", 10, 20, false, false},
        {"from opaque, no screenshot", 0, 10, false, true},
        {"back to opaque, no screenshot", 20, 0, false, true},
        {"between two levels, with a screenshot", 10, 20, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TOrganicShapeGlassForm form(TOrganicShapeGlassForm::GlassMode::Fallback);
        QImage img(8, 6, QImage::Format_RGB32);
        img.fill(qRgb(0, 0, 200));
        loadSkin(form, img);
        form.setTransparency(c.from);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        // The screenshot the window took when it became active, or none.
        QImage screen;
        if (c.screenshot) {
            screen = QImage(400, 300, QImage::Format_RGB32);
            screen.fill(qRgb(250, 250, 250));
        }
        form.backgroundBitmap().assign(screen);
        form.repaint();
        const quint32 before = form.glassBitmap().ReadPixel(3, 3);
        const quint64 tables = form.renderer().tables().generation();
        PaintCounter counter;
        form.installEventFilter(&counter);
        form.setTransparency(c.to);
        if (c.drawn)
            EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 5000));
        else
            QCoreApplication::processEvents();
        form.removeEventFilter(&counter);
        EXPECT_EQ(counter.paints > 0, c.drawn);
        EXPECT_EQ(form.renderer().tables().generation() != tables, c.drawn) << "tables made";
        if (!c.drawn) {
            EXPECT_EQ(form.glassBitmap().ReadPixel(3, 3), before);
        }
        EXPECT_EQ(form.getTransparency(), c.to);
    }
}
