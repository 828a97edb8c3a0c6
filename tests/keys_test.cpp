// The key table, the press-any-key poll, the key menu and the redefinition
// of the bike's controls, driven as a player would.
#include <functional>
#include <map>

#include "harness/harness.h"
#include "shell/shell.h"

namespace {

constexpr int kBackspace = 8, kTab = 9, kReturn = 13, kEscape = 27, kUp = 38;
constexpr int kNumpadPlus = 107, kMainMinus = 189;

// A player for screens that sit waiting: actions after a given frame, or at
// the k-th sleep after that frame while no newer frame has come.
class Player {
 public:
  ~Player() { SetScriptHook(nullptr); }
  void OnFrame(int64_t n, std::function<void()> f) { frames_[n].push_back(std::move(f)); }
  void OnSleep(int64_t n, int k, std::function<void()> f) { sleeps_[{n, k}].push_back(std::move(f)); }
  // Runs at every sleep once a screen has slept this often without a frame.
  void IfStuck(std::function<void()> f) { rescue_ = std::move(f); }
  void Install() {
    base_ = PresentedFrameCount();
    SetScriptHook([this] { Tick(); });
  }
  int64_t Frames() const { return PresentedFrameCount() - base_; }
  int MostSleepsBetweenFrames() const { return mostSleeps_; }
  bool stuck = false;

 private:
  static void Run(std::vector<std::function<void()>>& list) {
    auto todo = std::move(list);
    list.clear();
    for (auto& f : todo) f();
  }
  void Tick() {
    const int64_t n = Frames();
    if (n != lastFrame_) {
      lastFrame_ = n;
      sleeps_since_ = 0;
      Run(frames_[n]);
      return;
    }
    ++sleeps_since_;
    if (sleeps_since_ > mostSleeps_) mostSleeps_ = sleeps_since_;
    Run(sleeps_[{n, sleeps_since_}]);
    if (sleeps_since_ > 3000 && rescue_) {
      stuck = true;
      rescue_();
    }
  }
  std::map<int64_t, std::vector<std::function<void()>>> frames_;
  std::map<std::pair<int64_t, int>, std::vector<std::function<void()>>> sleeps_;
  std::function<void()> rescue_;
  int64_t base_ = 0, lastFrame_ = 0;
  int sleeps_since_ = 0, mostSleeps_ = 0;
};

class KeysTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterEmbeddedFiles();
    InstallProgramData();
    img_font = LoadImageCells(ResPath("font.png"), 16, 16, 0, 60, -1);
    img_menumain = LoadImageResource(ResPath("menumain.png"), -1);
    img_menutitle = LoadImageResource(ResPath("menutitle.png"), -1);
    ScanlinesOn = 0;
    SfxOn = 1;
    ControlMode = 0;
    KeyLeft = 37;
    KeyRight = 39;
    KeyClimb = 164;
    KeyClimb2 = 38;
    KeyFire = 162;
    LastKeyCode = 0;
    SetDrawColour(255, 255, 255);
    SetDrawAlpha(1);
    SetDrawBlendMode(3);
    ClearKeyStates();
  }
};

// Whether the text stands at (column, row) of the shot, as the menu frame
// with that text alone would show it, and is visible there at all.
::testing::AssertionResult ShowsText(const std::vector<uint8_t>& shot, const String& text, int column, int row) {
  ClearDrawBuffer();
  DrawMenuBackground();
  const std::vector<uint8_t> bare = ReadScreenRGBA();
  DrawFontText(text, static_cast<float>(column), static_cast<float>(row));
  const std::vector<uint8_t> want = ReadScreenRGBA();
  bool same = true, visible = false;
  for (int y = row * 16; y < row * 16 + 16; ++y)
    for (int x = column * 16; x < std::min(640, (column + int(text.size())) * 16); ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t i = (size_t(y) * 640 + size_t(x)) * 4 + size_t(c);
        same = same && shot[i] == want[i];
        visible = visible || want[i] != bare[i];
      }
  if (same && visible) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << StringToAscii(text) << "\" at column " << column << ", row "
                                       << row << (visible ? " is not on screen" : " draws nothing");
}

