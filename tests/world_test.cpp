// The world around the bike: the enemies' flight patterns, the structures'
// scroll, wrap and animation, explosions, stars, the parallax layers and the
// status line, and the set-up of a level at every size.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <vector>

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

class WorldTest : public harness::NullDrawingTest {
 protected:
  void SetUp() override {
    harness::NullDrawingTest::SetUp();
    LoadGameWorld();
    for (TList* l : {EnemiesList, StructuresList, ExplosionsList, EnemyBulletsList, PlayerBulletsList})
      l->Clear();
    SetRandomSeed(1234);
    SfxOn = 0;
    PlayerSpeed = 0.0f;
    ScrollFactor[0] = 0.4f;
    ScrollFactor[1] = 0.9f;
    ScrollFactor[2] = 1.4f;
    InvulnerableTicks = 0;
    LevelNumber = 1;
  }
  static Enemies* Spawn(int type, int x = 300, int y = 200) {
    NewEnemy(x, y, type);
    auto* list = EnemiesList;
    Enemies* last = nullptr;
    for (Enemies* e : Each<Enemies>(list)) last = e;
    return last;
  }
  static std::vector<Structures*> StructuresOfKind(int kind) {
    std::vector<Structures*> out;
    for (Structures* s : Each<Structures>(StructuresList))
      if (s->structure == kind) out.push_back(s);
    return out;
  }
};

// --- Enemies ------------------------------------------------------------------

TEST_F(WorldTest, DriftAndWaveEnemiesKeepTheirCourse) {
  for (int seed = 1; seed <= 20; ++seed) {
    SetRandomSeed(seed);
    EnemiesList->Clear();
    Enemies* drift = Spawn(0, 300, 150);
    Enemies* wave = Spawn(2 + 4 * (seed % 2), 300, 200);  // types 2 and 6
    EXPECT_GE(wave->xspeed, 0.5f);
    EXPECT_LT(wave->xspeed, 1.0f);
    EXPECT_NE(drift->xspeed, 0.0f);
    EXPECT_GE(std::fabs(drift->xspeed), 0.0f);
    EXPECT_LE(std::fabs(drift->xspeed), 1.0f);

    float ylow = 1000, yhigh = -1000;
    float x0 = wave->x, d0 = drift->x;
    for (int f = 1; f <= 720; ++f) {
      UpdateEnemies();
      if (wave->x < x0) x0 -= 2640.0f;  // it wrapped round the band
      ylow = std::min(ylow, wave->y);
      yhigh = std::max(yhigh, wave->y);
      ASSERT_GE(wave->y, 32.0f);
      ASSERT_LE(wave->y, 412.0f);
      EXPECT_FLOAT_EQ(drift->y, 150.0f);
    }
    // Twice its own speed to the right; up and down through a good height.
    EXPECT_NEAR(wave->x - x0, 720 * 2 * wave->xspeed, 1.0f);
    EXPECT_GT(yhigh - ylow, 150.0f);
    float moved = drift->x - d0;
    if (moved < -1500) moved += 2640;
    if (moved > 1500) moved -= 2640;
    EXPECT_NEAR(moved, 720 * drift->xspeed, 1.0f);
  }
}

TEST_F(WorldTest, BounceEnemiesTurnAtTheBoundsAtMostOneStepOutside) {
  for (int seed = 1; seed <= 10; ++seed) {
    SetRandomSeed(seed);
    EnemiesList->Clear();
    Enemies* e = Spawn(3 + 4 * (seed % 2), 100, 400);
    EXPECT_GE(e->yspeed, 0.4f);
    EXPECT_LT(e->yspeed, 0.9f);
    const float step = std::fabs(e->yspeed);
    int turns = 0;
    float last = e->yspeed;
    for (int f = 0; f < 2000; ++f) {
      UpdateEnemies();
      ASSERT_GE(e->y, 32.0f - step - 1e-3f);
      ASSERT_LE(e->y, 412.0f + step + 1e-3f);
      if ((e->yspeed > 0) != (last > 0)) ++turns;
      last = e->yspeed;
      EXPECT_FLOAT_EQ(std::fabs(e->yspeed), step);
    }
    EXPECT_GE(turns, 2);  // went down, came back up, went down again
  }
}

