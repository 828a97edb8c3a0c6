// Loading every picture, sound and tune as the start-up does, behind the
// loading screen: wall time and the process's peak memory afterwards.
// Targets: at most 400 ms and 200 MB.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "runtime/headless.h"
#include "screens/screens.h"

int main() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  RuntimeOptions options;
  options.headless = true;
  options.nullAudio = true;
  RegisterProgramFiles();
  if (!StartRuntime(options)) {
    std::fprintf(stderr, "load_bench: no display\n");
    return 1;
  }

  const auto start = std::chrono::steady_clock::now();
  LoadForTheRun(LoadingScreen::Shown);
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  std::printf("load: %.1f ms wall (target 400)\n", ms);
  std::printf("peak memory after loading: %.1f MB (target 200)\n", peakMb);
  const bool complete = snd_m_pause && img_timebar2 && img_Shots_Enemy && snd_menuselect2;
  if (!complete) std::printf("load: some handle is missing\n");
  RuntimeShutdown();
  return complete ? 0 : 1;
}
