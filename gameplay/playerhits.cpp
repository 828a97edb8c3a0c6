// The bike running into flying enemies and ground installations: a shield
// lost and the culprit blown up and moved away, or, for the bonus, four
// shields gained. At most one contact is handled per call.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/music.h"

namespace {

// The bike's body box, shared by the enemy and installation tests.
bool TouchesBikeBody(float x, float y) {
  return BoxesOverlap(TruncateToInt(world.bike.x + 17), TruncateToInt(world.bike.y), 77, 54, TruncateToInt(x),
                      TruncateToInt(y), 40, 40);
}

// Guns, the bonus, the carriers and the mines meet the bike's body; the
// beacons, the module and the teleporters have a touch of their own and the
// scenery none.
bool MeetsTheBike(StructureKind kind) {
  switch (kind) {
    case StructureKind::GroundGun:
    case StructureKind::FiringGun:
    case StructureKind::ShieldBonus:
    case StructureKind::CarrierLeft:
    case StructureKind::CarrierRight:
    case StructureKind::Mine: return true;
    default: return false;
  }
}

// Hit things reappear off screen, on a side chosen at random.
float SomewhereOffScreen() {
  const int r = RandomIntInRange(1, 100);
  if (r < 50) return static_cast<float>(RandomIntInRange(-3000, -40));
  return static_cast<float>(RandomIntInRange(640, 3000));
}

void LoseShield(int explosionX, int explosionY, int points) {
  NewExplosion(explosionX, explosionY, ExplosionKind::Blast, 0);
  world.game.score += points;
  BikeLosesShield();
}

}  // namespace

void EnemiesHitPlayer() {
  for (Enemies* e : Each<Enemies>(world.enemies)) {
    if (!(e->x > -40 && e->x < 680)) continue;
    int ex, ey;
    if (e->type == EnemyType::Spinner) {
      // KEPT: the spinner is drawn centred and turned, but tested upright.
      if (!BoxesOverlap(TruncateToInt(world.bike.x), TruncateToInt(world.bike.y), 120, 55, TruncateToInt(e->x + 20),
                        TruncateToInt(e->y + 20), 40, 40))
        continue;
      if (world.bike.invulnerableTicks != 0) continue;
      if (!ImagesOverlap(img_bike2, TruncateToInt(world.bike.x), TruncateToInt(world.bike.y),
                         BikeFrame(world.bike.facing), img_enemies_one, TruncateToInt(e->x + 20),
                         TruncateToInt(e->y + 20), 0))
        continue;
      ex = TruncateToInt(e->x - 20);
      ey = TruncateToInt(e->y - 20);
    } else {
      if (!TouchesBikeBody(e->x, e->y)) continue;
      if (world.bike.invulnerableTicks != 0) continue;
      // KEPT: cell 0 of the sheet stands in for every type's outline.
      if (!ImagesOverlap(img_bike2, TruncateToInt(world.bike.x), TruncateToInt(world.bike.y),
                         BikeFrame(world.bike.facing), img_enemies, TruncateToInt(e->x), TruncateToInt(e->y), 0))
        continue;
      ex = TruncateToInt(e->x - 12);
      ey = TruncateToInt(e->y - 12);
    }
    LoseShield(ex, ey, 100 * static_cast<int>(e->type));
    e->x = SomewhereOffScreen();
    return;
  }
}

void StructuresHitPlayer() {
  for (Structures* s : Each<Structures>(world.structures)) {
    if (!MeetsTheBike(s->kind)) continue;
    if (!(s->x > -40 && s->x < 680)) continue;
    if (!TouchesBikeBody(s->x, s->y) || world.bike.invulnerableTicks != 0) continue;
    if (s->kind == StructureKind::ShieldBonus) {
      // The bonus: four more shields, no upper limit, and it shatters.
      world.game.shieldCount += 4;
      PlaySfx(snd_TakeShield);
      BurstBonus(TruncateToInt(s->x), TruncateToInt(s->y));
      world.structures->Remove(s);
      return;
    }
    LoseShield(TruncateToInt(s->x - 12), TruncateToInt(s->y - 12), 100);
    s->x = SomewhereOffScreen();
    return;
  }
}
