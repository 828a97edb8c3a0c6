// The settings file: the exact bytes written, what is read back, and files
// that are short, odd or cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/shell.h"

namespace {

// Fifteen little-endian integers followed by CR LF (or LF) lines.
std::string FileImage(const std::vector<int32_t>& ints, const std::vector<std::string>& lines,
                      const char* eol = "\r\n") {
  std::string out;
  for (int32_t v : ints)
    for (int b = 0; b < 4; ++b) out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * b)) & 0xFF);
  for (const std::string& l : lines) out += l + eol;
  return out;
}

std::vector<std::string> Rows(const std::string& tag) {
  std::vector<std::string> rows;
  for (int k = 0; k < 10; ++k) {
    rows.push_back(tag + "name" + std::to_string(k));
    rows.push_back(std::to_string(1000 * (10 - k)));
    rows.push_back(std::to_string(k + 1));
  }
  return rows;
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
    EXPECT_EQ(MusicOn, 1);
    EXPECT_EQ(KeyLeft, 37);
    EXPECT_EQ(KeyClimb, 164);
    EXPECT_EQ(KeyFire, 162);
    EXPECT_EQ(JoyButton1, 1);
    EXPECT_EQ(Difficulty, 0);
    EXPECT_EQ(PlayerName, u"not set");
    EXPECT_EQ(HighscoreNames[9], u"..........");
    EXPECT_EQ(HighscoreScores[0], u"0");
    EXPECT_EQ(HighscoreLevels[0], u".");
  }

  std::string dir_, path_;
};

const std::vector<int32_t> kOdd = {0, 12345, 0, 1, 0, 0, 65, 68, 87, 32, 0, -7, 3, 4, 1};

TEST_F(SettingsFile, ReadsAWholeHandWrittenFile) {
  std::vector<std::string> lines = {"Zed"};
  for (const std::string& r : Rows("h")) lines.push_back(r);
  lines.insert(lines.end(), {"", "", "anything after the table", "is ignored"});
  Write(FileImage(kOdd, lines));
  LoadSettings();
  EXPECT_EQ(FullScreen, 0);
  EXPECT_EQ(PersonalBest, 12345);
  EXPECT_EQ(VistaSound, 1);
  EXPECT_EQ(KeyLeft, 65);
  EXPECT_EQ(KeyFire, 32);
  EXPECT_EQ(ReservedSetting, -7);
  EXPECT_EQ(JoyButton2, 4);
  EXPECT_EQ(Difficulty, 1);
  EXPECT_EQ(PlayerName, u"Zed");
  EXPECT_EQ(HighscoreNames[0], u"hname0");
  EXPECT_EQ(HighscoreScores[0], u"10000");
  EXPECT_EQ(HighscoreLevels[9], u"10");
  EXPECT_EQ(HighscoreNames[10], u"");  // the eleventh row is not in the file
}

TEST_F(SettingsFile, SavesByteForByteAndReadsBackEverything) {
  for (size_t i = 0; i < kOdd.size(); ++i) {
    int* globals[] = {&FullScreen, &PersonalBest, &MusicOn, &VistaSound, &ScanlinesOn,
                      &SfxOn, &KeyLeft, &KeyRight, &KeyClimb, &KeyFire, &JoystickOn,
                      &ReservedSetting, &JoyButton1, &JoyButton2, &Difficulty};
    *globals[i] = kOdd[i];
  }
  PlayerName = u"Zed \u00e9";  // an 8-bit character survives
  std::vector<std::string> rows = Rows("s");
  for (int k = 0; k < 10; ++k) {
    HighscoreNames[k] = StringFromAscii(rows[3 * k].c_str());
    HighscoreScores[k] = StringFromAscii(rows[3 * k + 1].c_str());
    HighscoreLevels[k] = StringFromAscii(rows[3 * k + 2].c_str());
  }
  SaveSettings();
  std::vector<std::string> lines = {"Zed \xe9"};
  lines.insert(lines.end(), rows.begin(), rows.end());
  lines.insert(lines.end(), {"\r\n", "Don't bother trying to changing any",
                             "of these values, because they're not",
                             "synced with the online server - only",
                             "the latest in-game score is synced."});
  EXPECT_EQ(Read(), FileImage(kOdd, lines));
  EXPECT_NE(access((path_ + ".tmp").c_str(), F_OK), 0) << "no temporary file is left behind";

  FullScreen = PersonalBest = ReservedSetting = 99;
  PlayerName = u"";
  HighscoreLevels[9] = u"";
  LoadSettings();
  EXPECT_EQ(FullScreen, 0);
  EXPECT_EQ(PersonalBest, 12345);
  EXPECT_EQ(ReservedSetting, -7);
  EXPECT_EQ(PlayerName, u"Zed \u00e9");
  EXPECT_EQ(HighscoreLevels[9], u"10");
}

TEST_F(SettingsFile, BareLineFeedsAndMissingLines) {
  Write(FileImage(kOdd, {"Lf", "a", "5"}, "\n"));
  LoadSettings();
  EXPECT_EQ(PlayerName, u"Lf");
  EXPECT_EQ(HighscoreNames[0], u"a");
  EXPECT_EQ(HighscoreScores[0], u"5");
  EXPECT_EQ(HighscoreLevels[0], u"");  // the file ends here: every later line is empty
  EXPECT_EQ(HighscoreNames[9], u"");

  // A NUL ends a line like LF; an enormous line is cut and the rest still lines up.
  Write(FileImage(kOdd, {std::string(1 << 20, 'x'), std::string("ab\0cd", 5)}));
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
  EXPECT_NE(access(path_.c_str(), F_OK), 0) << "reading writes nothing";

  // Cut inside the integers: nothing half-read survives.
  Write(FileImage(kOdd, {"Zed"}).substr(0, 30));
  LoadSettings();
  ExpectDefaults();
}

TEST_F(SettingsFile, ASaveThatCannotBeWrittenKeepsTheOldFile) {
  const std::string old = FileImage(kOdd, {"old"});
  Write(old);
  mkdir((path_ + ".tmp").c_str(), 0700);  // the temporary file cannot be created
  PlayerName = u"new";
  SaveSettings();
  EXPECT_EQ(Read(), old);

  SettingsFileName = StringFromAscii((dir_ + "/no/such/dir/Settings.dat").c_str());
  SaveSettings();  // returns quietly
}

}  // namespace
