#pragma once
#include "IniFile.h"

#include <QString>

// Everything the settings file keeps, with its defaults.
struct ClockSettings
{
    int top = 0;
    int left = 0;
    bool FadeEnabled = true;
    bool AnimationEnabled = true;
    bool VoiceChime = false;
    bool MilTime = false;
    bool BellChime = false;
    bool CuckooChime = false;
    bool QuietTime = false;
    double QuietStart = 22.0 / 24.0;
    double QuietEnd = 6.0 / 24.0;
    int MaxTransparency = 50;
    int FadeSpeed = 40;
    QString ClockName = "Pocket Watch 001";
    QString DialName = "Dial 006";
    QString HeadName = "Mopp 001";
    QString BodyName = "Cowboy";
    QString HandName = "Cowboy 01";
    int Hue = 0;
    int redIntensity = 100;
    int greenIntensity = 100;
    int blueIntensity = 100;
    int SizeScale = 16;
};

inline const QString kSettingsSection = "Path";
// The largest scale the Resize menu offers: 100 %.
constexpr int kLargestSizeScale = 16;

// Reads every key of section "Path"; a missing key or unreadable text keeps
// the default. Values only a hand-edited file can hold are brought into a
// range the clock can run with: FadeSpeed below 1 becomes 1, SizeScale of 0
// or below becomes 16 and above 16 becomes 16, MaxTransparency outside
// 0..100 is clamped.
ClockSettings readClockSettings(const IniFile &ini);

// Writes every key, in the file's customary order.
void writeClockSettings(IniFile &ini, const ClockSettings &s);
