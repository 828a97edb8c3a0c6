// The heaviest scenes of a game, frame by frame (logic and drawing):
//   shatter    the game-over sequence at level 30: dimmed world, explosion
//              bursts and the shattering bike, timed between presented frames;
//   carnage    play at level 30 with the bike at top speed and firing, an
//              enemy shot down every frame (explosion and fragments), a gun
//              blown up every 20 frames and a bonus burst every 30.
//
//   heavy_bench              headless software drawing
//   heavy_bench --window     the accelerated path (run under xvfb-run -a)
//   heavy_bench --null       the game's own work alone, every drawing skipped
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_game.h"

namespace {

using Clock = std::chrono::steady_clock;
int kCarnageFrames = 3000;  // NOVA_BENCH_FRAMES overrides
int kShatterRuns = 8;

struct Figures {
  double median, p99, worst;
  size_t frames;
};

Figures Summarise(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) return {0, 0, 0, 0};
  return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], ms.back(), ms.size()};
}

// Times every frame presented while the game-over sequence runs.
Figures Shatter() {
  std::vector<double> ms;
  for (int run = 0; run < kShatterRuns; ++run) {
    SetupSector(30);
    world.bike.speed = 8.5f;
    for (int i = 0; i < 40; ++i) NewExplosion(100 + 12 * i, 150 + (i % 7) * 30, static_cast<ExplosionKind>(i % 3), 0);
    for (int i = 0; i < 60; ++i)
      NewFrag(50 + 9 * i, 100 + (i % 9) * 25, static_cast<EnemyType>(i % 10), i % 4);
    for (int i = 0; i < 30; ++i) NewEnemyBullet(20 * i, 300, static_cast<ShotKind>(i % 2), i % 2);
    BurstBonus(400, 300);
    world.game.shieldCount = -1;
    Clock::time_point previous = Clock::now();
    int64_t last = PresentedFrameCount();
    SetScriptHook([&] {
      const int64_t frame = PresentedFrameCount();
      if (frame == last) return;  // a sleep, not a frame
      last = frame;
      const Clock::time_point now = Clock::now();
      ms.push_back(std::chrono::duration<double, std::milli>(now - previous).count());
      previous = Clock::now();
    });
    GameOver();
    SetScriptHook(nullptr);
  }
  return Summarise(ms);
}

// Times the passes of the play loop with the effects at their thickest.
Figures Carnage() {
  return Summarise(TimeFlight(
      kCarnageFrames,
      [] {
        SetupSector(30);
        world.bike.y = 300.0f;
      },
      [](int64_t frame, int) {
        world.game.shieldCount = 8;
        world.bike.invulnerableTicks = 0;
        ScriptKeyTap(Settings.keyFire);
        // One enemy shot down every frame, the most one shot a frame can do.
        int downed = 0;
        for (Enemies* e : Each<Enemies>(world.enemies)) {
          if (downed == 1) break;
          if (e->x < -40 || e->x > 640) continue;
          NewExplosion(TruncateToInt(e->x - 12), TruncateToInt(e->y - 12), ExplosionKind::Blast, 0);
          for (int q = 0; q < 4; ++q)
            NewFrag(TruncateToInt(e->x + 10 + 20 * (q % 2)), TruncateToInt(e->y + 10 + 20 * (q / 2)), e->type, q);
          e->x = 1200;
          ++downed;
        }
        for (; downed < 1; ++downed) {
          NewExplosion(100 + 150 * downed, 200, ExplosionKind::Blast, 0);
          for (int q = 0; q < 4; ++q)
            NewFrag(110 + 150 * downed + 20 * (q % 2), 210 + 20 * (q / 2), static_cast<EnemyType>(downed), q);
        }
        if (frame % 20 == 0)
          for (int i = 0; i < 8; ++i) NewExplosion(300 + 4 * i, 420 - 3 * i, ExplosionKind::CentredBlast, 0);
        if (frame % 30 == 0) BurstBonus(200, 380);
      }));
}

void Print(const char* scene, const char* path, const Figures& f) {
  std::printf("%-8s %-11s level 30: median %.3f ms, 99th percentile %.3f ms, worst %.3f ms (%zu frames)\n", scene,
              path, f.median, f.p99, f.worst, f.frames);
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = StartBenchGame(argc, argv, 4321, "no drawing");
  if (!path) return 1;

  if (const char* n = std::getenv("NOVA_BENCH_FRAMES")) {
    kCarnageFrames = std::max(10, std::atoi(n));
    kShatterRuns = 1;
  }
  Print("carnage", path, Carnage());
  Print("shatter", path, Shatter());
  RuntimeShutdown();
  return 0;
}
