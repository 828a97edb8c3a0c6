// Reading keys through the key table, the key menu and the redefinition of
// the four bike controls.
#include "screens/screens.h"

namespace {

constexpr int kEndCode = 255;

constexpr int kColumn = 8;
constexpr int kRowLeft = 10, kRowRight = 12, kRowUp = 14, kRowFire = 16;

// One frame of the redefinition: the lines asked so far with their keys, the
// line being asked (if any) with its label alone.
void DrawRedefineStep(int asking) {
  DrawMenuBackground();
  const String labels[4] = {u"Left", u"Right", u"up", u"Fire1"};
  const int rows[4] = {kRowLeft, kRowRight, kRowUp, kRowFire};
  const int codes[4] = {Settings.keyLeft, Settings.keyRight, controls.keyClimb2, Settings.keyFire};
  for (int i = 0; i < 4 && i <= asking; ++i) DrawKeyLine(labels[i], codes[i], kColumn, rows[i], i == asking);
  DrawScanlines();
  PresentFrame(-1);
}

// Shows the redefinition asking for line `asking` and returns the key given.
int AskForKey(int asking) {
  DrawRedefineStep(asking);
  return WaitForKey();
}

}  // namespace

int PollKeyTable() {
  for (const KeyTableEntry& e : KeyTable()) {
    // Only keys up to the first pressed one are asked, so later presses
    // stay counted for the next query.
    if (TakeKeyPressCount(e.code) != 0) return e.code;
    if (e.code == kEndCode) break;
  }
  return 0;
}

int WaitForKey() {
  int key = 0;
  SleepMillis(100);
  ClearKeyStates();
  for (;;) {
    for (const KeyTableEntry& e : KeyTable()) {
      if (IsKeyHeld(e.code)) {
        key = e.code;
        break;
      }
      if (e.code == kEndCode) break;
    }
    if (key != 0) break;
    SleepMillis(1);  // nothing is shown while waiting; just don't hog the processor
  }
  PlaySfx(snd_menuselect2);
  return key;
}

void DrawKeyLine(const String& label, int code, int column, int row, bool labelOnly) {
  DrawFontText(label, static_cast<float>(column), static_cast<float>(row));
  if (!labelOnly) DrawFontText(KeyName(code), static_cast<float>(column + 10), static_cast<float>(row));
}

void KeyMenu() {
  PlaySfx(snd_menuselect2);
  SetDrawBlendMode(BlendMode::Alpha);
  for (;;) {
    DrawMenuBackground();
    // The "up" row names the second climb key: until the keys are redefined
    // the saved climb key climbs too, unseen here.
    DrawKeyLine(u"Left", Settings.keyLeft, kColumn, kRowLeft, false);
    DrawKeyLine(u"Right", Settings.keyRight, kColumn, kRowRight, false);
    DrawKeyLine(u"up", controls.keyClimb2, kColumn, kRowUp, false);
    DrawKeyLine(u"Fire1", Settings.keyFire, kColumn, kRowFire, false);
    DrawFontText(u"use tab to redefine keys", 7, 24);
    DrawFontText(u"or esc to exit this menu", 7, 25);
    if (TakeKeyPressCount(KeyCode::Tab) > 0) RedefineKeys();
    DrawScanlines();
    PresentFrame(-1);
    if (TakeKeyPressCount(KeyCode::Escape) > 0) {
      PlaySfx(snd_menuselect2);
      return;
    }
  }
}

void RedefineKeys() {
  Settings.keyLeft = AskForKey(0);
  Settings.keyRight = AskForKey(1);
  controls.keyClimb2 = AskForKey(2);
  Settings.keyClimb = controls.keyClimb2;
  Settings.keyFire = AskForKey(3);
  DrawRedefineStep(4);
  ClearKeyStates();
}
