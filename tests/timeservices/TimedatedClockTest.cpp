#include "LinuxSystemClock.h"
#include "TempFolder.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Stands in for systemd-timedated on a private bus: records what it is asked
// and, when told to, refuses as the real one does while NTP sync is on.
class FakeTimedate : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.timedate1")
public:
    struct Call
    {
        qlonglong usec;
        bool relative;
        bool interactive;
        bool interactiveAllowed;
    };
    QVector<Call> calls;
    bool refuse = false;

public slots:
    void SetTime(qlonglong usec, bool relative, bool interactive)
    {
        calls.push_back({usec, relative, interactive, message().isInteractiveAuthorizationAllowed()});
        if (refuse)
            sendErrorReply("org.freedesktop.timedate1.AutomaticTimeSyncEnabled", "Automatic time synchronization is enabled");
    }
};

// One private bus daemon for the whole suite, standing in for the system bus.
class TimedatedClock : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new TempFolder;
        folder->write("bus.conf", QString(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=%1bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)").arg(folder->path()).toUtf8());
        daemon = new QProcess;
        daemon->start("dbus-daemon", {"--nofork", "--print-address", "--config-file=" + folder->file("bus.conf")});
        if (!daemon->waitForReadyRead(10000))
            return;
        address = QString::fromUtf8(daemon->readLine()).trimmed();
        // Must happen before anything in this process asks for the system bus.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
    }

    static void TearDownTestSuite()
    {
        QDBusConnection::disconnectFromBus("fake-timedated");
        if (daemon) {
            daemon->kill();
            daemon->waitForFinished(5000);
        }
        delete daemon;
        delete folder;
        daemon = nullptr;
        folder = nullptr;
    }

    void SetUp() override
    {
        if (address.isEmpty())
            GTEST_SKIP() << "dbus-daemon did not start";
        QDBusConnection bus = QDBusConnection::connectToBus(address, "fake-timedated");
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(bus.registerService("org.freedesktop.timedate1"));
        ASSERT_TRUE(bus.registerObject("/org/freedesktop/timedate1", &service, QDBusConnection::ExportAllSlots));
    }

    void TearDown() override
    {
        QDBusConnection bus(QDBusConnection::connectToBus(address, "fake-timedated"));
        bus.unregisterObject("/org/freedesktop/timedate1");
        bus.unregisterService("org.freedesktop.timedate1");
    }

    struct Answer
    {
        bool accepted;
        QString reason;
    };

    Answer set(qint64 usec, bool relative)
    {
        std::optional<Answer> answer;
        clock.setTime(usec, relative, &context, [&](bool ok, const QString &why) { answer = Answer{ok, why}; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 20000));
        return answer.value_or(Answer{false, "no answer"});
    }

    static TempFolder *folder;
    static QProcess *daemon;
    static QString address;
    FakeTimedate service;
    LinuxSystemClock clock;
    QObject context;
};

TempFolder *TimedatedClock::folder = nullptr;
QProcess *TimedatedClock::daemon = nullptr;
QString TimedatedClock::address;

TEST_F(TimedatedClock, AsksTimedatedAndLetsTheDesktopAskTheUser)
{
    const Answer a = set(1200000, true);
    EXPECT_TRUE(a.accepted) << a.reason.toStdString();
    ASSERT_EQ(service.calls.size(), 1);
    EXPECT_EQ(service.calls[0].usec, 1200000);
    EXPECT_TRUE(service.calls[0].relative);
    EXPECT_TRUE(service.calls[0].interactive);
    EXPECT_TRUE(service.calls[0].interactiveAllowed);

    const qint64 when = QDateTime(QDate(2024, 5, 17), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch() * 1000;
    EXPECT_TRUE(set(when, false).accepted);
    ASSERT_EQ(service.calls.size(), 2);
    EXPECT_EQ(service.calls[1].usec, when);
    EXPECT_FALSE(service.calls[1].relative);
}

// A refusal is final: the clock is not then set some other way.
TEST_F(TimedatedClock, RefusalIsPassedOnWithTimedatedsReason)
{
    service.refuse = true;
    const Answer a = set(1200000, true);
    EXPECT_FALSE(a.accepted);
    EXPECT_EQ(a.reason, "Automatic time synchronization is enabled");
}

TEST(TimedatedErrors, OnlyAMissingTimedatedLeadsToSettingTheClockDirectly)
{
    struct Case
    {
        QDBusError error;
        bool unavailable;
    } cases[] = {
        {QDBusError(QDBusError::ServiceUnknown, "x"), true},
        {QDBusError(QDBusError::NoServer, "x"), true},
        {QDBusError(QDBusError::UnknownMethod, "x"), true},
        {QDBusError(QDBusError::AccessDenied, "x"), false},
        {QDBusError(QDBusError::NoReply, "x"), false},
        {QDBusError(QDBusError::Other, "x"), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LinuxSystemClock::timedatedUnavailable(c.error), c.unavailable) << c.error.name().toStdString();
}

} // namespace

#include "TimedatedClockTest.moc"
