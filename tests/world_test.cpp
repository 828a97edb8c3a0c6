// The world around the bike: the enemies' flight patterns and their band,
// structures on the wrapping strip, explosions, stars, the parallax layers,
// the status line, and the set-up of a level at every size.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "res/assets.h"
#include "screens/screens.h"

namespace {

class WorldTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    harness::NullDrawingTest::SetUp();
    StartWorld();
    world.bike.invulnerableTicks = 0;
    SetRandomSeed(1234);
    Settings.sfxOn = 0;
  }
  template <class T>
  static T* Last(TList* list) {
    T* last = nullptr;
    for (T* t : Each<T>(list)) last = t;
    return last;
  }
  static Enemies* Spawn(EnemyType type, int x, int y) {
    NewEnemy(x, y, type);
    return Last<Enemies>(world.enemies);
  }
  static Structures* Build(StructureKind kind, int x, int y = 332) {
    CreateStructure(x, y, kind, 0);
    return Last<Structures>(world.structures);
  }
  // One play frame of the structures: they act, are drawn and scroll.
  static void StructuresFrame() {
    UpdateStructures();
    DrawStructures(true);
    ScrollStructures();
  }
};

// --- Records -----------------------------------------------------------------

// Each creator sets the fields its kind of record is given at creation and
// leaves every other field at zero; the structures' fields come from the
// table of kinds (animation steps, the carriers' drift, the guns' hit points).
TEST_F(WorldTest, EachCreatorSetsWhatItGivesAndLeavesTheRestAtZero) {
  struct Kind {
    StructureKind kind;
    int frames;
    float drift;
    int hitPoints;
  } const kinds[] = {
      {StructureKind::Beacon, 8, 0, 9999},       {StructureKind::LunarModule, 4, 0, 9999},
      {StructureKind::Teleporter, 4, 0, 9999},   {StructureKind::GroundGun, 6, 0, 4},
      {StructureKind::FiringGun, 6, 0, 4},       {StructureKind::ShieldBonus, 6, 0, 9999},
      {StructureKind::CarrierLeft, 4, -0.8f, 9999}, {StructureKind::CarrierRight, 4, 0.8f, 9999},
      {StructureKind::Mine, 4, 0, 9999},         {StructureKind::Terraformer, 8, 0, 9999},
      {StructureKind::TeslaCoil, 4, 0, 9999},    {StructureKind::Statue, 1, 0, 9999},
      {StructureKind::Bones, 1, 0, 9999},        {StructureKind::Spire, 8, 0, 9999},
      {StructureKind::Habitat, 8, 0, 9999},      {static_cast<StructureKind>(15), 0, 0, 9999},
      {static_cast<StructureKind>(-1), 0, 0, 9999},
  };
  for (const Kind& k : kinds) {
    world.structures->Clear();
    CreateStructure(1234, 332, k.kind, 3);
    const Structures* s = Last<Structures>(world.structures);
    ASSERT_NE(s, nullptr) << "kind " << int(k.kind);
    EXPECT_TRUE(s->kind == k.kind && s->x == 1234 && s->y == 332 && s->sector == 3) << "kind " << int(k.kind);
    EXPECT_EQ(s->frameCount, k.frames) << "animation steps of kind " << int(k.kind);
    EXPECT_FLOAT_EQ(s->driveSpeed, k.drift) << "drift of kind " << int(k.kind);
    EXPECT_EQ(s->hitPoints, k.hitPoints) << "hit points of kind " << int(k.kind);
    EXPECT_TRUE(s->frame == 0 && s->frameDelay == 0 && s->touchCooldown == 0 && s->bobAngle == 0 &&
                s->soundDelay == 0)
        << "kind " << int(k.kind) << " starts with a count running";
  }

  NewExplosion(10, 20, ExplosionKind::Puff, -3);
  const Explosions* x = Last<Explosions>(world.explosions);
  ASSERT_NE(x, nullptr);
  EXPECT_TRUE(x->x == 10 && x->y == 20 && x->kind == ExplosionKind::Puff && x->drift == -3);
  EXPECT_TRUE(x->frame == 0 && x->frameDelay == 0 && x->speed == 0);

  NewFrag(30, 40, EnemyType::Wasp, 2);
  const Frags* f = Last<Frags>(world.frags);
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->x == 30 && f->y == 40 && f->enemyType == EnemyType::Wasp && f->quarter == 2);
  EXPECT_EQ(f->angle, 0.0f);
  EXPECT_EQ(f->alpha, 1.0f);

  world.bike.invulnerableTicks = 0;
  NewShieldEffect(ShieldEffect::Bubble, 50, 60);
  const ShieldEffects* b = Last<ShieldEffects>(world.shieldEffects);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->effect == ShieldEffect::Bubble && b->x == 50 && b->y == 60 && b->grey == 255);
  EXPECT_TRUE(b->frame == 0 && b->frameDelay == 0);
  EXPECT_EQ(world.bike.invulnerableTicks, 90);

  NewTextMessage(MessagePicture::ForLevel, 40);
  const TextMessages* m = Last<TextMessages>(world.textMessages);
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->picture == MessagePicture::ForLevel && m->delayTicks == 40);
  EXPECT_TRUE(m->x == 320 && m->y == 300);
  EXPECT_FLOAT_EQ(m->alpha, 0.1f);
  EXPECT_FLOAT_EQ(m->alphaStep, 0.03f);
  EXPECT_FLOAT_EQ(m->scale, 0.01f);
  EXPECT_TRUE(m->swingAngle == 0 && m->rotation == 0);
}

