// The key table, the press-any-key poll, the key menu and the redefinition
// of the bike's controls, driven as a player would.
#include <functional>
#include <iterator>
#include <map>

#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "screens/screens.h"

namespace {


class KeysTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterProgramFiles();
    for (TImage** picture : {&img_font, &img_menumain, &img_menutitle}) LoadPicture(picture);
    Settings = SavedSettings();
    Settings.scanlinesOn = 0;
    controls.keyClimb2 = KeyCode::Up;
    ClearKeyStates();
  }
};

// Whether the text stands at (column, row) of the shot as the menu frame with
// that text alone shows it there.
::testing::AssertionResult ShowsText(const std::vector<uint8_t>& shot, const String& text, int column, int row) {
  ClearDrawBuffer();
  DrawMenuBackground();
  DrawFontText(text, float(column), float(row));
  const std::vector<uint8_t> want = ReadScreenRGBA();
  for (int y = row * 16; y < row * 16 + 16; ++y)
    for (int x = column * 16; x < 640; ++x)
      for (size_t i = (size_t(y) * 640 + size_t(x)) * 4, c = 0; c < 3; ++c)
        if (shot[i + c] != want[i + c])
          return ::testing::AssertionFailure() << "no \"" << StringToAscii(text) << "\" at row " << row;
  return ::testing::AssertionSuccess();
}

// The key table, entry by entry in scan order, typed out here apart from
// the game's own so that a changed code or name anywhere in it shows.
// Codes 13, 107 and 109 stand twice; the last entry ends every scan.
struct ListedKey {
  int code;
  const char* name;
};
const ListedKey kListedKeys[104] = {
    {8, "Backspace"}, {9, "Tab"}, {13, "Return"}, {13, "Enter"}, {19, "Pause"}, {20, "Caps Lock"},
    {27, "Escape"}, {32, "Space"}, {33, "Page Up"}, {34, "Page Down"}, {35, "End"}, {36, "Home"},
    {37, "Cursor (Left)"}, {38, "Cursor (Up)"}, {39, "Cursor (Right)"}, {40, "Cursor (Down)"},
    {45, "Insert"}, {46, "Delete"}, {47, "Help"},
    {48, "0"}, {49, "1"}, {50, "2"}, {51, "3"}, {52, "4"}, {53, "5"}, {54, "6"}, {55, "7"}, {56, "8"}, {57, "9"},
    {65, "A"}, {66, "B"}, {67, "C"}, {68, "D"}, {69, "E"}, {70, "F"}, {71, "G"}, {72, "H"}, {73, "I"},
    {74, "J"}, {75, "K"}, {76, "L"}, {77, "M"}, {78, "N"}, {79, "O"}, {80, "P"}, {81, "Q"}, {82, "R"},
    {83, "S"}, {84, "T"}, {85, "U"}, {86, "V"}, {87, "W"}, {88, "X"}, {89, "Y"}, {90, "Z"},
    {91, "Sys key (Left)"}, {92, "Sys key (Right)"},
    {96, "Numpad 0"}, {97, "Numpad 1"}, {98, "Numpad 2"}, {99, "Numpad 3"}, {100, "Numpad 4"},
    {101, "Numpad 5"}, {102, "Numpad 6"}, {103, "Numpad 7"}, {104, "Numpad 8"}, {105, "Numpad 9"},
    {106, "Numpad *"}, {107, "Numpad +"}, {109, "Numpad -"}, {110, "Numpad ."}, {111, "Numpad /"},
    {112, "F1"}, {113, "F2"}, {114, "F3"}, {115, "F4"}, {116, "F5"}, {117, "F6"}, {118, "F7"}, {119, "F8"},
    {120, "F9"}, {121, "F10"}, {122, "F11"}, {123, "F12"},
    {144, "Num Lock"}, {145, "Scroll Lock"}, {160, "Shift (Left)"}, {161, "Shift (Right)"},
    {162, "Control (Left)"}, {163, "Control (Right)"}, {164, "Alt key (Left)"}, {165, "Alt key (Right)"},
    {192, "Tilde"}, {107, "Minus"}, {109, "Equals"}, {219, "Bracket (Open)"}, {221, "Bracket (Close)"},
    {226, "Backslash"}, {186, "Semi-colon"}, {222, "Quote"}, {188, "Comma"}, {190, "Period"}, {191, "Slash"},
    {255, "n/a"},
};

// The name a player is shown for a code: the first listed entry holding it,
// the end entry's "n/a" when none before it does.
String ListedName(int code) {
  for (const ListedKey& k : kListedKeys)
    if (k.code == code || k.code == 255) return StringFromAscii(k.name);
  return u"n/a";
}

