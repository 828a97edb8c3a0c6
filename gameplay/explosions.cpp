// Explosions: short additive animations that drift with the world and remove
// themselves after their last cell.
#include "gameplay/gameplay.h"
#include "res/assets.h"

namespace {
struct ExplosionKind {
  TImage** picture;
  int drawsPerCell;
  int cells;
};
// 0 the big blast (top-left anchored), 1 the carriers' puff, 2 the centred blast.
const ExplosionKind kKinds[3] = {{&img_explosion, 3, 16}, {&img_poof, 5, 4}, {&img_explosion2, 3, 13}};
}  // namespace

void NewExplosion(int x, int y, int whichone, int xspeed) {
  auto e = ObjectNew<Explosions>();
  ExplosionsList->AddLast(e);
  e->x = static_cast<float>(x);
  e->y = static_cast<float>(y);
  e->xspeed = static_cast<float>(xspeed);
  e->whichone = whichone;
}

void ScrollExplosions() {
  for (Explosions* e : Each<Explosions>(ExplosionsList))
    e->x = e->x - PlayerSpeed * ScrollFactor[2] + e->xspeed * 3.0f;
}

void DrawExplosions() {
  SetDrawBlendMode(4);
  for (Explosions* e : Each<Explosions>(ExplosionsList)) {
    if (e->whichone < 0 || e->whichone > 2) continue;
    const ExplosionKind& kind = kKinds[e->whichone];
    if (e->whichone == 1) SetDrawAlpha(0.5f);
    DrawImageFrame(*kind.picture, e->x, e->y, e->frame);
    if (e->whichone == 1) SetDrawAlpha(1.0f);
    if (++e->fdelay >= kind.drawsPerCell) {
      e->fdelay = 0;
      if (++e->frame >= kind.cells) ExplosionsList->Remove(e);
    }
  }
  SetDrawBlendMode(3);
}
