// How the player steers, kept for the whole run.
#include "services/controls.h"

#include "services/settings.h"

Controls controls;

namespace {
constexpr int kPadPorts = 16;
constexpr int kPadButtons = 16;
}  // namespace

void TakeControlsFromSettings() {
  if (!PadSettingOn()) return;
  controls.mode = ControlMode::Pad;
  TakePadRest();
}

bool PadSettingOn() { return Settings.padControl == 1; }

void UseKeyboardOnly() {
  Settings.padControl = 0;
  controls.mode = ControlMode::Keyboard;
}

void PutPadInControl() { controls.mode = ControlMode::Pad; }

void SwitchKeyboardAndPad() {
  Settings.padControl = 1;
  controls.mode = controls.mode == ControlMode::Pad ? ControlMode::Keyboard : ControlMode::Pad;
}

void TakePadRest() {
  controls.padRestX = JoyAxisX(0);
  controls.padRestY = JoyAxisY(0);
}

bool TakePadPress(int button) { return controls.mode == ControlMode::Pad && TakeJoyButtonPresses(button, 0) > 0; }

void ClearPadHits() {
  for (int port = 0; port < kPadPorts; ++port)
    for (int button = 0; button < kPadButtons; ++button) TakeJoyButtonPresses(button, port);
}
