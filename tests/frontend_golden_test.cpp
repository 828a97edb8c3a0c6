// The front end's golden replay: the program from its start, as a player
// goes through it: the intro, every entry of the main menu, the options
// (every row toggled, the screen mode switched and back, music off and on),
// every key redefined, the name wheel, the mission, the high scores synced
// with a loopback score service, the credits, a game paused, carried on,
// paused again and left, and the exit dialog answered no and then yes.
//
// Each presented frame is kept as a hash of what was drawn (picture and
// frame, position, handle, colour, alpha, blend, turn and scale; the font's
// glyphs as their text) and the sounds asked for since the frame before; the
// settings file's bytes close the record. It is a log of the drawing calls,
// not pixels: new art in the same pictures leaves it as it was, and so does
// moving code around. Anything the player sees or hears differently shows as
// the first frame that differs, with what that frame drew.
//
// The record (tests/golden/frontend.txt) has one line a frame: its number,
// the stage (what the player did last) and the hash; then the settings file
// in hex. Nothing in it hangs on real time: the score sync presents no frame
// while it waits for the service, sounds are filed by the frame they came
// before, and the player acts on frames or on the virtual clock.
//
// A change that is meant to alter the front end writes the record anew:
//   NOVA_WRITE_GOLDEN=1 ./frontend_golden_test
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fixtures/score_service.h"
#include "draw_lines.h"
#include "golden_record.h"
#include "online/online.h"
#include "runtime/headless.h"
#include "runtime/runtime.h"
#include "services/fonttext.h"
#include "screens/startup.h"

namespace {

using namespace drawlines;

std::string GoldenPath() { return golden::RecordPath("frontend.txt"); }

// The sounds asked for, with each channel by the order it was first used in
// (a stop or a volume change names its sound by that channel's play).
class SoundLines {
 public:
  void Take(std::vector<std::string>* out) {
    for (const SoundEvent& e : SoundLog()) {
      auto [it, fresh] = channels_.try_emplace(e.channel, static_cast<int>(channels_.size()));
      const std::string channel = " on channel " + std::to_string(it->second);
      switch (e.kind) {
        case SoundEvent::Kind::Play:
          out->push_back("play " + e.name + (e.loop ? " looped" : "") + channel + " volume " + Num(e.volume));
          break;
        case SoundEvent::Kind::Volume: out->push_back("volume " + Num(e.volume) + channel); break;
        case SoundEvent::Kind::Stop: out->push_back("stop" + channel); break;
      }
    }
    ClearSoundLog();
  }

