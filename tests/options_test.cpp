// The options menu driven as a player would: moving round the rows, the
// toggles and their texts, the pad check and the screen-mode switch.
#include <functional>
#include <map>

#include "harness/harness.h"
#include "screens/screens.h"

namespace {


class OptionsTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterProgramFiles();
    for (TImage** picture : {&img_font, &img_menumain, &img_menutitle}) LoadPicture(picture);
    ScreenGrab = CreateEmptyImage(640, 480, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
    RedoOptionsPadCheck(), controls.mode = ControlMode::Keyboard;
    Settings = SavedSettings();
    Settings.fullScreen = 0, Settings.scanlinesOn = 0, Settings.keyFire = KeyCode::LeftControl;
    ClearKeyStates();
  }
  // Opens the menu with the given key tapped after each listed frame (and
  // `extra` run there); keeps a picture of every frame, shots[n] for frame n.
  std::vector<std::vector<uint8_t>> shots;
  std::vector<int32_t> clock;
  std::map<int64_t, std::function<void()>> extra;
  void Visit(std::map<int64_t, int> taps) {
    const int64_t base = PresentedFrameCount();
    shots.assign(1, {});
    clock.assign(1, MillisecondClock());
    SetScriptHook([&] {
      const int64_t n = PresentedFrameCount() - base;
      if (n == int64_t(shots.size())) {
        shots.push_back(ReadScreenRGBA());
        clock.push_back(MillisecondClock());
        if (taps.count(n)) ScriptKeyTap(taps[n]);
        if (extra.count(n)) extra[n]();
        if (n > 100) ScriptKeyTap(KeyCode::Escape);  // never hang
      }
    });
    OptionsMenu();
    SetScriptHook(nullptr);
    extra.clear();
  }
};

// Whether the shot's screen row holds exactly the text from the column on,
// over `cells` cells (to the right edge by default).
bool Shows(const std::vector<uint8_t>& shot, const String& text, int column, int row, int cells = 40) {
  ClearDrawBuffer();
  DrawMenuBackground();
  DrawFontText(text, float(column), float(row));
  const std::vector<uint8_t> want = ReadScreenRGBA();
  for (int y = row * 16; y < row * 16 + 16; ++y)
    for (int x = column * 16; x < std::min(640, (column + cells) * 16); ++x)
      for (size_t i = (size_t(y) * 640 + size_t(x)) * 4, c = 0; c < 3; ++c)
        if (shot[i + c] != want[i + c]) return false;
  return true;
}
bool RowReads(const std::vector<uint8_t>& shot, int index, const String& text) {
  return Shows(shot, text, 4, 9 + 2 * index);
}
int CursorRow(const std::vector<uint8_t>& shot) {
  for (int i = 0; i < 10; ++i)
    if (Shows(shot, u"*", 2, 9 + 2 * i, 2)) return i;
  return -1;
}

TEST_F(OptionsTest, CursorWrapsAndRowsToggleTheirSetting) {
  Settings.scanlinesOn = 2;  // a value no text stands for
  ClearDrawBuffer();
  DrawFontText(u"the main menu", 3, 3);
  const std::vector<uint8_t> mainMenu = ReadScreenRGBA();
  // A tap after frame n acts in frame n + 1, after its rows are drawn.
  Visit({{1, KeyCode::Up}, {2, KeyCode::Space}, {3, Settings.keyFire}, {4, KeyCode::Down}, {5, KeyCode::Down},
         {6, KeyCode::Enter}, {7, KeyCode::Down}, {8, KeyCode::Enter}, {10, KeyCode::Escape}});
  ASSERT_EQ(shots.size(), 12u);  // ten frames and the closing one
  EXPECT_EQ(CursorRow(shots[2]), 0);
  EXPECT_EQ(CursorRow(shots[3]), 9);
  EXPECT_EQ(CursorRow(shots[4]), 0);
  EXPECT_GE(clock[3] - clock[2], 200);  // every move rests 200 ms
  EXPECT_EQ(Settings.difficulty, 1);
  EXPECT_EQ(Settings.scanlinesOn, 3);  // the lowest bit flips
  EXPECT_EQ(Settings.sfxOn, 0);
  EXPECT_TRUE(RowReads(shots[1], 0, u"current difficulty: normal"));
  EXPECT_TRUE(RowReads(shots[1], 2, u""));
  EXPECT_TRUE(RowReads(shots[1], 3, u"turn sfx on/off (on)"));
  EXPECT_TRUE(RowReads(shots[10], 0, u"current difficulty: suicidal"));
  EXPECT_TRUE(RowReads(shots[10], 2, u""));
  EXPECT_TRUE(RowReads(shots[10], 3, u"turn sfx on/off (off)"));
  EXPECT_TRUE(shots[11] == mainMenu);  // closing shows the picture it opened over
}

