// Combat: the rectangle test, the bike's shots, the ground's shots and
// missiles, the bike running into things, and the shield, fragment and burst
// effects those create.
#include <algorithm>
#include <climits>
#include <cmath>

#include "playfield.h"

using namespace playfield;

// --- The rectangle test ------------------------------------------------------

TEST(BoxesOverlapTest, BoxesAreClosedSoTouchingEdgesOverlap) {
  // A 23 x 5 shot whose right edge meets a 40 x 40 box's left edge.
  EXPECT_EQ(1, BoxesOverlap(0, 10, 23, 5, 23, 0, 40, 40));
  EXPECT_EQ(0, BoxesOverlap(0, 10, 23, 5, 24, 0, 40, 40));
  // Left edge on the other box's right edge, and both ways in y.
  EXPECT_EQ(1, BoxesOverlap(63, 10, 23, 5, 23, 0, 40, 40));
  EXPECT_EQ(0, BoxesOverlap(64, 10, 23, 5, 23, 0, 40, 40));
  EXPECT_EQ(1, BoxesOverlap(30, -5, 23, 5, 23, 0, 40, 40));
  EXPECT_EQ(0, BoxesOverlap(30, -6, 23, 5, 23, 0, 40, 40));
  EXPECT_EQ(1, BoxesOverlap(30, 40, 23, 5, 23, 0, 40, 40));
  EXPECT_EQ(0, BoxesOverlap(30, 41, 23, 5, 23, 0, 40, 40));
}

TEST(BoxesOverlapTest, PositionsAtTheEdgeOfTheIntRangeDoNotWrapRound) {
  // Truncation saturates far-flung positions at the int range; the sums of
  // position and size must not wrap into a false answer.
  EXPECT_EQ(1, BoxesOverlap(INT_MAX - 5, 0, 10, 10, INT_MAX - 3, 0, 2, 2));
  EXPECT_EQ(0, BoxesOverlap(INT_MAX, 0, 10, 10, 0, 0, 10, 10));
  EXPECT_EQ(0, BoxesOverlap(0, 0, 10, 10, INT_MIN, INT_MIN, 10, 10));
  EXPECT_EQ(1, BoxesOverlap(INT_MIN, INT_MIN, 10, 10, INT_MIN + 5, INT_MIN + 5, 1, 1));
}

// --- The bike's shots ------------------------------------------------------------

class PlayerShotTest : public PlayfieldTest {};

TEST_F(PlayerShotTest, ShotsLeaveOnlyOnceBeyondTheBand) {
  AddShot(670, 100, 10);
  AddShot(-20, 100, -10);
  UpdatePlayerBullets();
  EXPECT_EQ(2, Count<PlayerBullets>(PlayerBulletsList)) << "680 and -30 themselves are inside";
  UpdatePlayerBullets();
  EXPECT_EQ(0, Count<PlayerBullets>(PlayerBulletsList));
}

TEST_F(PlayerShotTest, EdgeTouchHitScoresExplodesFragmentsAndMovesTheEnemy) {
  Enemies* e = AddEnemy(7, 100, 200);
  AddShot(67, 210, 10);  // moves to 77: its right edge meets the enemy's left edge
  UpdatePlayerBullets();
  EXPECT_EQ(250, Score);
  EXPECT_EQ(0, Count<PlayerBullets>(PlayerBulletsList));
  Explosions* x = First<Explosions>(ExplosionsList);
  ASSERT_NE(nullptr, x);
  EXPECT_EQ(88, x->x);
  EXPECT_EQ(188, x->y);
  EXPECT_EQ(0, x->whichone);
  const float want[4][2] = {{110, 210}, {130, 210}, {110, 230}, {130, 230}};
  int q = 0;
  for (Frags* f : Each<Frags>(FragsList)) {
    ASSERT_LT(q, 4);
    EXPECT_EQ(q, f->frame);
    EXPECT_EQ(7, f->enemy);
    EXPECT_EQ(want[q][0], f->x);
    EXPECT_EQ(want[q][1], f->y);
    EXPECT_EQ(1.0f, f->Alpha);
    ++q;
  }
  EXPECT_EQ(4, q);
  // It was left of the middle, so it comes back from the left, same height.
  EXPECT_GE(e->x, -900);
  EXPECT_LE(e->x, -40);
  EXPECT_EQ(200, e->y);
}

