// The bike frame by frame: climb and fall, the top-speed swing, coasting to a
// stop, the screen glide, the world scroll's wrap, sector numbers and firing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "screens/screens.h"

namespace {

class BikeTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    harness::NullDrawingTest::SetUp();
    controls.mode = ControlMode::Keyboard, controls.keyClimb2 = KeyCode::Up;
    Settings = SavedSettings();
    Settings.sfxOn = 0;
    StartWorld();
    world.bike.y = 397.0f;  // landed
    ClearKeyStates();
  }
  static void Fly(int frames) {
    for (int i = 0; i < frames; ++i) PlayerControl(ReadBikeCommand());
  }
};

TEST_F(BikeTest, ClimbsSixFallsFourAndStopsAtCeilingAndGround) {
  world.bike.y = 402.0f;  // where the set-up leaves it
  Fly(3);
  EXPECT_FLOAT_EQ(world.bike.y, 397.0f);
  ScriptKeyDown(Settings.keyClimb);
  PlayerControl(ReadBikeCommand());
  EXPECT_FLOAT_EQ(world.bike.y, 391.0f);
  Fly(200);
  EXPECT_FLOAT_EQ(world.bike.y, 32.0f);
  EXPECT_TRUE(world.bike.climbing);  // the lift flame burns at the ceiling too
  ScriptKeyUp(Settings.keyClimb);
  ScriptKeyDown(KeyCode::Up);  // the second climb key, whatever the first is bound to
  world.bike.y = 200.0f;
  PlayerControl(ReadBikeCommand());
  EXPECT_FLOAT_EQ(world.bike.y, 194.0f);
  ScriptKeyUp(KeyCode::Up);
  PlayerControl(ReadBikeCommand());
  EXPECT_FLOAT_EQ(world.bike.y, 198.0f);
}

TEST_F(BikeTest, TopSpeedSwingsBetweenAbout8_3And8_7) {
  ScriptKeyDown(Settings.keyRight);
  int frame = 0;
  while (world.bike.speed < kMaxSpeed && frame < 40) {
    PlayerControl(ReadBikeCommand());
    ++frame;
  }
  EXPECT_EQ(frame, 29);
  EXPECT_NEAR(world.bike.speed, 8.7f, 1e-3f);

  float low = 100.0f, high = 0.0f;
  int pushes = 0;
  const float glideStart = world.bike.x;
  for (int i = 0; i < 300; ++i) {
    const float before = world.bike.x;
    PlayerControl(ReadBikeCommand());
    low = std::min(low, world.bike.speed);
    high = std::max(high, world.bike.speed);
    pushes += world.bike.thrusting;
    // The held key's glide is taken back on the coasting frames only.
    EXPECT_NEAR(world.bike.x - before, world.bike.thrusting ? -0.6f : 0.0f, 1e-3f) << "frame " << i;
  }
  EXPECT_NEAR(low, 8.3f, 0.01f);
  EXPECT_NEAR(high, 8.7f, 0.01f);
  EXPECT_NEAR(pushes, 120, 2);  // 8.7 8.5 8.3 coast, 8.6 push, 8.4 coast, 8.7 push
  EXPECT_NEAR(world.bike.x, glideStart - 0.6f * 120, 1.0f);
  ScriptKeyUp(Settings.keyRight);
}

TEST_F(BikeTest, CoastsToAStopInAbout42FramesAndStaysWhereItGlided) {
  ScriptKeyDown(Settings.keyLeft);
  Fly(60);
  ScriptKeyUp(Settings.keyLeft);
  int frames = 0;
  while (world.bike.speed != 0.0f && frames < 100) {
    PlayerControl(ReadBikeCommand());
    ++frames;
  }
  EXPECT_GE(frames, 41);
  EXPECT_LE(frames, 44);
  EXPECT_EQ(world.bike.facing, Facing::Left);  // a stopped bike keeps its facing
  const float stoppedAt = world.bike.x;
  Fly(30);
  EXPECT_FLOAT_EQ(world.bike.x, stoppedAt);

  // Exactly 0.2 is outside the snap band but coasts to 0 in one step.
  for (float speed : {0.2f, -0.2f, 0.19f}) {
    world.bike.speed = speed;
    PlayerControl(ReadBikeCommand());
    EXPECT_NEAR(world.bike.speed, 0.0f, 1e-6f) << speed;
  }
  // Both directions at once: speed and screen x unchanged, flame on.
  world.bike.speed = 2.0f;
  world.bike.x = 300.0f;
  ScriptKeyDown(Settings.keyLeft);
  ScriptKeyDown(Settings.keyRight);
  PlayerControl(ReadBikeCommand());
  EXPECT_NEAR(world.bike.speed, 2.0f, 1e-5f);
  EXPECT_FLOAT_EQ(world.bike.x, 300.0f);
  EXPECT_TRUE(world.bike.thrusting);
  ScriptKeyUp(Settings.keyLeft);
  ScriptKeyUp(Settings.keyRight);
}

