// The main menu driven as a player would: moving round the entries both
// ways, the exit dialog, a game started and ended, the pad, and the notice of
// a newer version.
#include "menu_driver.h"

namespace {

using menutest::Driver;


class MainMenuTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    NullDrawingTest::SetUp();
    menutest::LoadGameResources();
  }
};

// The opening fade takes frames 1-32; the menu itself starts at frame 33.
TEST_F(MainMenuTest, EntriesWrapBothWaysAndTheExitDialogAsksFirst) {
  Driver d;
  menutest::DrawWatch drawn;
  std::vector<int> seen;
  const std::pair<int, int> taps[] = {{34, KeyCode::Up},    {36, KeyCode::Space},   {38, KeyCode::Down},
                                      {40, KeyCode::Up},    {42, KeyCode::Up},      {44, KeyCode::Enter},
                                      {120, KeyCode::Escape}, {196, KeyCode::Escape}};
  for (auto [n, key] : taps) d.OnFrame(n, [&seen, &drawn, key] { seen.push_back(drawn.MenuEntry()), ScriptKeyTap(key); });
  ScriptAttachPad();  // ignored while the keyboard is the control
  ScriptPadAxis(1, 0.7f);
  int64_t firstWait = 0, lastWait = 0;
  d.OnWait(45, [&](int64_t n) { firstWait = n, ScriptKeyTap(KeyCode::N); });
  // Both before the poll: no wins.
  d.OnFrame(130, [] { ScriptKeyTap(KeyCode::Y), ScriptKeyTap(KeyCode::N); });
  d.OnWait(197, [&](int64_t n) { lastWait = n, ScriptKeyTap(KeyCode::Y); });
  d.Install();

  MainMenu();  // returns only once the exit dialog is answered yes
  EXPECT_EQ(seen, (std::vector<int>{0, 5, 0, 1, 0, 5, 5, 5}));
  for (int64_t n = 1; n <= 33; ++n) EXPECT_EQ(d.At(n).red, std::min<int64_t>(248, 8 * (n - 1))) << n;
  // The dialog fades for 36 frames, then waits; no fades back in 36 frames
  // (0.28 to 0.98, which stays in force); yes fades out in 15 and ends.
  EXPECT_EQ(firstWait, 44 + 36);
  for (int64_t start : {81, 157}) {
    EXPECT_NEAR(d.At(start).alpha, 0.28f, 1e-4);
    EXPECT_NEAR(d.At(start + 35).alpha, 0.98f, 1e-4);
    EXPECT_NEAR(d.At(start + 36).alpha, 0.98f, 1e-4);
  }
  EXPECT_EQ(lastWait, 196 + 36);
  EXPECT_NEAR(d.At(lastWait + 14).alpha, 0.02f, 1e-4);
  EXPECT_LT(d.At(lastWait + 15).alpha, 1e-4);
  EXPECT_EQ(d.Frames(), lastWait + 16);
  ScriptDetachPad();
}

// Once the exit is confirmed and faded out, the menu rests 100 ms after its
// last frame before it returns, the bike's speed set to 0.
TEST_F(MainMenuTest, LeavingRestsAHundredMillisecondsAfterTheLastFrame) {
  Driver d;
  int32_t lastFrameAt = 0;
  d.EveryFrame([&](int64_t) { lastFrameAt = MillisecondClock(); });
  d.OnFrame(34, [] { ScriptKeyTap(KeyCode::Escape); });
  d.OnWait(35, [](int64_t) { ScriptKeyTap(KeyCode::Y); });
  d.Install();
  world.bike.speed = 3;
  MainMenu();
  EXPECT_EQ(d.Frames(), 34 + 36 + 15 + 1) << "the dialog's fade down, the fade out and the frame it ends";
  EXPECT_EQ(MillisecondClock() - lastFrameAt, 100);
  EXPECT_EQ(world.bike.speed, 0.0f);
}

TEST_F(MainMenuTest, TheExitQuestionReadsLettersAsTheLayoutLabelsThem) {
  // A German keyboard: Z where a US one has Y, and Y where it has Z.
  const int keyLabelledZ = ScancodeFromVirtualKey(KeyCode::Y), keyLabelledY = ScancodeFromVirtualKey('Z');
  SetLayoutStandIn(keyLabelledZ, 'z');
  SetLayoutStandIn(keyLabelledY, 'y');
  Driver d;
  bool stillAsking = false, gaveUp = false;
  int64_t askedAt = -1;
  d.OnFrame(34, [] { ScriptKeyTap(KeyCode::Escape); });
  d.OnWait(35, [&, keyLabelledZ](int64_t n) { askedAt = n, ScriptScancodeTap(keyLabelledZ); });
  // A yes fades the menu out, so the next wait comes frames later; while the
  // dialog still asks, no frame comes between two waits.
  d.OnWait(35, [&, keyLabelledY](int64_t n) { stillAsking = n == askedAt, ScriptScancodeTap(keyLabelledY); });
  // Still asking after that: leave the menu with the layout put back.
  d.OnWait(35, [&, keyLabelledZ, keyLabelledY](int64_t n) {
    if (!(gaveUp = n == askedAt)) return;
    SetLayoutStandIn(keyLabelledZ, 0), SetLayoutStandIn(keyLabelledY, 0);
    ScriptKeyTap(KeyCode::Y);
  });
  d.Install();
  MainMenu();
  EXPECT_TRUE(stillAsking) << "the key labelled Z answered";
  EXPECT_FALSE(gaveUp) << "the key labelled Y did not answer yes";
}

