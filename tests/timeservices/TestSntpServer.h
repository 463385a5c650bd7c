#pragma once
#include "FakeSystemClock.h"
#include "NtpTime.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

// How the test server answers one request. Times are relative to the fake
// clock, which stands still, so the client measures exactly what is set up.
struct ServerBehaviour
{
    qint64 aheadMs = 0;        // the server's clock against ours
    int leap = 0;
    int version = 4;
    int mode = 4;
    int stratum = 1;
    quint32 rootDelay = 0;     // 16.16 seconds
    quint32 rootDispersion = 0;
    qint64 holdMs = 0;         // transmit minus receive time
    bool zeroTransmit = false;
    bool wrongOriginate = false;
    int length = 48;
    bool silent = false;
    bool fromOtherPort = false;
};

// An SNTP server on 127.0.0.1, on a free port, inside the test.
class TestSntpServer : public QObject
{
public:
    explicit TestSntpServer(FakeSystemClock &clock) : m_clock(clock)
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        m_other.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, this, [this] { serve(); });
    }

    QString entry() const { return QStringLiteral("127.0.0.1:%1").arg(m_socket.localPort()); }

    static QByteArray reply(const ServerBehaviour &b, const QByteArray &request, qint64 clientNowNanos)
    {
        QByteArray r(qMax(b.length, 48), '\0');
        auto *p = reinterpret_cast<unsigned char *>(r.data());
        p[0] = static_cast<unsigned char>((b.leap << 6) | (b.version << 3) | b.mode);
        p[1] = static_cast<unsigned char>(b.stratum);
        auto word = [&](int at, quint32 v) {
            for (int i = 0; i < 4; ++i)
                p[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
        };
        word(4, b.rootDelay);
        word(8, b.rootDispersion);
        memcpy(p + 24, request.constData() + 40, 8);
        if (b.wrongOriginate)
            p[31] ^= 1;
        const qint64 t2 = Ntp::fromUnixNanos(clientNowNanos) + b.aheadMs * 1000000;
        Ntp::writeTimestamp(p + 32, Ntp::fromNanos(t2));
        if (!b.zeroTransmit)
            Ntp::writeTimestamp(p + 40, Ntp::fromNanos(t2 + b.holdMs * 1000000));
        r.truncate(b.length);
        return r;
    }

    ServerBehaviour behaviour;
    // Sent first from another port, when behaviour.fromOtherPort is set.
    ServerBehaviour impostor;
    QByteArray lastRequest;
    int requests = 0;

private:
    void serve()
    {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = m_socket.receiveDatagram();
            lastRequest = d.data();
            ++requests;
            if (behaviour.silent)
                continue;
            if (behaviour.fromOtherPort)
                m_other.writeDatagram(reply(impostor, lastRequest, m_clock.now), d.senderAddress(), d.senderPort());
            m_socket.writeDatagram(reply(behaviour, lastRequest, m_clock.now), d.senderAddress(), d.senderPort());
        }
    }

    FakeSystemClock &m_clock;
    QUdpSocket m_socket;
    QUdpSocket m_other;
};
