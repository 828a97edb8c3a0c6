// The golden replay: whole games with fixed seeds and fixed input, hashed
// frame by frame (the bike, score, level, shields, every list's records,
// the random generator's position and the sounds played) and compared with
// the hashes kept in tests/golden/. Any change in what a frame does shows up
// here as the first frame that differs.
//
// A change that is meant to alter play (a sprite's shape, which the
// pixel-exact collisions read) writes the hashes anew:
//   NOVA_WRITE_GOLDEN=1 ./golden_replay_test
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "playfield.h"

using namespace playfield;

namespace {

// FNV-1a over values in one canonical form: integers, enums and flags as 64
// bits, floats by their bit pattern, so renaming a field or narrowing an int
// to a bool or an enum leaves the hash as it was.
class StateHash {
 public:
  template <class... T>
  void Add(const T&... values) {
    (AddOne(values), ...);
  }
  uint64_t Value() const { return h_; }

 private:
  template <class T>
  void AddOne(const T& v) {
    if constexpr (std::is_floating_point_v<T>) {
      const float f = static_cast<float>(v);
      uint32_t bits;
      std::memcpy(&bits, &f, sizeof bits);
      Bytes(static_cast<uint64_t>(bits));
    } else if constexpr (std::is_enum_v<T>) {
      Bytes(static_cast<uint64_t>(static_cast<int64_t>(v)));
    } else {
      Bytes(static_cast<uint64_t>(static_cast<int64_t>(v)));
    }
  }
  void Bytes(uint64_t v) {
    for (int i = 0; i < 8; ++i) {
      h_ ^= (v >> (8 * i)) & 0xFF;
      h_ *= 0x100000001B3ull;
    }
  }
  uint64_t h_ = 0xCBF29CE484222325ull;
};

// Every record of a list, field by field, with the list's length first.
template <class T, class F>
void AddList(StateHash& h, TList* list, F fields) {
  int n = 0;
  for (T* r : Each<T>(list)) {
    fields(*r);
    ++n;
  }
  h.Add(n);
}

uint64_t HashWorld() {
  StateHash h;
  h.Add(PlayerX, PlayerY, PlayerSpeed, MaxSpeed, Facing, ScrollFactor[0], ScrollFactor[1], ScrollFactor[2]);
  h.Add(ScrollPos, SectorShown, ShieldCount, InvulnerableTicks, Score, LevelNumber, Settings.personalBest, QuitState);
  h.Add(AliensLeft, AlienFree, AlienX, AlienY, AlienFrame, AlienFrameDelay, AlienBob, AlienSoundTimer);
  h.Add(TeleportersOff, TakeOffFlag, TimeBonus, LayerPos1, LayerPos2, LayerPos3, BackdropFade);
  h.Add(Thrusting, Climbing, PlanetX, DialogFade, TeleportOffset);
  h.Add(ThrustFlameFrame, ThrustFlameDelay, LiftFlameFrame, LiftFlameDelay);
  AddList<Structures>(h, StructuresList, [&](const Structures& s) {
    h.Add(s.structure, s.x, s.y, s.frame, s.maxframe, s.fdelay, s.inactive, s.Sector, s.Bounce, s.Xspeed,
          s.Rotation, s.RotationDir, s.HitPoints, s.SoundDelay);
  });
  AddList<Enemies>(h, EnemiesList, [&](const Enemies& e) {
    h.Add(e.enemy, e.x, e.y, e.xspeed, e.yspeed, e.Sinus, e.SinCount, e.Frame, e.MaxFrame, e.AnimDelay,
          e.Rotation, e.RotationDir);
  });
  AddList<EnemyBullets>(h, EnemyBulletsList, [&](const EnemyBullets& b) {
    h.Add(b.x, b.y, b.xspeed, b.yspeed, b.life, b.WhatType, b.Angle, b.GoStraight, b.Frame, b.FrameDelay);
  });
  AddList<PlayerBullets>(h, PlayerBulletsList,
                         [&](const PlayerBullets& b) { h.Add(b.x, b.y, b.xspeed, b.yspeed); });
  AddList<Explosions>(h, ExplosionsList, [&](const Explosions& e) {
    h.Add(e.x, e.y, e.frame, e.fdelay, e.Speed, e.whichone, e.xspeed);
  });
  AddList<Explosions2>(h, Explosions2List, [&](const Explosions2& e) {
    h.Add(e.x, e.y, e.frame, e.fdelay, e.Speed, e.whichone, e.xspeed);
  });
  AddList<Frags>(h, FragsList,
                 [&](const Frags& f) { h.Add(f.x, f.y, f.enemy, f.frame, f.Angle, f.Alpha); });
  AddList<Shields>(h, ShieldsList, [&](const Shields& s) {
    h.Add(s.ShieldType, s.x, s.y, s.Frame, s.FrameDelay, s.Rotation, s.Zoom, s.Color);
  });
  AddList<FruitJam>(h, FruitJamList, [&](const FruitJam& p) {
    h.Add(p.x, p.y, p.xadd, p.yadd, p.alpha, p.segment, p.pause, p.WhoseShot);
  });
  AddList<Particles>(h, ParticlesList, [&](const Particles& p) {
    h.Add(p.x, p.y, p.xspeed, p.yspeed, p.Sinus, p.SinCount, p.Frame, p.alpha, p.life);
  });
  AddList<TextMessages>(h, TextMessagesList, [&](const TextMessages& m) {
    h.Add(m.number, m.x, m.y, m.alpha, m.alphaadd, m.scale, m.sinus, m.rotate, m.delayticks);
  });
  AddList<StarCoords>(h, StarCoordsList,
                      [&](const StarCoords& s) { h.Add(s.x, s.y, s.xspeed, s.size, s.color); });
  h.Add(RandomStateFingerprint());
  return h.Value();
}

// The sounds asked for since the last call (plays, volume changes, stops),
// hashed and then forgotten.
uint64_t TakeSoundLogHash() {
  StateHash h;
  for (const SoundEvent& e : SoundLog()) {
    h.Add(e.kind, e.volume, e.loop);
    for (char c : e.name) h.Add(c);
  }
  ClearSoundLog();
  return h.Value();
}

struct ReplayGame {
  int gameSeed;
  unsigned inputSeed;
  int frameLimit;
};

// The games: each ends in game over or is cut at its frame limit.
constexpr ReplayGame kGames[] = {{31, 5u, 6000}, {4711, 17u, 6000}, {90210, 23u, 6000}};

Structures* FirstOfKind(int kind) {
  for (Structures* s : Each<Structures>(StructuresList))
    if (s->structure == kind) return s;
  return nullptr;
}

// One game: random steering, firing and pauses from the input's own
// generator, and now and then the alien, a teleporter or the module put
// under the bike so that rescues, teleports and take-offs happen. Returns
// one hash a presented frame.
std::vector<uint64_t> PlayReplayGame(const ReplayGame& game) {
  std::mt19937 input(game.inputSeed);
  const int keys[] = {Settings.keyLeft, Settings.keyRight, Settings.keyClimb, KeyClimb2};
  bool held[4] = {};
  std::vector<uint64_t> hashes;
  const int64_t start = PresentedFrameCount();
  int64_t last = start;
  SetScriptHook([&] {
    const int64_t now = PresentedFrameCount();
    if (now == last) {  // a wait without frames: the pause dialog, answered N
      ScriptKeyTap(78);
      return;
    }
    last = now;
    hashes.push_back(HashWorld() ^ (TakeSoundLogHash() * 0x9E3779B97F4A7C15ull));
    if (now - start >= game.frameLimit) QuitState = 1;
    std::uniform_int_distribution<int> roll(0, 999);
    for (int k = 0; k < 4; ++k)
      if (roll(input) < 50) (held[k] = !held[k]) ? ScriptKeyDown(keys[k]) : ScriptKeyUp(keys[k]);
    if (roll(input) < 150) ScriptKeyTap(Settings.keyFire);
    if (roll(input) < 3) ScriptKeyTap(27);
    if (roll(input) < 12 && QuitState == 0 && ShieldCount >= 0 && TakeOffFlag == 0) {
      PlayerY = 397;
      if (AlienFree == 1) {
        AlienX = PlayerX + 30;
      } else if (Structures* s = FirstOfKind(AliensLeft > 0 ? 2 : 1)) {
        s->x = PlayerX + 20;
      }
    }
  });
  SetRandomSeed(game.gameSeed);
  PlayGame();
  SetScriptHook(nullptr);
  for (int k : keys) ScriptKeyUp(k);
  ClearKeyStates();
  return hashes;
}

std::string GoldenPath() { return std::string(NOVA_SOURCE_DIR) + "/tests/golden/replay.txt"; }

std::string Hex(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

class GoldenReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartOnce(false);
    ResetWorld();
    Settings.personalBest = 0;
    Settings.musicOn = 1;
    Settings.sfxOn = 1;
    TakeSoundLogHash();
  }
};

}  // namespace

