#include "MediaPlayerSound.h"

MediaPlayerSound::MediaPlayerSound()
{
    connect(&MediaPlayer1, &TMediaPlayer::Notify, this, [this] { emit notify(); });
}

void MediaPlayerSound::open(const QString &fileName)
{
    MediaPlayer1.FileName = fileName;
    MediaPlayer1.DeviceType = TMediaPlayer::dtAutoSelect;
    MediaPlayer1.Open();
    MediaPlayer1.TimeFormat = TMediaPlayer::tfMilliseconds;
}

std::unique_ptr<SoundPlayer> MediaPlayerSound::create()
{
    if (auto stand_in = SoundPlayer::fromTestFactory())
        return stand_in;
    return std::make_unique<MediaPlayerSound>();
}
