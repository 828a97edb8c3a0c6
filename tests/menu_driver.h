// A player at the keyboard for the front-end tests: actions at given frames,
// answers once a screen starts waiting (polling with sleeps, no frames), and
// the drawing state in force at every presented frame.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "shell/shell.h"

namespace menutest {

class Driver {
 public:
  ~Driver() { SetScriptHook(nullptr); }
  // Runs after frame n (counted from Install) has been presented.
  void OnFrame(int64_t n, std::function<void()> action) { frames_[n].push_back(std::move(action)); }
  // Runs at the first sleep without a new frame once at least n frames are
  // presented: a screen waiting for an answer. Receives the frame count.
  void OnWait(int64_t atLeast, std::function<void(int64_t)> action) {
    waits_.push_back({atLeast, std::move(action)});
  }
  // Runs after every presented frame.
  void EveryFrame(std::function<void(int64_t)> action) { every_ = std::move(action); }
  void Install() {
    base_ = PresentedFrameCount();
    SetScriptHook([this] { Tick(); });
  }
  // The drawing state at presented frame n (from 1).
  const DrawState& At(int64_t n) const { return states_.at(size_t(n - 1)); }
  int64_t Frames() const { return int64_t(states_.size()); }

 private:
  void Tick() {
    const int64_t n = PresentedFrameCount() - base_;
    // A screen that never ends fails the test instead of hanging it.
    if (n > 30000 || ++hooks_ > 2000000) {
      std::fprintf(stderr, "menu driver: the screen never ended (frame %lld)\n", static_cast<long long>(n));
      std::_Exit(1);
    }
    if (n > int64_t(states_.size())) {
      states_.push_back(GetDrawState());
      if (every_) every_(n);
      auto it = frames_.find(n);
      if (it != frames_.end())
        for (auto& action : it->second) action();
      return;
    }
    for (size_t i = 0; i < waits_.size(); ++i) {
      if (n >= waits_[i].atLeast) {
        auto action = std::move(waits_[i].action);
        waits_.erase(waits_.begin() + long(i));
        action(n);
        return;
      }
    }
  }
  struct Wait {
    int64_t atLeast;
    std::function<void(int64_t)> action;
  };
  std::map<int64_t, std::vector<std::function<void()>>> frames_;
  std::vector<Wait> waits_;
  std::function<void(int64_t)> every_;
  std::vector<DrawState> states_;
  int64_t base_ = 0;
  int64_t hooks_ = 0;
};

// The game's pictures and sounds loaded as the start-up loads them.
inline void LoadGameResources() {
  RegisterEmbeddedFiles();
  RegisterRecordTypes();
  img_font = LoadImageCells(ResPath("font.png"), 16, 16, 0, 60, -1);
  ScreenGrab = CreateEmptyImage(640, 480, 1, 9);
  LoadResources();
  CreateObjectLists();
  CreateStars();
  QuitState = 0;
  ControlMode = 0;
  SfxOn = 1;
  ScanlinesOn = 1;
  VersionMessage1 = u"sync score to check";
  SetDrawColour(255, 255, 255);
  SetDrawAlpha(1);
  SetDrawBlendMode(3);
}

}  // namespace menutest
