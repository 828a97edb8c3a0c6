// The two scripted sequences that frame every level: the lunar module coming
// down and beaming the bike out, and the module taking off again with the
// time bonus counted into the score before the next level is set up.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "shell/fonttext.h"
#include "shell/music.h"
#include "shell/settings.h"

namespace {

// The sky shared with play: stars, the haze, the planet, the back layers.
void FrameOpening() {
  ClearDrawBuffer();
  DrawSky(1.0f);
  DrawBackLayers();
}

void TimeBarAndStatusLine() {
  SetDrawAlpha(1);
  DrawImageFrame(img_timebar, 0, 0, 0);
  SetDrawAlpha(0.5f);
  SetDrawScale(TimeBonus * 5, 1);
  DrawImageFrame(img_timebar2, 126, 8, 0);
  SetDrawScale(1, 1);
  SetDrawAlpha(1);
  DrawStatusLine();
}

// Nine rows of shimmer around the bike's line, breathing as the angle turns.
void DrawBeam(float& angle, int& rowFrame) {
  for (int r = -4; r <= 4; ++r) {
    angle += 0.75f;
    if (angle > 359) angle = 0;
    const int offset = TruncateToInt(SinDegrees(angle) * 8 * r);
    SetDrawBlendMode(4);
    DrawImageFrame(img_Glowing, 260, PlayerY + static_cast<float>(offset), rowFrame);
    rowFrame ^= 1;
  }
}

void AdvanceExhaust(int& frame, int& tick) {
  tick += 1;
  if (tick >= 8) {
    tick = 0;
    frame += 1;
    if (frame > 3) frame = 0;
  }
}

}  // namespace

void LandingSequence(int mode) {
  NewTextMessage(7, 20);
  NewTextMessage(8, 40);
  NewTextMessage(9, 60);
  float beamAngle = 0;
  if (mode == 1) {
    LayerPos1 = static_cast<float>(RandomIntInRange(1, 1216));
    LayerPos2 = static_cast<float>(RandomIntInRange(1, 1216));
    LayerPos3 = static_cast<float>(RandomIntInRange(1, 1216));
  } else if (mode == 0) {
    LayerPos1 = LayerPos2 = LayerPos3 = 0;
  }
  PlaySfx(snd_ModuleThrust);

  float moduleY = -64, moduleFrame = 0;
  int exhaustFrame = 0, exhaustTick = 0;
  float beamAlpha = 0, bikeAlpha = 0;
  int stage = 1, rowFrame = 0;
  for (;;) {
    FrameOpening();
    DrawTextMessages();
    DrawImageFrame(img_module, 180, moduleY, TruncateToInt(moduleFrame));
    SetDrawAlpha(0.7f);
    if (moduleY < 392) DrawImageFrame(img_LunarExhaust, 188, moduleY + 54, exhaustFrame);
    SetDrawAlpha(1);
    AdvanceExhaust(exhaustFrame, exhaustTick);
    UpdateStructures(0);
    DrawFrontLayer();
    TimeBarAndStatusLine();

    moduleY += 1.5f;
    if (moduleY > 392) moduleY = 392;
    if (moduleY == 392) {
      moduleFrame += 0.15f;
      if (moduleFrame > 4.9f) moduleFrame = 4.9f;
    }
    if (moduleFrame == 0.15f) PlaySfx(snd_moduleland);  // the first frame at rest
    PlayerY = 402;

    if (moduleY == 392) {
      // Beam fades in, the bike fades in inside it, the beam fades out.
      if (stage == 1) {
        SetDrawBlendMode(3);
        SetDrawAlpha(beamAlpha);
        DrawBeam(beamAngle, rowFrame);
        beamAlpha += 0.04f;
        if (beamAlpha > 1) {
          beamAlpha = 1;
          stage = 2;
        }
      }
      if (stage == 2) {
        SetDrawBlendMode(3);
        SetDrawAlpha(bikeAlpha);
        DrawImageFrame(img_bike2, 272, 397, 3);
        SetDrawAlpha(beamAlpha);
        DrawBeam(beamAngle, rowFrame);
        bikeAlpha += 0.02f;
        if (bikeAlpha > 1) stage = 3;
      }
      if (stage == 3) {
        SetDrawBlendMode(3);
        SetDrawAlpha(1);
        DrawImageFrame(img_bike2, 272, 397, 3);
        SetDrawAlpha(beamAlpha);
        DrawBeam(beamAngle, rowFrame);
        beamAlpha -= 0.04f;
        if (beamAlpha < 0) stage = 4;
      }
    }

    SetDrawAlpha(1);
    SetDrawBlendMode(3);
    DrawScanlines();
    PresentFrame(-1);
    if (TakeKeyPressCount(32) > 0 || stage == 4) break;
  }
  PlayerX = 272;
  PlayerY = 397;
}

void TakeOffSequence() {
  PlayerSpeed = 0;  // the world stands still; the enemies fly on
  NewTextMessage(4, 20);
  int bonusWhole = TruncateToInt(TimeBonus);
  int counting;
  if (bonusWhole > 1 && AliensLeft == 0) {
    NewTextMessage(5, 80);
    counting = 1;
  } else {
    NewTextMessage(6, 80);
    counting = 0;
    TimeBonus = 0;
  }

  float moduleY = 392;
  int exhaustFrame = 0, exhaustTick = 0;
  int tick = 2;
  int soundPending = 1;
  for (;;) {
    FrameOpening();
    UpdateStructures(0);
    DrawTextMessages();
    if (Settings.sfxOn == 1 && TimeBonus == 0 && soundPending == 1) {
      PlaySfx(snd_ModuleTakeoff2);
      soundPending = 0;
    }
    DrawImageFrame(img_module, 180, moduleY, 0);
    if (counting == 0) {
      SetDrawAlpha(0.7f);
      if (moduleY < 392) DrawImageFrame(img_LunarExhaust, 188, moduleY + 54, exhaustFrame);
      SetDrawAlpha(1);
      AdvanceExhaust(exhaustFrame, exhaustTick);
    }
    bool gone = false;
    if (bonusWhole <= 0 || counting == 0) {
      moduleY -= 1.5f;
      if (moduleY < -70) gone = true;
    }
    UpdateEnemies();
    DrawEnemies();
    DrawFrontLayer();

    if (counting == 1) {
      // Ten points for every whole unit left, one unit every second frame.
      bonusWhole = TruncateToInt(TimeBonus);
      TimeBonus = static_cast<float>(bonusWhole);
      if (TimeBonus > 0) {
        tick -= 1;
        if (tick == 0) {
          tick = 2;
          Score += 10;
          TimeBonus -= 1;
          PlaySfx(snd_menuselect2);
        }
      }
      if (!(TimeBonus > 0)) counting = 0;
    }

    TimeBarAndStatusLine();
    DrawScanlines();
    PresentFrame(-1);
    if (TakeKeyPressCount(27) > 0 || gone) break;
  }

  PlaySfx(snd_Urp);
  LevelNumber += 1;
  SetupSector(LevelNumber);
  LandingSequence(1);
  TakeOffFlag = 0;
  ClearKeyStates();
}
