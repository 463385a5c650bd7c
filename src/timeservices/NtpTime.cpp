#include "NtpTime.h"

#include <cmath>

namespace Ntp {

namespace {
constexpr quint64 TwoPow32 = quint64(1) << 32;

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}
} // namespace

Timestamp readTimestamp(const unsigned char *p)
{
    auto word = [](const unsigned char *q) {
        return (quint32(q[0]) << 24) | (quint32(q[1]) << 16) | (quint32(q[2]) << 8) | quint32(q[3]);
    };
    return {word(p), word(p + 4)};
}

void writeTimestamp(unsigned char *p, Timestamp t)
{
    const quint32 words[2] = {t.seconds, t.fraction};
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < 4; ++i)
            p[w * 4 + i] = static_cast<unsigned char>(words[w] >> (24 - 8 * i));
}

qint64 toNanos(Timestamp t)
{
    qint64 seconds = t.seconds;
    if ((t.seconds & 0x80000000u) == 0)
        seconds += qint64(TwoPow32); // era 1: from 2036-02-07 06:28:16
    // fraction * 1e9 < 2^62: no overflow in 64 bits.
    const qint64 fracNanos = qint64((quint64(t.fraction) * NanosPerSecond + (TwoPow32 / 2)) >> 32);
    return seconds * NanosPerSecond + fracNanos;
}

Timestamp fromNanos(qint64 nanos)
{
    qint64 seconds = floorDiv(nanos, NanosPerSecond);
    const quint64 rest = quint64(nanos - seconds * NanosPerSecond); // 0 .. 1e9-1
    quint64 fraction = ((rest << 32) + NanosPerSecond / 2) / NanosPerSecond;
    if (fraction >= TwoPow32) {
        fraction -= TwoPow32;
        ++seconds;
    }
    return {quint32(quint64(seconds) & 0xFFFFFFFFu), quint32(fraction)};
}

double toDateTime(qint64 nanos)
{
    // Split into whole days and the rest so the fraction keeps its precision.
    const qint64 days = floorDiv(nanos, NanosPerDay);
    const qint64 rest = nanos - days * NanosPerDay;
    return 2.0 + double(days) + double(rest) / double(NanosPerDay);
}

qint64 fromDateTime(double value)
{
    const double days = std::floor(value);
    const double rest = value - days;
    return (qint64(days) - 2) * NanosPerDay + qint64(std::llround(rest * double(NanosPerDay)));
}

} // namespace Ntp