TEST_F(WorldTest, LoopEnemiesCircleAndStayInsideTheBand) {
  for (int seed = 1; seed <= 12; ++seed) {
    SetRandomSeed(seed);
    EnemiesList->Clear();
    Enemies* e = Spawn(4 + 4 * (seed % 2), 500, 220);
    ASSERT_TRUE(e->SinCount == 1 || e->SinCount == 2 || e->SinCount == -1 || e->SinCount == -2);
    const int period = 360 / std::abs(e->SinCount);
    const float x0 = e->x, y0 = e->y;
    float xlow = 1e9f, xhigh = -1e9f;
    for (int f = 1; f <= period; ++f) {
      UpdateEnemies();
      const float offset = e->x - (x0 + f * e->xspeed);  // x with the drift taken out
      xlow = std::min(xlow, offset);
      xhigh = std::max(xhigh, offset);
      ASSERT_GE(e->y, 32.0f);
      ASSERT_LE(e->y, 412.0f);
    }
    // One full circle brings it back to where it began, plus the drift.
    EXPECT_NEAR(e->y, y0, 0.05f);
    EXPECT_NEAR(e->x, x0 + period * e->xspeed, 0.05f);
    const float diameter = xhigh - xlow;
    EXPECT_NEAR(diameter, std::abs(e->SinCount) == 1 ? 114.6f : 57.3f, 2.0f);
  }
  // Near the ground the loop is clamped, never leaving the band.
  SetRandomSeed(3);
  EnemiesList->Clear();
  Enemies* low = Spawn(4, 200, 410);
  for (int f = 0; f < 720; ++f) {
    UpdateEnemies();
    ASSERT_LE(low->y, 412.0f);
    ASSERT_GE(low->y, 32.0f);
  }
}

TEST_F(WorldTest, WanderersFlyAtTheirSpeedAndTurnAtCeilingAndGround) {
  for (int seed = 1; seed <= 20; ++seed) {
    SetRandomSeed(seed);
    EnemiesList->Clear();
    Enemies* e = Spawn(seed % 2 ? 5 : 9, 300, 64 + seed * 15);
    EXPECT_EQ(e->MaxFrame, seed % 2 ? 4 : 7);
    EXPECT_GE(e->RotationDir, 1.3f);
    EXPECT_LT(e->RotationDir, 2.0f);
    ASSERT_TRUE(e->SinCount == 1 || e->SinCount == 2);
    // The first course climbs (1) or descends (2).
    if (e->SinCount == 1)
      EXPECT_LT(e->yspeed, 0.0f);
    else
      EXPECT_GT(e->yspeed, 0.0f);
    for (int f = 0; f < 600; ++f) {
      const int courseBefore = e->SinCount;
      const float sinusBefore = e->Sinus;
      UpdateEnemies();
      ASSERT_GE(e->y, 32.0f);
      ASSERT_LE(e->y, 412.0f);
      EXPECT_NEAR(std::hypot(e->xspeed, e->yspeed), e->RotationDir, 1e-3f);
      if (sinusBefore <= 0.0f && courseBefore == e->SinCount && e->y > 32.0f && e->y < 412.0f) {
        // A fresh course climbs for climbers and descends for the others.
        if (courseBefore == 1)
          EXPECT_LE(e->yspeed, 0.0f);
        else
          EXPECT_GE(e->yspeed, 0.0f);
        EXPECT_GE(e->Sinus, 90.0f);
        EXPECT_LE(e->Sinus, 250.0f);
      }
      ASSERT_GE(e->Frame, 0);
      ASSERT_LT(e->Frame, e->MaxFrame);
    }
  }
  // A climber that reaches the ceiling is held there and turns downward.
  SetRandomSeed(5);
  EnemiesList->Clear();
  Enemies* c = Spawn(5, 300, 33);
  c->SinCount = 1;
  c->Sinus = 50;
  c->xspeed = 0.0f;
  c->yspeed = -1.5f;
  UpdateEnemies();
  EXPECT_FLOAT_EQ(c->y, 32.0f);
  EXPECT_FLOAT_EQ(c->yspeed, 1.5f);
}

