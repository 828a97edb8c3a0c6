// Combat: the rectangle test, the bike's shots, the ground's shots and
// missiles, the bike running into things, and the effects these leave.
#include <climits>
#include <cmath>

#include "playfield.h"
#include "sound_log.h"

using namespace playfield;

namespace {
// One frame of the bike's shots, as the play pass runs it.
void PlayerShotsFrame() {
  UpdatePlayerBullets();
  DrawPlayerBullets();
  PlayerBulletsHitTargets();
}
// One frame of the ground's shots, as the play pass runs it.
void EnemyShotsFrame() {
  UpdateEnemyBullets();
  DrawEnemyBullets();
  AnimateEnemyBullets();
  EnemyBulletsHitPlayer();
}
}  // namespace

TEST(BoxesOverlapTest, ClosedBoxesAndNoWrapRoundAtTheIntRange) {
  EXPECT_TRUE(BoxesOverlap(0, 10, 23, 5, 23, 0, 40, 40));  // right edge on left edge
  EXPECT_FALSE(BoxesOverlap(0, 10, 23, 5, 24, 0, 40, 40));
  EXPECT_TRUE(BoxesOverlap(63, 40, 23, 5, 23, 0, 40, 40));  // left on right, top on bottom
  EXPECT_FALSE(BoxesOverlap(63, 41, 23, 5, 23, 0, 40, 40));
  EXPECT_FALSE(BoxesOverlap(30, -6, 23, 5, 23, 0, 40, 40));
  // Saturated positions: the sums must not wrap into a false answer.
  EXPECT_TRUE(BoxesOverlap(INT_MAX - 5, 0, 10, 10, INT_MAX - 3, 0, 2, 2));
  EXPECT_FALSE(BoxesOverlap(INT_MAX, 0, 10, 10, 0, 0, 10, 10));
  EXPECT_TRUE(BoxesOverlap(INT_MIN, INT_MIN, 10, 10, INT_MIN + 5, INT_MIN + 5, 1, 1));
}

class PlayerShotTest : public PlayfieldTest {};

TEST_F(PlayerShotTest, AnEdgeTouchHitsScoresAndSendsTheEnemyBackOffScreen) {
  Enemies* e = AddEnemy(EnemyType::SpikeBall, 23, 200);
  AddShot(9.1f, 210, -10);  // at -0.9, which tests as 0: right edge 23 meets the enemy
  PlayerShotsFrame();
  EXPECT_EQ(250, world.game.score);
  EXPECT_EQ(0, Count<PlayerBullets>(world.playerBullets));
  ASSERT_EQ(1, Count<Explosions>(world.explosions));
  EXPECT_EQ(11, First<Explosions>(world.explosions)->x);
  ASSERT_EQ(4, Count<Frags>(world.frags));
  const Frags* last = nullptr;
  for (Frags* f : Each<Frags>(world.frags)) last = f;
  EXPECT_TRUE(last->quarter == 3 && last->enemyType == EnemyType::SpikeBall && last->x == 53 && last->y == 230);
  EXPECT_TRUE(e->x >= -900 && e->x <= -40) << e->x;
  EXPECT_EQ(200, e->y);
}

TEST_F(PlayerShotTest, BandEdgesForShotsAndTargets) {
  AddEnemy(EnemyType::Jellyfish, 680, 100);
  AddEnemy(EnemyType::Jellyfish, -40, 300);
  AddShot(670, 110, 10);   // ends at 680 over the right-hand enemy: both stay
  AddShot(-20, 310, -10);  // ends at -30 over the left-hand one
  PlayerShotsFrame();
  EXPECT_EQ(0, world.game.score);
  EXPECT_EQ(2, Count<PlayerBullets>(world.playerBullets));
  PlayerShotsFrame();
  EXPECT_EQ(0, Count<PlayerBullets>(world.playerBullets));
}

TEST_F(PlayerShotTest, OneShotHitsTheFirstEnemyOnlyAndStillDamagesTheGunBehind) {
  Enemies* first = AddEnemy(EnemyType::Saucer, 300, 380);
  Enemies* second = AddEnemy(EnemyType::Bat, 300, 380);
  Structures* gun = AddStructure(Kind::GroundGun, 300, 412);
  for (Kind kind : {Kind::Beacon, Kind::LunarModule, Kind::Teleporter, Kind::ShieldBonus, Kind::CarrierLeft,
                    Kind::CarrierRight, Kind::Mine, Kind::Terraformer, Kind::Statue, Kind::Spire})
    AddStructure(kind, 300, 400);  // never hit
  AddShot(270, 410, 10);
  PlayerShotsFrame();
  EXPECT_EQ(250 + 1500, world.game.score);
  EXPECT_LT(first->x, 0);
  EXPECT_EQ(300, second->x);
  EXPECT_EQ(3, gun->hitPoints);
}