TEST_F(GoldenReplayTest, WholeGamesReplayFrameForFrameAsRecorded) {
  std::ostringstream now;
  for (size_t g = 0; g < std::size(kGames); ++g) {
    ResetWorld();
    const std::vector<uint64_t> hashes = PlayReplayGame(kGames[g]);
    ASSERT_GT(hashes.size(), 1000u) << "game " << g << " ended too soon to prove much";
    for (size_t f = 0; f < hashes.size(); ++f) now << g << ' ' << f << ' ' << Hex(hashes[f]) << '\n';
    std::printf("[ golden   ] game %zu: %zu frames, score %d, level %d, shields %d\n", g, hashes.size(), Score,
                LevelNumber, ShieldCount);
  }

  if (std::getenv("NOVA_WRITE_GOLDEN")) {
    std::ofstream out(GoldenPath(), std::ios::binary);
    out << now.str();
    ASSERT_TRUE(out.good()) << "could not write " << GoldenPath();
    GTEST_SKIP() << "wrote " << GoldenPath();
  }

  std::ifstream in(GoldenPath(), std::ios::binary);
  ASSERT_TRUE(in.good()) << "no golden hashes at " << GoldenPath();
  std::istringstream got(now.str());
  std::string want, have;
  int line = 0;
  while (true) {
    const bool w = static_cast<bool>(std::getline(in, want));
    const bool h = static_cast<bool>(std::getline(got, have));
    ++line;
    if (!w && !h) break;
    ASSERT_EQ(want, have) << "first difference at line " << line << " (game, frame, hash)";
  }
}
