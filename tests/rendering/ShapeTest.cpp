#include "BmpFile.h"
#include "DragStart.h"
#include "Eventually.h"
#include "MappedFiles.h"
#include "MaskRegion.h"
#include "ShapeFormUnit.h"
#include "TempFolder.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QRgb kMagenta = qRgb(255, 0, 255);

// Rows of a mask: '.' invisible magenta, '#' black, 'n' the near miss $FE00FF.
QImage maskFromRows(const std::vector<std::string> &rows)
{
    const int h = int(rows.size()), w = h ? int(rows[0].size()) : 0;
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const char c = rows[y][x];
            img.setPixel(x, y, c == '.' ? kMagenta : c == 'n' ? qRgb(254, 0, 255) : qRgb(0, 0, 0));
        }
    return img;
}

// The region pixel by pixel, independent of the run scan: every outside
// pixel subtracted from the whole rectangle.
QRegion pixelRegion(const QImage &img, QRgb outside)
{
    QRegion r(img.rect());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (outside & 0xFFFFFF))
                r -= QRect(x, y, 1, 1);
    return r;
}

struct RegionCase
{
    const char *name;
    std::vector<std::string> rows;
    std::vector<QRect> inside; // the expected region as rectangles
};

const RegionCase kRegionCases[] = {
    {"all invisible: empty", {"....", "...."}, {}},
    {"no invisible pixel: full rectangle", {"####", "####", "####"}, {QRect(0, 0, 4, 3)}},
    {"run reaching the right edge", {"##..", "##.."}, {QRect(0, 0, 2, 2)}},
    {"run of one pixel", {"#.##", "####"}, {QRect(0, 0, 1, 1), QRect(2, 0, 2, 1), QRect(0, 1, 4, 1)}},
    {"run from the row start", {"..##", "...#"}, {QRect(2, 0, 2, 1), QRect(3, 1, 1, 1)}},
    {"near-miss colour stays inside", {"n..n", "nnnn"}, {QRect(0, 0, 1, 1), QRect(3, 0, 1, 1), QRect(0, 1, 4, 1)}},
    {"hole inside the picture", {"#####", "#.#.#", "#####"}, {QRect(0, 0, 5, 1), QRect(0, 1, 1, 1), QRect(2, 1, 1, 1), QRect(4, 1, 1, 1), QRect(0, 2, 5, 1)}},
    {"empty row between parts", {"##", "..", "##"}, {QRect(0, 0, 2, 1), QRect(0, 2, 2, 1)}},
};

TEST(MaskRegion, Cases)
{
    for (const RegionCase &c : kRegionCases) {
        const QImage img = maskFromRows(c.rows);
        QRegion want;
        for (const QRect &r : c.inside)
            want = want.united(r);
        const QRegion got = maskRegion(img, clMagenta);
        EXPECT_TRUE((got ^ want).isEmpty()) << c.name;
        EXPECT_EQ(got, want) << c.name << ": not in the banded form";
    }
}

TEST(MaskRegion, RaggedMasksMatchThePixels)
{
    // JPEG-like edges: a disc whose border pixels are randomly in or out,
    // with stray near-miss pixels outside.
    QRandomGenerator rng(7);
    for (const QSize size : {QSize(1, 1), QSize(1, 40), QSize(40, 1), QSize(37, 53), QSize(120, 90)}) {
        QImage img(size, QImage::Format_RGB32);
        const double cx = size.width() / 2.0, cy = size.height() / 2.0, r = std::min(cx, cy);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r + rng.bounded(3.0) - 1.5;
                img.setPixel(x, y, d < 0 ? qRgb(rng.bounded(256), 0, 0) : rng.bounded(20) ? kMagenta : qRgb(255, 1, 255));
            }
        const QRegion want = pixelRegion(img, kMagenta);
        const QRegion got = maskRegion(img, clMagenta);
        EXPECT_TRUE((got ^ want).isEmpty()) << size.width() << "x" << size.height();
        EXPECT_EQ(got, want) << size.width() << "x" << size.height();
    }
}

TEST(MaskRegion, EmptyBitmap)
{
    EXPECT_TRUE(maskRegion(QImage(), clMagenta).isEmpty());
}