TEST_F(PlayerShotTest, EnemiesAtTheBandEdgesCannotBeHit) {
  AddEnemy(2, 680, 100);
  AddEnemy(2, -40, 300);
  AddShot(670, 110, 10);   // ends at 680, over the right-hand enemy
  AddShot(-20, 310, -10);  // ends at -30, over the left-hand enemy
  UpdatePlayerBullets();
  EXPECT_EQ(0, Score);
  EXPECT_EQ(2, Count<PlayerBullets>(PlayerBulletsList));
}

TEST_F(PlayerShotTest, PositionsTruncateTowardZeroBeforeTheTest) {
  AddEnemy(3, 23, 100);
  AddShot(9.1f, 110, -10);  // now at -0.9, which tests as 0: right edge 23
  UpdatePlayerBullets();
  EXPECT_EQ(250, Score);
}

TEST_F(PlayerShotTest, OneShotHitsOnlyTheFirstEnemyInListOrder) {
  Enemies* first = AddEnemy(4, 400, 100);
  Enemies* second = AddEnemy(5, 400, 100);
  AddShot(370, 110, 10);
  UpdatePlayerBullets();
  EXPECT_EQ(250, Score);
  EXPECT_GE(first->x, 640);  // right of the middle: back from the right
  EXPECT_EQ(400, second->x);
  EXPECT_EQ(1, Count<Explosions>(ExplosionsList));
}

TEST_F(PlayerShotTest, AShotThroughAnEnemyStillDamagesTheGunBehindIt) {
  AddEnemy(2, 300, 380);
  Structures* gun = AddStructure(3, 300, 412);
  AddShot(270, 410, 10);
  UpdatePlayerBullets();
  EXPECT_EQ(250 + 1500, Score);
  EXPECT_EQ(3, gun->HitPoints);
  EXPECT_EQ(300, gun->x);
  EXPECT_EQ(0, Count<PlayerBullets>(PlayerBulletsList));
}

TEST_F(PlayerShotTest, FifthHitDestroysAFreshGunAndEveryLaterHitDestroysItAgain) {
  Structures* gun = AddStructure(4, 300, 412);
  for (int i = 0; i < 5; ++i) {
    AddShot(270, 420, 10);
    UpdatePlayerBullets();
  }
  EXPECT_EQ(12000, Score);
  EXPECT_EQ(-1, gun->HitPoints);
  EXPECT_EQ(5 + 8, Count<Explosions>(ExplosionsList));
  EXPECT_GE(gun->x, 640);
  EXPECT_LE(gun->x, 31000);
  // Back on screen, one hit is enough now and pays double.
  gun->x = 300;
  AddShot(270, 420, 10);
  UpdatePlayerBullets();
  EXPECT_EQ(12000 + 4000, Score);
  EXPECT_GE(gun->x, 640);
}

TEST_F(PlayerShotTest, ShotsFlyThroughEveryOtherKindOfStructure) {
  for (int kind : {0, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}) AddStructure(kind, 300, 400);
  AddShot(270, 420, 10);
  UpdatePlayerBullets();
  EXPECT_EQ(0, Score);
  EXPECT_EQ(1, Count<PlayerBullets>(PlayerBulletsList));
}

// --- Shots and missiles from the ground ----------------------------------------