TEST_F(MainMenuTest, PlayFadesOutRunsAGameAndFadesBackIn) {
  Driver d;
  menutest::DrawWatch drawn;
  int64_t gameEnded = 0;
  menutest::GameFromMenu game(d, 34);
  d.EveryFrame([&](int64_t n) {
    gameEnded = game.EndedAt(n);
    if (n >= 60 && !gameEnded && !world.game.ended) world.game.ended = GameEnd::Quit;  // end the game at once
    if (gameEnded && n == gameEnded + 40) {
      ScriptKeyTap(KeyCode::Escape);
      d.OnWait(n, [](int64_t) { ScriptKeyTap(KeyCode::Y); });
    }
  });
  d.Install();
  MainMenu();
  // Out: 25 frames at 1, 0.96 ... 0.04, then the game's first frame.
  for (int k = 0; k < 25; ++k) EXPECT_NEAR(d.At(35 + k).alpha, 1 - 0.04f * k, 1e-4) << k;
  EXPECT_EQ(d.At(60).alpha, 1.0f);
  // In: 25 frames at 0, 0.04 ... 0.96, white; the menu goes on at 0.96.
  ASSERT_GT(gameEnded, 0);
  for (int k = 0; k < 25; ++k) EXPECT_NEAR(d.At(gameEnded + k).alpha, 0.04f * k, 1e-4) << k;
  EXPECT_NEAR(d.At(gameEnded + 25).alpha, 0.96f, 1e-4);
  EXPECT_EQ(d.At(gameEnded + 25).red, 255);
  EXPECT_EQ(drawn.MenuEntry(), 0);
}

TEST_F(MainMenuTest, PadMovesSelectsAndAnswers) {
  controls.mode = ControlMode::Pad, Settings.padClimbButton = 1;
  Settings.padFireButton = 0;
  ASSERT_TRUE(ScriptAttachPad());
  Driver d;
  menutest::DrawWatch drawn;
  int choice = -1;
  int64_t waited = 0;
  d.OnFrame(34, [] { ScriptPadAxis(1, -0.5f); });  // up for one frame: play -> exit
  d.OnFrame(35, [] { ScriptPadAxis(1, 0.0f); });
  d.OnFrame(38, [&] { choice = drawn.MenuEntry(), ScriptPadButton(1, true); });  // select
  d.OnFrame(39, [] { ScriptPadButton(1, false); });
  d.OnWait(40, [&](int64_t n) { waited = n, ScriptPadButton(0, true); });  // yes
  d.OnFrame(80, [] { ScriptPadButton(0, false); });
  d.Install();
  const int32_t before = MillisecondClock();
  MainMenu();
  EXPECT_EQ(choice, 5);
  EXPECT_EQ(waited, 38 + 36);
  EXPECT_GE(MillisecondClock() - before, 200) << "a pad move pauses";
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
    Settings.sfxOn = sfx;
    VersionMessage1 = u"the newer version";
    NewerVersion = u"1.3";
    SetDrawAlpha(1);  // the last exit left it at almost 0
    Driver d;
    // The blink counter is n - 32 on menu frame n: hidden up to 30, shown from 31.
    std::vector<uint8_t> hidden, shown;
    int channelsHidden = 0, channelsShown = 0;
    d.OnFrame(62, [&] { hidden = ReadScreenRGBA(), channelsHidden = PlayingChannelCount(); });
    d.OnFrame(63, [&] { shown = ReadScreenRGBA(), channelsShown = PlayingChannelCount(); });
    d.OnFrame(64, [] { ScriptKeyTap(KeyCode::Escape); });
    d.OnWait(65, [](int64_t) { ScriptKeyTap(KeyCode::Y); });
    d.Install();
    MainMenu();
    // The notice's row (row 28) changes; the rows above it, below the cursor, do not.
    auto changed = [&](int y0, int y1) {
      for (int i = y0 * 640 * 4; i < y1 * 640 * 4; ++i)
        if (i % 4 != 3 && hidden[size_t(i)] != shown[size_t(i)]) return true;
      return false;
    };
    EXPECT_TRUE(changed(448, 464)) << sfx;
    EXPECT_FALSE(changed(250, 440)) << sfx;
    EXPECT_EQ(channelsShown - channelsHidden, sfx) << "the notice sound plays only with effects on";
  }
}

}  // namespace