TEST(Colors, HexText)
{
    EXPECT_EQ(colorToHex(clMagenta), "FF00FF");
    EXPECT_EQ(colorToHex(rgbColor(0x12, 0x34, 0xAB)), "1234AB");
    EXPECT_EQ(hexToColor("FF00FF"), clMagenta);
    EXPECT_EQ(hexToColor("1234ab"), rgbColor(0x12, 0x34, 0xAB));
    EXPECT_EQ(hexToColor(" 00FF00 "), rgbColor(0, 255, 0));
    EXPECT_EQ(colorToQRgb(rgbColor(1, 2, 3)), qRgb(1, 2, 3));
    for (const char *bad : {"", "FF00F", "FF00FF0", "GG0000", "FF 0FF", "$FF00F", "0xFF00"})
        EXPECT_THROW(hexToColor(bad), std::invalid_argument) << bad;
}

TEST(OrganicSkin, RegionFollowsThePixels)
{
    TOrganicSkin skin;
    int notices = 0;
    skin.OnChange = [&] { ++notices; };
    skin.setInvisibleColor(clMagenta);
    EXPECT_EQ(skin.regionCalculations(), 0) << "setting the colour only stores it";

    skin.assign(maskFromRows({"#..", "###"}));
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(skin.regionCalculations(), 1);
    const QRegion first = skin.getRegion();
    EXPECT_EQ(first, QRegion(0, 0, 1, 1) + QRegion(0, 1, 3, 1));
    EXPECT_EQ(skin.getRegion(), first) << "the skin keeps its master copy";

    // An empty skin leaves the master region as it was.
    skin.clear();
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(skin.getRegion(), first);
}

class ShapeFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.setObjectName("fClock");
        form.setProgramFolder(program.path());
    }

    void writeMask(const QString &folder, const QImage &img, const char *format = "BMP")
    {
        QDir().mkpath(folder);
        ASSERT_TRUE(img.save(folder + "/mask_fClock." + QString(format).toLower().replace("jpeg", "jpg"), format));
    }

    TempFolder program;
    TOrganicShapeForm form;
};

TEST_F(ShapeFormTest, NewFormIsFramelessWithoutShape)
{
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.InvisibleColor(), clWhite);
    EXPECT_TRUE(form.mask().isEmpty());
}

TEST_F(ShapeFormTest, RelativeFolderLiesBelowTheProgramFolder)
{
    writeMask(program.path() + "skin", maskFromRows({"##..", "#..."}));
    program.write("skin/coord.ini", "[fClock]\nLeft=40\nTop=30\nInvisibleColor=FF00FF\n");
    form.loadSkin("skin");
    EXPECT_EQ(form.pos(), QPoint(40, 30));
    EXPECT_EQ(form.InvisibleColor(), clMagenta);
    EXPECT_EQ(form.skin().InvisibleColor(), clMagenta);
    EXPECT_EQ(form.size(), QSize(4, 2));
    EXPECT_EQ(form.mask(), QRegion(0, 0, 2, 1) + QRegion(0, 1, 1, 1));
    EXPECT_EQ(form.skin().regionCalculations(), 1) << "one region per loaded mask";
}

TEST_F(ShapeFormTest, AbsoluteFolderIsUsedUnchanged)
{
    TempFolder elsewhere;
    writeMask(elsewhere.path(), maskFromRows({"#.#"}));
    elsewhere.write("coord.ini", "[FCLOCK]\nINVISIBLECOLOR = ff00ff\n"); // names match without regard to case
    form.loadSkin(elsewhere.path());
    EXPECT_EQ(form.mask(), QRegion(0, 0, 1, 1) + QRegion(2, 0, 1, 1));
    EXPECT_EQ(form.resolveFolder(elsewhere.path()), elsewhere.path());
    EXPECT_EQ(form.resolveFolder("skins/x"), program.path() + "skins/x/");
}

TEST_F(ShapeFormTest, WithoutCoordIniOnlyTheMaskLoads)
{
    form.SetInvisibleColor(clMagenta);
    form.move(12, 34);
    writeMask(program.path(), maskFromRows({"#..", "###"}));
    form.loadSkin("");
    EXPECT_EQ(form.pos(), QPoint(12, 34));
    EXPECT_EQ(form.InvisibleColor(), clMagenta);
    EXPECT_EQ(form.size(), QSize(3, 2));
    EXPECT_EQ(form.mask(), QRegion(0, 0, 1, 1) + QRegion(0, 1, 3, 1));
}