class EnemyShotTest : public PlayfieldTest {
 protected:
  EnemyBullets* AddBullet(int type, float x, float y, float xs, float ys, int life) {
    EnemyBullets* b = Add<EnemyBullets>(EnemyBulletsList);
    b->WhatType = type;
    b->x = x;
    b->y = y;
    b->xspeed = xs;
    b->yspeed = ys;
    b->life = life;
    return b;
  }
  // True when a shot at the bike's middle would pass the pixel test.
  bool MiddleIsSolid() {
    return ImagesOverlap(img_bike2, TruncateToInt(PlayerX), TruncateToInt(PlayerY), Facing, img_Shots_Enemy,
                         TruncateToInt(PlayerX + 60), TruncateToInt(PlayerY + 28), 0) == 1;
  }
};

TEST_F(EnemyShotTest, FromLevelSixAnAimedShotFliesAtTheMiddleOfTheBike) {
  LevelNumber = 6;
  NewEnemyBullet(100, 100, 0, 999);
  EnemyBullets* b = First<EnemyBullets>(EnemyBulletsList);
  ASSERT_NE(nullptr, b);
  const float tx = PlayerX + 60 - 100, ty = PlayerY + 28 - 100;
  EXPECT_NEAR(4.0, std::hypot(b->xspeed, b->yspeed), 1e-4);
  EXPECT_NEAR(0.0, b->xspeed * ty - b->yspeed * tx, 1e-2) << "not aimed along the line to the target";
  EXPECT_GT(b->xspeed, 0);
  EXPECT_GT(b->yspeed, 0);
  EXPECT_GE(b->life, 90);
  EXPECT_LE(b->life, 150);
  EXPECT_EQ(0, b->WhatType);
}

TEST_F(EnemyShotTest, BelowLevelSixAimedShotsScatterByUpToFortyFiveDegrees) {
  LevelNumber = 5;
  const double exact = 90 + ATan2Degrees(PlayerY + 28 - 100, PlayerX + 60 - 100);
  double widest = 0;
  for (int i = 0; i < 200; ++i) {
    NewEnemyBullet(100, 100, 0, 999);
    EnemyBullets* b = First<EnemyBullets>(EnemyBulletsList);
    const double heading = ATan2Degrees(b->xspeed, -b->yspeed);  // back from the velocity
    double off = std::fabs(std::fmod(heading - exact + 540.0, 360.0) - 180.0);
    widest = std::max(widest, off);
    EnemyBulletsList->Clear();
  }
  EXPECT_LE(widest, 45.01);
  EXPECT_GT(widest, 30);
}

TEST_F(EnemyShotTest, AMissileKeepsItsStartHeadingForNineUpdatesThenTurns) {
  PlayerY = 100;  // out of the way above the missile's path
  NewEnemyBullet(400, 400, 1, 0);
  EnemyBullets* m = First<EnemyBullets>(EnemyBulletsList);
  ASSERT_NE(nullptr, m);
  EXPECT_EQ(296, m->Angle);
  EXPECT_EQ(400, m->life);
  EXPECT_EQ(10, m->GoStraight);
  const float xs = m->xspeed, ys = m->yspeed;
  EXPECT_LT(xs, 0);
  EXPECT_LT(ys, 0);
  float x = 400, y = 400;
  for (int i = 0; i < 9; ++i) {
    UpdateEnemyBullets();
    x += xs;
    y += ys;
    EXPECT_EQ(296, m->Angle);
    EXPECT_FLOAT_EQ(x, m->x);
    EXPECT_FLOAT_EQ(y, m->y);
  }
  UpdateEnemyBullets();
  EXPECT_NE(296, m->Angle) << "the tenth update homes";
  // The side argument picks the other start heading, anything else straight up.
  NewEnemyBullet(400, 400, 1, 1);
  NewEnemyBullet(400, 400, 1, 7);
  int k = 0;
  for (EnemyBullets* b : Each<EnemyBullets>(EnemyBulletsList)) {
    if (k == 1) {
      EXPECT_EQ(65, b->Angle);
    }
    if (k == 2) {
      EXPECT_EQ(0, b->Angle);
    }
    ++k;
  }
}

