#include "ChimePlayback.h"
#include "DateTime.h"
#include "SoundFiles.h"
#include "FakeSoundPlayer.h"
#include "MediaPlayerSound.h"
#include "TempFolder.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <vector>

namespace {

using ZDateTime::encodeDate;
using ZDateTime::encodeTime;

const int TickMs = 200;

// Lengths of the sound files the fixture writes, in milliseconds.
// None a multiple of the tick, so that no measured end falls on a tick.
const int TimeIsMs = 730, HourMs = 510, ClosingMs = 470, HalfMs = 330, HrsMs = 910;
const int ChimeTuneMs = 3050, BellMs = 1530, ClickMs = 170, CuckooMs = 610;

struct Started
{
    QString file; // name without folder
    double at;    // date-time of the tick that started it
};

// A program folder with every voice and chime file, the real player on the
// dummy driver, and a clock the test moves on by 200 ms ticks.
class Sequencing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString f = folder.path();
        SoundFiles::write(f, "voice/timeis2ice.wav", SoundFiles::wave(TimeIsMs));
        for (int h = 1; h <= 12; ++h)
            SoundFiles::write(f, QString("voice/hour%1.wav").arg(h), SoundFiles::wave(HourMs));
        for (int h = 0; h < 24; ++h)
            SoundFiles::write(f, QString("voice/%1hrs.wav").arg(h * 100, 4, 10, QChar('0')), SoundFiles::wave(HrsMs));
        for (const char *n : {"oclock", "noon", "midnight"})
            SoundFiles::write(f, QString("voice/%1.wav").arg(n), SoundFiles::wave(ClosingMs));
        for (const char *n : {"am", "pm"})
            SoundFiles::write(f, QString("voice/%1.wav").arg(n), SoundFiles::wave(HalfMs));
        SoundFiles::write(f, "chimes/bigben_chime.wav", SoundFiles::wave(ChimeTuneMs));
        SoundFiles::write(f, "chimes/bigben_bell.wav", SoundFiles::wave(BellMs));
        SoundFiles::write(f, "chimes/click.wav", SoundFiles::wave(ClickMs));
        SoundFiles::write(f, "chimes/cuckoo.wav", SoundFiles::wave(CuckooMs));

        playback.Settings = [this] { return settings; };
        playback.AnimationFlag = [this] { return animationFlag; };
        playback.ErrorReport = [this](const QString &m) { errors.push_back(m); };
        playback.SoundStarted = [this](const QString &path) {
            started.push_back({QFileInfo(path).fileName(), now});
        };
    }

    static double at(int h, int m, int s, int ms = 0, int day = 0)
    {
        return encodeDate(2024, 3, 5) + day + encodeTime(h, m, s, ms);
    }

    // Ticks every 200 ms from the start for the given time.
    void run(double start, int ms)
    {
        for (int t = 0; t <= ms; t += TickMs) {
            now = start + t / ZDateTime::MsPerDay;
            playback.Tick(now);
        }
    }

    std::vector<QString> files() const
    {
        std::vector<QString> names;
        for (const Started &s : started)
            names.push_back(s.file);
        return names;
    }

    int count(const QString &file) const
    {
        int n = 0;
        for (const Started &s : started)
            n += s.file == file;
        return n;
    }

    TempFolder folder;
    MediaPlayerSound player;
    ChimeState state;
    ChimePlayback playback{state, player, folder.path()};
    ChimeSettings settings;
    bool animationFlag = true;
    double now = 0;
    std::vector<Started> started;
    std::vector<QString> errors;
};

struct VoiceCase
{
    int hour;
    bool milTime;
    std::vector<QString> files;
};

void PrintTo(const VoiceCase &c, std::ostream *os) { *os << c.hour << (c.milTime ? "h24" : "h12"); }

class Voice : public Sequencing, public ::testing::WithParamInterface<VoiceCase>
{
};

