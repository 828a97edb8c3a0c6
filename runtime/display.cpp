// The display: window or full screen (or the headless off-screen picture),
// the 640 x 480 back buffer, frame pacing, the drawing state, rectangles and
// read-back of the screen.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <optional>
#include <string_view>

#include "runtime/screenfit.h"
#include "runtime/video.h"

namespace {

rt::Video g_video;
String g_title;
bool g_hidePointer = false;
// The "no display" line is said once however often the game tries to open.
bool g_toldNoDisplay = false;
// The pacing tests' monitor, when they give one.
std::optional<MonitorStandIn> g_standIn;
DrawState g_draw{255, 255, 255, 1.0f, BlendMode::Alpha, 0.0f, 1.0f, 1.0f};
std::function<void(const DrawEvent&)> g_drawLog;

// Frame pacing. Every speed and delay of the game counts frames, so it must
// see exactly 60 a second on any monitor. The millisecond schedule does that
// everywhere: each frame is due 16 ms after the last, 17 ms on 40 frames of
// every 60, so 60 frames take exactly one second. Only in full screen on a
// display whose mode is 59-61 Hz does vsync pace instead (no tearing), and
// only while the presents really wait for the retrace; a frame is never held
// by both.
struct Schedule {
  bool running = false;
  int64_t due = 0;
  int slot = 0;
} g_schedule;
int64_t g_framesPresented = 0;

// Under vsync: when the last presents came back, oldest first, two seconds'
// worth. Presents held by a retrace of at most 61 Hz can come no faster than
// this, less the lateness of waking up after an earlier one; the long spans
// catch a retrace only a little too fast.
std::deque<int64_t> g_presentReturns;
constexpr size_t kWatchedPresents = 120;
constexpr double kFastestRetraceMs = 1000.0 / 61;
constexpr double kWakeUpJitterMs = 6;
// Presents made at display open to see whether vsync holds them.
constexpr int kVsyncProbePresents = 4;

constexpr int kWidth = 640, kHeight = 480;

struct Batch {
  SDL_Texture* texture = nullptr;
  SDL_BlendMode blend = SDL_BLENDMODE_BLEND;
  SDL_ScaleMode scale = SDL_ScaleModeLinear;
  std::vector<SDL_Vertex> vertices;
  std::vector<int> indices;
} g_batch;

std::string Latin1ToUtf8(const String& s) {
  std::string out;
  for (char16_t ch : s) {
    unsigned c = ch & 0xFF;
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void CloseDisplay() {
  rt::DropAllTextures();
  g_batch.vertices.clear();
  g_batch.indices.clear();
  g_batch.texture = nullptr;
  rt::ForgetSharpScaler();
  rt::ForgetScreenOverlay();
  if (g_video.prescaled) SDL_DestroyTexture(g_video.prescaled);
  if (g_video.target) SDL_DestroyTexture(g_video.target);
  if (g_video.renderer) SDL_DestroyRenderer(g_video.renderer);
  if (g_video.window) SDL_DestroyWindow(g_video.window);
  if (g_video.surface) SDL_FreeSurface(g_video.surface);
  TDisplay keep = g_video.display;
  g_video = rt::Video{};
  g_video.display = keep;
}

// The refresh rate of the display the window is on, as its mode reports it
// (0: unknown).
int ModeRefreshHz() {
  if (g_standIn) return g_standIn->modeHz;
  SDL_DisplayMode mode;
  int display = g_video.window ? std::max(SDL_GetWindowDisplayIndex(g_video.window), 0) : 0;
  if (SDL_GetDesktopDisplayMode(display, &mode) != 0) return 0;
  return mode.refresh_rate;
}

void PresentToScreen() {
  SDL_RenderPresent(g_video.renderer);
  // The stand-in monitor of the pacing tests holds a vsync'd present until
  // its next retrace, as a real one would.
  if (g_video.vsync && g_standIn && g_standIn->retraceHz > 0) {
    double period = 1000.0 / g_standIn->retraceHz;
    int64_t now = rt::NowMillis();
    auto retrace = [period](int64_t n) { return int64_t(std::ceil(double(n) * period)); };
    int64_t n = int64_t(std::floor(double(now) / period));
    while (retrace(n) <= now) ++n;
    rt::WaitUntilMillis(retrace(n));
  }
}

void StopVsync() {
  SDL_RenderSetVSync(g_video.renderer, 0);
  g_video.vsync = false;
  g_presentReturns.clear();
  g_schedule.running = false;
}

// Called after each present under vsync. Presents that come back faster than
// a 59-61 Hz retrace allows are not held by it (the driver or compositor
// ignores vsync, or the display is faster than its mode says): the schedule
// takes over from the next frame.
void WatchRetrace() {
  int64_t now = rt::NowMillis();
  for (size_t k = 1; k <= g_presentReturns.size(); ++k) {
    int64_t span = now - g_presentReturns[g_presentReturns.size() - k];
    if (double(span) < double(k) * kFastestRetraceMs - kWakeUpJitterMs) {
      StopVsync();
      return;
    }
  }
  g_presentReturns.push_back(now);
  if (g_presentReturns.size() > kWatchedPresents) g_presentReturns.pop_front();
}

// The enlarged picture of the first scaling step, made again when its size
// changes.
SDL_Texture* PrescaledTexture(int width, int height) {
  if (g_video.prescaled && g_video.prescaledWidth == width && g_video.prescaledHeight == height)
    return g_video.prescaled;
  rt::ForgetSharpScaler();
  if (g_video.prescaled) SDL_DestroyTexture(g_video.prescaled);
  g_video.prescaled = SDL_CreateTexture(g_video.renderer, SDL_PIXELFORMAT_RGBA32,
                                        SDL_TEXTUREACCESS_TARGET, width, height);
  g_video.prescaledWidth = g_video.prescaled ? width : 0;
  g_video.prescaledHeight = g_video.prescaled ? height : 0;
  if (g_video.prescaled) SDL_SetTextureBlendMode(g_video.prescaled, SDL_BLENDMODE_NONE);
  return g_video.prescaled;
}

// Copies the back buffer to the window, scaled to fit with its 4:3 shape
// kept and black bars around it.
void ShowTarget() {
  if (!g_video.window || !g_video.target) return;
  rt::FlushBatch();
  SDL_Renderer* r = g_video.renderer;
  SDL_SetRenderTarget(r, nullptr);  // the output size is the target's while one is set
  int ow = kWidth, oh = kHeight;
  SDL_GetRendererOutputSize(r, &ow, &oh);
  const ScreenFit fit = FitPictureToScreen(g_video.display.width, g_video.display.height, ow, oh,
                                           g_video.maxTextureWidth, g_video.maxTextureHeight);
  SDL_Texture* shown = g_video.target;
  SDL_SetTextureScaleMode(g_video.target, fit.linearStep && fit.factor == 1 ? SDL_ScaleModeLinear
                                                                             : SDL_ScaleModeNearest);
  const SDL_Rect dst{fit.x, fit.y, fit.width, fit.height};
  if (fit.width < ow || fit.height < oh) {  // black bars around the picture
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderClear(r);
  }
  const bool sharpInOnePass =
      fit.linearStep && fit.factor > 1 &&
      rt::DrawSharpScaled(r, g_video.target, g_video.display.width, g_video.display.height,
                          fit.factor, dst);
  if (!sharpInOnePass) {
    if (fit.linearStep && fit.factor > 1) {
      SDL_Texture* prescaled = PrescaledTexture(g_video.display.width * fit.factor,
                                                g_video.display.height * fit.factor);
      if (prescaled && SDL_SetRenderTarget(r, prescaled) == 0) {
        SDL_RenderCopy(r, g_video.target, nullptr, nullptr);
        SDL_SetRenderTarget(r, nullptr);
        SDL_SetTextureScaleMode(prescaled, SDL_ScaleModeLinear);
        shown = prescaled;
      } else {
        SDL_SetTextureScaleMode(g_video.target, SDL_ScaleModeLinear);
      }
    }
    SDL_RenderCopy(r, shown, nullptr, &dst);
  }
  rt::DrawScreenOverlay(r, dst);
  PresentToScreen();
  SDL_SetRenderTarget(r, g_video.target);
}

void WaitForSchedule() {
  int64_t now = rt::NowMillis();
  if (!g_schedule.running) {
    g_schedule.running = true;
    g_schedule.due = now;
    g_schedule.slot = 0;
  }
  g_schedule.due += 16 + (g_schedule.slot % 3 != 2 ? 1 : 0);
  g_schedule.slot = (g_schedule.slot + 1) % 60;
  if (now > g_schedule.due) {
    // Late: show at once and count the next frame from now.
    g_schedule.due = now;
    g_schedule.slot = 0;
    return;
  }
  rt::WaitUntilMillis(g_schedule.due);
}

// Where SDL finds no display (a terminal over ssh, a console) it falls back
// to a driver that draws off screen, and the game would run unseen. Those
// drivers serve only whoever asks for them by name (the tests and tools, in
// SDL_VIDEODRIVER).
bool RealDisplayOrAskedFor() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) return false;  // no video driver could start at all
  const std::string_view name(driver);
  if (name != "offscreen" && name != "dummy" && name != "evdev") return true;
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return asked && SDL_strcasecmp(asked, driver) == 0;
}

// A window (or the whole desktop in full screen) with its renderer and the
// back buffer as a render target. Leaves nothing open when a step fails.
bool OpenWindow(int width, int height, bool fullscreen) {
  rt::DisplayWait answer;  // a server that took the connection may not answer
  g_video.fullscreen = fullscreen;
  // Full screen is made at the desktop's size: without a window manager
  // nothing would grow a smaller window to fill the screen.
  int windowWidth = width, windowHeight = height;
  SDL_DisplayMode desktop;
  if (fullscreen && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
    windowWidth = desktop.w;
    windowHeight = desktop.h;
  }
  Uint32 windowFlags = fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  g_video.window = SDL_CreateWindow(Latin1ToUtf8(g_title).c_str(), SDL_WINDOWPOS_CENTERED,
                                    SDL_WINDOWPOS_CENTERED, windowWidth, windowHeight, windowFlags);
  if (!g_video.window) return false;
  const int refreshHz = ModeRefreshHz();
  const bool wantVsync = fullscreen && refreshHz >= 59 && refreshHz <= 61;
  Uint32 accel = SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE;
  if (wantVsync) accel |= SDL_RENDERER_PRESENTVSYNC;
  g_video.renderer = SDL_CreateRenderer(g_video.window, -1, accel);
  if (!g_video.renderer)
    g_video.renderer =
        SDL_CreateRenderer(g_video.window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
  if (g_video.renderer) {
    SDL_RendererInfo info;
    bool granted = SDL_GetRendererInfo(g_video.renderer, &info) == 0 &&
                   (info.flags & SDL_RENDERER_PRESENTVSYNC);
    if (g_standIn) granted = g_standIn->grantsVsync;
    g_video.vsync = wantVsync && granted;
    // Vsync may be on without our asking (SDL_RENDER_VSYNC in the
    // environment); the schedule must not wait on top of it.
    if (!g_video.vsync && granted) SDL_RenderSetVSync(g_video.renderer, 0);
    if (g_video.vsync) {
      // A few black frames show whether the presents really wait for the
      // retrace; the watch drops vsync when they do not.
      g_presentReturns.clear();
      SDL_SetRenderDrawColor(g_video.renderer, 0, 0, 0, 255);
      for (int i = 0; i < kVsyncProbePresents && g_video.vsync; ++i) {
        SDL_RenderClear(g_video.renderer);
        PresentToScreen();
        WatchRetrace();
      }
    }
    g_video.target = SDL_CreateTexture(g_video.renderer, SDL_PIXELFORMAT_RGBA32,
                                       SDL_TEXTUREACCESS_TARGET, width, height);
  }
  if (!g_video.target) {
    CloseDisplay();
    return false;
  }
  SDL_SetTextureBlendMode(g_video.target, SDL_BLENDMODE_NONE);
  SDL_SetRenderTarget(g_video.renderer, g_video.target);
  return true;
}

SDL_BlendMode SdlBlend(BlendMode mode) {
  return mode == BlendMode::Light ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
}

}  // namespace

namespace rt {

Video& VideoState() { return g_video; }

void BatchQuad(SDL_Texture* texture, SDL_BlendMode blend, SDL_ScaleMode scale,
               const SDL_Vertex corners[4]) {
  if (texture != g_batch.texture || blend != g_batch.blend || scale != g_batch.scale ||
      g_batch.vertices.size() >= 4096)
    FlushBatch();
  g_batch.texture = texture;
  g_batch.blend = blend;
  g_batch.scale = scale;
  int first = int(g_batch.vertices.size());
  g_batch.vertices.insert(g_batch.vertices.end(), corners, corners + 4);
  for (int i : {0, 1, 2, 0, 2, 3}) g_batch.indices.push_back(first + i);
}

void FlushBatch() {
  if (g_batch.vertices.empty()) return;
  if (g_video.renderer && g_batch.texture) {
    SDL_SetTextureBlendMode(g_batch.texture, g_batch.blend);
    // The renderer reads a texture's sampling when it finally draws, not
    // when a draw is queued: let queued draws go before changing it.
    SDL_ScaleMode current = SDL_ScaleModeLinear;
    SDL_GetTextureScaleMode(g_batch.texture, &current);
    if (current != g_batch.scale) {
      SDL_RenderFlush(g_video.renderer);
      SDL_SetTextureScaleMode(g_batch.texture, g_batch.scale);
    }
    SDL_SetTextureColorMod(g_batch.texture, 255, 255, 255);
    SDL_SetTextureAlphaMod(g_batch.texture, 255);
    SDL_RenderGeometry(g_video.renderer, g_batch.texture, g_batch.vertices.data(),
                       int(g_batch.vertices.size()), g_batch.indices.data(),
                       int(g_batch.indices.size()));
  }
  g_batch.vertices.clear();
  g_batch.indices.clear();
}

bool PictureScaledOnScreen() {
  if (!g_video.window) return false;
  int width = 0, height = 0;
  SDL_GetWindowSizeInPixels(g_video.window, &width, &height);
  const ScreenFit fit = FitPictureToScreen(g_video.display.width, g_video.display.height, width,
                                           height, g_video.maxTextureWidth, g_video.maxTextureHeight);
  return fit.factor != 1 || fit.linearStep;
}

bool DrawingEnabled() { return g_video.open && g_video.renderer && !Options().nullDrawing; }

DrawState& CurrentDrawState() { return g_draw; }

bool DrawLogOn() { return static_cast<bool>(g_drawLog); }

void LogDraw(const DrawEvent& event) {
  if (g_drawLog) g_drawLog(event);
}

DrawEvent PictureEvent(DrawEvent::Kind kind, const TImage* image, int frame, float x, float y) {
  DrawEvent e;
  e.kind = kind;
  e.frame = frame;
  e.x = x;
  e.y = y;
  e.state = g_draw;
  if (image) {
    e.picture = image->name;
    e.width = static_cast<float>(image->width);
    e.height = static_cast<float>(image->height);
    e.handleX = image->handleX;
    e.handleY = image->handleY;
  }
  return e;
}

void VideoStart() {
  g_draw = DrawState{255, 255, 255, 1.0f, BlendMode::Alpha, 0.0f, 1.0f, 1.0f};
  g_schedule.running = false;
  g_framesPresented = 0;
  g_toldNoDisplay = false;
}

void VideoShutdown() {
  CloseDisplay();
  FreeAllImages();
  g_schedule.running = false;
  g_standIn.reset();
  // Counted since the services started: none are running now, so a script
  // set up before the next start counts from 0 as the frames will.
  g_framesPresented = 0;
}

void OnWindowEvent(int sdlWindowEvent) {
  // The window was uncovered: show the last picture again (waiting screens
  // present nothing until a key arrives).
  if (sdlWindowEvent == SDL_WINDOWEVENT_EXPOSED && DrawingEnabled()) ShowTarget();
}

}  // namespace rt

ScreenFit FitPictureToScreen(int pictureWidth, int pictureHeight, int screenWidth,
                             int screenHeight, int maxTextureWidth, int maxTextureHeight) {
  ScreenFit fit;
  if (pictureWidth <= 0 || pictureHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) return fit;
  const double scale = std::min(double(screenWidth) / pictureWidth,
                                double(screenHeight) / pictureHeight);
  // Whole pixels, the side that fills the screen exactly.
  fit.width = std::min(screenWidth, int(std::lround(pictureWidth * scale)));
  fit.height = std::min(screenHeight, int(std::lround(pictureHeight * scale)));
  fit.x = (screenWidth - fit.width) / 2;
  fit.y = (screenHeight - fit.height) / 2;
  const int whole = int(std::floor(scale));
  if (whole >= 1 && fit.width == pictureWidth * whole && fit.height == pictureHeight * whole) {
    fit.factor = whole;  // plain sampling gives the final picture at once
    return fit;
  }
  fit.linearStep = true;
  if (scale < 1) return fit;  // smaller than the picture: filtering alone
  // The largest whole factor within the final size; below 2 that would be
  // no first step at all, so between 1 and 2 times the picture is doubled
  // and the filter shrinks it, still blending only along the pixel edges.
  int factor = std::max(2, whole);
  auto fits = [&](int f) {
    return (maxTextureWidth <= 0 || pictureWidth * f <= maxTextureWidth) &&
           (maxTextureHeight <= 0 || pictureHeight * f <= maxTextureHeight);
  };
  while (factor > 1 && !fits(factor)) --factor;
  fit.factor = factor;
  return fit;
}

void SetMonitorStandIn(const MonitorStandIn& monitor) { g_standIn = monitor; }

TDisplay* OpenGraphicsDisplay(int width, int height, int depth, int hertz, int flags) {
  CloseDisplay();
  if (width <= 0) width = kWidth;
  if (height <= 0) height = kHeight;
  g_video.display = TDisplay{width, height, depth, hertz, flags};
  g_schedule.running = false;

  if (rt::Options().headless) {
    // A stand-in monitor may refuse full screen, as a desktop can; the
    // window that serves instead is the same back buffer here.
    g_video.fullscreen = depth != 0 && !(g_standIn && g_standIn->refusesFullScreen);
    g_video.surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    if (!g_video.surface) return nullptr;
    g_video.renderer = SDL_CreateSoftwareRenderer(g_video.surface);
    if (!g_video.renderer) {
      CloseDisplay();
      return nullptr;
    }
  } else if (!RealDisplayOrAskedFor()) {
    if (!g_toldNoDisplay)
      std::fprintf(stderr, "no display: set DISPLAY or WAYLAND_DISPLAY, or run under a desktop\n");
    g_toldNoDisplay = true;
    return nullptr;
  } else if (!OpenWindow(width, height, depth != 0) &&
             !(depth != 0 && OpenWindow(width, height, false))) {
    // Full screen refused: a window serves. Nothing at all: say why.
    std::fprintf(stderr, "cannot open the display: %s\n", SDL_GetError());
    return nullptr;
  }
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(g_video.renderer, &info) == 0) {
    g_video.maxTextureWidth = info.max_texture_width;
    g_video.maxTextureHeight = info.max_texture_height;
  }
  if (g_hidePointer) SDL_ShowCursor(SDL_DISABLE);
  g_video.open = true;
  SDL_SetRenderDrawColor(g_video.renderer, 0, 0, 0, 255);
  SDL_RenderClear(g_video.renderer);
  return &g_video.display;
}

