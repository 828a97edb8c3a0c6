// How the player steers, kept for the whole run.
#include "services/controls.h"

Controls controls;
int QuitState = 0;

namespace {
constexpr int kPadPorts = 16;
constexpr int kPadButtons = 16;
}  // namespace

void ClearPadHits() {
  for (int port = 0; port < kPadPorts; ++port)
    for (int button = 0; button < kPadButtons; ++button) TakeJoyButtonPresses(button, port);
}
