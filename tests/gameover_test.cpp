// Game over: the shattering bike, the length of the sequence, what it leaves
// behind and the verdict on the personal best.
#include <set>
#include <utility>
#include <vector>

#include "playfield.h"

using namespace playfield;

class GameOverTest : public PlayfieldTest {};

TEST_F(GameOverTest, TheBikeShattersIntoPiecesTilingItsPicture) {
  Add<Pieces>(world.pieces);  // anything already there goes first
  ShatterPlayer(250, 300);
  EXPECT_EQ(264, Count<Pieces>(world.pieces));
  std::set<std::pair<int, int>> places;
  for (Pieces* p : Each<Pieces>(world.pieces)) {
    const int i = (TruncateToInt(p->x) - 250) / 5, j = (TruncateToInt(p->y) - 300) / 5;
    places.insert({i, j});
    EXPECT_EQ(i + 24 * j + 1, p->cell) << "facing right shifts the cell by one";
    EXPECT_TRUE(p->life >= 30 && p->life <= 90);
  }
  EXPECT_EQ(264u, places.size());
  EXPECT_EQ(std::make_pair(23, 10), *places.rbegin());
  world.bike.facing = Facing::Left;
  ShatterPlayer(0, 0);
  Pieces* last = nullptr;
  for (Pieces* p : Each<Pieces>(world.pieces)) last = p;
  EXPECT_EQ(23 + 24 * 10, last->cell);
}

TEST_F(GameOverTest, APieceWithLifeLIsDrawnLPlusOneTimesAndBurstPiecesGoAtOnce) {
  Pieces* p = Add<Pieces>(world.pieces);
  p->x = 10, p->y = 20, p->xSpeed = 1.5f, p->ySpeed = -2, p->life = 4;
  Add<Pieces>(world.pieces)->cell = 99;  // a burst piece: life 0
  DrawBikePieces();
  EXPECT_EQ(1, Count<Pieces>(world.pieces));
  EXPECT_FLOAT_EQ(11.5f, p->x);
  EXPECT_FLOAT_EQ(18, p->y);
  int draws = 1;
  for (; Count<Pieces>(world.pieces) > 0 && draws < 100; ++draws) DrawBikePieces();
  EXPECT_EQ(5, draws);
}

TEST_F(GameOverTest, ItShowsThreeHundredAndEightySevenFramesAndLeavesTheGameEnded) {
  SetupSector(3);
  world.shieldCount = -1;
  BurstBonus(300, 400);
  world.score = 4200;
  Settings.personalBest = 5000;
  const int32_t clock = MillisecondClock();
  const int64_t start = PresentedFrameCount();
  bool shattered = false;
  SetScriptHook([&] {
    if (PresentedFrameCount() - start == 27 + 60) shattered = Count<Pieces>(world.pieces) > 200;
  });
  Drawing(false);
  GameOver();
  Drawing(true);
  EXPECT_EQ(387, PresentedFrameCount() - start);
  EXPECT_GE(MillisecondClock() - clock, 387 * 16 + 500);
  EXPECT_TRUE(shattered);
  EXPECT_EQ(GameEnd::GameOver, world.ended);
  EXPECT_EQ(0, Count<Pieces>(world.pieces));
  EXPECT_EQ(5000, Settings.personalBest);
}

TEST_F(GameOverTest, ATieIsANewPersonalBestAsMuchAsABetterScore) {
  // The last frame, drawn: the verdict slid in under "game over".
  auto verdict = [](int score, int best) {
    world.score = score;
    Settings.personalBest = best;
    const int64_t start = PresentedFrameCount();
    std::vector<uint8_t> screen;
    SetScriptHook([&] {
      const int64_t f = PresentedFrameCount() - start;
      Drawing(f >= 386);
      if (f == 387) screen = ReadScreenRGBA();
    });
    Drawing(false);
    GameOver();
    Drawing(true);
    SetScriptHook(nullptr);
    return screen;
  };
  const std::vector<uint8_t> better = verdict(7350, 7000);
  EXPECT_EQ(7350, Settings.personalBest);
  const std::vector<uint8_t> worse = verdict(10, 7350);
  EXPECT_EQ(7350, Settings.personalBest);
  EXPECT_EQ(better, verdict(0, 0));
  EXPECT_NE(better, worse);
}

