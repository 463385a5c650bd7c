// "coord.ini" beside the program and the RRGGBB colour text it may carry.
#include "Colors.h"
#include "CoordIni.h"
#include "FuzzSupport.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput("coord.ini", data, size);
    CoordIni ini(path);
    for (const char *section : {"fClock", "Clock", "Dial"})
        for (const char *key : {"Left", "Top", "Width", "Height", "InvisibleColor", "Color"}) {
            ini.ReadInteger(section, key, 0);
            const QString text = ini.ReadString(section, key, QString());
            try {
                const TColor c = hexToColor(text);
                if (c > 0xFFFFFF || hexToColor(colorToHex(c)) != c)
                    __builtin_trap();
            } catch (const std::invalid_argument &) {
            }
        }
    // The whole input as colour text as well.
    try {
        hexToColor(QString::fromUtf8(reinterpret_cast<const char *>(data), int(size)));
    } catch (const std::invalid_argument &) {
    }
    return 0;
}
