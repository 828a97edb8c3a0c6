// The whole program run headless from start to the confirmed exit: what the
// start-up leaves in place, the loading screen, and the settings written at
// the end (also when the window is closed or the display is lost instead),
// and the program started where there is no display.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <thread>

#include "menu_driver.h"
#include "sound_log.h"

namespace {

using menutest::Driver;

// The loading screen is frame 1, the intro frames 2-503, the menu's opening
// fade 504-535.
constexpr int64_t kMenu = 1 + 502 + 32;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The program itself, started in a folder of its own with `setUp` run in the
// child just before it starts: what it wrote on standard error, and its exit
// status (128 + the signal when a signal ended it; -1 when it was still
// running after ten seconds and had to be stopped). `whileRunning`, given
// the child, runs in this process while the program does.
struct ProgramRun {
  int status = 0;
  std::string errors;
  double seconds = 0;
};
ProgramRun RunProgram(const std::string& dir, const std::function<void()>& setUp,
               const std::function<void(pid_t)>& whileRunning = {}) {
  const std::string errorFile = dir + "/stderr.txt";
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out = open("/dev/null", O_WRONLY);
    if (err < 0 || out < 0 || dup2(err, 2) < 0 || dup2(out, 1) < 0 || chdir(dir.c_str()) != 0)
      _exit(126);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);  // no compositor there, and nothing said
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setUp();
    execl(NOVA_PROGRAM, NOVA_PROGRAM, static_cast<char*>(nullptr));
    _exit(127);
  }
  if (whileRunning) whileRunning(pid);
  int status = 0;
  const auto deadline = start + std::chrono::seconds(10);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ProgramRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.errors = FileBytes(errorFile);
  std::filesystem::remove(errorFile);
  run.status = status == -1 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

// An X server that takes connections and never answers (a stopped one), on
// an abstract socket of its own display number; closed with the object.
class SilentXServer {
 public:
  SilentXServer() {
    for (int number = 240; number < 300 && display_.empty(); ++number) {
      fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
      std::memcpy(address.sun_path + 1, name.data(), name.size());
      const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
      if (bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, 8) == 0) {
        display_ = ":" + std::to_string(number);
      } else {
        close(fd_);
        fd_ = -1;
      }
    }
  }
  ~SilentXServer() {
    if (fd_ >= 0) close(fd_);
  }
  const std::string& Display() const { return display_; }

 private:
  int fd_ = -1;
  std::string display_;
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/startup_test_XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/Settings.dat";
    SettingsFileName = StringFromAscii(path_.c_str());
    SetRuntimeOptions({.headless = true, .virtualClock = true, .nullAudio = true});
    RuntimeStartCore();
  }
  void TearDown() override {
    SetScriptHook(nullptr);
    RuntimeShutdown();
    std::system(("rm -rf " + dir_).c_str());
  }
  // A hand-written settings file (no comment lines) with one high-score row.
  void WriteSettings(int fullScreen, int musicOn, int alternativeSound, int padControl = 0) {
    const int32_t ints[15] = {fullScreen, 777, musicOn, alternativeSound, 1, 1, 37, 39, 164, 162, padControl, 0, 1, 0, 0};
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(ints), sizeof ints);  // a little-endian machine
    out << "Ace\r\nbest\r\n9000\r\n4\r\n";
  }
  bool SettingsRewritten() const {
    const std::string bytes = FileBytes(path_);
    return bytes.find("Ace\r\nbest\r\n9000\r\n4\r\n") == 60 &&
           bytes.find("the latest in-game score is synced.") != std::string::npos;
  }
  // Runs the program from a fresh settings file and ends it from outside in
  // the menu; it must end with that status, having said that.
  void EndInTheMenu(std::function<void()> end, int status, const char* said) {
    WriteSettings(0, 1, 0);
    EXPECT_EXIT(
        {
          Driver d;
          d.OnFrame(kMenu + 5, end);
          d.Install();
          GameMain();
          std::exit(3);  // not reached: the program ends in the menu
        },
        ::testing::ExitedWithCode(status), said);
  }
  // Runs the program; in the menu, Escape then Y.
  int RunToExit(Driver& d) {
    d.OnFrame(kMenu + 2, [] { ScriptKeyTap(KeyCode::Escape); });
    d.OnWait(kMenu + 3, [this](int64_t) { savedEarly_ = SettingsRewritten(), ScriptKeyTap(KeyCode::Y); });
    d.Install();
    return GameMain();
  }
  // Runs the program from a file asking for full screen, on a monitor that
  // grants it or not; the screen mode the file holds after the exit.
  int StartInFullScreen(bool refused) {
    WriteSettings(1, 1, 0);
    MonitorStandIn monitor;
    monitor.refusesFullScreen = refused;
    SetMonitorStandIn(monitor);
    Driver d;
    bool fullScreen = !refused;
    d.OnFrame(1, [&] { fullScreen = DisplayIsFullScreen(); });
    EXPECT_EQ(RunToExit(d), 0);
    EXPECT_EQ(fullScreen, !refused);
    EXPECT_EQ(Settings.fullScreen, refused ? 0 : 1);
    int32_t saved = -1;
    std::ifstream(path_, std::ios::binary).read(reinterpret_cast<char*>(&saved), sizeof saved);
    return saved;
  }
  std::string dir_, path_;
  bool savedEarly_ = true;
};