// --- Enemies ----------------------------------------------------------------

TEST_F(WorldTest, WaveAndBounceEnemiesStayInTheirBand) {
  for (int seed = 1; seed <= 10; ++seed) {
    SetRandomSeed(seed);
    world.enemies->Clear();
    Enemies* wave = Spawn(seed % 2 ? EnemyType::Jellyfish : EnemyType::Manta, 300, 200);
    Enemies* bounce = Spawn(seed % 2 ? EnemyType::SpringBot : EnemyType::SpikeBall, 100, 400);
    ASSERT_NE(wave, nullptr);
    ASSERT_NE(bounce, nullptr);
    ASSERT_NE(wave, bounce);
    const float x0 = wave->x, step = bounce->ySpeed;
    float low = 1000, high = -1000;
    int turns = 0;
    for (int f = 1; f <= 720; ++f) {
      const float before = bounce->ySpeed;
      UpdateEnemies();
      low = std::min(low, wave->y), high = std::max(high, wave->y);
      ASSERT_GE(wave->y, 32.0f);
      ASSERT_LE(wave->y, 412.0f);
      // A bounce enemy may stand one step outside for a frame, no more.
      ASSERT_GE(bounce->y, 32.0f - step - 1e-3f);
      ASSERT_LE(bounce->y, 412.0f + step + 1e-3f);
      turns += (before > 0) != (bounce->ySpeed > 0);
    }
    EXPECT_NEAR(wave->x - x0, 720 * 2 * wave->xSpeed, 1.0f);  // twice its speed, always right
    EXPECT_GT(high - low, 150.0f);
    EXPECT_GE(turns, 1);
  }
}

TEST_F(WorldTest, LoopEnemiesCloseTheirCircle) {
  for (int seed = 1; seed <= 12; ++seed) {
    SetRandomSeed(seed);
    world.enemies->Clear();
    Enemies* e = Spawn(seed % 2 ? EnemyType::Saucer : EnemyType::RingDrone, 500, 220);
    ASSERT_NE(e, nullptr);
    const int turn = std::abs(e->loopStep);
    ASSERT_TRUE(turn == 1 || turn == 2);
    const int period = 360 / turn;
    const float x0 = e->x, y0 = e->y;
    float left = 1e9f, right = -1e9f;
    for (int f = 1; f <= period; ++f) {
      UpdateEnemies();
      left = std::min(left, e->x - f * e->xSpeed);
      right = std::max(right, e->x - f * e->xSpeed);
    }
    EXPECT_NEAR(e->y, y0, 0.05f);
    EXPECT_NEAR(e->x, x0 + period * e->xSpeed, 0.05f);
    EXPECT_NEAR(right - left, turn == 1 ? 114.6f : 57.3f, 2.0f);  // radius about 57 or 29
  }
  Enemies* low = Spawn(EnemyType::Saucer, 200, 410);
  ASSERT_NE(low, nullptr);
  for (int f = 0; f < 720; ++f) {
    UpdateEnemies();
    ASSERT_LE(low->y, 412.0f);
  }
}

TEST_F(WorldTest, WanderersClimbOrDescendAtTheirSpeed) {
  for (int seed = 1; seed <= 20; ++seed) {
    SetRandomSeed(seed);
    world.enemies->Clear();
    Enemies* e = Spawn(seed % 2 ? EnemyType::Bat : EnemyType::Wasp, 300, 64 + seed * 15);
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(e->course == WanderCourse::Climbing || e->course == WanderCourse::Descending);
    EXPECT_EQ(e->ySpeed < 0, e->course == WanderCourse::Climbing);
    for (int f = 0; f < 600; ++f) {
      const WanderCourse course = e->course;
      const bool turning = e->courseTimer <= 0.0f;
      UpdateEnemies();
      ASSERT_GE(e->y, 32.0f);
      ASSERT_LE(e->y, 412.0f);
      ASSERT_NEAR(std::hypot(e->xSpeed, e->ySpeed), e->cruiseSpeed, 1e-3f);
      if (turning && e->y > 32.0f && e->y < 412.0f) {
        EXPECT_EQ(e->ySpeed <= 0, course == WanderCourse::Climbing) << "seed " << seed << " frame " << f;
      }
      ASSERT_LT(e->frame, e->frameCount);
    }
  }
  Enemies* c = Spawn(EnemyType::Bat, 300, 33);  // a climber meeting the ceiling turns down
  ASSERT_NE(c, nullptr);
  c->courseTimer = 50, c->xSpeed = 0.0f, c->ySpeed = -1.5f;
  UpdateEnemies();
  EXPECT_FLOAT_EQ(c->y, 32.0f);
  EXPECT_FLOAT_EQ(c->ySpeed, 1.5f);
}

