// The settings file as a user or another program may have left it.
#include "ClockFolders.h"
#include "ClockSettings.h"
#include "FuzzSupport.h"
#include "IniFile.h"

#include <QFile>

#include <cmath>
#include <cstdlib>

namespace {

// The lines the clock does not own, each with its line end: the key lines it
// writes and the "[Path]" header it may add are left out.
QList<QByteArray> foreignLines(const QByteArray &bytes)
{
    static const char *const owned[] = {
        "top", "left", "FadeEnabled", "AnimationEnabled", "MaxTransparency", "FadeSpeed", "VoiceChime", "MilTime",
        "BellChime", "CuckooChime", "QuietTime", "QuietStart", "QuietEnd", "ClockName", "DialName", "HeadName",
        "BodyName", "HandName", "Hue", "redIntensity", "greenIntensity", "blueIntensity", "SizeScale"};
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        const QByteArray line = bytes.mid(start, end - start);
        start = end;
        QByteArray content = line;
        if (content.endsWith('\n'))
            content.chop(content.endsWith("\r\n") ? 2 : 1);
        if (content == "[Path]")
            continue;
        const qsizetype eq = content.indexOf('=');
        bool mine = false;
        if (eq > 0) {
            const QByteArray key = content.left(eq).trimmed();
            for (const char *k : owned)
                mine = mine || qstrnicmp(key.constData(), key.size(), k, -1) == 0;
        }
        if (!mine)
            lines << line;
    }
    return lines;
}

// Every line the clock does not own comes back byte for byte; only the last
// one may gain a line end, when a line was put after it.
bool keptByteForByte(const QByteArray &before, const QByteArray &after)
{
    const QList<QByteArray> a = foreignLines(before), b = foreignLines(after);
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && !(i == a.size() - 1 && (b[i] == a[i] + "\n" || b[i] == a[i] + "\r\n")))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(kSettingsFileName, data, size);
    try {
        IniFile ini(path);
        const ClockSettings s = readClockSettings(ini);
        // What the clock relies on once the settings are read.
        if (s.FadeSpeed < 1 || s.SizeScale < 1 || s.SizeScale > 16 || s.MaxTransparency < 0 ||
            s.MaxTransparency > 100)
            std::abort();
        // Writing back keeps every number; a name holding a line break or
        // quotes comes back changed once, then stays as it is.
        writeClockSettings(ini, s);
        ini.save();
        QFile written(path);
        if (!written.open(QIODevice::ReadOnly) || !keptByteForByte(bytesOf(data, size), written.readAll()))
            std::abort();
        written.close();
        IniFile second(path);
        const ClockSettings again = readClockSettings(second);
        if (again.SizeScale != s.SizeScale || again.FadeSpeed != s.FadeSpeed || again.top != s.top ||
            again.left != s.left || again.Hue != s.Hue || again.MaxTransparency != s.MaxTransparency ||
            again.QuietTime != s.QuietTime || std::fabs(again.QuietStart - s.QuietStart) > 1e-6 ||
            std::fabs(again.QuietEnd - s.QuietEnd) > 1e-6)
            std::abort();
        writeClockSettings(second, again);
        second.save();
        const ClockSettings third = readClockSettings(IniFile(path));
        if (third.ClockName != again.ClockName || third.HandName != again.HandName)
            std::abort();
    } catch (const EInOutError &) {
        // A refusal with a message is a handled outcome.
    }
    return 0;
}
