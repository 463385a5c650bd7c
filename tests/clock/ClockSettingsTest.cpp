#include "ClockSettings.h"
#include "DateTime.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>
#include <variant>

namespace {

ClockSettings readFrom(const QByteArray &body)
{
    TempFolder folder;
    folder.write("ZindleClock.ini", "[Path]\n" + body);
    return readClockSettings(IniFile(folder.file("ZindleClock.ini")));
}

} // namespace

TEST(ClockSettings, MissingFileGivesTheDefaults)
{
    TempFolder folder;
    const ClockSettings s = readClockSettings(IniFile(folder.file("ZindleClock.ini")));
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.left, 0);
    EXPECT_TRUE(s.FadeEnabled);
    EXPECT_TRUE(s.AnimationEnabled);
    EXPECT_FALSE(s.VoiceChime || s.MilTime || s.BellChime || s.CuckooChime || s.QuietTime);
    EXPECT_NEAR(s.QuietStart, ZDateTime::encodeTime(22, 0, 0), 1e-12);
    EXPECT_NEAR(s.QuietEnd, 0.25, 1e-12);
    EXPECT_EQ(s.MaxTransparency, 50);
    EXPECT_EQ(s.FadeSpeed, 40);
    EXPECT_EQ(s.ClockName, "Pocket Watch 001");
    EXPECT_EQ(s.DialName, "Dial 006");
    EXPECT_EQ(s.HeadName, "Mopp 001");
    EXPECT_EQ(s.BodyName, "Cowboy");
    EXPECT_EQ(s.HandName, "Cowboy 01");
    EXPECT_EQ(s.Hue, 0);
    EXPECT_EQ(s.redIntensity + s.greenIntensity + s.blueIntensity, 300);
    EXPECT_EQ(s.SizeScale, 16);
}

TEST(ClockSettings, ValueEncodings)
{
    EXPECT_TRUE(readFrom("FadeEnabled=0\nfadeenabled=0x1\n").FadeEnabled == false)
        << "the first line of a key counts";
    EXPECT_TRUE(readFrom("FadeEnabled=0x1\n").FadeEnabled);
    EXPECT_FALSE(readFrom("FadeEnabled=0\n").FadeEnabled);
    EXPECT_TRUE(readFrom("VoiceChime=-7\n").VoiceChime);
    EXPECT_TRUE(readFrom("AnimationEnabled=yes\n").AnimationEnabled) << "unreadable keeps the default";
    EXPECT_EQ(readFrom("MaxTransparency=$32\n").MaxTransparency, 50);
    EXPECT_EQ(readFrom("MaxTransparency=0X20\n").MaxTransparency, 32);
    EXPECT_EQ(readFrom("FadeSpeed=abc\n").FadeSpeed, 40);
    EXPECT_EQ(readFrom("TOP=-20\nLeft=300\n").top, -20);
    EXPECT_EQ(readFrom("ClockName=My Clock = Nice\n").ClockName, "My Clock = Nice");
}

TEST(ClockSettings, QuietTimesThatDoNotConvertKeepTheDefault)
{
    const double ten = ZDateTime::encodeTime(22, 0, 0);
    EXPECT_NEAR(readFrom("QuietStart=abc\n").QuietStart, ten, 1e-12);
    EXPECT_NEAR(readFrom("QuietStart=\n").QuietStart, ten, 1e-12);
    EXPECT_NEAR(readFrom("QuietStart=23:15:00\n").QuietStart, ZDateTime::encodeTime(23, 15, 0), 1e-9);
}