TEST_F(WorldTest, EnemiesWrapOnceWithinTheirBandAndScrollWithTheWorld) {
  struct Case {
    float x, after;
  } cases[] = {{-1000.5f, 1639.5f}, {2640.5f, 0.5f}, {3000.0f, 360.0f}, {-3000.0f, -360.0f}};
  for (const Case& c : cases) {
    EnemiesList->Clear();
    Enemies* e = Spawn(1, 0, 200);  // the plain drifter
    e->x = c.x;
    e->xspeed = 0.0f;
    UpdateEnemies();
    EXPECT_FLOAT_EQ(e->x, c.after) << "from " << c.x;
  }
  // The world's scroll: speed 8.5 at factor 1.4 moves everything 11.9 left.
  EnemiesList->Clear();
  Enemies* e = Spawn(1, 300, 200);
  e->xspeed = 0.0f;
  PlayerSpeed = 8.5f;
  UpdateEnemies();
  EXPECT_NEAR(e->x, 300.0f - 11.9f, 1e-3f);
}

TEST_F(WorldTest, EnemyCreationAndAnimationPerType) {
  for (int seed = 1; seed <= 30; ++seed) {
    SetRandomSeed(seed);
    EnemiesList->Clear();
    Enemies* spinner = Spawn(0);
    EXPECT_EQ(spinner->MaxFrame, 1);
    EXPECT_GE(spinner->Rotation, 10.0f);
    EXPECT_LE(spinner->Rotation, 350.0f);
    EXPECT_FLOAT_EQ(std::fabs(spinner->RotationDir), std::fabs(spinner->xspeed));
    EXPECT_GE(spinner->Frame, 0);
    EXPECT_LE(spinner->Frame, 2);
    for (int t = 2; t <= 8; ++t) EXPECT_EQ(Spawn(t)->MaxFrame, 4);
  }
  // Each cell shows for 8 updates; a spinner's frame returns to 0 at once.
  EnemiesList->Clear();
  Enemies* s = Spawn(0);
  s->Frame = 2;
  Enemies* w = Spawn(2);
  w->Frame = 0;
  for (int i = 0; i < 7; ++i) UpdateEnemies();
  EXPECT_EQ(w->Frame, 0);
  UpdateEnemies();
  EXPECT_EQ(w->Frame, 1);
  EXPECT_EQ(s->Frame, 0);
  for (int i = 0; i < 24; ++i) UpdateEnemies();
  EXPECT_EQ(w->Frame, 0);
}

TEST_F(WorldTest, SpinnersTurnOnlyOnScreen) {
  Enemies* e = Spawn(0, 300, 200);
  e->RotationDir = 0.75f;
  e->Rotation = 100.0f;
  DrawEnemies();
  EXPECT_FLOAT_EQ(e->Rotation, 101.5f);
  EXPECT_FLOAT_EQ(GetDrawState().rotation, 0.0f);
  for (float x : {-40.0f, 680.0f, 2000.0f}) {
    e->x = x;
    DrawEnemies();
    EXPECT_FLOAT_EQ(e->Rotation, 101.5f) << "at " << x;
  }
  e->x = -39.5f;
  DrawEnemies();
  EXPECT_FLOAT_EQ(e->Rotation, 103.0f);
}

// --- Structures ------------------------------------------------------------------