TEST_P(Voice, SpeaksTheHourFilesInOrderEachAfterThePreviousEnd)
{
    const VoiceCase c = GetParam();
    settings.VoiceChime = true;
    settings.MilTime = c.milTime;
    run(at(c.hour, 0, 0, 40), 8000);

    EXPECT_EQ(files(), c.files);
    EXPECT_FALSE(state.VoiceSpeaking);
    EXPECT_EQ(state.VoiceStep, c.milTime ? 2 : 4);
    EXPECT_EQ(state.SpokenHour, c.hour);
    EXPECT_FALSE(state.AnimationRunning) << "the voice never starts the animation";
    EXPECT_TRUE(errors.empty());
    // Each file starts on the first tick after the previous file's measured end.
    auto length = [](const QString &f) {
        return f == "timeis2ice.wav" ? TimeIsMs
               : f.startsWith("hour")  ? HourMs
               : f.endsWith("hrs.wav") ? HrsMs
               : f == "am.wav" || f == "pm.wav" ? HalfMs
                                                 : ClosingMs;
    };
    for (size_t i = 1; i < started.size(); ++i) {
        const double gapMs = (started[i].at - started[i - 1].at) * ZDateTime::MsPerDay - length(started[i - 1].file);
        EXPECT_GT(gapMs, 0) << started[i].file.toStdString();
        EXPECT_LE(gapMs, TickMs + 1) << started[i].file.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hours, Voice,
    ::testing::Values(VoiceCase{13, false, {"timeis2ice.wav", "hour1.wav", "oclock.wav", "pm.wav"}},
                      VoiceCase{11, false, {"timeis2ice.wav", "hour11.wav", "oclock.wav", "am.wav"}},
                      VoiceCase{12, false, {"timeis2ice.wav", "hour12.wav", "noon.wav"}},
                      VoiceCase{0, false, {"timeis2ice.wav", "hour12.wav", "midnight.wav"}},
                      VoiceCase{0, true, {"timeis2ice.wav", "0000hrs.wav"}},
                      VoiceCase{9, true, {"timeis2ice.wav", "0900hrs.wav"}},
                      VoiceCase{21, true, {"timeis2ice.wav", "2100hrs.wav"}}),
    [](const auto &info) {
        return std::to_string(info.param.hour) + (info.param.milTime ? "h24" : "h12");
    });

TEST(VoiceFileNames, TwelveAndTwentyFourHourForms)
{
    const struct
    {
        int hour;
        const char *h12, *h24;
    } cases[] = {{0, "hour12.wav", "0000hrs.wav"}, {1, "hour1.wav", "0100hrs.wav"}, {7, "hour7.wav", "0700hrs.wav"},
                 {12, "hour12.wav", "1200hrs.wav"}, {13, "hour1.wav", "1300hrs.wav"}, {23, "hour11.wav", "2300hrs.wav"}};
    for (const auto &c : cases) {
        EXPECT_EQ(ChimePlayback::hourFileName(c.hour, false), c.h12) << c.hour;
        EXPECT_EQ(ChimePlayback::hourFileName(c.hour, true), c.h24) << c.hour;
    }
}

struct ChimeCase
{
    int hour;
    bool cuckoo;
    bool animationFlag;
    int strikes;
};

void PrintTo(const ChimeCase &c, std::ostream *os) { *os << c.hour << (c.cuckoo ? "cuckoo" : "bells"); }

class Chime : public Sequencing, public ::testing::WithParamInterface<ChimeCase>
{
};

TEST_P(Chime, StrikesTheHourInTwelveHourFormAfterTheFirstSound)
{
    const ChimeCase c = GetParam();
    settings.BellChime = true;
    settings.CuckooChime = c.cuckoo;
    animationFlag = c.animationFlag;
    const QString first = c.cuckoo ? "click.wav" : "bigben_chime.wav";
    const QString strike = c.cuckoo ? "cuckoo.wav" : "bigben_bell.wav";

    now = at(c.hour, 0, 0, 120);
    playback.Tick(now);
    ASSERT_EQ(files(), std::vector<QString>{first});
    EXPECT_TRUE(state.ChimeStriking);
    EXPECT_EQ(state.StrikesLeft, c.strikes);
    EXPECT_EQ(state.AnimationFrame, -99);
    EXPECT_EQ(state.AnimationRunning, c.animationFlag);
    EXPECT_EQ(playback.strikeFile(), folder.file("chimes/" + strike)) << "the strike file is named, not opened";

    // A strike restarts the animation; the test plays the animation's part
    // by moving the counter on between ticks.
    for (int t = TickMs; t <= 25000; t += TickMs) {
        state.AnimationFrame = 5;
        const size_t before = started.size();
        now = at(c.hour, 0, 0, 120 + t);
        playback.Tick(now);
        if (started.size() > before)
            EXPECT_EQ(state.AnimationFrame, 0);
        else
            EXPECT_EQ(state.AnimationFrame, 5);
    }
    EXPECT_EQ(count(strike), c.strikes);
    EXPECT_EQ(int(started.size()), c.strikes + 1);
    EXPECT_FALSE(state.ChimeStriking);
    EXPECT_EQ(state.StrikesLeft, 0);
    EXPECT_EQ(state.AnimationRunning, c.animationFlag) << "the animation step, not the chime, ends the run";

    // The first strike waits for the first sound: its length, four times for the click.
    ASSERT_GE(started.size(), 2u);
    const double waitMs = (started[1].at - started[0].at) * ZDateTime::MsPerDay;
    const int expected = c.cuckoo ? 4 * ClickMs : ChimeTuneMs;
    EXPECT_GT(waitMs, expected);
    EXPECT_LE(waitMs, expected + TickMs + 1);
}

INSTANTIATE_TEST_SUITE_P(Hours, Chime,
                         ::testing::Values(ChimeCase{0, false, true, 12}, ChimeCase{12, false, true, 12},
                                           ChimeCase{13, false, false, 1}, ChimeCase{23, false, true, 11},
                                           ChimeCase{0, true, true, 12}, ChimeCase{13, true, false, 1}),
                         [](const auto &info) {
                             return std::to_string(info.param.hour) + (info.param.cuckoo ? "Cuckoo" : "Bells") +
                                    (info.param.animationFlag ? "Animated" : "Still");
                         });

TEST_F(Sequencing, NoTickInTheFullHourSecondGivesNoSound)
{
    settings.VoiceChime = true;
    now = at(12, 59, 59, 900);
    playback.Tick(now);
    // The timer stood still (an alarm message was open) until past 13:00:00.
    run(at(13, 0, 1, 0), 10000);
    settings = {false, false, true, false};
    run(at(14, 0, 1, 0), 10000);
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(state.VoiceSpeaking);
    EXPECT_FALSE(state.ChimeStriking);
}

TEST_F(Sequencing, SequenceShorterThanTheFullHourSecondStartsAgain)
{
    SoundFiles::write(folder.path(), "voice/timeis2ice.wav", SoundFiles::wave(100));
    SoundFiles::write(folder.path(), "voice/0900hrs.wav", SoundFiles::wave(100));
    settings.VoiceChime = true;
    settings.MilTime = true;
    run(at(9, 0, 0, 0), 3000);
    // 0.0 opens, 0.2 the hour, 0.4 ends, 0.6 starts anew, 0.8 the hour; then the second is over.
    EXPECT_EQ(files(), (std::vector<QString>{"timeis2ice.wav", "0900hrs.wav", "timeis2ice.wav", "0900hrs.wav"}));
    EXPECT_FALSE(state.VoiceSpeaking);
}

TEST_F(Sequencing, QuietTimeFreezesTheChimeUntilItsWindowEnds)
{
    settings.BellChime = true;
    run(at(22, 0, 0, 100), 3000); // the chime tune plays, no strike yet
    EXPECT_EQ(files(), std::vector<QString>{"bigben_chime.wav"});
    // Quiet from 22:00:03.200 to 06:00 the next morning: the tick skips the
    // chime step, so nothing moves.
    run(at(6, 0, 0, 0, 1), 400);
    EXPECT_EQ(files(), (std::vector<QString>{"bigben_chime.wav", "bigben_bell.wav"}))
        << "the frozen chime goes on when the quiet window is over, not on the next evening";
    EXPECT_EQ(state.StrikesLeft, 9);
    EXPECT_TRUE(state.ChimeStriking) << "and the 06:00 chime does not start over it";
}

TEST_F(Sequencing, FrozenWithinOneDayGoesOnWhenTheTimePassesTheMeasuredEnd)
{
    settings.VoiceChime = true;
    run(at(13, 0, 0, 100), 400); // "the time is" plays until 13:00:00.800
    const int step = state.VoiceStep;
    run(at(13, 30, 0, 0), 0);
    EXPECT_EQ(state.VoiceStep, step + 1);
    EXPECT_EQ(files(), (std::vector<QString>{"timeis2ice.wav", "hour1.wav"}));
}

TEST_F(Sequencing, BothChosenTheChimeAloneSounds)
{
    settings = {true, false, true, false};
    run(at(15, 0, 0, 50), 12000);
    EXPECT_EQ(files(), (std::vector<QString>{"bigben_chime.wav", "bigben_bell.wav", "bigben_bell.wav",
                                             "bigben_bell.wav"}));
    EXPECT_FALSE(state.VoiceSpeaking);
}

TEST_F(Sequencing, NeitherSequenceStartsOverTheOther)
{
    // The choice changes from voice to chime within the full-hour second.
    settings.VoiceChime = true;
    now = at(15, 0, 0, 50);
    playback.Tick(now);
    settings = {false, false, true, false};
    run(at(15, 0, 0, 250), 600);
    EXPECT_EQ(count("bigben_chime.wav"), 0);
    EXPECT_TRUE(state.VoiceSpeaking);
}

struct BrokenFile
{
    const char *file;
    bool damaged; // else missing
    bool milTime;
    bool bells;
    std::vector<QString> played;
};

void PrintTo(const BrokenFile &c, std::ostream *os) { *os << c.file; }

class Broken : public Sequencing, public ::testing::WithParamInterface<BrokenFile>
{
};

TEST_P(Broken, IsSkippedAndReportedOnceAndTheSequenceEnds)
{
    const BrokenFile c = GetParam();
    const QString path = folder.file(c.file);
    if (c.damaged)
        SoundFiles::write(folder.path(), c.file, QByteArray("RIFF\x24\x00\x00\x00WAVEdata", 16));
    else
        QFile::remove(path);
    settings.VoiceChime = !c.bells;
    settings.BellChime = c.bells;
    settings.MilTime = c.milTime;
    run(at(15, 0, 0, 0), 20000);

    EXPECT_EQ(files(), c.played);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].contains(path)) << errors[0].toStdString();
    EXPECT_FALSE(state.VoiceSpeaking);
    EXPECT_FALSE(state.ChimeStriking);

    // The same hour the next day reports again, once.
    run(at(15, 0, 0, 0, 1), 20000);
    EXPECT_EQ(errors.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Broken,
    ::testing::Values(BrokenFile{"voice/hour3.wav", false, false, false, {"timeis2ice.wav", "oclock.wav", "pm.wav"}},
                      BrokenFile{"voice/timeis2ice.wav", false, false, false, {"hour3.wav", "oclock.wav", "pm.wav"}},
                      BrokenFile{"voice/oclock.wav", true, false, false, {"timeis2ice.wav", "hour3.wav", "pm.wav"}},
                      BrokenFile{"voice/1500hrs.wav", true, true, false, {"timeis2ice.wav"}},
                      BrokenFile{"chimes/bigben_chime.wav", true, false, true,
                                 {"bigben_bell.wav", "bigben_bell.wav", "bigben_bell.wav"}},
                      BrokenFile{"chimes/bigben_bell.wav", false, false, true, {"bigben_chime.wav"}}),
    [](const auto &info) {
        QString n = QFileInfo(info.param.file).baseName();
        return (n + (info.param.damaged ? "Damaged" : "Missing")).toStdString();
    });