TEST_F(PlayerShotTest, TheFifthHitDestroysAFreshGunAndEveryLaterHitDestroysItAgain) {
  Structures* gun = AddStructure(Kind::FiringGun, 300, 412);
  for (int i = 0; i < 5; ++i) {
    AddShot(270, 420, 10);
    PlayerShotsFrame();
  }
  EXPECT_EQ(12000, world.game.score);
  EXPECT_EQ(5 + 8, Count<Explosions>(world.explosions));
  EXPECT_TRUE(gun->x >= 640 && gun->x <= 31000) << gun->x;
  gun->x = 300;
  AddShot(270, 420, 10);
  PlayerShotsFrame();
  EXPECT_EQ(16000, world.game.score);
  EXPECT_GE(gun->x, 640);
}

namespace {
// A seed whose first draw from 1 to 100 is the one given, for the draws that
// pick a side.
int SeedWhoseFirstPercentIs(int percent) {
  for (int seed = 1; seed < 100000; ++seed) {
    SetRandomSeed(seed);
    if (RandomIntInRange(1, 100) == percent) return seed;
  }
  return 0;
}
}  // namespace

// A shot-down enemy goes back off screen on the side it was hit: left of 320
// to -900 .. -40, right of 319 to 640 .. 2500. An enemy between 319 and 320
// is on both sides: both places are drawn, in that order, and the right-hand
// one stays.
TEST_F(PlayerShotTest, AnEnemyHitAtX319GoesLeftAt320RightAndBetweenTakesTheSecondDraw) {
  for (float at : {319.0f, 320.0f}) {
    ResetWorld();
    Enemies* e = AddEnemy(EnemyType::Jellyfish, at, 200);
    AddShot(290, 210, 10);
    PlayerShotsFrame();
    ASSERT_EQ(250, world.game.score) << "the shot missed the enemy at " << at;
    if (at < 320) {
      EXPECT_TRUE(e->x >= -900 && e->x <= -40) << "hit at " << at << ", back at " << e->x << ", not -900 .. -40";
    } else {
      EXPECT_TRUE(e->x >= 640 && e->x <= 2500) << "hit at " << at << ", back at " << e->x << ", not 640 .. 2500";
    }
  }
  ResetWorld();
  Enemies* e = AddEnemy(EnemyType::Jellyfish, 319.5f, 200);
  AddShot(290, 210, 10);
  SetRandomSeed(4321);
  const int left = RandomIntInRange(-900, -40), right = RandomIntInRange(640, 2500), after = RandomIntInRange(1, 1 << 30);
  SetRandomSeed(4321);
  PlayerShotsFrame();
  ASSERT_EQ(250, world.game.score);
  EXPECT_EQ(static_cast<float>(right), e->x) << "hit at 319.5: the left-hand draw was " << left;
  EXPECT_EQ(after, RandomIntInRange(1, 1 << 30)) << "hit at 319.5, both places are drawn";
}

class EnemyShotTest : public PlayfieldTest {
 protected:
  EnemyBullets* AddBullet(ShotKind kind, float x, float y, float xs, float ys, int life) {
    EnemyBullets* b = Add<EnemyBullets>(world.enemyBullets);
    b->kind = kind, b->x = x, b->y = y, b->xSpeed = xs, b->ySpeed = ys, b->life = life;
    return b;
  }
  EnemyBullets* AtBikeMiddle(ShotKind kind) {
    EXPECT_TRUE(ImagesOverlap(img_bike2, 272, 397, BikeFrame(Facing::Right), img_Shots_Enemy, 332, 425, 0));
    return AddBullet(kind, 332, 425, 0, 0, 400);
  }
};