// Whether cells [column, column + cells) of the row show the menu frame alone.
::testing::AssertionResult Bare(const std::vector<uint8_t>& shot, int column, int row, int cells) {
  ClearDrawBuffer();
  DrawMenuBackground();
  const std::vector<uint8_t> bare = ReadScreenRGBA();
  for (int y = row * 16; y < row * 16 + 16; ++y)
    for (int x = column * 16; x < std::min(640, (column + cells) * 16); ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t i = (size_t(y) * 640 + size_t(x)) * 4 + size_t(c);
        if (shot[i] != bare[i])
          return ::testing::AssertionFailure() << "something drawn at (" << x << ", " << y << ")";
      }
  return ::testing::AssertionSuccess();
}

TEST_F(KeysTest, NamesComeFromTheFirstMatchingEntry) {
  const auto& table = KeyTable();
  ASSERT_EQ(table.size(), 104u);
  EXPECT_EQ(table.back().code, 255);
  EXPECT_EQ(table.back().name, u"n/a");

  // Codes that stand twice take the name of their first entry.
  EXPECT_EQ(KeyName(13), u"Return");
  EXPECT_EQ(KeyName(kNumpadPlus), u"Numpad +");
  EXPECT_EQ(KeyName(109), u"Numpad -");
  // Unknown codes, and 0, read as the end entry's name.
  EXPECT_EQ(KeyName(0), u"n/a");
  EXPECT_EQ(KeyName(kMainMinus), u"n/a");
  EXPECT_EQ(KeyName(300), u"n/a");
  // The runs of digits, letters, numpad digits and function keys.
  EXPECT_EQ(KeyName(48), u"0");
  EXPECT_EQ(KeyName(57), u"9");
  EXPECT_EQ(KeyName(65), u"A");
  EXPECT_EQ(KeyName(90), u"Z");
  EXPECT_EQ(KeyName(96), u"Numpad 0");
  EXPECT_EQ(KeyName(105), u"Numpad 9");
  EXPECT_EQ(KeyName(112), u"F1");
  EXPECT_EQ(KeyName(123), u"F12");
  EXPECT_EQ(KeyName(124), u"n/a");
  EXPECT_EQ(KeyName(191), u"Slash");
}

TEST_F(KeysTest, PollTakesTheEarliestPressAndLeavesTheRestCounted) {
  ScriptKeyTap('A');
  ScriptKeyTap(kReturn);
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, kReturn);  // entry 3 comes before entry 30
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, 'A');
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, 0);

  // A key outside the table is never found, and its press is not taken.
  ScriptKeyTap(kMainMinus);
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, 0);
  EXPECT_EQ(TakeKeyPressCount(kMainMinus), 1);
  // The numpad's plus is found under its own code.
  ScriptKeyTap(kNumpadPlus);
  PollKeyTable();
  EXPECT_EQ(LastKeyCode, kNumpadPlus);
}

TEST_F(KeysTest, WaitingForAKeyNeitherDrawsNorSpins) {
  Player p;
  int64_t clockAtHold = 0;
  // A press made before the wait does not count: the wait wants a held key.
  ScriptKeyTap('Q');
  p.OnSleep(0, 40, [&] {
    clockAtHold = MillisecondClock();
    ScriptKeyDown('W');
  });
  p.IfStuck([] { ScriptKeyDown('W'); });
  const int32_t start = MillisecondClock();
  p.Install();
  WaitForKey();
  ScriptKeyUp('W');
  EXPECT_FALSE(p.stuck);
  EXPECT_EQ(LastKeyCode, 'W');
  EXPECT_EQ(p.Frames(), 0);
  // 100 ms first, then a millisecond's rest between scans.
  EXPECT_GE(clockAtHold - start, 100 + 38);
}

TEST_F(KeysTest, KeyMenuShowsTheSecondClimbKeyAndLeavesOnEscape) {
  Player p;
  std::vector<uint8_t> shot;
  ASSERT_TRUE(ScriptAttachPad());  // the pad has no say here
  p.OnFrame(2, [&] {
    shot = ReadScreenRGBA();
    ScriptPadButton(0, true);
    ScriptPadButton(1, true);
    ScriptPadAxis(1, 1.0f);
  });
  p.OnFrame(4, [] { ScriptKeyTap(kEscape); });
  p.OnFrame(50, [] { ScriptKeyTap(kEscape); });  // never reached when all is well
  p.Install();
  KeyMenu();
  EXPECT_EQ(p.Frames(), 4);
  ScriptDetachPad();

  ASSERT_FALSE(shot.empty());
  EXPECT_TRUE(ShowsText(shot, u"Left", 8, 10));
  EXPECT_TRUE(ShowsText(shot, u"Cursor (Left)", 18, 10));
  EXPECT_TRUE(ShowsText(shot, u"Cursor (Right)", 18, 12));
  EXPECT_TRUE(ShowsText(shot, u"Cursor (Up)", 18, 14));  // not the saved Alt key
  EXPECT_TRUE(ShowsText(shot, u"Control (Left)", 18, 16));
  EXPECT_TRUE(ShowsText(shot, u"use tab to redefine keys", 7, 24));
  EXPECT_TRUE(ShowsText(shot, u"or esc to exit this menu", 7, 25));
}