TEST_F(WorldTest, EnemiesWrapOnceWithinTheirBandAndScrollWithTheWorld) {
  const std::pair<float, float> cases[] = {{-1000.5f, 1639.5f}, {2640.5f, 0.5f}, {3000, 360}, {-3000, -360}};
  for (const auto& [from, to] : cases) {
    Enemies* e = Spawn(EnemyType::Probe, 0, 200);
    ASSERT_NE(e, nullptr);
    e->x = from, e->xSpeed = 0.0f;
    UpdateEnemies();
    EXPECT_FLOAT_EQ(e->x, to) << from;
    world.enemies->Clear();
  }
  Enemies* e = Spawn(EnemyType::Probe, 300, 200);
  ASSERT_NE(e, nullptr);
  e->xSpeed = 0.0f;
  world.bike.speed = 8.5f;
  UpdateEnemies();
  EXPECT_NEAR(e->x, 288.1f, 1e-3f);
}

// The table of looks places every type's cells inside the sheets the game
// cuts, none on another's, and gives each new enemy its number of steps.
TEST_F(WorldTest, EveryEnemyTypeHasItsOwnCellsInBothSheets) {
  const auto cellsOf = [](const char* file) {
    for (const PictureEntry& p : PictureCatalogue())
      if (std::string(p.file) == file) return p.cells;
    return 0;
  };
  const int sheet = cellsOf("enemies.png"), fragSheet = cellsOf("frags.png");
  std::vector<int> owner(static_cast<size_t>(sheet), -1), fragOwner(static_cast<size_t>(fragSheet), -1);
  for (int t = 0; t < static_cast<int>(std::size(kEnemyLooks)); ++t) {
    const EnemyLook* look = LookOf(static_cast<EnemyType>(t));
    ASSERT_NE(look, nullptr) << "type " << t;
    // The probe has no steps but still shows its first cell.
    for (int c = look->firstCell; c < look->firstCell + std::max(look->cells, 1); ++c) {
      ASSERT_TRUE(c >= 0 && c < sheet) << "type " << t << " cell " << c << " is not in the enemy sheet";
      EXPECT_EQ(owner[static_cast<size_t>(c)], -1) << "type " << t << " shares cell " << c;
      owner[static_cast<size_t>(c)] = t;
    }
    for (int c = look->firstFrag; c < look->firstFrag + 4; ++c) {
      ASSERT_TRUE(c >= 0 && c < fragSheet) << "type " << t << " quarter " << c << " is not in the fragment sheet";
      EXPECT_EQ(fragOwner[static_cast<size_t>(c)], -1) << "type " << t << " shares quarter " << c;
      fragOwner[static_cast<size_t>(c)] = t;
    }
    Enemies* e = Spawn(static_cast<EnemyType>(t), 300, 200);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->frameCount, look->cells) << "type " << t;
  }
  EXPECT_EQ(LookOf(static_cast<EnemyType>(std::size(kEnemyLooks))), nullptr);
  EXPECT_EQ(LookOf(static_cast<EnemyType>(-1)), nullptr);
}

// Enemies drawn for real, as solid white squares, so the screen shows
// exactly where they land.
class EnemyDrawingTest : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    harness::HeadlessTest::SetUp();
    StartWorld();
    savedSheet_ = img_enemies, savedSpinner_ = img_enemies_one;
    const std::vector<uint8_t> white(160 * 440 * 4, 255);
    img_enemies = CreateImageFromRGBA(white.data(), 160, 440, 40, 40, 44, IMAGE_DEFAULT_FLAGS);
    img_enemies_one = CreateImageFromRGBA(white.data(), 40, 40, 40, 40, 1, IMAGE_DEFAULT_FLAGS);
    CentreImageHandle(img_enemies_one);
    SetDrawBlendMode(BlendMode::Alpha);
    SetDrawAlpha(1.0f);
    ClearDrawBuffer();
  }
  void TearDown() override {
    img_enemies = savedSheet_, img_enemies_one = savedSpinner_;
    harness::HeadlessTest::TearDown();
  }
  static Enemies* Place(EnemyType type, float x, float y) {
    auto e = ObjectNew<Enemies>();
    world.enemies->AddLast(e);
    e->type = type, e->x = x, e->y = y, e->frameCount = 4;
    // A spinner turning one degree a drawn frame; at 45 degrees its corners
    // reach 28 pixels out from its centre.
    e->spin = 0.5f, e->rotation = 44.0f;
    return e.get();
  }

 private:
  TImage* savedSheet_ = nullptr;
  TImage* savedSpinner_ = nullptr;
};

