// Whole games through PlayGame: one directed game from the first landing to
// game over by way of level 2, a batch of games played with random input,
// and a replay check.
//
// NOVA_RANDOM_GAMES sets how many random games to play (20 by default; the
// full soak is NOVA_RANDOM_GAMES=100).
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

#include "playfield.h"

using namespace playfield;

namespace {

constexpr int kFrameLimit = 30000;

void StartWithoutDrawing() { StartOnce(false); }

bool InPlay() { return QuitState == 0 && ShieldCount >= 0 && PlayerY != 402 && TakeOffFlag == 0; }

template <class T>
T* FirstOfKind(int kind) {
  for (Structures* s : Each<Structures>(StructuresList))
    if (s->structure == kind) return s;
  return nullptr;
}

void ReleaseAllKeys() {
  for (int k : {KeyLeft, KeyRight, KeyClimb, KeyClimb2, KeyFire, 27, 78, 89}) ScriptKeyUp(k);
  ClearKeyStates();
}

int32_t ReadInt32At(const std::vector<char>& bytes, size_t at) {
  return static_cast<int32_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
                              static_cast<uint8_t>(bytes[at + 2]) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24);
}

struct GameResult {
  int score;
  int level;
  int64_t frames;
  bool gameOver;
};

// Plays one game with random input from its own generator (never the game's).
GameResult PlayRandomGame(int gameSeed, unsigned inputSeed) {
  std::mt19937 input(inputSeed);
  const int64_t start = PresentedFrameCount();
  int64_t lastFrame = start;
  bool limitHit = false;
  std::array<bool, 4> held{};
  const std::array<int, 4> keys{KeyLeft, KeyRight, KeyClimb, KeyClimb2};
  SetScriptHook([&] {
    const int64_t now = PresentedFrameCount();
    if (now == lastFrame) {
      // Called from a wait without a new frame: answer a pause dialog with N.
      ScriptKeyTap(78);
      return;
    }
    lastFrame = now;
    if (now - start >= kFrameLimit && !limitHit) {
      limitHit = true;
      QuitState = 1;
      return;
    }
    std::uniform_int_distribution<int> roll(0, 999);
    for (size_t k = 0; k < keys.size(); ++k) {
      if (roll(input) < 60) {
        held[k] = !held[k];
        if (held[k])
          ScriptKeyDown(keys[k]);
        else
          ScriptKeyUp(keys[k]);
      }
    }
    if (roll(input) < 150) ScriptKeyTap(KeyFire);
    if (roll(input) < 2) ScriptKeyTap(27);
  });
  SetRandomSeed(gameSeed);
  PersonalBest = 0;
  PlayGame();
  SetScriptHook(nullptr);
  ReleaseAllKeys();
  return {Score, LevelNumber, PresentedFrameCount() - start, !limitHit};
}

class WholeGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartWithoutDrawing();
    ResetWorld();
    SfxOn = 1;
    MusicOn = 1;
  }
  void TearDown() override {
    SetScriptHook(nullptr);
    ReleaseAllKeys();
  }
};

}  // namespace

