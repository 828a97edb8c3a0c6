// How the player steers, kept for the whole run.
#include "services/controls.h"

int ControlMode = 0;
float PadRestX = 0, PadRestY = 0;
int KeyClimb2 = KeyCode::Up;

namespace {
constexpr int kPadPorts = 16;
constexpr int kPadButtons = 16;
}  // namespace

void ClearPadHits() {
  for (int port = 0; port < kPadPorts; ++port)
    for (int button = 0; button < kPadButtons; ++button) TakeJoyButtonPresses(button, port);
}
