#include "HueShift.h"

#include "Extended.h"

#include <cmath>

namespace {


long double channel(long double m1, long double m2, long double x)
{
    if (x < 0)
        x += 1;
    else if (x > 1)
        x -= 1;
    if (6 * x < 1)
        return m1 + (m2 - m1) * 6 * x;
    if (2 * x < 1)
        return m2;
    if (3 * x < 2)
        return m1 + (m2 - m1) * (2.0L / 3 - x) * 6;
    return m1;
}

} // namespace

void shiftHue(quint8 &red, quint8 &green, quint8 &blue, int hue)
{
    const long double r = red / 255.0L, g = green / 255.0L, b = blue / 255.0L;
    const long double mx = std::max(r, std::max(g, b));
    const long double mn = std::min(r, std::min(g, b));
    const long double L = (mx + mn) / 2;
    long double H = 0, S = 0;
    if (mx != mn) {
        const long double d = mx - mn;
        S = L < 0.5L ? d / (mx + mn) : d / (2 - mx - mn);
        if (r == mx)
            H = (g - b) / d;
        else if (g == mx)
            H = (b - r) / d + 2;
        else
            H = (r - g) / d + 4;
        H = H / 6;
        if (H < 0)
            H += 1;
    }

    long hq = roundEven(H * 358);
    const long sq = roundEven(S * 255);
    const long lq = roundEven(L * 255);
    hq += hue;
    if (hq > 359)
        hq -= 359;

    const long double h2 = hq / 358.0L, s2 = sq / 255.0L, l2 = lq / 255.0L;
    if (sq == 0) {
        red = green = blue = quint8(roundEven(255 * l2));
        return;
    }
    const long double m2 = l2 <= 0.5L ? l2 * (1 + s2) : l2 + s2 - l2 * s2;
    const long double m1 = 2 * l2 - m2;
    red = quint8(roundEven(255 * channel(m1, m2, h2 + 1.0L / 3)));
    green = quint8(roundEven(255 * channel(m1, m2, h2)));
    blue = quint8(roundEven(255 * channel(m1, m2, h2 - 1.0L / 3)));
}
