// The game shell: start-up, resources, settings, bitmap text and every screen
// outside a game. Globals here are shared with gameplay and online code.
#pragma once

#include "runtime/runtime.h"
#include "res/assets.h"
#include "shell/startup.h"

// --- Settings (stored in "Settings.dat") -----------------------------------
extern int FullScreen;
extern int PersonalBest;
extern int MusicOn;
extern int VistaSound;
extern int ScanlinesOn;
extern int SfxOn;
extern int KeyLeft;
extern int KeyRight;
extern int KeyClimb;
extern int KeyFire;
extern int JoystickOn;
extern int ReservedSetting;
extern int JoyButton1;
extern int JoyButton2;
extern int Difficulty;
extern String PlayerName;

void LoadSettings();
void SaveSettings();
extern String SettingsFileName;  // "Settings.dat"; tests may point it elsewhere

// --- Shared front-end state -----------------------------------------------
extern int KeyClimb2;       // second climb key, 38 at start, not saved
extern int LastKeyCode;     // last table key found by PollKeyTable / WaitForKey
extern int ControlMode;     // 0 keyboard, 1 pad
extern float PadRestX, PadRestY;
extern int QuitState;       // 0 running, 1 ends PlayGame, 2 ends MainMenu
extern TChannel* MusicChannel;
extern float MenuMusicVolume, GameMusicVolume, PauseMusicVolume;
extern StringArray HighscoreNames, HighscoreScores, HighscoreLevels;
extern StringArray WebsiteLines;
extern String VersionMessage1, VersionMessage2, NewerVersion;
extern TImage* ScreenGrab;

// Switches the tune in the five steps every screen uses: stop MusicChannel,
// wait 25 ms, play the new tune on a new channel, keep it, set its volume.
void SwitchMusic(TSound* tune, float volume);
// Plays a sound effect on a new channel when SfxOn is 1.
void PlaySfx(TSound* sound);

// --- Bitmap-font text and overlays -----------------------------------------
// The 60 glyphs of "font.png" in cell order; "#" is found at its first place (5).
extern const String FontCharset;
void DrawFontText(const String& text, float column, float row);
void DrawFontTextAt(const String& text, float x, float y);
void DrawScanlines();
void ClearPadHits();

// --- Key table and redefinition --------------------------------------------
struct KeyTableEntry {
  int code;
  String name;
};
const std::vector<KeyTableEntry>& KeyTable();
String KeyName(int code);  // the table's name for a code, "n/a" when absent
void PollKeyTable();
void WaitForKey();
void DrawKeyLine(const String& label, int code, int column, int row, int labelOnly);
void KeyMenu();
void RedefineKeys();

// --- Screens ---------------------------------------------------------------
// Main menu state (kept across sub-screens and games) and the pad's axes as
// last read; PadX and PadY are read by the menus and by the bike's controls.
extern int MenuChoice;        // 0 play .. 5 exit
extern int MenuCursorFrame;   // 0-7
extern int MenuCursorDelay;
extern int MenuExitRequest;   // 1 when the exit dialog is due
extern float PadX, PadY;
int MainMenu();
int DrawMenuBackground();
int OptionsMenu();
// The options menu decides once per run whether the pad is used: 1 until its
// first frame has looked for a pad.
extern int PadCheckPending;
// The pad's y axis at rest as the options menu compares it, and the axis the
// options menu (y) or the name wheel (x) read this frame.
extern float MenuPadRestY, MenuPadAxis;
int EnterPlayerName();
void ShowMission();
void ShowSyncNotice();
void ShowCredits();
void ShowHighscores();
int PlayIntro();
