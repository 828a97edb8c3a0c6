// The settings file: the exact bytes written, what is read back, files that
// are short, odd or cannot be written, and what the save does to what lies
// around it: links, modes, pipes and leftovers of earlier saves.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "screens/screens.h"

namespace {

const std::vector<int32_t> kOdd = {0, 12345, 0, 1, 0, 0, 65, 68, 87, 32, 0, -7, 3, 4, 1};
// The fifteen integers in the order the file keeps them.
int* const kIntegers[] = {&Settings.fullScreen,    &Settings.personalBest, &Settings.musicOn,
                          &Settings.alternativeSoundOutput, &Settings.scanlinesOn, &Settings.sfxOn,
                          &Settings.keyLeft,       &Settings.keyRight,     &Settings.keyClimb,
                          &Settings.keyFire,       &Settings.padControl,   &Settings.reserved,
                          &Settings.padClimbButton, &Settings.padFireButton, &Settings.difficulty};

// Fifteen little-endian integers, then the lines, each ending in eol.
std::string FileImage(const std::vector<std::string>& lines, const char* eol = "\r\n") {
  std::string out;
  for (int32_t v : kOdd)
    for (int b = 0; b < 4; ++b) out += char((uint32_t(v) >> (8 * b)) & 0xFF);
  for (const std::string& l : lines) out += l + eol;
  return out;
}

const char* const kCommentLines[] = {"Don't bother trying to changing any", "of these values, because they're not",
                                     "synced with the online server - only", "the latest in-game score is synced."};

// Every save of the file ends this way.
std::vector<std::string> WithTrailer(std::vector<std::string> lines) {
  lines.push_back("\r\n");
  lines.insert(lines.end(), std::begin(kCommentLines), std::end(kCommentLines));
  return lines;
}

// While one lives, the save cannot make its new file beside the old one, as
// in a folder the player may not write to (which binds no one running as root).
struct NoTemporaries {
  NoTemporaries() {
    MakeSettingsTemporary = [](char*, int) {
      errno = EACCES;
      return -1;
    };
  }
  ~NoTemporaries() { MakeSettingsTemporary = ::mkostemp; }
};

// The disk as a test lays it out for the save's writes: the file system has
// no fallocate, bytes below roomEnd may be written (the blocks the old file
// already holds; overwritten counts them) and nothing past it (the disk is
// full); or a write stops part-way once at stopAt, as a failing disk might,
// and later ones go on.
off_t roomEnd = 0;
size_t overwritten = 0;
off_t stopAt = 0;
int stopsLeft = 0;
struct DiskStandIns {
  ~DiskStandIns() {
    ReserveSettingsRoom = [](int fd, off_t length) { return ::fallocate(fd, 0, 0, length); };
    WriteSettingsAt = ::pwrite;
    CutSettingsFile = ::ftruncate;
  }
  static void NoFallocate() {
    ReserveSettingsRoom = [](int, off_t) {
      errno = EOPNOTSUPP;
      return -1;
    };
  }
  static void FullAt(off_t end) {
    roomEnd = end;
    overwritten = 0;
    WriteSettingsAt = [](int fd, const void* bytes, size_t count, off_t at) -> ssize_t {
      if (at >= roomEnd) {
        errno = ENOSPC;
        return -1;
      }
      const ssize_t n = ::pwrite(fd, bytes, std::min<size_t>(count, static_cast<size_t>(roomEnd - at)), at);
      if (n > 0) overwritten += static_cast<size_t>(n);
      return n;
    };
  }
  static void StopsOnceAt(off_t at) {
    stopAt = at;
    stopsLeft = 1;
    WriteSettingsAt = [](int fd, const void* bytes, size_t count, off_t at) -> ssize_t {
      if (stopsLeft > 0 && at + static_cast<off_t>(count) > stopAt) {
        if (at < stopAt) return ::pwrite(fd, bytes, static_cast<size_t>(stopAt - at), at);
        --stopsLeft;
        errno = EIO;
        return -1;
      }
      return ::pwrite(fd, bytes, count, at);
    };
  }
};

// Another user, for the tests that give files away (only root may).
constexpr uid_t kOther = 65534;
constexpr gid_t kOtherGroup = 65534;

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
  std::string Read() { return ReadFile(path_); }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // The names in the test folder.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    if (DIR* d = opendir(dir_.c_str())) {
      while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
      closedir(d);
    }
    return names;
  }
  // Saves a known set of settings with this name; HoldsSave tells whether
  // path holds exactly them.
  void SaveAs(const char* name) {
    for (size_t i = 0; i < kOdd.size(); ++i) *kIntegers[i] = kOdd[i];
    Settings.playerName = StringFromAscii(name);
    for (int k = 0; k < 10; ++k) HighscoreNames[k] = HighscoreScores[k] = HighscoreLevels[k] = u"r";
    SaveSettings();
  }
  static bool HoldsSave(const std::string& path, const char* name) {
    std::vector<std::string> lines = {name};
    lines.resize(31, "r");
    return ReadFile(path) == FileImage(WithTrailer(lines));
  }
  // SaveAs, with what it said on standard error.
  std::string SaveAsTold(const char* name) {
    ::testing::internal::CaptureStderr();
    SaveAs(name);
    return ::testing::internal::GetCapturedStderr();
  }
  // SaveAsTold, with files allowed to grow to that many bytes only.
  std::string SaveAsWithFilesUpTo(rlim_t limit, const char* name) {
    rlimit before;
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = limit;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string told = SaveAsTold(name);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    return told;
  }
  static struct stat StatOf(const std::string& path) {
    struct stat st = {};
    lstat(path.c_str(), &st);
    return st;
  }
  static mode_t ModeOf(const std::string& path) { return StatOf(path).st_mode; }
  // One line on standard error, about the settings file.
  bool ToldOnce(const std::string& told) const {
    return std::count(told.begin(), told.end(), '\n') == 1 && told.back() == '\n' &&
           told.find(path_) != std::string::npos;
  }
  // Puts a file's (or a link's own) times that many seconds back.
  static void Age(const std::string& path, int seconds) {
    const timespec back = {time(nullptr) - seconds, 0};
    const timespec times[2] = {back, back};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
  }
  void ExpectDefaults() {
    // Full screen, music, scan lines and effects on, the cursor keys, Alt
    // and Control, pad buttons 1 and 0, normal difficulty.
    const int32_t defaults[] = {1, 0, 1, 0, 1, 1, 37, 39, 164, 162, 0, 0, 1, 0, 0};
    for (size_t i = 0; i < std::size(defaults); ++i) EXPECT_EQ(*kIntegers[i], defaults[i]) << i;
    EXPECT_EQ(Settings.playerName, u"not set");
    EXPECT_EQ(HighscoreNames[9], u"..........");
    EXPECT_EQ(HighscoreScores[0], u"0");
    EXPECT_EQ(HighscoreLevels[0], u".");
  }
  std::string dir_, path_;
};

