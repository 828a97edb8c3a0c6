// The bike running into flying enemies and ground installations: a shield
// lost and the culprit blown up and moved away, or, for the bonus, four
// shields gained. At most one contact is handled per call.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "shell/music.h"

namespace {

int Trunc(float v) { return TruncateToInt(v); }

// The bike's body box, shared by the enemy and installation tests.
int TouchesBikeBody(float x, float y) {
  return BoxesOverlap(Trunc(PlayerX + 17), Trunc(PlayerY), 77, 54, Trunc(x), Trunc(y), 40, 40);
}

// Hit things reappear off screen, on a side chosen at random.
float SomewhereOffScreen() {
  const int r = RandomIntInRange(1, 100);
  if (r < 50) return static_cast<float>(RandomIntInRange(-3000, -40));
  return static_cast<float>(RandomIntInRange(640, 3000));
}

void LoseShield(int explosionX, int explosionY, int points) {
  NewExplosion(explosionX, explosionY, 0, 0);
  NewShield(0, Trunc(PlayerX + 56), Trunc(PlayerY + 32));
  PlaySfx(snd_EnemyExplosion1);
  Score += points;
  ShieldCount -= 1;
}

}  // namespace

void EnemiesHitPlayer() {
  for (Enemies* e : Each<Enemies>(EnemiesList)) {
    if (!(e->x > -40 && e->x < 680)) continue;
    int ex, ey;
    if (e->enemy == 0) {
      // The spinner is drawn centred and is tested upright.
      if (!BoxesOverlap(Trunc(PlayerX), Trunc(PlayerY), 120, 55, Trunc(e->x + 20), Trunc(e->y + 20), 40, 40))
        continue;
      if (InvulnerableTicks != 0) continue;
      if (!ImagesOverlap(img_bike2, Trunc(PlayerX), Trunc(PlayerY), Facing, img_enemies_one, Trunc(e->x + 20),
                         Trunc(e->y + 20), 0))
        continue;
      ex = Trunc(e->x - 20);
      ey = Trunc(e->y - 20);
    } else {
      if (!TouchesBikeBody(e->x, e->y)) continue;
      if (InvulnerableTicks != 0) continue;
      // Cell 0 of the sheet stands in for every type's outline.
      if (!ImagesOverlap(img_bike2, Trunc(PlayerX), Trunc(PlayerY), Facing, img_enemies, Trunc(e->x),
                         Trunc(e->y), 0))
        continue;
      ex = Trunc(e->x - 12);
      ey = Trunc(e->y - 12);
    }
    LoseShield(ex, ey, e->enemy * 100);
    e->x = SomewhereOffScreen();
    return;
  }
}

void StructuresHitPlayer() {
  for (Structures* s : Each<Structures>(StructuresList)) {
    if (s->structure <= 2 || s->structure >= 9) continue;
    if (!(s->x > -40 && s->x < 680)) continue;
    if (!TouchesBikeBody(s->x, s->y) || InvulnerableTicks != 0) continue;
    if (s->structure == 5) {
      // The bonus: four more shields, no upper limit, and it shatters.
      ShieldCount += 4;
      PlaySfx(snd_TakeShield);
      BurstBonus(Trunc(s->x), Trunc(s->y));
      StructuresList->Remove(s);
      return;
    }
    LoseShield(Trunc(s->x - 12), Trunc(s->y - 12), 100);
    s->x = SomewhereOffScreen();
    return;
  }
}