TEST_F(EnemyDrawingTest, OnlyEnemiesInsideTheBandAreDrawnAndOnlyDrawnSpinnersTurn) {
  Place(EnemyType::Jellyfish, -39.0f, 100.0f);  // one column on screen
  Place(EnemyType::Manta, 639.0f, 300.0f);  // likewise at the right edge
  Enemies* leftEdge = Place(EnemyType::Spinner, -40.0f, 200.0f);  // turned, a corner would show
  Enemies* rightEdge = Place(EnemyType::Spinner, 680.0f, 300.0f);
  Enemies* justIn = Place(EnemyType::Spinner, -39.5f, 380.0f);
  Enemies* justInRight = Place(EnemyType::Spinner, 679.5f, 20.0f);
  TurnSpinners();
  DrawEnemies();

  EXPECT_TRUE(harness::PixelNear(0, 120, 0xffffff));
  EXPECT_TRUE(harness::PixelNear(1, 120, 0x000000));
  EXPECT_TRUE(harness::PixelNear(639, 320, 0xffffff));
  EXPECT_TRUE(harness::PixelNear(638, 320, 0x000000));

  EXPECT_FLOAT_EQ(leftEdge->rotation, 44.0f);
  EXPECT_FLOAT_EQ(rightEdge->rotation, 44.0f);
  EXPECT_TRUE(harness::PixelNear(4, 220, 0x000000)) << "a spinner at -40 is not drawn";
  EXPECT_FLOAT_EQ(justIn->rotation, 45.0f);
  EXPECT_FLOAT_EQ(justInRight->rotation, 45.0f);
  EXPECT_TRUE(harness::PixelNear(4, 400, 0xffffff)) << "its corner shows at 45 degrees";
  EXPECT_EQ(GetDrawState().rotation, 0.0f) << "later drawings are not turned";
  DrawEnemies();
  EXPECT_FLOAT_EQ(justIn->rotation, 45.0f) << "drawing turns no spinner";
}

// --- Structures ----------------------------------------------------------------

TEST_F(WorldTest, StructuresWrapAroundTheStripAndCarriersDrive) {
  Structures* a = Build(StructureKind::Spire, 0);
  Structures* b = Build(StructureKind::Spire, 0);
  Structures* left = Build(StructureKind::CarrierLeft, 1000, 412);
  Structures* right = Build(StructureKind::CarrierRight, 1000, 412);
  Structures* odd = Build(static_cast<StructureKind>(42), 1000);  // no such kind: scrolls, never acts
  for (Structures* s : {a, b, left, right, odd}) ASSERT_NE(s, nullptr);
  ASSERT_EQ(world.structures->Count(), 5);
  a->x = 31800.5f, b->x = -200.5f;
  DrawStructures(true);
  EXPECT_FLOAT_EQ(a->x, 31800.5f) << "drawing moves no structure";
  StructuresFrame();
  EXPECT_FLOAT_EQ(a->x, -199.5f);
  EXPECT_FLOAT_EQ(b->x, 31799.5f);
  EXPECT_NEAR(left->x, 999.2f, 1e-3f);
  EXPECT_NEAR(right->x, 1000.8f, 1e-3f);
  EXPECT_FLOAT_EQ(odd->x, 1000.0f);

  world.bike.speed = 5.0f;  // 7 pixels a frame: a lap brings a tower round again
  a->x = 100.0f;
  for (int i = 0; i < 4572; ++i) {
    StructuresFrame();
    ASSERT_GE(a->x, -200.0f);
    ASSERT_LE(a->x, 31800.0f);
  }
  EXPECT_NEAR(a->x, 96.0f, 0.5f);
  EXPECT_EQ(world.structures->Count(), 5);
}

TEST_F(WorldTest, AmbientHumCountsOnlyOnScreenWithSoundOn) {
  Structures* terra = Build(StructureKind::Terraformer, 300);  // every 120 frames
  Structures* tower = Build(StructureKind::Habitat, 300);      // every 240
  Structures* coil = Build(StructureKind::TeslaCoil, 900);     // off screen
  for (Structures* s : {terra, tower, coil}) ASSERT_NE(s, nullptr);
  ASSERT_EQ(world.structures->Count(), 3);
  StructuresFrame();
  EXPECT_EQ(terra->soundDelay, 0);
  Settings.sfxOn = 1;
  StructuresFrame();
  EXPECT_EQ(terra->soundDelay, 120);
  EXPECT_EQ(tower->soundDelay, 240);
  for (int i = 0; i < 120; ++i) StructuresFrame();
  EXPECT_EQ(terra->soundDelay, 120);  // sounded again on the 120th frame
  EXPECT_EQ(tower->soundDelay, 120);
  EXPECT_EQ(coil->soundDelay, 0);
  EXPECT_EQ(terra->frame, 4);  // 122 updates: twelve steps round eight cells
}