bool DisplayIsOpen() { return g_video.open; }

bool DisplayIsFullScreen() { return g_video.open && g_video.fullscreen; }

void SetAppTitle(const String& title) {
  g_title = title;
  if (g_video.window) SDL_SetWindowTitle(g_video.window, Latin1ToUtf8(title).c_str());
}

String AppTitle() { return g_title; }

void HideMousePointer() {
  g_hidePointer = true;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_DISABLE);
}

void ClearDrawBuffer() {
  if (rt::DrawLogOn()) rt::LogDraw(DrawEvent{});
  rt::ForgetScreenOverlay();
  if (!rt::DrawingEnabled()) return;
  rt::FlushBatch();
  SDL_SetRenderDrawColor(g_video.renderer, 0, 0, 0, 255);
  SDL_RenderClear(g_video.renderer);
}

void PresentFrame(int) {
  if (!g_video.vsync) WaitForSchedule();
  if (rt::DrawingEnabled()) {
    if (g_video.window)
      ShowTarget();
    else
      SDL_RenderFlush(g_video.renderer);
  }
  if (g_video.vsync) WatchRetrace();
  ++g_framesPresented;
  if (rt::ServicesStarted()) rt::PumpEvents();
  rt::RunScriptHook();
}

int64_t PresentedFrameCount() { return g_framesPresented; }

