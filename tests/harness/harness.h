// The headless test harness: run the runtime without a window, a sound
// device or real time, script input frame by frame and check the picture.
//
// Fixtures
//   HeadlessTest      SetUp: headless software drawing into an off-screen
//                     640 x 480 back buffer, a virtual clock (PresentFrame and
//                     SleepMillis advance it at once; it starts at 0), no audio
//                     device; StartRuntime (runtime/headless.h): the core,
//                     the services and a 640 x 480 window.
//                     TearDown: when the test failed, the screen is saved as
//                     "<Suite>.<Test>.fail.png" in the working directory; then
//                     the script hook is removed and RuntimeShutdown runs.
//   NullDrawingTest   the same with every drawing operation skipped, for tests
//                     that check only the game's state (fastest). Images still
//                     load with their pixels, so ImagesOverlap stays exact.
//   Derive your own fixture and override Options() to change the set-up.
//
//   RuntimeShutdown frees every image and sound: load them (and the game's
//   resources) again in each test, after SetUp, never once per suite.
//
// Frames and input
//   RunFrames(n, body)  calls body() then PresentFrame(-1), n times.
//   Script s;           actions at given frames, counted from Install():
//     s.KeyTap(2, KeyCode::Space)   a press of Space after the 2nd frame
//                       presented;
//     s.KeyDown(5, KeyCode::Left); s.KeyUp(9, KeyCode::Left);
//                       Left held from frame 5 to 9;
//     s.PadAxis(3, 0, -1.0f); s.PadButton(3, 1, true);   (attach the pad
//                       first: s.AttachPad(0) or ScriptAttachPad());
//     s.At(10, [] { ... });  any code at frame 10;
//     s.Install();      from now on the script runs at every PresentFrame and
//                       SleepMillis (as the script hook); an action at frame
//                       N runs at the first hook once N frames have been
//                       presented since Install (frame 0: the first hook).
//     s.Done()          true when every action has run.
//   The Script removes itself as the hook when it is destroyed.
//
// Pixels
//   ReadScreenPixel(x, y) (runtime/headless.h) gives 0xRRGGBB.
//   EXPECT_TRUE(PixelNear(x, y, 0xRRGGBB, tolerance)) compares one pixel of
//   the back buffer, each channel within the tolerance, and says what it saw.
//   Rgb(r, g, b) builds 0xRRGGBB.
//
// Sound
//   SoundLog() (runtime/headless.h) lists every play, volume change and stop
//   since the services started or ClearSoundLog(): channel, sound handle and
//   file name, volume, loop flag and the frame. tests/sound_log.h reads it
//   as the effects played and the tunes' story ("m_game.ogg@0.2 ...").
//
// Pictures in memory
//   EncodePNG(rgba, w, h, kind) makes PNG bytes of a picture (kind: RGB,
//   RGBA, palette or grey); RegisterPNG("res\\x.png", rgba, w, h, kind) also
//   registers them as an embedded file (the bytes stay alive), so
//   LoadImageResource("IncBin::res\\x.png", IMAGE_DEFAULT_FLAGS) loads them like game art.
//   The first registration of a name wins for the whole process: give every
//   test picture a name of its own.
//   CreateImageFromRGBA (runtime/headless.h) makes an image without a PNG.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/headless.h"
#include "runtime/runtime.h"

namespace harness {

class HeadlessTest : public ::testing::Test {
 protected:
  virtual RuntimeOptions Options() const;
  void SetUp() override;
  void TearDown() override;
};

class NullDrawingTest : public HeadlessTest {
 protected:
  RuntimeOptions Options() const override;
};

// Calls body (when given) and then PresentFrame(-1), n times.
void RunFrames(int n, const std::function<void()>& body = {});

class Script {
 public:
  Script() = default;
  ~Script();
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  Script& At(int64_t frame, std::function<void()> action);
  Script& KeyDown(int64_t frame, int vk);
  Script& KeyUp(int64_t frame, int vk);
  Script& KeyTap(int64_t frame, int vk);
  Script& AttachPad(int64_t frame);
  Script& PadAxis(int64_t frame, int axis, float value);
  Script& PadButton(int64_t frame, int button, bool down);

  void Install();
  void Remove();
  bool Done() const;
  // Frames presented since Install.
  int64_t Frame() const;

 private:
  void Tick();
  struct Action {
    int64_t frame;
    std::function<void()> run;
    bool done;
  };
  std::vector<Action> actions_;
  int64_t base_ = 0;
  bool installed_ = false;
};

constexpr uint32_t Rgb(int r, int g, int b) {
  return (uint32_t(r & 255) << 16) | (uint32_t(g & 255) << 8) | uint32_t(b & 255);
}
// Each channel of the back buffer's pixel (x, y) within tolerance of want.
::testing::AssertionResult PixelNear(int x, int y, uint32_t want, int tolerance = 0);

enum class PngKind { RGB, RGBA, Palette, Grey };
std::vector<uint8_t> EncodePNG(const uint8_t* rgba, int w, int h, PngKind kind);
void RegisterPNG(const String& name, const uint8_t* rgba, int w, int h, PngKind kind);

}  // namespace harness
