// Game over: the shattering bike, the sequence's length and what it leaves
// behind, and the verdict on the personal best.
#include <cmath>
#include <set>
#include <utility>

#include "playfield.h"

using namespace playfield;

class ShatterTest : public PlayfieldTest {};

TEST_F(ShatterTest, TheBikeBreaksIntoPiecesThatTileItsPicture) {
  Add<FruitJam>(FruitJamList);  // anything already there goes first
  PlayerX = 250.7f;
  PlayerY = 300.2f;
  Facing = 3;
  ShatterPlayer(TruncateToInt(PlayerX), TruncateToInt(PlayerY));
  EXPECT_EQ(264, Count<FruitJam>(FruitJamList));
  std::set<std::pair<int, int>> places;
  for (FruitJam* p : Each<FruitJam>(FruitJamList)) {
    const int i = (TruncateToInt(p->x) - 250) / 5, j = (TruncateToInt(p->y) - 300) / 5;
    places.insert({i, j});
    EXPECT_EQ(i + 24 * j + 1, p->segment) << "facing right shifts the cell by one";
    EXPECT_GE(p->WhoseShot, 30);
    EXPECT_LE(p->WhoseShot, 90);
    EXPECT_LE(std::hypot(p->xadd, p->yadd), 8 * 1.4143);
  }
  EXPECT_EQ(264u, places.size());
  EXPECT_EQ(std::make_pair(0, 0), *places.begin());
  EXPECT_EQ(std::make_pair(23, 10), *places.rbegin());

  Facing = 0;
  ShatterPlayer(0, 0);
  EXPECT_EQ(264, Count<FruitJam>(FruitJamList));
  FruitJam* last = nullptr;
  for (FruitJam* p : Each<FruitJam>(FruitJamList)) last = p;
  EXPECT_EQ(23 + 24 * 10, last->segment);
}

TEST_F(ShatterTest, APieceWithLifeLIsDrawnLPlusOneTimesAndFliesStraight) {
  FruitJam* p = Add<FruitJam>(FruitJamList);
  p->x = 10;
  p->y = 20;
  p->xadd = 1.5f;
  p->yadd = -2;
  p->WhoseShot = 4;
  FruitJam* leftover = Add<FruitJam>(FruitJamList);  // a burst piece: life 0
  leftover->segment = 99;
  DrawFruitJam();
  EXPECT_EQ(1, Count<FruitJam>(FruitJamList)) << "a burst piece goes at the first draw";
  EXPECT_FLOAT_EQ(11.5f, p->x);
  EXPECT_FLOAT_EQ(18, p->y);
  int draws = 1;
  while (Count<FruitJam>(FruitJamList) > 0 && draws < 100) {
    DrawFruitJam();
    ++draws;
  }
  EXPECT_EQ(5, draws);
}

class GameOverTest : public PlayfieldTest {
 protected:
  void SetUp() override {
    PlayfieldTest::SetUp();
    SetupSector(3);
    PlayerY = 397;
    ShieldCount = -1;
  }
};

TEST_F(GameOverTest, TheSequenceShowsThreeHundredAndEightySevenFramesAndEndsTheGame) {
  BurstBonus(300, 400);
  Score = 4200;
  PersonalBest = 5000;
  const int64_t start = PresentedFrameCount();
  const int32_t clock = MillisecondClock();
  bool shattered = false;
  SetScriptHook([&] {
    // Pieces of the bike fly from the 50th frame of the explosions on.
    if (PresentedFrameCount() - start == 27 + 60) shattered = Count<FruitJam>(FruitJamList) > 200;
  });
  EXPECT_EQ(0, GameOver());
  SetScriptHook(nullptr);
  EXPECT_EQ(387, PresentedFrameCount() - start);
  EXPECT_GE(MillisecondClock() - clock, 387 * 16 + 500);
  EXPECT_TRUE(shattered);
  EXPECT_EQ(1, QuitState);
  EXPECT_EQ(0, Count<FruitJam>(FruitJamList));
  EXPECT_EQ(5000, PersonalBest) << "highscore not achieved";
}

TEST_F(GameOverTest, ATieOrBetterIsANewPersonalBest) {
  Score = 0;
  PersonalBest = 0;
  GameOver();
  EXPECT_EQ(0, PersonalBest);
  Score = 7350;
  PersonalBest = 7000;
  GameOver();
  EXPECT_EQ(7350, PersonalBest);
}

TEST_F(GameOverTest, ScreenshotsOfTheShatterAndTheVerdict) {
  Score = 100;
  PersonalBest = 50;
  AddEnemy(4, 200, 200);
  const int64_t start = PresentedFrameCount();
  std::vector<uint8_t> shatter;
  SetScriptHook([&] {
    const int64_t f = PresentedFrameCount() - start;
    if (f == 27 + 58) {
      SaveScreenPNG(ShotPath("gameover_shatter.png"));
      shatter = ReadScreenRGBA();
    }
    if (f == 387) SaveScreenPNG(ShotPath("gameover_verdict.png"));
  });
  GameOver();
  SetScriptHook(nullptr);
  // Something bright is flying around the bike's place.
  ASSERT_EQ(640u * 480u * 4u, shatter.size());
  int lit = 0;
  for (int y = 300; y < 470; ++y)
    for (int x = 150; x < 500; ++x) {
      const uint8_t* p = &shatter[(static_cast<size_t>(y) * 640 + x) * 4];
      lit += (p[0] + p[1] + p[2]) > 300;
    }
  EXPECT_GT(lit, 200);
}
