#pragma once
#include "IniFile.h"

#include <QString>

#include <variant>
#include <vector>

// Everything the settings file keeps. The main window owns one and the
// dialogs edit it. The position and the tint belong to the window itself:
// here they are the values as read, and a save takes them from the window.
// Defaults and the rules for hand-edited values are in the key table
// (settingsKeys), not here.
struct ClockSettings
{
    ClockSettings();

    int top;
    int left;
    bool FadeEnabled;
    bool AnimationEnabled;
    bool VoiceChime;
    bool MilTime;
    bool BellChime;
    bool CuckooChime;
    bool QuietTime;
    // Times of day, fractions of a day (0.5 is noon).
    double QuietStart;
    double QuietEnd;
    int MaxTransparency;
    int FadeSpeed;
    QString ClockName;
    QString DialName;
    QString HeadName;
    QString BodyName;
    QString HandName;
    int Hue;
    int redIntensity;
    int greenIntensity;
    int blueIntensity;
    int SizeScale;
};

inline const QString kSettingsSection = "Path";
// The largest scale the Resize menu offers: 100 %.
constexpr int kLargestSizeScale = 16;

// One key of section "Path": the member that holds it, its default, and
// for integers the rule that brings a hand-edited value into a range the
// clock can run with (given the value read and the default).
struct SettingsKey
{
    using Member = std::variant<bool ClockSettings::*, int ClockSettings::*, double ClockSettings::*,
                                QString ClockSettings::*>;
    using Value = std::variant<bool, int, double, QString>;

    const char *key;
    Member member;
    Value def;
    int (*clamp)(int value, int def) = nullptr;
};

// Every key, in the order the file has always been written in.
const std::vector<SettingsKey> &settingsKeys();

// Reads every key; a missing key or unreadable text keeps the default, and
// clamped keys are brought into range.
ClockSettings readClockSettings(const IniFile &ini);

// Writes every key, each once, in the file's customary order. Lines the
// clock does not own stay as they are.
void writeClockSettings(IniFile &ini, const ClockSettings &s);

// The display options' speed bar runs the other way from FadeSpeed (a
// divisor: smaller is faster); the same rule turns either into the other.
int fadeSpeedBarPosition(int fadeSpeed);
int fadeSpeedFromBar(int barPosition);
