// Explosions: short additive animations that drift with the world and remove
// themselves after their last cell.
#include "gameplay/gameplay.h"
#include "res/assets.h"

namespace {
struct ExplosionLook {
  TImage** picture;
  int drawsPerCell;
  int cells;
};
// In the kinds' order: the blast, the puff, the centred blast.
const ExplosionLook kLooks[3] = {{&img_explosion, 3, 16}, {&img_poof, 5, 4}, {&img_explosion2, 3, 13}};

// None for a kind outside the list: such a record is never drawn and never ends.
const ExplosionLook* LookOf(const Explosions* e) {
  const int index = static_cast<int>(e->kind);
  return index >= 0 && index <= 2 ? &kLooks[index] : nullptr;
}
}  // namespace

void NewExplosion(int x, int y, ExplosionKind kind, int drift) {
  Explosions* e = SpawnAt<Explosions>(world.explosions, x, y);
  e->drift = static_cast<float>(drift);
  e->kind = kind;
}

void ScrollExplosions() {
  for (Explosions* e : Each<Explosions>(world.explosions))
    e->x = e->x - world.bike.speed * world.game.scrollFactor[2] + e->drift * 3.0f;
}

void DrawExplosions() {
  SetDrawBlendMode(BlendMode::Light);
  for (const Explosions* e : Each<Explosions>(world.explosions)) {
    const ExplosionLook* look = LookOf(e);
    if (!look) continue;
    const bool puff = e->kind == ExplosionKind::Puff;
    if (puff) SetDrawAlpha(0.5f);
    DrawImageFrame(*look->picture, e->x, e->y, e->frame);
    if (puff) SetDrawAlpha(1.0f);
  }
  SetDrawBlendMode(BlendMode::Alpha);
}

void AnimateExplosions() {
  for (Explosions* e : Each<Explosions>(world.explosions)) {
    const ExplosionLook* look = LookOf(e);
    if (!look) continue;
    if (++e->frameDelay >= look->drawsPerCell) {
      e->frameDelay = 0;
      if (++e->frame >= look->cells) world.explosions->Remove(e);
    }
  }
}
