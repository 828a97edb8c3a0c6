// The mixer's work per device callback (1024 frames, 23 ms of sound) while
// the tunes and long effects are decoded as they play: the game tune round
// its seam with a crowd of effects on top, the worst case the game makes.
// Also the time a play takes on the game's thread, and what the limiter at
// the end of the mix costs of a callback (run again by itself on the same
// sums). Target: a callback's worst well under 1 ms, the limiter's average
// under 0.1 ms.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/headless.h"
#include "runtime/limiter.h"
#include "screens/screens.h"

namespace {
using Clock = std::chrono::steady_clock;
double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// This thread's processor time: the work itself, without the time other
// programs on a busy machine take the processor away.
double ThreadMillis() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Times {
  std::vector<double> all;
  void Print(const char* what) {
    std::sort(all.begin(), all.end());
    double sum = 0;
    for (double t : all) sum += t;
    std::printf("%s: average %.3f ms, 99.9%% %.3f ms, worst %.3f ms\n", what, sum / static_cast<double>(all.size()),
                all[all.size() * 999 / 1000], all.back());
  }
};
}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  RuntimeOptions options;
  options.headless = true;
  options.nullAudio = true;  // the bench mixes by hand, as the callback would
  if (!StartGameRuntime(options)) {
    std::fprintf(stderr, "audio_bench: no display\n");
    return 1;
  }

  Times plays, mixWall, mixWork, limiterWork;
  auto play = [&](TSound* sound) {
    const double start = ThreadMillis();
    PlaySoundOnChannel(sound, nullptr);
    plays.all.push_back(ThreadMillis() - start);
  };
  play(snd_m_game);
  constexpr int kBlock = 1024;
  const int blocks = 200 * 44100 / kBlock;  // past the game tune's seam at 192 s
  std::vector<float> out(2 * kBlock), sum(2 * kBlock);
  rt::SoftLimiter limiter;
  TSound* const crowd[] = {snd_ModuleThrust, snd_ModuleTakeoff2, snd_2tower, snd_Towers, snd_explode3,
                           snd_energycrackle, snd_bzzzt, snd_EnemyExplosion1, snd_PlayerShoot};
  for (int b = 0; b < blocks; ++b) {
    if (b % 20 == 0)  // a new effect every half second, several long ones at once
      play(crowd[(b / 20) % (sizeof crowd / sizeof crowd[0])]);
    const auto start = Clock::now();
    const double work = ThreadMillis();
    MixForTest(out.data(), kBlock, sum.data());
    mixWork.all.push_back(ThreadMillis() - work);
    mixWall.all.push_back(Millis(Clock::now() - start));
    const double limiting = ThreadMillis();
    limiter.Process(sum.data(), kBlock);
    limiterWork.all.push_back(ThreadMillis() - limiting);
  }
  std::printf("%d voices at the end\n", PlayingChannelCount());
  mixWork.Print("mix of 1024 frames, processor time");
  mixWall.Print("mix of 1024 frames, wall time");
  plays.Print("play on the game's thread, processor time");
  limiterWork.Print("limiter alone on the same 1024 frames, processor time");
  RuntimeShutdown();
  return 0;
}
