#pragma once
#include <QByteArray>
#include <QString>

// Small sound files written by the tests themselves, of exactly known length.
namespace SoundFiles {

// 16-bit mono PCM wave of the given length (a quiet tone, 8 kHz).
QByteArray wave(int ms);
// Type-0 MIDI file: one note held for the given length (500 ms a beat, 480 ticks a beat).
QByteArray midi(int ms);
// Writes bytes to folder + name, making the folders on the way.
void write(const QString &folder, const QString &name, const QByteArray &bytes);

} // namespace SoundFiles