bool FramesPacedByRetrace() { return g_video.vsync; }

void FillRectangle(float x, float y, float width, float height) {
  if (rt::DrawLogOn()) {
    DrawEvent e = rt::PictureEvent(DrawEvent::Kind::Rectangle, nullptr, 0, x, y);
    e.width = width;
    e.height = height;
    rt::LogDraw(e);
  }
  if (!rt::DrawingEnabled()) return;
  rt::FlushBatch();
  const DrawState& st = g_draw;
  SDL_Renderer* r = g_video.renderer;
  Uint8 a = Uint8(std::lround(st.alpha * 255.0f));
  if (st.rotation == 0.0f && st.scaleX == 1.0f && st.scaleY == 1.0f) {
    SDL_SetRenderDrawBlendMode(r, SdlBlend(st.blend));
    SDL_SetRenderDrawColor(r, Uint8(st.red), Uint8(st.green), Uint8(st.blue), a);
    SDL_FRect rect{x, y, width, height};
    SDL_RenderFillRectF(r, &rect);
    return;
  }
  // Turned and scaled about its top-left corner, like an image whose handle
  // is at (0, 0).
  double rad = double(st.rotation) * std::numbers::pi / 180.0;
  double c = std::cos(rad), s = std::sin(rad);
  SDL_Vertex v[4];
  const double corner[4][2] = {{0, 0}, {width, 0}, {width, height}, {0, height}};
  for (int i = 0; i < 4; ++i) {
    double ax = corner[i][0] * st.scaleX, ay = corner[i][1] * st.scaleY;
    v[i].position = SDL_FPoint{float(x + c * ax - s * ay), float(y + s * ax + c * ay)};
    v[i].color = SDL_Color{Uint8(st.red), Uint8(st.green), Uint8(st.blue), a};
    v[i].tex_coord = SDL_FPoint{0, 0};
  }
  const int index[6] = {0, 1, 2, 0, 2, 3};
  SDL_SetRenderDrawBlendMode(r, SdlBlend(st.blend));
  SDL_RenderGeometry(r, nullptr, v, 4, index, 6);
}

