#include "ClockFolder.h"
#include "ErrorReport.h"
#include "IniFile.h"
#include "uClock.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

class Lifecycle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorReport::forgetShown();
        ErrorReport::setSink([this](const QString &t) { reports << t; });
        for (const char *n : {"Alpha Watch", "Pocket Watch 001"})
            folder.addSkin("Clock", n);
        folder.addSkin("Dial", "Dial 006");
        folder.addSkin("Head", "Mopp 001");
        folder.addSkin("Body", "Cowboy");
        folder.addSkin("Hand", "Cowboy 01");
    }
    void TearDown() override { ErrorReport::setSink(nullptr); }

    QString setting(const QString &key) { return IniFile(folder.file("ZindleClock.ini")).readString("Path", key, "?"); }

    ClockFolder folder;
    QStringList reports;
};

} // namespace

TEST_F(Lifecycle, FirstActivationOpensTablesReadsSettingsAndStartsTheTick)
{
    TfClock clock(folder.path());
    EXPECT_FALSE(clock.StartupDone);
    clock.FormActivate();
    EXPECT_TRUE(clock.StartupDone);
    EXPECT_TRUE(clock.Timer1.isActive());
    EXPECT_EQ(clock.AppVersion, 100);
    EXPECT_EQ(clock.pos(), QPoint(0, 0));
    EXPECT_EQ(clock.Settings.ClockName, "Pocket Watch 001");
    EXPECT_EQ(clock.ClockRecNo, 2);
    for (TTable *t : clock.tables())
        EXPECT_TRUE(t->Active()) << t->TableName().toStdString();

    // Later activations change nothing: the cursor a dialog left stays.
    clock.tblClock.First();
    clock.FormActivate();
    EXPECT_EQ(clock.tblClock.RecNo(), 1);
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(Lifecycle, RemovedSkinNameIsReplacedByTheRecordShown)
{
    folder.writeSettings("[Path]\nClockName=Gone Watch\nleft=40\ntop=30\n");
    TfClock clock(folder.path());
    clock.FormActivate();
    EXPECT_EQ(clock.Settings.ClockName, "Alpha Watch");
    EXPECT_EQ(clock.ClockRecNo, 1);
    EXPECT_EQ(clock.pos(), QPoint(40, 30));
    clock.SaveSettings();
    EXPECT_EQ(setting("ClockName"), "Alpha Watch");
    EXPECT_EQ(setting("left"), "40");
}

TEST_F(Lifecycle, AMissingTableStopsTheActivationUntilItIsBack)
{
    QFile::rename(folder.file("Time.db"), folder.file("Time.away"));
    TfClock clock(folder.path());
    EXPECT_THROW(clock.FormActivate(), std::exception);
    EXPECT_FALSE(clock.StartupDone);
    EXPECT_FALSE(clock.Timer1.isActive());

    // Closing now must not write default settings over the user's file.
    folder.writeSettings("[Path]\nFadeSpeed=12\n");
    clock.FormClose();
    EXPECT_EQ(setting("FadeSpeed"), "12");
    EXPECT_EQ(setting("top"), "?");

    QFile::rename(folder.file("Time.away"), folder.file("Time.db"));
    clock.FormActivate();
    EXPECT_TRUE(clock.StartupDone);
    EXPECT_EQ(clock.Settings.FadeSpeed, 12);
}

TEST_F(Lifecycle, ErrorsFromAnActivatingShowAreReportedOnce)
{
    QFile::remove(folder.file("Skins.db"));
    TfClock clock(folder.path());
    clock.show();
    clock.hide();
    clock.show();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(folder.file("Skins.db"))) << reports[0].toStdString();
}

TEST_F(Lifecycle, CloseSavesAndCompactsOnlyAfterARemoval)
{
    {
        TfClock clock(folder.path());
        clock.FormActivate();
        clock.FormClose();
    }
    EXPECT_EQ(setting("ClockName"), "Pocket Watch 001");
    EXPECT_FALSE(QFile::exists(folder.file("Clock.bak")));

    TfClock clock(folder.path());
    clock.FormActivate();
    clock.SkinRemoved = true;
    clock.FormClose();
    for (const char *t : {"Clock", "Dial", "Hand", "Body", "Head", "Alarm", "Alarm2", "Skins"})
        EXPECT_TRUE(QFile::exists(folder.file(QString(t) + ".bak"))) << t;
    EXPECT_FALSE(QFile::exists(folder.file("Product.bak")));
    EXPECT_FALSE(QFile::exists(folder.file("Time.bak")));
    EXPECT_TRUE(clock.tblTime.Active()) << "the time server table stays open";
    EXPECT_FALSE(clock.tblClock.Active());
}

TEST_F(Lifecycle, RefusedSettingsWriteIsReportedAndDoesNotStopTheClose)
{
    TfClock clock(folder.path());
    clock.FormActivate();
    // A folder where the file should be: the write is refused even for root.
    QDir(folder.path()).mkdir("ZindleClock.ini");
    try {
        clock.SaveSettings();
        FAIL() << "the save went through";
    } catch (const std::exception &e) {
        EXPECT_EQ(QString(e.what()), "Unable to write to " + folder.file("ZindleClock.ini"));
    }
    clock.FormClose();
    EXPECT_EQ(reports, QStringList({"Unable to write to " + folder.file("ZindleClock.ini")}));
    EXPECT_FALSE(clock.Timer1.isActive());
}

TEST_F(Lifecycle, EmptySkinTableKeepsTheNameFromTheFile)
{
    ClockFolder bare;
    for (const char *t : {"Clock", "Dial", "Head", "Body"})
        bare.addSkin(t, "x");
    bare.writeSettings("[Path]\nHandName=My Hands\n");
    TfClock clock(bare.path());
    clock.FormActivate();
    EXPECT_EQ(clock.HandRecNo, 0);
    clock.SaveSettings();
    EXPECT_EQ(IniFile(bare.file("ZindleClock.ini")).readString("Path", "HandName", ""), "My Hands");
}

// A position saved on a monitor that is gone: the clock comes back onto the
// screen; a position with any part on the screen is kept as it is.
TEST_F(Lifecycle, APositionOffEveryScreenComesBackAndAVisibleOneIsKept)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case { QByteArray settings; bool kept; };
    const Case cases[] = {
        {"top=-5000\nleft=90000\n", false},
        {"top=-5000\nleft=100\n", false},
        {"top=2147483647\nleft=-2147483648\n", false},
        {"top=-20\nleft=-30\n", true},
        {"top=" + QByteArray::number(screen.bottom()) + "\nleft=" + QByteArray::number(screen.right()) + "\n", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.settings.toStdString());
        folder.writeSettings("[Path]\n" + c.settings);
        const IniFile saved(folder.file("ZindleClock.ini"));
        const QPoint savedAt(IniFile::parseInteger(saved.readString("Path", "left", ""), 0),
                             IniFile::parseInteger(saved.readString("Path", "top", ""), 0));
        TfClock clock(folder.path());
        clock.FormActivate();
        ASSERT_TRUE(clock.StartupDone);
        if (c.kept) {
            EXPECT_EQ(clock.pos(), savedAt);
        } else {
            EXPECT_TRUE(screen.contains(QRect(clock.pos(), clock.size()))) << clock.x() << "," << clock.y();
            // The position shown is the one written next.
            clock.SaveSettings();
            EXPECT_EQ(setting("left").toInt(), clock.x());
            EXPECT_EQ(setting("top").toInt(), clock.y());
        }
    }
}