TEST_F(EnemyShotTest, AimedShotsScatterBelowLevelSixAndFlyTrueFromIt) {
  double widest = 0;
  for (int level : {5, 6}) {
    world.game.level = level;
    for (int i = 0; i < 100; ++i) {
      NewEnemyBullet(100, 100, ShotKind::Aimed, 999);
      const EnemyBullets* b = First<EnemyBullets>(world.enemyBullets);
      ASSERT_NE(b, nullptr);
      EXPECT_NEAR(4.0, std::hypot(b->xSpeed, b->ySpeed), 1e-4);
      const double off = ATan2Degrees(b->xSpeed * 325 - b->ySpeed * 232, b->xSpeed * 232 + b->ySpeed * 325);
      if (level == 6) {
        EXPECT_NEAR(0, off, 0.01);
      }
      widest = std::max(widest, std::fabs(off));
      EXPECT_TRUE(b->life >= 90 && b->life <= 150);
      world.enemyBullets->Clear();
    }
  }
  EXPECT_TRUE(widest > 30 && widest < 45.01) << widest;
}

TEST_F(EnemyShotTest, AMissileFliesStraightNineUpdatesThenHomesClockwiseWhenTheTargetIsBehind) {
  world.bike.y = 100;  // target point (332, 128), out of the missiles' way
  NewEnemyBullet(400, 400, ShotKind::Missile, 0);
  EnemyBullets* m = First<EnemyBullets>(world.enemyBullets);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(296, m->heading);
  const float x0 = m->x + 9 * m->xSpeed;
  for (int i = 0; i < 9; ++i) EnemyShotsFrame();
  EXPECT_EQ(296, m->heading);
  EXPECT_NEAR(x0, m->x, 1e-3);
  EnemyShotsFrame();
  EXPECT_NE(296, m->heading);
  EnemyBullets* behind = AddBullet(ShotKind::Missile, 332, 300, 0, 0, 400);
  behind->heading = 180;
  EnemyBullets* ahead = AddBullet(ShotKind::Missile, 332, 300, 0, 0, 400);
  EnemyShotsFrame();
  EXPECT_EQ(188, behind->heading);
  EXPECT_EQ(0, ahead->heading);
  EXPECT_FLOAT_EQ(296, ahead->y);
}

TEST_F(EnemyShotTest, BulletsLeavePastTheBandEdgeOrAfterLifePlusOneUpdates) {
  world.bike.y = 32;
  EnemyBullets* right = AddBullet(ShotKind::Aimed, 676, 300, 4, 0, 100);
  AddBullet(ShotKind::Aimed, 100, 452, 0, 4, 100);
  EnemyBullets* brief = AddBullet(ShotKind::Aimed, 300, 300, 1, 0, 2);
  EnemyShotsFrame();
  EXPECT_EQ(680, right->x);
  EnemyShotsFrame();
  EnemyShotsFrame();
  EXPECT_EQ(303, brief->x);
  EXPECT_EQ(1, Count<EnemyBullets>(world.enemyBullets));
  EnemyShotsFrame();
  EXPECT_EQ(0, Count<EnemyBullets>(world.enemyBullets));
}

TEST_F(EnemyShotTest, AShotCostsAShieldOnceAndMissilesStrikeEvenAnInvulnerableBike) {
  AtBikeMiddle(ShotKind::Aimed);
  AtBikeMiddle(ShotKind::Aimed);
  EnemyShotsFrame();
  EXPECT_EQ(7, world.game.shieldCount);
  EXPECT_EQ(90, world.bike.invulnerableTicks);
  EXPECT_EQ(2, Count<EnemyBullets>(world.enemyBullets)) << "shots fly on through the bike";
  EXPECT_EQ(1, Count<ShieldEffects>(world.shieldEffects));

  ResetWorld();
  world.bike.invulnerableTicks = 50;
  AtBikeMiddle(ShotKind::Aimed);
  AtBikeMiddle(ShotKind::Missile)->straightTicks = 5;
  EnemyShotsFrame();
  EXPECT_EQ(8, world.game.shieldCount);
  EXPECT_EQ(50, world.bike.invulnerableTicks);
  EXPECT_EQ(1, Count<EnemyBullets>(world.enemyBullets)) << "the missile is gone";
  ASSERT_EQ(1, Count<ShieldEffects>(world.shieldEffects));
  EXPECT_EQ(ShieldEffect::Flash, First<ShieldEffects>(world.shieldEffects)->effect);
  ASSERT_NE(First<Explosions>(world.explosions), nullptr);
  EXPECT_EQ(ExplosionKind::Puff, First<Explosions>(world.explosions)->kind);
}