TEST_F(KeysTest, TheTableAndItsCopyInTheDataListHoldEveryListedEntryInOrder) {
  ASSERT_EQ(KeyTable().size(), std::size(kListedKeys));
  RestoreData("KeyTable");
  for (size_t i = 0; i < std::size(kListedKeys); ++i) {
    const String name = StringFromAscii(kListedKeys[i].name);
    EXPECT_EQ(KeyTable()[i].code, kListedKeys[i].code) << "entry " << i + 1 << ", " << kListedKeys[i].name;
    EXPECT_EQ(KeyTable()[i].name, name) << "entry " << i + 1 << " (code " << kListedKeys[i].code << ")";
    // The data list the screens read holds the same pairs, in the same order.
    EXPECT_EQ(TaggedValueToNumber(), kListedKeys[i].code) << "data list, entry " << i + 1;
    EXPECT_EQ(TaggedValueToString(), name) << "data list, entry " << i + 1;
  }
}

TEST_F(KeysTest, EveryCodeIsNamedByItsFirstListedEntry) {
  // The three codes that stand twice show their first name; the later
  // entries never take effect. Any code no entry holds reads "n/a".
  EXPECT_EQ(ListedName(13), u"Return");
  EXPECT_EQ(ListedName(107), u"Numpad +");
  EXPECT_EQ(ListedName(109), u"Numpad -");
  for (int code = -1; code <= 256; ++code)
    EXPECT_EQ(KeyName(code), ListedName(code)) << "code " << code;
}

TEST_F(KeysTest, TheKeyMenuNamesADoubledCodeByItsFirstEntry) {
  // Bindings a hand-edited settings file may hold: the menu shows what the
  // scan finds first, and a code outside the table as "n/a".
  Settings.keyLeft = 13, Settings.keyRight = 107, controls.keyClimb2 = 109, Settings.keyFire = 200;
  std::vector<uint8_t> shot;
  const int64_t base = PresentedFrameCount();
  SetScriptHook([&] {
    if (PresentedFrameCount() - base == 1 && shot.empty()) shot = ReadScreenRGBA(), ScriptKeyTap(KeyCode::Escape);
    if (PresentedFrameCount() - base > 5) ScriptKeyTap(KeyCode::Escape);  // never hang
  });
  KeyMenu();
  SetScriptHook(nullptr);
  ASSERT_FALSE(shot.empty());
  EXPECT_TRUE(ShowsText(shot, u"Return", 18, 10));
  EXPECT_TRUE(ShowsText(shot, u"Numpad +", 18, 12));
  EXPECT_TRUE(ShowsText(shot, u"Numpad -", 18, 14));
  EXPECT_TRUE(ShowsText(shot, u"n/a", 18, 16));
}

TEST_F(KeysTest, NamesAndPollsTakeTheFirstMatchingEntry) {
  ASSERT_EQ(KeyTable().size(), 104u);
  EXPECT_EQ(KeyName(13), u"Return");  // codes that stand twice take their first name
  EXPECT_EQ(KeyName(KeyCode::NumpadPlus), u"Numpad +");
  EXPECT_EQ(KeyName(109), u"Numpad -");
  EXPECT_EQ(KeyName(0), u"n/a");
  EXPECT_EQ(KeyName(KeyCode::Minus), u"n/a");
  EXPECT_EQ(KeyName(105), u"Numpad 9");
  EXPECT_EQ(KeyName(123), u"F12");

  // Two presses: the earlier entry is found first, the other stays counted.
  ScriptKeyTap('A');
  ScriptKeyTap(KeyCode::Enter);
  EXPECT_EQ(PollKeyTable(), KeyCode::Enter);
  EXPECT_EQ(PollKeyTable(), 'A');
  // A key outside the table is not found, and its press is left alone.
  ScriptKeyTap(KeyCode::Minus);
  EXPECT_EQ(PollKeyTable(), 0);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Minus), 1);
}

