// On a real X server: a turning hand repaints only where it was and where
// it is, and what the screen shows afterwards is what a full repaint shows.
#include "Backdrop.h"
#include "Eventually.h"
#include "RotImg.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class PaintCounter : public QObject
{
public:
    int paints = 0;
    QRegion painted; // everything the paints covered
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent *>(e)->region();
        }
        return false;
    }
};

qint64 area(const QRegion &region)
{
    qint64 sum = 0;
    for (const QRect &r : region)
        sum += qint64(r.width()) * r.height();
    return sum;
}

} // namespace

TEST(HandRepaint, PartialRepaintsLeaveNoTrace)
{
    QWidget face;
    face.setWindowFlags(Qt::FramelessWindowHint);
    face.setAutoFillBackground(true);
    QPalette pal = face.palette();
    pal.setColor(QPalette::Window, QColor(40, 90, 160));
    face.setPalette(pal);
    face.setGeometry(30, 30, 300, 300);

    QImage hand(14, 236, QImage::Format_RGB32);
    hand.fill(qRgb(255, 0, 255));
    QPainter(&hand).fillRect(QRect(3, 4, 8, 118), QColor(200, 20, 20));
    TRotateImage second(&face);
    second.setCenter(true);
    second.setTransparent(true);
    second.setGeometry(3, 1, 293, 298);
    second.setPicture(hand);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face, kPatienceMs));

    // Each turn is painted and shown before the next: the partial repaints
    // add up on the screen, as the tick's turns do. Down and back up: the
    // way back shows turns kept from the way down.
    PaintCounter counter;
    second.installEventFilter(&counter);
    std::vector<int> angles;
    for (int angle = 360; angle >= 300; angle -= 6)
        angles.push_back(angle);
    for (int angle = 306; angle <= 360; angle += 6)
        angles.push_back(angle);
    for (int angle : angles) {
        const int before = counter.paints;
        second.setAngle(angle);
        ASSERT_TRUE(eventually([&] { return counter.paints > before; })) << "angle " << angle << " was never painted";
    }
    const QImage screen = face.screen()->grabWindow(face.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage full = face.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), full.size());
    EXPECT_EQ(screen, full) << "a hand left pixels behind where it no longer is";
}

namespace {

// A layer of a plain colour with a mark, telling its changes by its key.
class Tile : public QWidget, public PaintedLayer
{
public:
    Tile(QWidget *parent, QColor color) : QWidget(parent), m_color(color) {}
    void setColor(QColor color)
    {
        m_color = color;
        ++m_key;
        update();
    }
    quint64 paintKey() override { return m_key; }
    void paintLayer(QPainter &p) override
    {
        p.fillRect(rect(), m_color);
        p.fillRect(QRect(5, 5, 12, 30), Qt::yellow);
    }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        ++paints;
        QPainter p(this);
        paintLayer(p);
    }

private:
    QColor m_color;
    quint64 m_key = 1;
};

// A face: a window and layers under a second hand.
struct Face
{
    explicit Face(bool keepBackdrop)
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.setGeometry(30, 30, 300, 300);
        low.setGeometry(40, 40, 110, 110);
        high.setGeometry(150, 120, 90, 120);

        QImage picture(14, 236, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 255));
        QPainter(&picture).fillRect(QRect(3, 4, 8, 118), QColor(200, 20, 20));
        QImage longer = picture;
        QPainter(&longer).fillRect(QRect(2, 2, 10, 116), QColor(20, 20, 20));
        minute.setCenter(true);
        minute.setTransparent(true);
        minute.setGeometry(3, 1, 293, 298);
        minute.setPicture(longer);
        hand.setCenter(true);
        hand.setTransparent(true);
        hand.setGeometry(3, 1, 293, 298);
        hand.setPicture(picture);
        hand.setKeepBackdrop(keepBackdrop);
        hand.installEventFilter(&handPaints);
    }

    Tile window{nullptr, QColor(40, 90, 160)};
    Tile low{&window, QColor(20, 140, 60)};
    Tile high{&window, QColor(230, 230, 230)};
    TRotateImage minute{&window};
    TRotateImage hand{&window};
    PaintCounter handPaints;
};

