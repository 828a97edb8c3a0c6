// Shared between the display, image and collision files of the runtime.
#pragma once

#include <algorithm>

#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "runtime/internal.h"

struct TDisplay {
  int width = 640, height = 480, depth = 0, hertz = 60, flags = 0;
};

// The screen overlay over a scaled picture (runtime.h, BeginScreenOverlay),
// as what it does to the picture: along one picture row, columns x0 .. x1
// become pixel x keep + added (colour steps, 0-255).
struct OverlaySpan {
  float x0, x1;
  float keep;
  float added[3];
};
// Per picture row, its spans side by side (empty: no overlay there).
using OverlayRows = std::vector<std::vector<OverlaySpan>>;

// An image: frames of equal size, kept as RGBA bytes on the CPU (collision,
// grabs, and rebuilding the texture whenever the display is reopened), plus
// one texture holding every frame in a grid with a one-pixel border of
// repeated edge pixels around each frame, so filtering never bleeds from a
// neighbour.
struct TImage {
  std::string name;  // the file name it was loaded from, "" when made in memory
  int width = 0, height = 0, frames = 0, flags = 0;
  float handleX = 0, handleY = 0;
  std::vector<uint8_t> pixels;  // frames * width * height * 4, frame after frame
  SDL_Texture* texture = nullptr;
  int texWidth = 0, texHeight = 0;
  int gridColumns = 1;
  bool dirty = true;  // pixels changed since the texture was built
  // Per frame, the smallest rectangle holding every pixel that is not fully
  // transparent (empty when there is none): only that much is drawn.
  std::vector<SDL_Rect> opaqueBox;
  // Per frame and row, for the screen overlay: the mean alpha (0-1) and the
  // mean alpha-weighted red, green and blue (0-255); made when first needed,
  // dropped with the opaque boxes when the pixels change.
  std::vector<float> rowShades;
  // Per frame, the screen overlay a grab took with the picture (no rows when
  // it took none): the overlay lay over the scaled picture, not in the back
  // buffer, so the grabbed pixels do not hold it. Laid again wherever the
  // frame is drawn.
  std::vector<OverlayRows> heldOverlay;

  const uint8_t* Frame(int f) const { return pixels.data() + size_t(f) * width * height * 4; }
  uint8_t* Frame(int f) { return pixels.data() + size_t(f) * width * height * 4; }
  bool Opaque(int f, int x, int y) const { return Frame(f)[(size_t(y) * width + x) * 4 + 3] != 0; }
};

namespace rt {

// The display as it stands. `target` is the 640 x 480 picture everything is
// drawn into (null on the headless path, where the renderer draws straight
// into `surface`).
struct Video {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* target = nullptr;
  // Full screen: the picture enlarged by a whole factor, before filtering.
  SDL_Texture* prescaled = nullptr;
  int prescaledWidth = 0, prescaledHeight = 0;
  SDL_Surface* surface = nullptr;  // headless back buffer
  bool open = false;
  bool fullscreen = false;
  bool vsync = false;  // presents wait for the retrace, which paces the frames
  int maxTextureWidth = 0, maxTextureHeight = 0;  // 0: no limit
  TDisplay display;
};
Video& VideoState();

// True when drawing operations should touch the back buffer.
bool DrawingEnabled();

// The draw log (runtime/headless.h): true while a logger is set, and the
// event handed to it.
bool DrawLogOn();
void LogDraw(const DrawEvent& event);
// An image or grab event for this picture and frame.
DrawEvent PictureEvent(DrawEvent::Kind kind, const TImage* image, int frame, float x, float y);

// The drawing state, already clamped.
DrawState& CurrentDrawState();

// Images: every image made, so textures can be dropped before the renderer
// goes and rebuilt lazily on the next draw.
void DropAllTextures();
void FreeAllImages();
// Recomputes the opaque boxes of every frame (after the pixels change).
void UpdateOpaqueBoxes(TImage* img);
// Builds (or refreshes) the texture of an image for the current renderer.
SDL_Texture* ImageTexture(TImage* image);

// Decodes a PNG of any colour type to RGBA bytes. `hasAlpha` tells whether
// the picture carries transparency of its own (alpha channel or tRNS).
bool DecodePNG(const uint8_t* data, size_t size, std::vector<uint8_t>* rgba, int* width,
               int* height, bool* hasAlpha);

// Where a frame lands on screen: destination = position + R(rotation) *
// ((source - handle) * scale), rotation clockwise on screen (y down). Drawing
// and collision both use this one mapping.
struct Placement {
  double x, y, hx, hy, sx, sy, c, s;
  int w, h;

