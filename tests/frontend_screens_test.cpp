// The mission, sync-notice and credits screens, the program's data list they
// read, and the player-name wheel, driven as a player would.
#include <cmath>
#include <functional>
#include <map>

#include "harness/harness.h"
#include "shell/shell.h"

namespace {

constexpr int kBackspace = 8, kReturn = 13, kEscape = 27, kLeft = 37, kRight = 39;
constexpr int kMainMinus = 189;  // not in the key table
constexpr int kFire = 162;

// A player for screens that sit waiting: actions after a given frame, or at
// the k-th sleep after that frame while no newer frame has come.
class Player {
 public:
  ~Player() { SetScriptHook(nullptr); }
  void OnFrame(int64_t n, std::function<void()> f) { frames_[n].push_back(std::move(f)); }
  void OnSleep(int64_t n, int k, std::function<void()> f) { sleeps_[{n, k}].push_back(std::move(f)); }
  // Runs at every sleep once a screen has slept this often without a frame,
  // and after every frame past the given count: ends a screen that hangs.
  void IfStuck(std::function<void()> f, int64_t frameLimit = 1000) {
    rescue_ = std::move(f);
    frameLimit_ = frameLimit;
  }
  void Install() {
    base_ = PresentedFrameCount();
    SetScriptHook([this] { Tick(); });
  }
  int64_t Frames() const { return PresentedFrameCount() - base_; }
  int SleepsAfter(int64_t n) const {
    auto it = sleepsAfter_.find(n);
    return it == sleepsAfter_.end() ? 0 : it->second;
  }
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
      Run(frames_[n]);
      if (n > frameLimit_ && rescue_) {
        stuck = true;
        rescue_();
      }
      return;
    }
    const int k = ++sleepsAfter_[n];
    Run(sleeps_[{n, k}]);
    if (k > 3000 && rescue_) {
      stuck = true;
      rescue_();
    }
  }
  std::map<int64_t, std::vector<std::function<void()>>> frames_;
  std::map<std::pair<int64_t, int>, std::vector<std::function<void()>>> sleeps_;
  std::map<int64_t, int> sleepsAfter_;
  std::function<void()> rescue_;
  int64_t base_ = 0, lastFrame_ = 0, frameLimit_ = 1000;
};

class ScreensTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterEmbeddedFiles();
    InstallProgramData();
    img_font = LoadImageCells(ResPath("font.png"), 16, 16, 0, 60, -1);
    img_menumain = LoadImageResource(ResPath("menumain.png"), -1);
    img_menutitle = LoadImageResource(ResPath("menutitle.png"), -1);
    img_arrow = LoadImageResource(ResPath("arrow.png"), -1);
    ScanlinesOn = 0;
    SfxOn = 1;
    ControlMode = 0;
    JoyButton1 = 1;
    JoyButton2 = 0;
    PadRestX = PadRestY = 0;
    KeyFire = kFire;
    LastKeyCode = 0;
    PlayerName = u"not set";
    VersionMessage1 = u"sync score to check";
    VersionMessage2 = u"for updated version";
    WebsiteLines = {u"      www.novaquad.example"};
    SetDrawColour(255, 255, 255);
    SetDrawAlpha(1);
    SetDrawBlendMode(3);
    ClearKeyStates();
    ClearPadHits();
  }
};

// Whether the text stands at (column, row) of the shot in the given colour,
// as the menu frame with that text alone would show it, and is visible.
::testing::AssertionResult ShowsText(const std::vector<uint8_t>& shot, const String& text, float column, float row,
                                     uint32_t colour = harness::Rgb(255, 255, 255)) {
  SetDrawColour(255, 255, 255);
  ClearDrawBuffer();
  DrawMenuBackground();
  const std::vector<uint8_t> bare = ReadScreenRGBA();
  SetDrawColour(int(colour >> 16), int((colour >> 8) & 255), int(colour & 255));
  DrawFontText(text, column, row);
  SetDrawColour(255, 255, 255);
  const std::vector<uint8_t> want = ReadScreenRGBA();
  bool same = true, visible = false;
  const int x0 = int(std::floor(column * 16)), y0 = int(std::floor(row * 16));
  for (int y = y0; y < std::min(480, y0 + 17); ++y)
    for (int x = x0; x < std::min(640, x0 + int(text.size()) * 16 + 1); ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t i = (size_t(y) * 640 + size_t(x)) * 4 + size_t(c);
        same = same && shot[i] == want[i];
        visible = visible || want[i] != bare[i];
      }
  if (same && visible) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << StringToAscii(text) << "\" at column " << column << ", row "
                                       << row << (visible ? " is not on screen" : " draws nothing");
}

// --- The data list ------------------------------------------------------------

