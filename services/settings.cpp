// "Settings.dat": the options, key and pad bindings, personal best, player
// name and a ten-row copy of the high-score table, read once at start-up and
// written once at exit.
//
// Layout: 15 signed 32-bit little-endian integers (60 bytes), then 8-bit text
// lines ending in CR LF: the name, ten rows of name / score / level, an empty
// line written as a line holding CR LF, and four comment lines nobody reads.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "services/settings.h"

#include "services/controls.h"
#include "services/scoretable.h"

SavedSettings Settings;
String SettingsFileName = u"Settings.dat";
int (*MakeSettingsTemporary)(char* pattern, int flags) = ::mkostemp;
int (*ReserveSettingsRoom)(int fd, off_t length) = [](int fd, off_t length) { return ::fallocate(fd, 0, 0, length); };
ssize_t (*WriteSettingsAt)(int fd, const void* bytes, size_t count, off_t offset) = ::pwrite;
int (*CutSettingsFile)(int fd, off_t length) = ::ftruncate;

Difficulty GameDifficulty() { return Settings.difficulty == 1 ? Difficulty::Suicidal : Difficulty::Normal; }

namespace {

constexpr int kIntegerCount = 15;
constexpr int kHighscoreRows = 10;
// Far more than any name or score the game shows; a longer line in a file
// edited by hand is cut here and the rest of it skipped.
constexpr size_t kMaxLineLength = 255;

const char* const kCommentLines[] = {
    "Don't bother trying to changing any",
    "of these values, because they're not",
    "synced with the online server - only",
    "the latest in-game score is synced.",
};

// The settings integers in file order.
constexpr int SavedSettings::*kIntegers[kIntegerCount] = {
    &SavedSettings::fullScreen,     &SavedSettings::personalBest,  &SavedSettings::musicOn,
    &SavedSettings::alternativeSoundOutput, &SavedSettings::scanlinesOn, &SavedSettings::sfxOn,
    &SavedSettings::keyLeft,        &SavedSettings::keyRight,      &SavedSettings::keyClimb,
    &SavedSettings::keyFire,        &SavedSettings::padControl,    &SavedSettings::reserved,
    &SavedSettings::padClimbButton, &SavedSettings::padFireButton, &SavedSettings::difficulty,
};

void EnsureHighscoreArrays() {
  for (StringArray* a : {&HighscoreNames, &HighscoreScores, &HighscoreLevels})
    if (a->size() < 12) a->resize(12);
}

void SetDefaults() {
  Settings = SavedSettings();
  for (int k = 0; k < kHighscoreRows; ++k) {
    HighscoreNames[k] = u"..........";
    HighscoreScores[k] = u"0";
    HighscoreLevels[k] = u".";
  }
}

int32_t FromLittleEndian(const unsigned char* b) {
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                              static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
}

// One text line: ends at LF or NUL (consumed), every CR dropped; at the end
// of the file, what was read so far (the empty text when nothing is left).
String ReadLine(std::FILE* f) {
  String line;
  for (int c = std::fgetc(f); c != EOF && c != '\n' && c != 0; c = std::fgetc(f)) {
    if (c == '\r' || line.size() >= kMaxLineLength) continue;
    line.push_back(static_cast<char16_t>(c));
  }
  return line;
}

// Only a plain file is read: a pipe or a device of that name would keep the
// start-up waiting before any window opens, so it reads as no file at all.
std::FILE* OpenPlainFileForReading(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  // It may have been swapped since: open without waiting and look again.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) ::close(fd);
  return f;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Why a save was not made, to end "settings not saved: <file> "; null when
// it was made.
using Refusal = const char*;

// The save's new file is "." + the file's name + kTemporaryMark + six
// letters or digits picked by mkostemp: hidden, and saying whose it is, so
// no name a player gives a copy of their own is ever taken for one.
constexpr char kTemporaryMark[] = ".novaquad-save-";
constexpr char kTemporaryTail[] = "XXXXXX";

// A link is followed only where an open would follow it on a system that
// protects links: in a folder anyone may write to and only owners may
// clear (sticky), only the player's own links and the folder owner's.
// Reading another user's link there and saving onto its target would let
// that user point the save at any file the player may write.
bool MayFollow(const struct stat& link, const std::string& folder) {
  if (link.st_uid == ::geteuid()) return true;
  struct stat dir;
  if (::stat(folder.c_str(), &dir) != 0) return false;
  const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
  return !shared || dir.st_uid == link.st_uid;
}

// Turns path into the path a save must write: the file at the end of any
// chain of links, so the links stay links. A link to a file not made yet
// gives the path of that file.
Refusal FollowLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? nullptr : "cannot be looked at";
    if (!S_ISLNK(st.st_mode)) return nullptr;
    const std::string folder = FolderOf(path);
    if (!MayFollow(st, folder)) return "is a link another user left in a shared folder: it is not followed";
    std::string link(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<size_t>(n) >= link.size()) return "is a link that cannot be read";
    link.resize(static_cast<size_t>(n));
    path = link[0] == '/' ? link : folder + "/" + link;
  }
  return "is a loop of links";
}