  Placement(const TImage* img, double px, double py, const DrawState& st)
      : x(px), y(py), hx(img->handleX), hy(img->handleY), sx(st.scaleX), sy(st.scaleY),
        w(img->width), h(img->height) {
    double rad = double(st.rotation) * std::numbers::pi / 180.0;
    c = std::cos(rad);
    s = std::sin(rad);
    // Whole quarter turns exactly, so a turned frame lands on whole pixels.
    double q = std::fmod(double(st.rotation), 90.0);
    if (q == 0.0) {
      c = std::round(c);
      s = std::round(s);
    }
  }
  bool Identity() const { return c == 1.0 && s == 0.0 && sx == 1.0 && sy == 1.0; }
  // Source point (u, v) in frame pixels to the screen.
  void ToScreen(double u, double v, double* dx, double* dy) const {
    double a = (u - hx) * sx, b = (v - hy) * sy;
    *dx = x + c * a - s * b;
    *dy = y + s * a + c * b;
  }
  // The screen pixels the source rectangle (u0, v0) - (u1, v1) can reach, with
  // a pixel to spare on every side: x0 .. x1 - 1, y0 .. y1 - 1.
  void ScreenBox(double u0, double v0, double u1, double v1, int* x0, int* y0, int* x1, int* y1) const {
    double minx = 1e300, miny = 1e300, maxx = -1e300, maxy = -1e300;
    const double corner[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    for (auto& k : corner) {
      double dx, dy;
      ToScreen(k[0], k[1], &dx, &dy);
      minx = std::min(minx, dx);
      maxx = std::max(maxx, dx);
      miny = std::min(miny, dy);
      maxy = std::max(maxy, dy);
    }
    *x0 = int(std::floor(minx)) - 1;
    *y0 = int(std::floor(miny)) - 1;
    *x1 = int(std::ceil(maxx)) + 1;
    *y1 = int(std::ceil(maxy)) + 1;
  }
  // Screen point back into the frame; false when the scale is zero.
  bool ToSource(double px, double py, double* u, double* v) const {
    if (sx == 0.0 || sy == 0.0) return false;
    double ddx = px - x, ddy = py - y;
    double a = c * ddx + s * ddy, b = -s * ddx + c * ddy;
    *u = a / sx + hx;
    *v = b / sy + hy;
    return true;
  }
};

// Quads of frames waiting to be drawn in one call (accelerated path). Any
// other drawing, read-back or texture change flushes them first.
// A filtered frame that lands exactly on whole pixels, neither turned nor
// scaled, looks the same sampled plainly, which a CPU renderer does faster.
void BatchQuad(SDL_Texture* texture, SDL_BlendMode blend, SDL_ScaleMode scale,
               const SDL_Vertex corners[4]);
void FlushBatch();

// Full screen on SDL's OpenGL renderer: draws the picture into dst on the
// window, enlarged by the whole factor with plain sampling and filtered to
// the final size, in one pass. False (nothing drawn) where that renderer or
// its shaders are missing.
bool DrawSharpScaled(SDL_Renderer* renderer, SDL_Texture* picture, int pictureWidth,
                     int pictureHeight, int factor, const SDL_Rect& dst);
// The renderer is going: its shader goes with it.
void ForgetSharpScaler();

// The screen overlay (runtime.h, BeginScreenOverlay; screenoverlay.cpp).
// Whether the picture reaches the window scaled rather than one pixel for one
// (display.cpp).
bool PictureScaledOnScreen();
// True when an open overlay over a scaled picture takes this draw instead of
// the back buffer.
bool TakenByScreenOverlay(TImage* image, int frame, const Placement& place,
                          const DrawState& state);
// Lays the overlay taken since the back buffer was last cleared over the
// picture shown at `shown` on the window, at the window's resolution.
void DrawScreenOverlay(SDL_Renderer* renderer, const SDL_Rect& shown);
// The back buffer was cleared, or the display opened or closed.
void ForgetScreenOverlay();
// A grab of the back buffer at (x, y) into this frame keeps the overlay that
// lies over that part of the picture (none where the overlay is drawn into
// the back buffer, whose pixels the grab already holds).
void HoldScreenOverlay(TImage* image, int frame, int x, int y);
// The frame, drawn plainly (neither turned nor scaled) into the back buffer,
// brings the overlay it holds over where it lands.
void LayHeldOverlay(const TImage* image, int frame, const Placement& place,
                    const DrawState& state);

// Draws a turned or scaled frame straight into the headless picture.
void SoftDrawFrame(const TImage* img, int frame, const Placement& p, const DrawState& st);

}  // namespace rt
