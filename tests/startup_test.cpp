// The whole program run headless from start to the confirmed exit: what the
// start-up leaves in place, the loading screen, and the settings written at
// the end (also when the window is closed instead).

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "menu_driver.h"

namespace {

using menutest::Driver;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/startup_test_XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/Settings.dat";
    SettingsFileName = StringFromAscii(path_.c_str());
    RuntimeOptions o;
    o.headless = true;
    o.virtualClock = true;
    o.nullAudio = true;
    SetRuntimeOptions(o);
    RuntimeStartCore();
    QuitState = 0;
  }
  void TearDown() override {
    SetScriptHook(nullptr);
    RuntimeShutdown();
    std::system(("rm -rf " + dir_).c_str());
  }
  // A settings file with these integers and one high-score row.
  void WriteSettings(int fullScreen, int musicOn, int vistaSound) {
    const int32_t ints[15] = {fullScreen, 777, musicOn, vistaSound, 1, 1, 37, 39, 164, 162, 0, 0, 1, 0, 0};
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(ints), sizeof ints);  // little-endian machine
    out << "Ace\r\nbest\r\n9000\r\n4\r\n";
  }
  // The file as the program writes it ends with the comment lines, which the
  // hand-written one lacks.
  bool SettingsRewritten() const {
    std::ifstream in(path_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return bytes.find("the latest in-game score is synced.") != std::string::npos;
  }
  // Runs the program; after the intro, Escape then Y leaves the menu.
  int RunToExit(Driver& d) {
    d.OnFrame(1 + 502 + 34, [] { ScriptKeyTap(27); });
    d.OnWait(1 + 502 + 35, [this](int64_t) {
      written_before_answer_ = SettingsRewritten();
      ScriptKeyTap(89);
    });
    d.Install();
    return GameMain();
  }
  std::string dir_, path_;
  bool written_before_answer_ = true;
};

TEST_F(StartupTest, StartsShowsTheLoadingScreenAndSavesOnExit) {
  WriteSettings(0, 0, 0);
  Driver d;
  std::vector<uint8_t> loading;
  String title;
  d.OnFrame(1, [&] {
    loading = ReadScreenRGBA();
    title = AppTitle();
  });
  EXPECT_EQ(RunToExit(d), 0);

  // "loading resources..." from (160, 208), 20 glyphs of 16 x 16, and
  // nothing else on a cleared screen.
  ASSERT_EQ(loading.size(), 640u * 480u * 4u);
  int inside = 0, outside = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const uint8_t* p = &loading[(y * 640 + x) * 4];
      const bool lit = p[0] || p[1] || p[2];
      const bool inText = x >= 160 && x < 160 + 20 * 16 && y >= 208 && y < 224;
      (inText ? inside : outside) += lit;
    }
  EXPECT_GT(inside, 100);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(title, u"Novaquad v1.2");

  // Music off: every tune silent. Rows 0-9 from the file; row 10 the start-up
  // placeholders; row 11 empty.
  EXPECT_EQ(MenuMusicVolume, 0.0f);
  EXPECT_EQ(GameMusicVolume, 0.0f);
  EXPECT_EQ(HighscoreNames[0], u"best");
  EXPECT_EQ(HighscoreScores[0], u"9000");
  EXPECT_EQ(HighscoreNames[1], u"");
  EXPECT_EQ(HighscoreNames[10], u"..........");
  EXPECT_EQ(HighscoreScores[10], u".");
  EXPECT_EQ(HighscoreLevels[10], u"0");
  EXPECT_EQ(HighscoreNames.size(), 12u);
  EXPECT_EQ(HighscoreNames[11], u"");
  EXPECT_EQ(PersonalBest, 777);
  ASSERT_EQ(WebsiteLines.size(), 1u);
  EXPECT_EQ(WebsiteLines[0].substr(0, 7), u"      w");
  EXPECT_TRUE(StarCoordsList && !StarCoordsList->IsEmpty());

  // The settings are written once the exit is confirmed, not before.
  EXPECT_FALSE(written_before_answer_);
  EXPECT_TRUE(SettingsRewritten());
  std::ifstream in(path_, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(bytes.substr(60, 5), "Ace\r\n");
}

TEST_F(StartupTest, MusicOnAndAnOddScreenModeStillGiveAWindowAndTunes) {
  // A screen mode that is neither window nor full screen opens the window;
  // the alternative sound output, when it cannot be had, leaves the default.
  WriteSettings(2, 1, 1);
  Driver d;
  bool open = false;
  d.OnFrame(1, [&] { open = DisplayIsOpen(); });
  EXPECT_EQ(RunToExit(d), 0);
  EXPECT_TRUE(open);
  EXPECT_EQ(FullScreen, 2);  // kept as read
  EXPECT_EQ(MenuMusicVolume, 0.4f);
  EXPECT_EQ(GameMusicVolume, 0.4f);
  EXPECT_EQ(CurrentAudioDriverName(), String());
}

TEST_F(StartupTest, ClosingTheWindowSavesTheSettings) {
  WriteSettings(0, 1, 0);
  EXPECT_EXIT(
      {
        Driver d;
        d.OnFrame(1 + 502 + 40, [] { ScriptCloseRequest(); });
        d.Install();
        PlayerName = u"unused";
        GameMain();
        std::exit(3);  // not reached: the close ends the program
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(SettingsRewritten());
}

}  // namespace