std::string TemporaryPattern(const std::string& target) {
  const size_t slash = target.find_last_of('/');
  const std::string fileName = slash == std::string::npos ? target : target.substr(slash + 1);
  return FolderOf(target) + "/." + fileName + kTemporaryMark + kTemporaryTail;
}

// Exactly the names the save's new file is given in that folder.
bool IsTemporaryName(const std::string& name, const std::string& pattern) {
  const size_t tail = sizeof kTemporaryTail - 1;
  if (name.size() != pattern.size() || name.compare(0, name.size() - tail, pattern, 0, pattern.size() - tail) != 0)
    return false;
  for (size_t i = name.size() - tail; i < name.size(); ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// A save ended between making its new file and renaming it (the program
// killed, the power gone) leaves that file behind. Only such a file is
// removed: of that exact name, the player's own, a plain file with no other
// name, and older than any save still running could be. Files named as
// earlier versions of the game named theirs ("Settings.dat." and six
// letters or digits) are left alone: players name their own copies so.
void RemoveLeftoverTemporaries(const std::string& target) {
  const std::string pattern = TemporaryPattern(target);
  const std::string prefix = pattern.substr(pattern.find_last_of('/') + 1);
  DIR* folder = ::opendir(FolderOf(target).c_str());
  if (!folder) return;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(folder)) {
    struct stat st;
    if (IsTemporaryName(entry->d_name, prefix) &&
        ::fstatat(::dirfd(folder), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::geteuid() && st.st_nlink == 1 && now - st.st_mtime > 60)
      ::unlinkat(::dirfd(folder), entry->d_name, 0);
  }
  ::closedir(folder);
}

bool WriteAllAt(int fd, const char* data, size_t size, off_t at) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = WriteSettingsAt(fd, data + done, size - done, at + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const std::string& bytes) { return WriteAllAt(fd, bytes.data(), bytes.size(), 0); }

bool ReadAll(int fd, off_t size, std::string& out) {
  out.resize(static_cast<size_t>(size));
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return S_ISREG(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Two games saving the same file in place at once would write into each
// other's cut, so each save holds the file's lock while it writes. A game
// stopped in the middle of its save must not keep this one from ending:
// after two seconds it gives up. Where the file system has no locks, the
// save goes on without.
bool WaitForOtherSaves(int fd) {
  for (int tries = 0; tries < 200; ++tries) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return true;
    const timespec pause = {0, 10 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
  }
  return false;
}

// WriteInPlace with the file open; readable when it was opened to read too.
Refusal WriteOpenFileInPlace(int fd, bool readable, const std::string& path, const struct stat& old,
                             const std::string& bytes) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !SameFile(st, old)) return "was swapped for another file while saving";
  if (!WaitForOtherSaves(fd)) return "is being saved by another game";
  // Another save may have put a new file at path while this one waited.
  struct stat now;
  if (::lstat(path.c_str(), &now) != 0 || !SameFile(now, st) || ::fstat(fd, &st) != 0)
    return "was swapped for another file while saving";
  const off_t oldSize = st.st_size;
  const off_t size = static_cast<off_t>(bytes.size());
  std::string kept;
  const bool canPutBack = readable && ReadAll(fd, oldSize, kept);
  if (size > oldSize) {
    bool room = ReserveSettingsRoom(fd, size) == 0;
    if (!room && (errno == EOPNOTSUPP || errno == ENOSYS)) {
      const std::string zeros(static_cast<size_t>(size - oldSize), '\0');
      room = WriteAllAt(fd, zeros.data(), zeros.size(), oldSize) && ::fsync(fd) == 0;
    }
    if (!room) {
      CutSettingsFile(fd, oldSize);
      return "has no room for the new settings";
    }
  }
  if (WriteAll(fd, bytes) && CutSettingsFile(fd, size) == 0 && ::fsync(fd) == 0) return nullptr;
  if (canPutBack && WriteAll(fd, kept) && CutSettingsFile(fd, oldSize) == 0 && ::fsync(fd) == 0)
    return "could not be written whole";
  return "could not be written whole, nor the old settings put back";
}

// Writes the plain file at path itself, for a file that must stay the one
// it is: its owner, its group, its other names. No link is followed and no
// file is made. A save that cannot be written whole leaves the old file as
// it was, on every file system:
// - Room for a longer file is had before a byte of the old file changes:
//   from fallocate, or where the file system has none (ext2 and ext3, FUSE)
//   by writing zeros past the old end and flushing them, as fallocate would
//   have left there. Without room, the file is cut back to its old length.
// - A write over the old bytes that stops all the same (a failing disk, a
//   file system that copies what it overwrites) puts back the old bytes
//   from a copy taken first.
// The zeros read as empty lines, as the file's end does, so a save killed
// in between still leaves the old settings readable (except in a file too
// short to hold its integers, which read as the defaults before).
Refusal WriteInPlace(const std::string& path, const struct stat& old, const std::string& bytes) {
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = ::open(path.c_str(), O_RDWR | kFlags);
  const bool readable = fd >= 0;
  // A file the player may write but not read is written without a copy.
  if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | kFlags);
  if (fd < 0) return "cannot be opened for writing";
  Refusal why = WriteOpenFileInPlace(fd, readable, path, old, bytes);
  if (::close(fd) != 0 && !why) why = "could not be written whole";
  return why;
}

// Saves bytes as the file at path. Where it can, in one step: a new file is
// written whole beside it, under a name no one else holds, and renamed over
// it, so a full disk or a crash never leaves a half-written file and a link
// or file someone left at a fixed name is never written through; the old
// file's mode is kept. A file of another user's, or with more names than
// one, or in a folder the player may not write to, is written in place
// instead, so its owner, group and other names stay. Something at path that
// is no plain file, or a plain file no one may write to, is left as it is.
// The rename takes no lock: whatever another game's save does meanwhile,
// the name ends on one whole file, this save's or the other's.
Refusal ReplaceFile(const std::string& path, const std::string& bytes) {
  std::string target = path;
  if (Refusal why = FollowLinks(target)) return why;
  RemoveLeftoverTemporaries(target);
  struct stat old;
  const bool existed = ::lstat(target.c_str(), &old) == 0;
  mode_t mode;
  if (existed) {
    if (!S_ISREG(old.st_mode)) return "is not a plain file";
    // The mode bits decide read-only, as for a user who may write anything.
    if ((old.st_mode & 0222) == 0) return "is read-only";
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return "may not be written";
    if (old.st_uid != ::geteuid() || old.st_nlink > 1) return WriteInPlace(target, old, bytes);
    mode = old.st_mode & 0777;
  } else {
    // What creating the file would have given it (the mask can only be read
    // by setting it; it is put back at once).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  std::string temporary = TemporaryPattern(target);
  const int fd = MakeSettingsTemporary(temporary.data(), O_CLOEXEC);  // made afresh, never through a link
  if (fd < 0) {
    if (existed && (errno == EACCES || errno == EPERM)) return WriteInPlace(target, old, bytes);
    return existed ? "cannot be made anew in its folder" : "cannot be made in its folder";
  }
  if (existed && old.st_gid != ::getegid() && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // A group the player is not in: the new file could not keep it.
    ::close(fd);
    ::unlink(temporary.c_str());
    return WriteInPlace(target, old, bytes);
  }
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return "could not be written whole";
  }
  // The new name itself must reach the disk too.
  const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return nullptr;
}

void AppendInt32(std::string& out, int32_t value) {
  const uint32_t u = static_cast<uint32_t>(value);
  for (int b = 0; b < 4; ++b) out += static_cast<char>(u >> (8 * b) & 0xFF);
}

// Each character cut to its low 8 bits, then CR LF.
void AppendLine(std::string& out, const String& line) {
  out += StringToAscii(line);
  out += "\r\n";
}

}  // namespace

