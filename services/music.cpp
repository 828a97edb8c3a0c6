// Music and sound effects as every screen plays them.
#include "services/music.h"

#include "services/settings.h"

TChannel* MusicChannel = nullptr;
float MenuMusicVolume = 0.4f, GameMusicVolume = 0.4f, PauseMusicVolume = 0.4f;

void SetMusicVolumes() {
  if (Settings.musicOn == 0) MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.0f;
  if (Settings.musicOn == 1) MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
}

void SwitchMusic(TSound* tune, float volume) {
  StopSoundChannel(MusicChannel);
  SleepMillis(25);
  MusicChannel = PlaySoundOnChannel(tune, nullptr);
  SetSoundChannelVolume(MusicChannel, volume);
}

void PlaySfx(TSound* sound) {
  if (Settings.sfxOn == 1) PlaySoundOnChannel(sound, nullptr);
}