void SetDrawColour(int red, int green, int blue) {
  g_draw.red = std::clamp(red, 0, 255);
  g_draw.green = std::clamp(green, 0, 255);
  g_draw.blue = std::clamp(blue, 0, 255);
}

void SetDrawAlpha(float alpha) {
  if (std::isnan(alpha)) alpha = 0.0f;
  g_draw.alpha = std::clamp(alpha, 0.0f, 1.0f);
}

void SetDrawBlendMode(BlendMode mode) { g_draw.blend = mode; }
void SetDrawRotation(float degrees) { g_draw.rotation = degrees; }
void SetDrawScale(float sx, float sy) {
  g_draw.scaleX = sx;
  g_draw.scaleY = sy;
}
DrawState GetDrawState() { return g_draw; }

void SetDrawLog(std::function<void(const DrawEvent&)> logger) { g_drawLog = std::move(logger); }

std::vector<uint8_t> ReadScreenRGBA() {
  int w = g_video.display.width, h = g_video.display.height;
  std::vector<uint8_t> out(size_t(w) * h * 4, 0);
  if (!g_video.open || !g_video.renderer) return out;
  rt::FlushBatch();
  SDL_RenderReadPixels(g_video.renderer, nullptr, SDL_PIXELFORMAT_RGBA32, out.data(), w * 4);
  return out;
}

