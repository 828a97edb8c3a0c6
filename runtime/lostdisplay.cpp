// The display's connection breaking under the game (the X server killed or
// crashed with the session). Xlib's own answer is to end the program on the
// spot, so nothing would be saved; ours goes the way of a close request
// first (rt::HandleDisplayLost).
//
// Xlib is the one SDL already loaded for its X11 driver: its handler is set
// through that library, so the game needs no X headers or link of its own.
// On Wayland, SDL itself turns a broken compositor connection into a quit
// event, which the close request path takes (saved, status 0).
#include <SDL.h>
#include <dlfcn.h>
#include <signal.h>

#include <cstring>

#include "runtime/internal.h"

namespace {

// Xlib's XIOErrorHandler and XSetIOErrorHandler, with the Display kept opaque.
using IOErrorHandler = int (*)(void* display);
using SetIOErrorHandler = IOErrorHandler (*)(IOErrorHandler handler);

void* g_xlib = nullptr;
SetIOErrorHandler g_setHandler = nullptr;
IOErrorHandler g_before = nullptr;
// SIGPIPE as it was before the watch; set while the watch ignores it.
struct sigaction g_pipeBefore;
bool g_pipeIgnored = false;

// Xlib calls this on the thread whose request found the connection broken,
// outside any signal handler; it must not return (Xlib would end the program
// itself) and must ask nothing more of the display.
int OnConnectionBroken(void*) {
  rt::HandleDisplayLost();
  return 0;  // not reached
}

}  // namespace

namespace rt {

void WatchDisplayConnection() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (g_xlib || !driver || std::strcmp(driver, "x11") != 0) return;
  // Only a library already loaded: the X11 driver's own.
  g_xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (!g_xlib) return;
  g_setHandler = reinterpret_cast<SetIOErrorHandler>(dlsym(g_xlib, "XSetIOErrorHandler"));
  if (g_setHandler) {
    g_before = g_setHandler(OnConnectionBroken);
    // A request written to a server already gone raises SIGPIPE, which would
    // end the program before Xlib sees the broken connection; ignored, the
    // write fails and the handler above runs.
    if (sigaction(SIGPIPE, nullptr, &g_pipeBefore) == 0 && g_pipeBefore.sa_handler == SIG_DFL) {
      struct sigaction ignore {};
      ignore.sa_handler = SIG_IGN;
      sigemptyset(&ignore.sa_mask);
      g_pipeIgnored = sigaction(SIGPIPE, &ignore, nullptr) == 0;
    }
  } else {
    dlclose(g_xlib);
    g_xlib = nullptr;
  }
}

void StopWatchingDisplayConnection() {
  if (!g_xlib) return;
  g_setHandler(g_before);
  if (g_pipeIgnored) sigaction(SIGPIPE, &g_pipeBefore, nullptr);
  g_pipeIgnored = false;
  dlclose(g_xlib);
  g_xlib = nullptr;
  g_setHandler = nullptr;
  g_before = nullptr;
}

}  // namespace rt

void ScriptDisplayLost() { OnConnectionBroken(nullptr); }
