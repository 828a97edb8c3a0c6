// How the player steers this run: keyboard or pad, the pad's rest, the second
// climb key.
//
// The pad mode lives here. Two values make it: the saved pad setting
// (Settings.padControl, kept where the settings file stores it, as read) says
// how the next start steers, and controls.mode how this run steers. The
// setting can stay 1 while the keyboard steers, so the two are not one value;
// apart from the file's load, both are changed only by the routines below,
// and the rest of the game reads controls.mode.
#pragma once

#include "runtime/runtime.h"

enum class ControlMode { Keyboard, Pad };

struct Controls {
  ControlMode mode = ControlMode::Keyboard;
  float padRestX = 0, padRestY = 0;  // the pad's axes at rest
  int keyClimb2 = KeyCode::Up;       // second climb key, cursor up at start, not saved
};
extern Controls controls;

// At start-up, from the saved pad setting: exactly 1 puts the pad in control,
// its rest taken as it lies now; any other value changes nothing.
void TakeControlsFromSettings();
// True when the saved setting has the pad on, exactly 1.
bool PadSettingOn();
// No pad is to be had: the keyboard steers, now and from the next start on.
void UseKeyboardOnly();
// A pad present takes over for this run; the saved setting stays as it was.
void PutPadInControl();
// With a pad present: switches this run between keyboard and pad. The next
// start comes up with the pad either way.
void SwitchKeyboardAndPad();

// Takes the pad's axes as they lie now as its rest.
void TakePadRest();
// In pad control, takes the presses of a pad button not yet taken and tells
// whether there were any; with the keyboard in control, takes nothing.
bool TakePadPress(int button);
// Forgets every pad button press not yet taken.
void ClearPadHits();
