// The green alien waiting to be rescued, and what the bike's touch does to
// the beacons, the teleporters and the lunar module.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/music.h"
#include "services/settings.h"

namespace {

// The alien on the ground and on screen: the only time it hops, calls and is
// drawn where it stands.
bool StandingOnScreen() { return world.alien.free && world.alien.x > -64 && world.alien.x < 640; }

// The bike's small box used for the alien, the teleporters and the module.
bool TouchesBikeCore(float left, float top, int w, int h) {
  return BoxesOverlap(TruncateToInt(left), TruncateToInt(top), w, h, TruncateToInt(world.bike.x + 32),
                      TruncateToInt(world.bike.y + 24), 28, 28);
}

void RandomiseLayers() {
  world.layerPos[0] = static_cast<float>(RandomIntInRange(1, 1216));
  world.layerPos[1] = static_cast<float>(RandomIntInRange(1, 1216));
  world.layerPos[2] = static_cast<float>(RandomIntInRange(1, 1216));
}

// A beacon answers with the sound and, where useful, an arrow: toward the
// standing alien when it is within 8000 pixels, and toward the lunar module
// once every alien has been picked up.
void BeaconTouched(Structures* s) {
  PlaySfx(snd_radar);
  s->touchCooldown = 120;
  if (world.alien.free) {
    if (world.alien.x < 0 && world.alien.x > -8000) NewTextMessage(MessagePicture::ArrowLeft, 0);
    if (world.alien.x > 0 && world.alien.x < 8000) NewTextMessage(MessagePicture::ArrowRight, 0);
  }
  if (world.sector.aliensLeft == 0) {
    // The module stands in sector 1 and the strip wraps: point the short way.
    if (s->sector == 3)
      NewTextMessage(RandomIntInRange(1, 2) == 1 ? MessagePicture::ArrowRight : MessagePicture::ArrowLeft, 0);
    else if (s->sector < 3)
      NewTextMessage(MessagePicture::ArrowLeft, 0);
    else
      NewTextMessage(MessagePicture::ArrowRight, 0);
  }
}

// Through the teleporter the way the bike faces: the world shifts that way,
// the bike stands still at the centre and the enemies jump 1000 pixels
// against the shift, around their 2640-pixel round.
void TeleportBike() {
  const bool left = world.bike.facing == Facing::Left;
  PlaySfx(snd_teleport);
  // d: how far the glide has left the bike behind the centre; none when it
  // is ahead of it, as right after a turn.
  int d = TruncateToInt(left ? world.bike.x - 272 : 272 - world.bike.x);
  if (d < 0) d = 0;
  // KEPT: the jump to the left is 252 + 2d pixels longer than the one to the
  // right. The teleporters stand 6400 apart. To the left the world moves
  // right by 6540 + d while the bike comes d back to the centre: 6540 + 2d
  // along the ground, so it comes out 140 + 2d beyond the next teleporter.
  // To the right the world moves left by 6288 - d while the bike goes d on
  // to the centre: exactly 6288, 112 short of the next one, which the bike
  // flying on meets again.
  world.sector.teleportShift = left ? 6540 + d : -6400 + d + 112;
  world.bike.x = 272;
  world.bike.y = 397;
  world.bike.speed = 0;
  world.bike.invulnerableTicks = 90;
  for (Enemies* e : Each<Enemies>(world.enemies)) {
    if (left) {
      e->x += 1000;
      if (e->x > 2640) e->x -= 2640;
    } else {
      e->x -= 1000;
      if (e->x < -1000) e->x += 2640;
    }
  }
}

void TeleporterTouched(Structures* s) {
  AlienState& alien = world.alien;
  if (world.sector.aliensLeft > 0) {
    RandomiseLayers();
    world.playerBullets->Clear();
    world.explosions->Clear();
    world.enemyBullets->Clear();
    world.particles->Clear();
    world.shieldEffects->Clear();
    world.frags->Clear();
    if (!alien.free) {
      // Delivered: the next alien waits somewhere else on the strip.
      alien.x = static_cast<float>(RandomIntInRange(700, 31000));
      alien.y = 392;
      alien.frame = 0;
      alien.frameDelay = 0;
      alien.bobAngle = 0;
      alien.free = true;
      NewTextMessage(MessagePicture::AlienSaved, 0);
      PlaySfx(snd_AlienRescued);
    }
  } else if (!alien.free) {
    // The last alien goes home in the module, not through a teleporter.
    PlaySfx(snd_NoTeleport);
    world.sector.teleportersOff = true;
    NewTextMessage(MessagePicture::GetToCraft, 0);
    s->touchCooldown = 60;
  }

  if (world.sector.aliensLeft > 0 && !world.sector.teleportersOff) TeleportBike();
}

}  // namespace

