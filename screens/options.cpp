// The options menu: ten rows, each showing a setting, and a star cursor.
// Selecting a row toggles its setting at once or opens a sub-screen.
#include "screens/screens.h"

bool PadCheckPending = true;
float MenuPadRestY = 0;
float MenuPadAxis = 0;

namespace {

constexpr int kRows = 10;

const String kPadPresent = u"(keyboard, pad present)";
const String kNoPad = u"(keyboard, no pad present)";

// Picks the text for a two-state setting; any other value shows nothing.
String Choose(int value, const String& off, const String& on) {
  if (value == 0) return off;
  if (value == 1) return on;
  return String();
}

String RowText(int row, const String& padText) {
  switch (row) {
    case 0: return Choose(Settings.difficulty, u"current difficulty: normal", u"current difficulty: suicidal");
    case 1: return Choose(Settings.fullScreen, u"change screenmode (windowed)", u"change screenmode (fullscreen)");
    case 2: return Choose(Settings.scanlinesOn, u"scanlines: off", u"scanlines: on");
    case 3: return Choose(Settings.sfxOn, u"turn sfx on/off (off)", u"turn sfx on/off (on)");
    case 4: return Choose(Settings.musicOn, u"turn music on/off (off)", u"turn music on/off (on)");
    case 5: return controls.mode == ControlMode::Pad ? u"controls (pad active)" : StringConcat(u"controls ", padText);
    case 6: return u"redefine keys";
    case 7: return StringConcat(StringConcat(u"set playername (", Settings.playerName), u")");
    case 8:
      return Choose(Settings.alternativeSoundOutput, u"vista friendly sound (off)", u"vista friendly sound (on)");
    default: return u"back to mainmenu";
  }
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
    Settings.padControl = 0;
    controls.mode = ControlMode::Keyboard;
    PadCheckPending = false;
  } else if (PadCheckPending) {
    controls.mode = ControlMode::Pad;
    PadCheckPending = false;
    TakeRestForMenu();
  }
}

TDisplay* OpenInMode(int fullScreen) {
  return OpenGraphicsDisplay(640, 480, fullScreen == 1 ? 16 : 0, 60, 0);
}

// Reopens the display in the other mode; every image survives the switch.
// When the other mode cannot be had, the mode that worked comes back and
// the setting keeps saying so.
void SwitchScreenMode() {
  Settings.fullScreen ^= 1;
  if (Settings.fullScreen == 0 || Settings.fullScreen == 1) {
    if (!OpenInMode(Settings.fullScreen)) {
      Settings.fullScreen ^= 1;
      if (!OpenInMode(Settings.fullScreen) && Settings.fullScreen == 1 && OpenInMode(0)) Settings.fullScreen = 0;
    }
  }
  SleepMillis(200);
  ClearDrawBuffer();
  SetDrawBlendMode(BlendMode::Alpha);
  DrawMenuBackground();
}

void ToggleMusic() {
  Settings.musicOn ^= 1;
  if (Settings.musicOn == 0) MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.0f;
  if (Settings.musicOn == 1) MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
  // With music off the menu tune still runs, silent.
  SwitchMusic(snd_m_menu, MenuMusicVolume);
}

void ToggleControls() {
  PlaySfx(snd_menuselect2);
  if (CountJoysticks() == 0) {
    Settings.padControl = 0;
    controls.mode = ControlMode::Keyboard;
    return;
  }
  Settings.padControl = 1;
  controls.mode = controls.mode == ControlMode::Pad ? ControlMode::Keyboard : ControlMode::Pad;
  MenuPadRestY = JoyAxisY(0);
}

// Returns true when the menu is done.
bool ActOnRow(int row) {
  switch (row) {
    case 0: Settings.difficulty ^= 1; break;
    case 1: SwitchScreenMode(); break;
    case 2: Settings.scanlinesOn ^= 1; break;
    case 3: Settings.sfxOn ^= 1; break;
    case 4: ToggleMusic(); break;
    case 5: ToggleControls(); break;
    case 6: KeyMenu(); break;
    case 7: EnterPlayerName(); break;
    case 8: Settings.alternativeSoundOutput ^= 1; break;  // the audio output follows it at the next start
    default:
      SleepMillis(100);
      ClearKeyStates();
      return true;
  }
  return false;
}

void MoveCursor(int& cursor, int step) {
  PlaySfx(snd_menuselect2);
  cursor = (cursor + step + kRows) % kRows;
  SleepMillis(200);
  ClearPadHits();
}

}  // namespace

void OptionsMenu() {
  SetDrawBlendMode(BlendMode::Alpha);
  int cursor = 0;
  bool done = false;
  String padText;
  GrabImageFromScreen(ScreenGrab, 0, 0, 0);

  do {
    DrawMenuBackground();
    for (int row = 0; row < kRows; ++row) DrawFontText(RowText(row, padText), 4, RowOf(row));
    DrawFontText(u"*", 2, RowOf(cursor));

    CheckForPad(padText);

    // One reading serves both directions; there is no dead zone.
    MenuPadAxis = JoyAxisY(0);
    if (TakeKeyPressCount(KeyCode::Down) > 0 || TakeKeyPressCount(KeyCode::Space) > 0 ||
        (controls.mode == ControlMode::Pad && MenuPadAxis > MenuPadRestY))
      MoveCursor(cursor, +1);
    if (TakeKeyPressCount(KeyCode::Up) > 0 || (controls.mode == ControlMode::Pad && MenuPadAxis < MenuPadRestY))
      MoveCursor(cursor, -1);

    if (TakeKeyPressCount(Settings.keyFire) > 0 || TakeKeyPressCount(KeyCode::Enter) > 0 ||
        TakePadPress(Settings.padClimbButton) || TakePadPress(Settings.padFireButton)) {
      PlaySfx(snd_menuselect2);
      done = ActOnRow(cursor);
    }

    DrawScanlines();
    PresentFrame(-1);
  } while (TakeKeyPressCount(KeyCode::Escape) == 0 && !done);

  ClearKeyStates();
  if (Settings.padControl == 1) TakeRestForMenu();
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
