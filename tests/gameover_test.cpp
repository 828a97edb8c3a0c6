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
  EXPECT_EQ(2, Count<Pieces>(world.pieces)) << "drawing ages no piece";
  EXPECT_FLOAT_EQ(10, p->x);
  // One game-over frame of the pieces: drawn, then aged and moved.
  const auto frame = [] {
    DrawBikePieces();
    UpdateBikePieces();
  };
  UpdateBikePieces();
  EXPECT_EQ(1, Count<Pieces>(world.pieces));
  EXPECT_FLOAT_EQ(11.5f, p->x);
  EXPECT_FLOAT_EQ(18, p->y);
  int draws = 1;
  for (; Count<Pieces>(world.pieces) > 0 && draws < 100; ++draws) frame();
  EXPECT_EQ(5, draws);
}

TEST_F(GameOverTest, ItShowsThreeHundredAndEightySevenFramesAndLeavesTheGameEnded) {
  SetupSector(3);
  world.game.shieldCount = -1;
  BurstBonus(300, 400);
  world.game.score = 4200;
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
  EXPECT_EQ(GameEnd::GameOver, world.game.ended);
  EXPECT_EQ(0, Count<Pieces>(world.pieces));
  EXPECT_EQ(5000, Settings.personalBest);
}

TEST_F(GameOverTest, ATieIsANewPersonalBestAsMuchAsABetterScore) {
  // The last frame, drawn: the verdict slid in under "game over".
  auto verdict = [](int score, int best) {
    world.game.score = score;
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

// What the sequence draws over the dimmed picture comes at 0.6: the pieces
// of the bike, each turned and shaded its own way, and the blasts after them
// (read by their light blend onto black, so the pixel gives the alpha
// straight; a solid picture stands in for the blast and no picture is
// grabbed). The pieces' turn and shade must not reach the blasts.
TEST_F(GameOverTest, PiecesAndTheBlastsDrawnAfterThemComeAtSixTenths) {
  TImage* const saved[2] = {ScreenGrab, img_explosion2};
  const int scanlines = Settings.scanlinesOn;
  // Made once: the runtime of these tests lives for the whole process and
  // keeps what it made until it ends.
  static TImage* const blasts = [] {
    std::vector<uint8_t> blue(static_cast<size_t>(64 * 13) * 64 * 4, 0);
    for (size_t i = 0; i < blue.size(); i += 4) blue[i + 2] = 200, blue[i + 3] = 255;
    TImage* made = CreateImageFromRGBA(blue.data(), 64 * 13, 64, 64, 64, 13, IMAGE_DEFAULT_FLAGS);
    CentreImageHandle(made);
    return made;
  }();
  img_explosion2 = blasts;
  ScreenGrab = nullptr;
  Settings.scanlinesOn = 0;

  // Two pieces far from the bike and its bursts, from the top and the bottom
  // of the bike; they stand still until the first shatter sweeps them away.
  for (int cell : {1, 24 * 10 + 5}) {
    Pieces* piece = Add<Pieces>(world.pieces);
    piece->x = 100, piece->y = 100 + 20 * cell / 24, piece->life = 1000, piece->cell = cell;
  }
  NewExplosion(520, 100, ExplosionKind::CentredBlast, 0);
  const int64_t start = PresentedFrameCount();
  uint32_t blastSeen = 0;
  std::vector<DrawEvent> pieces;
  SetScriptHook([&] {
    const int64_t f = PresentedFrameCount() - start;
    Drawing(f == 27 + 10);
    if (f == 27 + 10)
      SetDrawLog([&](const DrawEvent& e) {
        if (e.picture == "bike2.png" && e.width == 5 && (e.frame == 1 || e.frame == 245)) pieces.push_back(e);
      });
    if (f == 27 + 11) blastSeen = ReadScreenPixel(520, 100), SetDrawLog(nullptr);
  });
  Drawing(false);
  GameOver();
  Drawing(true);
  SetDrawLog(nullptr);

  ScreenGrab = saved[0], img_explosion2 = saved[1];
  Settings.scanlinesOn = scanlines;
  ASSERT_EQ(pieces.size(), 2u);
  for (const DrawEvent& e : pieces) EXPECT_FLOAT_EQ(e.state.alpha, 0.6f) << "piece " << e.frame;
  EXPECT_NE(pieces[0].state.rotation, pieces[1].state.rotation) << "every piece turns its own way";
  EXPECT_GT(pieces[0].state.red, pieces[1].state.red) << "the top of the bike catches more light";
  EXPECT_NEAR(static_cast<int>(blastSeen & 255), 120, 2) << std::hex << blastSeen;
  EXPECT_EQ(GetDrawState().red, 255);
  EXPECT_FLOAT_EQ(GetDrawState().rotation, 0.0f);
  EXPECT_FLOAT_EQ(1.0f, GetDrawState().alpha);
}
