// Whole games through PlayGame: one directed game from the first landing to
// game over by way of level 2, games played with random input, and a replay.
// NOVA_RANDOM_GAMES sets how many random games to play (default 100, about
// 10 s, 30 s under the sanitizers).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "playfield.h"

using namespace playfield;

namespace {

constexpr int kFrameLimit = 30000;

struct Result {
  int score, level;
  int64_t frames;
  bool gameOver;
};

// One game with random input drawn from its own generator, never the game's.
Result PlayRandomGame(int gameSeed, unsigned inputSeed) {
  RandomPlayer player(/*flipKey=*/60, /*fire=*/150, /*pause=*/2, /*putInWay=*/10, inputSeed);
  const int64_t start = PresentedFrameCount();
  int64_t last = start;
  SetScriptHook([&] {
    const int64_t now = PresentedFrameCount();
    if (now == last) {  // a wait without frames: answer the pause dialog with N
      ScriptKeyTap(KeyCode::N);
      return;
    }
    last = now;
    if (now - start >= kFrameLimit && !world.game.ended) world.game.ended = GameEnd::Quit;
    player.PlayFrame();
  });
  SetRandomSeed(gameSeed);
  const GameResult game = PlayGame();
  SetScriptHook(nullptr);
  ReleaseSteering();
  return {game.score, game.level, PresentedFrameCount() - start, game.end == GameEnd::GameOver};
}

class WholeGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartOnce(false);
    ResetWorld();
    Settings.personalBest = 0;
  }
  void TearDown() override {
    SetScriptHook(nullptr);
    ReleaseSteering();
  }
};

}  // namespace

TEST_F(WholeGameTest, RescueBothAliensTakeOffWithTheBonusThenLoseEveryShield) {
  SetRandomSeed(2024);
  float bonusAtTouch = -1;
  int scoreAtTouch = -1, deliveries = 0, hits = 0, shields = 8;
  // Pictures of the game as a player sees it, drawn only for the frames kept.
  const int64_t start = PresentedFrameCount();
  const std::pair<int64_t, const char*> shots[] = {
      {300, "wholegame_landing.png"}, {478, "wholegame_pickup.png"}, {700, "wholegame_takeoff.png"},
      {1530, "wholegame_level2.png"}};
  SetScriptHook([&] {
    const int64_t f = PresentedFrameCount() - start;
    bool draw = false;
    for (const auto& [at, name] : shots) {
      if (f == at) SaveScreenPNG(name);
      draw |= f == at - 1;
    }
    Drawing(draw);
    if (world.game.level == 2) {  // only the mines may hurt on level 2
      world.enemyBullets->Clear();
      for (Enemies* e : Each<Enemies>(world.enemies)) e->x = 1500;
    }
    // Not in play.
    if (world.game.ended || world.game.shieldCount < 0 || world.bike.y == 402 || world.sector.takeOffDue) return;
    if (world.game.level == 1) {
      world.bike.invulnerableTicks = 19;  // drawn at 0.9 and never hurt
      if (world.alien.free) {
        world.alien.x = world.bike.x + 30;  // under the bike's pick-up box
      } else if (world.sector.aliensLeft > 0) {
        Structures* gate = FirstOfKind(Kind::Teleporter);
        ASSERT_NE(gate, nullptr) << "level 1 has no teleporter";
        gate->x = world.bike.x + 20, gate->touchCooldown = 0;
        ++deliveries;
      } else if (bonusAtTouch < 0) {
        Structures* module = FirstOfKind(Kind::LunarModule);
        ASSERT_NE(module, nullptr) << "level 1 has no lunar module";
        module->x = world.bike.x + 20;
        bonusAtTouch = world.sector.timeBonus;
        scoreAtTouch = world.game.score;
      }
    } else {
      hits += world.game.shieldCount < shields;
      shields = world.game.shieldCount;
      if (world.bike.invulnerableTicks == 0) {
        Structures* mine = FirstOfKind(Kind::Mine);
        ASSERT_NE(mine, nullptr) << "level 2 has no mine";
        mine->x = world.bike.x + 40, mine->y = world.bike.y;
      }
    }
  });
  const GameResult game = PlayGame();
  SetScriptHook(nullptr);

  EXPECT_EQ(1, deliveries) << "one alien delivered, the last carried to the module";
  EXPECT_EQ(500, scoreAtTouch);
  ASSERT_GT(bonusAtTouch, 90);
  EXPECT_EQ(2, world.game.level);
  EXPECT_EQ(-1, world.game.shieldCount);
  EXPECT_EQ(8, hits) << "the ninth ends the game before another frame is played";
  EXPECT_EQ(500 + 10 * TruncateToInt(bonusAtTouch) + 9 * 100, world.game.score);
  EXPECT_EQ(world.game.score, Settings.personalBest);
  EXPECT_EQ(GameEnd::GameOver, game.end);
  EXPECT_EQ(world.game.score, game.score);
  EXPECT_EQ(2, game.level);

  // The settings file the program writes at exit holds the new best.
  const String kept = SettingsFileName;
  SettingsFileName = u"wholegame_settings.dat";
  SaveSettings();
  SettingsFileName = kept;
  std::ifstream in("wholegame_settings.dat", std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 60u);
  EXPECT_EQ(world.game.score, bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24);
  std::remove("wholegame_settings.dat");
}

TEST_F(WholeGameTest, RandomInputGamesEndWithoutACrashOrAnythingPilingUp) {
  const char* env = std::getenv("NOVA_RANDOM_GAMES");
  const int games = env ? std::atoi(env) : 100;
  int ended = 0, levels = 0;
  for (int g = 0; g < games; ++g) {
    const Result r = PlayRandomGame(1000 + g, 77u + static_cast<unsigned>(g));
    ended += r.gameOver;
    levels += r.level - 1;
    ASSERT_TRUE(r.gameOver || r.frames >= kFrameLimit) << "game " << g << " ended without game over or the cut";
    ASSERT_LE(r.frames, kFrameLimit + 2000) << "game " << g;
    EXPECT_EQ(0, r.gameOver ? Count<Pieces>(world.pieces) : 0) << "game " << g;
    EXPECT_LT(Count<PlayerBullets>(world.playerBullets) + Count<Explosions>(world.explosions) +
                  Count<ShieldEffects>(world.shieldEffects) + Count<TextMessages>(world.textMessages),
              300)
        << "game " << g;
    EXPECT_EQ(100, Count<StarCoords>(world.starCoords));
    EXPECT_EQ(0, Count<Explosions2>(world.explosions2) + Count<Particles>(world.particles));
  }
  std::printf("[ random   ] %d games, %d ended in game over, %d levels done\n", games, ended, levels);
  EXPECT_GT(ended, 0);
}

TEST_F(WholeGameTest, TheSameSeedAndInputReplayTheSameGame) {
  const Result a = PlayRandomGame(4242, 99u);
  const Result b = PlayRandomGame(4242, 99u);
  EXPECT_EQ(a.score, b.score);
  EXPECT_EQ(a.frames, b.frames);
  EXPECT_EQ(a.level, b.level);
  const Result c = PlayRandomGame(4243, 98u);
  EXPECT_TRUE(c.frames != a.frames || c.score != a.score);
}