TEST_F(BikeTest, ScrollWrapsAroundTheStripAndNamesTheSector) {
  world.game.scrollFactor[2] = 1.0f;
  world.sector.scrollPos = 31998.0f;
  world.bike.speed = 5.2f;  // coasts to 5.0 before the scroll
  PlayerControl(ReadBikeCommand());
  EXPECT_NEAR(world.sector.scrollPos, 3.0f, 1e-2f);
  world.sector.scrollPos = 2.0f;
  world.bike.speed = -5.2f;
  PlayerControl(ReadBikeCommand());
  EXPECT_NEAR(world.sector.scrollPos, 31997.0f, 1e-2f);
  EXPECT_EQ(world.sector.sectorShown, 5);
  const std::pair<float, int> cases[] = {{6499.0f, 1}, {6500.5f, 2}, {19500.5f, 4}, {26000.5f, 5}};
  for (const auto& [pos, sector] : cases) {
    world.sector.scrollPos = pos;
    world.bike.speed = 0.0f;
    PlayerControl(ReadBikeCommand());
    EXPECT_EQ(world.sector.sectorShown, sector) << pos;
  }
}

TEST_F(BikeTest, OneShotAFrameFromTheNose) {
  for (int i = 0; i < 5; ++i) ScriptKeyTap(Settings.keyFire);
  world.bike.x = 250.0f;
  world.bike.y = 300.0f;
  PlayerControl(ReadBikeCommand());  // falls to 304, then fires
  PlayerControl(ReadBikeCommand());
  ASSERT_EQ(world.playerBullets->Count(), 1);
  auto* b = ObjectDowncast<PlayerBullets>(world.playerBullets->First());
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(b->x, 342.0f);
  EXPECT_FLOAT_EQ(b->y, 336.0f);
  EXPECT_FLOAT_EQ(b->xSpeed, 10.0f);
  world.playerBullets->Clear();
  world.bike.facing = Facing::Left;
  FirePlayerBullet();
  b = ObjectDowncast<PlayerBullets>(world.playerBullets->First());
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(b->x, 238.0f);
  EXPECT_FLOAT_EQ(b->xSpeed, -10.0f);
}

// In pad control a press of the fire key and one of the pad's fire button
// before the same pass give one shot; the key's press is the one taken, and
// the pad's waits for the next pass, which fires it.
TEST_F(BikeTest, AKeyAndAPadPressInOnePassFireOnceAndThePadsWaitsItsTurn) {
  ASSERT_TRUE(ScriptAttachPad());
  controls.mode = ControlMode::Pad;
  controls.padRestX = JoyAxisX(0), controls.padRestY = JoyAxisY(0);
  const auto shots = [] { return world.playerBullets->Count(); };
  ScriptKeyTap(Settings.keyFire);
  ScriptPadButton(Settings.padFireButton, true);
  ScriptPadButton(Settings.padFireButton, false);
  PlayerControl(ReadBikeCommand());
  EXPECT_EQ(shots(), 1) << "one shot a pass";
  PlayerControl(ReadBikeCommand());
  EXPECT_EQ(shots(), 2) << "the pad's press is kept for the next pass";
  PlayerControl(ReadBikeCommand());
  EXPECT_EQ(shots(), 2);

  // The key's press goes first: with the pad out of control by the next
  // pass, nothing is left to fire.
  world.playerBullets->Clear();
  ScriptKeyTap(Settings.keyFire);
  ScriptPadButton(Settings.padFireButton, true);
  ScriptPadButton(Settings.padFireButton, false);
  PlayerControl(ReadBikeCommand());
  controls.mode = ControlMode::Keyboard;
  PlayerControl(ReadBikeCommand());
  EXPECT_EQ(shots(), 1) << "the pad's press was taken before the key's";
  ClearPadHits();
  ScriptDetachPad();
}

