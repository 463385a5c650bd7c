#pragma once
#include <QRect>
#include <QSize>
#include <QVector>

// Where the pieces of the face go, from the skin records' sizes and offsets
// (all at full size) and the scale in sixteenths.
struct FaceInput
{
    QSize clock, dial, body, head, hour, minute, second;
    int clockLeft = 0, clockTop = 0;                 // Clock.Left/Top: the dial's corner
    int bodyLeft = 0, bodyTop = 0;                   // Body.BodyLeft/BodyTop
    int bodyHeadLeft = 0, bodyHeadTop = 0;           // Body.HeadLeft/HeadTop
    int headLeft = 0, headTop = 0;                   // Head.Left/Top
    int secHandOffset = 0;                           // Dial.SecHandOffset
};

struct FaceLayout
{
    QSize window;
    QRect dial, body, head;
    QSize hour, minute, second;                      // scaled hand pictures
    QRect hourArea, minuteArea, secondArea;          // fixed-size drawing areas
    int DialLeft = 0, DialTop = 0, SecHandOffset = 0;
};

// v × scale div 16, the product first, truncating toward zero.
inline int scaled(int v, int sizeScale) { return int((long long)v * sizeScale / 16); }

FaceLayout layoutFace(const FaceInput &in, int sizeScale);

// The scale a face is built at: sizeScale, or, when a picture of the face
// would come out larger than the screen, the largest smaller scale at which
// every picture fits (1 at least). A face never asks for a picture the
// screen cannot hold, whatever the settings say.
int fittingScale(const FaceInput &in, int sizeScale, QSize screen);

enum class FacePart { Dial, Body, Head, HourHand, MinuteHand, SecondHand };

// Back to front: the hour hand always stays in front of the character.
QVector<FacePart> stackingOrder(bool minHandBehind, bool secHandBehind);

constexpr QSize kHourArea(244, 244);
constexpr QSize kMinuteArea(280, 280);
constexpr QSize kSecondArea(293, 298);
