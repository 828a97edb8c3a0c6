// capture_screens: plays the whole game once, headless, and keeps a picture of
// each screen a player meets on the way, as PNG files in the folder given.
//
//   capture_screens docs/screens
//
// The game runs from its own start-up (GameMain) on the software renderer
// with a virtual clock and no sound device; a scripted player answers every
// screen through the keyboard. Where a moment would take a player minutes
// (the alien under the bike, a teleporter ahead), the world is placed by hand
// just before it. The score library is never loaded, so the sync fails at
// once, as it does on a machine without it. The same build gives the same
// pictures every time.
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gameplay/gameplay.h"
#include "online/online.h"
#include "runtime/headless.h"
#include "screens/screens.h"

namespace {

// A step that waits longer than this many frames (or rests this often
// without a frame) has lost its way: the tour stops instead of hanging.
constexpr int64_t kStepFrameLimit = 3000;
constexpr int64_t kStepRestLimit = 200000;

// The rows of an RGB picture as PNG into an open file.
bool EncodeRGB(std::FILE* f, std::vector<png_bytep>& rows, int w, int h) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  volatile bool ok = false;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return ok;
}

// The back buffer as an opaque RGB picture: its alpha means nothing on screen.
bool WritePNG(const std::string& fileName) {
  const int w = 640, h = 480;
  std::vector<uint8_t> rgb = ReadScreenRGBA();
  if (rgb.size() != size_t(w) * h * 4) return false;
  for (size_t i = 0, n = size_t(w) * h; i < n; ++i)
    for (size_t c = 0; c < 3; ++c) rgb[i * 3 + c] = rgb[i * 4 + c];
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) rows[size_t(y)] = rgb.data() + size_t(y) * w * 3;
  std::FILE* f = std::fopen(fileName.c_str(), "wb");
  if (!f) return false;
  const bool encoded = EncodeRGB(f, rows, w, h);
  return std::fclose(f) == 0 && encoded;
}

// The bike blinks while invulnerable: it is drawn at (ticks mod 10) tenths,
// ticks as they stood when the frame began, i.e. at the hook before.
int TicksBeforeFrame = -1, TicksAfterFrame = -1;
void NoteFrame() {
  TicksBeforeFrame = TicksAfterFrame;
  TicksAfterFrame = world.bike.invulnerableTicks;
}

// Keeps a key held or released, pressing it again when a screen's
// ClearKeyStates has made it count as up.
void Hold(int vk, bool down) {
  const bool held = IsKeyHeld(vk);
  if (down && !held) ScriptKeyUp(vk), ScriptKeyDown(vk);
  if (!down && held) ScriptKeyUp(vk);
}

// The tour: steps taken one after the other from the script hook. A step
// waits for its moment, on a new frame or at a rest (a screen polling for
// input without presenting), then runs its actions once.
class Tour {
 public:
  explicit Tour(std::string folder) : folder_(std::move(folder)) {}

  // A new step, n frames after the previous one.
  Tour& Frames(int64_t n) {
    When("frames", [this, n] { return Waited() >= n; });
    steps_.back().frames = n;
    return *this;
  }
  // A new step at the first frame where ready() holds.
  Tour& When(std::string what, std::function<bool()> ready) {
    steps_.push_back({std::move(what), false, std::move(ready)});
    return *this;
  }
  // A new step at the first rest where ready() holds.
  Tour& Rest(std::string what, std::function<bool()> ready = [] { return true; }) {
    steps_.push_back({std::move(what), true, std::move(ready)});
    return *this;
  }
  // Draws every frame while the last step waits, for a screen that grabs
  // the picture it starts from.
  Tour& Drawn() {
    steps_.back().drawn = true;
    return *this;
  }
  // Actions of the last step.
  Tour& Do(std::function<void()> action) {
    steps_.back().actions.push_back(std::move(action));
    return *this;
  }
  Tour& Tap(int vk) {
    return Do([vk] { ScriptKeyTap(vk); });
  }
  Tour& Down(int vk) {
    return Do([vk] { ScriptKeyDown(vk); });
  }
  Tour& Up(int vk) {
    return Do([vk] { ScriptKeyUp(vk); });
  }
  Tour& Shot(std::string file) {
    shots_.push_back(file);
    steps_.back().drawn = true;
    return Do([this, file] {
      if (!WritePNG(folder_ + "/" + file)) Fail("cannot write " + file);
      std::printf("%-24s frame %lld\n", file.c_str(), static_cast<long long>(PresentedFrameCount()));
    });
  }
  // Runs on every new frame from the end of the last step given so far,
  // until replaced; stands in for a player who keeps flying between steps.
  Tour& Pilot(std::function<void()> pilot) {
    return Do([this, pilot] { pilot_ = pilot; });
  }

