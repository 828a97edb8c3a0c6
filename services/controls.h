// How the player steers this run: keyboard or pad, the pad's rest, the second
// climb key.
#pragma once

#include "runtime/runtime.h"

enum class ControlMode { Keyboard, Pad };

struct Controls {
  ControlMode mode = ControlMode::Keyboard;
  float padRestX = 0, padRestY = 0;  // the pad's axes at rest
  int keyClimb2 = KeyCode::Up;       // second climb key, cursor up at start, not saved
};
extern Controls controls;

// Takes the pad's axes as they lie now as its rest.
void TakePadRest();
// In pad control, takes the presses of a pad button not yet taken and tells
// whether there were any; with the keyboard in control, takes nothing.
bool TakePadPress(int button);
// Forgets every pad button press not yet taken.
void ClearPadHits();
