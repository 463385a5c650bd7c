#pragma once

#include <QString>

// SDL and SDL_mixer believe the numbers a sound file declares. These checks
// refuse, before SDL reads the file, what would make SDL divide by zero,
// read past the end or run for minutes. A file they cannot open passes:
// SDL then says why.

// A wave file as SDL_mixer reads it: "RIFF" or "WAVE" (any form type after
// it), or an AIFF "FORM". Every format chunk must declare 1 to 8 channels,
// a rate of 1 Hz to 768 kHz and, for a wave, a block size.
bool waveFormatUsable(const QString &fileName);

// A standard MIDI file: format 0 with one track or format 1 or 2 with some,
// ticks per beat or a real SMPTE frame rate, chunks that end inside the
// file, tracks that close.
bool midiHeaderUsable(const QString &fileName);
