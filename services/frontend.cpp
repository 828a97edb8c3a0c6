// Front-end state kept for the whole run.
#include "screens/screens.h"

int ControlMode = 0;
float PadRestX = 0, PadRestY = 0;
int KeyClimb2 = KeyCode::Up;
int QuitState = 0;
StringArray HighscoreNames, HighscoreScores, HighscoreLevels;

int LastKeyCode = 0;
StringArray WebsiteLines;
String VersionMessage1 = u"sync score to check";
String VersionMessage2 = u"for updated version";
String NewerVersion;

namespace {
constexpr int kPadPorts = 16;
constexpr int kPadButtons = 16;
}  // namespace

void ClearPadHits() {
  for (int port = 0; port < kPadPorts; ++port)
    for (int button = 0; button < kPadButtons; ++button) TakeJoyButtonPresses(button, port);
}
