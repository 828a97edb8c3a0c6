// A whole game through PlayGame under a script: the step is told the frames
// presented since the game began, and whether the call comes from a new frame
// (false: a sleep, such as a poll for the pause answer).
#pragma once

#include <cstdint>
#include <functional>

#include "gameplay/gameplay.h"
#include "runtime/headless.h"
#include "runtime/runtime.h"

namespace gamescript {

// What the last game run by PlayWith returned.
inline GameResult played;

// Runs the game with the step as its script hook; Space at frame 80 cuts the
// first landing short. Returns the frames the game presented.
inline int64_t PlayWith(const std::function<void(int64_t frame, bool fresh)>& step) {
  const int64_t base = PresentedFrameCount();
  int64_t last = -1;
  DialogFade = 1.0f;
  SetScriptHook([&] {
    const int64_t frame = PresentedFrameCount() - base;
    const bool fresh = frame != last;
    last = frame;
    if (fresh && frame == 80) ScriptKeyTap(KeyCode::Space);
    step(frame, fresh);
  });
  played = PlayGame();
  SetScriptHook(nullptr);
  return PresentedFrameCount() - base;
}

// Polling for the pause answer: no frame presented, the picture faded down.
inline bool WaitingForAnswer(bool fresh) { return !fresh && DialogFade < 0.5f; }

}  // namespace gamescript