TEST_F(SettingsFile, SavesByteForByteAndReadsBackEverything) {
  for (size_t i = 0; i < kOdd.size(); ++i) *kIntegers[i] = kOdd[i];
  Settings.playerName = u"Zed \u00e9";  // an 8-bit character survives
  std::vector<std::string> lines = {"Zed \xe9"};
  for (int k = 0; k < 10; ++k) {
    std::string row[3] = {std::string("n").append(std::to_string(k)), std::to_string(900 - k), std::to_string(k + 1)};
    HighscoreNames[k] = StringFromAscii(row[0].c_str());
    HighscoreScores[k] = StringFromAscii(row[1].c_str());
    HighscoreLevels[k] = StringFromAscii(row[2].c_str());
    lines.insert(lines.end(), row, row + 3);
  }
  SaveSettings();
  EXPECT_EQ(Read(), FileImage(WithTrailer(lines)));
  EXPECT_EQ(Entries(), std::set<std::string>{"Settings.dat"}) << "no temporary file is left behind";

  for (int* g : kIntegers) *g = 99;
  Settings.playerName = HighscoreLevels[9] = u"";
  LoadSettings();
  for (size_t i = 0; i < kOdd.size(); ++i) EXPECT_EQ(*kIntegers[i], kOdd[i]) << i;
  EXPECT_EQ(Settings.playerName, u"Zed \u00e9");
  EXPECT_EQ(HighscoreNames[0], u"n0");
  EXPECT_EQ(HighscoreLevels[9], u"10");
  EXPECT_EQ(HighscoreNames[10], u"");  // only ten rows are in the file
}

