#include "Extended.h"
#include "RotImg.h"

#include <QApplication>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A picture whose every pixel is distinct, so any misplaced pixel shows.
QImage numbered(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(10 + 7 * x, 20 + 11 * y, (x * 31 + y * 17) % 256));
    return img;
}

constexpr TColor kFill = rgbColor(1, 2, 3);

// The expected turned picture, pixel by pixel from a source-coordinate map.
template <typename Map>
QImage expected(const QImage &src, int w, int h, Map map)
{
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QPoint s = map(x, y);
            out.setPixel(x, y, src.rect().contains(s) ? src.pixel(s) : colorToQRgb(kFill));
        }
    return out;
}

TEST(RotateBitmap, WholeTurnsReproduceTheSource)
{
    for (const QSize size : {QSize(4, 6), QSize(5, 3), QSize(1, 1), QSize(60, 300)}) {
        const QImage src = numbered(size.width(), size.height());
        for (double angle : {0.0, 360.0, 720.0, -360.0, -720.0})
            EXPECT_EQ(rotateBitmap(src, kFill, angle), src) << size.width() << "x" << size.height() << " at " << angle;
    }
}

TEST(RotateBitmap, MinusNinetyEqualsTwoSeventy)
{
    const QImage src = numbered(7, 12);
    EXPECT_EQ(rotateBitmap(src, kFill, -90), rotateBitmap(src, kFill, 270));
    EXPECT_EQ(rotateBitmap(src, kFill, -450), rotateBitmap(src, kFill, 270));
}

// At the quarter angles the zero of the sine or cosine comes out with a fixed
// sign (90: cosine negative, 180: sine negative, 270: cosine not negative),
// which moves the source centre by one pixel. Odd sizes show it: one source
// column or row is lost to the fill.
struct QuarterCase
{
    const char *name;
    int w, h;
    double angle;
    int outW, outH;
    QPoint (*map)(int x, int y, int w, int h);
};

const QuarterCase kQuarterCases[] = {
    {"180 even: exact mirror", 4, 6, 180, 4, 6, [](int x, int y, int w, int h) { return QPoint(w - 1 - x, h - 1 - y); }},
    {"180 odd: mirror shifted by one", 5, 3, 180, 5, 3, [](int x, int y, int w, int h) { return QPoint(w - 2 - x, h - 2 - y); }},
    {"180 odd width only", 5, 4, 180, 5, 4, [](int x, int y, int w, int h) { return QPoint(w - 2 - x, h - 1 - y); }},
    {"90 even", 4, 6, 90, 6, 4, [](int x, int y, int, int) { return QPoint(3 - y, x); }},
    {"90 odd width loses a column", 3, 5, 90, 5, 3, [](int x, int y, int, int) { return QPoint(1 - y, x); }},
    {"270 odd height loses a row", 3, 5, 270, 5, 3, [](int x, int y, int, int) { return QPoint(y, 3 - x); }},
    {"270 even", 4, 6, 270, 6, 4, [](int x, int y, int, int) { return QPoint(y, 5 - x); }},
};

TEST(RotateBitmap, QuarterAngles)
{
    for (const QuarterCase &c : kQuarterCases) {
        const QImage src = numbered(c.w, c.h);
        const QImage turned = rotateBitmap(src, kFill, c.angle);
        ASSERT_EQ(turned.size(), QSize(c.outW, c.outH)) << c.name;
        const QImage want = expected(src, c.outW, c.outH, [&](int x, int y) { return c.map(x, y, c.w, c.h); });
        EXPECT_EQ(turned, want) << c.name;
    }
}

TEST(RotateBitmap, NinetyTurnsCounterClockwiseAndSwapsTheSides)
{
    const QImage src = numbered(60, 300);
    const QImage turned = rotateBitmap(src, kFill, 90);
    EXPECT_EQ(turned.size(), QSize(300, 60));
    // The pixel right of the centre shows the one below the source centre.
    EXPECT_EQ(turned.pixel(150 + 10, 30), src.pixel(29, 150 + 10));
}

