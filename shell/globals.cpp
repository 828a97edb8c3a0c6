// Globals of the shell shared with the rest of the game.
#include "shell/shell.h"

int FullScreen = 1;
int PersonalBest = 0;
int MusicOn = 1;
int VistaSound = 0;
int ScanlinesOn = 1;
int SfxOn = 1;
int KeyLeft = KeyCode::Left;
int KeyRight = KeyCode::Right;
int KeyClimb = KeyCode::LeftAlt;
int KeyFire = KeyCode::LeftControl;
int JoystickOn = 0;
int ReservedSetting = 0;
int JoyButton1 = 1;
int JoyButton2 = 0;
int Difficulty = 0;
String PlayerName = u"not set";
String SettingsFileName = u"Settings.dat";

int KeyClimb2 = KeyCode::Up;
int LastKeyCode = 0;
int ControlMode = 0;
float PadRestX = 0, PadRestY = 0;
int QuitState = 0;
TChannel* MusicChannel = nullptr;
float MenuMusicVolume = 0.4f, GameMusicVolume = 0.4f, PauseMusicVolume = 0.4f;
StringArray HighscoreNames, HighscoreScores, HighscoreLevels;
StringArray WebsiteLines;
String VersionMessage1 = u"sync score to check";
String VersionMessage2 = u"for updated version";
String NewerVersion;
TImage* ScreenGrab = nullptr;

void SwitchMusic(TSound* tune, float volume) {
  StopSoundChannel(MusicChannel);
  SleepMillis(25);
  MusicChannel = PlaySoundOnChannel(tune, nullptr);
  SetSoundChannelVolume(MusicChannel, volume);
}

void PlaySfx(TSound* sound) {
  if (SfxOn == 1) PlaySoundOnChannel(sound, nullptr);
}
