#include "MappedFiles.h"
#include "SoundFiles.h"
#include "TMediaPlayer.h"
#include "TempFolder.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct LengthCase
{
    const char *name;
    QByteArray (*make)();
    int trueMs;
};

void PrintTo(const LengthCase &c, std::ostream *os) { *os << c.name; }

QByteArray wav1234() { return SoundFiles::wave(1234); }
QByteArray mid1000() { return SoundFiles::midi(1000); }
QByteArray mid2500() { return SoundFiles::midi(2500); }
QByteArray mp31500()
{
    QFile f(QStringLiteral(ZC_CHIMES_TEST_DATA "tone1500.mp3"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class PlayerLength : public ::testing::TestWithParam<LengthCase>
{
};

TEST_P(PlayerLength, LengthWithin50msOfTrueLength)
{
    TempFolder folder;
    const LengthCase c = GetParam();
    const QByteArray bytes = c.make();
    ASSERT_FALSE(bytes.isEmpty());
    SoundFiles::write(folder.path(), c.name, bytes);
    TMediaPlayer player;
    player.FileName = folder.file(c.name);
    player.Open();
    EXPECT_NEAR(player.Length(), c.trueMs, 50) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Files, PlayerLength,
                         ::testing::Values(LengthCase{"a.wav", wav1234, 1234}, LengthCase{"b.mp3", mp31500, 1500},
                                           LengthCase{"c.mid", mid1000, 1000}, LengthCase{"d.MID", mid2500, 2500}),
                         [](const auto &info) { return std::string(1, info.param.name[0]); });

TEST(Player, OpenClosesThePreviousFileAndTakesTheNewLength)
{
    TempFolder folder;
    SoundFiles::write(folder.path(), "long.wav", SoundFiles::wave(900));
    SoundFiles::write(folder.path(), "short.wav", SoundFiles::wave(300));
    TMediaPlayer player;
    player.FileName = folder.file("long.wav");
    player.Open();
    player.Play();
    QSignalSpy spy(&player, &TMediaPlayer::Notify);
    player.FileName = folder.file("short.wav");
    player.Open();
    EXPECT_NEAR(player.Length(), 300, 5);
    EXPECT_FALSE(player.isPlaying());
    ASSERT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.at(0).at(0).value<TMediaPlayer::TMPNotifyValues>(), TMediaPlayer::nvAborted);
}

// The clock runs all day, mostly silent: SDL_mixer and the forty libraries
// it brings are loaded by the first sound, not at start. A file refused
// before it reaches the mixer loads nothing either.
TEST(Player, TheSoundLibrariesLoadWithTheFirstSound)
{
    // CTest runs each case in its own process; run together, an earlier
    // case has loaded the libraries already.
    if (isMapped("libSDL2"))
        GTEST_SKIP() << "an earlier test in this process loaded SDL";
    TempFolder folder;
    SoundFiles::write(folder.path(), "tone.wav", SoundFiles::wave(100));
    TMediaPlayer player;
    player.FileName = folder.file("missing.wav");
    EXPECT_THROW(player.Open(), EMCIDeviceError);
    EXPECT_FALSE(isMapped("libSDL2_mixer")) << "before any sound";
    EXPECT_FALSE(isMapped("libSDL2-2.0"));
    player.FileName = folder.file("tone.wav");
    player.Open();
    EXPECT_NEAR(player.Length(), 100, 5);
    EXPECT_TRUE(isMapped("libSDL2_mixer"));
}

struct BadFile
{
    const char *name;
    QByteArray bytes; // empty: the file is not there
    const char *reason;
};

TEST(Player, FilesThatCannotOpenRaiseWithTheFileAndTheReason)
{
    QByteArray noChannels = SoundFiles::wave(200);
    noChannels.replace(22, 6, QByteArray(6, '\0')); // channels and sample rate 0
    QByteArray longTrack = SoundFiles::midi(500);
    longTrack[18] = char(0x7F); // the first track declares 2 GB
    // SDL reads a RIFF file as a wave whatever its form type says.
    QByteArray notWave = SoundFiles::wave(200);
    notWave.replace(8, 4, "AAVE");
    notWave[22] = 0;
    notWave[23] = char(0xFF); // 65280 channels, 0 in SDL's byte
    auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
    auto be = [](std::initializer_list<int> bytes) {
        QByteArray b;
        for (int x : bytes)
            b += char(x);
        return b;
    };
    // SDL skips an odd-sized chunk without its pad byte: the format chunk
    // it then reads (no channels) sits where the standard walk never looks.
    const QByteArray fmtNoChannels = QByteArray("fmt ") + le32(16) + be({1, 0, 0, 0}) + le32(44100) + le32(176400)
                                     + be({4, 0, 16, 0});
    const QByteArray oddChunk = QByteArray("RIFF") + le32(64) + "WAVE" + "junk" + le32(1) + "X" + fmtNoChannels
                                + "data" + le32(4) + QByteArray(4, '\0');
    // 64 Hz and a data chunk of nearly 1 GB: about 89 days by the header.
    QByteArray weeks = SoundFiles::wave(200);
    weeks.replace(24, 4, le32(64));
    weeks.replace(28, 4, le32(128));
    weeks.replace(40, 4, le32(0x3b000040));
    // An AIFF with no channels at 44.1 kHz, under a wave's name.
    const QByteArray aiff = QByteArray("FORM") + be({0, 0, 0, 46}) + "AIFF" + "COMM" + be({0, 0, 0, 18, 0, 0})
                            + be({0, 0, 0, 2, 0, 16}) + be({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}) + "SSND"
                            + be({0, 0, 0, 12}) + QByteArray(12, '\0');
    const BadFile cases[] = {
        {"missing.wav", {}, "does not exist"},
        {"damaged.wav", QByteArray("RIFF\x10\x00\x00\x00WAVEjunkjunkjunk", 20), ""},
        {"noise.mp3", QByteArray(64, '\0'), ""},
        {"text.mid", QByteArray("not a midi file at all"), ""},
        {"tune.ogx", SoundFiles::wave(200), "no sound device"},
        // These two ended the process (a division by zero in SDL) or took
        // gigabytes (a track longer than the file) before they were refused.
        {"nochannels.wav", noChannels, "cannot be played"},
        {"longtrack.mid", longTrack, "damaged"},
        {"notwave.wav", notWave, "cannot be played"},
        {"oddchunk.wav", oddChunk, "cannot be played"},
        {"aiff.wav", aiff, "cannot be played"},
        {"weeks.wav", weeks, "more than 24 days"},
    };
    TempFolder folder;
    for (const BadFile &c : cases) {
        if (!c.bytes.isEmpty())
            SoundFiles::write(folder.path(), c.name, c.bytes);
        TMediaPlayer player;
        player.FileName = folder.file(c.name);
        try {
            player.Open();
            ADD_FAILURE() << c.name << " opened";
        } catch (const EMCIDeviceError &e) {
            EXPECT_TRUE(e.text().contains(folder.file(c.name))) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(c.reason)) << e.text().toStdString();
        }
        EXPECT_FALSE(player.isOpen()) << c.name;
        EXPECT_THROW(player.Play(), EMCIDeviceError) << c.name;
    }
}

class PlayerNotice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SoundFiles::write(folder.path(), "beep.wav", SoundFiles::wave(300));
        SoundFiles::write(folder.path(), "tune.mid", SoundFiles::midi(400));
        player.FileName = folder.file("beep.wav");
        player.Open();
    }
    TMediaPlayer::TMPNotifyValues waitForNotice()
    {
        EXPECT_TRUE(spy.wait(5000));
        EXPECT_EQ(spy.count(), 1);
        return spy.isEmpty() ? TMediaPlayer::nvAborted : spy.takeFirst().at(0).value<TMediaPlayer::TMPNotifyValues>();
    }
    TempFolder folder;
    TMediaPlayer player;
    QSignalSpy spy{&player, &TMediaPlayer::Notify};
};