TEST_F(StartupTest, StartsShowsTheLoadingScreenAndSavesOnExit) {
  WriteSettings(0, 0, 0);
  Driver d;
  std::vector<uint8_t> loading;
  String title;
  d.OnFrame(1, [&] { loading = ReadScreenRGBA(), title = AppTitle(); });
  EXPECT_EQ(RunToExit(d), 0);

  // "loading resources..." from (160, 208), 20 glyphs, on a cleared screen.
  ASSERT_EQ(loading.size(), 640u * 480u * 4u);
  int inside = 0, outside = 0;
  for (int i = 0; i < 640 * 480; ++i) {
    const int x = i % 640, y = i / 640;
    const bool lit = loading[i * 4] || loading[i * 4 + 1] || loading[i * 4 + 2];
    (x >= 160 && x < 480 && y >= 208 && y < 224 ? inside : outside) += lit;
  }
  EXPECT_GT(inside, 100);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(title, u"Novaquad v1.2");

  // Music off silences the tunes. Row 0 is the file's, row 10 the start-up's
  // placeholder, row 11 empty.
  EXPECT_EQ(MenuMusicVolume, 0.0f);
  EXPECT_EQ(GameMusicVolume, 0.0f);
  EXPECT_EQ(HighscoreNames[0], u"best");
  EXPECT_EQ(HighscoreNames[1], u"");
  EXPECT_EQ(HighscoreNames[10] + HighscoreScores[10] + HighscoreLevels[10], u"...........0");
  ASSERT_EQ(HighscoreNames.size(), 12u);
  EXPECT_EQ(HighscoreNames[11], u"");
  EXPECT_EQ(Settings.personalBest, 777);
  EXPECT_FALSE(world.starCoords->IsEmpty());
  // Written once the exit is confirmed, not before.
  EXPECT_FALSE(savedEarly_);
  EXPECT_TRUE(SettingsRewritten());
}

TEST_F(StartupTest, AnOddScreenModeStillGetsAWindow) {
  // Neither window (0) nor full screen (1): the window. The alternative
  // sound output cannot be had headless and the default stays.
  WriteSettings(2, 1, 1);
  Driver d;
  bool open = false;
  d.OnFrame(1, [&] { open = DisplayIsOpen(); });
  EXPECT_EQ(RunToExit(d), 0);
  EXPECT_TRUE(open);
  EXPECT_EQ(Settings.fullScreen, 2);  // kept as read
  EXPECT_EQ(MenuMusicVolume, 0.4f);
  EXPECT_EQ(CurrentAudioDriverName(), String());
}

// Full screen asked for: granted, it stays 1; refused, the window that serves
// instead is what the options row shows and what gets saved.
TEST_F(StartupTest, AFullScreenThatCannotBeHadIsAWindowInTheSettingsToo) {
  EXPECT_EQ(StartInFullScreen(/*refused=*/true), 0);
}

TEST_F(StartupTest, AFullScreenGrantedStaysFullScreenInTheSettings) {
  EXPECT_EQ(StartInFullScreen(/*refused=*/false), 1);
}

TEST_F(StartupTest, ClosingTheWindowSavesTheSettings) {
  EndInTheMenu([] { ScriptCloseRequest(); }, 0, "");
  EXPECT_TRUE(SettingsRewritten());
}

