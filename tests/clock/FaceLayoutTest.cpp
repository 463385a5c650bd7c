#include "FaceLayout.h"

#include <gtest/gtest.h>

namespace {
FaceInput worked()
{
    FaceInput in;
    in.clock = QSize(300, 400);
    in.clockLeft = 21;
    in.clockTop = 101;
    in.dial = QSize(250, 250);
    in.body = QSize(120, 90);
    in.bodyLeft = -5;
    in.bodyTop = 10;
    in.head = QSize(80, 60);
    in.hour = QSize(20, 160);
    in.minute = QSize(16, 220);
    in.second = QSize(10, 240);
    return in;
}
} // namespace

TEST(FaceLayout, WorkedExampleAtHalfSize)
{
    const FaceLayout f = layoutFace(worked(), 8);
    EXPECT_EQ(f.window, QSize(150, 200));
    EXPECT_EQ(f.dial, QRect(10, 50, 125, 125));
    EXPECT_EQ(f.body, QRect(40, 111, 60, 45));
    // Hands: scaled pictures in unscaled areas centred on (72, 112).
    EXPECT_EQ(f.hour, QSize(10, 80));
    EXPECT_EQ(f.hourArea, QRect(72 - 122, 112 - 122, 244, 244));
    EXPECT_EQ(f.minuteArea.topLeft(), QPoint(72 - 140, 112 - 140));
    EXPECT_EQ(f.secondArea, QRect(72 - 146, 112 - 149, 293, 298));
}

TEST(FaceLayout, ScalingTruncatesTowardZero)
{
    struct Case { int v, scale, expected; };
    const Case cases[] = {{-5, 4, -1}, {-3, 4, 0}, {-40, 8, -20}, {-1, 12, 0}, {301, 16, 301}, {301, 10, 188}};
    for (const Case &c : cases)
        EXPECT_EQ(scaled(c.v, c.scale), c.expected) << c.v << " at " << c.scale;
}

TEST(FaceLayout, FullSizeKeepsEveryValue)
{
    FaceInput in = worked();
    in.headLeft = 3;
    in.headTop = -7;
    in.bodyHeadLeft = 2;
    in.bodyHeadTop = 5;
    const FaceLayout f = layoutFace(in, 16);
    EXPECT_EQ(f.window, in.clock);
    EXPECT_EQ(f.dial, QRect(21, 101, 250, 250));
    const int cx = 21 + 125, cy = 101 + 125;
    EXPECT_EQ(f.body, QRect(cx - 60 - 5, cy - 12 + 10, 120, 90));
    EXPECT_EQ(f.head.left(), cx - 40 + 2 + 3);
    EXPECT_EQ(f.head.top(), -7 + f.body.top() - 60 + 5) << "the head stands on the body";
}

TEST(FaceLayout, NoScaleAsksForAPictureLargerThanTheScreen)
{
    FaceInput bigDial = worked();
    bigDial.dial = QSize(4000, 300);
    struct Case { const char *what; FaceInput in; int scale; QSize screen; int expected; };
    const Case cases[] = {
        {"fits", worked(), 16, QSize(1280, 1024), 16},
        {"a sixteenth that fits", worked(), 10, QSize(1280, 1024), 10},
        {"200: 400 x 200 / 16 would be 5000 high", worked(), 200, QSize(1280, 1024), 40},
        {"the largest integer", worked(), 2147483647, QSize(1280, 1024), 40},
        {"100 % on a small screen", worked(), 16, QSize(200, 300), 10},
        {"a dial wider than the screen", bigDial, 16, QSize(1280, 1024), 5},
        {"nothing fits: the smallest scale", worked(), 16, QSize(10, 10), 1},
        {"no screen known", worked(), 16, QSize(), 16},
    };
    for (const Case &c : cases) {
        const int s = fittingScale(c.in, c.scale, c.screen);
        EXPECT_EQ(s, c.expected) << c.what;
        if (c.expected > 1 && c.screen.isValid()) {
            const FaceLayout f = layoutFace(c.in, s);
            EXPECT_LE(f.window.width(), c.screen.width()) << c.what;
            EXPECT_LE(f.window.height(), c.screen.height()) << c.what;
        }
    }
}

TEST(FaceLayout, SecondHandPivotFollowsTheOffset)
{
    FaceInput in = worked();
    in.secHandOffset = 0;
    FaceLayout f = layoutFace(in, 8);
    EXPECT_EQ(f.secondArea.center().y(), f.hourArea.center().y());
    in.secHandOffset = 40;
    f = layoutFace(in, 8);
    EXPECT_EQ(f.SecHandOffset, 20);
    EXPECT_EQ(f.secondArea.top(), 112 + 20 - 149);
}

TEST(FaceLayout, StackingKeepsTheHourHandInFrontOfTheCharacter)
{
    using P = FacePart;
    EXPECT_EQ(stackingOrder(false, false),
              QVector<P>({P::Dial, P::Body, P::Head, P::HourHand, P::MinuteHand, P::SecondHand}));
    EXPECT_EQ(stackingOrder(true, false),
              QVector<P>({P::Dial, P::MinuteHand, P::Body, P::Head, P::HourHand, P::SecondHand}));
    EXPECT_EQ(stackingOrder(false, true),
              QVector<P>({P::Dial, P::SecondHand, P::Body, P::Head, P::HourHand, P::MinuteHand}));
    EXPECT_EQ(stackingOrder(true, true),
              QVector<P>({P::Dial, P::SecondHand, P::MinuteHand, P::Body, P::Head, P::HourHand}));
}

#include "DialogPlacement.h"

TEST(DialogPlacement, BesideTheClockOrLeftOfItAndAboveTheScreenBottom)
{
    const QSize screen(1280, 1024), dialog(300, 200);
    struct Case { QRect clock; QPoint expected; };
    const Case cases[] = {
        {QRect(100, 100, 300, 400), QPoint(400, 100)},
        {QRect(600, 50, 300, 400), QPoint(900, 50)},
        {QRect(800, 50, 180, 400), QPoint(500, 50)},   // 980 + 300 = 1280 is not less than the width
        {QRect(100, 900, 300, 400), QPoint(400, 792)}, // lifted: 1024 - 200 - 32
    };
    for (const Case &c : cases)
        EXPECT_EQ(besideClock(c.clock, dialog, screen), c.expected) << c.clock.x() << "," << c.clock.y();
}