TEST_F(PlayerNotice, EndOfPlaybackIsNoticedOnceOnTheMainThread)
{
    for (const char *file : {"beep.wav", "tune.mid"}) {
        player.FileName = folder.file(file);
        player.Open();
        player.Play();
        EXPECT_TRUE(player.isPlaying());
        EXPECT_TRUE(spy.isEmpty()) << "the notice waits for the event loop";
        EXPECT_EQ(waitForNotice(), TMediaPlayer::nvSuccessful) << file;
        EXPECT_FALSE(player.isPlaying());
        QTest::qWait(100); // nothing may come now: a fixed wait is the test
        EXPECT_TRUE(spy.isEmpty()) << "a second notice for " << file;
    }
}

TEST_F(PlayerNotice, StopIsNoticedAsAborted)
{
    player.Play();
    player.Stop();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(waitForNotice(), TMediaPlayer::nvAborted);
    QTest::qWait(400); // nothing may come now: longer than the sound would have played
    EXPECT_TRUE(spy.isEmpty()) << "the stopped sound must not report its end later";
}

TEST_F(PlayerNotice, RewindAndPlayAgainFromTheNotice)
{
    // What a looping alarm sound does: every notice rewinds and plays again.
    int plays = 1;
    QObject::connect(&player, &TMediaPlayer::Notify, [&](TMediaPlayer::TMPNotifyValues v) {
        if (v == TMediaPlayer::nvSuccessful && plays < 3) {
            ++plays;
            player.Rewind();
            player.Play();
        }
    });
    player.Play();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(waitForNotice(), TMediaPlayer::nvSuccessful);
    EXPECT_EQ(plays, 3);
}