TEST(RotateBitmap, OddAnglesGiveTheBoundingBox)
{
    const QImage src = numbered(20, 100);
    const QImage turned = rotateBitmap(src, kFill, 45);
    // |20 cos 45 + 100 sin 45| = 84.85
    EXPECT_EQ(turned.size(), QSize(85, 85));
    EXPECT_EQ(turned.pixel(0, 0), colorToQRgb(kFill));
    EXPECT_EQ(turned.pixel(42, 42), src.pixel(10, 50));
}

TEST(RotateBitmap, EmptySourceGivesEmptyResult)
{
    EXPECT_EQ(rotateBitmap(QImage(), kFill, 30).size(), QSize(0, 0));
}

TEST(RotateBitmap, HugeAndNonFiniteAnglesDoNotHang)
{
    const QImage src = numbered(5, 5);
    EXPECT_EQ(rotateBitmap(src, kFill, 360.0 * 1e12), src);
    EXPECT_EQ(rotateBitmap(src, kFill, std::numeric_limits<double>::quiet_NaN()), src);
}

class RotateImageTest : public ::testing::Test
{
protected:
    TRotateImage img;
};

TEST_F(RotateImageTest, NewControl)
{
    EXPECT_EQ(img.size(), QSize(105, 105));
    EXPECT_TRUE(img.UniqueSize());
    EXPECT_TRUE(img.displayBitmap().isNull() || img.displayBitmap().size().isEmpty());
}

TEST_F(RotateImageTest, UniqueSquareIsTheSameAtEveryAngle)
{
    img.setPicture(numbered(20, 100));
    for (double angle : {0.0, 17.0, 45.0, 90.0, 133.3, 180.0, 270.0, 359.9}) {
        img.setAngle(angle);
        EXPECT_EQ(img.displayBitmap().size(), QSize(104, 104)) << angle;
        // The bottom row is always the fill colour.
        for (int x = 0; x < 104; ++x)
            ASSERT_EQ(img.displayBitmap().pixel(x, 103), colorToQRgb(img.Color())) << angle;
    }
}

TEST_F(RotateImageTest, AngleZeroShowsThePictureInsideTheSquare)
{
    const QImage src = numbered(20, 100);
    img.setPicture(src);
    for (long double angle : {0.0L, 360.0L, 720.0L, -360.0L}) {
        img.setAngle(angle);
        EXPECT_EQ(img.displayBitmap().copy(0, 0, 20, 100), src) << double(angle);
    }
    img.setCenter(true);
    EXPECT_EQ(img.displayBitmap().copy(42, 2, 20, 100), src); // ((104 - 20) div 2, (104 - 100) div 2)
}

TEST_F(RotateImageTest, WithoutUniqueSizeTheTurnedBitmapIsShown)
{
    img.setPicture(numbered(20, 100));
    img.setUniqueSize(false);
    img.setAngle(90);
    EXPECT_EQ(img.displayBitmap().size(), QSize(100, 20));
    EXPECT_FALSE(img.displayTransparent());
}

TEST_F(RotateImageTest, EmptyPictureGivesEmptyDisplayAndPaintsNothing)
{
    img.setPicture(numbered(5, 5));
    img.setPicture(QImage());
    EXPECT_EQ(img.displayBitmap().size(), QSize(0, 0));
    QImage canvas(105, 105, QImage::Format_RGB32);
    canvas.fill(Qt::green);
    img.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(canvas.pixel(50, 50), QColor(Qt::green).rgb());
}

