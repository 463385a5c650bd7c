#pragma once
#include "MediaPlayerSound.h"
#include "SoundPlayer.h"

// The alarm windows' sound: the program's sound player, made by
// MediaPlayerSound::create().
using AlarmSound = SoundPlayer;
