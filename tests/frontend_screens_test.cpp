// The mission and credits screens, the data list they read, and the name
// wheel, driven as a player would.
#include <cmath>
#include <functional>
#include <map>

#include "harness/harness.h"
#include "screens/screens.h"

namespace {


class ScreensTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterProgramFiles();
    for (TImage** picture : {&img_font, &img_menumain, &img_menutitle, &img_arrow}) LoadPicture(picture);
    controls.mode = ControlMode::Keyboard;
    Settings = SavedSettings();
    Settings.scanlinesOn = 0, Settings.keyFire = KeyCode::LeftControl;
    WebsiteLines = {u"      www.novaquad.example"};
    ClearKeyStates();
  }
  // Runs a screen; act(frame, rests) is called after each frame (rests 0)
  // and at each rest taken since it. Returns the frames presented.
  int64_t Play(const std::function<void()>& screen, const std::function<void(int64_t, int)>& act) {
    const int64_t base = PresentedFrameCount();
    int64_t last = 0;
    int rests = 0;
    SetScriptHook([&] {
      const int64_t n = PresentedFrameCount() - base;
      rests = n == last ? rests + 1 : 0;
      last = n;
      act(n, rests);
      if (rests > 2000 || n > 100) ScriptKeyTap(KeyCode::Escape);  // never hang
    });
    screen();
    SetScriptHook(nullptr);
    return PresentedFrameCount() - base;
  }
};

// Whether the text stands at (column, row) of the shot in the colour given,
// as the menu frame with that text alone shows it.
::testing::AssertionResult ShowsText(const std::vector<uint8_t>& shot, const String& text, float column, float row,
                                     uint32_t rgb = 0xffffff) {
  SetDrawColour(255, 255, 255);
  ClearDrawBuffer();
  DrawMenuBackground();
  SetDrawColour(int(rgb >> 16), int(rgb >> 8) & 255, int(rgb & 255));
  DrawFontText(text, column, row);
  SetDrawColour(255, 255, 255);
  const std::vector<uint8_t> want = ReadScreenRGBA();
  const int x0 = int(column * 16), y0 = int(row * 16);
  for (int y = y0; y < y0 + 16; ++y)
    for (int x = x0; x < std::min(640, x0 + int(text.size()) * 16); ++x)
      for (size_t i = (size_t(y) * 640 + size_t(x)) * 4, c = 0; c < 3; ++c)
        if (shot[i + c] != want[i + c])
          return ::testing::AssertionFailure() << "no \"" << StringToAscii(text) << "\" at row " << row;
  return ::testing::AssertionSuccess();
}

TEST_F(ScreensTest, DataListHoldsTheBlocksThenTheKeyTableInOrder) {
  EXPECT_EQ(DataReadPosition(), 0u);
  const std::pair<int, int> blocks[] = {{15, 1}, {13, 0}, {7, 17}};  // lines, column shown at
  for (auto [count, column] : blocks) {
    for (int n = 0; n < count; ++n) {
      const String line = TaggedValueToString();
      // Each line fits the screen from its column, in glyphs the font has.
      EXPECT_LE(column + int(line.size()), 40) << StringToAscii(line);
      for (char16_t ch : LowerCaseText(line)) EXPECT_GE(StringFind(FontCharset, String(1, ch), 0), 0);
    }
    EXPECT_EQ(TaggedValueToString(), u"#");
  }
  for (const KeyTableEntry& e : KeyTable()) {
    EXPECT_EQ(TaggedValueToNumber(), e.code);
    EXPECT_EQ(TaggedValueToString(), e.name);
  }
}

TEST_F(ScreensTest, MissionWaitsForATableKeyOrAPadButtonInPadControl) {
  // Keyboard control: the pad button and the main minus key are ignored;
  // A ends it. The mission shows the same lines every time it is opened.
  ASSERT_TRUE(ScriptAttachPad());
  std::vector<uint8_t> shots[2];
  for (auto& shot : shots) {
    int endedAtRest = 0;
    EXPECT_EQ(Play(ShowMission, [&](int64_t, int rest) {
      if (rest == 1) shot = ReadScreenRGBA();
      if (rest == 2) ScriptPadButton(Settings.padFireButton, true), ScriptKeyTap(KeyCode::Minus);
      if (rest == 20) ScriptKeyTap('A'), endedAtRest = 20;
    }), 1);
    ScriptPadButton(Settings.padFireButton, false);
    EXPECT_EQ(endedAtRest, 20);
  }
  EXPECT_TRUE(shots[0] == shots[1]);
  EXPECT_TRUE(ShowsText(shots[0], u"welcome to planet vivazid, commander.", 1, 10));
  EXPECT_TRUE(ShowsText(shots[0], u"                 good luck commander.", 1, 10 + 1.3f * 14));

  // Pad control: either button ends the wait.
  controls.mode = ControlMode::Pad;
  for (int button : {Settings.padClimbButton, Settings.padFireButton}) {
    ClearPadHits();
    int rests = 0;
    Play(ShowMission, [&](int64_t, int rest) {
      rests = rest;
      if (rest == 2) ScriptPadButton(button, true);
    });
    ScriptPadButton(button, false);
    EXPECT_LT(rests, 5) << "button " << button;
  }
  ScriptDetachPad();
}

