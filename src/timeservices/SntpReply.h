#pragma once
#include "NtpTime.h"

#include <QByteArray>
#include <QString>

// The SNTP exchange as plain functions: the request we send, and the checks
// and arithmetic that decide whether a reply may be believed.
namespace Sntp {

constexpr int PacketSize = 48;
constexpr int ServerMode = 4;
// A reply whose server is further than this from its reference clock is
// not worth setting a clock from (root delay / 2 + root dispersion).
constexpr quint64 MaxRootDistance = quint64(1) << 16; // 1 s in 16.16

// 48 bytes: leap 0, version 3, mode 3 (client), transmit timestamp set,
// everything else zero.
QByteArray makeRequest(Ntp::Timestamp transmit);

struct ReplyFields
{
    int leap = 0;
    int version = 0;
    int mode = 0;
    int stratum = 0;
    quint32 rootDelay = 0;      // 16.16 seconds
    quint32 rootDispersion = 0; // 16.16 seconds
    Ntp::Timestamp originate;
    Ntp::Timestamp receive;
    Ntp::Timestamp transmit;
};

// Reads the first 48 bytes; false when the datagram is shorter.
bool readReply(const QByteArray &datagram, ReplyFields *fields);

enum class Fault {
    None,
    ShortReply,
    NotServerMode,
    BadVersion,
    Unsynchronised,
    BadStratum,
    ZeroTransmit,
    WrongOriginate,
    FarRootDistance,
    NegativeDelay,
};

QString faultText(Fault fault);

struct Evaluation
{
    Fault fault = Fault::None;
    ReplyFields fields;
    qint64 t3 = 0;          // server's transmit time, ns since 1900
    qint64 delayNanos = 0;  // round trip minus the server's own time
    qint64 offsetNanos = 0; // how far the server's clock is ahead of ours
    double delayMs() const { return double(delayNanos) / 1e6; }
    double offsetMs() const { return double(offsetNanos) / 1e6; }
};

// Checks a reply against the request it answers and, when it passes, works
// out delay and offset. sent: the transmit timestamp we put on the wire (the
// server must echo it); t1: our clock when sending and t4: our clock now,
// both in ns since 1900. t1 is kept apart from sent because sent carries
// random low bits that are not part of our clock reading.
Evaluation evaluateReply(const QByteArray &datagram, Ntp::Timestamp sent, qint64 t1, qint64 t4);

// The clock is set only for a positive threshold and an offset whose
// magnitude is strictly greater than it.
bool exceedsThreshold(double offsetMs, int thresholdMs);

} // namespace Sntp
