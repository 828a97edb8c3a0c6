// The cost of one game frame, logic and drawing, measured inside PlayGame:
// the time between two presented frames of the play loop, over 3000 frames,
// at level 1 and at level 30 with the world at its fullest (bike at top
// speed, firing every frame, every enemy, gun and carrier of the level).
//
//   frame_bench              headless software drawing
//   frame_bench --window     the accelerated path (run under xvfb-run -a)
//   frame_bench --null       the game's logic alone, every drawing skipped
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "bench/bench_game.h"

namespace {

constexpr int kFrames = 3000;

struct Figures {
  double median, p99, worst;
  double processor;  // processor time per frame, every thread (a CPU renderer's too)
};

Figures Measure(int level) {
  std::clock_t cpuFirst = 0, cpuLast = 0;
  std::vector<double> ms = TimeFlight(
      kFrames,
      [&] {
        if (level != 1) SetupSector(level);
        world.bike.y = 397.0f;
        world.bike.invulnerableTicks = 0;
      },
      [&](int64_t, int timed) {
        if (timed == 1) cpuFirst = std::clock();
        if (timed == kFrames) cpuLast = std::clock();
        world.game.shieldCount = 8;
        ScriptKeyTap(Settings.keyFire);
      });

  std::sort(ms.begin(), ms.end());
  if (ms.empty()) return {0, 0, 0, 0};
  const double processor = 1000.0 * double(cpuLast - cpuFirst) / CLOCKS_PER_SEC / (kFrames - 1);
  return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], ms.back(), processor};
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = StartBenchGame(argc, argv, 12345, "logic only");
  if (!path) return 1;

  for (int level : {1, 30}) {
    const Figures f = Measure(level);
    std::printf("frame %-11s level %2d: median %.3f ms, 99th percentile %.3f ms, worst %.3f ms, "
                "processor %.3f ms (%d frames)\n",
                path, level, f.median, f.p99, f.worst, f.processor, kFrames);
  }
  RuntimeShutdown();
  return 0;
}
