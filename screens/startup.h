// Start-up: everything the game keeps for the whole run, made in a fixed
// order. The program (GameMain) runs these steps, and the test fixtures and
// the benchmarks run the same ones, so they all start from the game as a
// player gets it.
#pragma once

#include "runtime/runtime.h"

struct RuntimeOptions;  // runtime/headless.h

int GameMain();

// The embedded pictures and sounds, and the program's built-in data list
// (mission, sync notice, credits, key table) with the read position on its
// first entry. Before or after the runtime's services start.
void RegisterProgramFiles();

// With a display open: the font, the loading screen when asked, the screen
// grab, every other picture and sound.
enum class LoadingScreen { Shown, Skipped };
void LoadForTheRun(LoadingScreen loadingScreen);

// What fixtures and benchmarks start from: the program's files, the runtime
// with these options and a display (StartRuntime; depth 0 a window, any
// other full screen), and LoadForTheRun without the loading screen. The star
// field is the caller's to make: the program makes it after the intro.
// False when no display could be opened.
bool StartGameRuntime(const RuntimeOptions& options, int depth = 0);

// The steps inside them.
void RegisterEmbeddedFiles();  // every file of res/, catalogue order
void InstallProgramData();
void LoadFirstPictures();      // the font, which the loading screen needs
void LoadResources();          // every other picture, the sounds, the music
// One picture of the catalogue, loaded and cut as the start-up does; for
// tests that need only a few.
void LoadPicture(TImage** handle);
// "IncBin::res\" + file name: where the runtime finds an embedded file.
String ResPath(const char* fileName);
