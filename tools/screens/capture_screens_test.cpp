// Runs capture_screens into a folder of its own and looks at what it wrote:
// every screen of the tour is there, a whole 640 x 480 picture with
// something on it, and no picture repeats the one before (a step that
// never reached its screen).
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kScreens[] = {
    "01_intro.png",     "02_menu.png",      "03_options.png",    "04_keys.png",      "05_name.png",
    "06_mission.png",   "07_sync.png",      "08_credits.png",    "09_highscores.png", "10_landing.png",
    "11_flight.png",    "12_shot.png",      "13_explosion.png",  "14_alien.png",     "15_teleport.png",
    "16_pause.png",     "17_destroyed.png", "18_gameover.png",
};

// A screen that went black (or any single colour) has next to nothing off
// its commonest colour; the sparest real screen, two lines of text on black,
// has a few thousand pixels.
constexpr int kLeastPixelsOffBackground = 1000;

std::vector<uint8_t> ReadRGB(const fs::path& file, int* width, int* height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  *width = int(image.width), *height = int(image.height);
  return pixels;
}

int PixelsOffCommonestColour(const std::vector<uint8_t>& rgb) {
  std::map<uint32_t, int> counts;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) ++counts[uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2]];
  int commonest = 0;
  for (const auto& [colour, n] : counts) commonest = std::max(commonest, n);
  return int(rgb.size() / 3) - commonest;
}

TEST(CaptureScreensTest, EveryScreenIsWrittenWholeAndShowsSomething) {
  const fs::path folder = fs::temp_directory_path() / ("capture_screens_test." + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path log = folder / "log.txt";
  const std::string command = std::string(NOVA_CAPTURE_SCREENS) + " " + folder.string() + " > " + log.string() + " 2>&1";
  const int status = std::system(command.c_str());
  std::stringstream output;
  output << std::ifstream(log).rdbuf();
  ASSERT_EQ(0, status) << output.str();

  std::vector<uint8_t> previous;
  for (const char* name : kScreens) {
    SCOPED_TRACE(name);
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = ReadRGB(folder / name, &width, &height);
    ASSERT_FALSE(rgb.empty()) << "missing or unreadable";
    EXPECT_EQ(640, width);
    EXPECT_EQ(480, height);
    EXPECT_GE(PixelsOffCommonestColour(rgb), kLeastPixelsOffBackground) << "a blank screen";
    EXPECT_NE(previous, rgb) << "the same picture as the screen before";
    previous = rgb;
  }
  // Nothing else is left behind: no settings file, no picture of a stuck step.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) files += entry.path() != log;
  EXPECT_EQ(int(std::size(kScreens)), files);
  fs::remove_all(folder);
}

}  // namespace
