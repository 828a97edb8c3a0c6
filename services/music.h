// Music and sound effects as every screen plays them.
#pragma once

#include "runtime/runtime.h"

extern TChannel* MusicChannel;  // the tune now playing
// The tunes' volumes: 0.4, or 0 with the music off. The game sets them only
// through SetMusicVolumes.
extern float MenuMusicVolume, GameMusicVolume, PauseMusicVolume;

// Sets the tunes' volumes from the music setting: 0 for a setting of 0, 0.4
// for 1. Any other value (only a hand-edited file holds one) leaves them as
// they were, so a run started with one plays its tunes at 0.4.
void SetMusicVolumes();

// Switches the tune in the five steps every screen uses: stop MusicChannel,
// wait 25 ms, play the new tune on a new channel, keep it, set its volume.
void SwitchMusic(TSound* tune, float volume);
// Plays a sound effect on a new channel when the effects are on.
void PlaySfx(TSound* sound);
