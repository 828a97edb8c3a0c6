// Short-lived effects: the shield bubble and the missile flash around the
// bike, the four spinning quarters of a shot-down enemy, and the burst of
// small pieces the shield bonus breaks into when the bike takes it.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/music.h"

namespace {

// Draws a cell only when the picture has it; a record carrying a cell number
// the picture lacks is skipped rather than read past the strip.
void DrawCell(TImage* image, float x, float y, int cell) {
  if (!image || cell < 0 || cell >= ImageFrameCount(image)) return;
  DrawImageFrame(image, x, y, cell);
}

}  // namespace

void BikeLosesShield() {
  NewShieldEffect(ShieldEffect::Bubble, TruncateToInt(world.bike.x + 56), TruncateToInt(world.bike.y + 32));
  PlaySfx(snd_EnemyExplosion1);
  world.game.shieldCount -= 1;
}

void NewShieldEffect(ShieldEffect effect, int x, int y) {
  PlaySfx(snd_bzzzt);
  world.bike.invulnerableTicks = 90;
  auto s = ObjectNew<ShieldEffects>();
  world.shieldEffects->AddLast(s);
  s->effect = effect;
  s->x = x;
  s->y = y;
  s->grey = 255;
  s->frame = 0;
  s->frameDelay = 0;
  if (effect == ShieldEffect::Bubble) s->zoom = 0.02f;
}

void DrawShieldEffects() {
  SetDrawColour(255, 255, 255);
  for (const ShieldEffects* s : Each<ShieldEffects>(world.shieldEffects)) {
    if (s->effect == ShieldEffect::Bubble) {
      // The bubble: eight cells, following the bike.
      SetDrawBlendMode(BlendMode::Alpha);
      SetDrawAlpha(0.7f);
      if (world.bike.facing == Facing::Right)
        DrawCell(img_shield_fx, world.bike.x + 12, world.bike.y - 6, s->frame);
      else
        DrawCell(img_shield_fx, world.bike.x + 12, world.bike.y - 9, s->frame + 8);
    } else if (s->effect == ShieldEffect::Flash) {
      // The flash of a missile strike: additive, at its grey.
      SetDrawBlendMode(BlendMode::Light);
      SetDrawAlpha(0.2f);
      SetDrawColour(s->grey, s->grey, s->grey);
      if (world.bike.facing == Facing::Right)
        DrawCell(img_shield2, world.bike.x - 5, world.bike.y - 3, 1);
      else
        DrawCell(img_shield2, world.bike.x - 7, world.bike.y - 3, 0);
      SetDrawColour(255, 255, 255);
    }
  }
  SetDrawAlpha(1);
  SetDrawBlendMode(BlendMode::Alpha);
}

void AnimateShieldEffects() {
  for (ShieldEffects* s : Each<ShieldEffects>(world.shieldEffects)) {
    if (s->effect == ShieldEffect::Bubble) {
      // Five frames a cell; gone after the eighth.
      s->frameDelay += 1;
      if (s->frameDelay >= 5) {
        s->frameDelay = 0;
        s->frame += 1;
        if (s->frame >= 8) world.shieldEffects->Remove(s);
      }
    } else if (s->effect == ShieldEffect::Flash) {
      // Fading from grey 255 by 12 a frame.
      s->grey -= 12;
      if (s->grey <= 0) world.shieldEffects->Remove(s);
    }
  }
}

void NewFrag(int x, int y, EnemyType enemyType, int quarter) {
  Frags* f = SpawnAt<Frags>(world.frags, x, y);
  f->enemyType = enemyType;
  f->quarter = quarter;
  f->angle = 0;
  f->alpha = 1;
}

void UpdateFrags() {
  for (Frags* f : Each<Frags>(world.frags)) {
    const float s = static_cast<float>(SinDegrees(f->angle));
    const float c = static_cast<float>(CosDegrees(f->angle));
    switch (f->quarter) {
      case 0:  // top-left: fast, curling left
        f->x += s * 1.4f;
        f->y -= c * 1.4f;
        f->angle = static_cast<float>(FloatMod(f->angle - 3, 360));
        break;
      case 1:  // top-right: fast, curling right
        f->x += s * 1.4f;
        f->y -= c * 1.4f;
        f->angle += 3;
        break;
      case 2:  // bottom-left: slower
        f->x += s * 0.9f;
        f->y -= c * 0.8f;
        f->angle = static_cast<float>(FloatMod(f->angle - 3, 360));
        break;
      case 3:  // bottom-right: slower
        f->x += s * 0.9f;
        f->y -= c * 0.8f;
        f->angle += 3;
        break;
      default:
        continue;
    }
    f->alpha -= 0.02f;
    if (f->alpha < 0) world.frags->Remove(f);
  }
}

void DrawFrags() {
  for (const Frags* f : Each<Frags>(world.frags)) {
    SetDrawAlpha(f->alpha);
    SetDrawRotation(f->angle);
    const EnemyLook* look = LookOf(f->enemyType);
    if (look && f->quarter >= 0 && f->quarter <= 3) DrawCell(img_frags, f->x, f->y, look->firstFrag + f->quarter);
  }
  SetDrawAlpha(1);
  SetDrawRotation(0);
}

void BurstBonus(int x, int y) {
  for (int i = 0; i <= 9; ++i) {
    for (int j = 0; j <= 9; ++j) {
      const int r = RandomIntInRange(1, 100);
      if (r <= 48) continue;
      Pieces* p = SpawnAt<Pieces>(world.pieces, x + 4 * i, y + 4 * j);
      p->ySpeed = -4;
      p->vanishDelay = 30;
      p->cell = i + 10 * j;
      // The left six columns drift left or stay, the right four drift right.
      if (i <= 5)
        p->xSpeed = static_cast<float>(-RandomIntInRange(0, 1));
      else
        p->xSpeed = static_cast<float>(RandomIntInRange(0, 1));
    }
  }
}

// One routine, piece by piece, because the pieces' random draws interleave:
// a piece falls (two draws), is drawn where it fell, and only then may vanish
// (a third draw) before the next piece falls. Splitting the fall from the
// drawing would either reorder those draws or lose the last picture of a
// vanishing piece.
void MoveAndDrawBonusPieces() {
  for (Pieces* p : Each<Pieces>(world.pieces)) {
    p->ySpeed += 0.25f;
    p->y = (p->y + p->ySpeed) + static_cast<float>(RandomIntInRange(0, 1));
    p->x = p->x + p->xSpeed * static_cast<float>(RandomIntInRange(0, 1));
    DrawCell(img_ShieldFrags, p->x, p->y, p->cell);
    p->vanishDelay -= 1;
    if ((p->vanishDelay < 0 && RandomIntInRange(1, 10) == 1) || p->y > 447) world.pieces->Remove(p);
  }
}
