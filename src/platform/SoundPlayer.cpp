#include "SoundPlayer.h"

namespace {

SoundPlayer::Factory &factory()
{
    static SoundPlayer::Factory f;
    return f;
}

} // namespace

std::unique_ptr<SoundPlayer> SoundPlayer::fromTestFactory()
{
    return factory() ? factory()() : nullptr;
}

void SoundPlayer::setFactory(Factory f) { factory() = std::move(f); }