TEST_F(WorldTest, StructuresWrapAroundTheStripAndCarriersDrive) {
  CreateStructure(0, 332, 13, 0);  // tower
  CreateStructure(0, 332, 13, 0);
  CreateStructure(1000, 412, 6, 0);
  CreateStructure(1000, 412, 7, 0);
  CreateStructure(1000, 412, 42, 0);  // no such kind: kept, scrolled, never drawn
  auto towers = StructuresOfKind(13);
  towers[0]->x = 31800.5f;
  towers[1]->x = -200.5f;
  UpdateStructures(1);
  EXPECT_FLOAT_EQ(towers[0]->x, -199.5f);
  EXPECT_FLOAT_EQ(towers[1]->x, 31799.5f);
  EXPECT_NEAR(StructuresOfKind(6)[0]->x, 999.2f, 1e-3f);
  EXPECT_NEAR(StructuresOfKind(7)[0]->x, 1000.8f, 1e-3f);
  EXPECT_FLOAT_EQ(StructuresOfKind(42)[0]->x, 1000.0f);

  // Flying right at speed 5 the strip slides 7 a frame; a lap returns it.
  PlayerSpeed = 5.0f;
  Structures* t = towers[0];
  t->x = 100.0f;
  for (int i = 0; i < 32000 / 7 + 1; ++i) {
    UpdateStructures(1);
    ASSERT_GE(t->x, -200.0f);
    ASSERT_LE(t->x, 31800.0f);
  }
  EXPECT_NEAR(t->x, 100.0f - 7.0f * (32000 / 7 + 1) + 32000.0f, 1.0f);
  EXPECT_EQ(StructuresList->Count(), 5);
}

TEST_F(WorldTest, StructuresAnimateEveryTenUpdatesOnAndOffScreen) {
  CreateStructure(300, 332, 0, 1);     // beacon, 8 cells, on screen
  CreateStructure(20000, 332, 3, 0);   // gun, 6 cells, far off screen
  CreateStructure(300, 332, 11, 0);    // statue, one cell
  auto beacon = StructuresOfKind(0)[0];
  auto gun = StructuresOfKind(3)[0];
  auto statue = StructuresOfKind(11)[0];
  EXPECT_EQ(gun->HitPoints, 4);
  EXPECT_EQ(beacon->HitPoints, 9999);
  for (int i = 0; i < 9; ++i) UpdateStructures(1);
  EXPECT_EQ(beacon->frame, 0);
  UpdateStructures(1);
  EXPECT_EQ(beacon->frame, 1);
  EXPECT_EQ(gun->frame, 1);
  for (int i = 0; i < 50; ++i) UpdateStructures(1);
  EXPECT_EQ(beacon->frame, 6);
  EXPECT_EQ(gun->frame, 0);  // six cells, back to the first
  EXPECT_EQ(statue->frame, 0);
}

TEST_F(WorldTest, AmbientHumCountsOnlyOnScreenWithSoundOn) {
  CreateStructure(300, 332, 9, 0);    // terraformer: every 120 frames
  CreateStructure(300, 332, 14, 0);   // tower: every 240
  CreateStructure(900, 332, 10, 0);   // tesla coil, off screen
  auto terra = StructuresOfKind(9)[0];
  auto tower = StructuresOfKind(14)[0];
  auto coil = StructuresOfKind(10)[0];
  UpdateStructures(1);
  EXPECT_EQ(terra->SoundDelay, 0);  // sound off: nothing counts
  SfxOn = 1;
  UpdateStructures(1);
  EXPECT_EQ(terra->SoundDelay, 120);  // sounded in its first frame on screen
  EXPECT_EQ(tower->SoundDelay, 240);
  EXPECT_EQ(coil->SoundDelay, 0);
  for (int i = 0; i < 119; ++i) UpdateStructures(1);
  EXPECT_EQ(terra->SoundDelay, 1);
  EXPECT_EQ(tower->SoundDelay, 121);
  UpdateStructures(1);
  EXPECT_EQ(terra->SoundDelay, 120);  // counted down to 0 and sounded again
  EXPECT_EQ(tower->SoundDelay, 120);
  SfxOn = 0;
}

