#include "AlarmSound.h"

#ifdef ZC_HAVE_MEDIAPLAYER
#include "TMediaPlayer.h"
#endif

namespace {

#ifdef ZC_HAVE_MEDIAPLAYER
class MediaPlayerSound : public AlarmSound
{
public:
    MediaPlayerSound()
    {
        connect(&MediaPlayer1, &TMediaPlayer::Notify, this, [this] { emit notify(); });
    }
    void open(const QString &fileName) override
    {
        MediaPlayer1.FileName = fileName;
        MediaPlayer1.DeviceType = TMediaPlayer::dtAutoSelect;
        MediaPlayer1.Open();
    }
    void play() override { MediaPlayer1.Play(); }
    void rewind() override { MediaPlayer1.Rewind(); }
    void stop() override { MediaPlayer1.Stop(); }
    bool isPlaying() const override { return MediaPlayer1.isPlaying(); }

private:
    TMediaPlayer MediaPlayer1;
};
#endif

// No player built in: alarms still show, silently.
class SilentSound : public AlarmSound
{
public:
    void open(const QString &) override {}
    void play() override {}
    void rewind() override {}
    void stop() override {}
    bool isPlaying() const override { return false; }
};

} // namespace

std::unique_ptr<AlarmSound> AlarmSound::create()
{
#ifdef ZC_HAVE_MEDIAPLAYER
    return std::make_unique<MediaPlayerSound>();
#else
    return std::make_unique<SilentSound>();
#endif
}

bool AlarmSound::hasMediaPlayer()
{
#ifdef ZC_HAVE_MEDIAPLAYER
    return true;
#else
    return false;
#endif
}
