#pragma once
#include <QtGlobal>

// NTP timestamps and the instants they stand for.
//
// On the wire a timestamp is 32 bits of seconds since 1900 and 32 bits of
// fraction, so the seconds wrap every 136 years (first in February 2036).
// We read a wire timestamp in the window 1968-01-20 .. 2104-02-26: with the
// top bit of the seconds set it belongs to the era that began in 1900,
// without it to the era that begins in 2036. Inside the program an instant is
// a signed 64-bit count of nanoseconds since 1900-01-01 00:00 UTC, which is
// exact for every wire value of the window and needs no 128-bit arithmetic.
namespace Ntp {

constexpr qint64 NanosPerSecond = 1000000000;
constexpr qint64 NanosPerDay = 86400 * NanosPerSecond;
// Seconds from 1900-01-01 to 1970-01-01.
constexpr qint64 UnixEpochSeconds = 2208988800LL;

struct Timestamp
{
    quint32 seconds = 0;
    quint32 fraction = 0;

    bool isZero() const { return seconds == 0 && fraction == 0; }
    bool operator==(const Timestamp &o) const { return seconds == o.seconds && fraction == o.fraction; }
    bool operator!=(const Timestamp &o) const { return !(*this == o); }
};

// Big-endian, 8 bytes.
Timestamp readTimestamp(const unsigned char *bytes);
void writeTimestamp(unsigned char *bytes, Timestamp t);

// Wire timestamp -> nanoseconds since 1900, era resolved as above.
qint64 toNanos(Timestamp t);
// Nanoseconds since 1900 -> wire timestamp (the fraction rounded to the
// nearest unit, so toNanos(fromNanos(n)) == n inside the window).
Timestamp fromNanos(qint64 nanos);

inline qint64 fromUnixNanos(qint64 unixNanos) { return unixNanos + UnixEpochSeconds * NanosPerSecond; }
inline qint64 toUnixNanos(qint64 nanos) { return nanos - UnixEpochSeconds * NanosPerSecond; }

// Date-time values count days since 1899-12-30; 1900-01-01 is day 2.
double toDateTime(qint64 nanos);
qint64 fromDateTime(double value);

} // namespace Ntp
