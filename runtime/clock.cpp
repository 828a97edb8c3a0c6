// The millisecond clock and sleeping, real or virtual.
#include <chrono>
#include <thread>

#include "runtime/internal.h"

namespace {

using Steady = std::chrono::steady_clock;

Steady::time_point g_origin = Steady::now();
// The clock's value at the origin. For the real clock it differs from run to
// run (the game seeds its random numbers from the clock at start-up) while
// leaving about twelve days before the 32-bit value would overflow.
int64_t g_originValue = 0;
int64_t g_virtualNow = 0;

int64_t RealElapsed() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - g_origin).count();
}

}  // namespace

namespace rt {

void ResetClock() {
  g_origin = Steady::now();
  int64_t sinceBoot =
      std::chrono::duration_cast<std::chrono::milliseconds>(g_origin.time_since_epoch()).count();
  g_originValue = Options().virtualClock ? 0 : (sinceBoot % 1000000000);
  g_virtualNow = 0;
}

int64_t NowMillis() { return Options().virtualClock ? g_virtualNow : RealElapsed(); }

void WaitUntilMillis(int64_t due) {
  if (Options().virtualClock) {
    if (due > g_virtualNow) g_virtualNow = due;
    return;
  }
  // Sleep in short steps and keep the window answering while we wait.
  for (;;) {
    int64_t left = due - RealElapsed();
    if (left <= 0) return;
    if (left > 10) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (ServicesStarted()) PumpEvents();
    } else {
      std::this_thread::sleep_until(g_origin + std::chrono::milliseconds(due));
    }
  }
}

}  // namespace rt

int32_t MillisecondClock() { return int32_t(g_originValue + rt::NowMillis()); }

void SleepMillis(int ms) {
  if (ms < 0) return;
  rt::WaitUntilMillis(rt::NowMillis() + ms);
  rt::RunScriptHook();
}

void AdvanceVirtualClock(int ms) {
  if (ms > 0) g_virtualNow += ms;
}
