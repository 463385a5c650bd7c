#include "SntpReply.h"

#include <cmath>

namespace Sntp {

namespace {
quint32 readWord(const unsigned char *p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}
} // namespace

QByteArray makeRequest(Ntp::Timestamp transmit)
{
    QByteArray packet(PacketSize, '\0');
    auto *p = reinterpret_cast<unsigned char *>(packet.data());
    p[0] = 0x1B;
    Ntp::writeTimestamp(p + 40, transmit);
    return packet;
}

bool readReply(const QByteArray &datagram, ReplyFields *f)
{
    if (datagram.size() < PacketSize)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(datagram.constData());
    f->leap = p[0] >> 6;
    f->version = (p[0] >> 3) & 7;
    f->mode = p[0] & 7;
    f->stratum = p[1];
    f->rootDelay = readWord(p + 4);
    f->rootDispersion = readWord(p + 8);
    f->originate = Ntp::readTimestamp(p + 24);
    f->receive = Ntp::readTimestamp(p + 32);
    f->transmit = Ntp::readTimestamp(p + 40);
    return true;
}

QString faultText(Fault fault)
{
    switch (fault) {
    case Fault::None: return QString();
    case Fault::ShortReply: return QStringLiteral("the reply is shorter than 48 bytes");
    case Fault::NotServerMode: return QStringLiteral("the reply is not from a server");
    case Fault::BadVersion: return QStringLiteral("the reply has an unknown protocol version");
    case Fault::Unsynchronised: return QStringLiteral("the server's clock is not synchronized");
    case Fault::BadStratum: return QStringLiteral("the server's stratum is out of range");
    case Fault::ZeroTransmit: return QStringLiteral("the reply carries no transmit time");
    case Fault::WrongOriginate: return QStringLiteral("the reply does not answer our request");
    case Fault::FarRootDistance: return QStringLiteral("the server is too far from its reference clock");
    case Fault::NegativeDelay: return QStringLiteral("the reply's timestamps are inconsistent");
    }
    return QString();
}

Evaluation evaluateReply(const QByteArray &datagram, Ntp::Timestamp sent, qint64 t1, qint64 t4)
{
    Evaluation e;
    ReplyFields &f = e.fields;
    if (!readReply(datagram, &f)) {
        e.fault = Fault::ShortReply;
        return e;
    }
    if (f.mode != ServerMode)
        e.fault = Fault::NotServerMode;
    else if (f.version < 1 || f.version > 4)
        e.fault = Fault::BadVersion;
    else if (f.leap == 3)
        e.fault = Fault::Unsynchronised;
    else if (f.stratum < 1 || f.stratum > 15) // 0 is a kiss-o'-death, 16 unsynchronised
        e.fault = Fault::BadStratum;
    else if (f.transmit.isZero())
        e.fault = Fault::ZeroTransmit;
    else if (f.originate != sent)
        e.fault = Fault::WrongOriginate;
    else if (quint64(f.rootDelay) / 2 + quint64(f.rootDispersion) > MaxRootDistance)
        e.fault = Fault::FarRootDistance;
    if (e.fault != Fault::None)
        return e;

    const qint64 t2 = Ntp::toNanos(f.receive);
    e.t3 = Ntp::toNanos(f.transmit);
    e.delayNanos = (t4 - t1) - (e.t3 - t2);
    // Halve the sum at the end so an exact offset stays exact.
    const qint64 sum = (t2 - t1) + (e.t3 - t4);
    e.offsetNanos = sum / 2;
    if (e.delayNanos < 0)
        e.fault = Fault::NegativeDelay;
    return e;
}

bool exceedsThreshold(double offsetMs, int thresholdMs)
{
    return thresholdMs > 0 && std::fabs(offsetMs) > double(thresholdMs);
}

} // namespace Sntp
