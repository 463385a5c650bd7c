#pragma once

// Sequencing state of the hourly chime and the spoken time, shared with the
// face animation. Owned by the main window; all zero or false at start.
struct ChimeState
{
    bool AnimationRunning = false;
    int AnimationFrame = 0;
    bool ChimeStriking = false;
    int StrikesLeft = 0;
    bool VoiceSpeaking = false;
    int VoiceStep = 0;
    int SpokenHour = 0;
    double SoundLength = 0.0;   // days
    double NextSoundTime = 0.0; // time of day
};

// What the hourly sequences read from the settings at each step.
struct ChimeSettings
{
    bool VoiceChime = false;
    bool MilTime = false;
    bool BellChime = false;
    bool CuckooChime = false;
};