TEST_F(StartupTest, TerminationOrAHangUpSavesTheSettings) {
  // Asked to end from outside, or the terminal closed: as closing the window.
  for (int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    EndInTheMenu([signal] { std::raise(signal); }, 0, "");
    EXPECT_TRUE(SettingsRewritten());
  }
}

TEST_F(StartupTest, LosingTheDisplaySavesTheSettingsOnceAndEndsWithStatusOne) {
  // The X server gone under the menu: saved, as closing the window saves.
  EndInTheMenu([] { ScriptDisplayLost(); }, 1, "the display's connection is lost");
  EXPECT_TRUE(SettingsRewritten());
  // Gone while the program ends after the confirmed exit: the exit's save
  // was the one, the file planted after it stays.
  WriteSettings(0, 1, 0);
  EXPECT_EXIT(
      {
        Driver d;
        if (RunToExit(d) != 0 || !SettingsRewritten()) std::_Exit(4);
        WriteSettings(0, 1, 0);
        ScriptDisplayLost();
      },
      ::testing::ExitedWithCode(1), "the display's connection is lost");
  EXPECT_FALSE(SettingsRewritten());
}

// Started where there is no display at all (a terminal over ssh, a console).
TEST_F(StartupTest, WithNoDisplayTheProgramEndsAtOnceAndLeavesTheSettingsAlone) {
  // A console with a graphics card may give SDL a real display of its own.
  if (access("/dev/dri", F_OK) == 0) GTEST_SKIP() << "a DRM device here";
  for (bool planted : {false, true}) {
    std::filesystem::remove(path_);
    if (planted) WriteSettings(1, 1, 0);  // full screen asked for: it tries both
    const std::string before = FileBytes(path_);
    const ProgramRun run = RunProgram(dir_, [] {});
    EXPECT_EQ(run.status, 1) << planted;
    EXPECT_EQ(run.errors, "no display: set DISPLAY or WAYLAND_DISPLAY, or run under a desktop\n")
        << planted;
    EXPECT_EQ(std::filesystem::exists(path_), planted);
    EXPECT_EQ(FileBytes(path_), before);
  }
}

TEST_F(StartupTest, WithMusicOffInTheFileEveryTuneOfMenuAndGameIsSilent) {
  WriteSettings(0, 0, 0);
  SetRuntimeOptions({.headless = true, .nullDrawing = true, .virtualClock = true, .nullAudio = true});
  // In the menu: play; cut the landing short; pause and go on; pause and
  // leave; then leave the program from the menu.
  enum { kPlay, kCutLanding, kPause, kAnswerNo, kPauseAgain, kAnswerYes, kLeaveMenu, kAnswerExit, kDone };
  int step = kPlay;
  int64_t next = kMenu + 2, last = -1;
  const int64_t base = PresentedFrameCount();
  menutest::DrawWatch drawn;
  SetScriptHook([&] {
    const int64_t frame = PresentedFrameCount() - base;
    const bool fresh = frame != last;
    last = frame;
    if (frame > 20000) std::fprintf(stderr, "the game never ended\n"), std::_Exit(1);
    const bool waiting = !fresh && (step == kAnswerExit ? drawn.GrabAlpha() : DialogFade) < 0.5f;  // a yes/no dialog polls
    const int keys[] = {KeyCode::Enter,  KeyCode::Space, KeyCode::Escape, KeyCode::N,
                        KeyCode::Escape, KeyCode::Y,     KeyCode::Escape, KeyCode::Y};
    const bool byFrame = step == kPlay || step == kCutLanding || step == kPause || step == kPauseAgain ||
                         step == kLeaveMenu;
    if (step == kDone || !(byFrame ? fresh && frame == next : waiting && frame > next)) return;
    ScriptKeyTap(keys[step]);
    // A dialog answers after its Escape; the next key by frame comes later.
    const bool opensDialog = step == kPause || step == kPauseAgain || step == kLeaveMenu;
    next = opensDialog ? frame : frame + (step == kAnswerYes ? 200 : 100);
    ++step;
  });
  EXPECT_EQ(GameMain(), 0);
  EXPECT_EQ(step, kDone);
  EXPECT_EQ(soundlog::Tunes(), "m_menu.ogg@0 m_game.ogg@0 m_pause.ogg@0 m_game.ogg@0 m_pause.ogg@0 m_menu.ogg@0");
  for (const SoundEvent& e : SoundLog()) {
    if (e.kind != SoundEvent::Kind::Volume) continue;
    EXPECT_EQ(e.volume, 0.0f) << e.name << " at frame " << e.frame;
  }
}

