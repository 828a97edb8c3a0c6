// The bike's physics frame by frame: climbing and falling, thrust, the top
// speed swing, coasting to a stop, the screen glide, the world scroll and its
// wrap, sector numbers, firing and the invulnerability count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "shell/shell.h"

namespace {

// The game's pictures, sounds and lists, as the start-up makes them; the
// runtime frees images at every shutdown, so each test loads them afresh.
void LoadGameWorld() {
  RegisterEmbeddedFiles();
  RegisterRecordTypes();
  img_font = LoadImageCells(ResPath("font.png"), 16, 16, 0, 60, -1);
  ScreenGrab = CreateEmptyImage(640, 480, 1, 9);
  LoadResources();
  CreateObjectLists();
}

class BikeTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    harness::NullDrawingTest::SetUp();
    LoadGameWorld();
    PlayerBulletsList->Clear();
    ControlMode = 0;
    SfxOn = 0;
    KeyLeft = 37;
    KeyRight = 39;
    KeyClimb = 164;
    KeyClimb2 = 38;
    KeyFire = 162;
    ScrollFactor[0] = 0.4f;
    ScrollFactor[1] = 0.9f;
    ScrollFactor[2] = 1.4f;
    PlayerX = 272.0f;
    PlayerY = 397.0f;
    PlayerSpeed = 0.0f;
    Facing = 3;
    ScrollPos = 0.0f;
    InvulnerableTicks = 0;
    AlienFree = 1;
    ClearKeyStates();
  }
  void TearDown() override {
    ClearKeyStates();
    harness::NullDrawingTest::TearDown();
  }
  // Holds keys for n control frames.
  void Fly(int frames) {
    for (int i = 0; i < frames; ++i) PlayerControl();
  }
};

TEST_F(BikeTest, ClimbsSixFallsFourAndStopsAtCeilingAndGround) {
  PlayerY = 402.0f;  // where the set-up leaves it
  PlayerControl();
  EXPECT_FLOAT_EQ(PlayerY, 397.0f);
  Fly(5);
  EXPECT_FLOAT_EQ(PlayerY, 397.0f);
  EXPECT_EQ(Climbing, 0);

  ScriptKeyDown(KeyClimb);
  PlayerControl();
  EXPECT_FLOAT_EQ(PlayerY, 391.0f);
  EXPECT_EQ(Climbing, 1);
  Fly(200);
  EXPECT_FLOAT_EQ(PlayerY, 32.0f);  // held at the ceiling ...
  EXPECT_EQ(Climbing, 1);           // ... and the lift flame still burns
  ScriptKeyUp(KeyClimb);

  // The second climb key works the same, whatever the first is bound to.
  PlayerY = 200.0f;
  ScriptKeyDown(38);
  PlayerControl();
  EXPECT_FLOAT_EQ(PlayerY, 194.0f);
  ScriptKeyUp(38);
  PlayerControl();
  EXPECT_FLOAT_EQ(PlayerY, 198.0f);
  EXPECT_EQ(Climbing, 0);
}

TEST_F(BikeTest, TopSpeedSwingsBetweenAbout8_3And8_7AndGlideIsUndone) {
  ScriptKeyDown(KeyRight);
  int firstAtTop = 0;
  for (int frame = 1; frame <= 40 && firstAtTop == 0; ++frame) {
    PlayerControl();
    EXPECT_EQ(Facing, 3);
    if (PlayerSpeed >= MaxSpeed) firstAtTop = frame;
  }
  EXPECT_EQ(firstAtTop, 29);
  EXPECT_NEAR(PlayerSpeed, 8.7f, 0.001f);
  EXPECT_LT(PlayerX, 272.0f);  // drifted toward the left bound

  float low = 100.0f, high = 0.0f;
  int thrustFrames = 0;
  const float glideStart = PlayerX;
  for (int i = 0; i < 300; ++i) {
    const float before = PlayerX;
    PlayerControl();
    low = std::min(low, PlayerSpeed);
    high = std::max(high, PlayerSpeed);
    thrustFrames += Thrusting;
    if (before > 173.0f) {
      // The push of the held key is taken back on coasting frames only.
      EXPECT_NEAR(PlayerX - before, Thrusting ? -0.6f : 0.0f, 1e-3f) << "frame " << i;
    }
    ASSERT_GE(PlayerX, 172.0f);
  }
  EXPECT_NEAR(low, 8.3f, 0.01f);
  EXPECT_NEAR(high, 8.7f, 0.01f);
  // 8.7, 8.5, 8.3 coasting, 8.6 pushed, 8.4 coasting, 8.7 pushed: 2 in 5.
  EXPECT_NEAR(thrustFrames, 120, 2);
  // So the bike creeps on toward the left bound, 0.6 every push.
  EXPECT_NEAR(PlayerX, glideStart - 0.6f * 120, 1.0f);
  ScriptKeyUp(KeyRight);
}