// The file is saved and read under the name the runtime's streams open for
// the same text: accents, characters beyond 16 bits, and a lone half of a
// surrogate pair, which must not swallow the character after it.
TEST_F(SettingsFile, IsKeptUnderTheNameTheRuntimesStreamsOpen) {
  const String folder = StringFromAscii(dir_.c_str());
  for (const String& name : {String(u"Sett\u00efngs.dat"), String(u"\U0001F680.dat"),
                             String{u'x', static_cast<char16_t>(0xD800), u'A', u'.', u'd'}}) {
    SettingsFileName = StringConcat(folder, StringConcat(u"/", name));
    SaveAs("utf");
    TStream* stream = OpenFileForReading(SettingsFileName);
    ASSERT_NE(stream, nullptr) << "saved under another name than " << StringToUtf8(name);
    EXPECT_EQ(ReadStreamInt32(stream), kOdd[0]);
    CloseFileStream(stream);
    Settings.playerName = u"";
    LoadSettings();
    EXPECT_EQ(Settings.playerName, u"utf");
  }
}

TEST_F(SettingsFile, BareLineFeedsMissingLinesNulsAndHugeLines) {
  Write(FileImage({"Lf", "a", "5"}, "\n"));
  LoadSettings();
  EXPECT_EQ(Settings.playerName, u"Lf");
  EXPECT_EQ(HighscoreScores[0], u"5");
  EXPECT_EQ(HighscoreLevels[0], u"");  // the file ends: every later line is empty
  EXPECT_EQ(HighscoreNames[9], u"");

  // A NUL ends a line like LF; an enormous line is cut and the rest still lines up.
  Write(FileImage({std::string(1 << 20, 'x'), std::string("ab\0cd", 5)}));
  LoadSettings();
  EXPECT_EQ(Settings.playerName.size(), 255u);
  EXPECT_EQ(HighscoreNames[0], u"ab");
  EXPECT_EQ(HighscoreScores[0], u"cd");
}

TEST_F(SettingsFile, MissingOrTruncatedFileGivesDefaults) {
  Settings.fullScreen = 0;
  Settings.playerName = u"left over";
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
  // Files may grow to 16 bytes only: the new file cannot be written whole,
  // whoever runs the test (root too).
  SaveAsWithFilesUpTo(16, "new");
  EXPECT_EQ(Read(), old);
  EXPECT_EQ(Entries(), std::set<std::string>{"Settings.dat"}) << "the unfinished file is removed";

  SettingsFileName = StringFromAscii((dir_ + "/no/such/dir/Settings.dat").c_str());
  SaveSettings();  // returns quietly
}

TEST_F(SettingsFile, LeftoversOfEarlierSavesAreNeverWrittenThroughOrReused) {
  // Someone planted a link where a save might put its new file.
  const std::string victim = dir_ + "/victim";
  WriteFile(victim, "keep me");
  Write(FileImage({"old"}));
  ASSERT_EQ(symlink(victim.c_str(), (path_ + ".tmp").c_str()), 0);
  SaveAs("first");
  EXPECT_EQ(ReadFile(victim), "keep me");
  EXPECT_TRUE(S_ISREG(ModeOf(path_)));
  EXPECT_TRUE(HoldsSave(path_, "first"));
  EXPECT_TRUE(S_ISLNK(ModeOf(path_ + ".tmp")));

  // A folder in the way of a temporary name does not stop the save either.
  ASSERT_EQ(unlink((path_ + ".tmp").c_str()), 0);
  ASSERT_EQ(mkdir((path_ + ".tmp").c_str(), 0700), 0);
  SaveAs("second");
  EXPECT_TRUE(HoldsSave(path_, "second"));
  EXPECT_EQ(Entries(), (std::set<std::string>{"Settings.dat", "Settings.dat.tmp", "victim"}));
}

