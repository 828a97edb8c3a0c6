// Turned and scaled frames on the headless path, drawn straight into the
// off-screen picture: every screen pixel whose centre maps back inside the
// frame takes the frame's pixel there (or the four around it, filtered),
// under the current colour, alpha and blend. This is the mapping the
// collision test uses, and the one the accelerated renderer applies to the
// same four corners.
#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// Pixels as 32-bit words, bytes R, G, B, A in memory (little-endian).
inline uint32_t Load(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Mixes two pixels, weight w of 256 on b, two channels per multiply.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
  uint32_t rb = (((a & 0xFF00FFu) * (256 - w) + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
  uint32_t ga = ((((a >> 8) & 0xFF00FFu) * (256 - w) + ((b >> 8) & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
  return rb | (ga << 8);
}

// One output pixel: the sampled source colour modulated and blended. The
// back buffer stays opaque, so its alpha byte is left alone.
struct Shade {
  int mod[4];
  bool white, light;
#ifdef __SSE2__
  __m128i mod16;  // mod scaled to 0 .. 256, one per 16-bit lane
#endif

  inline void Put(uint8_t* d, uint32_t src) const {
    int sa = mod[3] == 255 ? int(src >> 24) : int(src >> 24) * mod[3] / 255;
    if (sa == 0) return;
    if (sa == 255 && white && !light) {  // an opaque pixel simply replaces
      d[0] = uint8_t(src);
      d[1] = uint8_t(src >> 8);
      d[2] = uint8_t(src >> 16);
      return;
    }
    uint32_t c = src & 0xFFFFFFu;
    if (!white) {
      uint32_t r = (c & 255) * uint32_t(mod[0]) / 255, g = ((c >> 8) & 255) * uint32_t(mod[1]) / 255,
               b = ((c >> 16) & 255) * uint32_t(mod[2]) / 255;
      c = r | (g << 8) | (b << 16);
    }
    if (light) {
      d[0] = uint8_t(std::min(255u, d[0] + (c & 255) * uint32_t(sa) / 255));
      d[1] = uint8_t(std::min(255u, d[1] + ((c >> 8) & 255) * uint32_t(sa) / 255));
      d[2] = uint8_t(std::min(255u, d[2] + ((c >> 16) & 255) * uint32_t(sa) / 255));
      return;
    }
    uint32_t w = uint32_t(sa + (sa >> 7));  // 0 .. 256
    uint32_t dv = Load(d);
    uint32_t out = Mix(dv, c | (dv & 0xFF000000u), w);
    out = (out & 0x00FFFFFFu) | (dv & 0xFF000000u);
    std::memcpy(d, &out, 4);
  }
};

#ifdef __SSE2__
// The same filtered sample and alpha blend, all four channels at once in
// 16-bit lanes: mix the rows, then the columns, modulate, blend over d.
// `pairTop` holds the top-left and top-right pixels in its low 8 bytes,
// `pairBottom` the two below them.
inline void FilteredBlendSSE2(uint8_t* d, __m128i pairTop, __m128i pairBottom, uint32_t wx,
                              uint32_t wy, const Shade& shade) {
  const __m128i zero = _mm_setzero_si128();
  __m128i top = _mm_unpacklo_epi8(pairTop, zero);
  __m128i bottom = _mm_unpacklo_epi8(pairBottom, zero);
  __m128i col = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(top, _mm_set1_epi16(short(256 - wy))),
                                             _mm_mullo_epi16(bottom, _mm_set1_epi16(short(wy)))),
                               8);
  __m128i right = _mm_srli_si128(col, 8);
  __m128i px = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(col, _mm_set1_epi16(short(256 - wx))),
                                            _mm_mullo_epi16(right, _mm_set1_epi16(short(wx)))),
                              8);
  // Colour and alpha modulation (each 0 .. 256).
  px = _mm_srli_epi16(_mm_mullo_epi16(px, shade.mod16), 8);
  int sa = _mm_extract_epi16(px, 3);
  if (sa == 0) return;
  sa += sa >> 7;
  uint32_t dv = Load(d);
  __m128i dst = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(dv)), zero);
  __m128i out = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(px, _mm_set1_epi16(short(sa))),
                                             _mm_mullo_epi16(dst, _mm_set1_epi16(short(256 - sa)))),
                               8);
  uint32_t result = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, zero)));
  result = (result & 0x00FFFFFFu) | (dv & 0xFF000000u);  // the back buffer stays opaque
  std::memcpy(d, &result, 4);
}
#endif

}  // namespace

