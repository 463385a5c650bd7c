#pragma once
#include "ChimeState.h"

// The seven settings the chime options dialog edits. Times are fractions of
// a day (0.5 is noon).
struct ChimeOptions
{
    bool VoiceChime = false;
    bool MilTime = false;
    bool BellChime = false;
    bool CuckooChime = false;
    bool QuietTime = false;
    double QuietStart = 22.0 / 24.0;
    double QuietEnd = 6.0 / 24.0;

    ChimeSettings chimeSettings() const { return {VoiceChime, MilTime, BellChime, CuckooChime}; }
};