// The pad steers by any reading off its rest, however small: no dead zone.
// The rest is where the stick sat when the game began, here a little off
// the middle; one step of the axis past it already climbs or thrusts.
TEST_F(BikeTest, ThePadStickSteersAndClimbsOneStepOffItsRest) {
  ASSERT_TRUE(ScriptAttachPad());
  controls.mode = ControlMode::Pad;
  constexpr int kRest = 3000;  // raw axis units of 32767
  auto axes = [](int x, int y) {
    ScriptPadAxis(0, static_cast<float>(x) / 32767.0f);
    ScriptPadAxis(1, static_cast<float>(y) / 32767.0f);
  };
  axes(kRest, kRest);
  controls.padRestX = JoyAxisX(0), controls.padRestY = JoyAxisY(0);
  ASSERT_GT(controls.padRestX, 0.0f);
  world.bike.y = 300.0f;
  PlayerControl(ReadBikeCommand());
  EXPECT_FLOAT_EQ(world.bike.y, 304.0f) << "at rest the bike sinks";
  EXPECT_FALSE(world.bike.thrusting);

  axes(kRest + 1, kRest - 1);  // one step right and one up
  PlayerControl(ReadBikeCommand());
  EXPECT_FLOAT_EQ(world.bike.y, 298.0f);
  EXPECT_TRUE(world.bike.climbing);
  EXPECT_NEAR(world.bike.speed, 0.3f, 1e-6f);
  axes(kRest - 1, kRest + 1);  // one step left and one down
  PlayerControl(ReadBikeCommand());
  EXPECT_FLOAT_EQ(world.bike.y, 302.0f) << "down is no input: the bike falls";
  EXPECT_NEAR(world.bike.speed, 0.0f, 1e-6f);
  EXPECT_TRUE(world.bike.thrusting);

  axes(0, -32767);  // the stick pushed up all the way
  world.bike.y = 200.0f;
  PlayerControl(ReadBikeCommand());
  EXPECT_FLOAT_EQ(world.bike.y, 194.0f);
  controls.mode = ControlMode::Keyboard;
  ScriptDetachPad();
}

// The bike drawn for real as a solid white picture over black, so a pixel
// of it reads the alpha it was drawn at; a carried alien is solid red.
class BikeDrawingTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    harness::HeadlessTest::SetUp();
    savedBike_ = img_bike2, savedAlien_ = img_bouncer_centred;
    const std::vector<uint8_t> white(480 * 55 * 4, 255);
    img_bike2 = CreateImageFromRGBA(white.data(), 480, 55, 120, 55, 4, IMAGE_DEFAULT_FLAGS);
    std::vector<uint8_t> red(160 * 40 * 4, 0);
    for (size_t i = 0; i < red.size(); i += 4) red[i] = red[i + 3] = 255;
    img_bouncer_centred = CreateImageFromRGBA(red.data(), 160, 40, 40, 40, 4, IMAGE_DEFAULT_FLAGS);
    CentreImageHandle(img_bouncer_centred);
    StartWorld();
    world.bike.y = 300.0f, world.bike.invulnerableTicks = 0;
    SetDrawBlendMode(BlendMode::Alpha);
    SetDrawAlpha(1.0f);
  }
  void TearDown() override {
    img_bike2 = savedBike_, img_bouncer_centred = savedAlien_;
    harness::HeadlessTest::TearDown();
  }
  // Draws one frame over black and gives the grey level of the bike's middle.
  static int DrawnBrightness() {
    ClearDrawBuffer();
    const int ticks = world.bike.invulnerableTicks;
    DrawPlayer();
    EXPECT_EQ(world.bike.invulnerableTicks, ticks) << "drawing counts no invulnerability down";
    const int grey = static_cast<int>(ReadScreenPixel(372, 340) & 0xff);
    UpdatePlayer();
    return grey;
  }

 private:
  TImage* savedBike_ = nullptr;
  TImage* savedAlien_ = nullptr;
};

TEST_F(BikeDrawingTest, BlinksInASawToothOfTenFramesWhileInvulnerable) {
  world.bike.invulnerableTicks = 90;
  for (int frame = 0; frame < 95; ++frame) {
    const int ticks = 90 - frame;
    // Invisible on the first frame and every tenth after it, then 0.9 down
    // to 0.1; drawn whole once the count has run out.
    const int want = ticks > 0 ? (ticks % 10) * 255 / 10 : 255;
    ASSERT_NEAR(DrawnBrightness(), want, 2) << "frame " << frame;
    ASSERT_EQ(world.bike.invulnerableTicks, std::max(ticks - 1, 0));
    ASSERT_FLOAT_EQ(GetDrawState().alpha, 1.0f) << "later drawings do not blink";
  }
}

TEST_F(BikeDrawingTest, TheCarriedAlienNeverBlinks) {
  world.alien.free = false;
  world.bike.invulnerableTicks = 30;  // the bike itself is invisible on this frame
  EXPECT_EQ(DrawnBrightness(), 0);
  EXPECT_TRUE(harness::PixelNear(292, 307, 0xff0000)) << "at the bike's tail";
  world.bike.facing = Facing::Left;
  world.bike.invulnerableTicks = 20;
  EXPECT_EQ(DrawnBrightness(), 0);
  EXPECT_TRUE(harness::PixelNear(368, 307, 0xff0000));
}

}  // namespace