void LoadSettings() {
  EnsureHighscoreArrays();
  std::FILE* f = OpenPlainFileForReading(StringToUtf8(SettingsFileName));
  if (!f) {
    SetDefaults();
    return;
  }
  unsigned char head[kIntegerCount * 4];
  if (std::fread(head, 1, sizeof head, f) != sizeof head) {
    // A file cut short inside its integers: nothing of it is trusted.
    std::fclose(f);
    SetDefaults();
    return;
  }
  for (int i = 0; i < kIntegerCount; ++i) Settings.*kIntegers[i] = FromLittleEndian(head + 4 * i);
  Settings.playerName = ReadLine(f);
  for (int k = 0; k < kHighscoreRows; ++k) {
    HighscoreNames[k] = ReadLine(f);
    HighscoreScores[k] = ReadLine(f);
    HighscoreLevels[k] = ReadLine(f);
  }
  TakeControlsFromSettings();
  std::fclose(f);
}

void SaveSettings() {
  EnsureHighscoreArrays();
  std::string bytes;
  for (int i = 0; i < kIntegerCount; ++i) AppendInt32(bytes, Settings.*kIntegers[i]);
  AppendLine(bytes, Settings.playerName);
  for (int k = 0; k < kHighscoreRows; ++k) {
    AppendLine(bytes, HighscoreNames[k]);
    AppendLine(bytes, HighscoreScores[k]);
    AppendLine(bytes, HighscoreLevels[k]);
  }
  AppendLine(bytes, u"\r\n");
  for (const char* line : kCommentLines) AppendLine(bytes, StringFromAscii(line));
  // A save that cannot be made keeps the old file and the game ends as usual.
  const std::string file = StringToUtf8(SettingsFileName);
  if (Refusal why = ReplaceFile(file, bytes)) std::fprintf(stderr, "settings not saved: %s %s\n", file.c_str(), why);
}
