// The options menu: ten rows, each showing a setting, and a star cursor.
// Selecting a row toggles its setting at once or opens a sub-screen.
#include "screens/screens.h"

namespace {

const String kPadPresent = u"(keyboard, pad present)";
const String kNoPad = u"(keyboard, no pad present)";

// True until the run's first frame of this menu has looked for a pad.
bool PadCheckPending = true;
// The pad's y axis at rest as this menu compares it.
float MenuPadRestY = 0;

// Picks the text for a two-state setting; any other value shows nothing.
String Choose(int value, const String& off, const String& on) {
  if (value == 0) return off;
  if (value == 1) return on;
  return String();
}

float RowOf(int index) { return static_cast<float>(9 + 2 * index); }

// The pad's rest for the game and, read once more, for this menu.
void TakeRestForMenu() {
  TakePadRest();
  MenuPadRestY = JoyAxisY(0);
  ClearPadHits();
}

// The first frame of the run's first visit switches the pad on when one is
// present, whatever the settings said; a frame without a pad always forces
// the keyboard.
void CheckForPad(String& padText) {
  padText = kPadPresent;
  if (CountJoysticks() == 0) {
    padText = kNoPad;
    UseKeyboardOnly();
    PadCheckPending = false;
  } else if (PadCheckPending) {
    PutPadInControl();
    PadCheckPending = false;
    TakeRestForMenu();
  }
}

TDisplay* OpenInMode(int fullScreen) {
  return OpenGraphicsDisplay(640, 480, fullScreen == 1 ? 16 : 0, 60, 0);
}

// Reopens the display in the other mode; every image survives the switch.
// When the other mode cannot be had, the mode that worked comes back and
// the setting keeps saying so; a full screen refused for a window reads as
// the window it is.
void SwitchScreenMode() {
  Settings.fullScreen ^= 1;
  if (Settings.fullScreen == 0 || Settings.fullScreen == 1) {
    if (!OpenInMode(Settings.fullScreen)) {
      Settings.fullScreen ^= 1;
      if (!OpenInMode(Settings.fullScreen) && Settings.fullScreen == 1 && OpenInMode(0)) Settings.fullScreen = 0;
    }
    if (DisplayIsOpen()) Settings.fullScreen = DisplayIsFullScreen() ? 1 : 0;
  }
  SleepMillis(200);
  ClearDrawBuffer();
  SetDrawBlendMode(BlendMode::Alpha);
  DrawMenuBackground();
}

void ToggleMusic() {
  Settings.musicOn ^= 1;
  SetMusicVolumes();
  // With music off the menu tune still runs, silent.
  SwitchMusic(snd_m_menu, MenuMusicVolume);
}

void ToggleControls() {
  PlaySfx(snd_menuselect2);
  if (CountJoysticks() == 0) {
    UseKeyboardOnly();
    return;
  }
  SwitchKeyboardAndPad();
  MenuPadRestY = JoyAxisY(0);
}

void LeaveMenu() {
  SleepMillis(100);
  ClearKeyStates();
}

// A row of the menu: its text (padText: what the last frame's pad check
// found) and what selecting it does. The menu ends after the last row acts.
struct OptionRow {
  String (*text)(const String& padText);
  void (*select)();
};

// The toggles flip the lowest bit of their setting, so a value other than 0
// and 1 (only a hand-edited file has one) stays unnamed and flips between
// two values no text stands for.
const OptionRow kOptionRows[] = {
    // KEPT: the row names only the two values the menu writes, like the other
    // toggles, although GameDifficulty plays any other value as normal.
    {[](const String&) {
       return Choose(Settings.difficulty, u"current difficulty: normal", u"current difficulty: suicidal");
     },
     [] { Settings.difficulty ^= 1; }},
    {[](const String&) {
       return Choose(Settings.fullScreen, u"change screenmode (windowed)", u"change screenmode (fullscreen)");
     },
     SwitchScreenMode},
    {[](const String&) { return Choose(Settings.scanlinesOn, u"scanlines: off", u"scanlines: on"); },
     [] { Settings.scanlinesOn ^= 1; }},
    {[](const String&) { return Choose(Settings.sfxOn, u"turn sfx on/off (off)", u"turn sfx on/off (on)"); },
     [] { Settings.sfxOn ^= 1; }},
    {[](const String&) { return Choose(Settings.musicOn, u"turn music on/off (off)", u"turn music on/off (on)"); },
     ToggleMusic},
    {[](const String& padText) {
       return controls.mode == ControlMode::Pad ? u"controls (pad active)" : StringConcat(u"controls ", padText);
     },
     ToggleControls},
    {[](const String&) { return String(u"redefine keys"); }, KeyMenu},
    {[](const String&) { return StringConcat(StringConcat(u"set playername (", Settings.playerName), u")"); },
     EnterPlayerName},
    // The audio output follows this one at the next start.
    {[](const String&) {
       return Choose(Settings.alternativeSoundOutput, u"vista friendly sound (off)", u"vista friendly sound (on)");
     },
     [] { Settings.alternativeSoundOutput ^= 1; }},
    {[](const String&) { return String(u"back to mainmenu"); }, LeaveMenu},
};
constexpr int kRows = static_cast<int>(std::size(kOptionRows));

void MoveCursor(int& cursor, int step) {
  PlaySfx(snd_menuselect2);
  cursor = (cursor + step + kRows) % kRows;
  SleepMillis(200);
  ClearPadHits();
}

}  // namespace

void RedoOptionsPadCheck() { PadCheckPending = true; }

void OptionsMenu() {
  SetDrawBlendMode(BlendMode::Alpha);
  int cursor = 0;
  bool done = false;
  String padText;
  GrabImageFromScreen(ScreenGrab, 0, 0, 0);

  do {
    DrawMenuBackground();
    for (int row = 0; row < kRows; ++row) DrawFontText(kOptionRows[row].text(padText), 4, RowOf(row));
    DrawFontText(u"*", 2, RowOf(cursor));

    CheckForPad(padText);

    // One reading serves both directions; there is no dead zone.
    const float padY = JoyAxisY(0);
    if (TakeKeyPressCount(KeyCode::Down) > 0 || TakeKeyPressCount(KeyCode::Space) > 0 ||
        (controls.mode == ControlMode::Pad && padY > MenuPadRestY))
      MoveCursor(cursor, +1);
    if (TakeKeyPressCount(KeyCode::Up) > 0 || (controls.mode == ControlMode::Pad && padY < MenuPadRestY))
      MoveCursor(cursor, -1);

    if (TakeKeyPressCount(Settings.keyFire) > 0 || TakeKeyPressCount(KeyCode::Enter) > 0 ||
        TakePadPress(Settings.padClimbButton) || TakePadPress(Settings.padFireButton)) {
      PlaySfx(snd_menuselect2);
      kOptionRows[cursor].select();
      done = cursor == kRows - 1;
    }

    DrawScanlines();
    PresentFrame(-1);
  } while (TakeKeyPressCount(KeyCode::Escape) == 0 && !done);

  ClearKeyStates();
  if (PadSettingOn()) TakeRestForMenu();
  // One frame of the main menu as it stood when this menu opened. The grab
  // is masked, so clear first or this menu would show through its black.
  ClearDrawBuffer();
  SetDrawColour(255, 255, 255);
  SetDrawAlpha(1);
  DrawImageFrame(ScreenGrab, 0, 0, 0);
  DrawScanlines();
  PresentFrame(-1);
  PlaySfx(snd_menuselect);
}
