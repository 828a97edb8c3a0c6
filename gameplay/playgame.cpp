// One game: start, the play loop with its fixed frame order, the pause dialog
// and the end.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/dialog.h"
#include "services/fonttext.h"
#include "services/controls.h"
#include "services/music.h"
#include "services/settings.h"

namespace {

// "exit to menu (y/n)" over the dimmed game, to the pause tune; keys only.
// Yes ends the game; no brings the game's tune back.
void PauseDialog() {
  const YesNoQuestion question{
      .text = u"exit to menu (y/n)",
      .column = 12,
      .row = 14,
      .onOpen = [] { SwitchMusic(snd_m_pause, Settings.musicOn == 0 ? 0.0f : PauseMusicVolume); },
      .onAnswer =
          [](bool yes) {
            StopSoundChannel(MusicChannel);
            SleepMillis(25);
            if (yes) world.game.ended = GameEnd::Quit;
          },
  };
  if (!AskYesNo(DialogFade, question)) {
    MusicChannel = PlaySoundOnChannel(snd_m_game, nullptr);
    SetSoundChannelVolume(MusicChannel, GameMusicVolume);
  }
}

void StartGame() {
  SleepMillis(100);
  ClearKeyStates();
  ClearPadHits();
  if (controls.mode == ControlMode::Pad) TakePadRest();
  SwitchMusic(snd_m_game, GameMusicVolume > 0.0f ? GameMusicVolume / 2.0f : GameMusicVolume);
  StartWorld();
  SetupSector(world.game.level);

  // The first picture, composed but not shown, then faded in from black.
  ClearDrawBuffer();
  SetDrawBlendMode(BlendMode::Alpha);
  SetDrawAlpha(1.0f);
  DrawSky(world.game.backdropFade);
  MoveStars();
  DrawBackdrop();
  ScrollLayers();
  UpdateStructures();
  DrawStructures(false);
  ScrollStructures();
  DrawScanlines();
  GrabImageFromScreen(ScreenGrab, 0, 0, 0);
  BrightenScreenGrab(4, 252);
  SetDrawAlpha(1.0f);
  SetDrawColour(255, 255, 255);
  SetDrawBlendMode(BlendMode::Alpha);
  SetDrawScale(1.0f, 1.0f);

  // Set up afresh: the landing shows a different world from the faded-in one.
  SetupSector(world.game.level);
  LandingSequence(Landing::GameStart);
}

// One frame of play. The picture is built back to front, one kind of thing
// at a time; around each drawing stand the steps that move that kind before
// it is shown and after. The order is fixed: every step reads what the ones
// before it left.
void PlayPass() {
  ClearDrawBuffer();
  DrawSky(1.0f);
  MoveStars();

  BikeCommand command = ReadBikeCommand();
  PlayerControl(command);

  DrawBackdrop();
  ScrollLayers();

  UpdateStructures();
  DrawStructures(true);
  ScrollStructures();

  SwingTextMessages();
  DrawTextMessages();
  UpdateTextMessages();

  UpdatePlayerBullets();
  DrawPlayerBullets();
  PlayerBulletsHitTargets();

  UpdateEnemyBullets();
  DrawEnemyBullets();
  AnimateEnemyBullets();
  EnemyBulletsHitPlayer();

  UpdateEnemies();
  TurnSpinners();
  DrawEnemies();

  UpdateAlien();
  DrawAlien();
  ScrollAlien();
  CaptureAlien();

  UpdateFrags();
  DrawFrags();

  DrawPlayer();
  UpdatePlayer();

  MoveAndDrawBonusPieces();

  ScrollExplosions();
  DrawExplosions();
  AnimateExplosions();

  PlayerMeetsStructures();
  StructuresHitPlayer();
  EnemiesHitPlayer();

  DrawShieldEffects();
  AnimateShieldEffects();

  CheckTakeOff(command);

  // The planet creeps left and comes round again.
  world.sector.planetX -= 0.12f;
  if (world.sector.planetX < -202.0f) world.sector.planetX = 600.0f;
  // From 100 the bonus takes 10000 passes to run out, stopping at or just below 0.
  if (world.sector.timeBonus > 0.0f) world.sector.timeBonus -= 0.01f;

  if (command.pause) PauseDialog();
  DrawScanlines();
  PresentFrame(-1);
  if (world.game.shieldCount < 0) GameOver();
}
}  // namespace

// The far sky behind every game picture: stars, the haze band and the planet.
void DrawSky(float fade) {
  DrawStars();
  SetDrawScale(80.0f, 1.0f);
  SetDrawAlpha(0.5f * fade);
  DrawImageFrame(img_layer4c, 0.0f, 20.0f, 0);
  SetDrawScale(1.0f, 1.0f);
  SetDrawAlpha(0.9f * fade);
  DrawImageFrame(img_planet, world.sector.planetX, 20.0f, 0);
  SetDrawAlpha(1.0f);
}

void CheckTakeOff(BikeCommand& command) {
  if (!world.sector.takeOffDue) return;
  TakeOffSequence(command.pause);
  command.pause = false;
}

GameResult PlayGame() {
  StartGame();
  do {
    PlayPass();
  } while (!world.game.ended);

  SwitchMusic(snd_m_menu, MenuMusicVolume);
  ClearKeyStates();
  ClearPadHits();
  return {.score = world.game.score, .level = world.game.level, .end = *world.game.ended};
}
