// Shots from the ground: aimed shots from the firing guns, which fly straight
// at the bike, and homing missiles from the gun carriers, which leave on a
// fixed heading and then turn toward the bike 8 degrees a frame.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "shell/music.h"

namespace {

int Trunc(float v) { return TruncateToInt(v); }

// The middle of the bike's 120 x 55 picture, where every bullet aims.
float TargetX() { return PlayerX + 60; }
float TargetY() { return PlayerY + 28; }

void Strike(EnemyBullets* b) {
  if (b->WhatType == 0) {
    // The shot flies on through the bike; the invulnerability it has just
    // caused keeps it from hitting twice.
    NewShield(0, Trunc(PlayerX + 56), Trunc(PlayerY + 32));
    PlaySfx(snd_EnemyExplosion1);
    ShieldCount -= 1;
    return;
  }
  // A missile costs no shield: a flash, a puff, and it is gone.
  auto flash = ObjectNew<Shields>();
  ShieldsList->AddLast(flash);
  flash->ShieldType = 1;
  flash->x = Trunc(PlayerX);
  flash->y = Trunc(PlayerY);
  flash->Color = 255;
  PlaySfx(snd_MissileHit);
  NewExplosion(Trunc(b->x), Trunc(b->y), 1, 0);
  EnemyBulletsList->Remove(b);
}

void Home(EnemyBullets* b) {
  const float t = static_cast<float>(
      FloatMod(ATan2Degrees(b->y - TargetY(), b->x - TargetX()) + 270, 360));
  float d = t - static_cast<float>(b->Angle);
  if (d < 0) d += 360;
  if (d > 2 && d <= 180) {
    b->Angle += 8;
    if (b->Angle >= 360) b->Angle -= 360;
  } else if (d > 180 && d < 358) {
    b->Angle -= 8;
    if (b->Angle < 0) b->Angle += 360;
  }
}

}  // namespace

void NewEnemyBullet(int x, int y, int kind, int side) {
  auto b = ObjectNew<EnemyBullets>();
  EnemyBulletsList->AddLast(b);
  float a;
  if (kind == 0) {
    a = 90 + static_cast<float>(ATan2Degrees(TargetY() - static_cast<float>(y), TargetX() - static_cast<float>(x)));
    // Below level 6 the guns scatter by up to 45 degrees either way.
    if (LevelNumber < 6) a += static_cast<float>(RandomIntInRange(-45, 45));
    b->life = RandomIntInRange(90, 150);
  } else {
    a = side == 0 ? 296.0f : side == 1 ? 65.0f : 0.0f;
    b->life = 400;
    b->GoStraight = 10;
    b->Frame = RandomIntInRange(0, 3);
  }
  b->x = static_cast<float>(x);
  b->y = static_cast<float>(y);
  b->Angle = TruncateToInt(a);
  b->xspeed = 4 * static_cast<float>(SinDegrees(a));
  b->yspeed = -4 * static_cast<float>(CosDegrees(a));
  b->WhatType = kind;
}

void UpdateEnemyBullets() {
  const float s = PlayerSpeed * ScrollFactor[2];
  for (EnemyBullets* b : Each<EnemyBullets>(EnemyBulletsList)) {
    if (b->x > 680 || b->x < -30 || b->y < 32 || b->y > 456 || b->life < 0) {
      EnemyBulletsList->Remove(b);
      continue;
    }
    b->life -= 1;
    if (b->GoStraight > 0) b->GoStraight -= 1;

    if (b->WhatType == 0) {
      b->x = b->x - s + b->xspeed;
      b->y += b->yspeed;
      DrawImageFrame(img_Shots_Enemy, b->x, b->y, 0);
    } else {
      if (b->GoStraight > 0) {
        b->x = b->x - s + b->xspeed;
        b->y += b->yspeed;
      } else {
        Home(b);
        b->x = b->x - s + 4 * static_cast<float>(SinDegrees(b->Angle));
        b->y += -4 * static_cast<float>(CosDegrees(b->Angle));
      }
      SetDrawRotation(static_cast<float>(b->Angle + 270));
      if (b->Frame >= 0 && b->Frame <= 3) DrawImageFrame(img_MissileGFX, b->x, b->y, b->Frame);
      SetDrawRotation(0);
      b->FrameDelay += 1;
      if (b->FrameDelay > 5) {
        b->FrameDelay = 0;
        b->Frame += 1;
        if (b->Frame > 3) b->Frame = 0;
      }
    }

    // The pixel test uses the aimed shot's picture for missiles too.
    if (BoxesOverlap(Trunc(PlayerX + 17), Trunc(PlayerY), 77, 54, Trunc(b->x), Trunc(b->y), 16, 16) &&
        (InvulnerableTicks == 0 || b->WhatType != 0) &&
        ImagesOverlap(img_bike2, Trunc(PlayerX), Trunc(PlayerY), Facing, img_Shots_Enemy, Trunc(b->x),
                      Trunc(b->y), 0))
      Strike(b);
  }
}