TEST_F(WholeGameTest, RescueTakeOffWithTheBonusThenLoseEveryShield) {
  SetRandomSeed(2024);
  PersonalBest = 0;
  float bonusAtTouch = -1;
  int scoreBeforeTakeOff = -1, levelOneShieldsLeft = -1, hitsTaken = 0, deliveries = 0, lastShields = 8;
  SetScriptHook([&] {
    if (LevelNumber == 2) {
      // Keep the flying enemies and the shots out of it: only mines hit.
      EnemyBulletsList->Clear();
      for (Enemies* e : Each<Enemies>(EnemiesList)) e->x = 1500;
    }
    if (!InPlay()) return;
    if (LevelNumber == 1) {
      InvulnerableTicks = std::max(InvulnerableTicks, 2);  // nothing hurts on level 1
      if (AlienFree == 1) {
        AlienX = PlayerX + 30;  // waits right under the bike's pick-up box
      } else if (AliensLeft > 0) {
        Structures* gate = FirstOfKind<Structures>(2);
        ASSERT_NE(nullptr, gate);
        gate->x = PlayerX + 20;
        gate->inactive = 0;
        ++deliveries;
      } else if (bonusAtTouch < 0) {
        Structures* module = FirstOfKind<Structures>(1);
        ASSERT_NE(nullptr, module);
        module->x = PlayerX + 20;
        bonusAtTouch = TimeBonus;
        scoreBeforeTakeOff = Score;
        levelOneShieldsLeft = ShieldCount;
      }
    } else if (LevelNumber == 2) {
      if (ShieldCount < lastShields) ++hitsTaken;
      lastShields = ShieldCount;
      if (InvulnerableTicks == 0) {
        Structures* mine = FirstOfKind<Structures>(8);
        ASSERT_NE(nullptr, mine);
        mine->x = PlayerX + 40;
        mine->y = PlayerY;
      }
    }
  });
  PlayGame();
  SetScriptHook(nullptr);

  EXPECT_EQ(1, deliveries) << "two aliens: one delivered, the last carried to the module";
  EXPECT_EQ(500, scoreBeforeTakeOff);
  EXPECT_EQ(8, levelOneShieldsLeft);
  ASSERT_GT(bonusAtTouch, 90);
  const int bonus = 10 * TruncateToInt(bonusAtTouch);
  EXPECT_EQ(2, LevelNumber);
  EXPECT_EQ(-1, ShieldCount);
  EXPECT_EQ(8, hitsTaken) << "the ninth hit ends the game before the next frame";
  EXPECT_EQ(500 + bonus + 9 * 100, Score);
  EXPECT_EQ(Score, PersonalBest);
  EXPECT_EQ(1, QuitState);

  // What the program writes when it ends.
  const String saved = SettingsFileName;
  SettingsFileName = u"wholegame_settings.dat";
  SaveSettings();
  SettingsFileName = saved;
  std::ifstream in("wholegame_settings.dat", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 60u);
  EXPECT_EQ(Score, ReadInt32At(bytes, 4));
  std::remove("wholegame_settings.dat");
}

TEST_F(WholeGameTest, RandomInputGamesEndWithoutACrashOrAnythingLeftBehind) {
  const char* env = std::getenv("NOVA_RANDOM_GAMES");
  const int games = env ? std::atoi(env) : 20;
  int ended = 0;
  for (int g = 0; g < games; ++g) {
    const GameResult r = PlayRandomGame(1000 + g, 77u + static_cast<unsigned>(g));
    ended += r.gameOver;
    ASSERT_EQ(1, QuitState) << "game " << g;
    ASSERT_LE(r.frames, kFrameLimit + 2000) << "game " << g;
    ASSERT_GE(r.level, 1);
    ASSERT_GE(r.score, 0);
    // Records left over are bounded: shots and explosions die out on their own.
    EXPECT_EQ(0, Count<FruitJam>(FruitJamList) * r.gameOver) << "game " << g;
    EXPECT_LT(Count<PlayerBullets>(PlayerBulletsList), 100) << "game " << g;
    EXPECT_LT(Count<Explosions>(ExplosionsList), 200) << "game " << g;
    EXPECT_LT(Count<Shields>(ShieldsList), 10) << "game " << g;
    EXPECT_LT(Count<TextMessages>(TextMessagesList), 20) << "game " << g;
    EXPECT_EQ(100, Count<StarCoords>(StarCoordsList));
    EXPECT_EQ(0, Count<Explosions2>(Explosions2List));
    EXPECT_EQ(0, Count<Particles>(ParticlesList));
  }
  std::printf("[ random  ] %d games, %d reached game over\n", games, ended);
  EXPECT_GT(ended, 0);
}

TEST_F(WholeGameTest, TheSameSeedAndInputReplayTheSameGame) {
  const GameResult a = PlayRandomGame(4242, 99u);
  const GameResult b = PlayRandomGame(4242, 99u);
  EXPECT_EQ(a.score, b.score);
  EXPECT_EQ(a.frames, b.frames);
  EXPECT_EQ(a.level, b.level);
  const GameResult c = PlayRandomGame(4243, 98u);
  EXPECT_TRUE(c.frames != a.frames || c.score != a.score) << "a different game should differ";
}
