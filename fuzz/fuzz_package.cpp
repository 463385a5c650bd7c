// A skin package (ZIP) installed into a program folder: unpacked, checked,
// moved into place and its catalogue merged; or refused with a message.
#include "FuzzSupport.h"
#include "PackageInstall.h"
#include "SkinTables.h"

#include <QFile>

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString zip = writeInput("fuzz.zip", data, size);
    SkinTables tables;
    PackageInstall install(tables.folder(), tables.skins, tables.targets(), 100);
    install.continueNewer = [] { return true; };
    try {
        install.install(zip);
    } catch (const std::runtime_error &e) {
        if (!*e.what())
            __builtin_trap();
    }
    // Whatever happened, the catalogue table is usable again.
    if (!tables.skins.Active())
        __builtin_trap();
    QFile::remove(zip);
    return 0;
}
