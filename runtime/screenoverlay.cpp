// The screen overlay over a picture scaled to the screen (runtime.h,
// BeginScreenOverlay). Its draws are not drawn: each is folded into what it
// would do to every picture row, pixel x keep + added, kept in spans of
// columns (two side-by-side pictures cover one row in two spans). The present
// takes the mean of that over the picture and lays it out as even dark rows
// at the screen's resolution. A grab keeps the rows over the part it takes,
// and a draw of the grabbed picture brings them back over where it lands, so
// the grab shows its lines as a grab in a window does.
#include <algorithm>
#include <cmath>

#include "runtime/screenfit.h"
#include "runtime/video.h"

namespace {

using Span = OverlaySpan;

bool g_open = false;      // between BeginScreenOverlay and EndScreenOverlay
bool g_taking = false;    // ... over a picture scaled to the screen
// Per picture row since the back buffer was last cleared; empty when no
// draw was taken.
OverlayRows g_rows;

// The rows, made untouched when the first draw comes.
OverlayRows& Rows() {
  const TDisplay& display = rt::VideoState().display;
  if (g_rows.empty())
    g_rows.assign(size_t(display.height), {Span{0, float(display.width), 1, {0, 0, 0}}});
  return g_rows;
}

// The image's row shades (video.h, TImage::rowShades) for one frame.
const float* RowShades(TImage* image, int frame) {
  const size_t perFrame = size_t(image->height) * 4;
  if (image->rowShades.size() != perFrame * size_t(image->frames)) {
    image->rowShades.assign(perFrame * size_t(image->frames), 0.0f);
    for (int f = 0; f < image->frames; ++f) {
      const uint8_t* px = image->Frame(f);
      float* out = image->rowShades.data() + perFrame * size_t(f);
      for (int y = 0; y < image->height; ++y) {
        double sums[4] = {0, 0, 0, 0};
        for (int x = 0; x < image->width; ++x) {
          const uint8_t* p = px + (size_t(y) * image->width + x) * 4;
          const double a = p[3] / 255.0;
          sums[0] += a;
          for (int k = 0; k < 3; ++k) sums[k + 1] += a * p[k];
        }
        for (int k = 0; k < 4; ++k) out[size_t(y) * 4 + k] = float(sums[k] / image->width);
      }
    }
  }
  return image->rowShades.data() + perFrame * size_t(frame);
}

// Cuts the span holding x in two there.
void SplitAt(std::vector<Span>& spans, float x) {
  for (size_t i = 0; i < spans.size(); ++i) {
    if (spans[i].x0 < x && x < spans[i].x1) {
      Span right = spans[i];
      right.x0 = x;
      spans[i].x1 = x;
      spans.insert(spans.begin() + std::ptrdiff_t(i) + 1, right);
      return;
    }
  }
}

// One row of a draw over columns x0 .. x1: mixed in by its alpha, or added
// to what is there (light), as the back buffer would take it. The row is
// taken as its mean across, which is exact for rows of one alpha and colour
// (the scan lines).
void Fold(std::vector<Span>& spans, float x0, float x1, float alpha, const float colour[3],
          bool light) {
  SplitAt(spans, x0);
  SplitAt(spans, x1);
  for (Span& s : spans) {
    if (s.x0 < x0 || s.x1 > x1) continue;
    if (!light) s.keep *= 1.0f - alpha;
    for (int k = 0; k < 3; ++k) s.added[k] = (light ? s.added[k] : s.added[k] * (1.0f - alpha)) + colour[k];
  }
}

// One row of a grabbed picture drawn with its left edge at `left` over a
// screen row: where it lands, its own darkening takes the place of what lay
// there (exact over black, as after a clear, and for a picture drawn at full
// alpha: the two ways a grab is drawn again), and its added colour is mixed
// in by its alpha.
void LayRow(std::vector<Span>& spans, const std::vector<Span>& held, float left, float width,
            float alpha, const float mod[3], bool light) {
  for (const Span& h : held) {
    const float x0 = std::clamp(h.x0 + left, 0.0f, width);
    const float x1 = std::clamp(h.x1 + left, 0.0f, width);
    if (x0 >= x1) continue;
    SplitAt(spans, x0);
    SplitAt(spans, x1);
    for (Span& s : spans) {
      if (s.x0 < x0 || s.x1 > x1) continue;
      s.keep = h.keep;
      for (int k = 0; k < 3; ++k)
        s.added[k] = (light ? s.added[k] : s.added[k] * (1.0f - alpha)) + h.added[k] * mod[k] * alpha;
    }
  }
}

// The mean over the picture of what the taken draws do to it.
OverlayShade MeanShade(int width, int height) {
  OverlayShade shade;
  const double area = double(width) * height;
  for (const std::vector<Span>& spans : g_rows) {
    for (const Span& s : spans) {
      const double share = double(s.x1 - s.x0) / area;
      shade.darkening += share * (1.0 - s.keep);
      for (int k = 0; k < 3; ++k) shade.added[k] += share * s.added[k];
    }
  }
  return shade;
}

}  // namespace

void BeginScreenOverlay() {
  g_open = true;
  g_taking = rt::DrawingEnabled() && rt::PictureScaledOnScreen();
}

void EndScreenOverlay() { g_open = g_taking = false; }

