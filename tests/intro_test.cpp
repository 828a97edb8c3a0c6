// The intro scene: its length, its fade, Escape, and its sounds.
#include "menu_driver.h"

namespace {

using menutest::Driver;

class IntroTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    NullDrawingTest::SetUp();
    RegisterProgramFiles();
  }
};

TEST_F(IntroTest, RunsItsFullLengthThenFadesToBlack) {
  Settings.sfxOn = 0;  // the intro's sounds play all the same
  Driver d;
  int32_t black = 0, scene = 0;
  int channels[2] = {-1, -1};
  d.OnFrame(1, [&] { black = MillisecondClock(); });
  d.OnFrame(2, [&] { scene = MillisecondClock(); });
  // "_hmmmm.ogg" starts right after scene frame 262 (presented frame 263).
  d.OnFrame(263, [&] { channels[0] = PlayingChannelCount(); });
  d.OnFrame(264, [&] { channels[1] = PlayingChannelCount(); });
  d.Install();
  PlayIntro();

  // A black frame, 2.65 s of darkness, 373 scene frames, 128 fade frames.
  EXPECT_EQ(d.Frames(), 1 + 373 + 128);
  EXPECT_GE(scene - black, 2650);
  // The small picture is drawn last, at twice the scene's alpha and a red of 200-239.
  EXPECT_NEAR(d.At(2).alpha, 0.02f, 1e-4);
  EXPECT_NEAR(d.At(3).alpha, 0.12f, 1e-4);
  for (int n = 2; n <= 374; ++n) EXPECT_TRUE(d.At(n).red >= 200 && d.At(n).red <= 239) << n;
  for (int k = 0; k < 128; ++k) EXPECT_EQ(d.At(375 + k).red, 255 - 2 * k) << k;
  EXPECT_EQ(channels[1] - channels[0], 1);
  const DrawState s = GetDrawState();
  EXPECT_TRUE(s.red == 255 && s.blue == 255 && s.alpha == 1.0f && s.blend == BlendMode::Alpha);
  Settings.sfxOn = 1;
}

TEST_F(IntroTest, EscapeEndsTheSceneAfterOneFrameButNotTheFade) {
  Driver d;
  d.OnFrame(1, [] { ScriptKeyTap(KeyCode::Escape); });   // pressed while the footsteps play
  d.OnFrame(10, [] { ScriptKeyTap(KeyCode::Escape); });  // the fade cannot be cut short
  d.Install();
  PlayIntro();
  EXPECT_EQ(d.Frames(), 1 + 1 + 128);
  // The grab fades at the translucent alpha the scene had reached.
  EXPECT_NEAR(d.At(3).alpha, 0.12f, 1e-4);
  EXPECT_EQ(d.At(130).red, 1);
}

}  // namespace