TEST_F(RotateImageTest, TransparentLeavesOutTheColourPixels)
{
    const TColor color = rgbColor(255, 255, 255);
    img.setColor(color);
    // Bottom-left is the key (blue); one pixel happens to equal the fill colour.
    QImage src(4, 4, QImage::Format_RGB32);
    src.fill(qRgb(200, 0, 0));
    src.setPixel(0, 3, qRgb(0, 0, 255));
    src.setPixel(3, 0, qRgb(0, 0, 255));
    src.setPixel(1, 1, colorToQRgb(color));
    img.setPicture(src);
    img.setTransparent(true);

    const QImage &d = img.displayBitmap();
    EXPECT_EQ(d.pixel(0, 3), colorToQRgb(color)) << "key pixels become Color before turning";
    EXPECT_EQ(d.pixel(3, 0), colorToQRgb(color));
    EXPECT_EQ(d.pixel(2, 2), qRgb(200, 0, 0));
    EXPECT_TRUE(img.displayTransparent());

    QImage canvas(105, 105, QImage::Format_RGB32);
    canvas.fill(Qt::green);
    img.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRgb green = QColor(Qt::green).rgb();
    EXPECT_EQ(canvas.pixel(0, 3), green);
    EXPECT_EQ(canvas.pixel(3, 0), green);
    EXPECT_EQ(canvas.pixel(1, 1), green) << "a pixel of the fill colour disappears too";
    EXPECT_EQ(canvas.pixel(2, 2), qRgb(200, 0, 0));
    EXPECT_EQ(canvas.pixel(6, 6), green) << "the square's ring is left out"; // square side 8

    img.setTransparent(false);
    canvas.fill(Qt::green);
    img.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(canvas.pixel(0, 3), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(6, 6), colorToQRgb(color));
}

// A transparent hand is turned straight into the picture it is drawn from,
// which is reused from turn to turn: at every angle, placed or centred, it
// paints the turned picture without its fill and nothing of the turns
// before, from a long footprint to a short one and back.
TEST_F(RotateImageTest, TransparentTurnsLeaveNothingOfTheLastOne)
{
    QImage hand = numbered(9, 61);
    for (int y = 0; y < hand.height(); ++y)
        for (int x = 0; x < hand.width(); ++x)
            if ((x + y) % 5 == 0 || x == 0)
                hand.setPixel(x, y, colorToQRgb(kFill)); // fill inside the hand, and the key at bottom left
    img.setColor(kFill);
    img.setPicture(hand);
    img.setTransparent(true);
    const int S = uniqueSquareSide(hand.width(), hand.height());
    img.resize(S, S);
    const QRgb green = QColor(Qt::green).rgb();
    for (bool center : {false, true}) {
        img.setCenter(center);
        for (double angle : {0.0, 45.0, 6.0, 90.0, 137.0, 180.0, 270.0, 301.0, 359.0, 12.0}) {
            SCOPED_TRACE((center ? "centred at " : "placed at ") + std::to_string(angle));
            img.setAngle(angle);
            const QImage turned = rotateBitmap(hand, kFill, angle);
            const QPoint at = center ? QPoint((S - turned.width()) / 2, (S - turned.height()) / 2) : QPoint(0, 0);
            QImage canvas(S, S, QImage::Format_RGB32);
            canvas.fill(green);
            img.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
            int wrong = 0;
            for (int y = 0; y < S; ++y)
                for (int x = 0; x < S; ++x) {
                    const QPoint p = QPoint(x, y) - at;
                    const bool drawn = turned.rect().contains(p) && turned.pixel(p) != colorToQRgb(kFill);
                    wrong += canvas.pixel(x, y) != (drawn ? turned.pixel(p) : green);
                }
            EXPECT_EQ(wrong, 0);
            const QImage display = img.displayBitmap();
            ASSERT_EQ(display.size(), QSize(S, S));
            EXPECT_EQ(display.copy(QRect(at, turned.size())), turned);
        }
    }
}

// A hand picture with the fill inside it and the key at its bottom left.
QImage holedHand(int w, int h, int seed = 0)
{
    QImage hand = numbered(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x + y + seed) % 5 == 0 || x == 0)
                hand.setPixel(x, y, colorToQRgb(kFill));
    return hand;
}