// The outline is written and read back as BMP without Qt's image plugins:
// asking them would load, and keep mapped all day, every one installed.
TEST_F(ShapeFormTest, MaskBitmapRoundTripsWithoutImagePlugins)
{
    // Run alone (as ctest runs it) the process has read no picture before.
    const bool mappedBefore = isMapped("/imageformats/");
    // Widths 1..5 give every row padding; formats as pictures decode.
    const struct
    {
        int width, height;
        QImage::Format format;
    } cases[] = {
        {1, 1, QImage::Format_RGB32}, {2, 3, QImage::Format_RGB32},  {3, 2, QImage::Format_ARGB32},
        {4, 1, QImage::Format_RGB32}, {5, 4, QImage::Format_Indexed8}, {7, 2, QImage::Format_Grayscale8},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString("%1 x %2, format %3").arg(c.width).arg(c.height).arg(c.format).toStdString());
        QImage picture(c.width, c.height, QImage::Format_RGB32);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                picture.setPixel(x, y, (x + y) % 3 ? qRgb(255, 0, 255) : qRgb(x * 40, y * 60, 200 - x));
        picture = picture.convertToFormat(c.format);
        program.write("mask_fClock.bmp", bmpFile(picture));
        form.loadSkin("");
        ASSERT_EQ(form.size(), picture.size());
        QImageReader reader(program.path() + "mask_fClock.bmp", "BMP");
        reader.setAutoDetectImageFormat(false);
        const QImage back = reader.read();
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_TRUE(mappedBefore || !isMapped("/imageformats/"));
}

// A mask just written is given as its picture rather than read back: the
// window must come out as from the file, whatever the picture's format and
// alpha (the file keeps the stored colours and drops the alpha).
TEST_F(ShapeFormTest, AMaskGivenAsItsPictureShapesAsItsFileDoes)
{
    program.write("coord.ini", "[fClock]\nLeft=40\nTop=30\nInvisibleColor=FF00FF\n");
    QImage picture(6, 4, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, (x + y) % 3 ? qRgba(255, 0, 255, x * 40) : qRgba(x * 40, y * 60, 200, 255 - y * 80));
    const QImage::Format formats[] = {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_RGB32, QImage::Format_Indexed8, QImage::Format_RGB888};
    for (QImage::Format format : formats) {
        SCOPED_TRACE(format);
        const QImage mask = picture.convertToFormat(format);
        program.write("mask_fClock.bmp", bmpFile(mask));
        TOrganicShapeForm fromFile, given;
        for (TOrganicShapeForm *f : {&fromFile, &given}) {
            f->setObjectName("fClock");
            f->setProgramFolder(program.path());
        }
        fromFile.loadSkin("");
        given.loadSkin("", mask);
        EXPECT_EQ(given.skin().image(), fromFile.skin().image());
        EXPECT_EQ(given.mask(), fromFile.mask());
        EXPECT_EQ(given.geometry(), fromFile.geometry());
        EXPECT_EQ(given.InvisibleColor(), fromFile.InvisibleColor());
        EXPECT_EQ(given.geometry(), QRect(40, 30, 6, 4));
    }
}

TEST_F(ShapeFormTest, WithoutMaskFileNothingChanges)
{
    writeMask(program.path(), maskFromRows({"#..", "###"}));
    form.SetInvisibleColor(clMagenta);
    form.loadSkin("");
    const QRegion before = form.mask();
    const int calculations = form.skin().regionCalculations();

    TempFolder empty;
    form.loadSkin(empty.path());
    EXPECT_EQ(form.size(), QSize(3, 2));
    EXPECT_EQ(form.mask(), before);
    EXPECT_EQ(form.skin().regionCalculations(), calculations);
}

TEST_F(ShapeFormTest, BitmapIsPreferredToJpeg)
{
    writeMask(program.path(), maskFromRows({"##"}));
    QImage big(10, 10, QImage::Format_RGB32);
    big.fill(Qt::black);
    writeMask(program.path(), big, "JPEG");
    form.loadSkin("");
    EXPECT_EQ(form.size(), QSize(2, 1));
}

