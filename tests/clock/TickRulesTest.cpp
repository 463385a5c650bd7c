#include "DateTime.h"
#include "TickRules.h"

#include <gtest/gtest.h>

using namespace TickRules;
using ZDateTime::encodeTime;

TEST(HandAngles, WholeDegreesFrom1To360)
{
    struct Case { int h, m, s, hour, minute, second; };
    const Case cases[] = {
        {12, 0, 0, 360, 360, 360}, {0, 0, 0, 360, 360, 360}, {3, 0, 0, 270, 360, 360},
        {15, 30, 0, 255, 180, 360}, {9, 59, 59, 61, 6, 6}, {23, 59, 1, 1, 6, 354},
    };
    for (const Case &c : cases) {
        const HandAngles a = handAngles(c.h, c.m, c.s);
        EXPECT_EQ(a.hour, c.hour) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(a.minute, c.minute) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_EQ(a.second, c.second) << c.h << ":" << c.m << ":" << c.s;
    }
}

TEST(QuietTime, StrictComparisonsAcrossAndWithinADay)
{
    struct Case { double start, end, t; bool quiet; };
    const double q22 = encodeTime(22, 0, 0), q6 = encodeTime(6, 0, 0);
    const Case cases[] = {
        {q22, q6, encodeTime(23, 30, 0), true},
        {q22, q6, encodeTime(5, 59, 59, 800), true},
        {q22, q6, encodeTime(6, 0, 0), false},
        {q22, q6, encodeTime(12, 0, 0), false},
        {q22, q6, encodeTime(22, 0, 0), false},
        {q22, q6, encodeTime(22, 0, 0, 200), true},
        {encodeTime(13, 0, 0), encodeTime(14, 0, 0), encodeTime(13, 30, 0), true},
        {encodeTime(13, 0, 0), encodeTime(14, 0, 0), encodeTime(14, 30, 0), false},
        {encodeTime(13, 0, 0), encodeTime(14, 0, 0), encodeTime(12, 30, 0), false},
        {encodeTime(8, 0, 0), encodeTime(8, 0, 0), encodeTime(8, 0, 0), false},
        {encodeTime(8, 0, 0), encodeTime(8, 0, 0), encodeTime(20, 0, 0), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isQuiet(true, c.start, c.end, c.t), c.quiet) << c.start << " " << c.end << " " << c.t;
    EXPECT_FALSE(isQuiet(false, q22, q6, encodeTime(23, 30, 0)));
}

namespace {
QVector<int> fadeRun(int level, bool mouseOver, bool enabled, int max, int speed, int ticks)
{
    QVector<int> levels;
    for (int i = 0; i < ticks; ++i)
        levels << (level = fadeLevel(level, mouseOver, enabled, max, 200, speed));
    return levels;
}
} // namespace

TEST(Fade, Sequences)
{
    // Mouse over at 23 with step 5 (FadeSpeed 40).
    EXPECT_EQ(fadeRun(23, true, true, 50, 40, 6), QVector<int>({18, 13, 8, 3, 0, 0}));
    // MaxTransparency 0 never fades out.
    EXPECT_EQ(fadeRun(0, false, true, 0, 10, 3), QVector<int>({0, 0, 0}));
    // 80 at speed 10: 4, 8, ... 80 and then holds.
    const QVector<int> up = fadeRun(0, false, true, 80, 10, 21);
    EXPECT_EQ(up.first(), 4);
    EXPECT_EQ(up[19], 80);
    EXPECT_EQ(up[20], 80);
    // Defaults end one step above the maximum: ... 48, 52.
    const QVector<int> defaults = fadeRun(44, false, true, 50, 10, 3);
    EXPECT_EQ(defaults, QVector<int>({48, 52, 52}));
    // A level above the maximum stays while the mouse is away, falls when it comes.
    EXPECT_EQ(fadeRun(70, false, true, 50, 40, 2), QVector<int>({70, 70}));
    EXPECT_EQ(fadeRun(70, true, true, 50, 40, 1), QVector<int>({65}));
    // Fading off: no fade out, but the way back to opaque still works.
    EXPECT_EQ(fadeRun(0, false, false, 50, 40, 2), QVector<int>({0, 0}));
    EXPECT_EQ(fadeRun(10, true, false, 50, 40, 2), QVector<int>({5, 0}));
    // Speeds above 40 never fade out; a speed of 0 or below acts as 1.
    EXPECT_EQ(fadeRun(0, false, true, 50, 41, 2), QVector<int>({0, 0}));
    EXPECT_EQ(fadeRun(0, false, true, 50, 0, 1), QVector<int>({40}));
    EXPECT_EQ(fadeRun(60, true, true, 50, -3, 1), QVector<int>({0}));
}

TEST(Animation, FramesOfTheStrip)
{
    struct Case { QSize strip; int frames, frame; QRect expected; };
    const Case cases[] = {
        {{40, 90}, 3, 0, {0, 0, 40, 30}},   // first frame
        {{40, 90}, 3, 2, {0, 60, 40, 30}},  // last frame
        {{40, 100}, 3, 2, {0, 66, 40, 33}}, // height not a multiple: the rows left over are not shown
        {{40, 2}, 3, 0, {}},                // too short for its frames
        {{0, 90}, 3, 0, {}},                // no strip
        {{}, 3, 0, {}},                     // no strip at all
        {{40, 90}, 0, 0, {}},               // no frames
        {{40, 90}, 3, 3, {}},               // beyond the last frame
        {{40, 90}, 3, -1, {}},              // before the first
        {{1, 1}, 1, 0, {0, 0, 1, 1}},       // a one-pixel strip of one frame
    };
    for (const Case &c : cases)
        EXPECT_EQ(animationFrame(c.strip, c.frames, c.frame), c.expected)
            << c.strip.width() << "x" << c.strip.height() << " frames " << c.frames << " frame " << c.frame;
}

TEST(Animation, CounterRules)
{
    // Waiting for the first strike: the counter climbs without drawing.
    AnimationStep s = animationStep(true, true, -99, 4, true);
    EXPECT_EQ(s.drawFrame, -1);
    EXPECT_EQ(s.nextFrame, -98);
    // A strike set 0: frames 0..3 on four ticks, then it holds at 4.
    int frame = 0;
    QVector<int> drawn;
    for (int tick = 0; tick < 6; ++tick) {
        s = animationStep(true, true, frame, 4, true);
        drawn << s.drawFrame;
        frame = s.nextFrame;
        EXPECT_FALSE(s.endRun);
    }
    EXPECT_EQ(drawn, QVector<int>({0, 1, 2, 3, -1, -1}));
    EXPECT_EQ(frame, 4);
    // After the last strike the run ends once the counter stands at F.
    EXPECT_TRUE(animationStep(true, true, 3, 4, false).endRun);
    EXPECT_FALSE(animationStep(true, true, 2, 4, false).endRun);
    // Disabled: nothing drawn, the counter stays.
    s = animationStep(true, false, 1, 4, true);
    EXPECT_EQ(s.drawFrame, -1);
    EXPECT_EQ(s.nextFrame, 1);
    // No frames at all: nothing drawn, the run ends instead of failing.
    s = animationStep(true, true, 0, 0, false);
    EXPECT_EQ(s.drawFrame, -1);
    EXPECT_TRUE(s.endRun);
    s = animationStep(true, true, 0, -3, false);
    EXPECT_EQ(s.drawFrame, -1);
    EXPECT_TRUE(s.endRun);
}

TEST(NextTick, StepsWhileSomethingMovesElseWakesOnTheNextSecond)
{
    struct Case
    {
        const char *name;
        TickState state;
        int ms;
    };
    auto st = [](bool fading, bool animating, bool sounding, bool quiet, int msOfSecond) {
        TickState s;
        s.fading = fading;
        s.animating = animating;
        s.sounding = sounding;
        s.quiet = quiet;
        s.msOfSecond = msOfSecond;
        return s;
    };
    const Case cases[] = {
        {"idle just after the second", st(false, false, false, false, 3), 1002},
        {"idle on the second", st(false, false, false, false, 0), 1005},
        {"idle where it was planned", st(false, false, false, false, 5), 1000},
        {"idle just before the second", st(false, false, false, false, 999), 6},
        {"fading", st(true, false, false, false, 3), StepMs},
        {"animating", st(false, true, false, false, 500), StepMs},
        {"chime or voice", st(false, false, true, false, 500), StepMs},
        {"sounds held by quiet time", st(false, true, true, true, 400), 605},
        {"fading goes on in quiet time", st(true, false, true, true, 400), StepMs},
        {"a clock read out of range", st(false, false, false, false, 1500), 6},
    };
    for (const Case &c : cases)
        EXPECT_EQ(nextTickMs(c.state), c.ms) << c.name;
}
