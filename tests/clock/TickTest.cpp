#include "ClockFolder.h"
#include "DateTime.h"
#include "ErrorReport.h"
#include "SoundFiles.h"
#include "uClock.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const int TuneMs = 1000, BellMs = 300, VoiceMs = 400;

// The clock's own tick driven step by step on a simulated time, with an
// alarm step that can hold the tick the way an open alarm message does.
class Tick : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ErrorReport::forgetShown();
        ErrorReport::setSink([this](const QString &t) { reports << t; });
        const QString f = folder.path();
        SoundFiles::write(f, "chimes/bigben_chime.wav", SoundFiles::wave(TuneMs));
        SoundFiles::write(f, "chimes/bigben_bell.wav", SoundFiles::wave(BellMs));
        SoundFiles::write(f, "voice/timeis2ice.wav", SoundFiles::wave(VoiceMs));
        SoundFiles::write(f, "voice/hour7.wav", SoundFiles::wave(VoiceMs));
        ZDateTime::setNowProvider([this] { return now; });
    }
    void TearDown() override
    {
        ZDateTime::setNowProvider(nullptr);
        ErrorReport::setSink(nullptr);
    }

    // A clock started with the settings given, its timer stopped: the test ticks.
    std::unique_ptr<TfClock> start(const QByteArray &ini)
    {
        folder.writeSettings(ini);
        auto clock = std::make_unique<TfClock>(folder.path());
        clock->FormActivate();
        clock->Timer1.stop();
        clock->alarmCheck = [this] {
            now = now.addMSecs(holdMs);
            holdMs = 0;
        };
        clock->Chimes->SoundStarted = [this](const QString &path) { started << QFileInfo(path).fileName(); };
        return clock;
    }

    void tickAt(TfClock &clock, QTime t, int alarmHoldsMs = 0)
    {
        now = QDateTime(QDate(2024, 3, 5), t);
        holdMs = alarmHoldsMs;
        clock.Timer1Timer();
    }

    ClockFolder folder;
    QDateTime now;
    int holdMs = 0;
    QStringList started;
    QStringList reports;
};

} // namespace

// An alarm message open over the full hour's second: the rest of the tick
// sees the time the message closed, not the time the tick began.
TEST_F(Tick, AnAlarmMessageOverTheFullHourSkipsThatHoursChimeAndVoice)
{
    struct Case
    {
        const char *name;
        QByteArray ini;
        int heldMs;
        QStringList expected;
    };
    const Case cases[] = {
        {"bell chime, message closed 30 s later", "[Path]\nBellChime=1\n", 30000, {}},
        {"spoken time, message closed 30 s later", "[Path]\nVoiceChime=1\n", 30000, {}},
        {"bell chime, message closed within the second", "[Path]\nBellChime=1\n", 400, {"bigben_chime.wav"}},
        {"spoken time, message closed within the second", "[Path]\nVoiceChime=1\n", 400, {"timeis2ice.wav"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        started.clear();
        auto clock = start(c.ini);
        tickAt(*clock, QTime(7, 0, 0), c.heldMs);
        EXPECT_EQ(started, c.expected);
        EXPECT_EQ(clock->Chime.ChimeStriking || clock->Chime.VoiceSpeaking, !c.expected.isEmpty());
    }
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
}

// The quiet window begins while the message is open: a strike that was due
// when the tick began does not sound inside it.
TEST_F(Tick, AQuietWindowBegunUnderAnAlarmMessageHoldsTheChime)
{
    auto clock = start("[Path]\nBellChime=1\nQuietTime=1\nQuietStart=07:00:10\nQuietEnd=08:00:00\n");
    tickAt(*clock, QTime(7, 0, 0));
    ASSERT_EQ(started, QStringList{"bigben_chime.wav"});
    tickAt(*clock, QTime(7, 0, 5), 25000);
    EXPECT_EQ(started, QStringList{"bigben_chime.wav"}) << "no strike at 07:00:30";
    EXPECT_EQ(clock->Chime.StrikesLeft, 7);
    // After the quiet window the chime goes on where it stood.
    tickAt(*clock, QTime(8, 0, 1));
    EXPECT_EQ(started, (QStringList{"bigben_chime.wav", "bigben_bell.wav"}));
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
}

// The tick plans its next wake-up from what is under way: the next whole
// second at rest (a few ms past it), the 200 ms step while the chime sounds. A tick the test
// drives leaves the stopped timer stopped.
TEST_F(Tick, PlansTheNextWakeUpFromWhatIsUnderWay)
{
    auto clock = start("[Path]\nBellChime=1\nFadeEnabled=0\n");
    struct Step
    {
        const char *name;
        QTime at;
        int intervalMs;
    };
    const Step steps[] = {
        {"at rest, a quarter past the second", QTime(6, 59, 58, 250), 755},
        {"at rest, just before the full hour", QTime(6, 59, 59, 990), 15},
        {"the chime has begun", QTime(7, 0, 0, 4), 200},
        {"the chime goes on", QTime(7, 0, 0, 204), 200},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        tickAt(*clock, s.at);
        EXPECT_EQ(clock->Timer1.interval(), s.intervalMs);
        EXPECT_FALSE(clock->Timer1.isActive());
    }
    EXPECT_EQ(started, QStringList{"bigben_chime.wav"});
}