TEST_F(WorldTest, CarriersHoldFireWhileTheBikeIsInvulnerable) {
  // Every missile comes with a puff, so the puffs count the shots.
  for (Structures* s : {Build(StructureKind::CarrierLeft, 300, 412), Build(StructureKind::CarrierRight, 400, 412)}) {
    ASSERT_NE(s, nullptr);
    s->driveSpeed = 0.0f;
  }
  world.bike.invulnerableTicks = 5;
  for (int i = 0; i < 500; ++i) StructuresFrame();
  EXPECT_EQ(world.explosions->Count(), 0);
  world.bike.invulnerableTicks = 0;
  for (int i = 0; i < 500; ++i) StructuresFrame();
  EXPECT_GT(world.explosions->Count(), 5);  // about 20
  EXPECT_LT(world.explosions->Count(), 45);
  world.explosions->Clear();
  for (Structures* s : Each<Structures>(world.structures)) s->x = 640.0f;  // just off screen
  for (int i = 0; i < 500; ++i) StructuresFrame();
  EXPECT_EQ(world.explosions->Count(), 0);
}

TEST_F(WorldTest, FiringGunsShootAboutOnceInNFramesUntilLevel24) {
  // N = 120 - 5 x level: about 200 shots in 200 N frames, whether or not
  // the bike is invulnerable.
  Structures* gun = Build(StructureKind::FiringGun, 300, 412);
  ASSERT_NE(gun, nullptr);
  world.bike.invulnerableTicks = 50;
  for (int level : {1, 12, 23}) {
    world.game.level = level;
    world.enemyBullets->Clear();
    for (int i = 0; i < 200 * (120 - 5 * level); ++i) StructuresFrame();
    const int shots = world.enemyBullets->Count();
    EXPECT_GT(shots, 150) << "level " << level;
    EXPECT_LT(shots, 250) << "level " << level;
  }
  const auto* first = ObjectDowncast<EnemyBullets>(world.enemyBullets->First());
  ASSERT_NE(first, nullptr) << "the gun never fired";
  EXPECT_FLOAT_EQ(first->x, 320.0f);  // from the middle of the gun
  EXPECT_FLOAT_EQ(first->y, 432.0f);

  world.enemyBullets->Clear();
  for (int level : {24, 25, 40, 500}) {
    world.game.level = level;
    for (int i = 0; i < 3000; ++i) StructuresFrame();
  }
  EXPECT_EQ(world.enemyBullets->Count(), 0) << "no gun fires from level 24 on";

  world.game.level = 23;  // one in five frames, but not from just off screen
  for (float x : {640.0f, -170.0f}) {
    gun->x = x;
    for (int i = 0; i < 300; ++i) StructuresFrame();
  }
  EXPECT_EQ(world.enemyBullets->Count(), 0);
}

// --- Explosions, stars, layers, status line --------------------------------------

TEST_F(WorldTest, ExplosionsLiveTheirFixedNumberOfDraws) {
  const int lives[3] = {48, 20, 39};
  for (int kind = 0; kind < 3; ++kind) {
    world.explosions->Clear();
    NewExplosion(100, 100, static_cast<ExplosionKind>(kind), 0);
    DrawExplosions();
    ASSERT_NE(Last<Explosions>(world.explosions), nullptr);
    EXPECT_EQ(Last<Explosions>(world.explosions)->frameDelay, 0) << "drawing steps no explosion on";
    int draws = 0;
    while (world.explosions->Count() > 0 && draws < 200) AnimateExplosions(), ++draws;
    EXPECT_EQ(draws, lives[kind]) << "kind " << kind;
  }
  EXPECT_EQ(GetDrawState().blend, BlendMode::Alpha);
  EXPECT_FLOAT_EQ(GetDrawState().alpha, 1.0f);
  NewExplosion(100, 100, ExplosionKind::Blast, 2);
  world.bike.speed = 8.5f;
  ScrollExplosions();
  ASSERT_NE(Last<Explosions>(world.explosions), nullptr);
  EXPECT_NEAR(Last<Explosions>(world.explosions)->x, 100.0f - 11.9f + 6.0f, 1e-3f);
}

TEST_F(WorldTest, StarsDriftRightAndWrap) {
  CreateStars();
  ASSERT_EQ(world.starCoords->Count(), 100);
  auto* s = ObjectDowncast<StarCoords>(world.starCoords->First());
  ASSERT_NE(s, nullptr);
  EXPECT_GE(s->grey, 70);
  s->x = 639.5f, s->xSpeed = 0.6f;
  DrawStars();
  EXPECT_FLOAT_EQ(s->x, 639.5f) << "drawing leaves the stars where they are";
  MoveStars();
  EXPECT_NEAR(s->x, 0.1f, 1e-3f);
  s->x = 638.5f, s->xSpeed = 0.5f;
  MoveStars();
  EXPECT_FLOAT_EQ(s->x, 639.0f);  // exactly 639 waits
  DrawStars();
  EXPECT_EQ(GetDrawState().red, 255);
}