TEST_F(KeysTest, RedefinitionTakesAnyTableKeyEscapeIncluded) {
  Player p;
  std::vector<uint8_t> askingRight, menuAfter;
  p.OnFrame(1, [] { ScriptKeyTap(kTab); });
  // Frame 2 asks for Left. Escape binds Escape.
  p.OnSleep(2, 3, [] { ScriptKeyDown(kEscape); });
  // Frame 3 asks for Right: a key outside the table is ignored; then
  // Return and A held together give Return.
  p.OnFrame(3, [&] {
    ScriptKeyUp(kEscape);
    askingRight = ReadScreenRGBA();
  });
  p.OnSleep(3, 3, [] { ScriptKeyDown(kMainMinus); });
  p.OnSleep(3, 20, [] {
    ScriptKeyDown('A');
    ScriptKeyDown(kReturn);
  });
  // Frame 4 asks for up: the numpad's plus.
  p.OnFrame(4, [] {
    ScriptKeyUp('A');
    ScriptKeyUp(kReturn);
    ScriptKeyUp(kMainMinus);
  });
  p.OnSleep(4, 3, [] { ScriptKeyDown(kNumpadPlus); });
  // Frame 5 asks for fire.
  p.OnFrame(5, [] { ScriptKeyUp(kNumpadPlus); });
  p.OnSleep(5, 3, [] { ScriptKeyDown(kBackspace); });
  p.OnFrame(6, [] { ScriptKeyUp(kBackspace); });
  // Frame 7 is the key menu finishing its frame; 8 shows the new keys.
  p.OnFrame(8, [&] {
    menuAfter = ReadScreenRGBA();
    ScriptKeyTap(kEscape);
  });
  p.IfStuck([] { ScriptKeyDown(kEscape); });
  p.Install();
  KeyMenu();

  EXPECT_FALSE(p.stuck);
  EXPECT_EQ(KeyLeft, kEscape);
  EXPECT_EQ(KeyRight, kReturn);
  EXPECT_EQ(KeyClimb, kNumpadPlus);
  EXPECT_EQ(KeyClimb2, kNumpadPlus);
  EXPECT_EQ(KeyFire, kBackspace);
  // The Escape that answered the first question did not end the menu.
  EXPECT_EQ(p.Frames(), 8);

  ASSERT_FALSE(askingRight.empty());
  EXPECT_TRUE(ShowsText(askingRight, u"Escape", 18, 10));
  EXPECT_TRUE(ShowsText(askingRight, u"Right", 8, 12));
  EXPECT_TRUE(Bare(askingRight, 18, 12, 14));  // the label alone, no key yet
  ASSERT_FALSE(menuAfter.empty());
  EXPECT_TRUE(ShowsText(menuAfter, u"Return", 18, 12));
  EXPECT_TRUE(ShowsText(menuAfter, u"Numpad +", 18, 14));
  EXPECT_TRUE(ShowsText(menuAfter, u"Backspace", 18, 16));
}

TEST_F(KeysTest, OneKeyMayServeEveryAction) {
  Player p;
  // Redefine all four as the same key: duplicates are allowed.
  p.OnFrame(1, [] { ScriptKeyTap(kTab); });
  for (int64_t n = 2; n <= 5; ++n) {
    p.OnSleep(n, 3, [] { ScriptKeyDown('K'); });
    p.OnFrame(n + 1, [] { ScriptKeyUp('K'); });
  }
  p.OnFrame(7, [] { ScriptKeyTap(kEscape); });
  p.IfStuck([] { ScriptKeyDown(kEscape); });
  p.Install();
  KeyMenu();
  EXPECT_FALSE(p.stuck);
  EXPECT_EQ(KeyLeft, 'K');
  EXPECT_EQ(KeyRight, 'K');
  EXPECT_EQ(KeyClimb2, 'K');
  EXPECT_EQ(KeyFire, 'K');
  EXPECT_NE(KeyClimb2, kUp);
}

}  // namespace
