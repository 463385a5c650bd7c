#include "ClockSettings.h"
#include "DateTime.h"

#include <algorithm>

namespace {

using S = ClockSettings;

// Values only a hand-edited file can hold. FadeSpeed divides the fade
// steps, so it is at least 1. A scale of 0 or below means no usable size
// and gives the default; above 16 (100 %) is shown at 16, not at a window
// of thousands of pixels; any sixteenth between is kept (10 is 62.5 %).
int atLeastOne(int v, int) { return std::max(1, v); }
int percent(int v, int) { return std::clamp(v, 0, 100); }
int usableScale(int v, int def) { return v > 0 ? std::min(v, kLargestSizeScale) : def; }

int readInt(const IniFile &ini, const QString &key, int def)
{
    return IniFile::parseInteger(ini.readString(kSettingsSection, key, QString()), def);
}

double readTime(const IniFile &ini, const QString &key, double def)
{
    double v = def;
    return ZDateTime::fromText(ini.readString(kSettingsSection, key, QString()), &v) ? v : def;
}

template <class... F> struct Overload : F... { using F::operator()...; };
template <class... F> Overload(F...) -> Overload<F...>;

} // namespace

const std::vector<SettingsKey> &settingsKeys()
{
    static const std::vector<SettingsKey> keys = {
        {"top", &S::top, 0},
        {"left", &S::left, 0},
        {"FadeEnabled", &S::FadeEnabled, true},
        {"AnimationEnabled", &S::AnimationEnabled, true},
        {"MaxTransparency", &S::MaxTransparency, 50, percent},
        {"FadeSpeed", &S::FadeSpeed, 40, atLeastOne},
        {"VoiceChime", &S::VoiceChime, false},
        {"MilTime", &S::MilTime, false},
        {"BellChime", &S::BellChime, false},
        {"CuckooChime", &S::CuckooChime, false},
        {"QuietTime", &S::QuietTime, false},
        {"QuietStart", &S::QuietStart, 22.0 / 24.0},
        {"QuietEnd", &S::QuietEnd, 6.0 / 24.0},
        {"ClockName", &S::ClockName, QString("Pocket Watch 001")},
        {"DialName", &S::DialName, QString("Dial 006")},
        {"HeadName", &S::HeadName, QString("Mopp 001")},
        {"BodyName", &S::BodyName, QString("Cowboy")},
        {"HandName", &S::HandName, QString("Cowboy 01")},
        {"Hue", &S::Hue, 0},
        {"redIntensity", &S::redIntensity, 100},
        {"greenIntensity", &S::greenIntensity, 100},
        {"blueIntensity", &S::blueIntensity, 100},
        {"SizeScale", &S::SizeScale, kLargestSizeScale, usableScale},
    };
    return keys;
}

ClockSettings::ClockSettings()
{
    for (const SettingsKey &k : settingsKeys())
        std::visit([&](auto member) { this->*member = std::get<std::decay_t<decltype(this->*member)>>(k.def); },
                   k.member);
}

ClockSettings readClockSettings(const IniFile &ini)
{
    // Reading has no effect beyond the values: the main window applies
    // them (position, skins, tint, scale) in its own order.
    ClockSettings s;
    for (const SettingsKey &k : settingsKeys()) {
        const QString key = k.key;
        std::visit(Overload{
                       [&](bool S::*m) { s.*m = readInt(ini, key, std::get<bool>(k.def) ? 1 : 0) != 0; },
                       [&](int S::*m) {
                           const int def = std::get<int>(k.def);
                           const int v = readInt(ini, key, def);
                           s.*m = k.clamp ? k.clamp(v, def) : v;
                       },
                       [&](double S::*m) { s.*m = readTime(ini, key, std::get<double>(k.def)); },
                       [&](QString S::*m) { s.*m = ini.readString(kSettingsSection, key, std::get<QString>(k.def)); },
                   },
                   k.member);
    }
    return s;
}

void writeClockSettings(IniFile &ini, const ClockSettings &s)
{
    for (const SettingsKey &k : settingsKeys()) {
        const QString text = std::visit(Overload{
                                            [&](bool S::*m) { return QString(s.*m ? "1" : "0"); },
                                            [&](int S::*m) { return QString::number(s.*m); },
                                            [&](double S::*m) { return ZDateTime::toText(s.*m); },
                                            [&](QString S::*m) { return s.*m; },
                                        },
                                        k.member);
        ini.writeString(kSettingsSection, k.key, text);
    }
}

int fadeSpeedBarPosition(int fadeSpeed) { return 50 - fadeSpeed; }
int fadeSpeedFromBar(int barPosition) { return 50 - barPosition; }