namespace rt {

void SoftDrawFrame(const TImage* img, int frame, const Placement& p, const DrawState& st) {
  Video& v = VideoState();
  SDL_Surface* dst = v.surface;
  if (!dst || p.sx == 0.0 || p.sy == 0.0) return;
  SDL_RenderFlush(v.renderer);  // what was queued before lands first

  // Only the frame's opaque part (a pixel wider when filtered) can show.
  bool filtered = img->flags & IMAGE_FILTERED;
  const SDL_Rect box = img->opaqueBox[size_t(frame)];
  if (box.w <= 0 || box.h <= 0) return;
  int margin = filtered ? 1 : 0;
  double ulo = std::max(0, box.x - margin), vlo = std::max(0, box.y - margin);
  double uhi = std::min(p.w, box.x + box.w + margin), vhi = std::min(p.h, box.y + box.h + margin);

  // Screen pixels it can reach.
  int xlo, y0, xhi, y1;
  p.ScreenBox(ulo, vlo, uhi, vhi, &xlo, &y0, &xhi, &y1);
  xlo = std::max(0, xlo), y0 = std::max(0, y0);
  xhi = std::min(dst->w, xhi), y1 = std::min(dst->h, y1);
  if (y0 >= y1 || xlo >= xhi) return;

  // u and v change by these amounts from one screen pixel to the next.
  double dudx = p.c / p.sx, dvdx = -p.s / p.sy;
  const uint8_t* src = img->Frame(frame);
  bool light = st.blend == BlendMode::Light;
  int alpha = int(std::lround(st.alpha * 255.0f));
  uint8_t* base = static_cast<uint8_t*>(dst->pixels);

  Shade shade{{st.red, st.green, st.blue, alpha},
              st.red == 255 && st.green == 255 && st.blue == 255, light
#ifdef __SSE2__
              , _mm_setzero_si128()
#endif
  };
#ifdef __SSE2__
  auto scale256 = [](int m) { return short(m + (m >> 7)); };
  shade.mod16 = _mm_set_epi16(0, 0, 0, 0, scale256(alpha), scale256(st.blue), scale256(st.green),
                              scale256(st.red));
#endif
  const int w = img->width, h = img->height;
  for (int y = y0; y < y1; ++y) {
    double u0 = 0, v0 = 0;
    p.ToSource(xlo + 0.5, y + 0.5, &u0, &v0);
    // Pixels xlo + t whose centres map inside that part.
    double t0 = 0, t1 = xhi - xlo;
    Restrict(u0, dudx, ulo, uhi, &t0, &t1);
    Restrict(v0, dvdx, vlo, vhi, &t0, &t1);
    if (t0 >= t1) continue;
    int a = std::max(int(std::ceil(t0)), 0), b = std::min(int(std::ceil(t1)), xhi - xlo);
    // Rounding at the very ends of the span: keep only pixels truly inside.
    auto inside = [&](int t) {
      double u = u0 + dudx * t, v = v0 + dvdx * t;
      return u >= ulo && v >= vlo && u < uhi && v < vhi;
    };
    while (a < b && !inside(a)) ++a;
    while (b > a && !inside(b - 1)) --b;
    if (a >= b) continue;
    uint8_t* d = base + size_t(y) * dst->pitch + size_t(xlo + a) * 4;
    // Stepping in 16.16 fixed point from the span's first pixel.
    double ua = u0 + dudx * a, va = v0 + dvdx * a;
    if (!filtered) {
      int64_t u = int64_t(ua * 65536.0), v = int64_t(va * 65536.0);
      int64_t du = int64_t(dudx * 65536.0), dv = int64_t(dvdx * 65536.0);
      for (int t = a; t < b; ++t, d += 4, u += du, v += dv) {
        int sx = std::clamp(int(u >> 16), 0, w - 1), sy = std::clamp(int(v >> 16), 0, h - 1);
        uint32_t q = Load(src + (size_t(sy) * w + sx) * 4);
        if (q >> 24) shade.Put(d, q);
      }
      continue;
    }
    // Filtered: the four pixels around (u - 0.5, v - 0.5), edges repeated.
    int64_t u = int64_t((ua - 0.5) * 65536.0 + 65536.0 * 2), v = int64_t((va - 0.5) * 65536.0 + 65536.0 * 2);
    int64_t du = int64_t(dudx * 65536.0), dv = int64_t(dvdx * 65536.0);
    for (int t = a; t < b; ++t, d += 4, u += du, v += dv) {
      int xf = int(u >> 16) - 2, yf = int(v >> 16) - 2;  // floor, kept positive while shifting
      uint32_t wx = uint32_t((u >> 8) & 255), wy = uint32_t((v >> 8) & 255);
      int xa = xf, xb = xf + 1, ya = yf, yb = yf + 1;
#ifdef __SSE2__
      if (!shade.light && xa >= 0 && xb < w && ya >= 0 && yb < h) {
        // Inside the frame: each pair of neighbours is one 8-byte load.
        const uint8_t* q = src + (size_t(ya) * w + xa) * 4;
        __m128i top = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q));
        __m128i bottom = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q + size_t(w) * 4));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_srli_epi32(_mm_unpacklo_epi64(top, bottom), 24),
                                             _mm_setzero_si128())) == 0xFFFF)
          continue;  // all four see-through
        FilteredBlendSSE2(d, top, bottom, wx, wy, shade);
        continue;
      }
#endif
      if (xa < 0 || xb >= w || ya < 0 || yb >= h) {
        xa = std::clamp(xa, 0, w - 1);
        xb = std::clamp(xb, 0, w - 1);
        ya = std::clamp(ya, 0, h - 1);
        yb = std::clamp(yb, 0, h - 1);
      }
      uint32_t p00 = Load(src + (size_t(ya) * w + xa) * 4), p10 = Load(src + (size_t(ya) * w + xb) * 4);
      uint32_t p01 = Load(src + (size_t(yb) * w + xa) * 4), p11 = Load(src + (size_t(yb) * w + xb) * 4);
      if (((p00 | p10 | p01 | p11) >> 24) == 0) continue;  // all see-through
#ifdef __SSE2__
      if (!shade.light) {
        FilteredBlendSSE2(d, _mm_set_epi32(0, 0, int(p10), int(p00)),
                          _mm_set_epi32(0, 0, int(p11), int(p01)), wx, wy, shade);
        continue;
      }
#endif
      shade.Put(d, Mix(Mix(p00, p10, wx), Mix(p01, p11, wx), wy));
    }
  }
}

}  // namespace rt