  // Frames since the current step began to wait.
  int64_t Waited() const { return PresentedFrameCount() - stepStart_; }
  bool Finished() const { return next_ == steps_.size(); }
  const std::vector<std::string>& Shots() const { return shots_; }

  void Install() {
    stepStart_ = lastFrame_ = PresentedFrameCount();
    SetScriptHook([this] { Tick(); });
    ChooseDrawing();
  }

 private:
  struct Step {
    std::string what;
    bool atRest;
    std::function<bool()> ready;
    std::vector<std::function<void()>> actions = {};
    int64_t frames = -1;  // a step that waits a count of frames
    bool drawn = false;   // its frames are drawn (else only the game runs)
  };

  // Drawing is what takes the time, so only the frames kept and the ones a
  // screen grabs are drawn: the last two of a counted wait, every frame of
  // a wait for a moment. Every screen draws its whole picture each frame,
  // so nothing is missing from the first one drawn.
  void ChooseDrawing() {
    bool on = false;
    if (!Finished()) {
      const Step& step = steps_[next_];
      on = step.drawn && (step.frames < 0 || Waited() >= step.frames - 2);
    }
    RuntimeOptions options = GetRuntimeOptions();
    options.nullDrawing = !on;
    SetRuntimeOptions(options);
  }

  void Tick() {
    const int64_t now = PresentedFrameCount();
    const bool newFrame = now != lastFrame_;
    lastFrame_ = now;
    if (newFrame) NoteFrame();
    if (newFrame && pilot_) pilot_();
    if (Finished()) return;
    rests_ = newFrame ? 0 : rests_ + 1;
    Step& step = steps_[next_];
    if (Waited() > kStepFrameLimit || rests_ > kStepRestLimit) Fail("stuck waiting for " + step.what);
    if (step.atRest == newFrame || !step.ready()) return ChooseDrawing();
    ++next_;
    stepStart_ = now;
    for (auto& action : step.actions) action();
    ChooseDrawing();
  }

  [[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "capture_screens: %s (step %zu, frame %lld); the screen is in stuck.png\n", why.c_str(),
                 next_ + 1, static_cast<long long>(PresentedFrameCount()));
    WritePNG(folder_ + "/stuck.png");
    std::_Exit(1);
  }

  std::string folder_;
  std::vector<Step> steps_;
  std::vector<std::string> shots_;
  std::function<void()> pilot_;
  size_t next_ = 0;
  int64_t stepStart_ = 0, lastFrame_ = 0, rests_ = 0;
};

// --- What the scripted player looks at --------------------------------------

bool OnScreen(float x) { return x > 0 && x < 600; }

int EnemiesOnScreen() {
  int n = 0;
  for (Enemies* e : Each<Enemies>(world.enemies)) n += OnScreen(e->x) && e->y > 40;
  return n;
}

// The bike drawn at full strength (or 0.9) in the frame just shown.
bool BikeSolid() { return TicksBeforeFrame == 0 || TicksBeforeFrame % 10 == 9; }

template <class T>
T* First(TList* list) {
  for (T* record : Each<T>(list)) return record;
  return nullptr;
}

PlayerBullets* ShotAhead(float minDistance) {
  for (PlayerBullets* b : Each<PlayerBullets>(world.playerBullets))
    if (b->x - world.bike.x > minDistance && b->x < 600) return b;
  return nullptr;
}

bool ExplosionUnderway() {
  for (Explosions* e : Each<Explosions>(world.explosions))
    if (e->kind != ExplosionKind::Puff && e->frame >= 4 && OnScreen(e->x)) return true;
  return false;
}

Enemies* TargetAhead() {
  Enemies* best = nullptr;
  for (Enemies* e : Each<Enemies>(world.enemies))
    if (e->x > world.bike.x + 120 && e->x < 600 && (!best || e->x < best->x)) best = e;
  return best;
}

Structures* FirstStructure(StructureKind kind) {
  for (Structures* s : Each<Structures>(world.structures))
    if (s->kind == kind) return s;
  return nullptr;
}