// The same face twice: on the screen with the kept backdrop, and painted
// whole by every layer as the yardstick.
class BackdropFace : public ::testing::Test
{
protected:
    void SetUp() override
    {
        shown.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window, kPatienceMs));
    }

    // Turns both hands and waits until the turn is on the screen: one that
    // paints at once is there when setAngle returns.
    bool turn(int angle)
    {
        whole.hand.setAngle(angle);
        const int before = shown.handPaints.paints;
        const QImage was = atOnce ? onScreen() : QImage();
        shown.hand.setAngle(angle);
        if (atOnce)
            return onScreen() != was;
        return eventually([&] { return shown.handPaints.paints > before; });
    }

    QImage onScreen()
    {
        return shown.window.screen()->grabWindow(shown.window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    QImage paintedWhole() { return whole.window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    bool showsAsPaintedWhole()
    {
        return eventually([&] { return onScreen() == paintedWhole(); });
    }

    Face shown{true};
    Face whole{false};
    bool atOnce = false;
};

// The same, the hand painting each turn at once or at the loop's next pass.
class BackdropFaceEitherWay : public BackdropFace, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        BackdropFace::SetUp();
        atOnce = GetParam();
        shown.hand.setPaintAtOnce(atOnce);
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Paint, BackdropFaceEitherWay, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "AtOnce" : "Posted"; });

TEST_P(BackdropFaceEitherWay, ATurnRepaintsTheHandAloneOverAStillFace)
{
    ASSERT_TRUE(turn(350));
    ASSERT_TRUE(showsAsPaintedWhole());
    const int made = shown.hand.backdrop()->renders();
    const int lowPaints = shown.low.paints, highPaints = shown.high.paints, windowPaints = shown.window.paints;
    for (int angle = 344; angle >= 290; angle -= 6)
        ASSERT_TRUE(turn(angle));
    EXPECT_EQ(shown.low.paints, lowPaints);
    EXPECT_EQ(shown.high.paints, highPaints);
    EXPECT_EQ(shown.window.paints, windowPaints);
    EXPECT_EQ(shown.hand.backdrop()->renders(), made) << "made again although nothing under the hand changed";
    EXPECT_EQ(onScreen(), paintedWhole());
}

// A change beneath the hand that Qt repaints somewhere shows at once; one
// wholly beneath it (Qt repaints nothing for it) shows with the next turn.
TEST_P(BackdropFaceEitherWay, WhatChangesUnderTheHandShows)
{
    const struct
    {
        const char *change;
        std::function<void(Face &)> apply;
        bool atOnce;
    } cases[] = {
        {"the window's own picture", [](Face &f) { f.window.setColor(QColor(10, 10, 60)); }, true},
        {"a layer moved", [](Face &f) { f.high.move(110, 60); }, true},
        {"a layer hidden", [](Face &f) { f.low.hide(); }, true},
        {"a layer shown", [](Face &f) { f.low.show(); }, true},
        {"a layer raised above the hand", [](Face &f) { f.high.raise(); }, true},
        {"a layer put back under it", [](Face &f) { f.high.stackUnder(&f.hand); }, true},
        {"a layer's picture", [](Face &f) { f.low.setColor(QColor(200, 120, 0)); }, false},
    };
    int angle = 360;
    for (const auto &c : cases) {
        c.apply(shown);
        c.apply(whole);
        if (c.atOnce) {
            EXPECT_TRUE(showsAsPaintedWhole()) << c.change;
        }
        angle -= 7;
        ASSERT_TRUE(turn(angle)) << c.change;
        EXPECT_TRUE(showsAsPaintedWhole()) << c.change;
    }
}

// The minute hand beneath turns once a minute: the second hand is
// repainted where the face beneath it changed, not whole. Painting at once,
// it is on the screen within its own turn, with the minute hand turned just
// before.
TEST_F(BackdropFace, AHandTurningBeneathRepaintsOnlyWhereTheFaceChanged)
{
    ASSERT_TRUE(turn(350));
    ASSERT_TRUE(showsAsPaintedWhole());
    shown.hand.setPaintAtOnce(true);
    atOnce = true;
    const qint64 handArea = qint64(shown.hand.width()) * shown.hand.height();
    int second = 350;
    for (int minute = 60; minute >= 36; minute -= 6) {
        second -= 6;
        shown.handPaints.painted = QRegion();
        whole.minute.setAngle(minute);
        shown.minute.setAngle(minute);
        whole.hand.setAngle(second);
        const QImage before = onScreen();
        shown.hand.setAngle(second);
        EXPECT_NE(onScreen(), before) << "not painted within its turn";
        ASSERT_TRUE(showsAsPaintedWhole()) << "minute hand at " << minute;
        EXPECT_LT(area(shown.handPaints.painted), handArea / 4) << "minute hand at " << minute;
    }
}
