#pragma once
#include <QObject>
#include <QString>

#include <memory>

// The alarm sound as the alarm windows use it: one file, played once at a
// time, with a notice when playback ends or is cut off. The program's media
// player stands behind it; without one the sound is silent.
class AlarmSound : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Opens the file (closing the one before); throws an exception whose
    // text names the file when it cannot be played.
    virtual void open(const QString &fileName) = 0;
    virtual void play() = 0;
    virtual void rewind() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

    // The program's media player, or a silent stand-in when none is built.
    static std::unique_ptr<AlarmSound> create();
    static bool hasMediaPlayer();

signals:
    // Playback ended or was interrupted. Delivered on the main thread after
    // the handler that caused it has returned.
    void notify();
};