TEST_F(WorldTest, CarriersHoldFireWhileTheBikeIsInvulnerable) {
  // Count the carriers' puffs: every shot comes with one.
  CreateStructure(300, 412, 6, 0);
  CreateStructure(400, 412, 7, 0);
  for (Structures* s : Each<Structures>(StructuresList)) s->Xspeed = 0.0f;
  InvulnerableTicks = 5;
  for (int i = 0; i < 500; ++i) UpdateStructures(1);
  EXPECT_EQ(ExplosionsList->Count(), 0);
  InvulnerableTicks = 0;
  for (int i = 0; i < 500; ++i) UpdateStructures(1);
  EXPECT_GT(ExplosionsList->Count(), 5);  // about 20 expected
  EXPECT_LT(ExplosionsList->Count(), 45);
  for (Explosions* e : Each<Explosions>(ExplosionsList)) {
    EXPECT_EQ(e->whichone, 1);
    EXPECT_FLOAT_EQ(e->xspeed, 0.0f);
  }
  // Off screen (x 640 exactly) nothing fires.
  ExplosionsList->Clear();
  for (Structures* s : Each<Structures>(StructuresList)) s->x = 640.0f;
  for (int i = 0; i < 500; ++i) UpdateStructures(1);
  EXPECT_EQ(ExplosionsList->Count(), 0);
}

TEST_F(WorldTest, BonusBobsOverItsShadow) {
  CreateStructure(300, 412, 5, 0);
  auto bonus = StructuresOfKind(5)[0];
  std::map<int, int> seen;
  for (int i = 0; i < 90; ++i) {
    UpdateStructures(1);
    ASSERT_GE(bonus->Bounce, 0);
    ASSERT_LE(bonus->Bounce, 352);
    ASSERT_EQ(bonus->Bounce % 8, 0);
    ++seen[bonus->Bounce];
  }
  EXPECT_EQ(seen.size(), 45u);  // one bob every 45 frames
}

// --- Explosions and stars ---------------------------------------------------------

TEST_F(WorldTest, ExplosionsLiveTheirFixedNumberOfDrawsAndDriftWithTheWorld) {
  const int lives[3] = {48, 20, 39};
  for (int kind = 0; kind < 3; ++kind) {
    ExplosionsList->Clear();
    NewExplosion(100, 100, kind, 0);
    int draws = 0;
    while (ExplosionsList->Count() > 0 && draws < 200) {
      DrawExplosions();
      ++draws;
    }
    EXPECT_EQ(draws, lives[kind]) << "kind " << kind;
  }
  EXPECT_EQ(GetDrawState().blend, 3);
  EXPECT_FLOAT_EQ(GetDrawState().alpha, 1.0f);

  ExplosionsList->Clear();
  NewExplosion(100, 100, 0, 0);
  NewExplosion(100, 100, 0, 2);
  NewExplosion(100, 100, 7, 0);  // unknown kind: never drawn nor aged
  PlayerSpeed = 8.5f;
  ScrollExplosions();
  std::vector<float> xs;
  for (Explosions* e : Each<Explosions>(ExplosionsList)) xs.push_back(e->x);
  EXPECT_NEAR(xs[0], 100.0f - 11.9f, 1e-3f);
  EXPECT_NEAR(xs[1], 100.0f - 11.9f + 6.0f, 1e-3f);
  for (int i = 0; i < 100; ++i) DrawExplosions();
  EXPECT_EQ(ExplosionsList->Count(), 1);
}