class RamTest : public PlayfieldTest {
 protected:
  static bool OffScreen(float x) { return (x >= -3000 && x <= -40) || (x >= 640 && x <= 3000); }
};

TEST_F(RamTest, EnemiesCostAShieldScoreByTypeAndOnlyTheFirstCounts) {
  Enemies* nine = AddEnemy(EnemyType::Wasp, 312, 405);
  Enemies* other = AddEnemy(EnemyType::SpringBot, 312, 405);
  EnemiesHitPlayer();
  EnemiesHitPlayer();
  EXPECT_EQ(900, world.game.score);
  EXPECT_EQ(7, world.game.shieldCount);
  EXPECT_EQ(90, world.bike.invulnerableTicks);
  EXPECT_TRUE(OffScreen(nine->x)) << nine->x;
  EXPECT_EQ(312, other->x);
  ASSERT_NE(First<Explosions>(world.explosions), nullptr);
  EXPECT_EQ(300, First<Explosions>(world.explosions)->x);

  ResetWorld();
  AddEnemy(EnemyType::Spinner, 292, 397);  // the spinner is tested centred and scores nothing
  EnemiesHitPlayer();
  EXPECT_EQ(0, world.game.score);
  EXPECT_EQ(7, world.game.shieldCount);
  ASSERT_NE(First<Explosions>(world.explosions), nullptr);
  EXPECT_EQ(272, First<Explosions>(world.explosions)->x);
}

// A rammed enemy or installation goes off screen on a side drawn first: a
// draw of 1 to 49 in 100 sends it left, to -3000 .. -40; 50 to 100 right, to
// 640 .. 3000.
TEST_F(RamTest, ADrawBelowFiftySendsARammedThingLeftFiftyAndAboveRight) {
  for (int percent : {49, 50}) {
    const int seed = SeedWhoseFirstPercentIs(percent);
    ASSERT_NE(0, seed);
    SetRandomSeed(seed);
    RandomIntInRange(1, 100);
    const int place = percent < 50 ? RandomIntInRange(-3000, -40) : RandomIntInRange(640, 3000);
    const char* side = percent < 50 ? "left, -3000 .. -40" : "right, 640 .. 3000";

    ResetWorld();
    Enemies* e = AddEnemy(EnemyType::Wasp, 312, 405);
    SetRandomSeed(seed);
    EnemiesHitPlayer();
    ASSERT_EQ(7, world.game.shieldCount) << "the enemy missed the bike";
    EXPECT_EQ(static_cast<float>(place), e->x) << "an enemy rammed with a side draw of " << percent << " goes " << side;

    ResetWorld();
    Structures* mine = AddStructure(Kind::Mine, 312, 397);
    SetRandomSeed(seed);
    StructuresHitPlayer();
    ASSERT_EQ(7, world.game.shieldCount) << "the mine missed the bike";
    EXPECT_EQ(static_cast<float>(place), mine->x) << "a mine rammed with a side draw of " << percent << " goes " << side;
  }
}

TEST_F(RamTest, OverlappingBoxesWithoutTouchingPixelsLeaveTheBikeUnharmed) {
  int found = 0;
  for (int y = 357; y <= 451 && !found; y += 2)
    for (int x = 249; x <= 366 && !found; x += 2)
      if (BoxesOverlap(289, 397, 77, 54, x, y, 40, 40) &&
          !ImagesOverlap(img_bike2, 272, 397, BikeFrame(Facing::Right), img_enemies, x, y, 0)) {
        AddEnemy(EnemyType::Manta, static_cast<float>(x), static_cast<float>(y));
        found = 1;
      }
  ASSERT_TRUE(found) << "the pictures fill their boxes";
  EnemiesHitPlayer();
  EXPECT_EQ(8, world.game.shieldCount);
}