std::vector<String> ReadBlock() {
  std::vector<String> lines;
  for (int i = 0; i < 100; ++i) {
    String line = TaggedValueToString();
    if (line == u"#") return lines;
    lines.push_back(line);
  }
  return lines;
}

// Every shown line fits the 40 columns from where it stands, in glyphs the
// font has, in lower case.
void ExpectDrawable(const std::vector<String>& lines, int column) {
  for (const String& line : lines) {
    EXPECT_LE(column + int(line.size()), 40) << StringToAscii(line);
    EXPECT_EQ(LowerCaseText(line), line) << StringToAscii(line);
    for (char16_t ch : line) EXPECT_GE(StringFind(FontCharset, String(1, ch), 0), 0) << StringToAscii(line);
  }
}

TEST_F(ScreensTest, DataListReadsInOrderFromTheMissionOn) {
  EXPECT_EQ(DataReadPosition(), 0u);

  const std::vector<String> mission = ReadBlock();
  ASSERT_EQ(mission.size(), 15u);
  EXPECT_EQ(mission[0], u"welcome to planet vivazid, commander.");
  EXPECT_EQ(mission[5], u" ");
  EXPECT_EQ(mission[14], u"                 good luck commander.");
  ExpectDrawable(mission, 1);

  const std::vector<String> notice = ReadBlock();
  ASSERT_EQ(notice.size(), 13u);
  EXPECT_EQ(notice[0], u"   the game is now attempting to sync");
  EXPECT_EQ(notice[2], u"");
  EXPECT_EQ(notice[5], u" just leave it be for about 40 seconds");
  EXPECT_EQ(notice[7], u" ");
  ExpectDrawable(notice, 0);

  const std::vector<String> credits = ReadBlock();
  ASSERT_EQ(credits.size(), 7u);
  EXPECT_EQ(credits[0], u"      credits");
  EXPECT_EQ(credits[1], u"  ");
  for (size_t i = 2; i < credits.size(); ++i) {
    EXPECT_GT(StringFind(credits[i], u": the novaquad team", 0), 0) << StringToAscii(credits[i]);
  }
  ExpectDrawable(credits, 17);

  // Then the key table as (code, name) pairs, up to its end entry.
  for (const KeyTableEntry& e : KeyTable()) {
    EXPECT_EQ(TaggedValueToNumber(), e.code);
    EXPECT_EQ(TaggedValueToString(), e.name);
  }
  const size_t end = DataReadPosition();
  EXPECT_EQ(TaggedValueToString(), u"");
  EXPECT_EQ(DataReadPosition(), end);  // nothing after the table
}

// --- Mission --------------------------------------------------------------------

TEST_F(ScreensTest, MissionShowsItsLinesAndWaitsForATableKey) {
  Player p;
  std::vector<uint8_t> shot;
  bool waitingAfterMinus = false;
  p.OnSleep(1, 1, [&] {
    shot = ReadScreenRGBA();
    ScriptKeyTap(kMainMinus);
  });
  p.OnSleep(1, 10, [&] {
    waitingAfterMinus = true;
    ScriptKeyTap('M');
  });
  p.IfStuck([] { ScriptKeyTap(kEscape); });
  p.Install();
  ShowMission();

  EXPECT_FALSE(p.stuck);
  EXPECT_TRUE(waitingAfterMinus);
  EXPECT_EQ(p.Frames(), 1);  // nothing is presented while waiting
  EXPECT_EQ(LastKeyCode, 'M');
  EXPECT_EQ(p.SleepsAfter(1), 10);
  ASSERT_FALSE(shot.empty());
  EXPECT_TRUE(ShowsText(shot, u"welcome to planet vivazid, commander.", 1, 10));
  EXPECT_TRUE(ShowsText(shot, u"                 good luck commander.", 1, 10 + 1.3f * 14));
}

TEST_F(ScreensTest, APressDuringThePauseBeforeTheWaitStillCounts) {
  Player p;
  p.OnSleep(1, 1, [] { ScriptKeyTap(kReturn); });
  p.IfStuck([] { ScriptKeyTap(kEscape); });
  p.Install();
  ShowMission();
  EXPECT_FALSE(p.stuck);
  EXPECT_EQ(LastKeyCode, kReturn);
  EXPECT_EQ(p.SleepsAfter(1), 1);  // only the 100 ms pause
}

