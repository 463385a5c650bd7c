#include "TickRules.h"

#include <algorithm>

namespace TickRules {

int fadeLevel(int level, bool mouseOver, bool fadeEnabled, int maxTransparency, int intervalMs, int fadeSpeed)
{
    const int speed = std::max(1, fadeSpeed);
    if (mouseOver) {
        if (level > 0)
            level = std::max(0, level - intervalMs / speed);
    } else if (level < maxTransparency && fadeEnabled) {
        level += intervalMs / (speed * 5);
    }
    return level;
}

HandAngles handAngles(int hour, int minute, int second)
{
    const int h12 = hour < 12 ? hour : hour - 12;
    return {360 - (30 * h12 + (6 * minute) / 12), 360 - 6 * minute, 360 - 6 * second};
}

bool isQuiet(bool quietTime, double start, double end, double t)
{
    if (!quietTime)
        return false;
    if (start < end)
        return start < t && t < end;
    if (start > end)
        return t > start || t < end;
    return false;
}

AnimationStep animationStep(bool running, bool enabled, int frame, int frames, bool chimeStriking)
{
    AnimationStep step;
    step.nextFrame = frame;
    // A clock without frames has nothing to play: the run just ends.
    const int f = std::max(0, frames);
    if (running && enabled) {
        if (frame >= 0 && frame <= f - 1)
            step.drawFrame = frame;
        step.nextFrame = std::min(frame + 1, f);
    }
    step.endRun = !chimeStriking && step.nextFrame == f;
    return step;
}

QRect animationFrame(const QSize &strip, int frames, int frame)
{
    if (frames <= 0 || frame < 0 || frame >= frames || strip.width() <= 0)
        return {};
    const int height = strip.height() / frames;
    if (height <= 0)
        return {};
    return {0, height * frame, strip.width(), height};
}

int nextTickMs(const TickState &state)
{
    // Under quiet time the sequences stand still: waking for them gains nothing.
    if (state.fading || (!state.quiet && (state.animating || state.sounding)))
        return StepMs;
    return 1000 + PastTheSecondMs - std::clamp(state.msOfSecond, 0, 999);
}

} // namespace TickRules
