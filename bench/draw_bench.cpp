// Draw benchmark: a busy frame of the game, timed over 600 frames.
//
// One frame: 500 turned, scaled, alpha-blended 40 x 40 sprites, 30
// light-blended 64 x 64 explosion frames, and three 640 x 480 parallax layers
// drawn in 64-pixel columns.
//
//   ./draw_bench            the headless path (software, off-screen)
//   ./draw_bench --window   the accelerated path in a window (under Xvfb:
//                           xvfb-run -a ./draw_bench --window)
//   ./draw_bench --fullscreen   the accelerated path in full screen, the
//                           picture scaled to the desktop
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "runtime/headless.h"
#include "runtime/runtime.h"

namespace {

// A sheet of cells with a lit disc in each (black around it is masked).
TImage* Sheet(int cw, int ch, int cells, int seed) {
  int w = cw * cells, h = ch;
  std::vector<uint8_t> px(size_t(w) * h * 4, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int cx = x % cw, f = x / cw;
      double dx = cx - cw / 2.0, dy = y - ch / 2.0;
      if (dx * dx + dy * dy > (cw / 2.0 - 1) * (ch / 2.0 - 1)) continue;
      uint8_t* p = px.data() + (size_t(y) * w + x) * 4;
      p[0] = uint8_t(60 + (f * 37 + seed) % 190);
      p[1] = uint8_t(40 + (x * 3 + y) % 200);
      p[2] = uint8_t(80 + (y * 5) % 170);
      p[3] = 255;
    }
  TImage* img = CreateImageFromRGBA(px.data(), w, h, cw, ch, cells, IMAGE_DEFAULT_FLAGS);
  CentreImageHandle(img);
  return img;
}

// A 1920 x 480 landscape layer cut into 30 columns of 64 x 480, its sky
// black (masked) above a wavy skyline.
TImage* Layer(int height, int seed) {
  int w = 1920, h = 480;
  std::vector<uint8_t> px(size_t(w) * h * 4, 0);
  for (int x = 0; x < w; ++x) {
    int top = h - height + int(40 * std::sin((x + seed * 97) * 0.01));
    for (int y = std::max(0, top); y < h; ++y) {
      uint8_t* p = px.data() + (size_t(y) * w + x) * 4;
      p[0] = uint8_t(30 + seed * 40);
      p[1] = uint8_t(20 + (y % 64));
      p[2] = uint8_t(90 + (x % 50));
      p[3] = 255;
    }
  }
  return CreateImageFromRGBA(px.data(), w, h, 64, 480, 30, IMAGE_DEFAULT_FLAGS);
}

}  // namespace

int main(int argc, char** argv) {
  bool window = false, fullscreen = false;
  // --only layers|sprites|lights: time one part of the frame alone.
  const char* only = "";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0) window = true;
    if (std::strcmp(argv[i], "--fullscreen") == 0) window = fullscreen = true;
    if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) only = argv[++i];
  }
  auto part = [&](const char* name) { return !*only || std::strcmp(only, name) == 0; };
  RuntimeOptions options;
  options.headless = !window;
  options.virtualClock = true;  // time the drawing, not the 60 Hz pacing
  options.nullAudio = true;
  if (!StartRuntime(options, fullscreen ? 16 : 0)) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  SetAppTitle(u"draw bench");
  TImage* sprites = Sheet(40, 40, 8, 1);
  TImage* blasts = Sheet(64, 64, 16, 2);
  TImage* layers[3] = {Layer(380, 0), Layer(260, 1), Layer(150, 2)};

  const int frames = 600;
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpuStart = std::clock();
  for (int n = 0; n < frames; ++n) {
    ClearDrawBuffer();
    SetDrawBlendMode(BlendMode::Alpha);
    SetDrawAlpha(1);
    SetDrawRotation(0);
    SetDrawScale(1, 1);
    SetDrawColour(255, 255, 255);
    for (int l = 0; l < 3 && part("layers"); ++l) {
      int scroll = (n * (l + 1) * 3) % 1920;
      for (int c = 0; c <= 10; ++c) {
        int col = (scroll / 64 + c) % 30;
        DrawImageFrame(layers[l], float(c * 64 - scroll % 64), 0, col);
      }
    }
    SetDrawAlpha(0.7f);
    for (int i = 0; i < 500 && part("sprites"); ++i) {
      SetDrawRotation(float((i * 13 + n * 3) % 360));
      float s = 0.8f + 0.4f * float((i * 7) % 10) / 10.0f;
      SetDrawScale(s, s);
      DrawImageFrame(sprites, float((i * 53 + n) % 680 - 20), float((i * 29) % 500 - 10), i % 8);
    }
    SetDrawRotation(0);
    SetDrawScale(1, 1);
    SetDrawBlendMode(BlendMode::Light);
    SetDrawAlpha(0.8f);
    for (int i = 0; i < 30 && part("lights"); ++i)
      DrawImageFrame(blasts, float((i * 97 + n * 2) % 640), float((i * 61) % 480), (i + n / 4) % 16);
    SetDrawBlendMode(BlendMode::Alpha);
    SetDrawAlpha(1);
    PresentFrame(-1);
  }
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  // Processor time of every thread of the process (the CPU renderer's too):
  // a busy machine stretches the wall time, this much less so.
  double cpu = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  std::printf("%s path: %.2f ms per frame (processor time %.2f ms) over %d frames\n",
              fullscreen ? "full-screen" : window ? "accelerated" : "headless", ms / frames,
              cpu / frames, frames);
  RuntimeShutdown();
  return 0;
}
