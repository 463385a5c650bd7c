#pragma once
#include <QRect>
#include <QSize>

// The arithmetic of the tick, apart from any window.
namespace TickRules {

// The tick's step while something moves: a fade, an animation, a sound sequence.
constexpr int StepMs = 200;

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

// Where frame `frame` lies in an animation strip of `frames` frames stacked
// top to bottom: the strip's whole width and a whole share of its height
// (rows left over at the bottom are never shown). Empty when there is
// nothing to show: no strip, a strip too short for its frames, no frames,
// or a frame beyond them.
QRect animationFrame(const QSize &strip, int frames, int frame);

// What is under way after a tick, for the time to the next one.
struct TickState
{
    bool fading = false;    // the next fade step changes the level
    bool animating = false; // an animation run is under way
    bool sounding = false;  // a chime or the spoken time is under way
    bool quiet = false;     // the quiet window holds sounds and animation still
    int msOfSecond = 0;     // milliseconds past the whole second, now
};

// How far past the whole second an idle tick is planned. Timers run on the
// steady clock while the time of day is slewed against it: a tick planned
// for the second itself comes a fraction of a millisecond early now and
// then, reads the old second and has to wake again at once.
constexpr int PastTheSecondMs = 5;

// Milliseconds until the next tick: StepMs while something moves, else to
// PastTheSecondMs after the next whole second, so that an idle clock wakes
// once a second and its hands turn on the second.
int nextTickMs(const TickState &state);

} // namespace TickRules