TEST(ClockSettings, HandEditedValuesStayUsable)
{
    struct Case { const char *line; int fade, scale, maxTrans; };
    const Case cases[] = {
        {"FadeSpeed=0\n", 1, 16, 50},     {"FadeSpeed=-9\n", 1, 16, 50},
        {"SizeScale=0\n", 40, 16, 50},    {"SizeScale=-4\n", 40, 16, 50},
        {"SizeScale=10\n", 40, 10, 50},   {"MaxTransparency=150\n", 40, 16, 100},
        {"MaxTransparency=-1\n", 40, 16, 0},
        // Beyond the menu's largest size (16, 100 %): shown at 16, not at a
        // window of thousands of pixels.
        {"SizeScale=17\n", 40, 16, 50},  {"SizeScale=200\n", 40, 16, 50},
        {"SizeScale=2147483647\n", 40, 16, 50}, {"SizeScale=1\n", 40, 1, 50},
    };
    for (const Case &c : cases) {
        const ClockSettings s = readFrom(c.line);
        EXPECT_EQ(s.FadeSpeed, c.fade) << c.line;
        EXPECT_EQ(s.SizeScale, c.scale) << c.line;
        EXPECT_EQ(s.MaxTransparency, c.maxTrans) << c.line;
    }
}

TEST(ClockSettings, SaveThenLoadReproducesEveryValue)
{
    ClockSettings s;
    s.top = 123;
    s.left = -45;
    s.FadeEnabled = false;
    s.AnimationEnabled = false;
    s.VoiceChime = s.MilTime = s.BellChime = s.CuckooChime = s.QuietTime = true;
    s.QuietStart = ZDateTime::encodeTime(21, 30, 15);
    s.QuietEnd = ZDateTime::encodeTime(7, 5, 59);
    s.MaxTransparency = 80;
    s.FadeSpeed = 10;
    s.ClockName = "Clock Ünïcode";
    s.DialName = "d";
    s.HeadName = "h";
    s.BodyName = "b";
    s.HandName = "hs";
    s.Hue = 359;
    s.redIntensity = 1;
    s.greenIntensity = 2;
    s.blueIntensity = 3;
    s.SizeScale = 12;

    TempFolder folder;
    IniFile out(folder.file("ZindleClock.ini"));
    writeClockSettings(out, s);
    out.save();
    const ClockSettings r = readClockSettings(IniFile(folder.file("ZindleClock.ini")));
    EXPECT_EQ(r.top, s.top);
    EXPECT_EQ(r.left, s.left);
    EXPECT_EQ(r.FadeEnabled, s.FadeEnabled);
    EXPECT_EQ(r.AnimationEnabled, s.AnimationEnabled);
    EXPECT_TRUE(r.VoiceChime && r.MilTime && r.BellChime && r.CuckooChime && r.QuietTime);
    EXPECT_NEAR(r.QuietStart, s.QuietStart, 0.5 / 86400);
    EXPECT_NEAR(r.QuietEnd, s.QuietEnd, 0.5 / 86400);
    EXPECT_EQ(r.MaxTransparency, s.MaxTransparency);
    EXPECT_EQ(r.FadeSpeed, s.FadeSpeed);
    EXPECT_EQ(r.ClockName, s.ClockName);
    EXPECT_EQ(r.HandName, s.HandName);
    EXPECT_EQ(r.Hue, s.Hue);
    EXPECT_EQ(r.blueIntensity, s.blueIntensity);
    EXPECT_EQ(r.SizeScale, s.SizeScale);

    const QList<QByteArray> lines = folder.read("ZindleClock.ini").split('\n');
    QStringList keys;
    for (const QByteArray &l : lines)
        if (l.contains('='))
            keys << QString(l.left(l.indexOf('=')));
    EXPECT_EQ(keys, QStringList({"top", "left", "FadeEnabled", "AnimationEnabled", "MaxTransparency", "FadeSpeed",
                                 "VoiceChime", "MilTime", "BellChime", "CuckooChime", "QuietTime", "QuietStart",
                                 "QuietEnd", "ClockName", "DialName", "HeadName", "BodyName", "HandName", "Hue",
                                 "redIntensity", "greenIntensity", "blueIntensity", "SizeScale"}));
    EXPECT_EQ(lines.first(), "[Path]");
}

