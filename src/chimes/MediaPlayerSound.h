#pragma once
#include "SoundPlayer.h"
#include "TMediaPlayer.h"

#include <memory>

// The program's sound player: TMediaPlayer (SDL2_mixer) behind the sound
// seam the chimes and the alarms use.
class MediaPlayerSound : public SoundPlayer
{
public:
    MediaPlayerSound();

    void open(const QString &fileName) override;
    int length() const override { return MediaPlayer1.Length(); }
    void play() override { MediaPlayer1.Play(); }
    void rewind() override { MediaPlayer1.Rewind(); }
    void stop() override { MediaPlayer1.Stop(); }
    bool isPlaying() const override { return MediaPlayer1.isPlaying(); }

    // A test's stand-in when one is installed, else the program's player.
    static std::unique_ptr<SoundPlayer> create();

private:
    TMediaPlayer MediaPlayer1;
};
