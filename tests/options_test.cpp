// The options menu driven as a player would: moving round the rows, the
// toggles and their texts, the pad check and the screen-mode switch.
#include <functional>
#include <map>

#include "harness/harness.h"
#include "screens/screens.h"

namespace {


// One glyph of the font as a frame left it on screen: its cell and place.
struct Glyph {
  int cell;
  float x, y;
};
using Glyphs = std::vector<Glyph>;

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
  // `extra` run there); keeps, for every frame n, the font glyphs it left on
  // screen (texts[n]: those drawn since its last clear), a picture of it
  // (shots[n]) and the clock as it was presented (clock[n]).
  std::vector<Glyphs> texts;
  std::vector<std::vector<uint8_t>> shots;
  std::vector<int32_t> clock;
  std::map<int64_t, std::function<void()>> extra;
  void Visit(std::map<int64_t, int> taps) {
    const int64_t base = PresentedFrameCount();
    texts.assign(1, {});
    shots.assign(1, {});
    clock.assign(1, MillisecondClock());
    Glyphs drawing;
    SetDrawLog([&](const DrawEvent& e) {
      if (e.kind == DrawEvent::Kind::Clear) drawing.clear();
      if (e.kind == DrawEvent::Kind::Image && e.picture == "font.png") drawing.push_back({e.frame, e.x, e.y});
    });
    SetScriptHook([&] {
      const int64_t n = PresentedFrameCount() - base;
      if (n == int64_t(shots.size())) {
        texts.push_back(drawing);
        shots.push_back(ReadScreenRGBA());
        clock.push_back(MillisecondClock());
        if (taps.count(n)) ScriptKeyTap(taps[n]);
        if (extra.count(n)) extra[n]();
        if (n > 100) ScriptKeyTap(KeyCode::Escape);  // never hang
      }
    });
    OptionsMenu();
    SetScriptHook(nullptr);
    SetDrawLog(nullptr);
    extra.clear();
  }
};

// The font's 60 cells in order; a character is drawn with the cell of its
// first place here, lower-cased, and one not here with the pound sign's.
const String kFontCells = u" !<>;##,####\u00a3+*/0123456789:.-()?'abcdefghijklmnopqrstuvwxyz&";

int CellOf(char16_t ch) {
  if (ch >= u'A' && ch <= u'Z') ch = char16_t(ch - u'A' + u'a');
  const size_t at = kFontCells.find(ch);
  return at == String::npos ? 12 : int(at);
}

// What a frame shows on a text row from the column on: its glyphs, left to
// right, as text: "_" for a gap, "?" for a glyph off the 16-pixel grid or
// outside plain text.
std::string RowText(const Glyphs& glyphs, int column, int row) {
  std::map<float, int> cells;
  for (const Glyph& g : glyphs)
    if (g.y == float(row * 16) && g.x >= float(column * 16)) cells[g.x] = g.cell;
  std::string text;
  float x = float(column * 16);
  for (const auto& [at, cell] : cells) {
    for (; x < at; x += 16) text += '_';  // a gap in the row
    const char16_t ch = cell >= 0 && cell < int(kFontCells.size()) ? kFontCells[size_t(cell)] : u'?';
    text += at == x && ch < 128 ? char(ch) : '?';
    x = at + 16;
  }
  return text;
}

// Whether the options row `index` reads exactly the text: one glyph a
// character at column 4, row 9 + 2 x index, in the text's cells, nothing after.
::testing::AssertionResult RowReads(const Glyphs& glyphs, int index, const String& text) {
  const int row = 9 + 2 * index;
  std::map<float, int> cells;
  for (const Glyph& g : glyphs)
    if (g.y == float(row * 16) && g.x >= 64) cells[g.x] = g.cell;
  bool same = cells.size() == text.size();
  for (size_t i = 0; same && i < text.size(); ++i) {
    const auto at = cells.find(float(16 * (4 + i)));
    same = at != cells.end() && at->second == CellOf(text[i]);
  }
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "row " << index << " reads \"" << RowText(glyphs, 4, row)
                                       << "\", not \"" << StringToAscii(text) << "\"";
}

// The row the "*" cursor stands on, at column 2; -1 for none or several.
int CursorRow(const Glyphs& glyphs) {
  int found = -1, count = 0;
  for (const Glyph& g : glyphs)
    for (int i = 0; i < 10; ++i)
      if (g.cell == CellOf(u'*') && g.x == 32 && g.y == float((9 + 2 * i) * 16)) found = i, ++count;
  return count == 1 ? found : -1;
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
  EXPECT_EQ(CursorRow(texts[2]), 0);
  EXPECT_EQ(CursorRow(texts[3]), 9);
  EXPECT_EQ(CursorRow(texts[4]), 0);
  EXPECT_GE(clock[3] - clock[2], 200);  // every move rests 200 ms
  EXPECT_EQ(Settings.difficulty, 1);
  EXPECT_EQ(Settings.scanlinesOn, 3);  // the lowest bit flips
  EXPECT_EQ(Settings.sfxOn, 0);
  EXPECT_TRUE(RowReads(texts[1], 0, u"current difficulty: normal"));
  EXPECT_TRUE(RowReads(texts[1], 2, u""));
  EXPECT_TRUE(RowReads(texts[1], 3, u"turn sfx on/off (on)"));
  EXPECT_TRUE(RowReads(texts[10], 0, u"current difficulty: suicidal"));
  EXPECT_TRUE(RowReads(texts[10], 2, u""));
  EXPECT_TRUE(RowReads(texts[10], 3, u"turn sfx on/off (off)"));
  EXPECT_TRUE(shots[11] == mainMenu);  // closing shows the picture it opened over
}

