// Shared inside the runtime layer only (may include SDL).
#pragma once

#include <string>
#include <vector>

#include "runtime/headless.h"
#include "runtime/runtime.h"

namespace rt {

const RuntimeOptions& Options();

// Service start and end, called by RuntimeStartServices / RuntimeShutdown.
void VideoStart();
void VideoShutdown();
void InputStart();
void InputShutdown();
void AudioStart();
void AudioShutdown();

// Runs the script hook of the headless harness, if any.
void RunScriptHook();
// The window was closed or the desktop asked the program to quit: runs the
// registered handler, then ends the program with status 0.
void HandleQuitRequest();
// The display's connection broke: runs the registered handler unless a
// close request already did, then ends the program with status 1 without
// touching the display again.
void HandleDisplayLost();
// Whoever first claims the close runs the registered handler, once; the
// rest know it is taken.
bool ClaimClose();
void RunCloseHandler();
bool CloseHandlerRegistered();
bool CloseHandlerDone();
// A termination or hang-up asked for: noted from a signal handler for the
// watcher thread, which ends the program should the main thread not take
// the request at its next event pump (runtime/termination.cpp).
void NoteTerminationRequest(int sig);
void StartTerminationWatch();
void StopTerminationWatch();
// For as long as it lives, the display must answer within a few seconds or
// the program ends with one line and status 1.
struct DisplayWait {
  DisplayWait();
  ~DisplayWait();
  DisplayWait(const DisplayWait&) = delete;
  DisplayWait& operator=(const DisplayWait&) = delete;
};
// Opens /dev/null on any of descriptors 0-2 that is closed.
void OpenStandardStreams();
// While the services run on SDL's X11 driver, a broken connection to the X
// server is taken by HandleDisplayLost instead of ending the program at once.
void WatchDisplayConnection();
void StopWatchingDisplayConnection();
// Platform event pump, feeding keyboard, pad and window events.
void PumpEvents();
// Display events that the video side must see (window resized, exposed).
void OnWindowEvent(int sdlWindowEvent);

// Clock: real or virtual milliseconds.
int64_t NowMillis();
void WaitUntilMillis(int64_t due);
// Sets the clock's origin (real) or zero (virtual); at every services start.
void ResetClock();
// True between RuntimeStartServices and RuntimeShutdown.
bool ServicesStarted();

// The registered name in an "IncBin::" load path (the protocol matched
// without regard to case), or empty for a plain file path. With
// IncbinLookup, embedded bytes can be used where they lie, without a copy.
String EmbeddedName(const String& path);
// The file name at the end of a load path ("font.png" of
// "IncBin::res\\font.png"), in 8-bit text.
std::string FileNameOf(const String& path);

}  // namespace rt