TEST_F(ShapeFormTest, JpegMaskKeepsItsStrayEdgePixels)
{
    // A magenta field with a black disc: lossy coding leaves near-magenta
    // pixels around the disc, which are inside by the exact-colour rule.
    QImage img(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            img.setPixel(x, y, std::hypot(x - 32, y - 24) < 15 ? qRgb(0, 0, 0) : kMagenta);
    ASSERT_TRUE(img.save(program.file("mask_fClock.jpg"), "JPEG", 90));
    form.SetInvisibleColor(clMagenta);
    form.loadSkin(program.path());

    ASSERT_EQ(form.size(), QSize(64, 48));
    const QImage decoded = QImage(program.file("mask_fClock.jpg"));
    EXPECT_EQ(form.skin().image().convertToFormat(QImage::Format_RGB32), decoded.convertToFormat(QImage::Format_RGB32))
        << "libjpeg's decoding as Qt's own reader gives it";
    EXPECT_EQ(form.mask(), pixelRegion(decoded, kMagenta));
    EXPECT_TRUE(form.mask().contains(QPoint(32, 24)));
    // Only exact magenta is cut: the coding's near-magenta pixels stay.
    const QRegion disc = pixelRegion(img, kMagenta);
    EXPECT_FALSE((form.mask() - disc).isEmpty()) << "no stray pixels kept";
}

TEST_F(ShapeFormTest, GreyJpegMaskLoads)
{
    QImage grey(9, 7, QImage::Format_Grayscale8);
    grey.fill(128);
    ASSERT_TRUE(grey.save(program.file("mask_fClock.jpg"), "JPEG", 100));
    form.loadSkin(program.path());
    ASSERT_EQ(form.size(), QSize(9, 7));
    const quint32 px = form.skin().ReadPixel(4, 3);
    EXPECT_EQ(px & 0xFF, (px >> 8) & 0xFF);
    EXPECT_EQ(px & 0xFF, (px >> 16) & 0xFF);
    EXPECT_NEAR(int(px & 0xFF), 128, 2);
}

TEST_F(ShapeFormTest, UnreadableMasksAreReported)
{
    program.write("mask_fClock.jpg", "not a jpeg at all");
    try {
        form.loadSkin(program.path());
        FAIL() << "no error";
    } catch (const OrganicShapeException &e) {
        EXPECT_NE(std::string(e.what()).find("mask_fClock.jpg"), std::string::npos) << e.what();
    }
    program.write("mask_fClock.bmp", "BMnonsense");
    EXPECT_THROW(form.loadSkin(program.path()), OrganicShapeException);
}

// A JPEG whose data ends early is refused rather than made up: a few bytes
// declaring a huge picture would otherwise keep the decoder busy for minutes.
TEST_F(ShapeFormTest, CutOffJpegMaskIsRefused)
{
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QByteArray whole;
    {
        QBuffer b(&whole);
        b.open(QIODevice::WriteOnly);
        ASSERT_TRUE(img.save(&b, "JPEG", 90));
    }
    // The frame header's height, made 60000, and nothing after the header.
    QByteArray huge = whole.left(whole.indexOf("\xff\xda") + 20);
    const int sof = huge.indexOf("\xff\xc0");
    ASSERT_GT(sof, 0);
    huge[sof + 5] = char(0xEA);
    huge[sof + 6] = char(0x60);
    for (const QByteArray &bytes : {whole.left(whole.size() / 2), huge}) {
        program.write("mask_fClock.jpg", bytes);
        try {
            form.loadSkin(program.path());
            ADD_FAILURE() << "no error";
        } catch (const OrganicShapeException &e) {
            EXPECT_NE(std::string(e.what()).find("mask_fClock.jpg"), std::string::npos) << e.what();
        }
    }
}

TEST_F(ShapeFormTest, BadColourInCoordIniNamesFileAndKey)
{
    writeMask(program.path(), maskFromRows({"##"}));
    program.write("coord.ini", "[fClock]\nInvisibleColor=FFXX00\n");
    try {
        form.loadSkin(program.path());
        FAIL() << "no error";
    } catch (const OrganicShapeException &e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("InvisibleColor"), std::string::npos) << m;
        EXPECT_NE(m.find((program.path() + "coord.ini").toStdString()), std::string::npos) << m;
        EXPECT_NE(m.find("FFXX00"), std::string::npos) << m;
    }
}

TEST_F(ShapeFormTest, OtherSectionsAndBadIntegersAreIgnored)
{
    form.move(5, 6);
    writeMask(program.path(), maskFromRows({"##"}));
    program.write("coord.ini", "[fOther]\nLeft=99\n[fClock]\nLeft=abc\nTop=$10\n");
    form.loadSkin(program.path());
    EXPECT_EQ(form.pos(), QPoint(5, 16));
}