TEST_F(EnemyShotTest, HomingTurnsEightDegreesAndClockwiseWhenTheTargetIsRightBehind) {
  PlayerX = 272;
  PlayerY = 100;  // target point (332, 128)
  EnemyBullets* behind = AddBullet(1, 332, 300, 0, 0, 400);
  behind->Angle = 180;  // flying down, target straight above
  EnemyBullets* ahead = AddBullet(1, 332, 300, 0, 0, 400);
  ahead->Angle = 0;  // flying up, target straight ahead
  UpdateEnemyBullets();
  EXPECT_EQ(188, behind->Angle);
  EXPECT_EQ(0, ahead->Angle);
  EXPECT_FLOAT_EQ(296, ahead->y);
}

TEST_F(EnemyShotTest, BulletsAtTheBandEdgeStayAndGoOneUpdateAfterPassingIt) {
  PlayerY = 32;
  EnemyBullets* right = AddBullet(0, 676, 300, 4, 0, 100);
  EnemyBullets* low = AddBullet(0, 100, 452, 0, 4, 100);
  UpdateEnemyBullets();
  EXPECT_EQ(680, right->x);
  EXPECT_EQ(456, low->y);
  UpdateEnemyBullets();
  EXPECT_EQ(2, Count<EnemyBullets>(EnemyBulletsList)) << "drawn once beyond the edge";
  UpdateEnemyBullets();
  EXPECT_EQ(0, Count<EnemyBullets>(EnemyBulletsList));
}

TEST_F(EnemyShotTest, AShotWithLifeLIsMovedLPlusOneTimes) {
  PlayerY = 32;
  EnemyBullets* b = AddBullet(0, 100, 300, 1, 0, 3);
  for (int i = 0; i < 4; ++i) UpdateEnemyBullets();
  EXPECT_EQ(104, b->x);
  EXPECT_EQ(1, Count<EnemyBullets>(EnemyBulletsList));
  UpdateEnemyBullets();
  EXPECT_EQ(0, Count<EnemyBullets>(EnemyBulletsList));
}

TEST_F(EnemyShotTest, AnAimedShotCostsAShieldAndFliesOnThroughTheBike) {
  ASSERT_TRUE(MiddleIsSolid());
  AddBullet(0, PlayerX + 60, PlayerY + 28, 0, 0, 100);
  AddBullet(0, PlayerX + 60, PlayerY + 28, 0, 0, 100);  // a second one in the same frame
  UpdateEnemyBullets();
  EXPECT_EQ(7, ShieldCount);
  EXPECT_EQ(90, InvulnerableTicks);
  EXPECT_EQ(2, Count<EnemyBullets>(EnemyBulletsList));
  Shields* s = First<Shields>(ShieldsList);
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(0, s->ShieldType);
  EXPECT_EQ(1, Count<Shields>(ShieldsList));
}

TEST_F(EnemyShotTest, WhileInvulnerableShotsPassButMissilesStillStrike) {
  ASSERT_TRUE(MiddleIsSolid());
  InvulnerableTicks = 50;
  AddBullet(0, PlayerX + 60, PlayerY + 28, 0, 0, 100);
  EnemyBullets* m = AddBullet(1, PlayerX + 60, PlayerY + 28, 0, 0, 400);
  m->GoStraight = 5;
  UpdateEnemyBullets();
  EXPECT_EQ(8, ShieldCount) << "a missile costs no shield";
  EXPECT_EQ(50, InvulnerableTicks);
  EXPECT_EQ(1, Count<EnemyBullets>(EnemyBulletsList)) << "the missile is gone, the shot flies on";
  Shields* flash = First<Shields>(ShieldsList);
  ASSERT_NE(nullptr, flash);
  EXPECT_EQ(1, flash->ShieldType);
  EXPECT_EQ(255, flash->Color);
  EXPECT_EQ(272, flash->x);
  Explosions* puff = First<Explosions>(ExplosionsList);
  ASSERT_NE(nullptr, puff);
  EXPECT_EQ(1, puff->whichone);
  EXPECT_EQ(332, puff->x);
}