 private:
  std::map<TChannel*, int> channels_;
};

// The settings file as lines of sixteen bytes: offset, hex, text.
void SettingsLines(const std::string& bytes, std::vector<std::string>* out) {
  for (size_t at = 0; at < bytes.size(); at += 16) {
    char hex[64] = {};
    std::string text;
    for (size_t i = at; i < at + 16 && i < bytes.size(); ++i) {
      const auto b = static_cast<uint8_t>(bytes[i]);
      std::snprintf(hex + 3 * (i - at), 4, " %02x", b);
      text += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
    }
    char line[128];
    std::snprintf(line, sizeof line, "settings %04x%-48s  %s", static_cast<unsigned>(at), hex, text.c_str());
    out->push_back(line);
  }
}

// --- The player -----------------------------------------------------------

// One thing the player does: after `frames` more frames have been shown, or
// (frames < 0) once the screen has shown nothing for a while, waiting for an
// answer; `stage` names what follows it in the record (null: the stage goes
// on).
struct Step {
  const char* stage;
  int frames;
  std::function<void()> act;
};
constexpr int kWait = -1;
// A wait is told by the time without a frame: longer than any pause a screen
// makes between two frames (200 ms at most), but for the score sync, during
// which no wait is due.
constexpr int kWaitMs = 250;

std::function<void()> Tap(int key) {
  return [key] { ScriptKeyTap(key); };
}
std::function<void()> Down(int key) {
  return [key] { ScriptKeyDown(key); };
}
std::function<void()> Up(int key) {
  return [key] { ScriptKeyUp(key); };
}
std::function<void()> PadButton(int button, bool down) {
  return [button, down] { ScriptPadButton(button, down); };
}

// The keys given in the redefinition, and the ones the settings file starts
// with; every one differs from the defaults and from each other. The pad's
// buttons as the settings file has them.
constexpr int kNewLeft = 'J', kNewRight = 'L', kNewClimb = 36 /* Home */, kNewFire = '5';
constexpr int kOldLeft = 100, kOldRight = 102, kOldClimb = 104, kOldFire = 96;  // the keypad's 4, 6, 8, 0
constexpr int kPadClimb = 3, kPadFire = 6;

// Frames: the loading screen (1), the intro (502) and the menu's fade in (32).
constexpr int kMenuUp = 1 + 502 + 32;

std::vector<Step> Script() {
  const int enter = KeyCode::Enter, down = KeyCode::Down, up = KeyCode::Up, space = KeyCode::Space,
            escape = KeyCode::Escape;
  std::vector<Step> s;
  auto at = [&s](const char* stage, int frames, std::function<void()> act) { s.push_back({stage, frames, act}); };
  // Keys tapped three frames apart.
  auto taps = [&s](const char* stage, std::initializer_list<int> keys) {
    for (int key : keys) s.push_back({stage, 3, Tap(key)});
  };
  // A key held while the screen waits for it, and let go at the next frame.
  auto given = [&at](const char* stage, int key) { at(stage, kWait, Down(key)), at(nullptr, 1, Up(key)); };

  // A pad is plugged in at once; the options find it on their first visit.
  at(nullptr, 1, [] { ScriptAttachPad(); });
  // Round the main menu both ways, to the options; difficulty; up wraps to
  // the last row and down comes back; every row after it toggled (the
  // two-state ones both ways).
  at("menu", kMenuUp + 2, Tap(down));
  taps("menu", {space, up, up, up, down, down});
  taps("options", {enter});
  taps("options.difficulty", {enter});
  taps("options", {up, down, down});
  taps("options.screenmode", {enter, enter});
  taps("options", {down}), taps("options.scanlines", {enter, enter});
  taps("options", {down}), taps("options.sfx", {enter, enter});
  taps("options", {down}), taps("options.music", {enter, enter});
  taps("options", {down}), taps("options.controls", {enter, enter});
  // Every key redefined.
  taps("options", {down}), taps("keys", {enter}), taps("keys.redefine", {KeyCode::Tab});
  given("keys.left", kNewLeft), given("keys.right", kNewRight);
  given("keys.climb", kNewClimb), given("keys.fire", kNewFire);
  taps("options", {escape, down});
  // The wheel: take a letter off, turn right and add one, turn left round
  // past "a" to "<" and take one off with it, turn on and add one.
  taps("name", {enter});
  taps("name.delete", {KeyCode::Backspace});
  at("name.right", 3, Down(KeyCode::Right)), at(nullptr, 4, Up(KeyCode::Right));
  taps("name.add", {kNewFire});
  at("name.left", 3, Down(KeyCode::Left)), at(nullptr, 5, Up(KeyCode::Left));
  taps("name.delete", {kNewFire});
  at("name.left", 3, Down(KeyCode::Left)), at(nullptr, 3, Up(KeyCode::Left));
  taps("name.add", {kNewFire});
  taps("options", {enter, down}), taps("options.sound-output", {enter}), taps("options", {down});
  taps("menu", {enter});
  // Mission, high scores with a sync, credits.
  taps("menu", {down}), taps("mission", {enter}), at("menu", kWait, Tap(space));
  taps("menu", {down}), taps("highscores", {enter});
  at("highscores.sync", 4, Down(space)), at(nullptr, 1, Up(space));
  at("menu", 4, Tap(escape));
  taps("menu", {down}), taps("credits", {enter}), at("menu", kWait, Tap(space));
  // Long enough for the newer version's notice to blink; then play: fade
  // out (25), fade in (64), a few frames of the landing cut short, then
  // right and fire with the redefined keys; pause, no, pause, yes.
  at("menu", 70, Tap(down)), taps("menu", {down}), taps("game", {enter});
  at("game.landing-cut", 25 + 64 + 20, Tap(space));
  at("game.right", 10, Down(kNewRight)), at(nullptr, 20, Up(kNewRight));
  taps("game.fire", {kNewFire});
  at("pause", 10, Tap(escape)), at("pause.no", kWait, Tap(KeyCode::N));
  at("pause", 50, Tap(escape)), at("pause.yes", kWait, Tap(KeyCode::Y));
  // Back in the menu (fade 15, fade in 25): the effects off, then the exit
  // dialog by Escape, answered no by the pad's climb button, and by its
  // entry, answered yes by the pad's fire button.
  at("menu", 15 + 25 + 10, Tap(down));
  taps("options", {enter, down, down, down}), taps("options.sfx", {enter}), taps("menu", {escape});
  at("exit", 5, Tap(escape));
  at("exit.no", kWait, PadButton(kPadClimb, true)), at(nullptr, 1, PadButton(kPadClimb, false));
  at("menu", 40, Tap(up)), taps("menu", {up}), taps("exit", {enter});
  at("exit.yes", kWait, PadButton(kPadFire, true));
  return s;
}

// Runs the script from the script hook and keeps the record of every frame.
class Player {
 public:
  explicit Player(std::vector<Step> steps) : steps_(std::move(steps)) {}
  ~Player() {
    SetScriptHook(nullptr);
    SetDrawLog(nullptr);
  }
  void Install() {
    SetDrawLog([this](const DrawEvent& e) { events_.push_back(e); });
    SetScriptHook([this] { Tick(); });
  }
  // What was asked for after the last frame (the program's end).
  void Finish() {
    Record("end");
    SetScriptHook(nullptr);
    SetDrawLog(nullptr);
  }
  bool Done() const { return next_ == steps_.size(); }
  // The step not yet taken, by its number and stage.
  std::string Pending() const {
    if (Done()) return "(none)";
    return std::to_string(next_ + 1) + " (" + (steps_[next_].stage ? steps_[next_].stage : stage_) + ")";
  }
  // One line a frame: number, stage, hash.
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<std::string>& Log(size_t line) const { return logs_.at(line); }
  // The right edge of the farthest-reaching row of letters that is narrower
  // than the screen, and the frame that drew it.
  float RightmostLetter() const { return rightmostLetter_; }
  const std::string& RightmostLetterFrame() const { return rightmostWhere_; }

