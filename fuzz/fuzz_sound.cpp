// A sound file of the "voice", "chimes" or "sound" folder: opened and its
// length measured (SDL_mixer decodes it), or refused with a message. The
// first byte picks the kind by extension: wave, MIDI or MP3.
#include "EMCIDeviceError.h"
#include "FuzzSupport.h"
#include "TMediaPlayer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const kinds[] = {"sound.wav", "sound.mid", "sound.mp3"};
    const QString path = writeInput(kinds[data[0] % 3], data + 1, size - 1);
    static TMediaPlayer player;
    player.FileName = path;
    try {
        player.Open();
        if (player.Length() < 0)
            std::abort();
        player.Close();
    } catch (const EMCIDeviceError &e) {
        if (!*e.what())
            std::abort();
    }
    return 0;
}
