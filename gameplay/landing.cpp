// The two scripted sequences that frame every level: the lunar module coming
// down and beaming the bike out, and the module taking off again with the
// time bonus counted into the score before the next level is set up.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/fonttext.h"
#include "services/music.h"
#include "services/settings.h"

namespace {

// A new picture with the sky shared with play (stars, the haze, the planet)
// and the back layers.
void DrawSkyAndBackLayers() {
  ClearDrawBuffer();
  DrawSky(1.0f);
  DrawBackLayers();
}

void TimeBarAndStatusLine() {
  SetDrawAlpha(1);
  DrawImageFrame(img_timebar, 0, 0, 0);
  SetDrawAlpha(0.5f);
  SetDrawScale(world.sector.timeBonus * 5, 1);
  DrawImageFrame(img_timebar2, 126, 8, 0);
  SetDrawScale(1, 1);
  SetDrawAlpha(1);
  DrawStatusLine();
}

// The landing beam: nine rows of shimmer around the bike's line, breathing
// as the angle turns. Each row turns the angle by 0.75 degrees before it is
// placed and takes the other of the two cells from the row before.
struct Beam {
  float angle = 0;
  int rowFrame = 0;
};

void TurnOneRow(Beam& beam) {
  beam.angle += 0.75f;
  if (beam.angle > 359) beam.angle = 0;
}

void DrawBeam(Beam beam) {
  for (int r = -4; r <= 4; ++r) {
    TurnOneRow(beam);
    const int offset = TruncateToInt(SinDegrees(beam.angle) * 8 * r);
    SetDrawBlendMode(BlendMode::Light);
    DrawImageFrame(img_Glowing, 260, world.bike.y + static_cast<float>(offset), beam.rowFrame);
    beam.rowFrame ^= 1;
  }
}

// After a drawing: the beam as it stands once its nine rows are placed.
void TurnBeam(Beam& beam) {
  for (int r = -4; r <= 4; ++r) {
    TurnOneRow(beam);
    beam.rowFrame ^= 1;
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

void LandingSequence(Landing landing) {
  NewTextMessage(MessagePicture::GetSet, 20);
  NewTextMessage(MessagePicture::ForLevel, 40);
  NewTextMessage(MessagePicture::Commander, 60);
  Beam beam;
  if (landing == Landing::NextLevel) {
    world.layerPos[0] = static_cast<float>(RandomIntInRange(1, 1216));
    world.layerPos[1] = static_cast<float>(RandomIntInRange(1, 1216));
    world.layerPos[2] = static_cast<float>(RandomIntInRange(1, 1216));
  } else {
    world.layerPos[0] = world.layerPos[1] = world.layerPos[2] = 0;
  }
  PlaySfx(snd_ModuleThrust);

  float moduleY = -64, moduleFrame = 0;
  int exhaustFrame = 0, exhaustTick = 0;
  float beamAlpha = 0, bikeAlpha = 0;
  int stage = 1;
  for (;;) {
    DrawSkyAndBackLayers();
    MoveStars();

    SwingTextMessages();
    DrawTextMessages();
    UpdateTextMessages();

    DrawImageFrame(img_module, 180, moduleY, TruncateToInt(moduleFrame));
    SetDrawAlpha(0.7f);
    if (moduleY < 392) DrawImageFrame(img_LunarExhaust, 188, moduleY + 54, exhaustFrame);
    SetDrawAlpha(1);
    AdvanceExhaust(exhaustFrame, exhaustTick);

    UpdateStructures();
    DrawStructures(false);
    ScrollStructures();

    DrawFrontLayer();
    ScrollLayers();  // the bike stands: only a wrap can move a layer
    TimeBarAndStatusLine();

    moduleY += 1.5f;
    if (moduleY > 392) moduleY = 392;
    if (moduleY == 392) {
      moduleFrame += 0.15f;
      if (moduleFrame > 4.9f) moduleFrame = 4.9f;
    }
    if (moduleFrame == 0.15f) PlaySfx(snd_moduleland);  // the first frame at rest
    world.bike.y = 402;

    if (moduleY == 392) {
      // Beam fades in, the bike fades in inside it, the beam fades out.
      if (stage == 1) {
        SetDrawBlendMode(BlendMode::Alpha);
        SetDrawAlpha(beamAlpha);
        DrawBeam(beam);
        TurnBeam(beam);
        beamAlpha += 0.04f;
        if (beamAlpha > 1) {
          beamAlpha = 1;
          stage = 2;
        }
      }
      if (stage == 2) {
        SetDrawBlendMode(BlendMode::Alpha);
        SetDrawAlpha(bikeAlpha);
        DrawImageFrame(img_bike2, 272, 397, BikeFrame(Facing::Right));
        SetDrawAlpha(beamAlpha);
        DrawBeam(beam);
        TurnBeam(beam);
        bikeAlpha += 0.02f;
        if (bikeAlpha > 1) stage = 3;
      }
      if (stage == 3) {
        SetDrawBlendMode(BlendMode::Alpha);
        SetDrawAlpha(1);
        DrawImageFrame(img_bike2, 272, 397, BikeFrame(Facing::Right));
        SetDrawAlpha(beamAlpha);
        DrawBeam(beam);
        TurnBeam(beam);
        beamAlpha -= 0.04f;
        if (beamAlpha < 0) stage = 4;
      }
    }

    SetDrawAlpha(1);
    SetDrawBlendMode(BlendMode::Alpha);
    DrawScanlines();
    PresentFrame(-1);
    if (TakeKeyPressCount(KeyCode::Space) > 0 || stage == 4) break;
  }
  world.bike.x = 272;
  world.bike.y = 397;
}

void TakeOffSequence(bool escapeTaken) {
  world.bike.speed = 0;  // the world stands still; the enemies fly on
  NewTextMessage(MessagePicture::LevelDone, 20);
  int bonusWhole = TruncateToInt(world.sector.timeBonus);
  bool counting;
  if (bonusWhole > 1 && world.sector.aliensLeft == 0) {
    NewTextMessage(MessagePicture::YeahBonus, 80);
    counting = true;
  } else {
    NewTextMessage(MessagePicture::NoBonus, 80);
    counting = false;
    world.sector.timeBonus = 0;
  }

  float moduleY = 392;
  int exhaustFrame = 0, exhaustTick = 0;
  int tick = 2;
  bool soundPending = true;
  for (;;) {
    DrawSkyAndBackLayers();
    MoveStars();

    UpdateStructures();
    DrawStructures(false);
    ScrollStructures();

    SwingTextMessages();
    DrawTextMessages();
    UpdateTextMessages();

    if (Settings.sfxOn == 1 && world.sector.timeBonus == 0 && soundPending) {
      PlaySfx(snd_ModuleTakeoff2);
      soundPending = false;
    }
    DrawImageFrame(img_module, 180, moduleY, 0);
    if (!counting) {
      SetDrawAlpha(0.7f);
      if (moduleY < 392) DrawImageFrame(img_LunarExhaust, 188, moduleY + 54, exhaustFrame);
      SetDrawAlpha(1);
      AdvanceExhaust(exhaustFrame, exhaustTick);
    }
    bool gone = false;
    if (bonusWhole <= 0 || !counting) {
      moduleY -= 1.5f;
      if (moduleY < -70) gone = true;
    }

    UpdateEnemies();
    TurnSpinners();
    DrawEnemies();

    DrawFrontLayer();
    ScrollLayers();  // the bike stands: only a wrap can move a layer

    if (counting) {
      // Ten points for every whole unit left, one unit every second frame.
      bonusWhole = TruncateToInt(world.sector.timeBonus);
      world.sector.timeBonus = static_cast<float>(bonusWhole);
      if (world.sector.timeBonus > 0) {
        tick -= 1;
        if (tick == 0) {
          tick = 2;
          world.game.score += 10;
          world.sector.timeBonus -= 1;
          PlaySfx(snd_menuselect2);
        }
      }
      if (!(world.sector.timeBonus > 0)) counting = false;
    }

    TimeBarAndStatusLine();
    DrawScanlines();
    PresentFrame(-1);
    if (escapeTaken || TakeKeyPressCount(KeyCode::Escape) > 0 || gone) break;
  }

  PlaySfx(snd_Urp);
  world.game.level += 1;
  SetupSector(world.game.level);
  LandingSequence(Landing::NextLevel);
  world.sector.takeOffDue = false;
  ClearKeyStates();
}