TEST_F(ScreensTest, PadButtonsEndTheWaitOnlyInPadControl) {
  ASSERT_TRUE(ScriptAttachPad());
  for (int mode : {0, 1}) {
    for (int button : {JoyButton1, JoyButton2}) {
      ControlMode = mode;
      Player p;
      p.OnSleep(1, 2, [button] { ScriptPadButton(button, true); });
      p.OnSleep(1, 3, [button] { ScriptPadButton(button, false); });
      p.OnSleep(1, 30, [] { ScriptKeyTap('K'); });
      p.IfStuck([] { ScriptKeyTap(kEscape); });
      p.Install();
      if (button == JoyButton1)
        ShowMission();
      else
        ShowCredits();
      EXPECT_FALSE(p.stuck);
      if (mode == 1) {
        EXPECT_LT(p.SleepsAfter(1), 30) << "button " << button;
      } else {
        EXPECT_EQ(p.SleepsAfter(1), 30) << "button " << button;
        EXPECT_EQ(LastKeyCode, 'K');
      }
    }
  }
  ScriptDetachPad();
}

TEST_F(ScreensTest, MissionForgetsPressesWhenItEndsButCreditsKeepThem) {
  // Two keys pressed together: the earlier in the table ends the wait, the
  // later one stays counted until a screen clears the keys.
  for (bool credits : {false, true}) {
    Player p;
    p.OnSleep(1, 2, [] {
      ScriptKeyTap('B');
      ScriptKeyTap('A');
    });
    p.IfStuck([] { ScriptKeyTap(kEscape); });
    p.Install();
    if (credits)
      ShowCredits();
    else
      ShowMission();
    EXPECT_EQ(LastKeyCode, 'A');
    EXPECT_EQ(TakeKeyPressCount('B'), credits ? 1 : 0) << (credits ? "credits" : "mission");
  }
}

TEST_F(ScreensTest, MissionReadsTheSameLinesEveryTime) {
  std::vector<uint8_t> first, second;
  for (auto* shot : {&first, &second}) {
    Player p;
    p.OnSleep(1, 1, [shot] {
      *shot = ReadScreenRGBA();
      ScriptKeyTap('X');
    });
    p.Install();
    ShowMission();
  }
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(first == second);
}

// --- Credits and the sync notice --------------------------------------------------

TEST_F(ScreensTest, CreditsShowTheVersionLinesInTheirColours) {
  Player p;
  std::vector<uint8_t> shot;
  p.OnSleep(1, 2, [&] {
    shot = ReadScreenRGBA();
    ScriptKeyTap(kEscape);
  });
  p.IfStuck([] { ScriptKeyTap(kEscape); });
  p.Install();
  ShowCredits();
  EXPECT_EQ(p.Frames(), 1);
  ASSERT_FALSE(shot.empty());
  using harness::Rgb;
  EXPECT_TRUE(ShowsText(shot, u"      credits", 17, 10));
  EXPECT_TRUE(ShowsText(shot, u"code: the novaquad team", 17, 13));
  EXPECT_TRUE(ShowsText(shot, u"test: the novaquad team", 17, 19));
  EXPECT_TRUE(ShowsText(shot, u"This is Version: 1.2", 18, 21.5f, Rgb(255, 64, 64)));
  EXPECT_TRUE(ShowsText(shot, u"sync score to check", 18, 24, Rgb(64, 255, 255)));
  EXPECT_TRUE(ShowsText(shot, u"for updated version", 18, 25.5f, Rgb(64, 255, 255)));
  EXPECT_TRUE(ShowsText(shot, u"      www.novaquad.example", 1, 28));
  // The screen leaves the colour white behind it.
  EXPECT_EQ(GetDrawState().red, 255);
  EXPECT_EQ(GetDrawState().green, 255);
  EXPECT_EQ(GetDrawState().blue, 255);
}

TEST_F(ScreensTest, SyncNoticeShowsOneFrameAndReturns) {
  Player p;
  p.Install();
  const int32_t start = MillisecondClock();
  ShowSyncNotice();
  EXPECT_EQ(p.Frames(), 1);
  EXPECT_EQ(p.SleepsAfter(1), 0);
  EXPECT_LE(MillisecondClock() - start, 17);
  const std::vector<uint8_t> shot = ReadScreenRGBA();
  EXPECT_TRUE(ShowsText(shot, u"   the game is now attempting to sync", 0, 10));
  EXPECT_TRUE(ShowsText(shot, u" just leave it be for about 40 seconds", 0, 17.5f));
}

// --- The name wheel ---------------------------------------------------------------

TEST_F(ScreensTest, NameStopsAtTenCharactersAndStillShortens) {
  PlayerName = u"";
  Player p;
  for (int64_t n = 1; n <= 12; ++n) p.OnFrame(n, [] { ScriptKeyTap(kFire); });
  p.OnFrame(13, [] { ScriptKeyTap(kBackspace); });
  p.OnFrame(14, [] { ScriptKeyTap(kReturn); });
  p.IfStuck([] { ScriptKeyTap(kEscape); }, 100);
  p.Install();
  EXPECT_EQ(EnterPlayerName(), 0);
  EXPECT_FALSE(p.stuck);
  EXPECT_EQ(PlayerName, u"aaaaaaaaa");
  EXPECT_EQ(p.Frames(), 14);  // Enter counts as soon as the frame is shown
}