EvenOverlay EvenOverlayFor(const OverlayShade& shade, int pictureHeight, int shownHeight) {
  EvenOverlay even;
  if (pictureHeight <= 0 || shownHeight <= 0) return even;
  const double scale = double(shownHeight) / pictureHeight;
  even.period = std::max(2, int(std::lround(2 * scale)));
  even.thickness = std::clamp(int(std::lround(scale)), 1, even.period - 1);
  int darkRows = 0;
  for (int y = even.period - even.thickness; y < shownHeight; y += even.period) {
    const int height = std::min(even.thickness, shownHeight - y);
    even.bands.push_back({y, height});
    darkRows += height;
  }
  // The dark rows carry all of the overlay's darkening (at most black).
  const double spread = darkRows > 0 ? double(shownHeight) / darkRows : 0;
  even.alpha = int(std::lround(std::min(1.0, shade.darkening * spread) * 255));
  if (even.alpha == 0) {
    even.bands.clear();
    return even;
  }
  for (int k = 0; k < 3; ++k)
    even.colour[k] = std::clamp(int(std::lround(shade.added[k] * spread * 255 / even.alpha)), 0, 255);
  return even;
}

namespace rt {

bool TakenByScreenOverlay(TImage* image, int frame, const Placement& place,
                          const DrawState& state) {
  // A turned or scaled draw is no overlay of rows: it is drawn as it is.
  if (!g_open || !g_taking || !place.Identity()) return false;
  const TDisplay& display = VideoState().display;
  const float width = float(display.width);
  OverlayRows& rows = Rows();
  const float* shades = RowShades(image, frame);
  const double left = place.x - place.hx, top = place.y - place.hy;
  const float x0 = float(std::clamp(left, 0.0, double(width)));
  const float x1 = float(std::clamp(left + image->width, 0.0, double(width)));
  if (x0 >= x1) return true;
  const float mod[3] = {state.red / 255.0f, state.green / 255.0f, state.blue / 255.0f};
  const bool light = state.blend == BlendMode::Light;
  for (int y = 0; y < display.height; ++y) {
    // The picture row whose pixels the row's centre falls in.
    const int row = int(std::floor(y + 0.5 - top));
    if (row < 0 || row >= image->height) continue;
    const float* shade = shades + size_t(row) * 4;
    const float alpha = shade[0] * state.alpha;
    if (alpha <= 0) continue;
    const float colour[3] = {shade[1] * mod[0] * state.alpha, shade[2] * mod[1] * state.alpha,
                             shade[3] * mod[2] * state.alpha};
    Fold(rows[size_t(y)], x0, x1, alpha, colour, light);
  }
  return true;
}

void HoldScreenOverlay(TImage* image, int frame, int x, int y) {
  if (image->heldOverlay.size() != size_t(image->frames)) image->heldOverlay.resize(size_t(image->frames));
  OverlayRows& held = image->heldOverlay[size_t(frame)];
  held.clear();
  if (g_rows.empty()) return;  // nothing over the picture, or all of it in the back buffer
  const float width = float(image->width);
  held.assign(size_t(image->height), {Span{0, width, 1, {0, 0, 0}}});
  for (int row = 0; row < image->height; ++row) {
    const int sy = y + row;
    if (sy < 0 || sy >= int(g_rows.size())) continue;
    std::vector<Span>& spans = held[size_t(row)];
    for (const Span& s : g_rows[size_t(sy)]) {
      const float x0 = std::clamp(s.x0 - float(x), 0.0f, width);
      const float x1 = std::clamp(s.x1 - float(x), 0.0f, width);
      if (x0 >= x1) continue;
      SplitAt(spans, x0);
      SplitAt(spans, x1);
      for (Span& mine : spans) {
        if (mine.x0 < x0 || mine.x1 > x1) continue;
        mine.keep = s.keep;
        std::copy(s.added, s.added + 3, mine.added);
      }
    }
  }
}

void LayHeldOverlay(const TImage* image, int frame, const Placement& place,
                    const DrawState& state) {
  if (size_t(frame) >= image->heldOverlay.size()) return;
  const OverlayRows& held = image->heldOverlay[size_t(frame)];
  // Turned or scaled, the grab's rows are no longer rows of the picture.
  if (held.empty() || !place.Identity() || state.alpha <= 0 || !PictureScaledOnScreen()) return;
  const TDisplay& display = VideoState().display;
  OverlayRows& rows = Rows();
  const double left = place.x - place.hx, top = place.y - place.hy;
  const float mod[3] = {state.red / 255.0f, state.green / 255.0f, state.blue / 255.0f};
  for (int y = 0; y < display.height; ++y) {
    const int row = int(std::floor(y + 0.5 - top));  // as TakenByScreenOverlay maps it
    if (row < 0 || row >= int(held.size())) continue;
    LayRow(rows[size_t(y)], held[size_t(row)], float(left), float(display.width), state.alpha,
           mod, state.blend == BlendMode::Light);
  }
}

void DrawScreenOverlay(SDL_Renderer* renderer, const SDL_Rect& shown) {
  if (g_rows.empty()) return;
  const TDisplay& display = VideoState().display;
  const EvenOverlay even =
      EvenOverlayFor(MeanShade(display.width, display.height), display.height, shown.h);
  if (even.bands.empty()) return;
  std::vector<SDL_Rect> rects;
  rects.reserve(even.bands.size());
  for (const EvenOverlay::Band& band : even.bands)
    rects.push_back(SDL_Rect{shown.x, shown.y + band.y, shown.w, band.height});
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(renderer, Uint8(even.colour[0]), Uint8(even.colour[1]),
                         Uint8(even.colour[2]), Uint8(even.alpha));
  SDL_RenderFillRects(renderer, rects.data(), int(rects.size()));
}

void ForgetScreenOverlay() { g_rows.clear(); }

}  // namespace rt