TEST_F(WorldTest, StarsDriftRightAndWrap) {
  StarCoordsList->Clear();
  CreateStars();
  ASSERT_EQ(StarCoordsList->Count(), 100);
  for (StarCoords* s : Each<StarCoords>(StarCoordsList)) {
    EXPECT_GE(s->x, 8.0f);
    EXPECT_LE(s->x, 632.0f);
    EXPECT_GE(s->xspeed, 0.1f);
    EXPECT_LT(s->xspeed, 1.0f);
    EXPECT_GE(s->color, 70);
  }
  auto* first = ObjectDowncast<StarCoords>(StarCoordsList->First());
  first->x = 639.5f;
  first->xspeed = 0.6f;
  const float y = first->y;
  DrawStars();
  EXPECT_NEAR(first->x, 0.1f, 1e-3f);
  EXPECT_FLOAT_EQ(first->y, y);
  first->x = 638.5f;
  first->xspeed = 0.5f;
  DrawStars();
  EXPECT_FLOAT_EQ(first->x, 639.0f);  // exactly 639 does not wrap yet
  const DrawState st = GetDrawState();
  EXPECT_EQ(st.red + st.green + st.blue, 3 * 255);
  StarCoordsList->Clear();
}

// --- Backdrop and status line ----------------------------------------------------

TEST_F(WorldTest, ParallaxLayersWrapAndMoveAtTheirOwnSpeeds) {
  LayerPos1 = 1950.0f;
  LayerPos2 = -10.0f;
  LayerPos3 = 1919.5f;
  PlayerSpeed = 0.0f;
  DrawBackdrop();
  EXPECT_FLOAT_EQ(LayerPos1, 30.0f);
  EXPECT_FLOAT_EQ(LayerPos2, 1910.0f);
  EXPECT_FLOAT_EQ(LayerPos3, 1919.5f);

  LayerPos1 = LayerPos2 = LayerPos3 = 100.0f;
  PlayerSpeed = 5.0f;
  DrawBackLayers();  // never moves the back layers
  EXPECT_FLOAT_EQ(LayerPos1, 100.0f);
  EXPECT_FLOAT_EQ(LayerPos2, 100.0f);
  DrawFrontLayer();
  EXPECT_FLOAT_EQ(LayerPos3, 107.0f);
  DrawBackdrop();
  EXPECT_FLOAT_EQ(LayerPos1, 102.0f);
  EXPECT_FLOAT_EQ(LayerPos2, 104.5f);
  EXPECT_FLOAT_EQ(LayerPos3, 114.0f);

  // A value far outside (no caller makes one) still ends inside the picture.
  LayerPos1 = -50000.0f;
  DrawBackLayers();
  EXPECT_GE(LayerPos1, 0.0f);
  EXPECT_LT(LayerPos1, 1920.0f);
  EXPECT_FLOAT_EQ(GetDrawState().scaleX, 1.0f);
}

TEST_F(WorldTest, StatusLineShowsSevenDigitsShieldsAndSector) {
  struct Case {
    int score, shields, sector;
    const char16_t* text;
  } cases[] = {
      {1234, 5, 2, u"score: 0001234   shield: 5   sector: 2"},
      {0, 0, 1, u"score: 0000000   shield: 0   sector: 1"},
      {12345678, 9, 5, u"score: 2345678   shield: 9   sector: 5"},
      {50, 10, 3, u"score: 0000050   shield: 9+  Sector: 3"},
      {50, -1, 4, u"score: 0000050   shield: \u00a3   sector: 4"},
  };
  for (const Case& c : cases) {
    Score = c.score;
    ShieldCount = c.shields;
    SectorShown = c.sector;
    EXPECT_EQ(StatusLineText(), String(c.text));
  }
}

// --- Sector set-up ------------------------------------------------------------------

struct Census {
  int enemies = 0, scenery = 0, guns3 = 0, guns4 = 0, mines = 0, carriers6 = 0, carriers7 = 0;
  int bonus = 0, beacons = 0, teleporters = 0, modules = 0;
  int64_t closestSquared = INT64_MAX;
  int highestType = -1;
  bool typeOne = false;
};