TEST_F(BikeTest, CoastsToAStopInAbout42FramesAndStaysWhereItGlided) {
  ScriptKeyDown(KeyLeft);
  Fly(60);
  ScriptKeyUp(KeyLeft);
  EXPECT_EQ(Facing, 0);
  EXPECT_LE(PlayerSpeed, -8.3f);

  int frames = 0;
  while (PlayerSpeed != 0.0f && frames < 100) {
    PlayerControl();
    ++frames;
    EXPECT_EQ(Thrusting, 0);
  }
  EXPECT_GE(frames, 41);
  EXPECT_LE(frames, 44);
  EXPECT_EQ(Facing, 0);  // a stopped bike keeps its facing
  const float stoppedAt = PlayerX;
  Fly(30);
  EXPECT_FLOAT_EQ(PlayerX, stoppedAt);
  EXPECT_FLOAT_EQ(PlayerSpeed, 0.0f);
}

TEST_F(BikeTest, GlideStaysWithinBoundsAndBothDirectionsCancel) {
  PlayerX = 371.8f;
  ScriptKeyDown(KeyLeft);
  PlayerControl();
  EXPECT_FLOAT_EQ(PlayerX, 372.0f);
  ScriptKeyUp(KeyLeft);

  PlayerX = 172.3f;
  PlayerSpeed = 0.0f;
  ScriptKeyDown(KeyRight);
  PlayerControl();
  EXPECT_FLOAT_EQ(PlayerX, 172.0f);

  // Both at once: -0.3 and +0.3 in one frame, flame on, screen x unmoved.
  PlayerX = 300.0f;
  PlayerSpeed = 2.0f;
  ScriptKeyDown(KeyLeft);
  PlayerControl();
  EXPECT_NEAR(PlayerSpeed, 2.0f, 1e-5f);
  EXPECT_EQ(Thrusting, 1);
  EXPECT_FLOAT_EQ(PlayerX, 300.0f);
  ScriptKeyUp(KeyLeft);
  ScriptKeyUp(KeyRight);
}

TEST_F(BikeTest, SnapBandAndHomeGlide) {
  struct Case {
    float speed, after;
  } cases[] = {{0.19f, 0.0f}, {-0.19f, 0.0f}, {0.2f, 0.0f}, {-0.2f, 0.0f}, {1.0f, 0.8f}, {-1.0f, -0.8f}};
  for (const Case& c : cases) {
    PlayerSpeed = c.speed;
    PlayerX = 272.0f;
    PlayerControl();
    EXPECT_NEAR(PlayerSpeed, c.after, 1e-6f) << "from " << c.speed;
  }
  // Moving, the bike glides back toward 272 and settles exactly on it.
  PlayerSpeed = 5.0f;
  PlayerX = 200.0f;
  Fly(10);
  EXPECT_NEAR(PlayerX, 206.0f, 1e-3f);
  PlayerSpeed = 5.0f;
  PlayerX = 272.4f;
  PlayerControl();
  EXPECT_FLOAT_EQ(PlayerX, 272.0f);
}

