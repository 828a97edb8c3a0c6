// Flying enemies: ten types on five movement patterns, living in a band
// around the screen (-1000 to 2640) that wraps by 2640, so the same enemies
// come back wherever the bike flies.
#include "gameplay/gameplay.h"
#include "res/assets.h"

namespace {
constexpr float kTop = 32.0f;
constexpr float kBottom = 412.0f;

// A wanderer's course: speed along a heading (0 up, 90 right).
void SetCourse(Enemies* e, float heading) {
  e->xspeed = static_cast<float>(SinDegrees(heading) * e->RotationDir);
  e->yspeed = static_cast<float>(-CosDegrees(heading) * e->RotationDir);
}

void StartWandering(Enemies* e, int dir) {
  e->MaxFrame = 4;
  e->RotationDir = static_cast<float>(RandomRealInRange(1.3, 2));
  e->SinCount = dir;
  e->Sinus = static_cast<float>(RandomIntInRange(60, 120));
  int heading;
  if (dir == 2) {
    heading = RandomIntInRange(140, 230);  // descending
  } else {
    const int r = RandomIntInRange(1, 100);
    heading = r < 51 ? RandomIntInRange(320, 359) : RandomIntInRange(0, 40);  // climbing
  }
  SetCourse(e, static_cast<float>(heading));
}

void Wander(Enemies* e, float s) {
  if (e->Sinus > 0.0f) {
    e->Sinus -= 1.0f;
  } else {
    // A new course toward a point 50 to 200 pixels ahead: climbing wanderers
    // always climb, descending ones always descend.
    float a;
    const int d = RandomIntInRange(50, 200);
    if (e->SinCount == 1) {
      const int p = RandomIntInRange(140, 340);
      a = static_cast<float>(ATan2Degrees(static_cast<float>(p) - e->y, d));
    } else {
      const int p = RandomIntInRange(100, 300);
      a = static_cast<float>(ATan2Degrees(static_cast<float>(p) - e->y, -d));
    }
    if (a < 0.0f) a += 360.0f;
    SetCourse(e, a);
    e->Sinus = static_cast<float>(RandomIntInRange(90, 250));
    if (RandomIntInRange(1, 200) == 64) e->SinCount = RandomIntInRange(1, 2);
  }
  e->x = e->x - s + e->xspeed;
  e->y += e->yspeed;
  if (e->y < kTop) {
    e->y = kTop;
    e->yspeed = static_cast<float>(FloatAbs(e->yspeed));
  }
  if (e->y > kBottom) {
    e->y = kBottom;
    e->yspeed = -e->yspeed;
  }
}
}  // namespace

void NewEnemy(int x, int y, int type) {
  auto e = ObjectNew<Enemies>();
  EnemiesList->AddLast(e);
  e->x = static_cast<float>(x);
  e->y = static_cast<float>(y);
  e->enemy = type;

  const int dir = RandomIntInRange(1, 2);
  float h = static_cast<float>(RandomRealInRange(-1, 1));
  if (h == 0.0f) h = 0.4f;
  e->xspeed = dir == 1 ? h : -h;
  e->yspeed = static_cast<float>(RandomRealInRange(0.5, 3));
  e->SinCount = 0;
  e->Sinus = static_cast<float>(RandomIntInRange(1, 300));
  e->Frame = RandomIntInRange(0, 2);
  e->AnimDelay = 0;

  switch (type) {
    case 0:
      e->MaxFrame = 1;
      e->Rotation = static_cast<float>(RandomIntInRange(10, 350));
      e->RotationDir = h;
      break;
    case 2:
    case 6:
      e->MaxFrame = 4;
      e->xspeed = 0.7f + static_cast<float>(RandomRealInRange(-0.2, 0.3));
      break;
    case 3:
    case 7:
      e->MaxFrame = 4;
      e->yspeed = 0.6f + static_cast<float>(RandomRealInRange(-0.2, 0.3));
      break;
    case 4:
    case 8: {
      e->MaxFrame = 4;
      int n = TruncateToInt(static_cast<float>(RandomRealInRange(1.5, 2.5)));
      if (RandomIntInRange(1, 100) < 51) n = -n;
      e->SinCount = n;
      break;
    }
    case 5:
      StartWandering(e.get(), dir);
      break;
    case 9:
      // Drawn twice over; the second set of values counts.
      StartWandering(e.get(), dir);
      e->MaxFrame = 7;
      StartWandering(e.get(), dir);
      e->MaxFrame = 7;
      break;
    default: break;
  }
}

void UpdateEnemies() {
  const float s = PlayerSpeed * ScrollFactor[2];
  for (Enemies* e : Each<Enemies>(EnemiesList)) {
    switch (e->enemy) {
      case 0:
      case 1:  // drift
        e->x = e->x - s + e->xspeed;
        break;
      case 2:
      case 6: {  // wave: twice its speed to the right, up and down by a cosine
        e->x = e->x - s + e->xspeed + e->xspeed;
        e->Sinus += 1.0f;
        if (e->Sinus > 360.0f) e->Sinus -= 360.0f;
        int k = TruncateToInt(4 * CosDegrees(e->Sinus));
        if (e->y + static_cast<float>(k) < kTop) k = TruncateToInt(FloatAbs(e->yspeed));
        if (e->y + static_cast<float>(k) > kBottom) k = TruncateToInt(-e->yspeed);
        e->y += static_cast<float>(k);
        break;
      }
      case 3:
      case 7:  // bounce between the ceiling and the ground
        e->x = e->x - s + 2.0f * e->xspeed;
        e->y += e->yspeed;
        if (e->y < kTop) e->yspeed = static_cast<float>(FloatAbs(e->yspeed));
        if (e->y > kBottom) e->yspeed = -e->yspeed;
        break;
      case 4:
      case 8:  // loops while drifting
        e->Sinus += static_cast<float>(e->SinCount);
        if (e->Sinus > 360.0f) e->Sinus -= 360.0f;
        e->y += CosDegrees(e->Sinus);
        e->x = e->x - s + e->xspeed + SinDegrees(e->Sinus);
        if (e->y < kTop) e->y = kTop;
        if (e->y > kBottom) e->y = kBottom;
        break;
      case 5:
      case 9:
        Wander(e, s);
        break;
      default: break;
    }

    if (e->x < -1000.0f) e->x += 2640.0f;
    if (e->x > 2640.0f) e->x -= 2640.0f;

    if (++e->AnimDelay >= 8) {
      e->AnimDelay = 0;
      if (++e->Frame >= e->MaxFrame) e->Frame = 0;
    }
  }
}

void DrawEnemies() {
  for (Enemies* e : Each<Enemies>(EnemiesList)) {
    if (!(e->x > -40.0f && e->x < 680.0f)) continue;
    if (e->enemy == 0) {
      // The spinner turns only while it is on screen.
      e->Rotation += static_cast<float>(FloatMod(2.0f * e->RotationDir, 360));
      SetDrawRotation(e->Rotation);
      DrawImageFrame(img_enemies_one, e->x + 20.0f, e->y + 20.0f, 0);
      SetDrawRotation(0.0f);
    } else if (e->enemy >= 1 && e->enemy <= 9) {
      DrawImageFrame(img_enemies, e->x, e->y, e->enemy * 4 + e->Frame);
    }
  }
}
