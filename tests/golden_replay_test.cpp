// The golden replay: whole games with fixed seeds and fixed input, hashed
// frame by frame (the bike, score, level, shields, every list's records,
// the random generator's position, the sounds played, and what the frame
// drew, in the order drawn: each picture and frame, place, colour, alpha,
// blend, turn and scale) and compared with the hashes kept in tests/golden/.
// Any change in what a frame does or shows, or in the order it draws, shows
// up here as the first frame that differs.
//
// A change that is meant to alter play (a sprite's shape, which the
// pixel-exact collisions read) writes the hashes anew:
//   NOVA_WRITE_GOLDEN=1 ./golden_replay_test
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "draw_lines.h"
#include "golden_record.h"
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
  // The facing goes in as the bike's frame, 0 or 3, as it always has.
  h.Add(world.bike.x, world.bike.y, world.bike.speed, kMaxSpeed, BikeFrame(world.bike.facing),
        world.game.scrollFactor[0], world.game.scrollFactor[1], world.game.scrollFactor[2]);
  h.Add(world.sector.scrollPos, world.sector.sectorShown, world.game.shieldCount, world.bike.invulnerableTicks,
        world.game.score, world.game.level, Settings.personalBest, world.game.ended.has_value());
  h.Add(world.sector.aliensLeft, world.alien.free, world.alien.x, world.alien.y, world.alien.frame,
        world.alien.frameDelay, world.alien.bobAngle, world.alien.callTimer);
  h.Add(world.sector.teleportersOff, world.sector.takeOffDue, world.sector.timeBonus, world.layerPos[0],
        world.layerPos[1], world.layerPos[2], world.game.backdropFade);
  h.Add(world.bike.thrusting, world.bike.climbing, world.sector.planetX, DialogFade, world.sector.teleportShift);
  h.Add(world.flames.thrustFrame, world.flames.thrustDelay, world.flames.liftFrame, world.flames.liftDelay);
  AddList<Structures>(h, world.structures, [&](const Structures& s) {
    h.Add(s.kind, s.x, s.y, s.frame, s.frameCount, s.frameDelay, s.touchCooldown, s.sector, s.bobAngle, s.driveSpeed,
          s.rotation, s.rotationDir, s.hitPoints, s.soundDelay);
  });
  // A field that serves several movement patterns goes in by its first name.
  AddList<Enemies>(h, world.enemies, [&](const Enemies& e) {
    h.Add(e.type, e.x, e.y, e.xSpeed, e.ySpeed, e.phase, e.loopStep, e.frame, e.frameCount, e.frameDelay, e.rotation,
          e.spin);
  });
  AddList<EnemyBullets>(h, world.enemyBullets, [&](const EnemyBullets& b) {
    h.Add(b.x, b.y, b.xSpeed, b.ySpeed, b.life, b.kind, b.heading, b.straightTicks, b.frame, b.frameDelay);
  });
  AddList<PlayerBullets>(h, world.playerBullets, [&](const PlayerBullets& b) { h.Add(b.x, b.y, b.xSpeed, b.ySpeed); });
  AddList<Explosions>(h, world.explosions,
                      [&](const Explosions& e) { h.Add(e.x, e.y, e.frame, e.frameDelay, e.speed, e.kind, e.drift); });
  AddList<Explosions2>(h, world.explosions2,
                       [&](const Explosions2& e) { h.Add(e.x, e.y, e.frame, e.frameDelay, e.speed, e.kind, e.drift); });
  AddList<Frags>(h, world.frags, [&](const Frags& f) { h.Add(f.x, f.y, f.enemyType, f.quarter, f.angle, f.alpha); });
  AddList<ShieldEffects>(h, world.shieldEffects, [&](const ShieldEffects& s) {
    h.Add(s.effect, s.x, s.y, s.frame, s.frameDelay, s.rotation, s.zoom, s.grey);
  });
  AddList<Pieces>(h, world.pieces, [&](const Pieces& p) {
    h.Add(p.x, p.y, p.xSpeed, p.ySpeed, p.alpha, p.cell, p.vanishDelay, p.life);
  });
  AddList<Particles>(h, world.particles, [&](const Particles& p) {
    h.Add(p.x, p.y, p.xSpeed, p.ySpeed, p.sinus, p.sinCount, p.frame, p.alpha, p.life);
  });
  AddList<TextMessages>(h, world.textMessages, [&](const TextMessages& m) {
    h.Add(m.picture, m.x, m.y, m.alpha, m.alphaStep, m.scale, m.swingAngle, m.rotation, m.delayTicks);
  });
  AddList<StarCoords>(h, world.starCoords, [&](const StarCoords& s) { h.Add(s.x, s.y, s.xSpeed, s.size, s.grey); });
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

// One game played by a random player (see playfield.h). Returns one hash a
// presented frame.
std::vector<uint64_t> PlayReplayGame(const ReplayGame& game) {
  RandomPlayer player(/*flipKey=*/50, /*fire=*/150, /*pause=*/3, /*putInWay=*/12, game.inputSeed);
  std::vector<uint64_t> hashes;
  const int64_t start = PresentedFrameCount();
  int64_t last = start;
  std::vector<DrawEvent> drawn;
  SetDrawLog([&drawn](const DrawEvent& e) { drawn.push_back(e); });
  SetScriptHook([&] {
    const int64_t now = PresentedFrameCount();
    if (now == last) {  // a wait without frames: the pause dialog, answered N
      ScriptKeyTap(KeyCode::N);
      return;
    }
    last = now;
    std::vector<std::string> lines;
    drawlines::DrawLines(drawn, &lines);
    drawn.clear();
    hashes.push_back(HashWorld() ^ (TakeSoundLogHash() * 0x9E3779B97F4A7C15ull) ^
                     (drawlines::Fnv1a(lines) * 0xC2B2AE3D27D4EB4Full));
    if (now - start >= game.frameLimit) world.game.ended = GameEnd::Quit;
    player.PlayFrame();
  });
  SetRandomSeed(game.gameSeed);
  PlayGame();
  SetScriptHook(nullptr);
  SetDrawLog(nullptr);
  ReleaseSteering();
  return hashes;
}

std::string GoldenPath() { return golden::RecordPath("replay.txt"); }

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
  std::vector<std::string> now;
  for (size_t g = 0; g < std::size(kGames); ++g) {
    ResetWorld();
    const std::vector<uint64_t> hashes = PlayReplayGame(kGames[g]);
    ASSERT_GT(hashes.size(), 1000u) << "game " << g << " ended too soon to prove much";
    for (size_t f = 0; f < hashes.size(); ++f)
      now.push_back(std::to_string(g) + ' ' + std::to_string(f) + ' ' + golden::Hex(hashes[f]));
    std::printf("[ golden   ] game %zu: %zu frames, score %d, level %d, shields %d\n", g, hashes.size(),
                world.game.score, world.game.level, world.game.shieldCount);
  }

  if (golden::RewriteAsked()) {
    ASSERT_TRUE(golden::WriteRecord(GoldenPath(), now)) << "could not write " << GoldenPath();
    GTEST_SKIP() << "wrote " << GoldenPath();
  }

  const std::vector<std::string> recorded = golden::ReadRecord(GoldenPath());
  ASSERT_FALSE(recorded.empty()) << "no golden hashes at " << GoldenPath();
  for (size_t line = 0; line < std::max(recorded.size(), now.size()); ++line) {
    const std::string want = line < recorded.size() ? recorded[line] : "";
    const std::string have = line < now.size() ? now[line] : "";
    ASSERT_EQ(want, have) << "first difference at line " << line + 1 << " (game, frame, hash)";
  }
}