// --- The bike running into things ---------------------------------------------

class RamTest : public PlayfieldTest {
 protected:
  bool Solid(TImage* other, float x, float y) {
    return ImagesOverlap(img_bike2, TruncateToInt(PlayerX), TruncateToInt(PlayerY), Facing, other,
                         TruncateToInt(x), TruncateToInt(y), 0) == 1;
  }
  static bool OffScreen(float x) { return (x >= -3000 && x <= -40) || (x >= 640 && x <= 3000); }
};

TEST_F(RamTest, RammingCostsAShieldAndScoresTheTypeTimesAHundred) {
  Enemies* nine = AddEnemy(9, PlayerX + 40, PlayerY + 8);
  ASSERT_TRUE(Solid(img_enemies, nine->x, nine->y));
  EnemiesHitPlayer();
  EXPECT_EQ(900, Score);
  EXPECT_EQ(7, ShieldCount);
  EXPECT_EQ(90, InvulnerableTicks);
  EXPECT_TRUE(OffScreen(nine->x)) << nine->x;
  Explosions* x = First<Explosions>(ExplosionsList);
  ASSERT_NE(nullptr, x);
  EXPECT_EQ(TruncateToInt(PlayerX + 40 - 12), x->x);

  // The spinner is tested centred and scores nothing.
  ResetWorld();
  Enemies* spinner = AddEnemy(0, PlayerX + 20, PlayerY);
  ASSERT_TRUE(Solid(img_enemies_one, spinner->x + 20, spinner->y + 20));
  EnemiesHitPlayer();
  EXPECT_EQ(0, Score);
  EXPECT_EQ(7, ShieldCount);
  x = First<Explosions>(ExplosionsList);
  ASSERT_NE(nullptr, x);
  EXPECT_EQ(TruncateToInt(PlayerX + 20 - 20), x->x);
}

TEST_F(RamTest, OnlyTheFirstOfTwoEnemiesCountsAndTheSecondFindsTheBikeInvulnerable) {
  AddEnemy(3, PlayerX + 40, PlayerY + 8);
  Enemies* second = AddEnemy(4, PlayerX + 40, PlayerY + 8);
  EnemiesHitPlayer();
  EXPECT_EQ(7, ShieldCount);
  EXPECT_EQ(PlayerX + 40, second->x);
  EnemiesHitPlayer();
  EXPECT_EQ(7, ShieldCount);
  EXPECT_EQ(300, Score);
}

TEST_F(RamTest, BoxesThatOverlapWithoutTouchingPixelsLeaveTheBikeUnharmed) {
  // Look around the corners of the bike's box for a place where the boxes
  // meet but the pictures' opaque pixels do not.
  bool found = false;
  float fx = 0, fy = 0;
  for (int dy = -40; dy <= 54 && !found; dy += 2)
    for (int dx = -40; dx <= 77 && !found; dx += 2) {
      const float x = PlayerX + 17 + static_cast<float>(dx), y = PlayerY + static_cast<float>(dy);
      if (BoxesOverlap(TruncateToInt(PlayerX + 17), TruncateToInt(PlayerY), 77, 54, TruncateToInt(x),
                       TruncateToInt(y), 40, 40) &&
          !Solid(img_enemies, x, y)) {
        found = true;
        fx = x;
        fy = y;
      }
    }
  ASSERT_TRUE(found) << "the pictures fill their boxes completely";
  AddEnemy(6, fx, fy);
  EnemiesHitPlayer();
  EXPECT_EQ(8, ShieldCount);
  EXPECT_EQ(0, Count<Explosions>(ExplosionsList));
}

