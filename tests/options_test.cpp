// The options menu driven as a player would: moving round the rows, each
// toggle and its text, the pad check, the screen-mode switch and the
// sub-screens it opens.
#include <functional>
#include <map>

#include "harness/harness.h"
#include "shell/shell.h"

namespace {

constexpr int kReturn = 13, kEscape = 27, kSpace = 32, kUp = 38, kDown = 40;
constexpr int kFire = 162;

// Runs the options menu with one key tapped after each listed frame, keeping
// a picture of every frame. A menu that fails to end is ended by Escape.
struct MenuVisit {
  std::vector<std::vector<uint8_t>> shots;  // shots[n] is frame n (from 1)
  std::map<int64_t, std::function<void()>> extra;
  std::vector<int32_t> clockAt;
  int64_t frames = 0;
  bool stuck = false;

  void Go(const std::map<int64_t, int>& taps) {
    const int64_t base = PresentedFrameCount();
    int64_t last = 0;
    int sleeps = 0;
    shots.assign(1, {});
    clockAt.assign(1, MillisecondClock());
    SetScriptHook([&] {
      const int64_t n = PresentedFrameCount() - base;
      if (n == last) {
        if (++sleeps > 3000) {
          stuck = true;
          ScriptKeyTap(kEscape);
        }
        return;
      }
      last = n;
      sleeps = 0;
      shots.push_back(ReadScreenRGBA());
      clockAt.push_back(MillisecondClock());
      auto it = taps.find(n);
      if (it != taps.end()) ScriptKeyTap(it->second);
      auto ex = extra.find(n);
      if (ex != extra.end()) ex->second();
      if (n > 200) {
        stuck = true;
        ScriptKeyTap(kEscape);
      }
    });
    EXPECT_EQ(OptionsMenu(), 0);
    SetScriptHook(nullptr);
    frames = PresentedFrameCount() - base;
  }
};

class OptionsTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    RegisterEmbeddedFiles();
    InstallProgramData();
    img_font = LoadImageCells(ResPath("font.png"), 16, 16, 0, 60, -1);
    img_menumain = LoadImageResource(ResPath("menumain.png"), -1);
    img_menutitle = LoadImageResource(ResPath("menutitle.png"), -1);
    img_arrow = LoadImageResource(ResPath("arrow.png"), -1);
    ScreenGrab = CreateEmptyImage(640, 480, 1, 9);
    PadCheckPending = 1;
    ControlMode = 0;
    JoystickOn = 0;
    Difficulty = 0;
    FullScreen = 0;
    ScanlinesOn = 0;  // no overlay pictures are loaded: the toggle draws nothing
    SfxOn = 1;
    MusicOn = 1;
    VistaSound = 0;
    KeyFire = kFire;
    JoyButton1 = 1;
    JoyButton2 = 0;
    PlayerName = u"not set";
    MenuMusicVolume = GameMusicVolume = PauseMusicVolume = 0.4f;
    SetDrawColour(255, 255, 255);
    SetDrawAlpha(1);
    SetDrawBlendMode(3);
    ClearKeyStates();
    ClearPadHits();
  }
};

// The cells of one text line as the menu frame plus that text shows them.
std::vector<uint8_t> Expected(const String& text, float column, float row) {
  ClearDrawBuffer();
  DrawMenuBackground();
  DrawFontText(text, column, row);
  return ReadScreenRGBA();
}