TEST_F(ShapeFormTest, SameInvisibleColourDoesNotRecompute)
{
    writeMask(program.path(), maskFromRows({"#.", "##"}));
    form.loadSkin(program.path()); // invisible white: everything inside
    EXPECT_EQ(form.mask(), QRegion(0, 0, 2, 2));
    const int calculations = form.skin().regionCalculations();

    form.SetInvisibleColor(clMagenta);
    EXPECT_EQ(form.skin().regionCalculations(), calculations + 1);
    EXPECT_EQ(form.mask(), QRegion(0, 0, 1, 1) + QRegion(0, 1, 2, 1));
    form.SetInvisibleColor(clMagenta);
    EXPECT_EQ(form.skin().regionCalculations(), calculations + 1);
}

TEST_F(ShapeFormTest, AllInvisibleMaskShowsNothing)
{
    form.SetInvisibleColor(clMagenta);
    writeMask(program.path(), maskFromRows({"...", "..."}));
    form.loadSkin(program.path());
    EXPECT_FALSE(form.mask().isEmpty()) << "an empty mask would mean no shape at all";
    EXPECT_TRUE(form.mask().intersected(form.rect()).isEmpty());
}

TEST_F(ShapeFormTest, EmptySkinRemovesTheShape)
{
    form.SetInvisibleColor(clMagenta);
    writeMask(program.path(), maskFromRows({"#.."}));
    form.loadSkin(program.path());
    ASSERT_FALSE(form.mask().isEmpty());
    form.skin().clear();
    EXPECT_TRUE(form.mask().isEmpty());
}

TEST_F(ShapeFormTest, RecreatedWindowKeepsItsOutline)
{
    form.SetInvisibleColor(clMagenta);
    writeMask(program.path(), maskFromRows({"#..", "##."}));
    form.loadSkin(program.path());
    form.show();
    QApplication::processEvents();
    const QRegion before = form.mask();
    const int calculations = form.skin().regionCalculations();
    form.setWindowFlags(form.windowFlags() | Qt::WindowStaysOnTopHint);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.mask(), before);
    EXPECT_EQ(form.skin().regionCalculations(), calculations);
}

TEST_F(ShapeFormTest, LeftPressDragsTheWindow)
{
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::black);
    writeMask(program.path(), img);
    form.loadSkin(program.path());
    form.move(100, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int downs = 0;
    QObject::connect(&form, &TOrganicShapeForm::mouseDown, [&] { ++downs; });

    // No window manager here: the window follows the mouse.
    QTest::mousePress(&form, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&form, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(downs, 1);
    EXPECT_FALSE(form.followingMouse()) << "other buttons do not drag";

    // A quick click is no drag: nothing moves, nothing is left running.
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(downs, 2);
    EXPECT_FALSE(form.followingMouse()) << "a press alone starts no drag";
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(form.followingMouse());
    EXPECT_EQ(form.pos(), QPoint(100, 100));

    // A jitter below the drag distance moves nothing either.
    const int distance = QGuiApplication::styleHints()->startDragDistance();
    ASSERT_GE(distance, 2);
    QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&form, QPoint(10 + distance - 1, 10));
    QApplication::processEvents();
    EXPECT_FALSE(form.followingMouse());
    EXPECT_EQ(form.pos(), QPoint(100, 100));

    // Past it the window follows, keeping the press point under the pointer.
    QTest::mouseMove(&form, QPoint(40, 25));
    EXPECT_TRUE(form.followingMouse());
    ASSERT_TRUE(eventually([&] { return form.pos() == QPoint(130, 115); }));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(form.followingMouse());
}

TEST(DragStart, StartsOncePastTheDragDistance)
{
    struct Case
    {
        QPoint press, current;
        int distance;
        bool start;
    };
    const Case cases[] = {
        {{100, 100}, {100, 100}, 10, false}, // a click
        {{100, 100}, {109, 100}, 10, false},
        {{100, 100}, {110, 100}, 10, true},
        {{100, 100}, {95, 95}, 10, true},   // both axes count
        {{100, 100}, {96, 105}, 10, false}, // 4 + 5
        {{100, 100}, {100, 100}, 0, false}, // no distance: still a move is needed
        {{100, 100}, {100, 101}, 0, true},
        {{100, 100}, {100, 99}, -5, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DragStart::shouldStart(c.press, c.current, c.distance), c.start)
            << c.press.x() << "," << c.press.y() << " -> " << c.current.x() << "," << c.current.y() << " at "
            << c.distance;
}

} // namespace