// --- How the scripted player flies ------------------------------------------

// Flies right; climbs to the height of the nearest enemy ahead and, when
// allowed, fires once the shot would meet it.
struct Gunner {
  bool firing = false;
  int64_t lastShot = -100;
  void operator()() {
    if (world.game.shieldCount < 4) world.game.shieldCount = 4;  // a stray hit must not end the tour early
    Hold(Settings.keyRight, true);
    Enemies* target = TargetAhead();
    const float want = target ? std::fmin(std::fmax(target->y - 12, 40.0f), 397.0f) : 300.0f;
    Hold(Settings.keyClimb, world.bike.y > want + 4);
    const bool lined = target && std::fabs(world.bike.y + 32 - (target->y + 18)) < 16;
    const int64_t sinceShot = PresentedFrameCount() - lastShot;
    // Nothing lined up for two seconds: fire anyway, as a player would.
    if (firing && ((lined && sinceShot >= 8) || sinceShot >= 120)) {
      ScriptKeyTap(Settings.keyFire);
      lastShot = PresentedFrameCount();
    }
  }
};

// Flies right along the ground.
void LowFlight() {
  if (world.game.shieldCount < 4) world.game.shieldCount = 4;
  Hold(Settings.keyRight, true);
  Hold(Settings.keyClimb, false);
}

// --- The tour -----------------------------------------------------------------

