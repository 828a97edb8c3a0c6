// A player for the front-end tests: actions after given frames, answers once
// a screen waits (polling with sleeps, presenting nothing), and the drawing
// state in force at every presented frame. A screen that never ends stops
// the test process with a failure instead of hanging it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include "gameplay/gameplay.h"
#include "harness/harness.h"
#include "screens/screens.h"

namespace menutest {

class Driver {
 public:
  ~Driver() { SetScriptHook(nullptr); }
  // After frame n (counted from Install) is presented.
  void OnFrame(int64_t n, std::function<void()> f) { frames_[n].push_back(std::move(f)); }
  // At the first sleep without a new frame once at least n frames are shown.
  void OnWait(int64_t n, std::function<void(int64_t)> f) { waits_.push_back({n, std::move(f)}); }
  void EveryFrame(std::function<void(int64_t)> f) { every_ = std::move(f); }
  void Install() {
    base_ = PresentedFrameCount();
    SetScriptHook([this] { Tick(); });
  }
  const DrawState& At(int64_t n) const { return states_.at(size_t(n - 1)); }  // n from 1
  int64_t Frames() const { return int64_t(states_.size()); }

 private:
  struct Wait {
    int64_t n;
    std::function<void(int64_t)> f;
  };
  void Tick() {
    const int64_t n = PresentedFrameCount() - base_;
    if (n > 30000 || ++hooks_ > 2000000) {
      std::fprintf(stderr, "menu driver: the screen never ended (frame %lld)\n", (long long)n);
      std::_Exit(1);
    }
    if (n > Frames()) {
      states_.push_back(GetDrawState());
      if (every_) every_(n);
      for (auto& f : frames_[n]) f();
      return;
    }
    for (size_t i = 0; i < waits_.size(); ++i)
      if (n >= waits_[i].n) {
        auto f = std::move(waits_[i].f);
        waits_.erase(waits_.begin() + long(i));
        return f(n);
      }
  }
  std::map<int64_t, std::vector<std::function<void()>>> frames_;
  std::vector<Wait> waits_;
  std::function<void(int64_t)> every_;
  std::vector<DrawState> states_;
  int64_t base_ = 0, hooks_ = 0;
};

// A game played from the menu: Enter on "play" after frame start, and the
// frame the menu's tune comes back once the game has ended (the game switches
// to its own tune and back).
class GameFromMenu {
 public:
  GameFromMenu(Driver& d, int64_t start) : start_(start) {
    d.OnFrame(start, [this] { tune_ = MusicChannel, ScriptKeyTap(KeyCode::Enter); });
  }
  // Call once a frame, before that frame's actions: 0 until the game is over.
  int64_t EndedAt(int64_t n) {
    if (n > start_ && MusicChannel != tune_ && ++changes_ == 2) ended_ = n;
    if (n > start_) tune_ = MusicChannel;
    return ended_;
  }

 private:
  int64_t start_;
  TChannel* tune_ = nullptr;
  int changes_ = 0;
  int64_t ended_ = 0;
};

// What the front end drew, as far as the menu tests look, read from the draw
// log while it lives.
class DrawWatch {
 public:
  DrawWatch() { SetDrawLog([this](const DrawEvent& e) { Note(e); }); }
  ~DrawWatch() { SetDrawLog(nullptr); }
  // The main menu's entry (0 play .. 5 exit) beside the arrow as last drawn.
  int MenuEntry() const { return entry_; }
  // The alpha the grabbed screen was last drawn at: a yes/no dialog dims it
  // below 0.3 and then waits for the answer.
  float GrabAlpha() const { return grabAlpha_; }

 private:
  void Note(const DrawEvent& e) {
    if (e.kind != DrawEvent::Kind::Image) return;
    if (e.picture == "menuarrow.png") entry_ = (int(e.y) - 213) / 32;
    if (e.picture.empty() && e.width == 640 && e.height == 480) grabAlpha_ = e.state.alpha;
  }
  int entry_ = -1;
  float grabAlpha_ = 1;
};

// The game's pictures and sounds loaded as the start-up loads them.
inline void LoadGameResources() {
  RegisterProgramFiles();
  LoadForTheRun(LoadingScreen::Skipped);
  CreateStars();
  controls.mode = ControlMode::Keyboard;
  Settings.sfxOn = Settings.scanlinesOn = 1;
  VersionMessage1 = u"sync score to check";
  SetDrawColour(255, 255, 255);
  SetDrawAlpha(1);
  SetDrawBlendMode(BlendMode::Alpha);
}

}  // namespace menutest