TEST_F(RamTest, InstallationsCostAShieldAndScoreAHundredByBoxAlone) {
  Structures* mine = AddStructure(8, PlayerX + 40, PlayerY);
  StructuresHitPlayer();
  EXPECT_EQ(100, Score);
  EXPECT_EQ(7, ShieldCount);
  EXPECT_EQ(9999, mine->HitPoints);
  EXPECT_TRUE(OffScreen(mine->x)) << mine->x;
  EXPECT_EQ(1, Count<Structures>(StructuresList));
}

TEST_F(RamTest, WhileInvulnerableTheBikePassesThroughEverythingTheBonusToo) {
  InvulnerableTicks = 1;
  AddEnemy(5, PlayerX + 40, PlayerY + 8);
  AddStructure(5, PlayerX + 40, PlayerY);
  AddStructure(3, PlayerX + 40, PlayerY);
  StructuresHitPlayer();
  EnemiesHitPlayer();
  EXPECT_EQ(8, ShieldCount);
  EXPECT_EQ(0, Score);
  EXPECT_EQ(2, Count<Structures>(StructuresList));
}

TEST_F(RamTest, TheBonusGivesFourShieldsShattersAndLeavesTheBikeVulnerable) {
  ShieldCount = 9;
  AddStructure(5, PlayerX + 40, PlayerY);
  AddEnemy(2, PlayerX + 40, PlayerY + 8);
  StructuresHitPlayer();
  EXPECT_EQ(13, ShieldCount);
  EXPECT_EQ(0, Count<Structures>(StructuresList));
  EXPECT_EQ(0, InvulnerableTicks);
  EXPECT_EQ(0, Count<Explosions>(ExplosionsList));
  EXPECT_EQ(0, Score);
  EXPECT_GT(Count<FruitJam>(FruitJamList), 0);
  // An enemy contact can still follow in the same frame.
  EnemiesHitPlayer();
  EXPECT_EQ(12, ShieldCount);
}

TEST_F(RamTest, TheLastShieldGoesBelowZeroAndOnlyOneIsLostPerFrame) {
  ShieldCount = 0;
  AddStructure(8, PlayerX + 40, PlayerY);
  AddEnemy(2, PlayerX + 40, PlayerY + 8);
  StructuresHitPlayer();
  EnemiesHitPlayer();
  EXPECT_EQ(-1, ShieldCount);
  EXPECT_EQ(1, Count<Shields>(ShieldsList));
}

// --- Shields, fragments and bursts --------------------------------------------

class EffectsTest : public PlayfieldTest {};

TEST_F(EffectsTest, ABubbleIsDrawnFortyTimesAndAFlashTwentyTwo) {
  NewShield(0, 300, 400);
  EXPECT_EQ(90, InvulnerableTicks);
  Shields* flash = Add<Shields>(ShieldsList);
  flash->ShieldType = 1;
  flash->Color = 255;
  Shields* odd = Add<Shields>(ShieldsList);
  odd->ShieldType = 2;  // neither drawn nor removed
  int bubbleDraws = 0, flashDraws = 0;
  for (int i = 0; i < 60; ++i) {
    bool hadBubble = false, hadFlash = false;
    for (Shields* s : Each<Shields>(ShieldsList)) {
      hadBubble |= s->ShieldType == 0;
      hadFlash |= s->ShieldType == 1;
    }
    bubbleDraws += hadBubble;
    flashDraws += hadFlash;
    DrawShields();
  }
  EXPECT_EQ(40, bubbleDraws);
  EXPECT_EQ(22, flashDraws);
  EXPECT_EQ(1, Count<Shields>(ShieldsList));
  const DrawState st = GetDrawState();
  EXPECT_EQ(1.0f, st.alpha);
  EXPECT_EQ(3, st.blend);
  EXPECT_EQ(255, st.red);
  EXPECT_EQ(255, st.blue);
}