TEST_F(GameOverTest, ScreenshotsOfTheShatterAndTheVerdict) {
  SetupSector(3);
  const int64_t start = PresentedFrameCount();
  int lit = 0;
  SetScriptHook([&] {
    const int64_t f = PresentedFrameCount() - start;
    if (f == 27 + 58) {
      SaveScreenPNG("gameover_shatter.png");
      for (int y = 300; y < 470; y += 2)
        for (int x = 150; x < 500; x += 2) {
          const uint32_t c = ReadScreenPixel(x, y);
          lit += ((c >> 16) + (c >> 8 & 255) + (c & 255)) > 300;
        }
    }
    if (f == 387) SaveScreenPNG("gameover_verdict.png");
  });
  GameOver();
  EXPECT_GT(lit, 50) << "pieces and explosions fly around the bike";
}

// What the sequence draws over the dimmed picture comes at 0.6: a piece of
// the bike by its alpha blend over black, a blast by its light blend onto
// black. Solid pictures stand in for both, and no picture is grabbed, so the
// pixels read the alpha straight.
TEST_F(GameOverTest, PiecesAndTheBlastsDrawnAfterThemComeAtSixTenths) {
  TImage* const saved[3] = {ScreenGrab, img_bike2_pieces, img_explosion2};
  const int scanlines = Settings.scanlinesOn;
  auto solid = [](int w, int h, int channel) {
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4, 0);
    for (size_t i = 0; i < rgba.size(); i += 4) rgba[i + channel] = 200, rgba[i + 3] = 255;
    return rgba;
  };
  // Made once: the runtime of these tests lives for the whole process and
  // keeps what it made until it ends.
  static TImage* const pieces = [&] {
    const std::vector<uint8_t> green = solid(120, 110, 1);
    return CreateImageFromRGBA(green.data(), 120, 110, 5, 5, 528, IMAGE_DEFAULT_FLAGS);
  }();
  static TImage* const blasts = [&] {
    const std::vector<uint8_t> blue = solid(64 * 13, 64, 2);
    TImage* made = CreateImageFromRGBA(blue.data(), 64 * 13, 64, 64, 64, 13, IMAGE_DEFAULT_FLAGS);
    CentreImageHandle(made);
    return made;
  }();
  img_bike2_pieces = pieces, img_explosion2 = blasts;
  ScreenGrab = nullptr;
  Settings.scanlinesOn = 0;

  // Far from the bike and its bursts; the piece stands still until the
  // first shatter sweeps it away.
  Pieces* piece = Add<Pieces>(world.pieces);
  piece->x = 100, piece->y = 100, piece->life = 1000;
  NewExplosion(520, 100, ExplosionKind::CentredBlast, 0);
  const int64_t start = PresentedFrameCount();
  uint32_t pieceSeen = 0, blastSeen = 0;
  SetScriptHook([&] {
    const int64_t f = PresentedFrameCount() - start;
    Drawing(f == 27 + 10);
    if (f == 27 + 11) pieceSeen = ReadScreenPixel(102, 102), blastSeen = ReadScreenPixel(520, 100);
  });
  Drawing(false);
  GameOver();
  Drawing(true);

  ScreenGrab = saved[0], img_bike2_pieces = saved[1], img_explosion2 = saved[2];
  Settings.scanlinesOn = scanlines;
  EXPECT_NEAR(static_cast<int>(pieceSeen >> 8 & 255), 120, 2) << std::hex << pieceSeen;
  EXPECT_NEAR(static_cast<int>(blastSeen & 255), 120, 2) << std::hex << blastSeen;
  EXPECT_FLOAT_EQ(1.0f, GetDrawState().alpha);
}
