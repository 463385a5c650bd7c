// The "Skins" table that came in a package: checked, then merged into the
// skin tables; or refused with a message.
#include "CatalogueMerge.h"
#include "FuzzSupport.h"
#include "PackageInstall.h"
#include "SkinTables.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString stage = fuzzFolder() + "stage/";
    QDir(stage).removeRecursively();
    QDir().mkpath(stage);
    QFile f(stage + "Skins.db");
    if (!f.open(QIODevice::WriteOnly) || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        __builtin_trap();
    f.close();
    SkinTables tables;
    try {
        PackageInstall::checkCatalogue(stage, "fuzz.zip");
        TTable catalogue;
        catalogue.OpenTable(stage, "Skins");
        CatalogueMerge merge(catalogue, tables.targets(), 100);
        merge.packageName = "fuzz.zip";
        merge.continueNewer = [] { return true; };
        merge.run();
    } catch (const std::runtime_error &e) {
        if (!*e.what())
            __builtin_trap();
    }
    return 0;
}
