// The intro scene: its length, its fade, Escape, and its sounds.
#include "menu_driver.h"

namespace {

using menutest::Driver;

class IntroTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    NullDrawingTest::SetUp();
    RegisterEmbeddedFiles();
    SetDrawColour(255, 255, 255);
    SetDrawAlpha(1);
  }
};

TEST_F(IntroTest, RunsItsFullLengthThenFadesToBlack) {
  SfxOn = 0;  // the intro's sounds play all the same
  Driver d;
  int32_t blackShown = 0, firstScene = 0;
  int channelsBefore = -1, channelsAfter = -1;
  d.OnFrame(1, [&] { blackShown = MillisecondClock(); });
  d.OnFrame(2, [&] { firstScene = MillisecondClock(); });
  // "_hmmmm.ogg" starts right after scene frame 262 (presented frame 263);
  // the footsteps and the light switch are long over by then.
  d.OnFrame(263, [&] { channelsBefore = PlayingChannelCount(); });
  d.OnFrame(264, [&] { channelsAfter = PlayingChannelCount(); });
  d.Install();
  EXPECT_EQ(PlayIntro(), 0);

  // The black frame, 373 scene frames, 128 fade frames.
  EXPECT_EQ(d.Frames(), 1 + 373 + 128);
  EXPECT_GE(firstScene - blackShown, 2650);
  // The small picture is drawn at twice the scene's alpha, with a red
  // channel between 200 and 239.
  EXPECT_NEAR(d.At(2).alpha, 0.02f, 1e-4);
  EXPECT_NEAR(d.At(3).alpha, 0.12f, 1e-4);
  EXPECT_EQ(d.At(12).alpha, 1.0f);
  for (int n = 2; n <= 374; ++n) {
    EXPECT_GE(d.At(n).red, 200) << n;
    EXPECT_LE(d.At(n).red, 239) << n;
  }
  // The fade: greys 255, 253, ..., 1.
  for (int k = 0; k < 128; ++k) EXPECT_EQ(d.At(375 + k).red, 255 - 2 * k) << k;
  EXPECT_EQ(channelsAfter - channelsBefore, 1);
  const DrawState s = GetDrawState();
  EXPECT_EQ(s.red, 255);
  EXPECT_EQ(s.blue, 255);
  EXPECT_EQ(s.alpha, 1.0f);
  EXPECT_EQ(s.blend, 3);
  SfxOn = 1;
}

TEST_F(IntroTest, EscapeEndsTheSceneAfterOneFrameButNotTheFade) {
  Driver d;
  d.OnFrame(1, [] { ScriptKeyTap(27); });  // pressed while the footsteps play
  d.OnFrame(10, [] { ScriptKeyTap(27); });  // the fade cannot be cut short
  d.Install();
  PlayIntro();
  EXPECT_EQ(d.Frames(), 1 + 1 + 128);
  // Stopped early, the grabbed picture fades at the translucent alpha of the
  // scene's second frame.
  EXPECT_NEAR(d.At(3).alpha, 0.12f, 1e-4);
  EXPECT_EQ(d.At(3).red, 255);
  EXPECT_EQ(d.At(130).red, 1);
}

}  // namespace