void UpdateAlien() {
  AlienState& alien = world.alien;
  if (!alien.free) return;
  if (alien.callTimer > 0) alien.callTimer -= 1;
  if (!StandingOnScreen()) return;
  // It hops while on screen; off screen the hop stands still.
  alien.bobAngle += 8;
  if (alien.bobAngle > 359) alien.bobAngle = 0;
  if (Settings.sfxOn == 1 && alien.callTimer == 0) {
    PlaySfx(snd_alien1);
    alien.callTimer = 60;
  }
}

void DrawAlien() {
  const AlienState& alien = world.alien;
  if (!StandingOnScreen()) return;
  const int s = TruncateToInt(SinDegrees(alien.bobAngle) * 12);
  if (img_bouncer) DrawImageFrame(img_bouncer, alien.x, alien.y + 8 - static_cast<float>(s), alien.frame);
  const int t = TruncateToInt(SinDegrees(alien.bobAngle) * 6);
  // Shadow cells 0 to 10: cell 10 when the alien is highest, 0 when lowest.
  if (img_shadows && t + 5 >= 0 && t + 5 < ImageFrameCount(img_shadows))
    DrawImageFrame(img_shadows, alien.x + 4, alien.y + 40, t + 5);
}

void ScrollAlien() {
  AlienState& alien = world.alien;
  alien.x -= world.bike.speed * world.game.scrollFactor[2];
  alien.frameDelay += 1;
  if (alien.frameDelay >= 10) {
    alien.frameDelay = 0;
    alien.frame += 1;
    if (alien.frame > 3) alien.frame = 0;
  }
}

void CaptureAlien() {
  AlienState& alien = world.alien;
  // Only in the low part of its hop can the alien be grabbed.
  if (alien.free && alien.y == 392 && alien.bobAngle > 128 && TouchesBikeCore(alien.x, alien.y, 40, 40)) {
    alien.free = false;
    world.sector.aliensLeft -= 1;
    PlaySfx(snd_alien2);
    alien.callTimer = 60;
    world.game.score += 250;
  }
}

void PlayerMeetsStructures() {
  world.sector.teleportShift = 0;
  for (Structures* s : Each<Structures>(world.structures)) {
    if (s->kind == StructureKind::Beacon && s->touchCooldown == 0 &&
        BoxesOverlap(TruncateToInt(s->x + 10), TruncateToInt(s->y + 10), 50, 110, TruncateToInt(world.bike.x + 10),
                     TruncateToInt(world.bike.y + 10), 100, 45))
      BeaconTouched(s);
    if (s->kind == StructureKind::Teleporter && s->touchCooldown == 0 && TouchesBikeCore(s->x + 8, s->y + 8, 65, 27))
      TeleporterTouched(s);
    if (s->kind == StructureKind::LunarModule && TouchesBikeCore(s->x + 8, s->y + 8, 64, 52) && !world.alien.free) {
      PlaySfx(snd_alien3);
      world.sector.takeOffDue = true;
    }
    if (s->touchCooldown > 0) s->touchCooldown -= 1;
  }

  // The standing alien lives on the same strip as the structures.
  if (world.alien.free) {
    world.alien.x += static_cast<float>(world.sector.teleportShift);
    WrapOnStrip(world.alien.x);
  }

  // This frame's scroll left every structure inside the strip's window and a
  // teleport shifts it by a fifth of the strip: one wrap brings it back.
  if (world.sector.teleportShift != 0) {
    for (Structures* s : Each<Structures>(world.structures)) {
      s->x += static_cast<float>(world.sector.teleportShift);
      WrapOnStrip(s->x);
    }
    world.sector.scrollPos += world.sector.teleportShift > 0 ? -6400.0f : 6400.0f;
    world.sector.teleportShift = 0;
    // KEPT: the view position wraps here by the structures' window, not by
    // the 0 to 32000 the bike's control keeps it in; the next control step
    // brings it back.
    WrapOnStrip(world.sector.scrollPos);
  }
}
