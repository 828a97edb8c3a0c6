// The main menu driven as a player would: moving round the entries both
// ways, the exit dialog, a game started and ended, the pad, and the notice of
// a newer version.
#include "menu_driver.h"

namespace {

using menutest::Driver;

constexpr int kEnter = 13, kEscape = 27, kSpace = 32, kUp = 38, kDown = 40, kN = 78, kY = 89;

class MainMenuTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    NullDrawingTest::SetUp();
    menutest::LoadGameResources();
  }
};

// The opening fade takes frames 1-32; frame 33 is the first of the menu.
constexpr int64_t kFirstMenuFrame = 33;

TEST_F(MainMenuTest, EntriesWrapBothWaysAndTheExitDialogAsksFirst) {
  Driver d;
  std::vector<int> seen;
  auto tap = [&](int64_t n, int key) {
    d.OnFrame(n, [&seen, key] {
      seen.push_back(MenuChoice);
      ScriptKeyTap(key);
    });
  };
  // The pad is ignored while the keyboard is the control.
  ScriptAttachPad();
  ScriptPadAxis(1, 0.7f);
  tap(34, kUp);     // play -> exit
  tap(36, kSpace);  // exit -> play
  tap(38, kDown);   // play -> options
  tap(40, kUp);     // options -> play
  tap(42, kUp);     // play -> exit
  tap(44, kEnter);  // the exit entry opens the dialog
  int64_t firstWait = 0, thirdWait = 0;
  d.OnWait(45, [&](int64_t n) { firstWait = n; ScriptKeyTap(kN); });
  tap(120, kEscape);
  d.OnFrame(130, [] { ScriptKeyTap(kY); ScriptKeyTap(kN); });  // both before the poll: no wins
  tap(196, kEscape);
  d.OnWait(197, [&](int64_t n) { thirdWait = n; ScriptKeyTap(kY); });
  d.Install();

  EXPECT_EQ(MainMenu(), 0);
  EXPECT_EQ(QuitState, 2);
  EXPECT_EQ(seen, (std::vector<int>{0, 5, 0, 1, 0, 5, 5, 5}));
  // Fade in from black over 32 frames; the menu stays in grey 248.
  for (int64_t n = 1; n <= 32; ++n) EXPECT_EQ(d.At(n).red, 8 * (n - 1)) << n;
  EXPECT_EQ(d.At(kFirstMenuFrame).red, 248);

  // The dialog: 36 frames of fading, then it waits with the last one shown.
  EXPECT_EQ(firstWait, 44 + 36);
  // No: 36 frames back up from 0.28 to 0.98, which stays in force.
  EXPECT_NEAR(d.At(81).alpha, 0.28f, 1e-4);
  EXPECT_NEAR(d.At(116).alpha, 0.98f, 1e-4);
  EXPECT_NEAR(d.At(117).alpha, 0.98f, 1e-4);
  // Y and N pressed during the fade: no, without waiting.
  EXPECT_NEAR(d.At(157).alpha, 0.28f, 1e-4);
  EXPECT_NEAR(d.At(192).alpha, 0.98f, 1e-4);
  // Yes: 15 frames from 0.28 down to almost 0, then the menu ends.
  EXPECT_EQ(thirdWait, 196 + 36);
  EXPECT_NEAR(d.At(thirdWait + 1).alpha, 0.28f, 1e-4);
  EXPECT_NEAR(d.At(thirdWait + 14).alpha, 0.02f, 1e-4);
  EXPECT_LT(d.At(thirdWait + 15).alpha, 1e-4);
  EXPECT_EQ(d.Frames(), thirdWait + 16);
  ScriptDetachPad();
}

