// The main menu, the hub of the front end, and the dimmed menu frame that the
// other front-end screens draw behind their text.
#include "screens/screens.h"
#include "gameplay/gameplay.h"

namespace {

// The entries from the top; the cursor stands beside one of them.
enum class MenuEntry { Play, Options, Mission, HighScores, Credits, Exit };
constexpr int kEntries = static_cast<int>(MenuEntry::Exit) + 1;

// Kept across sub-screens and games while the menu runs.
MenuEntry Choice = MenuEntry::Play;
int CursorFrame = 0;  // 0-7
int CursorDelay = 0;
bool ExitRequest = false;  // the exit dialog is due
float Fade = 0;            // alpha of the menu's fades and of its exit dialog

// The pad's axes as last read.
float PadX = 0, PadY = 0;

// Counts frames for the newer-version notice: hidden on 0-30, shown on 31-59.
int BlinkCounter = 0;

// The undimmed menu: background, title, entries and the animated cursor.
void DrawMenuPicture() {
  ClearDrawBuffer();
  DrawImageFrame(img_menumain, 0, 0, 0);
  DrawImageFrame(img_menutitle, 144, 22, 0);
  DrawImageFrame(img_menutext, 304, 208, 0);
  DrawImageFrame(img_menuarrow, 310, static_cast<float>(213 + 32 * static_cast<int>(Choice)), CursorFrame);
}

// Fades the menu out, runs a game and fades the menu back in.
GameResult PlayFromMenu() {
  Fade = 1.0f;
  SetDrawBlendMode(BlendMode::Alpha);
  FadeFrames(Fade, -0.04f, 0.0f, DrawMenuPicture);
  SetDrawAlpha(1);
  const GameResult result = PlayGame();

  SetDrawColour(255, 255, 255);
  SetDrawAlpha(1);
  DrawMenuPicture();
  GrabImageFromScreen(ScreenGrab, 0, 0, 0);
  Fade = 0;
  FadeScreenGrab(Fade, 0.04f, 1.0f);
  return result;
}

// lastGame: what the last game of this menu returned, for the high-score
// screen; a game played from here replaces it.
void ActOnChoice(GameResult& lastGame) {
  switch (Choice) {
    case MenuEntry::Play: lastGame = PlayFromMenu(); break;
    case MenuEntry::Options: OptionsMenu(); break;
    case MenuEntry::Mission: ShowMission(); break;
    case MenuEntry::HighScores: ShowHighscores(lastGame); break;
    case MenuEntry::Credits: ShowCredits(); break;
    case MenuEntry::Exit: ExitRequest = true; break;
  }
}

// "exit to windows  (y/n)" over the dimmed menu, answered by keys or pad.
// True for yes, which ends the menu.
bool ExitDialog() {
  const YesNoQuestion question{.text = u"exit to windows  (y/n)", .column = 9, .row = 14, .padAnswers = true};
  const bool yes = AskYesNo(Fade, question);
  if (!yes) ExitRequest = false;
  return yes;
}

void MoveCursor(int step, int& direction) {
  PlaySfx(snd_menuselect);
  Choice = static_cast<MenuEntry>((static_cast<int>(Choice) + step + kEntries) % kEntries);
  PlaySfx(snd_menuselect2);
  if (direction > 0) {
    // A move by the pad pauses, which paces a stick held off its rest.
    direction = 0;
    ClearPadHits();
    SleepMillis(200);
  }
}

void OpenMenu() {
  Choice = MenuEntry::Play;
  ExitRequest = false;
  BlinkCounter = 0;
  SleepMillis(100);
  CursorFrame = 0;
  CursorDelay = 0;
  TakePadRest();
  SwitchMusic(snd_m_menu, MenuMusicVolume);

  SetDrawBlendMode(BlendMode::Alpha);
  DrawMenuPicture();
  DrawScanlines();
  GrabImageFromScreen(ScreenGrab, 0, 0, 0);
  // Fade in from black over 32 frames; the menu stays in grey 248 until a
  // game or a sub-screen sets white again.
  BrightenScreenGrab(8, 248);
  ClearKeyStates();
}

}  // namespace

void DrawMenuBackground() {
  ClearDrawBuffer();
  SetDrawAlpha(0.5f);
  DrawImageFrame(img_menumain, 0, 0, 0);
  DrawImageFrame(img_menutitle, 144, 22, 0);
  SetDrawAlpha(1);
}

void MainMenu() {
  // Before any game the high-score screen shows a last score of 0 and a sync
  // sends level 0.
  GameResult lastGame{};
  bool leaving = false;
  OpenMenu();
  do {
    DrawMenuPicture();
    BlinkCounter = (BlinkCounter + 1) % 60;
    if (StringCompare(VersionMessage1, u"the newer version") == 0 && BlinkCounter > 30) {
      DrawFontText(StringConcat(StringConcat(u"Newer version ", NewerVersion), u" available."), 11, 28);
      if (BlinkCounter == 31) PlaySfx(snd_bzzzt);
    }
    DrawScanlines();

    if (++CursorDelay > 5) {
      CursorDelay = 0;
      if (++CursorFrame > 7) CursorFrame = 0;
    }

    if (TakeKeyPressCount(KeyCode::Enter) > 0 || TakePadPress(Settings.padClimbButton) ||
        TakePadPress(Settings.padFireButton)) {
      PlaySfx(snd_menuselect);
      ActOnChoice(lastGame);
    }

    // The pad has no dead zone: any reading off its rest moves, and the
    // vertical axis wins over the horizontal one.
    int direction = 0;
    if (controls.mode == ControlMode::Pad) {
      PadX = JoyAxisX(0);
      PadY = JoyAxisY(0);
      if (PadX < controls.padRestX) direction = 2;
      if (PadX > controls.padRestX) direction = 1;
      if (PadY < controls.padRestY) direction = 2;
      if (PadY > controls.padRestY) direction = 1;
    }
    if (TakeKeyPressCount(KeyCode::Space) > 0 || TakeKeyPressCount(KeyCode::Down) > 0 || direction == 1)
      MoveCursor(+1, direction);
    if (TakeKeyPressCount(KeyCode::Up) > 0 || direction == 2) MoveCursor(-1, direction);

    if (TakeKeyPressCount(KeyCode::Escape) > 0 || ExitRequest) leaving = ExitDialog();

    DrawScanlines();
    PresentFrame(-1);
  } while (!leaving);

  SleepMillis(100);
  ClearKeyStates();
  StopWorld();
}