// Whether the screen row of the shot, from the column on, holds exactly the
// text (and nothing after it up to the right edge, or within the given cells).
::testing::AssertionResult Shows(const std::vector<uint8_t>& shot, const String& text, int column, int row,
                                 int cells = 40) {
  const std::vector<uint8_t> want = Expected(text, float(column), float(row));
  for (int y = row * 16; y < row * 16 + 16; ++y)
    for (int x = column * 16; x < std::min(640, (column + cells) * 16); ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t i = (size_t(y) * 640 + size_t(x)) * 4 + size_t(c);
        if (shot[i] != want[i])
          return ::testing::AssertionFailure()
                 << "row " << row << " does not read \"" << StringToAscii(text) << "\" (x " << x << ")";
      }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult RowReads(const std::vector<uint8_t>& shot, int index, const String& text) {
  return Shows(shot, text, 4, 9 + 2 * index);
}

int CursorRow(const std::vector<uint8_t>& shot) {
  int found = -1;
  for (int i = 0; i < 10; ++i)
    if (Shows(shot, u"*", 2, 9 + 2 * i, 2)) {
      if (found >= 0) return -2;  // two cursors
      found = i;
    }
  return found;
}

TEST_F(OptionsTest, CursorWrapsBothWaysAndTheLastRowLeaves) {
  MenuVisit r;
  // Up from the first row lands on the last; Down and Space go on round.
  r.Go({{1, kUp}, {2, kDown}, {3, kSpace}, {4, kUp}, {5, kUp}, {6, kReturn}});
  EXPECT_FALSE(r.stuck);
  // A tap after frame n acts in frame n + 1, after its rows are drawn, so
  // frame n + 2 shows it. Frame 7 selects "back to mainmenu"; 8 closes.
  ASSERT_EQ(r.frames, 8);
  const int want[] = {0, 0, 9, 0, 1, 0, 9};
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(CursorRow(r.shots[size_t(n)]), want[n - 1]) << "frame " << n;
  // Every move rests 200 ms; the last row rests 100 ms before leaving.
  EXPECT_GE(r.clockAt[3] - r.clockAt[2], 200);
  EXPECT_GE(r.clockAt[7] - r.clockAt[6], 100);
  EXPECT_LT(r.clockAt[7] - r.clockAt[6], 150);
  EXPECT_EQ(Difficulty, 0);
}

TEST_F(OptionsTest, RowsToggleAndShowTheirState) {
  MenuVisit r;
  // Difficulty, then down to scanlines, sfx (selected with the fire key)
  // and the audio row for the next start.
  const String driver = CurrentAudioDriverName();
  r.Go({{1, kReturn},
        {2, kDown}, {3, kDown}, {4, kReturn},
        {5, kDown}, {6, kFire},
        {7, kDown}, {8, kDown}, {9, kDown}, {10, kDown}, {11, kDown}, {12, kReturn},
        {14, kEscape}});
  EXPECT_FALSE(r.stuck);
  EXPECT_EQ(r.frames, 15);
  EXPECT_EQ(Difficulty, 1);
  EXPECT_EQ(ScanlinesOn, 1);
  EXPECT_EQ(SfxOn, 0);
  EXPECT_EQ(VistaSound, 1);
  EXPECT_EQ(CurrentAudioDriverName(), driver);  // chosen only at the next start

  const auto& first = r.shots[1];
  EXPECT_TRUE(RowReads(first, 0, u"current difficulty: normal"));
  EXPECT_TRUE(RowReads(first, 1, u"change screenmode (windowed)"));
  EXPECT_TRUE(RowReads(first, 2, u"scanlines: off"));
  EXPECT_TRUE(RowReads(first, 3, u"turn sfx on/off (on)"));
  EXPECT_TRUE(RowReads(first, 4, u"turn music on/off (on)"));
  EXPECT_TRUE(RowReads(first, 6, u"redefine keys"));
  EXPECT_TRUE(RowReads(first, 7, u"set playername (not set)"));
  EXPECT_TRUE(RowReads(first, 8, u"vista friendly sound (off)"));
  EXPECT_TRUE(RowReads(first, 9, u"back to mainmenu"));

  const auto& last = r.shots[14];
  EXPECT_TRUE(RowReads(last, 0, u"current difficulty: suicidal"));
  EXPECT_TRUE(RowReads(last, 2, u"scanlines: on"));
  EXPECT_TRUE(RowReads(last, 3, u"turn sfx on/off (off)"));
  EXPECT_TRUE(RowReads(last, 8, u"vista friendly sound (on)"));
}

TEST_F(OptionsTest, AnUnknownSettingShowsAnEmptyRowAndFlipsItsLowestBit) {
  Difficulty = 2;
  SfxOn = 3;
  FullScreen = 2;
  MenuVisit r;
  r.Go({{1, kReturn}, {2, kDown}, {3, kReturn}, {4, kEscape}});
  EXPECT_FALSE(r.stuck);
  EXPECT_TRUE(RowReads(r.shots[1], 0, u""));
  EXPECT_TRUE(RowReads(r.shots[1], 1, u""));
  EXPECT_TRUE(RowReads(r.shots[1], 3, u""));
  EXPECT_EQ(Difficulty, 3);
  EXPECT_EQ(FullScreen, 3);  // no display mode for it: the display stays as it was
  EXPECT_TRUE(DisplayIsOpen());
  EXPECT_TRUE(RowReads(r.shots[4], 0, u""));
  EXPECT_EQ(SfxOn, 3);
}

TEST_F(OptionsTest, WithoutAPadTheKeyboardStays) {
  ControlMode = 1;  // as a settings file with the pad on would leave it
  JoystickOn = 1;
  MenuVisit r;
  for (int i = 1; i <= 5; ++i) r.extra[i] = [] { ScriptKeyTap(kDown); };
  r.Go({{6, kReturn}, {7, kEscape}});
  EXPECT_FALSE(r.stuck);
  EXPECT_EQ(ControlMode, 0);
  EXPECT_EQ(JoystickOn, 0);
  EXPECT_EQ(PadCheckPending, 0);
  EXPECT_TRUE(RowReads(r.shots[1], 5, u"controls (pad active)"));  // before the first check
  EXPECT_TRUE(RowReads(r.shots[2], 5, u"controls (keyboard, no pad present)"));
  EXPECT_TRUE(RowReads(r.shots[7], 5, u"controls (keyboard, no pad present)"));
}

TEST_F(OptionsTest, APadIsSwitchedOnAtTheFirstVisitAndTheRowToggles) {
  ASSERT_TRUE(ScriptAttachPad());
  ScriptPadAxis(1, 0.0f);
  MenuVisit r;
  // Five rows down on the stick, one frame each, then select the controls
  // row twice with the pad's buttons and leave with Escape.
  for (int i = 1; i <= 5; ++i) {
    r.extra[2 * i] = [] { ScriptPadAxis(1, 0.5f); };
    r.extra[2 * i + 1] = [] { ScriptPadAxis(1, 0.0f); };
  }
  r.extra[12] = [] { ScriptPadButton(JoyButton2, true); };
  r.extra[13] = [] { ScriptPadButton(JoyButton2, false); };
  r.Go({{14, kReturn}, {16, kReturn}, {18, kEscape}});
  EXPECT_FALSE(r.stuck);
  EXPECT_TRUE(RowReads(r.shots[1], 5, u"controls "));  // no pad text before the first check
  EXPECT_TRUE(RowReads(r.shots[2], 5, u"controls (pad active)"));
  EXPECT_EQ(CursorRow(r.shots[12]), 5);
  EXPECT_TRUE(RowReads(r.shots[14], 5, u"controls (keyboard, pad present)"));
  EXPECT_TRUE(RowReads(r.shots[16], 5, u"controls (pad active)"));
  EXPECT_TRUE(RowReads(r.shots[18], 5, u"controls (keyboard, pad present)"));
  EXPECT_EQ(ControlMode, 0);
  EXPECT_EQ(JoystickOn, 1);  // the next start comes up with the pad

  // A later visit leaves the choice alone and ignores the stick.
  MenuVisit again;
  again.extra[1] = [] { ScriptPadAxis(1, 0.5f); };
  again.Go({{3, kEscape}});
  EXPECT_EQ(ControlMode, 0);
  EXPECT_EQ(CursorRow(again.shots[3]), 0);
  EXPECT_TRUE(RowReads(again.shots[3], 5, u"controls (keyboard, pad present)"));
  ScriptPadAxis(1, 0.0f);
  ScriptDetachPad();
}

TEST_F(OptionsTest, ScreenModeSwitchKeepsEveryImage) {
  // The main menu's picture this menu grabs when it opens.
  ClearDrawBuffer();
  DrawImageFrame(img_menutitle, 10, 300, 0);
  DrawFontText(u"main menu", 5, 2);
  const std::vector<uint8_t> menu = ReadScreenRGBA();

  MenuVisit r;
  // To full screen in frame 3 and back to the window in frame 5.
  bool fullInBetween = false;
  r.extra[3] = [&] { fullInBetween = FullScreen == 1 && DisplayIsOpen(); };
  r.Go({{1, kDown}, {2, kReturn}, {4, kReturn}, {6, kEscape}});
  EXPECT_FALSE(r.stuck);
  EXPECT_TRUE(fullInBetween);
  EXPECT_EQ(FullScreen, 0);
  EXPECT_TRUE(DisplayIsOpen());
  ASSERT_EQ(r.frames, 7);
  // The frame of a switch shows the menu frame alone, after a 200 ms rest.
  for (int n : {3, 5}) {
    EXPECT_TRUE(RowReads(r.shots[size_t(n)], 0, u"")) << "frame " << n;
    EXPECT_TRUE(RowReads(r.shots[size_t(n)], 1, u"")) << "frame " << n;
    EXPECT_GE(r.clockAt[size_t(n)] - r.clockAt[size_t(n - 1)], 200);
  }
  // Font and menu pictures draw as before in either mode.
  EXPECT_TRUE(RowReads(r.shots[2], 1, u"change screenmode (windowed)"));
  EXPECT_TRUE(RowReads(r.shots[4], 1, u"change screenmode (fullscreen)"));
  EXPECT_TRUE(RowReads(r.shots[4], 0, u"current difficulty: normal"));
  EXPECT_TRUE(RowReads(r.shots[6], 1, u"change screenmode (windowed)"));
  // Closing shows the main menu's picture grabbed before the switches.
  EXPECT_TRUE(r.shots[7] == menu);
}

TEST_F(OptionsTest, MusicToggleRestartsTheMenuTune) {
  snd_m_menu = LoadSoundResource(ResPath("_menuselect.ogg"), 1);  // a short stand-in tune
  ASSERT_NE(snd_m_menu, nullptr);
  MusicChannel = PlaySoundOnChannel(snd_m_menu, nullptr);
  TChannel* const first = MusicChannel;
  TChannel* off = nullptr;
  MenuVisit r;
  r.extra[6] = [&] { off = MusicChannel; };
  r.Go({{1, kDown}, {2, kDown}, {3, kDown}, {4, kDown}, {5, kReturn}, {6, kReturn}, {7, kEscape}});
  EXPECT_FALSE(r.stuck);
  ASSERT_NE(off, nullptr);
  EXPECT_NE(off, first);
  EXPECT_NE(MusicChannel, off);
  EXPECT_FALSE(SoundChannelPlaying(first));
  EXPECT_FALSE(SoundChannelPlaying(off));
  EXPECT_TRUE(SoundChannelPlaying(MusicChannel));
  EXPECT_EQ(MusicOn, 1);
  EXPECT_FLOAT_EQ(MenuMusicVolume, 0.4f);
  EXPECT_FLOAT_EQ(GameMusicVolume, 0.4f);
  EXPECT_TRUE(RowReads(r.shots[7], 4, u"turn music on/off (off)"));
  StopSoundChannel(MusicChannel);
  MusicChannel = nullptr;
}

TEST_F(OptionsTest, MusicOffSilencesEveryTuneButKeepsTheMenuTuneRunning) {
  snd_m_menu = LoadSoundResource(ResPath("_menuselect.ogg"), 1);
  MenuVisit r;
  r.Go({{1, kDown}, {2, kDown}, {3, kDown}, {4, kDown}, {5, kReturn}, {6, kEscape}});
  EXPECT_EQ(MusicOn, 0);
  EXPECT_EQ(MenuMusicVolume, 0.0f);
  EXPECT_EQ(GameMusicVolume, 0.0f);
  EXPECT_EQ(PauseMusicVolume, 0.0f);
  EXPECT_TRUE(SoundChannelPlaying(MusicChannel));
  StopSoundChannel(MusicChannel);
  MusicChannel = nullptr;
}

TEST_F(OptionsTest, SubScreensReturnToTheirRow) {
  MenuVisit r;
  // Row 7: the name wheel; add "a" with fire, end it with Return.
  for (int i = 1; i <= 7; ++i) r.extra[i] = [] { ScriptKeyTap(kDown); };
  r.extra[8] = [] { ScriptKeyTap(kReturn); };
  r.extra[9] = [] { ScriptKeyTap(kFire); };  // the wheel's first frame
  r.extra[10] = [] { ScriptKeyTap(kReturn); };
  // Back in this menu: row 6, the key menu, left with Escape.
  r.extra[12] = [] { ScriptKeyTap(kUp); };
  r.extra[13] = [] { ScriptKeyTap(kReturn); };
  r.extra[14] = [] { ScriptKeyTap(kEscape); };
  r.extra[16] = [] { ScriptKeyTap(kEscape); };
  r.Go({});
  EXPECT_FALSE(r.stuck);
  EXPECT_EQ(PlayerName, u"not seta");
  EXPECT_EQ(r.frames, 17);
  EXPECT_TRUE(RowReads(r.shots[12], 7, u"set playername (not seta)"));
  EXPECT_EQ(CursorRow(r.shots[12]), 7);
  EXPECT_EQ(CursorRow(r.shots[16]), 6);
}

}  // namespace