TEST_F(MainMenuTest, PlayFadesOutRunsAGameAndFadesBackIn) {
  Driver d;
  bool gameOn = false;
  int64_t gameEnded = 0;
  TChannel* tune = nullptr;
  int tuneChanges = 0;
  d.OnFrame(34, [&] { ScriptKeyTap(kEnter); });
  d.EveryFrame([&](int64_t n) {
    // The game switches to its tune and back to the menu's when it ends.
    if (n == 34) tune = MusicChannel;
    if (n > 34 && MusicChannel != tune) {
      tune = MusicChannel;
      if (++tuneChanges == 2) gameEnded = n;
    }
    if (n == 60) gameOn = true;
    if (gameOn && !gameEnded && QuitState == 0) QuitState = 1;  // the game ends at once
    if (gameEnded && n == gameEnded + 40) {
      ScriptKeyTap(kEscape);
      d.OnWait(n, [](int64_t) { ScriptKeyTap(kY); });
    }
    if (n > 20000) QuitState = 2;  // never hang
  });
  d.Install();
  MainMenu();

  // Out: 25 frames at 1, 0.96 ... 0.04; the game's first frame follows.
  for (int k = 0; k < 25; ++k) EXPECT_NEAR(d.At(35 + k).alpha, 1 - 0.04f * k, 1e-4) << k;
  EXPECT_EQ(d.At(60).alpha, 1.0f);
  // In: 25 frames at 0, 0.04 ... 0.96, white; the menu goes on at 0.96.
  ASSERT_GT(gameEnded, 0);
  for (int k = 0; k < 25; ++k) EXPECT_NEAR(d.At(gameEnded + k).alpha, 0.04f * k, 1e-4) << k;
  EXPECT_NEAR(d.At(gameEnded + 25).alpha, 0.96f, 1e-4);
  EXPECT_EQ(d.At(gameEnded + 25).red, 255);
  EXPECT_EQ(MenuChoice, 0);
}

TEST_F(MainMenuTest, PadMovesSelectsAndAnswers) {
  ControlMode = 1;
  JoyButton1 = 1;
  JoyButton2 = 0;
  ASSERT_TRUE(ScriptAttachPad());
  Driver d;
  int choiceAfterMoves = -1;
  // Up on the stick for one frame: play -> exit, with a 200 ms pause.
  d.OnFrame(34, [] { ScriptPadAxis(1, -0.5f); });
  d.OnFrame(35, [] { ScriptPadAxis(1, 0.0f); });
  d.OnFrame(38, [&] {
    choiceAfterMoves = MenuChoice;
    ScriptPadButton(1, true);  // select: the exit entry opens the dialog
  });
  d.OnFrame(39, [] { ScriptPadButton(1, false); });
  int64_t waited = 0;
  d.OnWait(40, [&](int64_t n) {
    waited = n;
    ScriptPadButton(0, true);  // the second button answers yes
  });
  d.OnFrame(80, [] { ScriptPadButton(0, false); });
  d.Install();
  const int32_t before = MillisecondClock();
  MainMenu();
  EXPECT_EQ(choiceAfterMoves, 5);
  EXPECT_EQ(waited, 38 + 36);
  EXPECT_EQ(QuitState, 2);
  EXPECT_GE(MillisecondClock() - before, 200);
  ScriptDetachPad();
}

class MainMenuPicture : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    menutest::LoadGameResources();
  }
};

TEST_F(MainMenuPicture, NewerVersionNoticeBlinksWithItsSound) {
  for (int sfx : {1, 0}) {
    SfxOn = sfx;
    VersionMessage1 = u"the newer version";
    NewerVersion = u"1.3";
    Driver d;
    // The blink counter is n - 32 on menu frame n: hidden up to 30, shown from 31.
    std::vector<uint8_t> hidden, shown;
    int channelsHidden = 0, channelsShown = 0;
    d.OnFrame(62, [&] { hidden = ReadScreenRGBA(); channelsHidden = PlayingChannelCount(); });
    d.OnFrame(63, [&] { shown = ReadScreenRGBA(); channelsShown = PlayingChannelCount(); });
    d.OnFrame(64, [] { ScriptKeyTap(kEscape); });
    d.OnWait(65, [](int64_t) { ScriptKeyTap(kY); });
    d.Install();
    QuitState = 0;
    SetDrawAlpha(1);  // the last exit left it at almost 0
    SetDrawColour(255, 255, 255);
    MainMenu();
    // The notice's row (row 28, from column 11) changes; the rows above do not.
    auto rowDiffers = [&](int y0, int y1) {
      for (int y = y0; y < y1; ++y)
        for (int x = 176; x < 560; ++x)
          for (int c = 0; c < 3; ++c)
            if (hidden[(y * 640 + x) * 4 + c] != shown[(y * 640 + x) * 4 + c]) return true;
      return false;
    };
    EXPECT_TRUE(rowDiffers(448, 464)) << sfx;
    EXPECT_FALSE(rowDiffers(400, 440)) << sfx;
    EXPECT_EQ(channelsShown - channelsHidden, sfx) << "the notice sound plays only with effects on";
  }
}

}  // namespace