TEST_F(SettingsFile, ALinkedSettingsFileStaysALinkAndItsTargetIsSaved) {
  // Settings.dat -> hop -> kept/Settings.dat, the links relative to their folder.
  ASSERT_EQ(mkdir((dir_ + "/kept").c_str(), 0700), 0);
  const std::string target = dir_ + "/kept/Settings.dat";
  WriteFile(target, FileImage({"old"}));
  ASSERT_EQ(symlink("kept/Settings.dat", (dir_ + "/hop").c_str()), 0);
  ASSERT_EQ(symlink("hop", path_.c_str()), 0);
  SaveAs("linked");
  EXPECT_TRUE(S_ISLNK(ModeOf(path_)));
  EXPECT_TRUE(S_ISLNK(ModeOf(dir_ + "/hop")));
  EXPECT_TRUE(HoldsSave(target, "linked"));
  Settings.playerName = u"";
  LoadSettings();
  EXPECT_EQ(Settings.playerName, u"linked");
  EXPECT_EQ(Entries(), (std::set<std::string>{"Settings.dat", "hop", "kept"}));

  // A link to a file not made yet: the file is made where the link points.
  ASSERT_EQ(unlink(target.c_str()), 0);
  ASSERT_EQ(unlink(path_.c_str()), 0);
  ASSERT_EQ(symlink(target.c_str(), path_.c_str()), 0);
  SaveAs("dangling");
  EXPECT_TRUE(S_ISLNK(ModeOf(path_)));
  EXPECT_TRUE(HoldsSave(target, "dangling"));
}

TEST_F(SettingsFile, TheOldFilesModeIsKeptAndAReadOnlyFileIsLeftAlone) {
  const mode_t oldMask = umask(022);
  SaveAs("fresh");  // a new file gets the usual mode
  EXPECT_EQ(ModeOf(path_) & 07777, 0644u);
  for (mode_t mode : {0600, 0640}) {
    ASSERT_EQ(chmod(path_.c_str(), mode), 0);
    SaveAs(mode == 0600 ? "private" : "group");
    EXPECT_EQ(ModeOf(path_) & 07777, mode);
    EXPECT_TRUE(HoldsSave(path_, mode == 0600 ? "private" : "group"));
  }
  // Read-only by its mode, even to a user the system lets write anything.
  ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
  const std::string kept = Read();
  SaveAs("changed");
  EXPECT_EQ(Read(), kept);
  EXPECT_EQ(ModeOf(path_) & 07777, 0444u);
  EXPECT_EQ(Entries(), std::set<std::string>{"Settings.dat"});
  umask(oldMask);
}