TEST_F(WorldTest, ParallaxLayersWrapAndMoveAtTheirOwnSpeeds) {
  world.layerPos[0] = 1950.0f, world.layerPos[1] = -10.0f, world.layerPos[2] = 1919.5f;
  DrawBackdrop();
  DrawBackLayers();
  DrawFrontLayer();
  EXPECT_FLOAT_EQ(world.layerPos[0], 1950.0f) << "drawing moves no layer";
  ScrollLayers();  // the bike stands: the layers only wrap
  EXPECT_FLOAT_EQ(world.layerPos[0], 30.0f);
  EXPECT_FLOAT_EQ(world.layerPos[1], 1910.0f);
  EXPECT_FLOAT_EQ(world.layerPos[2], 1919.5f);
  world.layerPos[0] = world.layerPos[1] = world.layerPos[2] = 100.0f;
  world.bike.speed = 5.0f;
  ScrollLayers();
  EXPECT_FLOAT_EQ(world.layerPos[0], 102.0f);
  EXPECT_FLOAT_EQ(world.layerPos[1], 104.5f);
  EXPECT_FLOAT_EQ(world.layerPos[2], 107.0f);
  world.layerPos[0] = -50000.0f;  // no caller makes one, but it must not draw outside the picture
  DrawBackLayers();
  world.bike.speed = 0.0f;
  ScrollLayers();
  EXPECT_TRUE(world.layerPos[0] >= 0.0f && world.layerPos[0] < 1920.0f);
}

TEST_F(WorldTest, StatusLineShowsSevenDigitsShieldsAndSector) {
  struct {
    int score, shields, sector;
    const char16_t* text;
  } cases[] = {{1234, 5, 2, u"score: 0001234   shield: 5   sector: 2"},
               {12345678, 0, 5, u"score: 2345678   shield: 0   sector: 5"},
               {7, 9, 1, u"score: 0000007   shield: 9   sector: 1"},
               {50, 10, 3, u"score: 0000050   shield: 9+  Sector: 3"},
               {99, 13, 2, u"score: 0000099   shield: 9+  Sector: 2"},
               {0, -1, 4, u"score: 0000000   shield: \u00a3   sector: 4"}};
  for (const auto& c : cases) {
    world.game.score = c.score, world.game.shieldCount = c.shields, world.sector.sectorShown = c.sector;
    EXPECT_TRUE(StatusLineText() == String(c.text))
        << "with " << c.shields << " shields the line reads \"" << StringToAscii(StatusLineText()) << "\"";
  }
}

// --- Sector set-up -----------------------------------------------------------------

struct Census {
  int enemies = 0, scenery = 0, kind[kStructureKinds] = {};
  int Of(StructureKind k) const { return kind[static_cast<int>(k)]; }
  double closest = 1e300;
  int highestType = -1, typeOnes = 0;
};

Census TakeCensus() {
  Census c;
  std::vector<Enemies*> all;
  for (Enemies* e : Each<Enemies>(world.enemies)) all.push_back(e);
  c.enemies = static_cast<int>(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    c.highestType = std::max(c.highestType, static_cast<int>(all[i]->type));
    c.typeOnes += all[i]->type == EnemyType::Probe;
    EXPECT_TRUE((all[i]->x >= -600 && all[i]->x <= -40) || (all[i]->x >= 640 && all[i]->x <= 2400));
    EXPECT_TRUE(all[i]->y >= 64 && all[i]->y <= 400);
    for (size_t j = i + 1; j < all.size(); ++j)
      c.closest = std::min(c.closest, std::hypot(double(TruncateToInt(all[i]->x) - TruncateToInt(all[j]->x)),
                                                 double(TruncateToInt(all[i]->y) - TruncateToInt(all[j]->y))));
  }
  int index = 0;
  for (Structures* s : Each<Structures>(world.structures)) {
    if (index < 32) {  // scenery every thousand pixels, give or take a hundred
      EXPECT_TRUE(s->x >= 600 + 1000 * index && s->x <= 800 + 1000 * index) << index;
      ++c.scenery;
    } else if (static_cast<int>(s->kind) >= 0 && static_cast<int>(s->kind) < kStructureKinds) {
      ++c.kind[static_cast<int>(s->kind)];
    }
    if (s->kind == StructureKind::Beacon || s->kind == StructureKind::Teleporter) {  // they never move
      EXPECT_FLOAT_EQ(s->x, 6400.0f * s->sector - (s->kind == StructureKind::Teleporter ? 5900 : 5000));
    }
    ++index;
  }
  return c;
}

TEST_F(WorldTest, LevelsOneAndTwoHoldTheirCounts) {
  struct {
    int level, enemies, guns, carriers, highestType;
  } cases[] = {{1, 14, 6, 4, 5}, {2, 20, 10, 7, 6}};
  for (const auto& k : cases) {
    for (int seed = 1; seed <= 5; ++seed) {
      NewExplosion(1, 1, ExplosionKind::Blast, 0);
      SetRandomSeed(seed * 77);
      SetupSector(k.level);
      const Census c = TakeCensus();
      EXPECT_EQ(c.enemies, k.enemies);
      EXPECT_EQ(c.scenery, 32);
      using K = StructureKind;
      for (K kind : {K::GroundGun, K::FiringGun, K::Mine})
        EXPECT_EQ(c.Of(kind), k.guns) << "kind " << static_cast<int>(kind);
      for (K kind : {K::CarrierLeft, K::CarrierRight})
        EXPECT_EQ(c.Of(kind), k.carriers) << "kind " << static_cast<int>(kind);
      EXPECT_EQ(c.Of(K::Beacon), 5);
      EXPECT_EQ(c.Of(K::Teleporter), 5);
      EXPECT_EQ(c.Of(K::LunarModule) + c.Of(K::ShieldBonus) + c.Of(K::Statue) + c.Of(K::Bones), 4);
      EXPECT_GE(c.closest, 50.0);  // exactly 50 apart is allowed
      EXPECT_EQ(c.typeOnes, 0);
      EXPECT_LE(c.highestType, k.highestType);
      EXPECT_EQ(world.sector.aliensLeft, k.level + 1);
      EXPECT_TRUE(world.alien.x >= 1000 && world.alien.x <= 30000);
      EXPECT_EQ(world.explosions->Count(), 0);
      EXPECT_EQ(world.bike.x, 272.0f);
      EXPECT_EQ(world.bike.y, 402.0f);
      EXPECT_EQ(world.bike.invulnerableTicks, 120);
      EXPECT_EQ(world.sector.timeBonus, 100.0f);
    }
  }
}

