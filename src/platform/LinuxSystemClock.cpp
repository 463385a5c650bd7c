#include "LinuxSystemClock.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {
const char *const Service = "org.freedesktop.timedate1";
const char *const Path = "/org/freedesktop/timedate1";
const char *const Interface = "org.freedesktop.timedate1";
// Long enough for the user to answer the authorisation prompt.
constexpr int AuthorisationTimeoutMs = 5 * 60 * 1000;

void answerLater(QObject *context, const SystemClock::Done &done, bool accepted, const QString &reason)
{
    QTimer::singleShot(0, context, [done, accepted, reason] { done(accepted, reason); });
}
} // namespace

qint64 LinuxSystemClock::nowUnixNanos() const
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

bool LinuxSystemClock::timedatedUnavailable(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        return true;
    default:
        // Activation of a service that is not installed fails with these.
        return error.name().startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."))
            || error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}

void LinuxSystemClock::setTime(qint64 usec, bool relative, QObject *context, Done done)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        setDirectly(usec, relative, context, done);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("SetTime"));
    call << qlonglong(usec) << relative << true; // interactive: the desktop may ask the user
    call.setInteractiveAuthorizationAllowed(true);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, AuthorisationTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, usec, relative, context, done](QDBusPendingCallWatcher *) {
                         watcher->deleteLater();
                         const QDBusPendingReply<> reply = *watcher;
                         if (!reply.isError())
                             done(true, QString());
                         else if (timedatedUnavailable(reply.error()))
                             setDirectly(usec, relative, context, done);
                         else
                             done(false, reply.error().message());
                     });
}

void LinuxSystemClock::setDirectly(qint64 usec, bool relative, QObject *context, const Done &done)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    qint64 target = usec;
    if (relative)
        target += qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
    timespec ts{};
    ts.tv_sec = time_t(target / 1000000);
    ts.tv_nsec = long(target % 1000000) * 1000;
    if (ts.tv_nsec < 0) {
        ts.tv_nsec += 1000000000L;
        --ts.tv_sec;
    }
    if (clock_settime(CLOCK_REALTIME, &ts) == 0)
        answerLater(context, done, true, QString());
    else
        answerLater(context, done, false, QString::fromLocal8Bit(std::strerror(errno)));
}
