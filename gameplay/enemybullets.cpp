// Shots from the ground: aimed shots from the firing guns, which fly straight
// at the bike, and homing missiles from the gun carriers, which leave on a
// fixed heading and then turn toward the bike 8 degrees a frame.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/music.h"

namespace {

// The middle of the bike's 120 x 55 picture, where every bullet aims.
float TargetX() { return world.bike.x + 60; }
float TargetY() { return world.bike.y + 28; }

void Strike(EnemyBullets* b) {
  if (b->kind == ShotKind::Aimed) {
    // KEPT: the shot flies on through the bike; only the invulnerability it
    // has just caused keeps it from hitting twice.
    BikeLosesShield();
    return;
  }
  // A missile costs no shield: a flash, a puff, and it is gone.
  auto flash = ObjectNew<ShieldEffects>();
  world.shieldEffects->AddLast(flash);
  flash->effect = ShieldEffect::Flash;
  flash->x = TruncateToInt(world.bike.x);
  flash->y = TruncateToInt(world.bike.y);
  flash->grey = 255;
  PlaySfx(snd_MissileHit);
  NewExplosion(TruncateToInt(b->x), TruncateToInt(b->y), ExplosionKind::Puff, 0);
  world.enemyBullets->Remove(b);
}

void Home(EnemyBullets* b) {
  const float t = static_cast<float>(
      FloatMod(ATan2Degrees(b->y - TargetY(), b->x - TargetX()) + 270, 360));
  float d = t - static_cast<float>(b->heading);
  if (d < 0) d += 360;
  if (d > 2 && d <= 180) {
    b->heading += 8;
    if (b->heading >= 360) b->heading -= 360;
  } else if (d > 180 && d < 358) {
    b->heading -= 8;
    if (b->heading < 0) b->heading += 360;
  }
}

}  // namespace

void NewEnemyBullet(int x, int y, ShotKind kind, int side) {
  auto b = ObjectNew<EnemyBullets>();
  world.enemyBullets->AddLast(b);
  float a;
  if (kind == ShotKind::Aimed) {
    a = 90 + static_cast<float>(ATan2Degrees(TargetY() - static_cast<float>(y), TargetX() - static_cast<float>(x)));
    // Below level 6 the guns scatter by up to 45 degrees either way.
    if (world.game.level < 6) a += static_cast<float>(RandomIntInRange(-45, 45));
    b->life = RandomIntInRange(90, 150);
  } else {
    a = side == 0 ? 296.0f : side == 1 ? 65.0f : 0.0f;
    b->life = 400;
    b->straightTicks = 10;
    b->frame = RandomIntInRange(0, 3);
  }
  b->x = static_cast<float>(x);
  b->y = static_cast<float>(y);
  b->heading = TruncateToInt(a);
  b->xSpeed = 4 * static_cast<float>(SinDegrees(a));
  b->ySpeed = -4 * static_cast<float>(CosDegrees(a));
  b->kind = kind;
}

void UpdateEnemyBullets() {
  const float s = world.bike.speed * world.game.scrollFactor[2];
  for (EnemyBullets* b : Each<EnemyBullets>(world.enemyBullets)) {
    if (b->x > 680 || b->x < -30 || b->y < 32 || b->y > 456 || b->life < 0) {
      world.enemyBullets->Remove(b);
      continue;
    }
    b->life -= 1;
    if (b->straightTicks > 0) b->straightTicks -= 1;

    if (b->kind == ShotKind::Aimed || b->straightTicks > 0) {
      b->x = b->x - s + b->xSpeed;
      b->y += b->ySpeed;
    } else {
      Home(b);
      b->x = b->x - s + 4 * static_cast<float>(SinDegrees(b->heading));
      b->y += -4 * static_cast<float>(CosDegrees(b->heading));
    }
  }
}

void DrawEnemyBullets() {
  for (const EnemyBullets* b : Each<EnemyBullets>(world.enemyBullets)) {
    if (b->kind == ShotKind::Aimed) {
      DrawImageFrame(img_Shots_Enemy, b->x, b->y, 0);
    } else {
      SetDrawRotation(static_cast<float>(b->heading + 270));
      if (b->frame >= 0 && b->frame <= 3) DrawImageFrame(img_MissileGFX, b->x, b->y, b->frame);
      SetDrawRotation(0);
    }
  }
}

void AnimateEnemyBullets() {
  for (EnemyBullets* b : Each<EnemyBullets>(world.enemyBullets)) {
    if (b->kind == ShotKind::Aimed) continue;
    b->frameDelay += 1;
    if (b->frameDelay > 5) {
      b->frameDelay = 0;
      b->frame += 1;
      if (b->frame > 3) b->frame = 0;
    }
  }
}

void EnemyBulletsHitPlayer() {
  for (EnemyBullets* b : Each<EnemyBullets>(world.enemyBullets)) {
    // KEPT: the pixel test uses the aimed shot's picture for missiles too.
    if (BoxesOverlap(TruncateToInt(world.bike.x + 17), TruncateToInt(world.bike.y), 77, 54, TruncateToInt(b->x),
                     TruncateToInt(b->y), 16, 16) &&
        (world.bike.invulnerableTicks == 0 || b->kind != ShotKind::Aimed) &&
        ImagesOverlap(img_bike2, TruncateToInt(world.bike.x), TruncateToInt(world.bike.y), BikeFrame(world.bike.facing),
                      img_Shots_Enemy, TruncateToInt(b->x), TruncateToInt(b->y), 0))
      Strike(b);
  }
}
