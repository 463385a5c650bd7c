#pragma once
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// One sound file, played once at a time, with a notice when playback ends or
// is cut off. A seam so that the chimes and the alarms share one way to
// sound, and tests can stand in for the sound device where they must know
// exactly when a sound ends.
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Opens the file (closing the one before); throws an exception derived
    // from std::exception whose text names the file when it cannot be played.
    virtual void open(const QString &fileName) = 0;
    // Length of the open file in milliseconds.
    virtual int length() const = 0;
    // Starts from the current position and returns at once.
    virtual void play() = 0;
    // Back to the start; a sound in progress stops.
    virtual void rewind() = 0;
    // Stops; the position stays where the sound was.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

    using Factory = std::function<std::unique_ptr<SoundPlayer>()>;
    // The test's stand-in, or null when none is installed (the caller then
    // makes the program's own player).
    static std::unique_ptr<SoundPlayer> fromTestFactory();
    // An empty factory brings back the program's player.
    static void setFactory(Factory factory);

signals:
    // Playback ended or was interrupted. Delivered on the main thread after
    // the handler that caused it has returned.
    void notify();
};
