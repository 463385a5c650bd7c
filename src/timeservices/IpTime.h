#pragma once
#include "NtpTime.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <stdexcept>

#include <QUdpSocket>
class SystemClock;

class ESntpError : public std::runtime_error
{
public:
    explicit ESntpError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// One SNTP query at a time to a time server; sets the clock through the
// SystemClock when the server's time is off by more than SyncThreshold
// milliseconds. Every query ends in at most one of OnSNTPTime (a reply we
// believe), OnFailure (nothing usable, the clock change was refused, or no
// socket could be opened for the server's address) or OnError (a socket
// error); a server that never answers ends in nothing, and the caller
// decides when to give up.
class TIpSNTPClient : public QObject
{
    Q_OBJECT
public:
    // sfNoSocket: the server's name was looked up but no socket opens for
    // its address; the reason is InvalidSocketText, the error QueryTime
    // throws when that happens to an address given as such.
    enum TIpSNTPFailure { sfUnresolved, sfInvalidReply, sfClockRefused, sfNoSocket };
    Q_ENUM(TIpSNTPFailure)

    static const char *const InvalidSocketText; // "invalid udp socket"

    explicit TIpSNTPClient(SystemClock &clock, QObject *parent = nullptr);
    ~TIpSNTPClient() override;

    // "host" or "host:port" (port 123 when absent).
    QString Server() const { return m_server; }
    void setServer(const QString &server) { m_server = server; }
    // Milliseconds; 0 or less never sets the clock.
    int SyncThreshold() const { return m_syncThreshold; }
    void setSyncThreshold(int ms) { m_syncThreshold = ms; }

    // Starts a query and returns at once. A query still waiting is abandoned
    // and its socket closed. Throws ESntpError(InvalidSocketText) when the
    // socket for a server given by address cannot be opened.
    void QueryTime();
    // Abandons the query in progress, if any, and closes its socket.
    void Cancel();

    QUdpSocket *QuerySocket() const { return m_socket; }

signals:
    // TimeStamp: the server's transmit time as a UTC date-time value.
    // Synchronized: the clock was set and the system accepted it.
    void OnSNTPTime(TIpSNTPClient *Sender, double TimeStamp, double LocalOffset, double RoundTripDelay,
                    int Stratum, bool Synchronized);
    void OnError(TIpSNTPClient *Sender, qintptr Socket, int ErrCode, const QString &ErrStr);
    void OnFailure(TIpSNTPClient *Sender, TIpSNTPClient::TIpSNTPFailure Kind, const QString &Reason);

protected:
    // Looks a server name up with the system and hands the addresses found
    // (none when it fails) to lookedUp, later, on the main thread. Tests put
    // names here that the system's look-up cannot be made to give.
    virtual void lookUp(const QString &host, int query);
    // Opens the query's socket for the best address and sends the request;
    // a query since abandoned is dropped.
    void lookedUp(int query, const QList<QHostAddress> &addresses);

private:
    void openSocket(const QHostAddress &address);
    void sendRequest();
    void readReply();
    void processReply(int query, const QByteArray &datagram);
    void socketError();
    void reportSocketError(qintptr handle);
    void closeSocket();
    void fail(TIpSNTPFailure kind, const QString &reason);
    qint64 ntpNow() const;

    SystemClock &m_clock;
    QString m_server;
    int m_syncThreshold = 0;

    int m_query = 0;          // bumped by every query and Cancel: late answers are dropped
    int m_lookupId = -1;
    quint16 m_port = 0;
    QPointer<QUdpSocket> m_socket;
    const char *m_api = "connect";
    Ntp::Timestamp m_sent;    // transmit timestamp on the wire, with random low bits
    qint64 m_t1 = 0;          // our clock when sending, ns since 1900
};