Census TakeCensus() {
  Census c;
  std::vector<Enemies*> enemies;
  for (Enemies* e : Each<Enemies>(EnemiesList)) enemies.push_back(e);
  c.enemies = static_cast<int>(enemies.size());
  for (size_t i = 0; i < enemies.size(); ++i) {
    c.highestType = std::max(c.highestType, enemies[i]->enemy);
    if (enemies[i]->enemy == 1) c.typeOne = true;
    for (size_t j = i + 1; j < enemies.size(); ++j) {
      const int64_t dx = TruncateToInt(enemies[i]->x) - TruncateToInt(enemies[j]->x);
      const int64_t dy = TruncateToInt(enemies[i]->y) - TruncateToInt(enemies[j]->y);
      c.closestSquared = std::min(c.closestSquared, dx * dx + dy * dy);
    }
  }
  int index = 0;
  for (Structures* s : Each<Structures>(StructuresList)) {
    if (index++ < 32) {
      EXPECT_TRUE(s->structure == 9 || s->structure == 10 || s->structure == 13 || s->structure == 14);
      ++c.scenery;
      continue;
    }
    switch (s->structure) {
      case 0: ++c.beacons; break;
      case 1: ++c.modules; break;
      case 2: ++c.teleporters; break;
      case 3: ++c.guns3; break;
      case 4: ++c.guns4; break;
      case 5: ++c.bonus; break;
      case 6: ++c.carriers6; break;
      case 7: ++c.carriers7; break;
      case 8: ++c.mines; break;
      default: break;
    }
  }
  return c;
}

TEST_F(WorldTest, LevelsOneAndTwoHoldTheirCounts) {
  struct Case {
    int level, enemies, guns, carriers, aliens, highestType;
  } cases[] = {{1, 14, 6, 4, 2, 5}, {2, 20, 10, 7, 3, 6}};
  for (const Case& k : cases) {
    for (int seed = 1; seed <= 5; ++seed) {
      SetRandomSeed(seed * 77);
      SetupSector(k.level);
      const Census c = TakeCensus();
      EXPECT_EQ(LevelNumber, k.level);
      EXPECT_EQ(c.enemies, k.enemies);
      EXPECT_EQ(c.scenery, 32);
      EXPECT_EQ(c.guns3, k.guns);
      EXPECT_EQ(c.guns4, k.guns);
      EXPECT_EQ(c.mines, k.guns);
      EXPECT_EQ(c.carriers6, k.carriers);
      EXPECT_EQ(c.carriers7, k.carriers);
      EXPECT_EQ(c.bonus, 1);
      EXPECT_EQ(c.beacons, 5);
      EXPECT_EQ(c.teleporters, 5);
      EXPECT_EQ(c.modules, 1);
      EXPECT_EQ(AliensLeft, k.aliens);
      EXPECT_GE(c.closestSquared, 2500);  // exactly 50 apart is allowed
      EXPECT_FALSE(c.typeOne);
      EXPECT_LE(c.highestType, k.highestType);
      EXPECT_GE(AlienX, 1000.0f);
      EXPECT_LE(AlienX, 30000.0f);
      EXPECT_FLOAT_EQ(PlayerX, 272.0f);
      EXPECT_FLOAT_EQ(PlayerY, 402.0f);
      EXPECT_EQ(Facing, 3);
      EXPECT_EQ(InvulnerableTicks, 120);
      EXPECT_FLOAT_EQ(TimeBonus, 100.0f);
      EXPECT_FLOAT_EQ(PlanetX, 400.0f);
      EXPECT_EQ(AlienFree, 1);
    }
  }
}