TEST_F(PlayerNotice, AnotherPlayerTakesTheStreamAndTheFirstIsNoticed)
{
    TMediaPlayer other;
    QSignalSpy otherSpy(&other, &TMediaPlayer::Notify);
    other.FileName = folder.file("tune.mid");
    other.Open();
    player.Play();
    other.Play();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(other.isPlaying());
    EXPECT_EQ(waitForNotice(), TMediaPlayer::nvAborted);
    ASSERT_TRUE(otherSpy.wait(5000));
    EXPECT_EQ(otherSpy.at(0).at(0).value<TMediaPlayer::TMPNotifyValues>(), TMediaPlayer::nvSuccessful);
}

TEST_F(PlayerNotice, DestroyingAPlayingPlayerSendsNothingAfterwards)
{
    {
        TMediaPlayer doomed;
        doomed.FileName = folder.file("beep.wav");
        doomed.Open();
        doomed.Play();
    }
    player.Play();
    EXPECT_EQ(waitForNotice(), TMediaPlayer::nvSuccessful);
}

// Without a sound device the player must still run, silent, with true
// lengths and notices. The sound system opens once per process, so the case
// runs in a child process that asks for a driver that does not exist.
TEST(Player, FallsBackToSilenceWithoutASoundDevice)
{
    if (qgetenv("SDL_AUDIODRIVER") == "no-such-device") {
        TempFolder folder;
        SoundFiles::write(folder.path(), "beep.wav", SoundFiles::wave(250));
        TMediaPlayer player;
        QSignalSpy spy(&player, &TMediaPlayer::Notify);
        player.FileName = folder.file("beep.wav");
        player.Open();
        EXPECT_TRUE(TMediaPlayer::silent());
        EXPECT_EQ(player.Length(), 250);
        player.Play();
        ASSERT_TRUE(spy.wait(5000));
        EXPECT_EQ(spy.at(0).at(0).value<TMediaPlayer::TMPNotifyValues>(), TMediaPlayer::nvSuccessful);
        return;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SDL_AUDIODRIVER", "no-such-device");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=Player.FallsBackToSilenceWithoutASoundDevice"});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

} // namespace