TEST_F(EffectsTest, FragmentsSpiralApartFadeAndLastFiftyUpdates) {
  NewFrag(100, 100, 3, 0);
  NewFrag(100, 100, 3, 1);
  NewFrag(100, 100, 3, 3);
  UpdateFrags();
  Frags* left = First<Frags>(FragsList);
  EXPECT_FLOAT_EQ(98.6f, left->y) << "every piece sets off straight up";
  EXPECT_FLOAT_EQ(100, left->x);
  EXPECT_FLOAT_EQ(0.98f, left->Alpha);
  UpdateFrags();
  int k = 0;
  for (Frags* f : Each<Frags>(FragsList)) {
    if (k == 0) {
      EXPECT_FLOAT_EQ(-6, f->Angle);
    }
    if (k == 1) {
      EXPECT_FLOAT_EQ(6, f->Angle);
    }
    if (k == 2) {
      EXPECT_FLOAT_EQ(100 - 0.8f - 0.8f * static_cast<float>(CosDegrees(3)), f->y);
    }
    ++k;
  }
  for (int i = 2; i < 50; ++i) UpdateFrags();
  EXPECT_EQ(3, Count<Frags>(FragsList));
  UpdateFrags();
  EXPECT_EQ(0, Count<Frags>(FragsList));
}

TEST_F(EffectsTest, DrawingFragmentsLeavesAlphaAndRotationReset) {
  NewFrag(100, 100, 9, 3);
  NewFrag(100, 100, 55, 0);  // no such cells: skipped, not read past the strip
  UpdateFrags();
  DrawFrags();
  const DrawState st = GetDrawState();
  EXPECT_EQ(1.0f, st.alpha);
  EXPECT_EQ(0.0f, st.rotation);
}

TEST_F(EffectsTest, ABurstIsLaidOutAsThePictureAndItsPiecesFallAndVanish) {
  BurstBonus(100, 120);
  const int pieces = Count<FruitJam>(FruitJamList);
  EXPECT_GT(pieces, 20);
  EXPECT_LT(pieces, 80);
  for (FruitJam* p : Each<FruitJam>(FruitJamList)) {
    const int col = (TruncateToInt(p->x) - 100) / 4, row = (TruncateToInt(p->y) - 120) / 4;
    EXPECT_EQ(col + 10 * row, p->segment);
    EXPECT_EQ(-4, p->yadd);
    EXPECT_EQ(30, p->pause);
    if (col <= 5) {
      EXPECT_TRUE(p->xadd == 0 || p->xadd == -1);
    } else {
      EXPECT_TRUE(p->xadd == 0 || p->xadd == 1);
    }
  }
  PlayerSpeed = 8.5f;  // the world scrolls; the pieces keep their places
  for (int i = 0; i < 30; ++i) UpdateFruitJam();
  EXPECT_EQ(pieces, Count<FruitJam>(FruitJamList)) << "no random removal in the first 30 updates";
  for (int i = 0; i < 200; ++i) UpdateFruitJam();
  EXPECT_EQ(0, Count<FruitJam>(FruitJamList));
}

TEST_F(EffectsTest, ScreenshotOfAShieldHit) {
  AddEnemy(9, PlayerX + 40, PlayerY + 8);
  ClearDrawBuffer();
  DrawStars();
  DrawBackdrop();
  UpdatePlayerBullets();
  EnemiesHitPlayer();
  for (int i = 0; i < 12; ++i) {
    ClearDrawBuffer();
    DrawStars();
    DrawBackdrop();
    DrawExplosions();
    DrawPlayer();
    DrawShields();
    PresentFrame(-1);
  }
  EXPECT_TRUE(SaveScreenPNG(ShotPath("combat_shield_hit.png")));
  // The bubble sits over the bike: the frame is not blank there.
  EXPECT_NE(0u, ReadScreenPixel(TruncateToInt(PlayerX + 60), TruncateToInt(PlayerY + 20)));
}