TEST_F(WorldTest, SetUpPlacesEverythingWhereItBelongs) {
  NewExplosion(1, 1, 0, 0);
  FirePlayerBullet();
  const int stars = StarCoordsList->Count();
  SetupSector(1);
  EXPECT_EQ(ExplosionsList->Count(), 0);
  EXPECT_EQ(PlayerBulletsList->Count(), 0);
  EXPECT_EQ(StarCoordsList->Count(), stars);  // the sky is left alone

  int index = 0, left = 0, right = 0;
  for (Enemies* e : Each<Enemies>(EnemiesList)) {
    if (e->x >= -600 && e->x <= -40) ++left;
    if (e->x >= 640 && e->x <= 2400) ++right;
    EXPECT_GE(e->y, 64.0f);
    EXPECT_LE(e->y, 400.0f);
  }
  EXPECT_EQ(left, 7);
  EXPECT_EQ(right, 7);
  for (Structures* s : Each<Structures>(StructuresList)) {
    if (index < 32) {
      EXPECT_GE(s->x, 600 + 1000 * index) << index;
      EXPECT_LE(s->x, 800 + 1000 * index) << index;
      EXPECT_FLOAT_EQ(s->y, s->structure == 10 ? 392.0f : 332.0f);
    }
    if (s->structure == 0) {
      EXPECT_FLOAT_EQ(s->x, 6400.0f * s->Sector - 5000.0f);
      EXPECT_FLOAT_EQ(s->y, 332.0f);
    }
    if (s->structure == 2) {
      EXPECT_FLOAT_EQ(s->x, 6400.0f * s->Sector - 5900.0f);
    }
    if (s->structure == 1) {
      EXPECT_FLOAT_EQ(s->x, 180.0f);
      EXPECT_EQ(s->Sector, 1);
    }
    if (s->structure == 8) {
      EXPECT_GE(s->y, 80.0f);
      EXPECT_LE(s->y, 380.0f);
    }
    if (s->structure == 6 || s->structure == 7) {
      EXPECT_LE(s->x, 30000.0f);
    }
    ++index;
  }
}

TEST_F(WorldTest, CrowdedLevelsStillFinishTheirSetUp) {
  for (int level : {22, 30, 60, 200}) {
    SetRandomSeed(level);
    const auto start = std::chrono::steady_clock::now();
    SetupSector(level);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Census c = TakeCensus();
    const int perBand = (5 * level + 10) / 2;
    EXPECT_EQ(c.enemies, 2 * perBand) << "level " << level;
    EXPECT_EQ(c.guns3, 2 * (perBand / 2));
    EXPECT_EQ(c.carriers7, static_cast<int>((perBand / 2) * 1.5));
    EXPECT_EQ(AliensLeft, level + 1);
    EXPECT_LE(c.highestType, 9);
    EXPECT_FALSE(c.typeOne);
    EXPECT_LT(seconds, 20.0) << "level " << level;  // generous: sanitizers, busy machines
    for (Enemies* e : Each<Enemies>(EnemiesList)) {
      const bool leftBand = e->x >= -600 && e->x <= -40;
      const bool rightBand = e->x >= 640 && e->x <= 2400;
      ASSERT_TRUE(leftBand || rightBand);
      ASSERT_GE(e->y, 64.0f);
      ASSERT_LE(e->y, 400.0f);
    }
  }
}

TEST(WithinDistance, StrictlyCloserThanTheRadius) {
  EXPECT_EQ(WithinDistance(0, 0, 30, 40, 50), 0);  // exactly 50
  EXPECT_EQ(WithinDistance(0, 0, 30, 39, 50), 1);
  EXPECT_EQ(WithinDistance(-10, -10, -10, -10, 1), 1);
  EXPECT_EQ(WithinDistance(5, 5, 5, 5, 0), 0);
  // Points far apart must never count as near, however the squares add up.
  EXPECT_EQ(WithinDistance(-2000000000, 0, 2000000000, 0, 50), 0);
  EXPECT_EQ(WithinDistance(0, 0, 65536, 0, 50), 0);
}

}  // namespace
