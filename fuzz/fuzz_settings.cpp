// The settings file as a user or another program may have left it.
#include "ClockSettings.h"
#include "FuzzSupport.h"
#include "IniFile.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(kSettingsFileName, data, size);
    try {
        IniFile ini(path);
        const ClockSettings s = readClockSettings(ini);
        // What the clock relies on once the settings are read.
        if (s.FadeSpeed < 1 || s.SizeScale < 1 || s.MaxTransparency < 0 || s.MaxTransparency > 100)
            std::abort();
        // Writing back keeps every number; a name holding a line break or
        // quotes comes back changed once, then stays as it is.
        writeClockSettings(ini, s);
        ini.save();
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