TEST_F(RamTest, InstallationsHurtByBoxAloneAndTheBonusGivesFourShields) {
  world.bike.invulnerableTicks = 1;
  AddStructure(Kind::ShieldBonus, 312, 397);
  StructuresHitPlayer();
  EXPECT_EQ(1, Count<Structures>(world.structures)) << "no contact while invulnerable";
  world.bike.invulnerableTicks = 0;
  world.game.shieldCount = 9;
  StructuresHitPlayer();
  EXPECT_EQ(13, world.game.shieldCount);
  EXPECT_EQ(0, Count<Structures>(world.structures));
  EXPECT_EQ(0, world.bike.invulnerableTicks);
  EXPECT_GT(Count<Pieces>(world.pieces), 20);
  Structures* mine = AddStructure(Kind::Mine, 312, 397);
  AddEnemy(EnemyType::Jellyfish, 312, 405);
  world.game.shieldCount = 0;
  StructuresHitPlayer();
  EnemiesHitPlayer();
  EXPECT_EQ(-1, world.game.shieldCount) << "one shield a frame at most";
  EXPECT_EQ(100, world.game.score);
  EXPECT_TRUE(OffScreen(mine->x)) << mine->x;
}

class EffectsTest : public PlayfieldTest {};

TEST_F(EffectsTest, ABubbleShowsFortyFramesAFlashTwentyTwo) {
  NewShieldEffect(ShieldEffect::Bubble, 300, 400);
  ShieldEffects* flash = Add<ShieldEffects>(world.shieldEffects);
  flash->effect = ShieldEffect::Flash, flash->grey = 255;
  Add<ShieldEffects>(world.shieldEffects)->effect = static_cast<ShieldEffect>(2);  // neither drawn nor removed
  for (int i = 0; i < 60; ++i) DrawShieldEffects();
  EXPECT_EQ(3, Count<ShieldEffects>(world.shieldEffects)) << "drawing ages no effect";
  int counts[2] = {0, 0};
  for (int i = 0; i < 60; ++i) {
    for (ShieldEffects* s : Each<ShieldEffects>(world.shieldEffects))
      if (s->effect != static_cast<ShieldEffect>(2)) ++counts[static_cast<int>(s->effect)];
    DrawShieldEffects();
    AnimateShieldEffects();
  }
  EXPECT_EQ(40, counts[0]);
  EXPECT_EQ(22, counts[1]);
  EXPECT_EQ(1, Count<ShieldEffects>(world.shieldEffects));
  const DrawState st = GetDrawState();
  EXPECT_TRUE(st.alpha == 1 && st.blend == BlendMode::Alpha && st.red == 255 && st.blue == 255);
}

TEST_F(EffectsTest, FragmentsCurlApartForFiftyUpdates) {
  NewFrag(100, 100, EnemyType::SpringBot, 0);
  NewFrag(100, 100, EnemyType::SpringBot, 1);
  NewFrag(100, 100, static_cast<EnemyType>(55), 3);  // cells the picture lacks are not drawn
  UpdateFrags();
  DrawFrags();
  Frags* left = First<Frags>(world.frags);
  ASSERT_NE(left, nullptr);
  EXPECT_FLOAT_EQ(98.6f, left->y);
  EXPECT_FLOAT_EQ(0.98f, left->alpha);
  UpdateFrags();
  EXPECT_FLOAT_EQ(-6, left->angle);
  for (int i = 2; i < 50; ++i) UpdateFrags();
  EXPECT_EQ(3, Count<Frags>(world.frags));
  UpdateFrags();
  EXPECT_EQ(0, Count<Frags>(world.frags));
  EXPECT_EQ(0, GetDrawState().rotation);
}

TEST_F(EffectsTest, ABurstIsLaidOutAsThePictureAndFallsAway) {
  BurstBonus(100, 120);
  const int pieces = Count<Pieces>(world.pieces);
  EXPECT_TRUE(pieces > 20 && pieces < 80) << pieces;
  for (Pieces* p : Each<Pieces>(world.pieces)) {
    const int col = (TruncateToInt(p->x) - 100) / 4, row = (TruncateToInt(p->y) - 120) / 4;
    EXPECT_EQ(col + 10 * row, p->cell);
    EXPECT_TRUE(col <= 5 ? (p->xSpeed == 0 || p->xSpeed == -1) : (p->xSpeed == 0 || p->xSpeed == 1));
  }
  for (int i = 0; i < 30; ++i) MoveAndDrawBonusPieces();
  EXPECT_EQ(pieces, Count<Pieces>(world.pieces)) << "no random removal in the first 30 updates";
  for (int i = 0; i < 200; ++i) MoveAndDrawBonusPieces();
  EXPECT_EQ(0, Count<Pieces>(world.pieces));
}

