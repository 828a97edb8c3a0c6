// The folders stand on floors and every include points down: the runtime and
// the resources at the ground, the services a game and the screens share,
// then the game and the online code side by side (neither sees the other),
// the screens on top. Only the runtime sees SDL. Read from the source tree,
// so an include that points up or sideways fails here with its line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

// Each folder and the folders its files may include (its own included).
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"runtime", {"runtime"}},
    {"res", {"res", "runtime"}},
    {"services", {"services", "res", "runtime"}},
    {"gameplay", {"gameplay", "services", "res", "runtime"}},
    {"online", {"online", "services", "res", "runtime"}},
    {"screens", {"screens", "gameplay", "online", "services", "res", "runtime"}},
};

bool IsSource(const fs::path& p) {
  const std::string ext = p.extension().string();
  return ext == ".cpp" || ext == ".h" || ext == ".c";
}

// The folder a quoted include names ("gameplay/gameplay.h" -> "gameplay"),
// "" for a name with no folder, which is one beside the including file.
std::string FolderOf(const std::string& name) {
  const size_t slash = name.find('/');
  return slash == std::string::npos ? "" : name.substr(0, slash);
}

TEST(LayeringTest, EveryIncludePointsDownAndOnlyTheRuntimeSeesSDL) {
  const fs::path root = NOVA_SOURCE_DIR;
  int filesRead = 0, includesRead = 0;
  for (const auto& [folder, allowed] : kMayInclude) {
    ASSERT_TRUE(fs::is_directory(root / folder)) << folder;
    std::string may;
    for (const std::string& f : allowed) may += (may.empty() ? "" : ", ") + f;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
      ++filesRead;
      const std::string where = fs::relative(entry.path(), root).string();
      std::ifstream in(entry.path());
      std::string line;
      for (int number = 1; std::getline(in, line); ++number) {
        const size_t hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line.compare(hash, 1, "#") != 0) continue;
        const size_t word = line.find_first_not_of(" \t", hash + 1);
        if (word == std::string::npos || line.compare(word, 7, "include") != 0) continue;
        ++includesRead;
        const size_t open = line.find_first_of("\"<", word + 7);
        if (open == std::string::npos) continue;
        const size_t close = line.find(line[open] == '"' ? '"' : '>', open + 1);
        const std::string name = line.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        if (line[open] == '<') {
          EXPECT_TRUE(folder == "runtime" || name.rfind("SDL", 0) != 0)
              << where << ":" << number << ": " << line << "\n  only runtime/ includes SDL";
          continue;
        }
        const std::string target = FolderOf(name);
        EXPECT_TRUE(target.empty() || allowed.count(target))
            << where << ":" << number << ": " << line << "\n  " << folder << "/ may include only " << may;
      }
    }
  }
  // A tree read at all: a wrong source path must not pass for a clean one.
  EXPECT_GT(filesRead, 50);
  EXPECT_GT(includesRead, 200);
}

}  // namespace
