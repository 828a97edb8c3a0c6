// The key table, the press-any-key poll, the key menu and the redefinition
// of the bike's controls, driven as a player would.
#include <functional>
#include <map>

#include "harness/harness.h"
#include "shell/shell.h"

namespace {


class KeysTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterProgramFiles();
    for (TImage** picture : {&img_font, &img_menumain, &img_menutitle}) LoadPicture(picture);
    Settings = SavedSettings();
    Settings.scanlinesOn = 0;
    KeyClimb2 = KeyCode::Up;
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
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, KeyCode::Enter);
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, 'A');
  // A key outside the table is not found, and its press is left alone.
  ScriptKeyTap(KeyCode::Minus);
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, 0);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Minus), 1);
}

TEST_F(KeysTest, RedefinitionTakesAnyHeldTableKeyAndTheMenuShowsIt) {
  // Each question waits on held keys, resting between scans; the player
  // answers at the k-th rest after the question's frame.
  std::map<int64_t, std::function<void()>> onFrame;
  std::map<int64_t, int> holdAt;  // question frame -> key to hold
  std::vector<uint8_t> before, after;
  int64_t lastFrame = 0;
  int sleeps = 0;
  onFrame[1] = [&] {
    before = ReadScreenRGBA();
    ScriptKeyTap(KeyCode::Tab);
  };
  holdAt[2] = KeyCode::Escape;       // Left: Escape is a key like any other
  holdAt[3] = KeyCode::Minus;    // Right: not in the table, ignored...
  holdAt[4] = KeyCode::NumpadPlus;   // up: both climb keys
  holdAt[5] = KeyCode::Backspace;    // fire
  onFrame[8] = [&] {
    after = ReadScreenRGBA();
    ScriptKeyTap(KeyCode::Escape);
  };
  const int64_t base = PresentedFrameCount();
  SetScriptHook([&] {
    const int64_t n = PresentedFrameCount() - base;
    if (n != lastFrame) {
      for (int k : {KeyCode::Escape, KeyCode::Minus, int('A'), KeyCode::Enter, KeyCode::NumpadPlus,
                    KeyCode::Backspace})
        ScriptKeyUp(k);
      lastFrame = n, sleeps = 0;
      if (onFrame.count(n)) onFrame[n]();
      return;
    }
    ++sleeps;
    if (sleeps == 5 && holdAt.count(n)) ScriptKeyDown(holdAt[n]);
    if (sleeps == 30 && n == 3) ScriptKeyDown('A'), ScriptKeyDown(KeyCode::Enter);  // ...Return wins over A
    if (sleeps > 2000) ScriptKeyDown(KeyCode::Escape);  // never hang
  });
  KeyMenu();
  SetScriptHook(nullptr);

  EXPECT_EQ(Settings.keyLeft, KeyCode::Escape);
  EXPECT_EQ(Settings.keyRight, KeyCode::Enter);
  EXPECT_EQ(Settings.keyClimb, KeyCode::NumpadPlus);
  EXPECT_EQ(KeyClimb2, KeyCode::NumpadPlus);
  EXPECT_EQ(Settings.keyFire, KeyCode::Backspace);
  // Questions on frames 2-5, the last step 6, the menu's own frames 7-8:
  // the Escape that answered did not end the menu.
  EXPECT_EQ(PresentedFrameCount() - base, 8);

  ASSERT_FALSE(before.empty());
  EXPECT_TRUE(ShowsText(before, u"Cursor (Up)", 18, 14));  // the second climb key, not the saved Alt
  EXPECT_TRUE(ShowsText(before, u"Control (Left)", 18, 16));
  ASSERT_FALSE(after.empty());
  EXPECT_TRUE(ShowsText(after, u"Escape", 18, 10));
  EXPECT_TRUE(ShowsText(after, u"Return", 18, 12));
  EXPECT_TRUE(ShowsText(after, u"Numpad +", 18, 14));
  EXPECT_TRUE(ShowsText(after, u"Backspace", 18, 16));
}

}  // namespace
