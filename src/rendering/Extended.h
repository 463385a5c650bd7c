#pragma once
#include <cmath>

// Rounding of 80-bit values to the nearest integer, halves to even, in the
// FPU's default mode. Inline: the library's lrintl is a call per pixel.
inline long long roundEven(long double v)
{
#if defined(__x86_64__) || defined(__i386__)
    long long r;
    asm("fistpll %0" : "=m"(r) : "t"(v) : "st");
    return r;
#else
    return llrintl(v);
#endif
}

// Truncation toward zero of a value >= 0: rounding needs no change of the
// rounding mode, then a step back when it went up.
inline long long truncNonNegative(long double v)
{
    long long r = roundEven(v);
    if ((long double)r > v)
        --r;
    return r;
}

// Floor and ceiling of a value within +-2^62, through the same rounding:
// no change of the FPU's rounding mode, which costs more than the sum.
inline long long floorInt(long double v)
{
    long long r = roundEven(v);
    if ((long double)r > v)
        --r;
    return r;
}

inline long long ceilInt(long double v)
{
    long long r = roundEven(v);
    if ((long double)r < v)
        ++r;
    return r;
}
