// Ground installations and scenery: while on screen the bonus bobs, guns and
// carriers fire and scenery hums; they are drawn where the frame found them;
// then everything scrolls with the world around the 32000-pixel strip and
// animates at one cell every ten frames.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/settings.h"

namespace {
using Kind = StructureKind;

// Animation cells per kind, in the kinds' order: beacon, module, teleporter,
// gun, firing gun, bonus, two carriers, mine, terraformer, tesla coil, statue,
// bones, spire, habitat.
constexpr int kFrameCount[kStructureKinds] = {8, 4, 4, 6, 6, 6, 4, 4, 4, 8, 4, 1, 1, 8, 8};

bool IsCarrier(Kind kind) { return kind == Kind::CarrierLeft || kind == Kind::CarrierRight; }

// Only these act and are drawn; the rest of the strip just scrolls.
bool OnScreen(const Structures* s) { return s->x > -170.0f && s->x < 640.0f; }

void DrawKind(const Structures* s, bool drawModule) {
  const float x = s->x, y = s->y;
  switch (s->kind) {
    case Kind::Beacon: DrawImageFrame(img_radar, x, y, s->frame); break;
    case Kind::LunarModule:
      if (drawModule) DrawImageFrame(img_module, x, y, 0);
      break;
    case Kind::Teleporter: DrawImageFrame(img_portal, x, y, s->frame); break;
    case Kind::GroundGun: DrawImageFrame(img_groundenemies, x, y, s->frame); break;
    case Kind::FiringGun: DrawImageFrame(img_groundenemies, x, y, s->frame + 6); break;
    case Kind::ShieldBonus: {
      // The bonus bobs over its shadow; the shadow darkens as it rises.
      const double lift = SinDegrees(s->bobAngle);
      const int up = TruncateToInt(lift * 12);
      const int shade = TruncateToInt(lift * 6);
      DrawImageFrame(img_shadows, x + 4.0f, y + 28.0f, shade + 5);
      DrawImageFrame(img_groundenemies, x, y - 10.0f - static_cast<float>(up), s->frame + 12);
      break;
    }
    case Kind::CarrierLeft: DrawImageFrame(img_groundenemies, x, y, s->frame + 18); break;
    case Kind::CarrierRight: DrawImageFrame(img_groundenemies, x, y, s->frame + 24); break;
    case Kind::Mine: DrawImageFrame(img_mine_new, x, y, s->frame); break;
    case Kind::Terraformer:
      DrawImageFrame(img_terraformer1, x, y, 0);
      DrawImageFrame(img_terraformer2, x + 18.0f, y + 11.0f, s->frame);
      break;
    case Kind::TeslaCoil: DrawImageFrame(img_teslathingy, x, y, s->frame); break;
    case Kind::Statue: DrawImageFrame(img_LadyLiberty, x, y, 0); break;
    case Kind::Bones: DrawImageFrame(img_bones, x, 431.0f, 0); break;
    case Kind::Spire: DrawImageFrame(img_MoreTowers, x, 332.0f, s->frame); break;
    case Kind::Habitat: DrawImageFrame(img_MoreTowers, x, 332.0f, s->frame + 8); break;
    default: break;
  }
}

// Where a carrier's missile leaves and which way it goes; the two carriers
// differ only in these.
struct CarrierLauncher {
  int firingDraw;  // the draw from 1 to 50 that fires
  float missileDx, missileDy;
  float puffDx;
  int missileSide;  // 0: up to the left, 1: up to the right
};

void CarrierLaunch(Structures* s, const CarrierLauncher& launcher) {
  const int r = RandomIntInRange(1, 50);
  if (r == launcher.firingDraw && world.bike.invulnerableTicks == 0) {
    NewEnemyBullet(TruncateToInt(s->x + launcher.missileDx), TruncateToInt(s->y + launcher.missileDy),
                   ShotKind::Missile, launcher.missileSide);
    // KEPT: the muzzle puff drifts by the carrier's speed cut to a whole
    // number, which is always 0.
    NewExplosion(TruncateToInt(s->x + launcher.puffDx), TruncateToInt(s->y + 8.0f), ExplosionKind::Puff,
                 TruncateToInt(s->driveSpeed));
  }
}

// What a structure on screen does in a frame, before it is drawn.
void Act(Structures* s) {
  switch (s->kind) {
    case Kind::ShieldBonus:
      s->bobAngle += 8;
      if (s->bobAngle > 359) s->bobAngle = 0;
      break;
    case Kind::FiringGun: {
      // One aimed shot in N frames.
      // KEPT: from level 24 on N is not positive, the drawn number never
      // comes to 4 and the gun falls silent.
      const int n = 120 - 5 * world.game.level;
      if (RandomIntInRange(1, n) == 4)
        NewEnemyBullet(TruncateToInt(s->x + 20.0f), TruncateToInt(s->y + 20.0f), ShotKind::Aimed, 999);
      break;
    }
    case Kind::CarrierLeft:
      CarrierLaunch(s, {26, 8.0f, 5.0f, 22.0f, 0});
      break;
    case Kind::CarrierRight:
      CarrierLaunch(s, {40, 29.0f, 7.0f, 16.0f, 1});
      break;
    case Kind::Terraformer:
    case Kind::TeslaCoil:
    case Kind::Spire:
    case Kind::Habitat:
      if (Settings.sfxOn == 1) {
        if (s->soundDelay > 0) --s->soundDelay;
        if (s->soundDelay == 0) {
          const bool tall = s->kind == Kind::Spire || s->kind == Kind::Habitat;
          TSound* hum = s->kind == Kind::Terraformer ? snd_2tower
                        : s->kind == Kind::TeslaCoil ? snd_energycrackle
                                                      : snd_Towers;
          PlaySoundOnChannel(hum, nullptr);
          s->soundDelay = tall ? 240 : 120;
        }
      }
      break;
    default: break;
  }
}
}  // namespace

void CreateStructure(int x, int y, StructureKind kind, int sector) {
  Structures* s = SpawnAt<Structures>(world.structures, x, y);
  s->kind = kind;
  s->sector = sector;
  s->driveSpeed = kind == Kind::CarrierLeft ? -0.8f : kind == Kind::CarrierRight ? 0.8f : 0.0f;
  s->hitPoints = (kind == Kind::GroundGun || kind == Kind::FiringGun) ? 4 : 9999;
  const int index = static_cast<int>(kind);
  s->frameCount = (index >= 0 && index < kStructureKinds) ? kFrameCount[index] : 0;
}

void UpdateStructures() {
  for (Structures* s : Each<Structures>(world.structures))
    if (OnScreen(s)) Act(s);
}

void DrawStructures(bool drawModule) {
  for (const Structures* s : Each<Structures>(world.structures))
    if (OnScreen(s)) DrawKind(s, drawModule);
}

void ScrollStructures() {
  const float scroll = world.bike.speed * world.game.scrollFactor[2];
  for (Structures* s : Each<Structures>(world.structures)) {
    s->x -= scroll;
    WrapOnStrip(s->x);
    // KEPT: the drive comes after the wrap, so it may carry a carrier a
    // fraction of a pixel past the window until the next frame.
    if (IsCarrier(s->kind)) s->x += s->driveSpeed;

    if (++s->frameDelay >= 10) {
      s->frameDelay = 0;
      if (++s->frame >= s->frameCount) s->frame = 0;
    }
  }
}
