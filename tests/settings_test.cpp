// The settings file: the exact bytes written, what is read back, and files
// that are short, odd or cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "shell/shell.h"

namespace {

const std::vector<int32_t> kOdd = {0, 12345, 0, 1, 0, 0, 65, 68, 87, 32, 0, -7, 3, 4, 1};
int* const kGlobals[] = {&FullScreen, &PersonalBest, &MusicOn, &VistaSound, &ScanlinesOn,
                         &SfxOn, &KeyLeft, &KeyRight, &KeyClimb, &KeyFire, &JoystickOn,
                         &ReservedSetting, &JoyButton1, &JoyButton2, &Difficulty};

// Fifteen little-endian integers, then the lines, each ending in eol.
std::string FileImage(const std::vector<std::string>& lines, const char* eol = "\r\n") {
  std::string out;
  for (int32_t v : kOdd)
    for (int b = 0; b < 4; ++b) out += char((uint32_t(v) >> (8 * b)) & 0xFF);
  for (const std::string& l : lines) out += l + eol;
  return out;
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/settings_test_XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/Settings.dat";
    SettingsFileName = StringFromAscii(path_.c_str());
    HighscoreNames = HighscoreScores = HighscoreLevels = StringArray(12);
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string Read() {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void ExpectDefaults() {
    EXPECT_EQ(FullScreen, 1);
    EXPECT_EQ(KeyClimb, 164);
    EXPECT_EQ(JoyButton1, 1);
    EXPECT_EQ(PlayerName, u"not set");
    EXPECT_EQ(HighscoreNames[9], u"..........");
    EXPECT_EQ(HighscoreScores[0], u"0");
    EXPECT_EQ(HighscoreLevels[0], u".");
  }
  std::string dir_, path_;
};

TEST_F(SettingsFile, SavesByteForByteAndReadsBackEverything) {
  for (size_t i = 0; i < kOdd.size(); ++i) *kGlobals[i] = kOdd[i];
  PlayerName = u"Zed \u00e9";  // an 8-bit character survives
  std::vector<std::string> lines = {"Zed \xe9"};
  for (int k = 0; k < 10; ++k) {
    std::string row[3] = {std::string("n").append(std::to_string(k)), std::to_string(900 - k), std::to_string(k + 1)};
    HighscoreNames[k] = StringFromAscii(row[0].c_str());
    HighscoreScores[k] = StringFromAscii(row[1].c_str());
    HighscoreLevels[k] = StringFromAscii(row[2].c_str());
    lines.insert(lines.end(), row, row + 3);
  }
  SaveSettings();
  lines.insert(lines.end(), {"\r\n", "Don't bother trying to changing any",
                             "of these values, because they're not",
                             "synced with the online server - only",
                             "the latest in-game score is synced."});
  EXPECT_EQ(Read(), FileImage(lines));
  struct stat st;
  EXPECT_NE(stat((path_ + ".tmp").c_str(), &st), 0) << "no temporary file is left behind";

  for (int* g : kGlobals) *g = 99;
  PlayerName = HighscoreLevels[9] = u"";
  LoadSettings();
  for (size_t i = 0; i < kOdd.size(); ++i) EXPECT_EQ(*kGlobals[i], kOdd[i]) << i;
  EXPECT_EQ(PlayerName, u"Zed \u00e9");
  EXPECT_EQ(HighscoreNames[0], u"n0");
  EXPECT_EQ(HighscoreLevels[9], u"10");
  EXPECT_EQ(HighscoreNames[10], u"");  // only ten rows are in the file
}

TEST_F(SettingsFile, BareLineFeedsMissingLinesNulsAndHugeLines) {
  Write(FileImage({"Lf", "a", "5"}, "\n"));
  LoadSettings();
  EXPECT_EQ(PlayerName, u"Lf");
  EXPECT_EQ(HighscoreScores[0], u"5");
  EXPECT_EQ(HighscoreLevels[0], u"");  // the file ends: every later line is empty
  EXPECT_EQ(HighscoreNames[9], u"");

  // A NUL ends a line like LF; an enormous line is cut and the rest still lines up.
  Write(FileImage({std::string(1 << 20, 'x'), std::string("ab\0cd", 5)}));
  LoadSettings();
  EXPECT_EQ(PlayerName.size(), 255u);
  EXPECT_EQ(HighscoreNames[0], u"ab");
  EXPECT_EQ(HighscoreScores[0], u"cd");
}

TEST_F(SettingsFile, MissingOrTruncatedFileGivesDefaults) {
  FullScreen = 0;
  PlayerName = u"left over";
  LoadSettings();
  ExpectDefaults();
  struct stat st;
  EXPECT_NE(stat(path_.c_str(), &st), 0) << "reading writes nothing";

  Write(FileImage({"Zed"}).substr(0, 30));  // cut inside the integers
  LoadSettings();
  ExpectDefaults();
}

TEST_F(SettingsFile, ASaveThatCannotBeWrittenKeepsTheOldFile) {
  const std::string old = FileImage({"old"});
  Write(old);
  mkdir((path_ + ".tmp").c_str(), 0700);  // the new file cannot be created
  SaveSettings();
  EXPECT_EQ(Read(), old);
  SettingsFileName = StringFromAscii((dir_ + "/no/such/dir/Settings.dat").c_str());
  SaveSettings();  // returns quietly
}

}  // namespace
