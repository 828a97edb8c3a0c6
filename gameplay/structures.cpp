// Ground installations and scenery: drawn when on screen, guns and carriers
// fire, scenery hums, everything scrolls with the world around the 32000-pixel
// strip and animates at one cell every ten frames.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "shell/settings.h"

namespace {
constexpr int kKinds = 15;
// Animation cells per kind: beacon, module, teleporter, gun, firing gun, bonus,
// two carriers, mine, terraformer, tesla coil, statue, bones, two towers.
constexpr int kMaxFrame[kKinds] = {8, 4, 4, 6, 6, 6, 4, 4, 4, 8, 4, 1, 1, 8, 8};

void DrawKind(Structures* s, int drawModule) {
  const float x = s->x, y = s->y;
  switch (s->structure) {
    case 0: DrawImageFrame(img_radar, x, y, s->frame); break;
    case 1:
      if (drawModule == 1) DrawImageFrame(img_module, x, y, 0);
      break;
    case 2: DrawImageFrame(img_portal, x, y, s->frame); break;
    case 3: DrawImageFrame(img_groundenemies, x, y, s->frame); break;
    case 4: DrawImageFrame(img_groundenemies, x, y, s->frame + 6); break;
    case 5: {
      // The bonus bobs over its shadow; the shadow darkens as it rises.
      s->Bounce += 8;
      if (s->Bounce > 359) s->Bounce = 0;
      const double lift = SinDegrees(s->Bounce);
      const int up = TruncateToInt(lift * 12);
      const int shade = TruncateToInt(lift * 6);
      DrawImageFrame(img_shadows, x + 4.0f, y + 28.0f, shade + 5);
      DrawImageFrame(img_groundenemies, x, y - 10.0f - static_cast<float>(up), s->frame + 12);
      break;
    }
    case 6: DrawImageFrame(img_groundenemies, x, y, s->frame + 18); break;
    case 7: DrawImageFrame(img_groundenemies, x, y, s->frame + 24); break;
    case 8: DrawImageFrame(img_mine_new, x, y, s->frame); break;
    case 9:
      DrawImageFrame(img_terraformer1, x, y, 0);
      DrawImageFrame(img_terraformer2, x + 18.0f, y + 11.0f, s->frame);
      break;
    case 10: DrawImageFrame(img_teslathingy, x, y, s->frame); break;
    case 11: DrawImageFrame(img_LadyLiberty, x, y, 0); break;
    case 12: DrawImageFrame(img_bones, x, 431.0f, 0); break;
    case 13: DrawImageFrame(img_MoreTowers, x, 332.0f, s->frame); break;
    case 14: DrawImageFrame(img_MoreTowers, x, 332.0f, s->frame + 8); break;
    default: break;
  }
}

void Act(Structures* s) {
  switch (s->structure) {
    case 4: {
      // One aimed shot in N frames; from level 24 on N is not positive and the
      // drawn number never comes to 4.
      const int n = 120 - 5 * LevelNumber;
      if (RandomIntInRange(1, n) == 4)
        NewEnemyBullet(TruncateToInt(s->x + 20.0f), TruncateToInt(s->y + 20.0f), 0, 999);
      break;
    }
    case 6: {
      const int r = RandomIntInRange(1, 50);
      if (r == 26 && InvulnerableTicks == 0) {
        NewEnemyBullet(TruncateToInt(s->x + 8.0f), TruncateToInt(s->y + 5.0f), 1, 0);
        NewExplosion(TruncateToInt(s->x + 22.0f), TruncateToInt(s->y + 8.0f), 1, TruncateToInt(s->Xspeed));
      }
      break;
    }
    case 7: {
      const int r = RandomIntInRange(1, 50);
      if (r == 40 && InvulnerableTicks == 0) {
        NewEnemyBullet(TruncateToInt(s->x + 29.0f), TruncateToInt(s->y + 7.0f), 1, 1);
        NewExplosion(TruncateToInt(s->x + 16.0f), TruncateToInt(s->y + 8.0f), 1, TruncateToInt(s->Xspeed));
      }
      break;
    }
    case 9:
    case 10:
    case 13:
    case 14:
      if (Settings.sfxOn == 1) {
        if (s->SoundDelay > 0) --s->SoundDelay;
        if (s->SoundDelay == 0) {
          const bool tall = s->structure >= 13;
          TSound* hum = s->structure == 9 ? snd_2tower : s->structure == 10 ? snd_energycrackle : snd_Towers;
          PlaySoundOnChannel(hum, nullptr);
          s->SoundDelay = tall ? 240 : 120;
        }
      }
      break;
    default: break;
  }
}
}  // namespace

void CreateStructure(int x, int y, int kind, int sector) {
  auto s = ObjectNew<Structures>();
  StructuresList->AddLast(s);
  s->x = static_cast<float>(x);
  s->y = static_cast<float>(y);
  s->structure = kind;
  s->Sector = sector;
  s->Xspeed = kind == 6 ? -0.8f : kind == 7 ? 0.8f : 0.0f;
  s->HitPoints = (kind == 3 || kind == 4) ? 4 : 9999;
  s->maxframe = (kind >= 0 && kind < kKinds) ? kMaxFrame[kind] : 0;
}

void UpdateStructures(int drawModule) {
  const float scroll = PlayerSpeed * ScrollFactor[2];
  for (Structures* s : Each<Structures>(StructuresList)) {
    if (s->x > -170.0f && s->x < 640.0f) {
      DrawKind(s, drawModule);
      Act(s);
    }

    s->x -= scroll;
    if (s->x > 31800.0f) s->x -= 32000.0f;
    if (s->x < -200.0f) s->x += 32000.0f;
    if (s->structure > 5) s->x += s->Xspeed;

    if (++s->fdelay >= 10) {
      s->fdelay = 0;
      if (++s->frame >= s->maxframe) s->frame = 0;
    }
  }
}
