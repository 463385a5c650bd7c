#pragma once
#include "EMCIDeviceError.h"

#include <QObject>
#include <QString>

struct _Mix_Music;

// One sound file at a time, played through SDL2_mixer: wave, MIDI (Timidity
// with freepats) and MP3, the decoder chosen by the file's extension.
//
// SDL_mixer has a single music stream, so of all players only one sounds at a
// time: playing on one player stops whatever another one was playing (that
// player gets its notice as aborted). The audio device is opened on the first
// Open, not before; when no sound device can be opened the player runs on
// SDL's dummy driver, silent but with true lengths and timing.
class TMediaPlayer : public QObject
{
    Q_OBJECT
public:
    enum TMPNotifyValues { nvSuccessful, nvAborted };
    Q_ENUM(TMPNotifyValues)

    enum TMPDeviceTypes { dtAutoSelect, dtWaveAudio, dtSequencer, dtMPEGAudio };
    Q_ENUM(TMPDeviceTypes)

    // Lengths and positions are always milliseconds.
    enum TMPTimeFormats { tfMilliseconds };
    Q_ENUM(TMPTimeFormats)

    explicit TMediaPlayer(QObject *parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName;
    // dtAutoSelect picks the device from the extension of FileName.
    TMPDeviceTypes DeviceType = dtAutoSelect;
    TMPTimeFormats TimeFormat = tfMilliseconds;

    // Closes the file open before (stopping it), then opens FileName and
    // reads its length. Raises EMCIDeviceError naming the file and the reason.
    void Open();
    void Close();
    bool isOpen() const { return m_music != nullptr; }

    // Length of the open file in milliseconds.
    int Length() const;
    // Starts playing from the current position and returns at once.
    void Play();
    // Back to the start of the file; a sound in progress stops.
    void Rewind();
    // Stops playing; the position stays where the sound was.
    void Stop();
    bool isPlaying() const;

    // True when the sound goes to SDL's dummy driver (no sound device).
    static bool silent();
    // Device chosen for a file name by its extension (dtAutoSelect if none fits).
    static TMPDeviceTypes deviceForFile(const QString &fileName);

signals:
    // End of playback, on the main thread: nvSuccessful when the sound ran
    // to its end, nvAborted when Stop, Rewind, Close or another sound cut it.
    void Notify(TMediaPlayer::TMPNotifyValues value);

private:
    friend class MixerDispatch;
    void finished(quint64 serial, TMPNotifyValues value);

    _Mix_Music *m_music = nullptr;
    QString m_openName;
    int m_length = 0;
    double m_position = 0.0; // seconds, where Play starts
    quint64 m_serial = 0;    // serial of this player's sound in progress, 0 when none
};
