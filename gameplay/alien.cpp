// The green alien waiting to be rescued, and what the bike's touch does to
// the beacons, the teleporters and the lunar module.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "shell/music.h"
#include "shell/settings.h"

namespace {

int Trunc(float v) { return TruncateToInt(v); }

// The bike's small box used for the alien, the teleporters and the module.
int TouchesBikeCore(float left, float top, int w, int h) {
  return BoxesOverlap(Trunc(left), Trunc(top), w, h, Trunc(PlayerX + 32), Trunc(PlayerY + 24), 28, 28);
}

void RandomiseLayers() {
  LayerPos1 = static_cast<float>(RandomIntInRange(1, 1216));
  LayerPos2 = static_cast<float>(RandomIntInRange(1, 1216));
  LayerPos3 = static_cast<float>(RandomIntInRange(1, 1216));
}

// A beacon answers with the sound and, where useful, an arrow: toward the
// standing alien when it is within 8000 pixels, and toward the lunar module
// once every alien has been picked up.
void BeaconTouched(Structures* s) {
  PlaySfx(snd_radar);
  s->inactive = 120;
  if (AlienFree == 1) {
    if (AlienX < 0 && AlienX > -8000) NewTextMessage(2, 0);
    if (AlienX > 0 && AlienX < 8000) NewTextMessage(1, 0);
  }
  if (AliensLeft == 0) {
    // The module stands in sector 1 and the strip wraps: point the short way.
    if (s->Sector == 3)
      NewTextMessage(RandomIntInRange(1, 2), 0);
    else if (s->Sector < 3)
      NewTextMessage(2, 0);
    else
      NewTextMessage(1, 0);
  }
}

void TeleporterTouched(Structures* s) {
  if (AliensLeft > 0) {
    RandomiseLayers();
    PlayerBulletsList->Clear();
    ExplosionsList->Clear();
    EnemyBulletsList->Clear();
    ParticlesList->Clear();
    ShieldsList->Clear();
    FragsList->Clear();
    if (AlienFree == 0) {
      // Delivered: the next alien waits somewhere else on the strip.
      AlienX = static_cast<float>(RandomIntInRange(700, 31000));
      AlienY = 392;
      AlienFrame = 0;
      AlienFrameDelay = 0;
      AlienBob = 0;
      AlienFree = 1;
      NewTextMessage(0, 0);
      PlaySfx(snd_AlienRescued);
    }
  } else if (AlienFree == 0) {
    // The last alien goes home in the module, not through a teleporter.
    PlaySfx(snd_NoTeleport);
    TeleportersOff = 1;
    NewTextMessage(3, 0);
    s->inactive = 60;
  }

  if (Facing == 0 && AliensLeft > 0 && TeleportersOff == 0) {
    PlaySfx(snd_teleport);
    int d = Trunc(PlayerX - 272);
    if (d < 0) d = 0;
    TeleportOffset = 6540 + d;
    PlayerX = 272;
    PlayerY = 397;
    Facing = 0;
    PlayerSpeed = 0;
    InvulnerableTicks = 90;
    for (Enemies* e : Each<Enemies>(EnemiesList)) {
      e->x += 1000;
      if (e->x > 2640) e->x -= 2640;
    }
  }
  if (Facing == 3 && AliensLeft > 0 && TeleportersOff == 0) {
    PlaySfx(snd_teleport);
    int d = Trunc(272 - PlayerX);
    if (d < 0) d = 0;
    TeleportOffset = -6400 + d + 112;
    PlayerX = 272;
    PlayerY = 397;
    Facing = 3;
    PlayerSpeed = 0;
    InvulnerableTicks = 90;
    for (Enemies* e : Each<Enemies>(EnemiesList)) {
      e->x -= 1000;
      if (e->x < -1000) e->x += 2640;
    }
  }
}

}  // namespace

void UpdateAlien() {
  if (AlienFree == 1) {
    if (AlienSoundTimer > 0) AlienSoundTimer -= 1;
    if (AlienX > -64 && AlienX < 640) {
      // It hops while on screen; off screen the hop stands still.
      AlienBob += 8;
      if (AlienBob > 359) AlienBob = 0;
      const int s = TruncateToInt(SinDegrees(AlienBob) * 12);
      if (img_bouncer) DrawImageFrame(img_bouncer, AlienX, AlienY + 8 - static_cast<float>(s), AlienFrame);
      const int t = TruncateToInt(SinDegrees(AlienBob) * 6);
      // Shadow cells 0 to 10: cell 10 when the alien is highest, 0 when lowest.
      if (img_shadows && t + 5 >= 0 && t + 5 < ImageFrameCount(img_shadows))
        DrawImageFrame(img_shadows, AlienX + 4, AlienY + 40, t + 5);
      if (Settings.sfxOn == 1 && AlienSoundTimer == 0) {
        PlaySfx(snd_alien1);
        AlienSoundTimer = 60;
      }
    }
  }
  AlienX -= PlayerSpeed * ScrollFactor[2];
  AlienFrameDelay += 1;
  if (AlienFrameDelay >= 10) {
    AlienFrameDelay = 0;
    AlienFrame += 1;
    if (AlienFrame > 3) AlienFrame = 0;
  }
}

void CaptureAlien() {
  // Only in the low part of its hop can the alien be grabbed.
  if (AlienFree == 1 && AlienY == 392 && AlienBob > 128 && TouchesBikeCore(AlienX, AlienY, 40, 40)) {
    AlienFree = 0;
    AliensLeft -= 1;
    PlaySfx(snd_alien2);
    AlienSoundTimer = 60;
    Score += 250;
  }
}

void PlayerMeetsStructures() {
  TeleportOffset = 0;
  for (Structures* s : Each<Structures>(StructuresList)) {
    if (s->structure == 0 && s->inactive == 0 &&
        BoxesOverlap(Trunc(s->x + 10), Trunc(s->y + 10), 50, 110, Trunc(PlayerX + 10), Trunc(PlayerY + 10),
                     100, 45))
      BeaconTouched(s);
    if (s->structure == 2 && s->inactive == 0 && TouchesBikeCore(s->x + 8, s->y + 8, 65, 27))
      TeleporterTouched(s);
    if (s->structure == 1 && TouchesBikeCore(s->x + 8, s->y + 8, 64, 52) && AlienFree == 0) {
      PlaySfx(snd_alien3);
      TakeOffFlag = 1;
    }
    if (s->inactive > 0) s->inactive -= 1;
  }

  // The standing alien lives on the same 32000-pixel strip as the structures.
  if (AlienFree == 1) {
    AlienX += static_cast<float>(TeleportOffset);
    if (AlienX > 31800) AlienX -= 32000;
    if (AlienX < -200) AlienX += 32000;
  }

  if (TeleportOffset > 0) {
    for (Structures* s : Each<Structures>(StructuresList)) {
      s->x += static_cast<float>(TeleportOffset);
      if (s->x > 31800) s->x -= 32000;
    }
    TeleportOffset = 0;
    ScrollPos -= 6400;
    if (ScrollPos < -200) ScrollPos += 32000;
  }
  if (TeleportOffset < 0) {
    for (Structures* s : Each<Structures>(StructuresList)) {
      s->x += static_cast<float>(TeleportOffset);
      if (s->x < -200) s->x += 32000;
    }
    TeleportOffset = 0;
    ScrollPos += 6400;
    if (ScrollPos > 31800) ScrollPos -= 32000;
  }
}