TEST_F(ScreensTest, TheLastSymbolDeletesAndTheBlankIsASymbol) {
  PlayerName = u"Q!";  // a loaded name keeps symbols the wheel lacks
  Player p;
  std::vector<uint8_t> atStart;
  // Left once: from "a" round to "<".
  p.OnFrame(1, [&] {
    atStart = ReadScreenRGBA();
    ScriptKeyDown(kLeft);
  });
  p.OnSleep(1, 1, [] { ScriptKeyUp(kLeft); });
  p.OnFrame(2, [] { ScriptKeyTap(kFire); });  // "Q"
  p.OnFrame(3, [] { ScriptKeyTap(kFire); });  // ""
  p.OnFrame(4, [] { ScriptKeyTap(kFire); });  // still "", only a sound
  // Eleven more turns back: from "<" to the blank.
  p.OnFrame(5, [] { ScriptKeyDown(kLeft); });
  p.OnSleep(15, 1, [] { ScriptKeyUp(kLeft); });
  p.OnFrame(16, [] { ScriptKeyTap(kFire); });
  p.OnFrame(17, [] { ScriptKeyTap(kFire); });
  p.OnFrame(18, [] { ScriptKeyTap(kEscape); });  // keeps the edits
  p.IfStuck([] { ScriptKeyTap(kEscape); }, 100);
  p.Install();
  EnterPlayerName();
  EXPECT_FALSE(p.stuck);
  EXPECT_EQ(PlayerName, u"  ");

  ASSERT_FALSE(atStart.empty());
  EXPECT_TRUE(ShowsText(atStart, u"a", 19, 25, harness::Rgb(255, 0, 0)));
  EXPECT_TRUE(ShowsText(atStart, u"name: Q!", 12, 13));
  EXPECT_TRUE(ShowsText(atStart, u"use left/right to selcect a letter.", 2, 27));
  EXPECT_TRUE(ShowsText(atStart, u"use fire to set character. Enter to end.", 0, 28.5f));
}

TEST_F(ScreensTest, LeftAndRightTogetherCancelOut) {
  PlayerName = u"";
  Player p;
  int32_t before = 0, after = 0;
  p.OnFrame(1, [&] {
    before = MillisecondClock();
    ScriptKeyDown(kLeft);
    ScriptKeyDown(kRight);
  });
  p.OnFrame(2, [&] {
    after = MillisecondClock();
    ScriptKeyUp(kLeft);
    ScriptKeyUp(kRight);
    ScriptKeyTap(kFire);
  });
  p.OnFrame(3, [] { ScriptKeyTap(kReturn); });
  p.IfStuck([] { ScriptKeyTap(kEscape); }, 100);
  p.Install();
  EnterPlayerName();
  EXPECT_EQ(PlayerName, u"a");
  EXPECT_GE(after - before, 200);
}

TEST_F(ScreensTest, PadTurnsAddsDeletesAndEndsWithBothButtons) {
  ASSERT_TRUE(ScriptAttachPad());
  ControlMode = 1;
  PlayerName = u"x";
  Player p;
  // Right on the stick for one turn: "b".
  p.OnFrame(1, [] { ScriptPadAxis(0, 0.6f); });
  p.OnSleep(1, 1, [] { ScriptPadAxis(0, 0.0f); });
  p.OnFrame(2, [] { ScriptPadButton(JoyButton2, true); });  // add "b"
  p.OnFrame(3, [] { ScriptPadButton(JoyButton2, false); });
  p.OnFrame(4, [] { ScriptPadButton(JoyButton1, true); });  // delete it
  p.OnFrame(5, [] { ScriptPadButton(JoyButton1, false); });
  // Both pressed while a frame is under way (during the pause of another
  // turn, to "c"): both press actions run, then the screen ends.
  p.OnFrame(6, [] { ScriptPadAxis(0, 0.6f); });
  p.OnSleep(6, 1, [] {
    ScriptPadAxis(0, 0.0f);
    ScriptPadButton(JoyButton1, true);
    ScriptPadButton(JoyButton2, true);
  });
  p.IfStuck([] { ScriptKeyTap(kEscape); }, 100);
  p.Install();
  EnterPlayerName();
  ScriptPadButton(JoyButton1, false);
  ScriptPadButton(JoyButton2, false);
  ScriptDetachPad();
  EXPECT_FALSE(p.stuck);
  EXPECT_EQ(p.Frames(), 7);
  EXPECT_EQ(PlayerName, u"c");  // "xb", "x", then "" and "c" in the last frame
}

}  // namespace
