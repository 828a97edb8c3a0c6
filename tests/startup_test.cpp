// The whole program run headless from start to the confirmed exit: what the
// start-up leaves in place, the loading screen, and the settings written at
// the end (also when the window is closed instead).
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "menu_driver.h"

namespace {

using menutest::Driver;

// The loading screen is frame 1, the intro frames 2-503, the menu's opening
// fade 504-535.
constexpr int64_t kMenu = 1 + 502 + 32;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/startup_test_XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/Settings.dat";
    SettingsFileName = StringFromAscii(path_.c_str());
    SetRuntimeOptions({.headless = true, .virtualClock = true, .nullAudio = true});
    RuntimeStartCore();
    QuitState = 0;
  }
  void TearDown() override {
    SetScriptHook(nullptr);
    RuntimeShutdown();
    std::system(("rm -rf " + dir_).c_str());
  }
  // A hand-written settings file (no comment lines) with one high-score row.
  void WriteSettings(int fullScreen, int musicOn, int vistaSound) {
    const int32_t ints[15] = {fullScreen, 777, musicOn, vistaSound, 1, 1, 37, 39, 164, 162, 0, 0, 1, 0, 0};
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(ints), sizeof ints);  // a little-endian machine
    out << "Ace\r\nbest\r\n9000\r\n4\r\n";
  }
  bool SettingsRewritten() const {
    std::ifstream in(path_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return bytes.find("Ace\r\nbest\r\n9000\r\n4\r\n") == 60 &&
           bytes.find("the latest in-game score is synced.") != std::string::npos;
  }
  // Runs the program; in the menu, Escape then Y.
  int RunToExit(Driver& d) {
    d.OnFrame(kMenu + 2, [] { ScriptKeyTap(27); });
    d.OnWait(kMenu + 3, [this](int64_t) { savedEarly_ = SettingsRewritten(), ScriptKeyTap(89); });
    d.Install();
    return GameMain();
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
  EXPECT_EQ(PersonalBest, 777);
  EXPECT_TRUE(StarCoordsList && !StarCoordsList->IsEmpty());
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
  EXPECT_EQ(FullScreen, 2);  // kept as read
  EXPECT_EQ(MenuMusicVolume, 0.4f);
  EXPECT_EQ(CurrentAudioDriverName(), String());
}

TEST_F(StartupTest, ClosingTheWindowSavesTheSettings) {
  WriteSettings(0, 1, 0);
  EXPECT_EXIT(
      {
        Driver d;
        d.OnFrame(kMenu + 5, [] { ScriptCloseRequest(); });
        d.Install();
        GameMain();
        std::exit(3);  // not reached: closing ends the program
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(SettingsRewritten());
}

TEST_F(StartupTest, TerminationOrAHangUpSavesTheSettings) {
  // Asked to end from outside, or the terminal closed: as closing the window.
  for (int signal : {SIGTERM, SIGHUP}) {
    WriteSettings(0, 1, 0);
    EXPECT_EXIT(
        {
          Driver d;
          d.OnFrame(kMenu + 5, [signal] { std::raise(signal); });
          d.Install();
          GameMain();
          std::exit(3);  // not reached: the signal ends the program
        },
        ::testing::ExitedWithCode(0), "")
        << signal;
    EXPECT_TRUE(SettingsRewritten()) << signal;
  }
}

}  // namespace
