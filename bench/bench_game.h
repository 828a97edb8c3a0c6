// Start-up shared by the game benchmarks: the runtime on the chosen path,
// every picture and sound loaded as the game loads them, the lists and the
// star field ready for PlayGame.
//
//   <bench>              headless software drawing
//   <bench> --window     the accelerated path (run under xvfb-run -a)
//   <bench> --fullscreen the accelerated path in full screen, the picture
//                        scaled to the desktop
//   <bench> --null       the game's logic alone, every drawing skipped
#pragma once

#include <cstdio>
#include <cstring>

#include "gameplay/gameplay.h"
#include "runtime/headless.h"
#include "shell/shell.h"

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
  ControlMode = 0;
  return fullscreen ? "full-screen" : window ? "accelerated" : null ? nullName : "headless";
}
