// What the two golden replays share: a record under tests/golden/, one line
// of text a frame, compared line by line, and written anew only on demand:
//   NOVA_WRITE_GOLDEN=1 ./<test>
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace golden {

inline std::string RecordPath(const char* file) { return std::string(NOVA_SOURCE_DIR) + "/tests/golden/" + file; }

inline bool RewriteAsked() { return std::getenv("NOVA_WRITE_GOLDEN") != nullptr; }

// False when the record could not be written whole.
inline bool WriteRecord(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary);
  for (const std::string& line : lines) out << line << '\n';
  return out.good();
}

// Empty when there is no record.
inline std::vector<std::string> ReadRecord(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string Hex(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

}  // namespace golden