// The key menu as a player uses it: Tab on its first frame, the four
// questions on frames 2-5, Escape on frame 8. Each question waits on held
// keys, resting between scans; `answer` (question frame, rests so far) runs
// at every rest and holds the keys it likes. Every key is let go at each new
// frame. The screens of frames 1 and 8 are kept.
struct KeyMenuRun {
  std::vector<uint8_t> before, after;
  int64_t frames = 0;
};
KeyMenuRun RunKeyMenu(const std::function<void(int64_t question, int rests)>& answer) {
  KeyMenuRun run;
  int64_t lastFrame = 0;
  int rests = 0;
  const int64_t base = PresentedFrameCount();
  SetScriptHook([&] {
    const int64_t n = PresentedFrameCount() - base;
    if (n != lastFrame) {
      for (int scancode = 1; scancode < 512; ++scancode) ScriptScancodeUp(scancode);
      lastFrame = n, rests = 0;
      if (n == 1) run.before = ReadScreenRGBA(), ScriptKeyTap(KeyCode::Tab);
      if (n == 8) run.after = ReadScreenRGBA(), ScriptKeyTap(KeyCode::Escape);
      return;
    }
    answer(n, ++rests);
    if (rests > 2000) ScriptKeyDown(KeyCode::Escape);  // never hang
  });
  KeyMenu();
  SetScriptHook(nullptr);
  run.frames = PresentedFrameCount() - base;
  return run;
}

TEST_F(KeysTest, RedefinitionTakesAnyHeldTableKeyAndTheMenuShowsIt) {
  std::map<int64_t, int> holdAt;  // question frame -> key to hold
  holdAt[2] = KeyCode::Escape;       // Left: Escape is a key like any other
  holdAt[3] = KeyCode::Minus;    // Right: not in the table, ignored...
  holdAt[4] = KeyCode::NumpadPlus;   // up: both climb keys
  holdAt[5] = KeyCode::Backspace;    // fire
  const KeyMenuRun run = RunKeyMenu([&](int64_t n, int rests) {
    if (rests == 5 && holdAt.count(n)) ScriptKeyDown(holdAt[n]);
    if (rests == 30 && n == 3) ScriptKeyDown('A'), ScriptKeyDown(KeyCode::Enter);  // ...Return wins over A
  });

  EXPECT_EQ(Settings.keyLeft, KeyCode::Escape);
  EXPECT_EQ(Settings.keyRight, KeyCode::Enter);
  EXPECT_EQ(Settings.keyClimb, KeyCode::NumpadPlus);
  EXPECT_EQ(controls.keyClimb2, KeyCode::NumpadPlus);
  EXPECT_EQ(Settings.keyFire, KeyCode::Backspace);
  // Questions on frames 2-5, the last step 6, the menu's own frames 7-8:
  // the Escape that answered did not end the menu.
  EXPECT_EQ(run.frames, 8);

  ASSERT_FALSE(run.before.empty());
  EXPECT_TRUE(ShowsText(run.before, u"Cursor (Up)", 18, 14));  // the second climb key, not the saved Alt
  EXPECT_TRUE(ShowsText(run.before, u"Control (Left)", 18, 16));
  ASSERT_FALSE(run.after.empty());
  EXPECT_TRUE(ShowsText(run.after, u"Escape", 18, 10));
  EXPECT_TRUE(ShowsText(run.after, u"Return", 18, 12));
  EXPECT_TRUE(ShowsText(run.after, u"Numpad +", 18, 14));
  EXPECT_TRUE(ShowsText(run.after, u"Backspace", 18, 16));
}

TEST_F(KeysTest, ALetterKeyIsTheOneTheLayoutLabels) {
  // A German keyboard: Z where a US one has Y, and Y where it has Z.
  const int keyLabelledZ = ScancodeFromVirtualKey('Y'), keyLabelledY = ScancodeFromVirtualKey('Z');
  SetLayoutStandIn(keyLabelledZ, 'z');
  SetLayoutStandIn(keyLabelledY, 'y');
  const KeyMenuRun run = RunKeyMenu([&](int64_t n, int rests) {
    if (rests != 5) return;
    if (n == 2) ScriptKeyDown(KeyCode::Left);
    if (n == 3) ScriptKeyDown(KeyCode::Right);
    if (n == 4) ScriptKeyDown(KeyCode::Up);
    if (n == 5) ScriptScancodeDown(keyLabelledZ);  // fire
  });
  EXPECT_EQ(Settings.keyFire, 'Z');
  ASSERT_FALSE(run.after.empty());
  EXPECT_TRUE(ShowsText(run.after, u"Z", 18, 16));

  // The bike fires on the key labelled Z, not on the one in Z's US place.
  StartWorld();
  controls.mode = ControlMode::Keyboard, Settings.sfxOn = 0;
  ClearKeyStates();
  ScriptScancodeTap(keyLabelledY);
  PlayerControl(ReadBikeCommand());
  EXPECT_EQ(world.playerBullets->Count(), 0);
  ScriptScancodeTap(keyLabelledZ);
  PlayerControl(ReadBikeCommand());
  EXPECT_EQ(world.playerBullets->Count(), 1);
}

}  // namespace