TEST_F(ScreensTest, CreditsShowVersionLinesAndKeepLaterPresses) {
  std::vector<uint8_t> shot;
  Play(ShowCredits, [&](int64_t, int rest) {
    if (rest == 1) shot = ReadScreenRGBA(), ScriptKeyTap('B'), ScriptKeyTap('A');  // during the 100 ms pause
  });
  EXPECT_EQ(TakeKeyPressCount('A'), 0);  // A, earlier in the table, ended it
  EXPECT_EQ(TakeKeyPressCount('B'), 1);  // unlike the mission, the credits clear no keys
  ASSERT_FALSE(shot.empty());
  EXPECT_TRUE(ShowsText(shot, u"      credits", 17, 10));
  EXPECT_TRUE(ShowsText(shot, u"This is Version: 1.2", 18, 21.5f, harness::Rgb(255, 64, 64)));
  EXPECT_TRUE(ShowsText(shot, u"sync score to check", 18, 24, harness::Rgb(64, 255, 255)));
  EXPECT_TRUE(ShowsText(shot, u"for updated version", 18, 25.5f, harness::Rgb(64, 255, 255)));
  EXPECT_TRUE(ShowsText(shot, u"      www.novaquad.example", 1, 28));
}

TEST_F(ScreensTest, NameWheelLimits) {
  // Ten characters at most; deletion still works.
  Settings.playerName = u"";
  Play(EnterPlayerName, [](int64_t n, int rest) {
    if (rest == 0 && n <= 12) ScriptKeyTap(Settings.keyFire);
    if (rest == 0 && n == 13) ScriptKeyTap(KeyCode::Backspace);
    if (rest == 0 && n == 14) ScriptKeyTap(KeyCode::Enter);
  });
  EXPECT_EQ(Settings.playerName, u"aaaaaaaaa");

  // One turn back from "a" is "<", which deletes, on an empty name too; eleven
  // more reach the blank, which is added like any symbol. Escape keeps it all.
  Settings.playerName = u"Q!";
  std::vector<uint8_t> first;
  Play(EnterPlayerName, [&](int64_t n, int rest) {
    if (n == 1 && rest == 0) first = ReadScreenRGBA(), ScriptKeyDown(KeyCode::Left);
    if ((n == 1 || n == 15) && rest == 1) ScriptKeyUp(KeyCode::Left);
    if (rest == 0 && n >= 2 && n <= 4) ScriptKeyTap(Settings.keyFire);  // "Q", "", ""
    if (rest == 0 && n == 5) ScriptKeyDown(KeyCode::Left);
    if (rest == 0 && (n == 16 || n == 17)) ScriptKeyTap(Settings.keyFire);
    if (rest == 0 && n == 18) ScriptKeyTap(KeyCode::Escape);
  });
  EXPECT_EQ(Settings.playerName, u"  ");
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(ShowsText(first, u"a", 19, 25, harness::Rgb(255, 0, 0)));  // the selected symbol
  EXPECT_TRUE(ShowsText(first, u"name: Q!", 12, 13));
}

// The arrow over the wheel's bottom bobs 12 pixels about y 336: its angle
// goes up 8 degrees a frame and starts again from 0 after 352, a period of 45
// frames, and it is drawn at 336 less 12 sin(angle), cut toward zero.
TEST_F(ScreensTest, TheNameWheelsArrowBobsWithAPeriodOf45Frames) {
  std::vector<DrawEvent> arrows;
  SetDrawLog([&](const DrawEvent& e) {
    if (e.kind == DrawEvent::Kind::Image && e.picture == "arrow.png") arrows.push_back(e);
  });
  const int64_t frames = Play(EnterPlayerName, [](int64_t n, int rest) {
    if (rest == 0 && n == 91) ScriptKeyTap(KeyCode::Enter);
  });
  SetDrawLog(nullptr);
  ASSERT_EQ(frames, 91);  // Enter after the 91st frame ends the screen
  ASSERT_EQ(arrows.size(), 91u) << "one arrow a frame";
  for (size_t i = 0; i < arrows.size(); ++i) {
    const int frame = int(i) + 1;
    const double angle = 8.0 * (frame % 45);
    const int bob = int(12.0 * std::sin(angle * 3.14159265358979323846 / 180.0));  // toward zero
    EXPECT_EQ(arrows[i].x, 296) << "frame " << frame;
    EXPECT_EQ(arrows[i].y, 336 - bob) << "frame " << frame << ", angle " << angle;
  }
  EXPECT_EQ(arrows[44].y, 336) << "the 45th frame starts the bob again";
  EXPECT_EQ(arrows[89].y, 336) << "and so does the 90th";
}

// Leaving the name wheel rests 100 ms after its last frame, Enter or Escape.
TEST_F(ScreensTest, TheNameWheelRestsAHundredMillisecondsAsItCloses) {
  for (int key : {KeyCode::Enter, KeyCode::Escape}) {
    int32_t lastFrameAt = 0;
    Play(EnterPlayerName, [&](int64_t n, int rest) {
      if (rest != 0) return;
      lastFrameAt = MillisecondClock();
      if (n == 3) ScriptKeyTap(key);
    });
    EXPECT_EQ(MillisecondClock() - lastFrameAt, 100) << "closed by key " << key;
  }
}

// The mission and the credits rest 100 ms after their one frame before they
// wait for the player; a key that comes in that rest ends the wait at once.
TEST_F(ScreensTest, TheMissionAndCreditsRestAHundredMillisecondsBeforeWaiting) {
  for (void (*screen)() : {ShowMission, ShowCredits}) {
    int32_t shownAt = 0;
    const int64_t frames = Play(screen, [&](int64_t, int rest) {
      if (rest == 0) shownAt = MillisecondClock();
      if (rest == 1) ScriptKeyTap('A');
    });
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(MillisecondClock() - shownAt, 100) << (screen == ShowMission ? "mission" : "credits");
  }
}

}  // namespace
