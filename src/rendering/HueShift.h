#pragma once
#include <QtGlobal>

// Turns one pixel's hue by hue degrees through quantised HSL: the hue is
// held in 358 steps and wraps at 359, saturation and lightness in 255, all
// in 80-bit arithmetic. The round trip is not lossless (pure red turned by
// 358 gives (255, 1, 1)); grey stays grey.
void shiftHue(quint8 &red, quint8 &green, quint8 &blue, int hue);
