// Start-up shared by the game benchmarks: the runtime on the chosen path,
// every picture and sound loaded as the game loads them and the star field
// made; PlayGame starts the world itself.
//
//   <bench>              headless software drawing
//   <bench> --window     the accelerated path (run under xvfb-run -a)
//   <bench> --fullscreen the accelerated path in full screen, the picture
//                        scaled to the desktop
//   <bench> --null       the game's logic alone, every drawing skipped
#pragma once

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gameplay/gameplay.h"
#include "runtime/headless.h"
#include "screens/screens.h"

// Returns the name of the path measured, or null when no display opened.
inline const char* StartBenchGame(int argc, char** argv, int seed, const char* nullName) {
  const bool fullscreen = argc > 1 && std::strcmp(argv[1], "--fullscreen") == 0;
  const bool window = fullscreen || (argc > 1 && std::strcmp(argv[1], "--window") == 0);
  const bool null = argc > 1 && std::strcmp(argv[1], "--null") == 0;
  RuntimeOptions options;
  options.headless = !window;
  options.nullDrawing = null;
  options.virtualClock = true;  // measure the work, not the 60 Hz pacing
  options.nullAudio = true;
  if (!StartGameRuntime(options, fullscreen ? 16 : 0)) {
    std::fprintf(stderr, "no display\n");
    return nullptr;
  }
  SetRandomSeed(seed);
  CreateStars();
  Settings.sfxOn = 1;
  Settings.musicOn = 1;
  controls.mode = ControlMode::Keyboard;
  return fullscreen ? "full-screen" : window ? "accelerated" : null ? nullName : "headless";
}

// Plays from the landing into flight and times the passes of the play loop,
// in milliseconds, until `frames` are timed; then leaves through the pause
// dialog. startFlying builds the scene once the landing is over (the bike
// then holds right); eachFrame(frame, timed) runs after each pass is timed.
template <class StartFlying, class EachFrame>
std::vector<double> TimeFlight(int frames, StartFlying startFlying, EachFrame eachFrame) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> ms;
  ms.reserve(static_cast<size_t>(frames));
  const int64_t base = PresentedFrameCount();
  int64_t last = -1, flyingFrom = -1;
  Clock::time_point previous;
  bool leaving = false;

  SetScriptHook([&] {
    const int64_t frame = PresentedFrameCount() - base;
    const bool fresh = frame != last;
    last = frame;
    if (!fresh) {
      if (leaving) ScriptKeyTap(KeyCode::Y);  // the pause dialog waits for its answer
      return;
    }
    const Clock::time_point now = Clock::now();
    if (frame == 70) ScriptKeyTap(KeyCode::Space);  // cut the landing short
    if (flyingFrom < 0 && frame > 70 && world.bike.y == 397.0f) {
      // Between two passes: build the scene and start flying.
      flyingFrom = frame;
      startFlying();
      ScriptKeyDown(Settings.keyRight);
    } else if (flyingFrom >= 0 && !leaving) {
      world.alien.x = 20000;  // no alien is picked up: no take-off swallows the final Escape
      if (frame > flyingFrom + 1) ms.push_back(std::chrono::duration<double, std::milli>(now - previous).count());
      eachFrame(frame, static_cast<int>(ms.size()));
      if (static_cast<int>(ms.size()) == frames) {
        ScriptKeyUp(Settings.keyRight);
        ScriptKeyTap(KeyCode::Escape);
        leaving = true;
      }
    }
    previous = Clock::now();
  });
  PlayGame();
  SetScriptHook(nullptr);
  return ms;
}
