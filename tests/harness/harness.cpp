// The headless test harness (see harness.h).
#include "harness.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>

namespace harness {

RuntimeOptions HeadlessTest::Options() const {
  RuntimeOptions o;
  o.headless = true;
  o.virtualClock = true;
  o.nullAudio = true;
  return o;
}

void HeadlessTest::SetUp() {
  ASSERT_NE(StartRuntime(Options()), nullptr);
}

void HeadlessTest::TearDown() {
  if (HasFailure()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name() + ".fail.png";
    std::replace(name.begin(), name.end(), '/', '_');
    SaveScreenPNG(name);
  }
  SetScriptHook(nullptr);
  RuntimeShutdown();
}

RuntimeOptions NullDrawingTest::Options() const {
  RuntimeOptions o = HeadlessTest::Options();
  o.nullDrawing = true;
  return o;
}

void RunFrames(int n, const std::function<void()>& body) {
  for (int i = 0; i < n; ++i) {
    if (body) body();
    PresentFrame(-1);
  }
}

Script::~Script() { Remove(); }

Script& Script::At(int64_t frame, std::function<void()> action) {
  // Kept in frame order; actions of one frame run in the order given.
  auto pos = std::upper_bound(actions_.begin(), actions_.end(), frame,
                              [](int64_t f, const Action& a) { return f < a.frame; });
  actions_.insert(pos, Action{frame, std::move(action), false});
  return *this;
}

Script& Script::KeyDown(int64_t frame, int vk) {
  return At(frame, [vk] { ScriptKeyDown(vk); });
}
Script& Script::KeyUp(int64_t frame, int vk) {
  return At(frame, [vk] { ScriptKeyUp(vk); });
}
Script& Script::KeyTap(int64_t frame, int vk) {
  return At(frame, [vk] { ScriptKeyTap(vk); });
}
Script& Script::AttachPad(int64_t frame) {
  return At(frame, [] { ScriptAttachPad(); });
}
Script& Script::PadAxis(int64_t frame, int axis, float value) {
  return At(frame, [axis, value] { ScriptPadAxis(axis, value); });
}
Script& Script::PadButton(int64_t frame, int button, bool down) {
  return At(frame, [button, down] { ScriptPadButton(button, down); });
}

void Script::Install() {
  base_ = PresentedFrameCount();
  installed_ = true;
  SetScriptHook([this] { Tick(); });
}

void Script::Remove() {
  if (!installed_) return;
  installed_ = false;
  SetScriptHook(nullptr);
}

bool Script::Done() const {
  return std::all_of(actions_.begin(), actions_.end(), [](const Action& a) { return a.done; });
}

int64_t Script::Frame() const { return PresentedFrameCount() - base_; }

void Script::Tick() {
  int64_t now = Frame();
  // By index: an action may add further actions.
  for (size_t i = 0; i < actions_.size(); ++i) {
    if (actions_[i].frame > now) break;
    if (actions_[i].done) continue;
    actions_[i].done = true;
    auto run = actions_[i].run;
    run();
  }
}

::testing::AssertionResult PixelNear(int x, int y, uint32_t want, int tolerance) {
  uint32_t got = ReadScreenPixel(x, y);
  for (int shift = 0; shift <= 16; shift += 8) {
    int g = int((got >> shift) & 255), w = int((want >> shift) & 255);
    if (std::abs(g - w) > tolerance) {
      char text[128];
      std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X, expected %06X within %d", x, y,
                    unsigned(got), unsigned(want), tolerance);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

bool Encode(png_structp png, png_infop info, std::vector<uint8_t>* out,
            std::vector<uint8_t>* packed, std::vector<png_bytep>* rows, std::vector<png_color>* pal,
            int w, int h, int colorType) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, pal->data(), int(pal->size()));
  png_write_info(png, info);
  int channels = colorType == PNG_COLOR_TYPE_RGBA ? 4 : colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
  rows->resize(size_t(h));
  for (int y = 0; y < h; ++y) (*rows)[size_t(y)] = packed->data() + size_t(y) * w * channels;
  png_write_image(png, rows->data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePNG(const uint8_t* rgba, int w, int h, PngKind kind) {
  std::vector<uint8_t> packed;
  std::vector<png_color> palette;
  std::map<uint32_t, uint8_t> index;
  int colorType = PNG_COLOR_TYPE_RGBA;
  size_t n = size_t(w) * h;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* p = rgba + i * 4;
    switch (kind) {
      case PngKind::RGBA:
        packed.insert(packed.end(), p, p + 4);
        break;
      case PngKind::RGB:
        colorType = PNG_COLOR_TYPE_RGB;
        packed.insert(packed.end(), p, p + 3);
        break;
      case PngKind::Grey:
        colorType = PNG_COLOR_TYPE_GRAY;
        packed.push_back(p[0]);
        break;
      case PngKind::Palette: {
        colorType = PNG_COLOR_TYPE_PALETTE;
        uint32_t key = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
        auto it = index.find(key);
        if (it == index.end()) {
          it = index.emplace(key, uint8_t(palette.size())).first;
          palette.push_back(png_color{p[0], p[1], p[2]});
        }
        packed.push_back(it->second);
        break;
      }
    }
  }
  std::vector<uint8_t> out;
  std::vector<png_bytep> rows;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (!Encode(png, info, &out, &packed, &rows, &palette, w, h, colorType)) out.clear();
  png_destroy_write_struct(&png, &info);
  return out;
}

void RegisterPNG(const String& name, const uint8_t* rgba, int w, int h, PngKind kind) {
  static std::deque<std::vector<uint8_t>> keep;  // registered bytes must outlive the run
  keep.push_back(EncodePNG(rgba, w, h, kind));
  IncbinRegister(name, keep.back().data(), keep.back().size());
}

}  // namespace harness