// A transparent hand as the clock sets one up, in a control as large as
// its square.
void setUpHand(TRotateImage &img, const QImage &picture, bool center)
{
    img.setColor(kFill);
    img.setKeepTurns(true);
    img.setPicture(picture);
    img.setTransparent(true);
    img.setCenter(center);
    const int S = uniqueSquareSide(picture.width(), picture.height());
    img.resize(S, S);
}

// Exactly what the control paints over what lies beneath it.
QImage drawnBy(TRotateImage &img)
{
    QImage out(img.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(0);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    img.paintLayer(p);
    return out;
}

// A hand coming back to an angle copies the turn it kept: what it paints
// and shows is, bit for bit, what a control turning afresh makes, for
// angles that differ in the key only (0 and 360, -6 and 354), and its paint
// key still changes at every turn.
TEST(RotateImageKeptTurns, AreTheTurnsMadeAfresh)
{
    const QImage hand = holedHand(9, 61);
    const int S = uniqueSquareSide(hand.width(), hand.height());
    const std::vector<double> once = {360, 6, 354, 45, 90, 137.5, 180, 270, 301, 0, -6, 12};
    const std::vector<double> again = {90, 0, 301, 12, 354, 137.5, 360, 45, -6, 270, 6, 180};
    for (bool center : {true, false}) {
        TRotateImage img;
        setUpHand(img, hand, center);
        int kept = 0;
        for (int pass = 0; pass < 2; ++pass) {
            for (double angle : pass == 0 ? once : again) {
                SCOPED_TRACE((center ? "centred at " : "placed at ") + std::to_string(angle)
                             + (pass == 0 ? ", first time" : ", again"));
                const quint64 key = img.paintKey();
                img.setAngle(angle);
                EXPECT_NE(img.paintKey(), key);
                TRotateImage fresh;
                setUpHand(fresh, hand, center);
                fresh.setAngle(angle);
                EXPECT_EQ(drawnBy(img), drawnBy(fresh));
                const QImage display = img.displayBitmap();
                EXPECT_EQ(display, fresh.displayBitmap());
                const QImage turned = rotateBitmap(hand, kFill, angle);
                const QPoint at = center ? QPoint((S - turned.width()) / 2, (S - turned.height()) / 2) : QPoint(0, 0);
                EXPECT_EQ(display.copy(QRect(at, turned.size())), turned);
            }
            if (pass == 0)
                kept = img.keptTurns().size();
            else
                EXPECT_EQ(img.keptTurns().size(), kept) << "a turn was made again";
        }
        EXPECT_GE(kept, int(once.size()));
    }
}

// Whatever else decides a turn changes at an angle already kept: the hand
// shows the change there and at the other angles kept before it.
TEST(RotateImageKeptTurns, ChangesShowAtKeptAngles)
{
    const QImage hand = holedHand(9, 61);
    const struct
    {
        const char *change;
        std::function<void(TRotateImage &)> apply;
    } cases[] = {
        {"another picture", [](TRotateImage &img) { img.setPicture(holedHand(9, 61, 2)); }},
        {"a larger picture", [](TRotateImage &img) { img.setPicture(holedHand(13, 80)); }},
        {"another colour", [](TRotateImage &img) { img.setColor(rgbColor(9, 9, 9)); }},
        {"placed instead of centred", [](TRotateImage &img) { img.setCenter(false); }},
        {"stretched", [](TRotateImage &img) { img.setStretch(true); }},
    };
    for (const auto &c : cases) {
        TRotateImage img;
        setUpHand(img, hand, true);
        for (double angle : {90.0, 33.0, 270.0, 90.0})
            img.setAngle(angle);
        c.apply(img);
        for (double angle : {90.0, 33.0}) {
            SCOPED_TRACE(std::string(c.change) + " at " + std::to_string(angle));
            img.setAngle(angle);
            TRotateImage fresh;
            setUpHand(fresh, hand, true);
            c.apply(fresh);
            fresh.setAngle(angle);
            EXPECT_EQ(drawnBy(img), drawnBy(fresh));
            EXPECT_EQ(img.displayBitmap(), fresh.displayBitmap());
        }
    }
}

TEST_F(RotateImageTest, StretchAndCenterPlaceTheSquare)
{
    QImage src(10, 10, QImage::Format_RGB32);
    src.fill(qRgb(0, 0, 0));
    img.setPicture(src); // square side Round(sqrt(288)) = 17
    ASSERT_EQ(img.displayBitmap().size(), QSize(17, 17));
    img.resize(41, 41);
    img.setCenter(true);
    QImage canvas(41, 41, QImage::Format_RGB32);
    canvas.fill(Qt::green);
    img.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    // Square at (12, 12); the picture inside it at ((17 - 10) div 2) = 3.
    EXPECT_EQ(canvas.pixel(11, 20), QColor(Qt::green).rgb());
    EXPECT_EQ(canvas.pixel(12, 20), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(15, 15), qRgb(0, 0, 0));

    img.setStretch(true);
    canvas.fill(Qt::green);
    img.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    // Stretched, the picture sits at (0, 0) of the square, which fills the control.
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(20, 5), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(30, 5), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(40, 40), qRgb(255, 255, 255));
}