TEST_F(StartupTest, PadControlFromTheFileTakesThePadsRestAndRunsWithoutAPadToo) {
  WriteSettings(0, 1, 0, 1);
  RuntimeStartServices();  // so the pad can be plugged in before the start-up
  ASSERT_TRUE(ScriptAttachPad());
  ScriptPadAxis(0, 0.25f);
  ScriptPadAxis(1, -0.5f);
  Driver d;
  float rest[2] = {};
  bool pad = false;
  auto note = [&] {
    rest[0] = controls.padRestX, rest[1] = controls.padRestY, pad = controls.mode == ControlMode::Pad;
  };
  d.OnFrame(1, note);
  EXPECT_EQ(RunToExit(d), 0);
  EXPECT_TRUE(pad);
  EXPECT_NEAR(rest[0], 0.25f, 0.001f);
  EXPECT_NEAR(rest[1], -0.5f, 0.001f);
  EXPECT_TRUE(SettingsRewritten());
  ScriptDetachPad();
  RuntimeShutdown();

  // No pad at all: pad control all the same, resting at the middle, and the
  // program runs to its end on the keyboard.
  controls.mode = ControlMode::Keyboard;
  controls.padRestX = controls.padRestY = 1;
  rest[0] = rest[1] = 1, pad = false;
  RuntimeStartServices();  // frames count from here, as in the first run
  Driver without;
  without.OnFrame(1, note);
  EXPECT_EQ(RunToExit(without), 0);
  EXPECT_TRUE(pad);
  EXPECT_EQ(rest[0], 0.0f);
  EXPECT_EQ(rest[1], 0.0f);
}

}  // namespace

// A display that takes the connection and never answers: the start-up ends
// after a few seconds with one line, or at once when asked to end.
TEST_F(StartupTest, ADisplayThatNeverAnswersEndsTheStartUpAndATerminationEndsItSooner) {
  SilentXServer server;
  ASSERT_FALSE(server.Display().empty()) << "no free display number";
  const std::string display = server.Display();
  const auto toTheSilentServer = [&display] { setenv("DISPLAY", display.c_str(), 1); };

  const ProgramRun waited = RunProgram(dir_, toTheSilentServer);
  EXPECT_EQ(waited.status, 1);
  EXPECT_EQ(waited.errors, "the display does not answer: ending\n");
  EXPECT_GT(waited.seconds, 4.0);
  EXPECT_LT(waited.seconds, 8.0);

  const ProgramRun ended = RunProgram(dir_, toTheSilentServer, [](pid_t pid) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(pid, SIGTERM);
  });
  // Nothing was loaded yet, so nothing to save: the signal ends it.
  EXPECT_EQ(ended.status, 128 + SIGTERM);
  EXPECT_LT(ended.seconds, 3.5);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

// Started with its standard streams closed, as some launchers do: nothing
// the program opens takes their numbers, and a termination still saves.
TEST_F(StartupTest, ClosedStandardStreamsAreOpenedOnNothingBeforeAnythingElse) {
  WriteSettings(0, 1, 0);
  std::string streams[3];
  const ProgramRun run = RunProgram(
      dir_,
      [] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        close(0), close(1), close(2);
      },
      [&streams](pid_t pid) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        for (int fd = 0; fd <= 2; ++fd) {
          std::error_code error;
          const auto link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd);
          streams[fd] = std::filesystem::read_symlink(link, error).string();
        }
        kill(pid, SIGTERM);
      });
  for (int fd = 0; fd <= 2; ++fd) EXPECT_EQ(streams[fd], "/dev/null") << fd;
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(SettingsRewritten());
}

// Asked to end while the game is held up somewhere that takes no events
// (a display that stopped answering mid-frame): after a moment the request
// is taken without it, the settings saved, and the program ends as a close
// ends it.
TEST_F(StartupTest, ATerminationWhereNothingTakesEventsStillSavesAndEnds) {
  const std::string marker = dir_ + "/saved";
  EXPECT_EXIT(
      {
        RuntimeStartServices();
        SetCloseRequestHandler([marker] { std::ofstream(marker) << "saved"; });
        std::raise(SIGTERM);
        std::this_thread::sleep_for(std::chrono::seconds(8));  // no event pump
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(FileBytes(marker), "saved");
}
