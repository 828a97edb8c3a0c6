// The player's saved settings, kept in "Settings.dat" in the working
// directory: read once at start-up and written once at exit (or when the
// window is closed). The shell owns them; a game reads them and may raise
// the personal best.
#pragma once

#include <sys/types.h>

#include "runtime/runtime.h"

// The fifteen integers are stored in this order, then the name.
struct SavedSettings {
  int fullScreen = 1;              // 1 full screen; 0, or any other value, a window
  int personalBest = 0;
  int musicOn = 1;
  int alternativeSoundOutput = 0;  // 1: the alternative sound output, taken at start-up
  int scanlinesOn = 1;
  int sfxOn = 1;
  int keyLeft = KeyCode::Left;     // key codes of the bike's controls
  int keyRight = KeyCode::Right;
  int keyClimb = KeyCode::LeftAlt;
  int keyFire = KeyCode::LeftControl;
  int padControl = 0;              // 1: the pad steers from the start; apart from
                                   // the file, only services/controls.h sets it
  int reserved = 0;                // unused; keeps its place in the file
  int padClimbButton = 1;          // pad buttons; in the yes/no dialogs
  int padFireButton = 0;           // climb answers no and fire yes
  int difficulty = 0;              // read through GameDifficulty()
  String playerName = u"not set";
};

extern SavedSettings Settings;

enum class Difficulty { Normal, Suicidal };
// The difficulty a game plays at: 1 in the settings is suicidal, and 0 or any
// other value (a hand-edited file may hold one) normal.
Difficulty GameDifficulty();
extern String SettingsFileName;  // "Settings.dat"; tests may point it elsewhere

// Also read and written: the ten rows of the high-score table
// (services/scoretable.h). A missing or short file gives the defaults. A save
// that cannot be made leaves the file as it was and says so in one line on
// standard error.
void LoadSettings();
void SaveSettings();

// For tests only: makes the save's new file beside the old one, as mkostemp
// does. A test swaps it to fail as a folder the player may not write would.
extern int (*MakeSettingsTemporary)(char* pattern, int flags);

// For tests only: the calls a save writes the file with, as fallocate (room
// for the file's first length bytes), pwrite and ftruncate do. A test swaps
// them for a file system without fallocate, a disk that fills up part-way,
// or a save that dawdles before it cuts the file to its length.
extern int (*ReserveSettingsRoom)(int fd, off_t length);
extern ssize_t (*WriteSettingsAt)(int fd, const void* bytes, size_t count, off_t offset);
extern int (*CutSettingsFile)(int fd, off_t length);