TEST_F(RotateImageTest, AutoSizeFollowsTheDisplayBitmap)
{
    img.setAutoSize(true);
    img.setPicture(numbered(20, 100));
    EXPECT_EQ(img.size(), QSize(104, 104));
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST(RotateImageRepaint, EqualAngleCostsNothing)
{
    QWidget window;
    window.resize(200, 200);
    auto *img = new TRotateImage(&window);
    img->setPicture(numbered(20, 100));
    PaintCounter counter;
    img->installEventFilter(&counter);
    window.show();
    QApplication::processEvents();

    img->setAngle(30);
    QApplication::processEvents();
    const int rebuilds = img->rebuildCount();
    const int paints = counter.paints;
    EXPECT_GT(paints, 0);
    for (int i = 0; i < 10; ++i) {
        img->setAngle(30);
        QApplication::processEvents();
    }
    EXPECT_EQ(img->rebuildCount(), rebuilds);
    EXPECT_EQ(counter.paints, paints);

    img->setAngle(31);
    QApplication::processEvents();
    EXPECT_EQ(img->rebuildCount(), rebuilds + 1);
    EXPECT_GT(counter.paints, paints);
}

} // namespace

// Sampling only the columns a row can reach must give exactly what sampling
// every pixel of the square gives, at any angle and for thin and wide pictures.
TEST(RotateBitmap, NarrowedSamplingEqualsEveryPixelSampled)
{
    const QSize sizes[] = {{14, 236}, {28, 150}, {60, 300}, {7, 5}, {1, 1}, {300, 20}};
    for (const QSize size : sizes) {
        const QImage src = numbered(size.width(), size.height());
        for (double angle = -7.5; angle < 372; angle += 6.25) {
            const QImage got = rotateBitmap(src, kFill, angle);
            long double a = angle;
            while (a >= 360)
                a -= 360;
            while (a < 0)
                a += 360;
            long double s, c;
            sincosl(a * 3.14159265358979323846264338327950288L / 180, &s, &c);
            const int W = size.width(), H = size.height();
            int cxS = W / 2, cyS = H / 2;
            if (c < 0)
                --cxS;
            if (s < 0)
                --cyS;
            const int cxD = got.width() / 2, cyD = got.height() / 2;
            const QImage want = expected(src, got.width(), got.height(), [&](int x, int y) {
                const long double dx = x - cxD, dy = y - cyD;
                return QPoint(int(cxS + roundEven(dx * c - dy * s)), int(cyS + roundEven(dx * s + dy * c)));
            });
            ASSERT_EQ(got, want) << size.width() << "x" << size.height() << " at " << angle;
        }
    }
}
