// How the player steers this run: keyboard or pad, the pad's rest, the second
// climb key.
#pragma once

#include "runtime/runtime.h"

extern int ControlMode;           // 0 keyboard, 1 pad
extern float PadRestX, PadRestY;  // the pad's axes at rest
extern int KeyClimb2;             // second climb key, cursor up at start, not saved

// Forgets every pad button press not yet taken.
void ClearPadHits();