std::vector<uint8_t> ReadShownScreenRGBA(int* width, int* height) {
  *width = *height = 0;
  if (!g_video.open || !g_video.window) return {};
  SDL_Renderer* r = g_video.renderer;
  rt::FlushBatch();
  SDL_SetRenderTarget(r, nullptr);
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(r, &w, &h);
  std::vector<uint8_t> out(size_t(w) * h * 4, 0);
  if (SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_RGBA32, out.data(), w * 4) == 0) {
    *width = w;
    *height = h;
  } else {
    out.clear();
  }
  SDL_SetRenderTarget(r, g_video.target);
  return out;
}

uint32_t ReadScreenPixel(int x, int y) {
  int w = g_video.display.width, h = g_video.display.height;
  if (!g_video.open || !g_video.renderer || x < 0 || y < 0 || x >= w || y >= h) return 0;
  rt::FlushBatch();
  uint8_t px[4] = {0, 0, 0, 0};
  SDL_Rect one{x, y, 1, 1};
  SDL_RenderReadPixels(g_video.renderer, &one, SDL_PIXELFORMAT_RGBA32, px, 4);
  return (uint32_t(px[0]) << 16) | (uint32_t(px[1]) << 8) | px[2];
}

bool SaveScreenPNG(const std::string& fileName) {
  std::vector<uint8_t> rgba = ReadScreenRGBA();
  int w = g_video.display.width, h = g_video.display.height;
  FILE* f = std::fopen(fileName.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) rows[size_t(y)] = rgba.data() + size_t(y) * w * 4;
  volatile bool ok = false;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}
