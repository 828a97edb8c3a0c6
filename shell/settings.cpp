// "Settings.dat": the options, key and pad bindings, personal best, player
// name and a ten-row copy of the high-score table, read once at start-up and
// written once at exit.
//
// Layout: 15 signed 32-bit little-endian integers (60 bytes), then 8-bit text
// lines ending in CR LF: the name, ten rows of name / score / level, an empty
// line written as a line holding CR LF, and four comment lines nobody reads.
#include <cstdio>
#include <string>

#include "shell/shell.h"

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
int* const kIntegers[kIntegerCount] = {
    &FullScreen, &PersonalBest, &MusicOn,  &VistaSound,      &ScanlinesOn,
    &SfxOn,      &KeyLeft,      &KeyRight, &KeyClimb,        &KeyFire,
    &JoystickOn, &ReservedSetting, &JoyButton1, &JoyButton2, &Difficulty,
};
constexpr int kDefaults[kIntegerCount] = {1, 0, 1, 0, 1, 1, 37, 39, 164, 162, 0, 0, 1, 0, 0};

void EnsureHighscoreArrays() {
  for (StringArray* a : {&HighscoreNames, &HighscoreScores, &HighscoreLevels})
    if (a->size() < 12) a->resize(12);
}

void SetDefaults() {
  for (int i = 0; i < kIntegerCount; ++i) *kIntegers[i] = kDefaults[i];
  PlayerName = u"not set";
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

// The file name as the system takes it (UTF-8), as the runtime's streams do.
std::string SystemFileName(const String& name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    uint32_t c = name[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < name.size()) c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

void LoadSettings() {
  EnsureHighscoreArrays();
  std::FILE* f = std::fopen(SystemFileName(SettingsFileName).c_str(), "rb");
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
  for (int i = 0; i < kIntegerCount; ++i) *kIntegers[i] = FromLittleEndian(head + 4 * i);
  PlayerName = ReadLine(f);
  for (int k = 0; k < kHighscoreRows; ++k) {
    HighscoreNames[k] = ReadLine(f);
    HighscoreScores[k] = ReadLine(f);
    HighscoreLevels[k] = ReadLine(f);
  }
  if (JoystickOn == 1) {
    // The pad as it lies now is taken as its rest position.
    ControlMode = 1;
    PadRestX = JoyAxisX(0);
    PadRestY = JoyAxisY(0);
  }
  std::fclose(f);
}

void SaveSettings() {
  EnsureHighscoreArrays();
  // Written beside the old file and moved over it only when every byte is
  // out, so a full disk or a crash never leaves a half-written settings file.
  const String temporary = StringConcat(SettingsFileName, u".tmp");
  TStream* s = OpenFileForWriting(temporary);
  if (!s) return;
  for (int i = 0; i < kIntegerCount; ++i) WriteStreamInt32(s, *kIntegers[i]);
  WriteStreamTextLine(s, PlayerName);
  for (int k = 0; k < kHighscoreRows; ++k) {
    WriteStreamTextLine(s, HighscoreNames[k]);
    WriteStreamTextLine(s, HighscoreScores[k]);
    WriteStreamTextLine(s, HighscoreLevels[k]);
  }
  WriteStreamTextLine(s, u"\r\n");
  for (const char* line : kCommentLines) WriteStreamTextLine(s, StringFromAscii(line));
  if (!CloseFileStreamChecked(s) || !RenameFile(temporary, SettingsFileName)) DeleteFile(temporary);
}
