// Frame pacing on a real display and the real clock: how long 180 presented
// frames take (three seconds at 60 frames a second) and how they spread.
//
//   pace_bench                a 640 x 480 window
//   pace_bench --fullscreen   full screen (the desktop's size)
//
// Run it on a display (under Xvfb: xvfb-run -a ./pace_bench --fullscreen).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/headless.h"
#include "runtime/runtime.h"

int main(int argc, char** argv) {
  bool fullscreen = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--fullscreen") == 0) fullscreen = true;
  RuntimeOptions options;  // a real window and the real clock
  options.nullAudio = true;
  if (!StartRuntime(options, fullscreen ? 16 : 0)) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  SetAppTitle(u"pace bench");
  using Clock = std::chrono::steady_clock;
  constexpr int kFrames = 180;
  // A few frames first, so the display has settled before timing starts.
  for (int i = 0; i < 10; ++i) PresentFrame(-1);
  std::vector<double> steps;
  Clock::time_point start = Clock::now(), last = start;
  for (int i = 0; i < kFrames; ++i) {
    ClearDrawBuffer();
    SetDrawColour(40 + i % 200, 80, 160);
    FillRectangle(float(i * 3 % 600), 200, 40, 40);
    PresentFrame(-1);
    Clock::time_point now = Clock::now();
    steps.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  }
  double total = std::chrono::duration<double, std::milli>(last - start).count();
  std::sort(steps.begin(), steps.end());
  std::printf("%s: %d frames in %.1f ms (frame steps: shortest %.2f, median %.2f, longest %.2f ms)\n",
              fullscreen ? "full screen" : "window", kFrames, total, steps.front(),
              steps[steps.size() / 2], steps.back());
  RuntimeShutdown();
  return 0;
}
