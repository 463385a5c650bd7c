#include "ClockFolder.h"
#include "ErrorReport.h"
#include "uClock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ErrorReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorReport::forgetShown();
        ErrorReport::setSink([this](const QString &t) {
            reports << t;
            if (whileOnScreen)
                whileOnScreen();
        });
    }
    void TearDown() override { ErrorReport::setSink(nullptr); }

    QStringList reports;
    std::function<void()> whileOnScreen; // runs while a box is "open"
};

void failWith(const char *text) { throw std::runtime_error(text); }

} // namespace

// A command the user repeats (Resize on a read-only folder, twice in a
// minute) answers every time; a step that repeats by itself is shown once,
// and again only after a quiet minute.
TEST_F(ErrorReportTest, CommandsAlwaysAnswerRepeatingStepsAreShownOnce)
{
    ErrorReport::guard([] { failWith("Cannot create file mask_fClock.bmp"); });
    ErrorReport::guard([] { failWith("Cannot create file mask_fClock.bmp"); });
    EXPECT_EQ(reports, QStringList({"Cannot create file mask_fClock.bmp", "Cannot create file mask_fClock.bmp"}));

    reports.clear();
    for (int i = 0; i < 5; ++i)
        ErrorReport::guardTick([] { failWith("tick failed"); });
    EXPECT_EQ(reports, QStringList({"tick failed"}));

    // What the tick keeps quiet, a command still says; what a command just
    // said, the tick does not say again.
    reports.clear();
    ErrorReport::guard([] { failWith("tick failed"); });
    ErrorReport::guard([] { failWith("said by a command"); });
    ErrorReport::guardTick([] { failWith("said by a command"); });
    ErrorReport::showTick("said by a command");
    EXPECT_EQ(reports, QStringList({"tick failed", "said by a command"}));

    // Other texts are not held back by the first one.
    reports.clear();
    ErrorReport::guardTick([] { failWith("another failure"); });
    ErrorReport::show("direct");
    ErrorReport::show("direct");
    EXPECT_EQ(reports, QStringList({"another failure", "direct", "direct"}));

    reports.clear();
    ErrorReport::forgetShown();
    ErrorReport::guardTick([] { failWith("tick failed"); });
    EXPECT_EQ(reports, QStringList({"tick failed"}));
}

// While a box is open its text is not opened a second time, from either
// kind of handler (the tick runs on inside a message box's loop).
TEST_F(ErrorReportTest, ATextOnScreenIsNotOpenedAgain)
{
    int nested = 0;
    whileOnScreen = [&] {
        if (nested++ > 0)
            return;
        ErrorReport::guardTick([] { failWith("open"); });
        ErrorReport::guard([] { failWith("open"); });
        ErrorReport::guard([] { failWith("other"); });
    };
    ErrorReport::guard([] { failWith("open"); });
    EXPECT_EQ(reports, QStringList({"open", "other"}));
}

TEST_F(ErrorReportTest, UnknownExceptionsAndSuccessfulHandlers)
{
    int ran = 0;
    ErrorReport::guard([&] { ++ran; });
    ErrorReport::guardTick([&] { ++ran; });
    EXPECT_EQ(ran, 2);
    EXPECT_TRUE(reports.isEmpty());
    ErrorReport::guard([] { throw 42; });
    ErrorReport::guard([] { throw 42; });
    EXPECT_EQ(reports, QStringList({"An unexpected error occurred.", "An unexpected error occurred."}));
}

// Events that reach the application's last guard: the user's own input
// answers like a command, anything else (painting, timers, sockets, mouse
// movement) is guarded against floods.
TEST_F(ErrorReportTest, UserInputIsToldFromEventsThatRepeat)
{
    const struct
    {
        QEvent::Type type;
        bool user;
    } cases[] = {
        {QEvent::MouseButtonPress, true}, {QEvent::MouseButtonRelease, true}, {QEvent::MouseButtonDblClick, true},
        {QEvent::KeyPress, true},         {QEvent::KeyRelease, true},         {QEvent::Shortcut, true},
        {QEvent::ContextMenu, true},      {QEvent::Wheel, true},              {QEvent::MouseMove, false},
        {QEvent::Timer, false},           {QEvent::Paint, false},             {QEvent::SockAct, false},
        {QEvent::WindowActivate, false},  {QEvent::MetaCall, false},          {QEvent::HoverMove, false},
    };
    for (const auto &c : cases) {
        const QEvent event(c.type);
        EXPECT_EQ(ErrorReport::isUserInput(event), c.user) << int(c.type);
    }
}

// The clock's own tick goes through the flood guard: a step that fails on
// every tick opens one box, not one every 200 ms.
TEST_F(ErrorReportTest, AFailingTickStepIsReportedOnce)
{
    ClockFolder folder;
    for (const char *table : {"Clock", "Dial", "Head", "Body", "Hand"})
        folder.addSkin(table, "Only");
    TfClock clock(folder.path());
    clock.FormActivate();
    ASSERT_TRUE(clock.StartupDone);
    ASSERT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    int ticks = 0;
    clock.alarmCheck = [&] {
        ++ticks;
        throw std::runtime_error("Alarm.db cannot be read");
    };
    clock.Timer1.setInterval(1);
    clock.Timer1.start();
    const QDeadlineTimer deadline(60000);
    while (ticks < 5 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    clock.Timer1.stop();
    clock.alarmCheck = nullptr;
    ASSERT_GE(ticks, 5);
    EXPECT_EQ(reports, QStringList({"Alarm.db cannot be read"}));
}