void PlanTour(Tour& t) {
  // The loading frame, the footsteps in the dark, then the scene brightening
  // by one grey level a frame: full light some 225 frames in.
  t.Frames(235).Shot("01_intro.png").Tap(KeyCode::Escape);
  // The intro fades out (128 frames) and the menu fades in (32).
  t.Frames(190).Shot("02_menu.png");

  // Options, second entry.
  t.Frames(2).Tap(KeyCode::Down);
  t.Frames(2).Tap(KeyCode::Enter);
  t.Frames(4).Shot("03_options.png");
  // "redefine keys", seven rows down.
  for (int row = 0; row < 6; ++row) t.Frames(2).Tap(KeyCode::Down);
  t.Frames(2).Tap(KeyCode::Enter);
  t.Frames(4).Shot("04_keys.png").Tap(KeyCode::Escape);
  // "set playername", the next row: clear "not set" and spell "nova".
  t.Frames(3).Tap(KeyCode::Down);
  t.Frames(2).Tap(KeyCode::Enter);
  for (int n = 0; n < 7; ++n) t.Frames(1).Tap(KeyCode::Backspace);
  const int turns[4] = {13, 1, 7, 17};  // n, o, v, then round past "<" to a
  for (int turn : turns) {
    t.Frames(1).Down(KeyCode::Right);
    t.Frames(turn).Up(KeyCode::Right);
    t.Frames(1).Tap(Settings.keyFire);
  }
  t.Frames(3).Shot("05_name.png").Tap(KeyCode::Enter);
  t.Frames(3).Tap(KeyCode::Escape);

  // The mission, third entry: one frame, then it waits for a key.
  t.Frames(3).Tap(KeyCode::Down);
  t.Frames(2).Tap(KeyCode::Enter);
  t.Rest("the mission's wait").Shot("06_mission.png").Tap(KeyCode::M);

  // The high scores, fourth entry; Space syncs, showing the notice first.
  t.Frames(2).Tap(KeyCode::Down);
  t.Frames(2).Tap(KeyCode::Enter);
  t.Frames(4).Down(KeyCode::Space);
  t.Frames(1).Shot("07_sync.png").Up(KeyCode::Space);
  t.Frames(3).Tap(KeyCode::Escape);

  // The credits, fifth entry.
  t.Frames(3).Tap(KeyCode::Down);
  t.Frames(2).Tap(KeyCode::Enter);
  t.Rest("the credits' wait").Shot("08_credits.png").Tap(KeyCode::M);

  // Back to the high scores, now showing what the failed sync left.
  t.Frames(2).Tap(KeyCode::Up);
  t.Frames(2).Tap(KeyCode::Enter);
  t.Frames(4).Shot("09_highscores.png").Tap(KeyCode::Escape);

  // Play: three entries up. The menu fades out (25 frames), the world fades
  // in (64), the module comes down (304) and beams the bike out.
  for (int n = 0; n < 3; ++n) t.Frames(2).Tap(KeyCode::Up);
  t.Frames(2).Tap(KeyCode::Enter);
  t.Frames(25 + 64 + 304 + 25 + 50 + 12).Shot("10_landing.png");

  // Flight to the right until enemies are in sight.
  auto gunner = std::make_shared<Gunner>();
  t.When("the landing's end", [] { return world.bike.y == 397; }).Pilot([gunner] { (*gunner)(); });
  t.When("enemies in sight", [] { return EnemiesOnScreen() >= 2 && BikeSolid() && world.bike.speed > 8; })
      .Shot("11_flight.png")
      .Do([gunner] { gunner->firing = true; });
  t.When("a shot on its way", [] { return ShotAhead(140) && EnemiesOnScreen() >= 1 && BikeSolid(); })
      .Shot("12_shot.png");
  t.When("an enemy shot down", [&t] {
     // A player would get one soon; past 10 seconds, put an enemy in the way.
     if (t.Waited() == 600)
       if (Enemies* e = TargetAhead() ? TargetAhead() : First<Enemies>(world.enemies))
         e->x = world.bike.x + 300, e->y = world.bike.y + 14;
     return ExplosionUnderway() && BikeSolid();
   }).Shot("13_explosion.png");

  // Down to the ground; the alien is placed under the bike until it is in
  // the low part of its hop and can be grabbed.
  t.Frames(1).Pilot([] {
    LowFlight();
    if (world.alien.free && world.bike.y == 397) world.alien.x = world.bike.x + 30;
  });
  t.When("the alien picked up", [] { return !world.alien.free; });
  t.When("the alien carried", [&t] { return t.Waited() >= 12 && BikeSolid(); }).Shot("14_alien.png");

  // A teleporter ahead: the bike runs into it and the alien is delivered.
  t.Frames(1).Pilot(LowFlight).Do([] {
    Structures* gate = FirstStructure(StructureKind::Teleporter);
    gate->x = world.bike.x + 380, gate->touchCooldown = 0;
  });
  t.When("the teleport", [] { return world.alien.free; });
  t.When("the new place", [&t] { return t.Waited() >= 24 && BikeSolid(); }).Shot("15_teleport.png");

  // The pause dialog once the bike has stopped blinking; N goes on playing.
  t.When("the bike steady", [] { return world.bike.invulnerableTicks == 0; }).Tap(KeyCode::Escape);
  t.Rest("the pause question", [] { return DialogFade < 0.3f; }).Shot("16_pause.png").Tap(KeyCode::N);

  // The last shield: an enemy flies into the bike.
  t.Frames(40).Pilot([] {
    Hold(Settings.keyRight, true);
    Hold(Settings.keyClimb, false);
    if (world.game.shieldCount > 0) world.game.shieldCount = 0;
    for (Enemies* e : Each<Enemies>(world.enemies))
      if (e->type != EnemyType::Spinner && world.game.shieldCount == 0) {
        e->x = world.bike.x + 40, e->y = world.bike.y + 6;
        break;
      }
  });
  t.When("the last hit", [] { return world.game.shieldCount < 0; }).Pilot({});
  // The game-over sequence starts from a grab of the last picture.
  t.When("the bike in pieces", [] { return First<Pieces>(world.pieces) != nullptr; }).Drawn();
  t.Frames(10).Shot("17_destroyed.png");
  t.When("the fade to black", [] { return world.game.ended.has_value(); });
  t.Rest("the verdict").Shot("18_gameover.png");

  // Back in the menu: leave the game.
  t.Frames(40).Tap(KeyCode::Escape);
  t.Rest("the exit question").Tap(KeyCode::Y);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>   (writes the screen pictures there)\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);

  SetRuntimeOptions({.headless = true, .virtualClock = true, .nullAudio = true});
  // No score library: the sync fails at once, with no network.
  SetETNALibraryPath(folder + "/no-score-library");
  // A settings file of its own, so the player's own never counts or changes.
  const std::string settings = folder + "/capture-settings.dat";
  std::filesystem::remove(settings, error);
  SettingsFileName = StringFromAscii(settings.c_str());

  Tour tour(folder);
  PlanTour(tour);
  tour.Install();
  ProgramEntry(GameMain);
  SetScriptHook(nullptr);
  std::filesystem::remove(settings, error);
  if (!tour.Finished()) {
    std::fprintf(stderr, "capture_screens: the game ended before the tour did\n");
    return 1;
  }
  std::printf("%zu screens in %s\n", tour.Shots().size(), folder.c_str());
  return 0;
}