// A new game after one that ended mid-flight on level 3: nothing of its play
// is left, but the sky is as it was, so the next game fades in on it.
TEST_F(WorldTest, ANewWorldDropsTheLastGameButKeepsItsSky) {
  CreateStars();
  SetupSector(3);
  NewExplosion(1, 1, ExplosionKind::Blast, 0);
  BurstBonus(300, 300);
  NewTextMessage(MessagePicture::LevelDone, 0);
  world.game.score = 4200, world.game.shieldCount = 1, world.alien.free = false, world.sector.takeOffDue = true;
  world.bike.speed = -8.5f, world.sector.scrollPos = 9000, world.sector.timeBonus = 12, world.game.backdropFade = 0.3f;
  world.layerPos[1] = 777, world.flames.thrustFrame = 2;
  Settings.difficulty = 1;
  StartWorld();
  Settings.difficulty = 0;

  EXPECT_EQ(world.game.score, 0);
  EXPECT_EQ(world.game.level, 1);
  EXPECT_EQ(world.game.shieldCount, 8);
  EXPECT_EQ(world.sector.aliensLeft, 2);
  EXPECT_EQ(world.game.scrollFactor[2], 2.4f);
  EXPECT_EQ(world.game.backdropFade, 1.0f);
  TList* const played[] = {world.enemies, world.structures, world.explosions, world.pieces, world.textMessages};
  for (TList* list : played) EXPECT_EQ(list->Count(), 0);
  EXPECT_TRUE(world.alien.free && !world.sector.takeOffDue);
  EXPECT_EQ(world.bike.speed, 0.0f);
  EXPECT_EQ(world.sector.scrollPos, 0.0f);
  EXPECT_EQ(world.sector.timeBonus, 100.0f);
  EXPECT_EQ(world.starCoords->Count(), 100);
  EXPECT_EQ(world.layerPos[1], 777.0f);
  EXPECT_EQ(world.flames.thrustFrame, 2);
}

// The next level after a sector played part of the way: the game's score,
// shields, speeds and backdrop carry over; the sector, the bike and the alien
// start anew; the sky and the flames run on.
TEST_F(WorldTest, ANewSectorCarriesTheGameOnAndStartsTheRestAnew) {
  SetupSector(1);
  world.game.score = 4200, world.game.shieldCount = 3, world.game.backdropFade = 0.5f;
  world.game.scrollFactor[2] = 2.4f;
  world.sector = {.aliensLeft = 0, .teleportersOff = true, .takeOffDue = true, .timeBonus = 12.0f,
                  .scrollPos = 9000.0f, .sectorShown = 3, .teleportShift = 6540, .planetX = -100.0f};
  world.bike = {.x = 372.0f, .y = 300.0f, .speed = 8.5f, .facing = Facing::Left, .thrusting = true, .climbing = true,
                .invulnerableTicks = 0};
  world.alien = {.free = false, .x = 5.0f, .y = 300.0f, .frame = 3, .frameDelay = 2, .bobAngle = 90, .callTimer = 7};
  world.layerPos[0] = 555, world.flames.liftFrame = 3;
  SetupSector(world.game.level + 1);

  EXPECT_EQ(world.game.level, 2);
  EXPECT_EQ(world.game.score, 4200);
  EXPECT_EQ(world.game.shieldCount, 3);
  EXPECT_EQ(world.game.backdropFade, 0.5f);
  EXPECT_EQ(world.game.scrollFactor[2], 2.4f);
  const SectorState& sector = world.sector;
  EXPECT_EQ(sector.aliensLeft, 3);
  EXPECT_TRUE(!sector.teleportersOff && !sector.takeOffDue);
  EXPECT_EQ(sector.timeBonus, 100.0f);
  EXPECT_EQ(sector.scrollPos, 0.0f);
  EXPECT_EQ(sector.sectorShown, 1);
  EXPECT_EQ(sector.teleportShift, 0);
  EXPECT_EQ(sector.planetX, 400.0f);
  const BikeState& bike = world.bike;
  EXPECT_TRUE(bike.x == 272.0f && bike.y == 402.0f && bike.speed == 0.0f && bike.facing == Facing::Right);
  EXPECT_TRUE(!bike.thrusting && !bike.climbing);
  EXPECT_EQ(bike.invulnerableTicks, 120);
  const AlienState& alien = world.alien;
  EXPECT_TRUE(alien.free && alien.x >= 1000.0f && alien.y == 392.0f);
  EXPECT_TRUE(alien.frame == 0 && alien.frameDelay == 0 && alien.bobAngle == 0);
  EXPECT_EQ(alien.callTimer, 60);
  EXPECT_EQ(world.layerPos[0], 555.0f);
  EXPECT_EQ(world.flames.liftFrame, 3);
}

