// Start and end of the runtime layer, its options and the script hook.
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "runtime/internal.h"

namespace {

RuntimeOptions g_options;
bool g_coreStarted = false;
bool g_servicesStarted = false;
// Set by whoever runs the close handler first: the main thread on a close
// request or a lost display, or the termination watcher.
std::atomic<bool> g_inQuit{false};
std::atomic<bool> g_closeDone{false};
bool g_inHook = false;
std::function<void()> g_closeHandler;
std::function<void()> g_scriptHook;

}  // namespace

namespace rt {

const RuntimeOptions& Options() { return g_options; }

bool ServicesStarted() { return g_servicesStarted; }

void RunScriptHook() {
  // A hook that presents or sleeps itself must not run again inside itself.
  if (!g_scriptHook || g_inHook) return;
  g_inHook = true;
  auto hook = g_scriptHook;  // the hook may replace itself
  hook();
  g_inHook = false;
}

bool ClaimClose() { return !g_inQuit.exchange(true); }

void RunCloseHandler() {
  if (g_closeHandler) g_closeHandler();
  g_closeDone = true;
}

bool CloseHandlerRegistered() { return static_cast<bool>(g_closeHandler); }

bool CloseHandlerDone() { return g_closeDone; }

void HandleQuitRequest() {
  // The handler's own event polling may ask again, and the termination
  // watcher may have taken the request already.
  if (!ClaimClose()) return;
  RunCloseHandler();
  RuntimeShutdown();
  std::exit(0);
}

void HandleDisplayLost() {
  std::fprintf(stderr, "the display's connection is lost: ending\n");
  // The handler runs once: not again when the display goes during the
  // shutdown after a close request.
  if (ClaimClose()) RunCloseHandler();
  // Nothing more may be asked of the display, so no shutdown: the system
  // closes the rest.
  std::fflush(nullptr);
  std::_Exit(1);
}

}  // namespace rt

void SetRuntimeOptions(const RuntimeOptions& options) { g_options = options; }
RuntimeOptions GetRuntimeOptions() { return g_options; }

void SetScriptHook(std::function<void()> hook) { g_scriptHook = std::move(hook); }

void SetCloseRequestHandler(std::function<void()> handler) { g_closeHandler = std::move(handler); }

void RuntimeStartCore() {
  g_coreStarted = true;
  rt::ResetClock();
}

void RuntimeStartServices() {
  if (g_servicesStarted) return;
  if (!g_coreStarted) RuntimeStartCore();
  if (g_options.headless) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  } else {
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);  // an earlier headless run in this process
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  }
  // Each part on its own: a machine without a sound device or joystick
  // support still gets a display, and the game runs silent.
  SDL_InitSubSystem(SDL_INIT_EVENTS);
  // From here a termination ends the program even where nothing pumps
  // events, and the display's first answer is waited for only so long.
  rt::StartTerminationWatch();
  {
    rt::DisplayWait answer;
    SDL_InitSubSystem(SDL_INIT_VIDEO);
  }
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  if (!g_options.nullAudio) SDL_InitSubSystem(SDL_INIT_AUDIO);
  rt::ResetClock();
  g_servicesStarted = true;
  rt::WatchDisplayConnection();
  rt::VideoStart();
  rt::InputStart();
  rt::AudioStart();
}

TDisplay* StartRuntime(const RuntimeOptions& options, int depth) {
  SetRuntimeOptions(options);
  RuntimeStartCore();
  RuntimeStartServices();
  return OpenGraphicsDisplay(640, 480, depth, 60, 0);
}

void RuntimeShutdown() {
  if (!g_servicesStarted) return;
  rt::AudioShutdown();
  rt::InputShutdown();
  rt::VideoShutdown();
  g_servicesStarted = false;
  rt::StopTerminationWatch();
  SDL_Quit();  // the display may still go while its connection closes
  rt::StopWatchingDisplayConnection();
}

int ProgramEntry(int (*gameMain)()) {
  // Started by a launcher with a standard stream closed, the first file or
  // connection opened would take its number, and whatever is said on that
  // stream would land in it.
  rt::OpenStandardStreams();
  RuntimeStartCore();
  int status = gameMain ? gameMain() : 0;
  RuntimeShutdown();
  return status;
}
