#pragma once
#include "SoundPlayer.h"

#include <QHash>
#include <QMetaObject>
#include <QStringList>

#include <stdexcept>

// A sound player whose sounds end only when the test says so. Lengths come
// from a table (file name -> ms); a file listed in `refused` cannot be
// opened and throws as the test chose.
class FakeSoundPlayer : public SoundPlayer
{
public:
    void open(const QString &fileName) override
    {
        cut();
        if (refused.contains(fileName))
            throw std::runtime_error(refused.value(fileName).toStdString());
        opened << fileName;
        current = fileName;
    }
    int length() const override { return lengths.value(current, 100); }
    void play() override
    {
        cut();
        playing = true;
        ++plays;
    }
    void rewind() override { cut(); }
    void stop() override { cut(); }
    bool isPlaying() const override { return playing; }

    // The sound in progress runs to its end.
    void finish() { cut(); }

    QHash<QString, int> lengths;
    QHash<QString, QString> refused; // file name -> the error's text
    QStringList opened;
    QString current;
    bool playing = false;
    int plays = 0;

private:
    void cut()
    {
        if (playing) {
            playing = false;
            later();
        }
    }
    // As the real player: the notice arrives after the caller has returned.
    void later()
    {
        QMetaObject::invokeMethod(this, [this] { emit notify(); }, Qt::QueuedConnection);
    }
};
