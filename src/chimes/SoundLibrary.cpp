#include "SoundLibrary.h"
#include "EMCIDeviceError.h"

#include <QLibrary>

#include <type_traits>

SoundLibrary SoundLibrary::load(const QString &sdlName, const QString &mixerName)
{
    SoundLibrary api;
    QLibrary sdl(sdlName, 0), mixer(mixerName, 0);
    for (QLibrary *lib : {&sdl, &mixer})
        if (!lib->load()) {
            api.missing = lib->errorString();
            return api;
        }
    auto resolve = [&api](QLibrary &lib, auto &pointer, const char *name) {
        pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(lib.resolve(name));
        if (!pointer && api.missing.isEmpty())
            api.missing = QStringLiteral("%1 has no %2").arg(lib.fileName(), QString::fromLatin1(name));
    };
#define ZC_RESOLVE_SDL(f) resolve(sdl, api.f, #f);
#define ZC_RESOLVE_MIXER(f) resolve(mixer, api.f, #f);
    ZC_SDL_FUNCTIONS(ZC_RESOLVE_SDL)
    ZC_MIXER_FUNCTIONS(ZC_RESOLVE_MIXER)
#undef ZC_RESOLVE_SDL
#undef ZC_RESOLVE_MIXER
    return api;
}

void SoundLibrary::require() const
{
    if (!missing.isEmpty())
        throw EMCIDeviceError(QStringLiteral("No sound device could be opened: %1").arg(missing));
}
