// How the player steers this run: keyboard or pad, the pad's rest, the second
// climb key; and which loop is to end.
#pragma once

#include "runtime/runtime.h"

extern int ControlMode;           // 0 keyboard, 1 pad
extern float PadRestX, PadRestY;  // the pad's axes at rest
extern int KeyClimb2;             // second climb key, cursor up at start, not saved
extern int QuitState;             // 0 running, 1 ends PlayGame, 2 ends MainMenu

// Forgets every pad button press not yet taken.
void ClearPadHits();
