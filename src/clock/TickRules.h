#pragma once

// The arithmetic of the 200 ms tick, apart from any window.
namespace TickRules {

// One fade step of the window's translucency level (0 opaque .. 100): toward
// opaque while the mouse is over the window, else toward maxTransparency
// when fading is on. A fadeSpeed below 1 is treated as 1.
int fadeLevel(int level, bool mouseOver, bool fadeEnabled, int maxTransparency, int intervalMs, int fadeSpeed);

struct HandAngles
{
    int hour;
    int minute;
    int second;
};

// Counter-clockwise angles in whole degrees, 1..360, for the time of day.
HandAngles handAngles(int hour, int minute, int second);

// Whether time of day t (fraction of a day) lies strictly inside the quiet
// window from start to end, which may span midnight.
bool isQuiet(bool quietTime, double start, double end, double t);

// One animation step: what AnimateFace draws and where its counter goes.
struct AnimationStep
{
    int drawFrame = -1; // frame to draw this tick, or -1
    int nextFrame = 0;
    bool endRun = false; // hide the frame and stop running
};
AnimationStep animationStep(bool running, bool enabled, int frame, int frames, bool chimeStriking);

} // namespace TickRules
