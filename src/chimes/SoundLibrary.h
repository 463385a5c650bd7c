#pragma once
#include <QString>

#include <SDL.h>
#include <SDL_mixer.h>

// SDL and SDL_mixer, opened at the first sound rather than linked: the
// clock runs all day, mostly silent, and SDL_mixer brings some forty
// libraries with it. Every function the player calls is taken from the
// libraries here; the headers give the functions' types. Mix_GetError is
// SDL_GetError.
#define ZC_SDL_FUNCTIONS(X)                                                                                   \
    X(SDL_InitSubSystem) X(SDL_QuitSubSystem) X(SDL_SetHint) X(SDL_SetHintWithPriority) X(SDL_GetError)      \
    X(SDL_GetCurrentAudioDriver) X(SDL_RWFromFile)
#define ZC_MIXER_FUNCTIONS(X)                                                                                 \
    X(Mix_Init) X(Mix_Quit) X(Mix_OpenAudio) X(Mix_CloseAudio) X(Mix_SetTimidityCfg) X(Mix_HookMusicFinished) \
    X(Mix_HaltMusic) X(Mix_LoadMUSType_RW) X(Mix_MusicDuration) X(Mix_FreeMusic) X(Mix_PlayMusic)          \
    X(Mix_SetMusicPosition) X(Mix_GetMusicPosition)

struct SoundLibrary
{
#define ZC_POINTER(f) decltype(&::f) f = nullptr;
    ZC_SDL_FUNCTIONS(ZC_POINTER)
    ZC_MIXER_FUNCTIONS(ZC_POINTER)
#undef ZC_POINTER
    QString missing; // what could not be loaded; empty when all is there

    // Opens both libraries by their QLibrary names with major version 0
    // ("SDL2-2.0" is libSDL2-2.0.so.0) and takes every function from them;
    // the first library or function that is not there is told in missing.
    // Nothing is unloaded: SDL's threads and hooks live as long as the
    // program.
    static SoundLibrary load(const QString &sdlName, const QString &mixerName);
    // Throws EMCIDeviceError naming what is missing, as for a sound device
    // that cannot be opened.
    void require() const;
};
