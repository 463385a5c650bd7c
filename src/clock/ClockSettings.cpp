#include "ClockSettings.h"
#include "DateTime.h"

#include <algorithm>

namespace {

int readInt(const IniFile &ini, const QString &key, int def)
{
    return IniFile::parseInteger(ini.readString(kSettingsSection, key, QString()), def);
}

bool readBool(const IniFile &ini, const QString &key, bool def) { return readInt(ini, key, def ? 1 : 0) != 0; }

double readTime(const IniFile &ini, const QString &key, double def)
{
    double v = def;
    return ZDateTime::fromText(ini.readString(kSettingsSection, key, QString()), &v) ? v : def;
}

} // namespace

ClockSettings readClockSettings(const IniFile &ini)
{
    ClockSettings s;
    const ClockSettings d;
    s.top = readInt(ini, "top", d.top);
    s.left = readInt(ini, "left", d.left);
    s.FadeEnabled = readBool(ini, "FadeEnabled", d.FadeEnabled);
    s.AnimationEnabled = readBool(ini, "AnimationEnabled", d.AnimationEnabled);
    s.VoiceChime = readBool(ini, "VoiceChime", d.VoiceChime);
    s.MilTime = readBool(ini, "MilTime", d.MilTime);
    s.BellChime = readBool(ini, "BellChime", d.BellChime);
    s.CuckooChime = readBool(ini, "CuckooChime", d.CuckooChime);
    s.QuietTime = readBool(ini, "QuietTime", d.QuietTime);
    s.QuietStart = readTime(ini, "QuietStart", d.QuietStart);
    s.QuietEnd = readTime(ini, "QuietEnd", d.QuietEnd);
    s.MaxTransparency = std::clamp(readInt(ini, "MaxTransparency", d.MaxTransparency), 0, 100);
    s.FadeSpeed = std::max(1, readInt(ini, "FadeSpeed", d.FadeSpeed));
    s.ClockName = ini.readString(kSettingsSection, "ClockName", d.ClockName);
    s.DialName = ini.readString(kSettingsSection, "DialName", d.DialName);
    s.HeadName = ini.readString(kSettingsSection, "HeadName", d.HeadName);
    s.BodyName = ini.readString(kSettingsSection, "BodyName", d.BodyName);
    s.HandName = ini.readString(kSettingsSection, "HandName", d.HandName);
    s.Hue = readInt(ini, "Hue", d.Hue);
    s.redIntensity = readInt(ini, "redIntensity", d.redIntensity);
    s.greenIntensity = readInt(ini, "greenIntensity", d.greenIntensity);
    s.blueIntensity = readInt(ini, "blueIntensity", d.blueIntensity);
    // Like the other hand-edited values, a scale the menu never offers is
    // brought to the nearest one the clock can run with: 0 or below means
    // no usable size and gives the default, above 16 (100 %) is shown at
    // 16. Between them any sixteenth is kept (10 is 62.5 %).
    const int scale = readInt(ini, "SizeScale", d.SizeScale);
    s.SizeScale = scale > 0 ? std::min(scale, kLargestSizeScale) : d.SizeScale;
    return s;
}

void writeClockSettings(IniFile &ini, const ClockSettings &s)
{
    auto put = [&](const QString &key, const QString &value) { ini.writeString(kSettingsSection, key, value); };
    auto putInt = [&](const QString &key, int v) { put(key, QString::number(v)); };
    auto putBool = [&](const QString &key, bool v) { put(key, v ? "1" : "0"); };
    putInt("top", s.top);
    putInt("left", s.left);
    putBool("FadeEnabled", s.FadeEnabled);
    putBool("AnimationEnabled", s.AnimationEnabled);
    putInt("MaxTransparency", s.MaxTransparency);
    putInt("FadeSpeed", s.FadeSpeed);
    putBool("VoiceChime", s.VoiceChime);
    putBool("MilTime", s.MilTime);
    putBool("BellChime", s.BellChime);
    putBool("CuckooChime", s.CuckooChime);
    putBool("QuietTime", s.QuietTime);
    put("QuietStart", ZDateTime::toText(s.QuietStart));
    put("QuietEnd", ZDateTime::toText(s.QuietEnd));
    put("ClockName", s.ClockName);
    put("DialName", s.DialName);
    put("HeadName", s.HeadName);
    put("BodyName", s.BodyName);
    put("HandName", s.HandName);
    putInt("Hue", s.Hue);
    putInt("redIntensity", s.redIntensity);
    putInt("greenIntensity", s.greenIntensity);
    putInt("blueIntensity", s.blueIntensity);
    putInt("SizeScale", s.SizeScale);
}