namespace {

// A value of the member's type that differs from its default and that no
// range rule changes.
SettingsKey::Value changed(const SettingsKey::Value &def)
{
    return std::visit(
        [](const auto &d) -> SettingsKey::Value {
            using T = std::decay_t<decltype(d)>;
            if constexpr (std::is_same_v<T, bool>)
                return !d;
            else if constexpr (std::is_same_v<T, int>)
                return d - 1;
            else if constexpr (std::is_same_v<T, double>)
                return d + ZDateTime::encodeTime(0, 1, 1);
            else
                return d + " changed";
        },
        def);
}

SettingsKey::Value valueOf(const ClockSettings &s, const SettingsKey &k)
{
    return std::visit([&](auto member) -> SettingsKey::Value { return s.*member; }, k.member);
}

void set(ClockSettings &s, const SettingsKey &k, const SettingsKey::Value &v)
{
    std::visit([&](auto member) { s.*member = std::get<std::decay_t<decltype(s.*member)>>(v); }, k.member);
}

// Times come back to the second.
bool sameValue(const SettingsKey::Value &a, const SettingsKey::Value &b)
{
    if (std::holds_alternative<double>(a) && std::holds_alternative<double>(b))
        return std::abs(std::get<double>(a) - std::get<double>(b)) < 0.5 / 86400;
    return a == b;
}

QStringList keysOf(const QList<QByteArray> &lines)
{
    QStringList keys;
    for (const QByteArray &l : lines)
        if (l.contains('='))
            keys << QString(l.left(l.indexOf('=')));
    return keys;
}

} // namespace

TEST(ClockSettings, EveryKeyOfTheTableRoundTripsIntoItsOwnMember)
{
    const ClockSettings defaults;
    QStringList names;
    for (const SettingsKey &k : settingsKeys()) {
        names << k.key;
        EXPECT_TRUE(sameValue(valueOf(defaults, k), k.def)) << k.key << ": a new object holds the default";
        ClockSettings s;
        set(s, k, changed(k.def));
        TempFolder folder;
        IniFile out(folder.file("ZindleClock.ini"));
        writeClockSettings(out, s);
        out.save();
        const ClockSettings r = readClockSettings(IniFile(folder.file("ZindleClock.ini")));
        // Only this key's member changed: a key read into another member
        // shows there.
        for (const SettingsKey &other : settingsKeys())
            EXPECT_TRUE(sameValue(valueOf(r, other), valueOf(s, other))) << k.key << " -> " << other.key;
    }
    EXPECT_EQ(names.size(), 23);
    EXPECT_EQ(names.removeDuplicates(), 0);
}

TEST(ClockSettings, EachKeyIsWrittenOnceInTheCustomaryOrderAndOtherLinesStay)
{
    const QByteArray head = "; my notes\r\n[Path]\r\nExtra=keep me\r\n";
    const QByteArray tail = "\r\n[Other]\r\nFadeSpeed=3\r\n";
    TempFolder folder;
    folder.write("ZindleClock.ini", head + tail);
    QStringList customary;
    for (const SettingsKey &k : settingsKeys())
        customary << k.key;
    ClockSettings s;
    for (int save = 1; save <= 2; ++save) {
        s.FadeSpeed = 10 + save;
        IniFile ini(folder.file("ZindleClock.ini"));
        writeClockSettings(ini, s);
        ini.save();
        const QByteArray text = folder.read("ZindleClock.ini");
        ASSERT_TRUE(text.startsWith(head)) << save;
        ASSERT_TRUE(text.endsWith(tail)) << save;
        const QByteArray written = text.mid(head.size(), text.size() - head.size() - tail.size());
        EXPECT_EQ(keysOf(written.split('\n')), customary) << save;
        EXPECT_TRUE(written.contains(QByteArray("FadeSpeed=") + QByteArray::number(10 + save) + "\r\n")) << save;
    }
}

TEST(ClockSettings, TheSpeedBarRunsAgainstFadeSpeed)
{
    const struct
    {
        int fadeSpeed, bar;
    } cases[] = {{10, 40}, {40, 10}, {25, 25}, {1, 49}};
    for (const auto &c : cases) {
        EXPECT_EQ(fadeSpeedBarPosition(c.fadeSpeed), c.bar) << c.fadeSpeed;
        EXPECT_EQ(fadeSpeedFromBar(c.bar), c.fadeSpeed) << c.bar;
    }
}