TEST_F(Sequencing, AFailedStrikeEndsAnAnimationStillWaitingForIt)
{
    QFile::remove(folder.file("chimes/cuckoo.wav"));
    settings = {false, false, true, true};
    run(at(2, 0, 0, 0), 2000);
    EXPECT_FALSE(state.ChimeStriking);
    EXPECT_FALSE(state.AnimationRunning);
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(Sequencing, AllVoiceFilesMissingReportsOnceAnHour)
{
    QDir(folder.file("voice")).removeRecursively();
    settings.VoiceChime = true;
    run(at(10, 0, 0, 0), 5000);
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_FALSE(state.VoiceSpeaking);
}

// Any player behind the seam: a refusal of any kind skips the file and is
// reported with the player's own text, and a sound's end is the length the
// player measured, not the time it took to play.
TEST(ChimeWithAnyPlayer, ARefusalIsReportedInThePlayersWordsAndTheStrikesEnd)
{
    FakeSoundPlayer player;
    ChimeState state;
    ChimePlayback playback{state, player, "/clock"};
    playback.Settings = [] { return ChimeSettings{false, false, true, false}; };
    std::vector<QString> errors;
    playback.ErrorReport = [&](const QString &m) { errors.push_back(m); };
    player.lengths["/clock/chimes/bigben_chime.wav"] = ChimeTuneMs;
    player.refused["/clock/chimes/bigben_bell.wav"] = "The sound device is busy: /clock/chimes/bigben_bell.wav";

    const double start = encodeDate(2024, 3, 5) + encodeTime(3, 0, 0, 0);
    auto tick = [&](int ms) { playback.Tick(start + ms / ZDateTime::MsPerDay); };
    tick(0);
    EXPECT_EQ(player.opened, QStringList{"/clock/chimes/bigben_chime.wav"});
    EXPECT_TRUE(player.isPlaying());
    // The stand-in never ends the tune by itself: the wait is its length.
    for (int ms = TickMs; ms <= 3000; ms += TickMs)
        ASSERT_NO_THROW(tick(ms));
    EXPECT_TRUE(errors.empty()) << "no strike before the tune's measured end";
    ASSERT_NO_THROW(tick(3200));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "The sound device is busy: /clock/chimes/bigben_bell.wav");
    EXPECT_EQ(state.StrikesLeft, 0) << "every strike would fail alike";
    for (int ms = 3400; ms <= 6000; ms += TickMs)
        tick(ms);
    EXPECT_FALSE(state.ChimeStriking);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(player.plays, 1);
}

} // namespace
