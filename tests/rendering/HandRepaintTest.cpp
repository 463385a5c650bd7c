// On a real X server: a turning hand repaints only where it was and where
// it is, and what the screen shows afterwards is what a full repaint shows.
#include "Eventually.h"
#include "RotImg.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

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
    // add up on the screen, as the tick's turns do.
    PaintCounter counter;
    second.installEventFilter(&counter);
    for (int angle = 360; angle >= 300; angle -= 6) {
        const int before = counter.paints;
        second.setAngle(angle);
        ASSERT_TRUE(eventually([&] { return counter.paints > before; })) << "angle " << angle << " was never painted";
    }
    const QImage screen = face.screen()->grabWindow(face.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage full = face.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), full.size());
    EXPECT_EQ(screen, full) << "a hand left pixels behind where it no longer is";
}
