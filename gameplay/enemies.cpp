// Flying enemies: ten types on five movement patterns, living in a band
// around the screen (-1000 to 2640) that wraps by 2640, so the same enemies
// come back wherever the bike flies.
#include "gameplay/gameplay.h"
#include "res/assets.h"

namespace {
constexpr float kTop = 32.0f;
constexpr float kBottom = 412.0f;

// Only these are drawn, and only these spinners turn.
bool OnScreen(const Enemies* e) { return e->x > -40.0f && e->x < 680.0f; }

// A wanderer's course: speed along a heading (0 up, 90 right).
void SetCourse(Enemies* e, float heading) {
  e->xSpeed = static_cast<float>(SinDegrees(heading) * e->cruiseSpeed);
  e->ySpeed = static_cast<float>(-CosDegrees(heading) * e->cruiseSpeed);
}

// dir is the creation's coin toss: 1 climbs, 2 descends.
void StartWandering(Enemies* e, int dir) {
  e->cruiseSpeed = static_cast<float>(RandomRealInRange(1.3, 2));
  e->course = dir == 1 ? WanderCourse::Climbing : WanderCourse::Descending;
  e->courseTimer = static_cast<float>(RandomIntInRange(60, 120));
  int heading;
  if (e->course == WanderCourse::Descending) {
    heading = RandomIntInRange(140, 230);
  } else {
    const int r = RandomIntInRange(1, 100);
    heading = r < 51 ? RandomIntInRange(320, 359) : RandomIntInRange(0, 40);  // climbing
  }
  SetCourse(e, static_cast<float>(heading));
}

void Wander(Enemies* e, float s) {
  if (e->courseTimer > 0.0f) {
    e->courseTimer -= 1.0f;
  } else {
    // A new course from the angle toward a point 50 to 200 pixels ahead.
    // KEPT: that angle, measured from the right, is flown as a heading,
    // measured from up, so climbing wanderers always climb and descending
    // ones always descend.
    float a;
    const int d = RandomIntInRange(50, 200);
    if (e->course == WanderCourse::Climbing) {
      const int p = RandomIntInRange(140, 340);
      a = static_cast<float>(ATan2Degrees(static_cast<float>(p) - e->y, d));
    } else {
      const int p = RandomIntInRange(100, 300);
      a = static_cast<float>(ATan2Degrees(static_cast<float>(p) - e->y, -d));
    }
    if (a < 0.0f) a += 360.0f;
    SetCourse(e, a);
    e->courseTimer = static_cast<float>(RandomIntInRange(90, 250));
    if (RandomIntInRange(1, 200) == 64)
      e->course = RandomIntInRange(1, 2) == 1 ? WanderCourse::Climbing : WanderCourse::Descending;
  }
  e->x = e->x - s + e->xSpeed;
  e->y += e->ySpeed;
  if (e->y < kTop) {
    e->y = kTop;
    e->ySpeed = static_cast<float>(FloatAbs(e->ySpeed));
  }
  if (e->y > kBottom) {
    e->y = kBottom;
    e->ySpeed = -e->ySpeed;
  }
}
}  // namespace

void NewEnemy(int x, int y, EnemyType type) {
  Enemies* e = SpawnAt<Enemies>(world.enemies, x, y);
  e->type = type;

  const int dir = RandomIntInRange(1, 2);
  float h = static_cast<float>(RandomRealInRange(-1, 1));
  if (h == 0.0f) h = 0.4f;
  e->xSpeed = dir == 1 ? h : -h;
  e->ySpeed = static_cast<float>(RandomRealInRange(0.5, 3));
  e->phase = static_cast<float>(RandomIntInRange(1, 300));
  e->frame = RandomIntInRange(0, 2);

  switch (type) {
    case EnemyType::Spinner:
      e->rotation = static_cast<float>(RandomIntInRange(10, 350));
      e->spin = h;
      break;
    case EnemyType::Jellyfish:
    case EnemyType::Manta:
      e->xSpeed = 0.7f + static_cast<float>(RandomRealInRange(-0.2, 0.3));
      break;
    case EnemyType::SpringBot:
    case EnemyType::SpikeBall:
      e->ySpeed = 0.6f + static_cast<float>(RandomRealInRange(-0.2, 0.3));
      break;
    case EnemyType::Saucer:
    case EnemyType::RingDrone: {
      int n = TruncateToInt(static_cast<float>(RandomRealInRange(1.5, 2.5)));
      if (RandomIntInRange(1, 100) < 51) n = -n;
      e->loopStep = n;
      break;
    }
    case EnemyType::Bat:
      StartWandering(e, dir);
      break;
    case EnemyType::Wasp:
      // KEPT: the wanderer's values are drawn twice over; the second set counts.
      StartWandering(e, dir);
      StartWandering(e, dir);
      break;
    default: break;
  }
  if (const EnemyLook* look = LookOf(type)) e->frameCount = look->cells;
}

