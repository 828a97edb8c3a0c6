// Turned and scaled frames on the headless path, drawn straight into the
// off-screen picture: every screen pixel whose centre maps back inside the
// frame takes the frame's pixel there (or the four around it, filtered),
// under the current colour, alpha and blend. This is the mapping the
// collision test uses, and the one the accelerated renderer applies to the
// same four corners.
#include <algorithm>
#include <cmath>

#include "runtime/video.h"

namespace {

// The range of t for which lo <= a + b t < hi.
void Restrict(double a, double b, double lo, double hi, double* t0, double* t1) {
  if (b == 0.0) {
    if (!(a >= lo && a < hi)) *t1 = *t0 - 1;  // empty
    return;
  }
  double p = (lo - a) / b, q = (hi - a) / b;
  if (p > q) std::swap(p, q);
  *t0 = std::max(*t0, p);
  *t1 = std::min(*t1, q);
}

inline void Sample(const TImage* img, const uint8_t* frame, double u, double v, bool filtered,
                   int out[4]) {
  int w = img->width, h = img->height;
  if (!filtered) {
    int x = std::min(int(u), w - 1), y = std::min(int(v), h - 1);
    const uint8_t* p = frame + (size_t(y) * w + x) * 4;
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
    out[3] = p[3];
    return;
  }
  double fu = u - 0.5, fv = v - 0.5;
  int x0 = int(std::floor(fu)), y0 = int(std::floor(fv));
  int wx = int((fu - x0) * 256.0), wy = int((fv - y0) * 256.0);
  int xa = std::clamp(x0, 0, w - 1), xb = std::clamp(x0 + 1, 0, w - 1);
  int ya = std::clamp(y0, 0, h - 1), yb = std::clamp(y0 + 1, 0, h - 1);
  const uint8_t* p00 = frame + (size_t(ya) * w + xa) * 4;
  const uint8_t* p10 = frame + (size_t(ya) * w + xb) * 4;
  const uint8_t* p01 = frame + (size_t(yb) * w + xa) * 4;
  const uint8_t* p11 = frame + (size_t(yb) * w + xb) * 4;
  for (int c = 0; c < 4; ++c) {
    int top = p00[c] * (256 - wx) + p10[c] * wx;
    int bottom = p01[c] * (256 - wx) + p11[c] * wx;
    out[c] = (top * (256 - wy) + bottom * wy + 32768) >> 16;
  }
}

}  // namespace

namespace rt {

void SoftDrawFrame(const TImage* img, int frame, const Placement& p, const DrawState& st) {
  Video& v = VideoState();
  SDL_Surface* dst = v.surface;
  if (!dst || p.sx == 0.0 || p.sy == 0.0) return;
  SDL_RenderFlush(v.renderer);  // what was queued before lands first

  // Screen pixels the frame can reach.
  double minx = 1e300, miny = 1e300, maxx = -1e300, maxy = -1e300;
  const double corner[4][2] = {{0, 0}, {double(p.w), 0}, {double(p.w), double(p.h)}, {0, double(p.h)}};
  for (auto& c : corner) {
    double dx, dy;
    p.ToScreen(c[0], c[1], &dx, &dy);
    minx = std::min(minx, dx);
    maxx = std::max(maxx, dx);
    miny = std::min(miny, dy);
    maxy = std::max(maxy, dy);
  }
  int y0 = std::max(0, int(std::floor(miny)) - 1), y1 = std::min(dst->h, int(std::ceil(maxy)) + 1);
  int xlo = std::max(0, int(std::floor(minx)) - 1), xhi = std::min(dst->w, int(std::ceil(maxx)) + 1);
  if (y0 >= y1 || xlo >= xhi) return;

  // u and v change by these amounts from one screen pixel to the next.
  double dudx = p.c / p.sx, dvdx = -p.s / p.sy;
  const uint8_t* src = img->Frame(frame);
  bool filtered = img->flags & IMAGE_FILTERED;
  bool light = st.blend == 4;
  int alpha = int(std::lround(st.alpha * 255.0f));
  int cr = st.red, cg = st.green, cb = st.blue;
  uint8_t* base = static_cast<uint8_t*>(dst->pixels);

  for (int y = y0; y < y1; ++y) {
    double u0 = 0, v0 = 0;
    p.ToSource(xlo + 0.5, y + 0.5, &u0, &v0);
    // Pixels xlo + t with 0 <= u < w and 0 <= v < h.
    double t0 = 0, t1 = xhi - xlo;
    Restrict(u0, dudx, 0.0, p.w, &t0, &t1);
    Restrict(v0, dvdx, 0.0, p.h, &t0, &t1);
    if (t0 >= t1) continue;
    int a = int(std::ceil(t0)), b = int(std::ceil(t1));
    a = std::max(a, 0);
    b = std::min(b, xhi - xlo);
    uint8_t* row = base + size_t(y) * dst->pitch;
    for (int t = a; t < b; ++t) {
      double u = u0 + dudx * t, vv = v0 + dvdx * t;
      // Rounding at the very edges of the span.
      if (!(u >= 0.0 && vv >= 0.0 && u < p.w && vv < p.h)) continue;
      int s[4];
      Sample(img, src, u, vv, filtered, s);
      int sa = s[3] * alpha / 255;
      if (sa == 0) continue;
      int r = s[0] * cr / 255, g = s[1] * cg / 255, bl = s[2] * cb / 255;
      uint8_t* d = row + size_t(xlo + t) * 4;
      if (light) {
        d[0] = uint8_t(std::min(255, d[0] + r * sa / 255));
        d[1] = uint8_t(std::min(255, d[1] + g * sa / 255));
        d[2] = uint8_t(std::min(255, d[2] + bl * sa / 255));
      } else {
        int keep = 255 - sa;
        d[0] = uint8_t((r * sa + d[0] * keep) / 255);
        d[1] = uint8_t((g * sa + d[1] * keep) / 255);
        d[2] = uint8_t((bl * sa + d[2] * keep) / 255);
        d[3] = uint8_t(sa + d[3] * keep / 255);
      }
    }
  }
}

}  // namespace rt
