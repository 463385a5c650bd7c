#include "IpTime.h"

#include "SntpReply.h"
#include "SntpServerEntry.h"
#include "SystemClock.h"

#include <QHostInfo>
#include <QRandomGenerator>
#include <QUdpSocket>

#include <cstdlib>

namespace {
const char *const NotResolved = "the time server's name could not be resolved";
}

const char *const TIpSNTPClient::InvalidSocketText = "invalid udp socket";

TIpSNTPClient::TIpSNTPClient(SystemClock &clock, QObject *parent) : QObject(parent), m_clock(clock) {}

TIpSNTPClient::~TIpSNTPClient() { Cancel(); }

qint64 TIpSNTPClient::ntpNow() const { return Ntp::fromUnixNanos(m_clock.nowUnixNanos()); }

void TIpSNTPClient::Cancel()
{
    ++m_query;
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    closeSocket();
}

void TIpSNTPClient::closeSocket()
{
    if (!m_socket)
        return;
    QUdpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void TIpSNTPClient::fail(TIpSNTPFailure kind, const QString &reason)
{
    const int query = m_query;
    // Reported from the event loop, like every other outcome of a query.
    QMetaObject::invokeMethod(
        this,
        [this, query, kind, reason] {
            if (query == m_query)
                emit OnFailure(this, kind, reason);
        },
        Qt::QueuedConnection);
}

void TIpSNTPClient::QueryTime()
{
    Cancel();
    const int query = m_query;
    SntpServerEntry entry;
    if (!SntpServerEntry::parse(m_server, &entry)) {
        fail(sfUnresolved, QString::fromLatin1(NotResolved));
        return;
    }
    m_port = entry.port;
    QHostAddress literal;
    if (literal.setAddress(entry.host)) {
        openSocket(literal);
        if (!m_socket)
            throw ESntpError(QString::fromLatin1(InvalidSocketText));
        return;
    }
    lookUp(entry.host, query);
}

void TIpSNTPClient::lookUp(const QString &host, int query)
{
    // The look-up runs off the main thread so the window stays responsive.
    m_lookupId = QHostInfo::lookupHost(host, this, [this, query](const QHostInfo &info) {
        if (query != m_query || info.lookupId() != m_lookupId)
            return;
        m_lookupId = -1;
        lookedUp(query, info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>());
    });
}

void TIpSNTPClient::lookedUp(int query, const QList<QHostAddress> &addresses)
{
    if (query != m_query)
        return;
    if (addresses.isEmpty()) {
        fail(sfUnresolved, QString::fromLatin1(NotResolved));
        return;
    }
    QHostAddress chosen = addresses.first();
    for (const QHostAddress &a : addresses)
        if (a.protocol() == QAbstractSocket::IPv4Protocol) {
            chosen = a;
            break;
        }
    openSocket(chosen);
    // Not a socket error with a handle and code: the same error QueryTime
    // throws for an address it cannot open a socket for, come later.
    if (!m_socket && query == m_query)
        emit OnFailure(this, sfNoSocket, QString::fromLatin1(InvalidSocketText));
}

void TIpSNTPClient::openSocket(const QHostAddress &address)
{
    auto *socket = new QUdpSocket(this);
    m_socket = socket;
    m_api = "connect";
    connect(socket, &QUdpSocket::readyRead, this, &TIpSNTPClient::readReply);
    // A connected socket: the kernel passes us only datagrams from the
    // server's own address and port. A socket that cannot be opened is
    // reported by the caller, so errors are watched only from here on.
    socket->connectToHost(address, m_port);
    connect(socket, &QUdpSocket::errorOccurred, this, &TIpSNTPClient::socketError);
    if (socket->state() == QAbstractSocket::ConnectedState) {
        sendRequest();
    } else if (socket->state() == QAbstractSocket::UnconnectedState) {
        if (m_socket == socket)
            closeSocket();
    } else {
        connect(socket, &QUdpSocket::connected, this, &TIpSNTPClient::sendRequest);
    }
}

void TIpSNTPClient::sendRequest()
{
    if (!m_socket)
        return;
    m_t1 = ntpNow();
    // Our clock is read to the nanosecond, but only its milliseconds go out;
    // the rest of the fraction is random, so a forged reply cannot guess
    // the originate time it has to echo.
    const qint64 millis = m_t1 - (((m_t1 % 1000000) + 1000000) % 1000000);
    m_sent = Ntp::fromNanos(millis);
    m_sent.fraction += QRandomGenerator::system()->bounded(4294967u); // < 1 ms in 2^-32 s
    m_api = "send";
    m_socket->write(Sntp::makeRequest(m_sent));
    m_api = "Fd_Read";
}

void TIpSNTPClient::readReply()
{
    if (!m_socket)
        return;
    QByteArray datagram(65536, '\0');
    const qintptr handle = m_socket->socketDescriptor();
    const qint64 size = m_socket->read(datagram.data(), datagram.size());
    if (size < 0) {
        // A failed read (say, the server's port is closed) sets the socket's
        // error without always signalling it.
        reportSocketError(handle);
        return;
    }
    datagram.resize(int(size));
    closeSocket(); // one reply per query
    const int query = m_query;
    // Processed from the event queue, after this notice has been handled.
    QMetaObject::invokeMethod(this, [this, query, datagram] { processReply(query, datagram); }, Qt::QueuedConnection);
}

void TIpSNTPClient::processReply(int query, const QByteArray &datagram)
{
    if (query != m_query)
        return;
    const Sntp::Evaluation e = Sntp::evaluateReply(datagram, m_sent, m_t1, ntpNow());
    if (e.fault != Sntp::Fault::None) {
        emit OnFailure(this, sfInvalidReply, Sntp::faultText(e.fault));
        return;
    }
    const double timeStamp = Ntp::toDateTime(e.t3);
    const double offset = e.offsetMs();
    const double delay = e.delayMs();
    const int stratum = e.fields.stratum;
    if (!Sntp::exceedsThreshold(offset, m_syncThreshold)) {
        emit OnSNTPTime(this, timeStamp, offset, delay, stratum, false);
        return;
    }
    // Moved by the offset rather than set to T4 + offset: the system may
    // take a while to agree (authorisation), and a relative change stays
    // right however long that is.
    m_clock.setTime(e.offsetNanos / 1000, true, this,
                    [this, query, timeStamp, offset, delay, stratum](bool accepted, const QString &reason) {
                        if (query != m_query)
                            return;
                        if (accepted)
                            emit OnSNTPTime(this, timeStamp, offset, delay, stratum, true);
                        else
                            emit OnFailure(this, sfClockRefused,
                                           QStringLiteral("the clock could not be set")
                                               + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
                    });
}

void TIpSNTPClient::socketError()
{
    if (m_socket)
        reportSocketError(m_socket->socketDescriptor());
}

void TIpSNTPClient::reportSocketError(qintptr handle)
{
    const int code = int(m_socket->error());
    const QString text = QString::asprintf("WinSock Error (%d): %s, on API '%s'", code,
                                           qUtf8Printable(m_socket->errorString()), m_api);
    closeSocket();
    emit OnError(this, handle, code, text);
}
