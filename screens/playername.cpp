// Player-name entry: no typing. The symbols stand on a wheel round the
// middle of the screen; the player turns it until the wanted symbol is at the
// bottom under a bobbing arrow and adds it with fire.
#include "screens/screens.h"

namespace {

const String kWheel = u"abcdefghijklmnopqrstuvwxyz 0123456789<";
constexpr int kSymbols = 38;
constexpr int kDeleteSymbol = 37;  // "<" takes a character off instead
constexpr size_t kMaxNameLength = 10;


void DrawWheel(int selected) {
  SetDrawColour(255, 0, 0);
  // 38 places 9.5 degrees apart, the selected symbol at the bottom and the
  // rest running round to the right, over the top and down the left.
  for (int n = 0; 9.5f * static_cast<float>(n) <= 359.0f; ++n) {
    const double a = 9.5f * static_cast<float>(n);
    const float column = static_cast<float>(19 + 17 * SinDegrees(a));
    const float row = static_cast<float>(13 + 12 * CosDegrees(a));
    DrawFontText(kWheel.substr(static_cast<size_t>((selected + n) % kSymbols), 1), column, row);
  }
}

void DeleteLast() {
  String& name = Settings.playerName;
  if (!name.empty()) name = LeadingChars(name, static_cast<int>(name.size()) - 1);
}

}  // namespace

void EnterPlayerName() {
  int selected = 0;
  float arrowAngle = 0;
  SetDrawBlendMode(BlendMode::Alpha);

  for (;;) {
    DrawMenuBackground();
    DrawWheel(selected);

    SetDrawColour(255, 255, 255);
    DrawFontText(u"use left/right to selcect a letter.", 2, 27);
    DrawFontText(u"use fire to set character. Enter to end.", 0, 28.5f);
    DrawFontText(StringConcat(u"name: ", Settings.playerName), 12, 13);

    // The arrow bobs 12 pixels over the selected symbol, once every 45 frames.
    arrowAngle += 8;
    if (arrowAngle > 359) arrowAngle = 0;
    DrawImageFrame(img_arrow, 296, static_cast<float>(336 - TruncateToInt(12 * SinDegrees(arrowAngle))), 0);

    // Turning follows held keys (one symbol per 100 ms); the pad has no dead zone.
    const float padX = JoyAxisX(0);
    if (IsKeyHeld(KeyCode::Left) || (controls.mode == ControlMode::Pad && padX < controls.padRestX)) {
      PlaySfx(snd_menuselect2);
      selected = (selected + kSymbols - 1) % kSymbols;
      SleepMillis(100);
    }
    if (IsKeyHeld(KeyCode::Right) || (controls.mode == ControlMode::Pad && padX > controls.padRestX)) {
      PlaySfx(snd_menuselect2);
      selected = (selected + 1) % kSymbols;
      SleepMillis(100);
    }

    if (TakeKeyPressCount(KeyCode::Backspace) > 0 || TakePadPress(Settings.padClimbButton)) {
      PlaySfx(snd_menuselect2);
      DeleteLast();
    }
    if (TakeKeyPressCount(Settings.keyFire) > 0 || TakePadPress(Settings.padFireButton)) {
      PlaySfx(snd_menuselect2);
      if (selected == kDeleteSymbol)
        DeleteLast();
      else if (Settings.playerName.size() < kMaxNameLength)
        Settings.playerName = StringConcat(Settings.playerName, kWheel.substr(static_cast<size_t>(selected), 1));
    }

    DrawScanlines();
    PresentFrame(-1);

    if (TakeKeyPressCount(KeyCode::Enter) > 0 || TakeKeyPressCount(KeyCode::Escape) > 0) break;
    if (controls.mode == ControlMode::Pad && IsJoyButtonHeld(Settings.padClimbButton, 0) &&
        IsJoyButtonHeld(Settings.padFireButton, 0))
      break;
  }

  SleepMillis(100);
  ClearKeyStates();
  PlaySfx(snd_menuselect);
}