TEST_F(BikeTest, ScrollWrapsAroundTheStripAndNamesTheSector) {
  ScrollFactor[2] = 1.0f;
  // 5.2 coasts to 5.0 before the scroll.
  ScrollPos = 31998.0f;
  PlayerSpeed = 5.2f;
  PlayerControl();
  EXPECT_NEAR(ScrollPos, 3.0f, 1e-2f);
  EXPECT_EQ(SectorShown, 1);

  ScrollPos = 2.0f;
  PlayerSpeed = -5.2f;
  PlayerControl();
  EXPECT_NEAR(ScrollPos, 31997.0f, 1e-2f);
  EXPECT_EQ(SectorShown, 5);

  struct Case {
    float pos;
    int sector;
  } cases[] = {{0.5f, 1}, {6499.0f, 1}, {6500.5f, 2}, {13000.5f, 3}, {19500.5f, 4}, {25999.0f, 4}, {26000.5f, 5}};
  for (const Case& c : cases) {
    ScrollPos = c.pos;
    PlayerSpeed = 0.0f;
    PlayerControl();
    EXPECT_EQ(SectorShown, c.sector) << "at " << c.pos;
  }

  // A full lap at top speed always names a sector from 1 to 5.
  ScrollFactor[2] = 2.4f;
  ScriptKeyDown(KeyRight);
  for (int i = 0; i < 2000; ++i) {
    PlayerControl();
    ASSERT_GE(ScrollPos, 0.0f);
    ASSERT_LT(ScrollPos, 32000.0f);
    ASSERT_GE(SectorShown, 1);
    ASSERT_LE(SectorShown, 5);
  }
  ScriptKeyUp(KeyRight);
}

TEST_F(BikeTest, OneShotAFrameFromTheNose) {
  for (int i = 0; i < 5; ++i) ScriptKeyTap(KeyFire);
  PlayerX = 250.0f;
  PlayerY = 300.0f;
  PlayerControl();  // falls to 304 first, then fires
  ASSERT_EQ(PlayerBulletsList->Count(), 1);
  auto* b = ObjectDowncast<PlayerBullets>(PlayerBulletsList->First());
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(b->x, 250.0f + 92.0f);
  EXPECT_FLOAT_EQ(b->y, 304.0f + 32.0f);
  EXPECT_FLOAT_EQ(b->xspeed, 10.0f);
  EXPECT_FLOAT_EQ(b->yspeed, 0.0f);
  PlayerControl();
  EXPECT_EQ(PlayerBulletsList->Count(), 1);  // the other presses were used up

  PlayerBulletsList->Clear();
  Facing = 0;
  PlayerX = 250.0f;
  PlayerY = 300.0f;
  FirePlayerBullet();
  b = ObjectDowncast<PlayerBullets>(PlayerBulletsList->First());
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(b->x, 238.0f);
  EXPECT_FLOAT_EQ(b->y, 332.0f);
  EXPECT_FLOAT_EQ(b->xspeed, -10.0f);
}

TEST_F(BikeTest, InvulnerabilityCountsDownPerDrawAndFlamesAnimateOnlyWhenShown) {
  InvulnerableTicks = 90;
  for (int i = 0; i < 89; ++i) DrawPlayer();
  EXPECT_EQ(InvulnerableTicks, 1);
  DrawPlayer();
  DrawPlayer();
  EXPECT_EQ(InvulnerableTicks, 0);
  EXPECT_FLOAT_EQ(GetDrawState().alpha, 1.0f);

  ThrustFlameFrame = ThrustFlameDelay = LiftFlameFrame = LiftFlameDelay = 0;
  Thrusting = 1;
  Climbing = 0;
  for (int i = 0; i < 4 * 8 + 4; ++i) DrawPlayer();
  EXPECT_EQ(ThrustFlameFrame, 1);  // wrapped from 7 to 0 and advanced once more
  EXPECT_EQ(LiftFlameFrame, 0);
  Thrusting = 0;
  Climbing = 1;
  for (int i = 0; i < 8; ++i) DrawPlayer();
  EXPECT_EQ(ThrustFlameFrame, 1);
  EXPECT_EQ(LiftFlameFrame, 2);
}

}  // namespace
