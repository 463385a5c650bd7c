#include "ClockFolder.h"
#include "ErrorReport.h"
#include "IniFile.h"
#include "SessionEnd.h"
#include "uClock.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

class SessionEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorReport::forgetShown();
        ErrorReport::setSink([this](const QString &t) { reports << t; });
        folder.addSkin("Clock", "Watch");
        folder.writeSettings("[Path]\nleft=10\ntop=10\n");
    }
    void TearDown() override { ErrorReport::setSink(nullptr); }

    QString setting(const QString &key) { return IniFile(folder.file("ZindleClock.ini")).readString("Path", key, "?"); }

    ClockFolder folder;
    QStringList reports;
};

enum class While { Idle, Hidden, DialogOpen, BoxOverDialog };

} // namespace

// A signal ends the clock the way Exit does, whatever runs at that moment:
// modal windows are left through their own close, the settings are written.
TEST_F(SessionEndTest, SignalsEndTheClockAsExitDoes)
{
    struct Case
    {
        const char *name;
        int signal;
        While what;
    };
    const Case cases[] = {
        {"SIGINT, idle", SIGINT, While::Idle},
        {"SIGHUP, hidden in the tray", SIGHUP, While::Hidden},
        {"SIGTERM, a dialog open", SIGTERM, While::DialogOpen},
        {"SIGTERM, a message box over a dialog", SIGTERM, While::BoxOverDialog},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TfClock clock(folder.path());
        clock.show();
        ASSERT_TRUE(clock.StartupDone);
        clock.move(37, 59);
        new SessionEnd(clock);
        if (c.what == While::Hidden)
            clock.hide();

        // The test's loop stands for the program's main loop.
        QEventLoop main;
        bool closed = false;
        QObject::connect(&clock, &TfClock::closed, &main, [&] {
            closed = true;
            main.quit();
        });
        QTimer::singleShot(60000, &main, &QEventLoop::quit);
        int dialogResult = -1, boxResult = -1;
        QTimer::singleShot(0, &main, [&] {
            std::raise(c.signal);
            if (c.what == While::DialogOpen || c.what == While::BoxOverDialog) {
                QDialog dialog(&clock);
                if (c.what == While::BoxOverDialog)
                    QTimer::singleShot(0, &dialog, [&] {
                        QMessageBox box(QMessageBox::Question, "Zindle Clock", "Go on?",
                                        QMessageBox::Yes | QMessageBox::No, &dialog);
                        boxResult = box.exec();
                    });
                dialogResult = dialog.exec();
            }
        });
        main.exec();

        EXPECT_TRUE(closed) << "the clock did not end";
        EXPECT_FALSE(clock.Timer1.isActive());
        EXPECT_EQ(setting("left"), "37");
        EXPECT_EQ(setting("top"), "59");
        if (c.what == While::DialogOpen || c.what == While::BoxOverDialog) {
            EXPECT_EQ(dialogResult, QDialog::Rejected);
        }
        if (c.what == While::BoxOverDialog) {
            EXPECT_NE(boxResult, -1) << "the box was left";
        }
        folder.writeSettings("[Path]\nleft=10\ntop=10\n");
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
}

// The session manager's save request writes the settings and ends nothing.
TEST_F(SessionEndTest, SaveRequestOfTheSessionWritesTheSettings)
{
    TfClock clock(folder.path());
    clock.show();
    ASSERT_TRUE(clock.StartupDone);
    clock.move(41, 43);
    auto *end = new SessionEnd(clock);
    end->saveForSession();
    EXPECT_EQ(setting("left"), "41");
    EXPECT_EQ(setting("top"), "43");
    EXPECT_TRUE(clock.Timer1.isActive());
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    // Both requests of the session manager reach it (a connection that
    // existed is the one removed).
    EXPECT_TRUE(QObject::disconnect(qApp, &QGuiApplication::commitDataRequest, end, &SessionEnd::saveForSession));
    EXPECT_TRUE(QObject::disconnect(qApp, &QGuiApplication::saveStateRequest, end, &SessionEnd::saveForSession));
}
