#include "ChimePlayback.h"
#include "TMediaPlayer.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// The sounds the build puts into the program folder: every file the chime,
// the spoken time and the alarm list look for is there, opens, and is short.
namespace {

const QString Folder = QStringLiteral(ZC_CHIMES_PROGRAM_DIR "/");

TEST(SuppliedSounds, EveryVoiceAndChimeFileOpensAndIsShort)
{
    QStringList files = {"voice/timeis2ice.wav", "voice/oclock.wav", "voice/noon.wav", "voice/midnight.wav",
                         "voice/am.wav",         "voice/pm.wav",     "chimes/bigben_chime.wav",
                         "chimes/bigben_bell.wav", "chimes/click.wav", "chimes/cuckoo.wav"};
    for (int h = 0; h < 24; ++h) {
        files << "voice/" + ChimePlayback::hourFileName(h, false) << "voice/" + ChimePlayback::hourFileName(h, true);
    }
    files.removeDuplicates();
    ASSERT_EQ(files.size(), 10 + 12 + 24);
    TMediaPlayer player;
    for (const QString &f : files) {
        player.FileName = Folder + f;
        ASSERT_NO_THROW(player.Open()) << f.toStdString();
        EXPECT_GT(player.Length(), 50) << f.toStdString();
        EXPECT_LT(player.Length(), f.startsWith("chimes/bigben_chime") ? 15000 : 5000) << f.toStdString();
    }
}

TEST(SuppliedSounds, AlarmSoundsOfEveryKindOpen)
{
    const QStringList sounds = QDir(Folder + "sound").entryList({"*.wav", "*.mid", "*.mp3"}, QDir::Files);
    for (const char *ext : {".wav", ".mid", ".mp3"})
        EXPECT_FALSE(sounds.filter(ext).isEmpty()) << ext;
    TMediaPlayer player;
    for (const QString &f : sounds) {
        player.FileName = Folder + "sound/" + f;
        ASSERT_NO_THROW(player.Open()) << f.toStdString();
        EXPECT_GT(player.Length(), 500) << f.toStdString();
        EXPECT_LT(player.Length(), 10000) << f.toStdString();
    }
}

} // namespace