void UpdateEnemies() {
  const float s = world.bike.speed * world.game.scrollFactor[2];
  for (Enemies* e : Each<Enemies>(world.enemies)) {
    switch (e->type) {
      case EnemyType::Spinner:
      case EnemyType::Probe:  // drift
        e->x = e->x - s + e->xSpeed;
        break;
      case EnemyType::Jellyfish:
      case EnemyType::Manta: {  // wave: twice its speed to the right, up and down by a cosine
        e->x = e->x - s + e->xSpeed + e->xSpeed;
        e->phase += 1.0f;
        if (e->phase > 360.0f) e->phase -= 360.0f;
        int k = TruncateToInt(4 * CosDegrees(e->phase));
        if (e->y + static_cast<float>(k) < kTop) k = TruncateToInt(FloatAbs(e->ySpeed));
        if (e->y + static_cast<float>(k) > kBottom) k = TruncateToInt(-e->ySpeed);
        e->y += static_cast<float>(k);
        break;
      }
      case EnemyType::SpringBot:
      case EnemyType::SpikeBall:  // bounce between the ceiling and the ground
        e->x = e->x - s + 2.0f * e->xSpeed;
        e->y += e->ySpeed;
        if (e->y < kTop) e->ySpeed = static_cast<float>(FloatAbs(e->ySpeed));
        if (e->y > kBottom) e->ySpeed = -e->ySpeed;
        break;
      case EnemyType::Saucer:
      case EnemyType::RingDrone:  // loops while drifting
        e->phase += static_cast<float>(e->loopStep);
        // KEPT: only a rising angle is brought back under 360; a falling one
        // runs on below 0, which the sine and cosine do not mind.
        if (e->phase > 360.0f) e->phase -= 360.0f;
        e->y += CosDegrees(e->phase);
        e->x = e->x - s + e->xSpeed + SinDegrees(e->phase);
        if (e->y < kTop) e->y = kTop;
        if (e->y > kBottom) e->y = kBottom;
        break;
      case EnemyType::Bat:
      case EnemyType::Wasp:  // wander
        Wander(e, s);
        break;
      default: break;
    }

    // KEPT: the band is 3640 pixels wide but a wrap moves by 2640, so an
    // enemy leaving on the left comes back at about 1640.
    if (e->x < -1000.0f) e->x += 2640.0f;
    if (e->x > 2640.0f) e->x -= 2640.0f;

    if (++e->frameDelay >= 8) {
      e->frameDelay = 0;
      if (++e->frame >= e->frameCount) e->frame = 0;
    }
  }
}

void TurnSpinners() {
  for (Enemies* e : Each<Enemies>(world.enemies))
    if (OnScreen(e) && e->type == EnemyType::Spinner) e->rotation += static_cast<float>(FloatMod(2.0f * e->spin, 360));
}

void DrawEnemies() {
  for (const Enemies* e : Each<Enemies>(world.enemies)) {
    if (!OnScreen(e)) continue;
    if (e->type == EnemyType::Spinner) {
      SetDrawRotation(e->rotation);
      DrawImageFrame(img_enemies_one, e->x + 20.0f, e->y + 20.0f, 0);
      SetDrawRotation(0.0f);
    } else if (const EnemyLook* look = LookOf(e->type)) {
      DrawImageFrame(img_enemies, e->x, e->y, look->firstCell + e->frame);
    }
  }
}
