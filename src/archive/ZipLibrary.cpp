#include "ZipLibrary.h"

#include <QLibrary>

ZipLibrary ZipLibrary::load(const QString &name, int version)
{
    ZipLibrary api;
    QLibrary lib(name, version);
    if (!lib.load()) {
        api.missing = lib.errorString();
        return api;
    }
#define ZC_RESOLVE(f)                                                                                      \
    api.f = reinterpret_cast<decltype(&::f)>(lib.resolve(#f));                                            \
    if (!api.f && api.missing.isEmpty())                                                                  \
        api.missing = QStringLiteral("%1 has no %2").arg(lib.fileName(), QStringLiteral(#f));
    ZC_ZIP_FUNCTIONS(ZC_RESOLVE)
#undef ZC_RESOLVE
    return api;
}

const ZipLibrary &ZipLibrary::installed()
{
    static const ZipLibrary api = load(QStringLiteral("zip"), 4);
    return api;
}