TEST_F(OptionsTest, ControlsRowWithAndWithoutAPad) {
  // No pad: the keyboard is forced even when the settings had the pad.
  controls.mode = ControlMode::Pad, Settings.padControl = 1;
  for (int n = 1; n <= 5; ++n) extra[n] = [] { ScriptKeyTap(KeyCode::Down); };
  Visit({{6, KeyCode::Enter}, {7, KeyCode::Escape}});
  EXPECT_TRUE(RowReads(shots[2], 5, u"controls (keyboard, no pad present)"));
  EXPECT_TRUE(RowReads(shots[7], 5, u"controls (keyboard, no pad present)"));
  EXPECT_EQ(controls.mode, ControlMode::Keyboard);
  EXPECT_EQ(Settings.padControl, 0);

  // A pad at the run's first visit is switched on; the row then toggles.
  RedoOptionsPadCheck(), controls.mode = ControlMode::Keyboard, Settings.padControl = 0;
  ASSERT_TRUE(ScriptAttachPad());
  for (int n = 1; n <= 5; ++n) {  // five rows down on the stick, no dead zone
    extra[2 * n] = [] { ScriptPadAxis(1, 0.1f); };
    extra[2 * n + 1] = [] { ScriptPadAxis(1, 0.0f); };
  }
  extra[12] = [] { ScriptPadButton(Settings.padFireButton, true); };
  extra[13] = [] { ScriptPadButton(Settings.padFireButton, false); };
  Visit({{14, KeyCode::Enter}, {16, KeyCode::Escape}});
  EXPECT_TRUE(RowReads(shots[1], 5, u"controls "));  // nothing checked yet
  EXPECT_TRUE(RowReads(shots[2], 5, u"controls (pad active)"));
  EXPECT_EQ(CursorRow(shots[12]), 5);
  EXPECT_TRUE(RowReads(shots[14], 5, u"controls (keyboard, pad present)"));
  EXPECT_TRUE(RowReads(shots[16], 5, u"controls (pad active)"));
  EXPECT_EQ(controls.mode, ControlMode::Pad);
  EXPECT_EQ(Settings.padControl, 1);

  // Later visits leave the choice alone.
  controls.mode = ControlMode::Keyboard;
  Visit({{2, KeyCode::Escape}});
  EXPECT_EQ(controls.mode, ControlMode::Keyboard);
  EXPECT_TRUE(RowReads(shots[2], 5, u"controls (keyboard, pad present)"));
  ScriptDetachPad();
}

TEST_F(OptionsTest, ScreenModeSwitchKeepsEveryImage) {
  ClearDrawBuffer();
  DrawImageFrame(img_menutitle, 10, 300, 0);
  const std::vector<uint8_t> mainMenu = ReadScreenRGBA();
  bool fullScreenBetween = false;
  extra[3] = [&] { fullScreenBetween = Settings.fullScreen == 1 && DisplayIsOpen(); };
  // To full screen in frame 3, back to the window in frame 5.
  Visit({{1, KeyCode::Down}, {2, KeyCode::Enter}, {4, KeyCode::Enter}, {6, KeyCode::Escape}});
  EXPECT_TRUE(fullScreenBetween);
  EXPECT_EQ(Settings.fullScreen, 0);
  ASSERT_EQ(shots.size(), 8u);
  for (int n : {3, 5}) {  // a switch's frame shows the bare menu frame after 200 ms
    EXPECT_TRUE(RowReads(shots[size_t(n)], 1, u"")) << n;
    EXPECT_GE(clock[size_t(n)] - clock[size_t(n - 1)], 200) << n;
  }
  // Font and menu pictures still draw, and the grab survives both switches.
  EXPECT_TRUE(RowReads(shots[4], 1, u"change screenmode (fullscreen)"));
  EXPECT_TRUE(RowReads(shots[6], 1, u"change screenmode (windowed)"));
  EXPECT_TRUE(shots[7] == mainMenu);
}

}  // namespace
