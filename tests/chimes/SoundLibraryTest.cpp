#include "SoundLibrary.h"
#include "EMCIDeviceError.h"

#include <gtest/gtest.h>

namespace {

struct LibraryCase
{
    const char *name;
    const char *sdl;
    const char *mixer;
    const char *named; // what the message must name
};

void PrintTo(const LibraryCase &c, std::ostream *os) { *os << c.name; }

class MissingSoundLibrary : public ::testing::TestWithParam<LibraryCase>
{
};

// A system without SDL_mixer, or with one too old for a function the player
// calls, refuses the sound as a missing device does, and says what is missing.
TEST_P(MissingSoundLibrary, IsRefusedAsNoSoundDeviceNamingWhatIsMissing)
{
    const LibraryCase &c = GetParam();
    const SoundLibrary api = SoundLibrary::load(QString::fromLatin1(c.sdl), QString::fromLatin1(c.mixer));
    EXPECT_TRUE(api.missing.contains(QLatin1String(c.named))) << api.missing.toStdString();
    try {
        api.require();
        ADD_FAILURE() << "no error";
    } catch (const EMCIDeviceError &e) {
        EXPECT_TRUE(e.text().startsWith(QLatin1String("No sound device could be opened: "))) << e.what();
        EXPECT_TRUE(e.text().contains(QLatin1String(c.named))) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MissingSoundLibrary,
                         ::testing::Values(LibraryCase{"NoSdl", "zc-no-such-sdl", "SDL2_mixer-2.0", "zc-no-such-sdl"},
                                           LibraryCase{"NoMixer", "SDL2-2.0", "zc-no-such-mixer", "zc-no-such-mixer"},
                                           LibraryCase{"NoMixerFunctions", "SDL2-2.0", "SDL2-2.0", "has no Mix_Init"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SoundLibrary, TheInstalledLibrariesHaveEveryFunction)
{
    const SoundLibrary api = SoundLibrary::load(QStringLiteral("SDL2-2.0"), QStringLiteral("SDL2_mixer-2.0"));
    EXPECT_TRUE(api.missing.isEmpty()) << api.missing.toStdString();
    EXPECT_NO_THROW(api.require());
#define ZC_PRESENT(f) EXPECT_NE(api.f, nullptr) << #f;
    ZC_SDL_FUNCTIONS(ZC_PRESENT)
    ZC_MIXER_FUNCTIONS(ZC_PRESENT)
#undef ZC_PRESENT
}

} // namespace