 private:
  void Record(const std::string& frame) {
    // Each row of letters from its first letter's left edge to its last
    // one's right edge; spaces end a line as much as any other glyph.
    std::map<float, std::pair<float, float>> rows;
    for (const DrawEvent& e : events_) {
      if (!IsGlyph(e)) continue;
      const float left = e.x - e.handleX, right = left + e.width * e.state.scaleX;
      auto [row, fresh] = rows.try_emplace(e.y, left, right);
      if (!fresh) row->second = {std::min(row->second.first, left), std::max(row->second.second, right)};
    }
    for (const auto& [y, span] : rows) {
      // A row as wide as the screen has no room for a margin.
      if (span.second - span.first <= 640 - 16 && span.second > rightmostLetter_)
        rightmostLetter_ = span.second, rightmostWhere_ = frame + " " + stage_;
    }
    std::vector<std::string> log;
    DrawLines(events_, &log);
    events_.clear();
    sounds_.Take(&log);
    lines_.push_back(frame + " " + stage_ + " " + golden::Hex(Fnv1a(log)));
    logs_.push_back(std::move(log));
  }
  void Tick() {
    const int64_t frame = PresentedFrameCount();
    const bool fresh = frame != lastFrame_;
    if (frame > 20000 || ++hooks_ > 5000000) {
      std::fprintf(stderr, "front-end golden: stuck before step %s at frame %lld\n", Pending().c_str(),
                   static_cast<long long>(frame));
      std::_Exit(1);
    }
    if (fresh) {
      Record(std::to_string(frame));
      lastFrame_ = frame;
      lastFrameMs_ = MillisecondClock();
      ++framesSinceStep_;
    }
    if (Done()) return;
    const Step& step = steps_[next_];
    const bool due = step.frames == kWait ? !fresh && MillisecondClock() - lastFrameMs_ >= kWaitMs
                                          : fresh && framesSinceStep_ >= step.frames;
    if (!due) return;
    step.act();
    if (step.stage) stage_ = step.stage;
    framesSinceStep_ = 0;
    ++next_;
  }