TEST_F(WorldTest, CrowdedLevelsStillFinishTheirSetUp) {
  for (int level : {22, 60, 200}) {
    SetRandomSeed(level);
    const auto start = std::chrono::steady_clock::now();
    SetupSector(level);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Census c = TakeCensus();
    const int perBand = (5 * level + 10) / 2;
    EXPECT_EQ(c.enemies, 2 * perBand) << "level " << level;
    EXPECT_EQ(c.Of(StructureKind::GroundGun), 2 * (perBand / 2));
    EXPECT_EQ(c.Of(StructureKind::CarrierRight), perBand / 2 * 3 / 2);
    EXPECT_EQ(c.typeOnes, 0);
    EXPECT_LT(seconds, 20.0) << "level " << level;  // generous: sanitizers, busy machines
  }
}

// Which points of one enemy band are closer than 50 pixels to an enemy placed
// so far. Painting each enemy once keeps the check cheap enough to replay
// many set-ups.
class BandCoverage {
 public:
  BandCoverage(int xLow, int xHigh) : xLow_(xLow), xHigh_(xHigh), width_(xHigh - xLow + 1) {
    blocked_.assign(static_cast<size_t>(width_) * kRows, 0);
    free_ = width_ * kRows;
  }
  bool Holds(int x) const { return x >= xLow_ && x <= xHigh_; }
  int FreePoints() const { return free_; }
  void Block(int ex, int ey) {
    for (int y = std::max(kTop, ey - 49); y <= std::min(kBottom, ey + 49); ++y)
      for (int x = std::max(xLow_, ex - 49); x <= std::min(xHigh_, ex + 49); ++x) {
        if ((x - ex) * (x - ex) + (y - ey) * (y - ey) >= 2500) continue;
        uint8_t& cell = blocked_[static_cast<size_t>(y - kTop) * width_ + (x - xLow_)];
        free_ -= cell == 0;
        cell = 1;
      }
  }

 private:
  static constexpr int kTop = 64, kBottom = 400, kRows = kBottom - kTop + 1;
  int xLow_, xHigh_, width_, free_;
  std::vector<uint8_t> blocked_;
};

// Walks the enemies in the order they were placed and counts those that came
// closer than 50 pixels to an earlier one while their band still had room.
int CrowdedWithRoomToSpare() {
  BandCoverage bands[2] = {{-600, -40}, {640, 2400}};
  std::vector<std::pair<int, int>> earlier;
  int crowded = 0;
  for (Enemies* e : Each<Enemies>(world.enemies)) {
    const int x = TruncateToInt(e->x), y = TruncateToInt(e->y);
    bool near = false;
    for (const auto& [ex, ey] : earlier) near = near || WithinDistance(x, y, ex, ey, 50);
    for (const BandCoverage& band : bands)
      if (near && band.Holds(x) && band.FreePoints() > 0) ++crowded;
    for (BandCoverage& band : bands) band.Block(x, y);
    earlier.emplace_back(x, y);
  }
  return crowded;
}

TEST_F(WorldTest, FullishBandsStillKeepEnemiesApartWhileThereIsRoom) {
  const auto start = std::chrono::steady_clock::now();
  std::string seedsPerLevel;
  int total = 0;
  for (int level = 18; level <= 22; ++level) {
    int seedsCrowded = 0;
    for (int seed = 1; seed <= 30; ++seed) {
      SetRandomSeed(seed * 131 + level);
      SetupSector(level);
      seedsCrowded += CrowdedWithRoomToSpare() > 0;
    }
    seedsPerLevel.append(" ").append(std::to_string(level)).append(":").append(std::to_string(seedsCrowded));
    total += seedsCrowded;
  }
  EXPECT_EQ(total, 0) << "seeds with a needless close pair, by level:" << seedsPerLevel;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 10.0);  // about a quarter of a second on an idle machine
}

TEST(WithinDistance, StrictlyCloserThanTheRadius) {
  EXPECT_FALSE(WithinDistance(0, 0, 30, 40, 50));  // exactly 50
  EXPECT_TRUE(WithinDistance(0, 0, 30, 39, 50));
  // Far-apart points never count as near, however large the squares.
  EXPECT_FALSE(WithinDistance(0, 0, 65536, 0, 50));
  EXPECT_FALSE(WithinDistance(-2000000000, 0, 2000000000, 0, 50));
}

}  // namespace
