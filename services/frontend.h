// Front-end state a game shares: how the player steers this run, and which
// screen is to end.
#pragma once

#include "runtime/runtime.h"

extern int ControlMode;           // 0 keyboard, 1 pad
extern float PadRestX, PadRestY;  // the pad's axes at rest
extern int KeyClimb2;             // second climb key, cursor up at start, not saved
extern int QuitState;             // 0 running, 1 ends PlayGame, 2 ends MainMenu

// Forgets every pad button press not yet taken.
void ClearPadHits();

// The high-score table as shown and saved: twelve rows of text, the first
// ten kept in the settings file.
extern StringArray HighscoreNames, HighscoreScores, HighscoreLevels;