  std::vector<Step> steps_;
  size_t next_ = 0;
  std::string stage_ = "intro";
  int64_t lastFrame_ = 0, hooks_ = 0;
  int32_t lastFrameMs_ = 0;
  int framesSinceStep_ = 0;
  std::vector<DrawEvent> events_;
  float rightmostLetter_ = 0;
  std::string rightmostWhere_;
  SoundLines sounds_;
  std::vector<std::string> lines_;
  std::vector<std::vector<std::string>> logs_;
};

// --- The settings file the program starts from ----------------------------------

// The fields that hold any number (personal best, keys, pad buttons, the
// unused one) hold values no other field holds, from the start to the end,
// so a field read or written in another's place shows. The switches hold 0
// or 1; the run leaves them alternating down the file as far as it can
// (screen mode 0, music 1, sound output 0, scan lines 1, effects 0, ...,
// pad control 1, difficulty 1) and most of them start the other way.
std::string StartingSettings() {
  const int32_t ints[15] = {0,         86420,    1, 1,  1,         1,        kOldLeft, kOldRight,
                            kOldClimb, kOldFire, 0, 29, kPadClimb, kPadFire, 0};
  std::string bytes(reinterpret_cast<const char*>(ints), sizeof ints);  // a little-endian machine
  bytes += "Jet Ace\r\n";
  for (int row = 0; row < 10; ++row) {
    const std::string name = "row" + std::to_string(row);
    bytes += name + "\r\n" + std::to_string(900 - row) + "\r\n" + std::to_string(row + 2) + "\r\n";
  }
  return bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class FrontEndGoldenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program reads and writes "Settings.dat" where it runs.
    char pattern[] = "/tmp/frontend_golden_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    ASSERT_NE(getcwd(home_, sizeof home_), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    std::ofstream(dir_ + "/Settings.dat", std::ios::binary) << StartingSettings();

    // A fixed table of scores and versions; the player's own score joins it.
    ASSERT_TRUE(service_.Start());
    service_.AddScore("orion", "9", 48000);
    service_.AddScore("lyra", "7", 31500);
    service_.AddScore("vega", "4", 12250);
    service_.AddScore("deneb", "2", 3400);
    service_.AddVersion("othergame", "3.1");
    service_.AddVersion("novaquad", "1.3");
    setenv("NOVAQUAD_SCORES_URL", service_.BaseUrl().c_str(), 1);
    setenv("NOVAQUAD_ETNA_TIMEOUT_MS", "5000", 1);
    SetETNALibraryPath(NOVA_ETNA_LIBRARY);

    SetRuntimeOptions({.headless = true, .nullDrawing = true, .virtualClock = true, .nullAudio = true});
    RuntimeStartCore();
  }
  void TearDown() override {
    SetScriptHook(nullptr);
    SetDrawLog(nullptr);
    RuntimeShutdown();
    service_.Stop();
    unsetenv("NOVAQUAD_SCORES_URL");
    unsetenv("NOVAQUAD_ETNA_TIMEOUT_MS");
    SetETNALibraryPath("");
    ASSERT_EQ(chdir(home_), 0);
    std::system(("rm -rf " + dir_).c_str());
  }
  std::string dir_;
  char home_[4096] = {};
  ScoreService service_;
};

}  // namespace

TEST_F(FrontEndGoldenTest, EveryScreenReplaysAsRecorded) {
  Player player(Script());
  player.Install();
  ASSERT_EQ(GameMain(), 0);
  player.Finish();

  std::vector<std::string> now = player.Lines();
  SettingsLines(ReadFile(dir_ + "/Settings.dat"), &now);
  std::printf("[ golden   ] %zu frames and the settings file\n", player.Lines().size() - 1);

  if (golden::RewriteAsked()) {
    ASSERT_TRUE(player.Done()) << "the program ended before step " << player.Pending();
    ASSERT_TRUE(golden::WriteRecord(GoldenPath(), now)) << "could not write " << GoldenPath();
    GTEST_SKIP() << "wrote " << GoldenPath();
  }

  const std::vector<std::string> recorded = golden::ReadRecord(GoldenPath());
  ASSERT_FALSE(recorded.empty()) << "no golden record at " << GoldenPath();
  const auto [want, have] = std::mismatch(recorded.begin(), recorded.end(), now.begin(), now.end());
  if (want != recorded.end() || have != now.end()) {
    const size_t line = static_cast<size_t>(have - now.begin());
    std::string drawn;
    if (line < player.Lines().size()) {
      drawn = "\nwhat that frame drew and played now:\n";
      for (const std::string& entry : player.Log(line)) drawn += "  " + entry + "\n";
    }
    FAIL() << "first difference at line " << line + 1 << " (frame, stage, hash; or settings bytes)\n  recorded: "
           << (want != recorded.end() ? *want : "(the end)") << "\n  now:      " << (have != now.end() ? *have : "(the end)")
           << drawn;
  }
  EXPECT_TRUE(player.Done()) << "the program ended before step " << player.Pending();
  // No line of text runs to the screen's edge where it could stop short: a
  // column stays free.
  EXPECT_LE(player.RightmostLetter(), 640 - 16) << "at frame " << player.RightmostLetterFrame();
}
