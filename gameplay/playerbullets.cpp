// The bike's shots and the rectangle test that every collision starts with.
#include <cstdint>

#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/music.h"

bool BoxesOverlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
  // Sums are taken in 64 bits: positions near the int range (a far-flung
  // record truncated with saturation) must not wrap round and fake a hit.
  const int64_t l1 = x1, t1 = y1, l2 = x2, t2 = y2;
  if (l1 > l2 + w2) return false;
  if (l1 + w1 < l2) return false;
  if (t1 > t2 + h2) return false;
  if (t1 + h1 < t2) return false;
  return true;
}

namespace {

// A flying enemy shot down: the big explosion, four spinning quarters, 250
// points, and the enemy reappears off screen on the side it was nearer to.
void ShootDownEnemy(Enemies* e) {
  NewExplosion(TruncateToInt(e->x - 12), TruncateToInt(e->y - 12), ExplosionKind::Blast, 0);
  NewFrag(TruncateToInt(e->x + 10), TruncateToInt(e->y + 10), e->type, 0);
  NewFrag(TruncateToInt(e->x + 30), TruncateToInt(e->y + 10), e->type, 1);
  NewFrag(TruncateToInt(e->x + 10), TruncateToInt(e->y + 30), e->type, 2);
  NewFrag(TruncateToInt(e->x + 30), TruncateToInt(e->y + 30), e->type, 3);
  PlaySfx(snd_EnemyExplosion1);
  world.game.score += 250;
  // KEPT: both tests look at where the enemy was hit, so a position between
  // 319 and 320 draws both places and takes the right-hand one.
  const float was = e->x;
  if (was < 320) e->x = static_cast<float>(RandomIntInRange(-900, -40));
  if (was > 319) e->x = static_cast<float>(RandomIntInRange(640, 2500));
}

bool IsGroundGun(StructureKind kind) {
  return kind == StructureKind::GroundGun || kind == StructureKind::FiringGun;
}

// A ground gun hit: each hit scores 1500 on the plain gun, 2000 on the firing
// one; the hit that takes its hit points below zero scores that again, blows
// it up and moves it elsewhere on the strip.
// KEPT: the hit points are not restored, so every later hit destroys the gun
// again.
void HitGroundGun(Structures* s) {
  NewExplosion(TruncateToInt(s->x - 12), TruncateToInt(s->y - 12), ExplosionKind::Blast, 0);
  PlaySfx(snd_EnemyExplosion1);
  const int points = s->kind == StructureKind::GroundGun ? 1500 : 2000;
  world.game.score += points;
  s->hitPoints -= 1;
  if (s->hitPoints < 0) {
    world.game.score += points;
    for (int i = 0; i < 8; ++i) {
      const int dx = RandomIntInRange(4, 36);
      const int dy = RandomIntInRange(4, 36);
      NewExplosion(TruncateToInt(s->x + static_cast<float>(dx)), TruncateToInt(s->y + static_cast<float>(dy)),
                   ExplosionKind::CentredBlast, 0);
    }
    PlaySfx(snd_EnemyExplosion2);
    s->x = static_cast<float>(RandomIntInRange(640, 31000));
  }
}

}  // namespace

void UpdatePlayerBullets() {
  for (PlayerBullets* b : Each<PlayerBullets>(world.playerBullets)) {
    b->x += b->xSpeed;
    if (b->x > 680 || b->x < -30) world.playerBullets->Remove(b);
  }
}

void DrawPlayerBullets() {
  for (const PlayerBullets* b : Each<PlayerBullets>(world.playerBullets))
    DrawImageFrame(img_playerbullet, b->x, b->y, 0);
}

void PlayerBulletsHitTargets() {
  for (PlayerBullets* b : Each<PlayerBullets>(world.playerBullets)) {
    const int bx = TruncateToInt(b->x), by = TruncateToInt(b->y);

    for (Enemies* e : Each<Enemies>(world.enemies)) {
      if (!(e->x > -40 && e->x < 680)) continue;
      if (BoxesOverlap(bx, by, 23, 5, TruncateToInt(e->x), TruncateToInt(e->y), 40, 40)) {
        ShootDownEnemy(e);
        world.playerBullets->Remove(b);
        break;
      }
    }

    // KEPT: the same shot is still tested against the guns, even when it has
    // just brought an enemy down: one shot can score twice in one frame.
    for (Structures* s : Each<Structures>(world.structures)) {
      if (!IsGroundGun(s->kind)) continue;
      if (!(s->x > -40 && s->x < 680)) continue;
      if (BoxesOverlap(bx, by, 23, 5, TruncateToInt(s->x), TruncateToInt(s->y), 40, 40)) {
        HitGroundGun(s);
        world.playerBullets->Remove(b);
        break;
      }
    }
  }
}