TEST_F(SettingsFile, ASettingsFileThatIsNoPlainFileReadsAsAbsentAndIsLeftAlone) {
  // A pipe: opening it to read would wait for a writer that never comes.
  // The load runs in a child with a time bound, so a wait fails the test
  // instead of hanging it.
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        alarm(10);
        Settings.fullScreen = 0;
        Settings.playerName = u"left over";
        LoadSettings();
        const bool defaults =
            Settings.fullScreen == 1 && Settings.playerName == u"not set" && Settings.keyClimb == KeyCode::LeftAlt;
        std::exit(defaults ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  SaveAs("piped");
  EXPECT_TRUE(S_ISFIFO(ModeOf(path_)));
  EXPECT_EQ(Entries(), std::set<std::string>{"Settings.dat"});

  // A folder of that name.
  ASSERT_EQ(unlink(path_.c_str()), 0);
  ASSERT_EQ(mkdir(path_.c_str(), 0700), 0);
  Settings.fullScreen = 0;
  LoadSettings();
  ExpectDefaults();
  SaveAs("folder");
  EXPECT_TRUE(S_ISDIR(ModeOf(path_)));
  EXPECT_EQ(Entries(), std::set<std::string>{"Settings.dat"});
}

TEST_F(SettingsFile, WhereNoNewFileCanBeMadeBesideItTheFileItselfIsWritten) {
  // Longer than what replaces it, with a mode of its own.
  Write(FileImage({std::string(300, 'o')}) + "and more");
  ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
  const ino_t inode = StatOf(path_).st_ino;
  {
    NoTemporaries noTemporaries;
    EXPECT_EQ(SaveAsTold("in place"), "");
    EXPECT_TRUE(HoldsSave(path_, "in place")) << "cut to its new length";
    Write(FileImage({"short"}));
    SaveAs("grown");
    EXPECT_TRUE(HoldsSave(path_, "grown"));
  }
  EXPECT_EQ(StatOf(path_).st_ino, inode);
  EXPECT_EQ(ModeOf(path_) & 07777, 0640u);
  EXPECT_EQ(Entries(), std::set<std::string>{"Settings.dat"});

  // Neither way works: the file may grow to 200 bytes only, so it cannot be
  // written whole in place either. It is left as it was, and that is said.
  const std::string old = FileImage({"old"});
  Write(old);
  std::string told;
  {
    NoTemporaries noTemporaries;
    told = SaveAsWithFilesUpTo(200, "too long");
  }
  EXPECT_EQ(Read(), old);
  EXPECT_TRUE(ToldOnce(told)) << told;

  // No file yet: none is made in its place.
  ASSERT_EQ(unlink(path_.c_str()), 0);
  {
    NoTemporaries noTemporaries;
    told = SaveAsTold("nowhere");
  }
  EXPECT_TRUE(ToldOnce(told)) << told;
  EXPECT_EQ(Entries(), std::set<std::string>{});
}

TEST_F(SettingsFile, AFileWithOtherNamesOrOfAnotherUserStaysTheSameFile) {
  Write(FileImage({"old"}));
  const std::string backup = dir_ + "/Backup.dat";
  ASSERT_EQ(link(path_.c_str(), backup.c_str()), 0);
  SaveAs("both names");
  EXPECT_TRUE(HoldsSave(backup, "both names"));
  EXPECT_EQ(StatOf(path_).st_nlink, 2u);
  ASSERT_EQ(unlink(backup.c_str()), 0);

  if (geteuid() != 0) GTEST_SKIP() << "only root gives files to other users";
  const ino_t inode = StatOf(path_).st_ino;
  ASSERT_EQ(chown(path_.c_str(), kOther, kOtherGroup), 0);
  SaveAs("theirs");
  EXPECT_TRUE(HoldsSave(path_, "theirs"));
  EXPECT_EQ(StatOf(path_).st_ino, inode);
  EXPECT_EQ(StatOf(path_).st_uid, kOther);
  EXPECT_EQ(StatOf(path_).st_gid, kOtherGroup);

  // The same, saved by that user without root's powers: in a folder of
  // root's they may not write to, and in their own folder with the file in
  // a group they are not in.
  ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
  ASSERT_EQ(chmod(path_.c_str(), 0644), 0);
  auto saveAsOther = [this](const char* name) {
    if (setgroups(0, nullptr) != 0 || setgid(kOtherGroup) != 0 || setuid(kOther) != 0) std::exit(2);
    SaveAs(name);
    std::exit(HoldsSave(path_, name) ? 0 : 1);
  };
  EXPECT_EXIT(saveAsOther("read-only folder"), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(HoldsSave(path_, "read-only folder"));
  ASSERT_EQ(chown(dir_.c_str(), kOther, kOtherGroup), 0);
  ASSERT_EQ(chown(path_.c_str(), kOther, 0), 0);
  ASSERT_EQ(chmod(path_.c_str(), 0664), 0);
  EXPECT_EXIT(saveAsOther("not in the group"), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(StatOf(path_).st_gid, 0u);
  EXPECT_EQ(StatOf(path_).st_ino, inode);
}

TEST_F(SettingsFile, ALinkAnotherUserLeftInASharedFolderIsNotFollowed) {
  // A folder like /tmp: anyone may write to it, only owners may clear it.
  ASSERT_EQ(chmod(dir_.c_str(), 01777), 0);
  const std::string victim = dir_ + "/victim";
  WriteFile(victim, "keep me");
  ASSERT_EQ(chmod(victim.c_str(), 0600), 0);
  ASSERT_EQ(symlink("victim", path_.c_str()), 0);
  SaveAs("own link");
  EXPECT_TRUE(HoldsSave(victim, "own link"));

  if (geteuid() != 0) GTEST_SKIP() << "only root gives links to other users";
  WriteFile(victim, "keep me");
  ASSERT_EQ(lchown(path_.c_str(), kOther, kOtherGroup), 0);
  EXPECT_TRUE(ToldOnce(SaveAsTold("planted")));
  EXPECT_EQ(ReadFile(victim), "keep me");
  EXPECT_TRUE(S_ISLNK(ModeOf(path_)));
  EXPECT_EQ(Entries(), (std::set<std::string>{"Settings.dat", "victim"}));

  // Where the system would follow it, so does the save: the link is the
  // folder owner's, or the folder is not one others share.
  ASSERT_EQ(chown(dir_.c_str(), kOther, kOtherGroup), 0);
  SaveAs("folder owner's");
  EXPECT_TRUE(HoldsSave(victim, "folder owner's"));
  ASSERT_EQ(chown(dir_.c_str(), 0, 0), 0);
  ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
  SaveAs("not sticky");
  EXPECT_TRUE(HoldsSave(victim, "not sticky"));
}

TEST_F(SettingsFile, OnlyTheTemporariesOfKilledSavesAreCleared) {
  Write(FileImage({"old"}));
  // A save killed right after making its new file leaves it behind.
  const pid_t killed = fork();
  if (killed == 0) {
    MakeSettingsTemporary = [](char* pattern, int flags) -> int { _exit(::mkostemp(pattern, flags) >= 0 ? 0 : 1); };
    SaveAs("killed");
    _exit(2);
  }
  int status = -1;
  ASSERT_EQ(waitpid(killed, &status, 0), killed);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::set<std::string> left = Entries();
  left.erase("Settings.dat");
  ASSERT_EQ(left.size(), 1u);
  const std::string leftover = *left.begin();
  // Hidden, and saying it is the game's.
  EXPECT_EQ(leftover.rfind(".Settings.dat.", 0), 0u) << leftover;
  EXPECT_NE(leftover.find("novaquad"), std::string::npos) << leftover;
  Age(dir_ + "/" + leftover, 120);

  const std::string victim = dir_ + "/victim";
  WriteFile(victim, "keep me");
  std::set<std::string> kept = {"Settings.dat", "victim"};
  auto leave = [&](const std::string& name, int age, bool stays) {
    WriteFile(dir_ + "/" + name, "left over");
    Age(dir_ + "/" + name, age);
    if (stays) kept.insert(name);
  };
  const std::string mark = ".Settings.dat.novaquad-save-";
  leave(mark + "ZZZZZZ", 120, false);
  leave(mark + "young1", 30, true);
  // The player's own copies, named as earlier versions named their
  // temporaries, and names that only look like the game's.
  for (const std::string& name : std::vector<std::string>{
           "Settings.dat.backup", "Settings.dat.2024v1", "Settings.dat.a1B2c3", "Settings.dat.tmp", mark + "a1B2c3d",
           mark + "a1-2c3", mark + "a1B2c", mark.substr(1) + "a1B2c3", ".Other.dat.novaquad-save-a1B2c3",
           ".Settings.dat.novaquad-saveXa1B2c3", ".Settings.dat.novaquad-sav-a1B2c3"})
    leave(name, 120, true);
  // A file of the game's name that has another name too is someone's file.
  leave("Mine.dat", 120, true);
  ASSERT_EQ(link((dir_ + "/Mine.dat").c_str(), (dir_ + "/" + mark + "hlink1").c_str()), 0);
  ASSERT_EQ(link((dir_ + "/Mine.dat").c_str(), (dir_ + "/Settings.dat.hlink1").c_str()), 0);
  kept.insert({mark + "hlink1", "Settings.dat.hlink1"});
  ASSERT_EQ(symlink("victim", (dir_ + "/" + mark + "link01").c_str()), 0);
  Age(dir_ + "/" + mark + "link01", 120);
  ASSERT_EQ(mkdir((dir_ + "/" + mark + "folder").c_str(), 0700), 0);
  Age(dir_ + "/" + mark + "folder", 120);
  kept.insert({mark + "link01", mark + "folder"});
  if (geteuid() == 0) {
    leave(mark + "theirs", 120, true);
    ASSERT_EQ(chown((dir_ + "/" + mark + "theirs").c_str(), kOther, kOtherGroup), 0);
  }
  SaveAs("cleared");
  EXPECT_TRUE(HoldsSave(path_, "cleared"));
  EXPECT_EQ(Entries(), kept);
  EXPECT_EQ(ReadFile(victim), "keep me");
  EXPECT_EQ(ReadFile(dir_ + "/Mine.dat"), "left over");
}

TEST_F(SettingsFile, AnInPlaceSaveThatCannotBeWrittenWholeLeavesTheOldFileByteForByte) {
  // A second name keeps the save in place.
  const std::string old = FileImage({"old"});
  Write(old);
  ASSERT_EQ(link(path_.c_str(), (dir_ + "/Backup.dat").c_str()), 0);
  const std::set<std::string> names = {"Settings.dat", "Backup.dat"};
  {
    // No fallocate (ext2, FUSE) and a full disk: the old file's own bytes
    // may be written over, not one more.
    DiskStandIns disk;
    DiskStandIns::NoFallocate();
    DiskStandIns::FullAt(static_cast<off_t>(old.size()));
    EXPECT_TRUE(ToldOnce(SaveAsTold("full disk")));
    EXPECT_EQ(Read(), old);
    EXPECT_EQ(overwritten, 0u) << "the old bytes are not touched before the new ones are known to fit";
  }
  {
    // No fallocate, and files may grow to 200 bytes only (a real limit).
    DiskStandIns disk;
    DiskStandIns::NoFallocate();
    EXPECT_TRUE(ToldOnce(SaveAsWithFilesUpTo(200, "limited")));
    EXPECT_EQ(Read(), old);
  }
  // An old file longer than the new one needs no more room, but a write
  // over its bytes may still stop part-way, with or without fallocate.
  const std::string longer = FileImage({std::string(600, 'o')});
  for (bool fallocate : {true, false}) {
    Write(longer);
    DiskStandIns disk;
    if (!fallocate) DiskStandIns::NoFallocate();
    DiskStandIns::StopsOnceAt(100);
    EXPECT_TRUE(ToldOnce(SaveAsTold("stopped"))) << fallocate;
    EXPECT_EQ(Read(), longer) << fallocate;
  }
  EXPECT_EQ(Entries(), names);
  {
    // With room enough, a file system without fallocate saves as any other.
    Write(old);
    DiskStandIns disk;
    DiskStandIns::NoFallocate();
    EXPECT_EQ(SaveAsTold("grown"), "");
    EXPECT_TRUE(HoldsSave(path_, "grown"));
    EXPECT_TRUE(HoldsSave(dir_ + "/Backup.dat", "grown"));
  }
}

// Set in a forked game: where it tells that its save is under way.
int saveUnderWayFd = -1;

TEST_F(SettingsFile, TwoGamesSavingAtOnceLeaveOneWholeFile) {
  // Both save in place (the file has a second name). The other game writes
  // a shorter file and dawdles before cutting it to its length; this one
  // saves meanwhile.
  Write(FileImage({"old"}));
  ASSERT_EQ(link(path_.c_str(), (dir_ + "/Backup.dat").c_str()), 0);
  int under_way[2];
  ASSERT_EQ(pipe(under_way), 0);
  const pid_t other = fork();
  if (other == 0) {
    close(under_way[0]);
    saveUnderWayFd = under_way[1];
    CutSettingsFile = [](int fd, off_t length) {
      if (write(saveUnderWayFd, "w", 1) != 1) _exit(3);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      return ::ftruncate(fd, length);
    };
    SaveAs("other");
    _exit(HoldsSave(path_, "other") ? 0 : 1);
  }
  close(under_way[1]);
  pollfd wait = {under_way[0], POLLIN, 0};
  char byte;
  ASSERT_EQ(poll(&wait, 1, 5000), 1);
  ASSERT_EQ(read(under_way[0], &byte, 1), 1);
  close(under_way[0]);
  EXPECT_EQ(SaveAsTold("this game, with a longer name"), "");
  int status = -1;
  ASSERT_EQ(waitpid(other, &status, 0), other);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other game's file was whole when it ended";
  EXPECT_TRUE(HoldsSave(path_, "this game, with a longer name")) << "the later save, whole";

  // A game stopped in the middle of its save: this one waits a little, then
  // gives up and says so, leaving the file to the save under way.
  const std::string before = Read();
  const int stuck = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(stuck, 0);
  ASSERT_EQ(flock(stuck, LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(ToldOnce(SaveAsTold("waited")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(Read(), before);
  close(stuck);
}

}  // namespace
