// Ending when asked to, at every point, and never waiting on a display for
// ever.
//
// SDL turns a termination or an interrupt into a quit event, and a hang-up is
// noted the same way (runtime/input.cpp): the game takes it at its next event
// pump, saves and ends (rt::HandleQuitRequest). While the main thread waits
// on something that does not come back, such as an X server that took the
// connection but never answers, nothing pumps and the request would go
// unheard. A watcher thread gives the main thread a moment to take it, then
// takes it itself: it runs the close handler (the game's save) if the main
// thread has not started it, and ends the program. With nothing registered
// to save, the signal ends the program as it would have without us.
//
// The watcher also bounds each wait on the display: one that does not answer
// within a few seconds ends the program with one line and status 1, saving
// first as a lost display does.
#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "runtime/internal.h"

namespace {

// How long the main thread has to take a request before the watcher does.
constexpr int64_t kTakeOverMs = 2000;
// How long a display may take to answer its connection or a new window.
constexpr int64_t kDisplayAnswerMs = 5000;

constexpr int kWatchedSignals[] = {SIGTERM, SIGINT};

// The watcher's wake-up: the signal handler, the display waits and the stop
// each write one byte.
int g_wake[2] = {-1, -1};
// Never destroyed: a program may end without stopping the watch.
std::thread* g_watcher = nullptr;
volatile sig_atomic_t g_signal = 0;  // the first request's signal, 0: none
std::atomic<int64_t> g_displayDeadline{0};
struct sigaction g_before[std::size(kWatchedSignals)];
bool g_installed[std::size(kWatchedSignals)] = {};

int64_t SteadyMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void Wake(char why) {
  if (g_wake[1] < 0) return;
  // Async-signal-safe; a full pipe already holds a wake-up.
  [[maybe_unused]] ssize_t n = write(g_wake[1], &why, 1);
}

void OnSignal(int sig) {
  rt::NoteTerminationRequest(sig);
  // SDL's own handler, which queues the quit event the game normally takes.
  for (size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    if (kWatchedSignals[i] != sig) continue;
    if (g_before[i].sa_handler != SIG_DFL && g_before[i].sa_handler != SIG_IGN &&
        !(g_before[i].sa_flags & SA_SIGINFO))
      g_before[i].sa_handler(sig);
  }
}

[[noreturn]] void EndOnRequest(int sig) {
  std::fflush(nullptr);
  if (rt::CloseHandlerRegistered()) std::_Exit(0);  // saved: as a close request ends
  signal(sig, SIG_DFL);
  raise(sig);
  std::_Exit(128 + sig);
}

void Watch() {
  int64_t requestSeen = 0;  // when the watcher learned of the request
  bool mainTookIt = false;
  for (;;) {
    const int64_t now = SteadyMillis();
    int64_t until = -1;
    if (requestSeen) until = requestSeen + kTakeOverMs;
    const int64_t deadline = g_displayDeadline.load();
    if (deadline && (until < 0 || deadline < until)) until = deadline;
    pollfd p{g_wake[0], POLLIN, 0};
    poll(&p, 1, until < 0 ? -1 : static_cast<int>(std::max<int64_t>(0, until - now)));
    char bytes[64];
    ssize_t n;
    while ((n = read(g_wake[0], bytes, sizeof bytes)) > 0) {
      if (std::find(bytes, bytes + n, 'q') != bytes + n) return;
    }
    const int64_t later = SteadyMillis();
    if (g_signal && !requestSeen) requestSeen = later;
    if (requestSeen && later >= requestSeen + kTakeOverMs) {
      if (rt::ClaimClose()) {
        rt::RunCloseHandler();
        EndOnRequest(g_signal);
      }
      // The main thread is saving or ending: let it, then end for it should
      // it stop on the way (a display that no longer answers).
      if (mainTookIt && rt::CloseHandlerDone()) EndOnRequest(g_signal);
      mainTookIt = true;
      requestSeen = later;
    }
    const int64_t due = g_displayDeadline.load();
    if (due && later >= due) {
      // As when the display's connection is lost: what the game would save
      // on a close is saved, and nothing more is asked of the display.
      std::fprintf(stderr, "the display does not answer: ending\n");
      if (rt::ClaimClose()) rt::RunCloseHandler();
      std::fflush(nullptr);
      std::_Exit(1);
    }
  }
}

}  // namespace

namespace rt {

void NoteTerminationRequest(int sig) {
  if (!g_signal) g_signal = sig;
  Wake('s');
}

void StartTerminationWatch() {
  if (g_watcher) return;
  if (pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_wake[0] = g_wake[1] = -1;
    return;
  }
  g_signal = 0;
  g_displayDeadline = 0;
  // As SDL does for its own: not when asked to leave signals alone, and not
  // over a signal the program was started with ignored.
  if (!SDL_GetHintBoolean(SDL_HINT_NO_SIGNAL_HANDLERS, SDL_FALSE)) {
    for (size_t i = 0; i < std::size(kWatchedSignals); ++i) {
      g_installed[i] = false;
      if (sigaction(kWatchedSignals[i], nullptr, &g_before[i]) != 0 || g_before[i].sa_handler == SIG_IGN)
        continue;
      struct sigaction action {};
      action.sa_handler = OnSignal;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESTART;
      g_installed[i] = sigaction(kWatchedSignals[i], &action, nullptr) == 0;
    }
  }
  g_watcher = new std::thread(Watch);
}

void StopTerminationWatch() {
  if (!g_watcher) return;
  for (size_t i = 0; i < std::size(kWatchedSignals); ++i) {
    struct sigaction now {};
    // SDL's handler puts itself back when it runs; leave whatever is there
    // unless it is still ours.
    if (g_installed[i] && sigaction(kWatchedSignals[i], nullptr, &now) == 0 && now.sa_handler == OnSignal)
      sigaction(kWatchedSignals[i], &g_before[i], nullptr);
    g_installed[i] = false;
  }
  Wake('q');
  g_watcher->join();
  delete g_watcher;
  g_watcher = nullptr;
  close(g_wake[0]);
  close(g_wake[1]);
  g_wake[0] = g_wake[1] = -1;
}

DisplayWait::DisplayWait() {
  g_displayDeadline = SteadyMillis() + kDisplayAnswerMs;
  Wake('d');
}

DisplayWait::~DisplayWait() {
  g_displayDeadline = 0;
  Wake('d');
}

void OpenStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    // The lowest free descriptor is the one missing.
    const int opened = open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

}  // namespace rt
