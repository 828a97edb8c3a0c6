// The end of a game: the last picture dims, explosions burst around the bike,
// the bike shatters twice into small pieces, the screen fades to black,
// "game over" slides down and the verdict on the personal best slides in.
#include <algorithm>

#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/dialog.h"
#include "services/fonttext.h"
#include "services/music.h"
#include "services/settings.h"

namespace {

void Burst() {
  const int dx = RandomIntInRange(-60, 60);
  const int dy = RandomIntInRange(-28, 28);
  NewExplosion(TruncateToInt(world.bike.x + static_cast<float>(dx) + 32),
               TruncateToInt(world.bike.y + static_cast<float>(dy) + 12), ExplosionKind::CentredBlast, 0);
}

void DrawGrab(int grey) {
  SetDrawColour(grey, grey, grey);
  if (ScreenGrab) DrawImageFrame(ScreenGrab, 0, 0, 0);
  SetDrawColour(255, 255, 255);
}

// Frames of the grabbed picture from grey `from` down in steps of 6 while
// the grey is at least `lowest`, with `drawOver` drawn on each and `step`, if
// given, run after it.
void DimGrab(int from, int lowest, void (*drawOver)(), void (*step)() = nullptr) {
  for (int grey = from; grey >= lowest; grey -= 6) {
    ClearDrawBuffer();
    DrawGrab(grey);
    drawOver();
    if (step) step();
    PresentFrame(-1);
  }
}

}  // namespace

void ShatterPlayer(int x, int y) {
  world.pieces->Clear();
  // KEPT: the pieces always show the left-facing bike; facing right only
  // shifts them by one cell.
  const int facingShift = world.bike.facing == Facing::Right ? 1 : 0;
  for (int i = 0; i <= 23; ++i) {
    for (int j = 0; j <= 10; ++j) {
      Pieces* p = SpawnAt<Pieces>(world.pieces, x + 5 * i, y + 5 * j);
      p->life = RandomIntInRange(30, 90);
      const int angle = RandomIntInRange(0, 359);
      p->xSpeed = static_cast<float>(SinDegrees(angle) * RandomRealInRange(3, 8));
      p->ySpeed = static_cast<float>(-CosDegrees(angle) * RandomRealInRange(3, 8));
      p->cell = i + 24 * j + facingShift;
    }
  }
}

// Each piece tumbles its own way and catches its own light (the top of the
// bike brighter, every shard a little different), so the bike breaks into
// shards rather than a grid of squares. Only the drawing: where a piece flies
// and how long it lives stay as they were.
void DrawBikePiece(const Pieces& p) {
  const int row = p.cell / 24;                       // 0 at the top of the bike
  const int jitter = (p.cell * 37) % 5 - 2;          // -2 .. 2
  const int shade = std::min(255, 250 - 4 * row + 8 * jitter);
  const int spin = (p.cell % 7) - 3;                 // degrees a frame
  SetDrawColour(shade, shade, shade);
  SetDrawRotation(static_cast<float>((p.cell * 53) % 360 + 3 * spin * p.life));
  DrawImageFrame(img_bike2_pieces, p.x, p.y, p.cell);
}

void DrawBikePieces() {
  const int cells = img_bike2_pieces ? ImageFrameCount(img_bike2_pieces) : 0;
  for (const Pieces* p : Each<Pieces>(world.pieces))
    if (p->cell >= 0 && p->cell < cells) DrawBikePiece(*p);
  SetDrawColour(255, 255, 255);
  SetDrawRotation(0);
}

void UpdateBikePieces() {
  for (Pieces* p : Each<Pieces>(world.pieces)) {
    p->life -= 1;
    if (p->life < 0) {
      world.pieces->Remove(p);  // gone: nothing more to move
      continue;
    }
    p->x += p->xSpeed;
    p->y += p->ySpeed;
  }
}

void GameOver() {
  // The last picture of the world, with one more step of most of it (the
  // enemies and fragments stand, only the spinners turn; the explosions
  // animate but do not drift), without the bike, its shields and the burst
  // pieces.
  ClearDrawBuffer();
  SetDrawBlendMode(BlendMode::Alpha);
  SetDrawAlpha(1);
  SetDrawColour(255, 255, 255);
  DrawSky(1.0f);
  MoveStars();

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

  TurnSpinners();
  DrawEnemies();

  UpdateAlien();
  DrawAlien();
  ScrollAlien();

  DrawFrags();

  DrawExplosions();
  AnimateExplosions();

  if (ScreenGrab) GrabImageFromScreen(ScreenGrab, 0, 0, 0);

  // Dim it, with the bike blinking on top.
  world.bike.invulnerableTicks = 120;
  SetDrawAlpha(1);
  DimGrab(255, 96, DrawPlayer, UpdatePlayer);

  for (int i = 0; i < 20; ++i) Burst();
  float t = 0;
  PlaySfx(snd_explode1);
  do {
    ClearDrawBuffer();
    DrawGrab(93);
    if (t < 80) {
      DrawPlayer();
      UpdatePlayer();
    }
    // The pieces and the blasts at 0.6. The fragments set their own alpha
    // and leave 1 behind, so 0.6 is set again for the pieces; the blasts
    // drawn after them keep that 0.6, and 1 comes back only after them (a
    // carrier's puff still in the list leaves 1 for the blasts behind it).
    SetDrawAlpha(0.6f);
    DrawFrags();
    SetDrawAlpha(0.6f);
    DrawBikePieces();
    DrawExplosions();
    SetDrawAlpha(1);
    UpdateBikePieces();
    AnimateExplosions();
    const int r = RandomIntInRange(1, 64);
    if (r < 6 && t < 40)
      for (int i = 0; i < 6; ++i) Burst();
    t += 1;
    if (t == 50) {
      ShatterPlayer(TruncateToInt(world.bike.x), TruncateToInt(world.bike.y));
      PlaySfx(snd_explode2);
    }
    if (t == 80) {
      ShatterPlayer(TruncateToInt(world.bike.x), TruncateToInt(world.bike.y));
      PlaySfx(snd_explode3);
    }
    DrawScanlines();
    PresentFrame(-1);
  } while (t < 200);

  // Fade to black.
  ClearDrawBuffer();
  PresentFrame(-1);
  SetDrawAlpha(1);
  DimGrab(96, 1, DrawScanlines);

  world.pieces->Clear();
  world.game.ended = GameEnd::GameOver;
  for (int i = 0; i < 2; ++i) {
    ClearDrawBuffer();
    PresentFrame(-1);
  }
  ClearKeyStates();

  float y = -20;
  do {
    ClearDrawBuffer();
    DrawFontTextAt(u"game over", 245, y);
    y += 4;
    PresentFrame(-1);
  } while (y < 200);

  String verdict;
  if (world.game.score < Settings.personalBest) {
    verdict = u"highscore not achieved";
  } else {
    verdict = u"new personal highscore";
    Settings.personalBest = world.game.score;
  }

  float x = 640;
  do {
    ClearDrawBuffer();
    DrawFontTextAt(u"game over", 245, 198);
    DrawFontTextAt(verdict, x, 256);
    x -= 6;
    PresentFrame(-1);
  } while (x >= 130);

  SleepMillis(500);
}