TEST_F(OptionsTest, ControlsRowWithAndWithoutAPad) {
  // No pad: the keyboard is forced even when the settings had the pad.
  controls.mode = ControlMode::Pad, Settings.padControl = 1;
  for (int n = 1; n <= 5; ++n) extra[n] = [] { ScriptKeyTap(KeyCode::Down); };
  Visit({{6, KeyCode::Enter}, {7, KeyCode::Escape}});
  EXPECT_TRUE(RowReads(texts[2], 5, u"controls (keyboard, no pad present)"));
  EXPECT_TRUE(RowReads(texts[7], 5, u"controls (keyboard, no pad present)"));
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
  EXPECT_TRUE(RowReads(texts[1], 5, u"controls "));  // nothing checked yet
  EXPECT_TRUE(RowReads(texts[2], 5, u"controls (pad active)"));
  EXPECT_EQ(CursorRow(texts[12]), 5);
  EXPECT_TRUE(RowReads(texts[14], 5, u"controls (keyboard, pad present)"));
  EXPECT_TRUE(RowReads(texts[16], 5, u"controls (pad active)"));
  EXPECT_EQ(controls.mode, ControlMode::Pad);
  EXPECT_EQ(Settings.padControl, 1);

  // Later visits leave the choice alone.
  controls.mode = ControlMode::Keyboard;
  Visit({{2, KeyCode::Escape}});
  EXPECT_EQ(controls.mode, ControlMode::Keyboard);
  EXPECT_TRUE(RowReads(texts[2], 5, u"controls (keyboard, pad present)"));
  ScriptDetachPad();
}

// Switching to the pad on the controls row takes the stick's place then as
// the rest this menu moves the cursor by; the game's rest waits for the
// menu's closing. A stick that has settled off the middle thus stands still.
TEST_F(OptionsTest, TheControlsRowTakesTheSticksRestAgainWhenItSwitchesThePadOn) {
  ASSERT_TRUE(ScriptAttachPad());
  ScriptPadAxis(1, 0.0f);
  for (int n = 1; n <= 5; ++n) extra[n] = [] { ScriptKeyTap(KeyCode::Down); };
  extra[7] = [] { ScriptPadAxis(1, 0.25f); };  // the keyboard in control: the stick is not read
  float gameRestWhilePad = -1;
  extra[12] = [&] { gameRestWhilePad = controls.padRestY; };
  // Frame 7 switches the pad off, frame 9 on again.
  Visit({{6, KeyCode::Enter}, {8, KeyCode::Enter}, {14, KeyCode::Escape}});
  ASSERT_EQ(texts.size(), 16u);
  EXPECT_TRUE(RowReads(texts[8], 5, u"controls (keyboard, pad present)"));
  EXPECT_TRUE(RowReads(texts[10], 5, u"controls (pad active)"));
  for (size_t n = 7; n <= 14; ++n) EXPECT_EQ(CursorRow(texts[n]), 5) << "frame " << n;
  EXPECT_EQ(gameRestWhilePad, 0.0f) << "the row reads only this menu's rest";
  EXPECT_EQ(controls.padRestY, JoyAxisY(0)) << "closing reads the game's rest";
  ScriptDetachPad();
}

// Escape leaves at once; the last row leaves after a pause of 100 ms in the
// frame that chose it.
TEST_F(OptionsTest, TheLastRowPausesAHundredMillisecondsEscapeLeavesAtOnce) {
  Visit({{1, KeyCode::Escape}});
  ASSERT_EQ(clock.size(), 3u);  // one frame and the closing one
  const int32_t frame = clock[2] - clock[1];
  EXPECT_LT(frame, 20) << "Escape: the closing frame follows at once";

  Visit({{1, KeyCode::Up}, {2, KeyCode::Enter}});  // row 9 from row 0
  ASSERT_EQ(clock.size(), 5u);
  EXPECT_EQ(CursorRow(texts[3]), 9);
  EXPECT_GE(clock[3] - clock[2], 100) << "the last row's pause";
  EXPECT_LE(clock[3] - clock[2], 100 + frame);
  EXPECT_LT(clock[4] - clock[3], 20);
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
    EXPECT_TRUE(RowReads(texts[size_t(n)], 1, u"")) << n;
    EXPECT_GE(clock[size_t(n)] - clock[size_t(n - 1)], 200) << n;
  }
  // Font and menu pictures still draw, and the grab survives both switches.
  EXPECT_TRUE(RowReads(texts[4], 1, u"change screenmode (fullscreen)"));
  EXPECT_TRUE(RowReads(texts[6], 1, u"change screenmode (windowed)"));
  EXPECT_TRUE(shots[7] == mainMenu);
}

// A desktop that refuses full screen gets the window instead: the setting
// and the row say so, and the next switch is not a switch to what is shown.
TEST_F(OptionsTest, AFullScreenRefusedReadsAndSavesAsTheWindowItIs) {
  MonitorStandIn refusing;
  refusing.refusesFullScreen = true;
  SetMonitorStandIn(refusing);
  Visit({{1, KeyCode::Down}, {2, KeyCode::Enter}, {5, KeyCode::Escape}});
  SetMonitorStandIn(MonitorStandIn{});
  EXPECT_EQ(Settings.fullScreen, 0);
  EXPECT_FALSE(DisplayIsFullScreen());
  ASSERT_GE(texts.size(), 5u);
  EXPECT_TRUE(RowReads(texts[4], 1, u"change screenmode (windowed)"));
}

}  // namespace
