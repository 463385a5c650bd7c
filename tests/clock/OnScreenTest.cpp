#include "OnScreen.h"

#include <gtest/gtest.h>

TEST(OnScreen, AWindowWithNoVisiblePartComesOntoTheNearestScreen)
{
    const QRect one(0, 0, 1280, 1024);
    const QVector<QRect> single = {one};
    const QVector<QRect> sideBySide = {one, QRect(1280, 0, 1920, 1080)};
    const QVector<QRect> apart = {QRect(0, 0, 1000, 1000), QRect(2000, 0, 1000, 1000)};
    const QVector<QRect> leftOfPrimary = {one, QRect(-1920, 0, 1920, 1080)};
    const QSize clock(300, 400);
    struct Case { const char *what; QPoint saved; QSize size; QVector<QRect> screens; QPoint expected; };
    const Case cases[] = {
        {"on the screen", {100, 100}, clock, single, {100, 100}},
        {"one column visible at the left", {-299, 100}, clock, single, {-299, 100}},
        {"one row visible at the bottom", {100, 1023}, clock, single, {100, 1023}},
        {"the corner pixel only", {1279, 1023}, clock, single, {1279, 1023}},
        {"far above", {100, -5000}, clock, single, {100, 0}},
        {"far right", {90000, 100}, clock, single, {980, 100}},
        {"just past the right edge", {1280, 100}, clock, single, {980, 100}},
        {"far up and left", {-5000, -5000}, clock, single, {0, 0}},
        {"on the second screen", {2000, 500}, clock, sideBySide, {2000, 500}},
        {"beyond the second screen", {5000, 100}, clock, sideBySide, {2900, 100}},
        {"below the shorter screen", {100, 2000}, clock, sideBySide, {100, 624}},
        {"between screens, nearer the first", {1200, 100}, clock, apart, {700, 100}},
        {"between screens, nearer the second", {1600, 100}, clock, apart, {2000, 100}},
        {"a screen at negative coordinates", {-5000, 50}, clock, leftOfPrimary, {-1920, 50}},
        {"larger than the screen", {5000, 0}, QSize(2000, 2000), single, {0, 0}},
        {"a window without a size", {-10, -10}, QSize(0, 0), single, {0, 0}},
        {"no screens known", {90000, -5000}, clock, {}, {90000, -5000}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(onScreenPosition(QRect(c.saved, c.size), c.screens), c.expected) << c.what;
}
