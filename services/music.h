// Music and sound effects as every screen plays them.
#pragma once

#include "runtime/runtime.h"

extern TChannel* MusicChannel;  // the tune now playing
// The tunes' volumes: 0.4, or 0 with the music off.
extern float MenuMusicVolume, GameMusicVolume, PauseMusicVolume;

// Switches the tune in the five steps every screen uses: stop MusicChannel,
// wait 25 ms, play the new tune on a new channel, keep it, set its volume.
void SwitchMusic(TSound* tune, float volume);
// Plays a sound effect on a new channel when the effects are on.
void PlaySfx(TSound* sound);