// Each of the bonus's hundred cells becomes a piece with odds of 52 in 100.
// Over two thousand bursts the share lies within a tenth of a point of that
// by chance; one point more or less is well outside.
TEST_F(EffectsTest, EachCellOfABurstBecomesAPieceFiftyTwoTimesInAHundred) {
  constexpr int kBursts = 2000;
  int64_t pieces = 0;
  for (int i = 0; i < kBursts; ++i) {
    BurstBonus(100, 120);
    pieces += Count<Pieces>(world.pieces);
    world.pieces->Clear();
  }
  const double share = static_cast<double>(pieces) / (kBursts * 100.0);
  EXPECT_NEAR(0.52, share, 0.005) << pieces << " pieces from " << kBursts << " bursts of 100 cells";
}

TEST_F(EffectsTest, ScreenshotOfAShieldHit) {
  AddEnemy(EnemyType::Wasp, 312, 405);
  EnemiesHitPlayer();
  for (int i = 0; i < 12; ++i) {
    ClearDrawBuffer();
    DrawBackdrop();
    DrawExplosions();
    AnimateExplosions();
    DrawPlayer();
    UpdatePlayer();
    DrawShieldEffects();
    AnimateShieldEffects();
    PresentFrame(-1);
  }
  EXPECT_TRUE(SaveScreenPNG("combat_shield_hit.png"));
  EXPECT_NE(0u, ReadScreenPixel(332, 417));
}

// Every way a fight makes a sound, each heard only with effects on.
class CombatSoundTest : public PlayfieldTest {
 protected:
  static std::string Outcome() {
    return std::to_string(world.game.score) + " score, " + std::to_string(world.game.shieldCount) + " shields, " +
           std::to_string(world.bike.invulnerableTicks) + " ticks, " +
           std::to_string(Count<Explosions>(world.explosions)) + " explosions, " +
           std::to_string(Count<ShieldEffects>(world.shieldEffects)) + " shield effects";
  }
  static void Bullet(ShotKind kind) {
    EnemyBullets* b = Add<EnemyBullets>(world.enemyBullets);
    b->kind = kind, b->x = 332, b->y = 425, b->life = 400, b->straightTicks = 5;  // on the bike's middle
  }
};

TEST_F(CombatSoundTest, EachHitPathPlaysItsOwnSounds) {
  const auto reset = [] { ResetWorld(); };
  const soundlog::Path paths[] = {
      {"the bike fires", reset, [] { FirePlayerBullet(); }, {snd_PlayerShoot}, Outcome},
      {"a shot downs an enemy",
       [] { ResetWorld(), AddEnemy(EnemyType::SpikeBall, 300, 200), AddShot(270, 210, 10); },
       PlayerShotsFrame,
       {snd_EnemyExplosion1},
       Outcome},
      {"a shot hits a gun",
       [] { ResetWorld(), AddStructure(Kind::GroundGun, 300, 412), AddShot(270, 420, 10); },
       PlayerShotsFrame,
       {snd_EnemyExplosion1},
       Outcome},
      {"a shot destroys a gun",
       [] { ResetWorld(), AddStructure(Kind::FiringGun, 300, 412)->hitPoints = 0, AddShot(270, 420, 10); },
       PlayerShotsFrame,
       {snd_EnemyExplosion1, snd_EnemyExplosion2},
       Outcome},
      {"an aimed shot strikes the bike",
       [] { ResetWorld(), Bullet(ShotKind::Aimed); },
       EnemyShotsFrame,
       {snd_bzzzt, snd_EnemyExplosion1},
       Outcome},
      {"a missile strikes the bike",
       [] { ResetWorld(), Bullet(ShotKind::Missile); },
       EnemyShotsFrame,
       {snd_MissileHit},
       Outcome},
      {"an enemy rams the bike",
       [] { ResetWorld(), AddEnemy(EnemyType::Wasp, 312, 405); },
       EnemiesHitPlayer,
       {snd_bzzzt, snd_EnemyExplosion1},
       Outcome},
      {"the bike runs into a mine",
       [] { ResetWorld(), AddStructure(Kind::Mine, 312, 397); },
       StructuresHitPlayer,
       {snd_bzzzt, snd_EnemyExplosion1},
       Outcome},
      {"the bike takes the bonus",
       [] { ResetWorld(), AddStructure(Kind::ShieldBonus, 312, 397); },
       StructuresHitPlayer,
       {snd_TakeShield},
       Outcome},
  };
  for (const soundlog::Path& path : paths) soundlog::ExpectSoundsOnlyWithEffects(path);
}
