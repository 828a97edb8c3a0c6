#include "raster.h"

#include <algorithm>
#include <cmath>

namespace pic {

Col rgb(int r, int g, int b, float a) {
    return Col{r / 255.0f * a, g / 255.0f * a, b / 255.0f * a, a};
}

Col mix(Col x, Col y, float t) {
    return Col{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Col scale(Col c, float k) {
    return Col{std::min(c.a, c.r * k), std::min(c.a, c.g * k), std::min(c.a, c.b * k), c.a};
}

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float smooth(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

uint32_t hash3(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2du ^ static_cast<uint32_t>(x) * 0x85ebca6bu ^ static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

float hashf(int x, int y, uint32_t seed) { return (hash3(x, y, seed) & 0xffffff) / 16777215.0f; }

static float noiseAt(int x, int y, uint32_t seed, int period) {
    if (period > 0) x = ((x % period) + period) % period;
    return hashf(x, y, seed);
}

static float valueNoiseP(float x, float y, uint32_t seed, int period) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = noiseAt(ix, iy, seed, period), b = noiseAt(ix + 1, iy, seed, period);
    float c = noiseAt(ix, iy + 1, seed, period), d = noiseAt(ix + 1, iy + 1, seed, period);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float valueNoise(float x, float y, uint32_t seed) { return valueNoiseP(x, y, seed, 0); }

float fbm(float x, float y, uint32_t seed, int octaves, int periodX) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoiseP(x, y, seed + o * 101u, periodX);
        norm += amp;
        amp *= 0.5f;
        x *= 2;
        y *= 2;
        if (periodX > 0) periodX *= 2;
    }
    return sum / norm;
}

uint32_t Rng::next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}
float Rng::uni() { return (next() & 0xffffff) / 16777216.0f; }
float Rng::range(float a, float b) { return a + (b - a) * uni(); }
int Rng::irange(int a, int b) { return a + static_cast<int>(next() % static_cast<uint32_t>(b - a + 1)); }

// ---------------------------------------------------------------------------

Canvas::Canvas(int w_, int h_) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_, Col{0, 0, 0, 0}) {}

Col Canvas::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return Col{0, 0, 0, 0};
    return px[static_cast<size_t>(y) * w + x];
}

void Canvas::put(int x, int y, Col c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    px[static_cast<size_t>(y) * w + x] = c;
}

void Canvas::over(int x, int y, Col c, float cov) {
    if (x < 0 || y < 0 || x >= w || y >= h || cov <= 0) return;
    Col& d = px[static_cast<size_t>(y) * w + x];
    float k = 1 - c.a * cov;
    d.r = c.r * cov + d.r * k;
    d.g = c.g * cov + d.g * k;
    d.b = c.b * cov + d.b * k;
    d.a = c.a * cov + d.a * k;
}

void Canvas::add(int x, int y, Col c, float amt) {
    if (x < 0 || y < 0 || x >= w || y >= h || amt <= 0) return;
    Col& d = px[static_cast<size_t>(y) * w + x];
    d.r = std::min(1.0f, d.r + c.r * amt);
    d.g = std::min(1.0f, d.g + c.g * amt);
    d.b = std::min(1.0f, d.b + c.b * amt);
    d.a = std::min(1.0f, std::max(d.a, std::max(d.r, std::max(d.g, d.b))));
}

void Canvas::erase(int x0, int y0, int ew, int eh) {
    for (int y = y0; y < y0 + eh; ++y)
        for (int x = x0; x < x0 + ew; ++x) put(x, y, Col{0, 0, 0, 0});
}

void Canvas::clear() { std::fill(px.begin(), px.end(), Col{0, 0, 0, 0}); }

void Canvas::fill(float x0, float y0, float x1, float y1, const Sdf& d, const Paint& p, bool additive) {
    int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1), iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    int ix1 = std::min(w - 1, static_cast<int>(std::ceil(x1)) + 1), iy1 = std::min(h - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            float cx = x + 0.5f, cy = y + 0.5f;
            float cov = clamp01(0.5f - d(cx, cy));
            if (cov <= 0) continue;
            if (additive)
                add(x, y, p(cx, cy), cov);
            else
                over(x, y, p(cx, cy), cov);
        }
}

void Canvas::fill(float x0, float y0, float x1, float y1, const Sdf& d, Col c, bool additive) {
    fill(x0, y0, x1, y1, d, [c](float, float) { return c; }, additive);
}

void Canvas::rect(float x, float y, float rw, float rh, Col c) {
    rect(x, y, rw, rh, [c](float, float) { return c; });
}
void Canvas::rect(float x, float y, float rw, float rh, const Paint& p) {
    // Exact pixel rectangles where the edges sit on whole pixels.
    fill(x, y, x + rw, y + rh, [=](float px_, float py_) { return sdBox(px_, py_, x + rw / 2, y + rh / 2, rw / 2, rh / 2); }, p);
}
void Canvas::roundRect(float x, float y, float rw, float rh, float r, Col c) {
    roundRect(x, y, rw, rh, r, [c](float, float) { return c; });
}
void Canvas::roundRect(float x, float y, float rw, float rh, float r, const Paint& p) {
    fill(x, y, x + rw, y + rh, [=](float px_, float py_) { return sdBox(px_, py_, x + rw / 2, y + rh / 2, rw / 2, rh / 2, r); }, p);
}
void Canvas::frame(float x, float y, float rw, float rh, float t, Col c) {
    rect(x, y, rw, t, c);
    rect(x, y + rh - t, rw, t, c);
    rect(x, y + t, t, rh - 2 * t, c);
    rect(x + rw - t, y + t, t, rh - 2 * t, c);
}
void Canvas::circle(float cx, float cy, float r, Col c) { circle(cx, cy, r, [c](float, float) { return c; }); }
void Canvas::circle(float cx, float cy, float r, const Paint& p) {
    fill(cx - r, cy - r, cx + r, cy + r, [=](float x, float y) { return sdCircle(x, y, cx, cy, r); }, p);
}
void Canvas::ring(float cx, float cy, float r, float t, Col c) {
    fill(cx - r - t, cy - r - t, cx + r + t, cy + r + t,
         [=](float x, float y) { return std::fabs(sdCircle(x, y, cx, cy, r)) - t / 2; }, c);
}
void Canvas::ellipse(float cx, float cy, float rx, float ry, Col c) {
    ellipse(cx, cy, rx, ry, [c](float, float) { return c; });
}
void Canvas::ellipse(float cx, float cy, float rx, float ry, const Paint& p) {
    // Approximate distance: scale to the unit circle and back by the smaller radius.
    float m = std::min(rx, ry);
    fill(cx - rx, cy - ry, cx + rx, cy + ry,
         [=](float x, float y) {
             float dx = (x - cx) / rx, dy = (y - cy) / ry;
             return (std::sqrt(dx * dx + dy * dy) - 1) * m;
         },
         p);
}
void Canvas::line(float x0, float y0, float x1, float y1, float t, Col c) {
    line(x0, y0, x1, y1, t, [c](float, float) { return c; });
}
void Canvas::line(float x0, float y0, float x1, float y1, float t, const Paint& c) {
    float r = t / 2;
    fill(std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r, std::max(y0, y1) + r,
         [=](float x, float y) { return sdSegment(x, y, x0, y0, x1, y1) - r; }, c);
}
void Canvas::poly(const std::vector<float>& xy, Col c) { poly(xy, [c](float, float) { return c; }); }
void Canvas::poly(const std::vector<float>& xy, const Paint& p) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    fill(x0, y0, x1, y1, [&xy](float x, float y) { return sdPoly(x, y, xy); }, p);
}
void Canvas::glow(float cx, float cy, float r, Col c, float strength) {
    int x0 = std::max(0, static_cast<int>(cx - r) - 1), x1 = std::min(w - 1, static_cast<int>(cx + r) + 1);
    int y0 = std::max(0, static_cast<int>(cy - r) - 1), y1 = std::min(h - 1, static_cast<int>(cy + r) + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float t = 1 - std::sqrt(dx * dx + dy * dy) / r;
            if (t > 0) add(x, y, c, t * t * strength);
        }
}

// ---------------------------------------------------------------------------
// Lettering

static std::u32string decode(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out.push_back(c);
        } else if ((c & 0xe0) == 0xc0 && i + 1 < s.size()) {
            out.push_back(((c & 0x1f) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3f));
            ++i;
        } else if ((c & 0xf0) == 0xe0 && i + 2 < s.size()) {
            out.push_back(((c & 0x0f) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3f) << 6) |
                          (static_cast<unsigned char>(s[i + 2]) & 0x3f));
            i += 2;
        }
    }
    return out;
}

int Canvas::textWidth(std::string_view s, int sc) {
    auto u = decode(s);
    if (u.empty()) return 0;
    return static_cast<int>(u.size()) * 6 * sc - sc;
}

int Canvas::text(std::string_view s, int x, int y, int sc, Col c) {
    return text(s, x, y, sc, [c](float, float) { return c; });
}

int Canvas::text(std::string_view s, int x, int y, int sc, const Paint& p) {
    auto u = decode(s);
    int cx = x;
    for (char32_t ch : u) {
        const uint8_t* g = glyph5x7(ch);
        if (g)
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g[row] & (0x10 >> col))
                        for (int yy = 0; yy < sc; ++yy)
                            for (int xx = 0; xx < sc; ++xx) {
                                int px_ = cx + col * sc + xx, py_ = y + row * sc + yy;
                                over(px_, py_, p(px_ + 0.5f, py_ + 0.5f));
                            }
        cx += 6 * sc;
    }
    return cx - x - sc;
}

float Canvas::bigTextWidth(std::string_view s, float sc) {
    auto u = decode(s);
    return u.empty() ? 0 : u.size() * 6 * sc - sc;
}

std::vector<uint8_t> epx(const std::vector<uint8_t>& src, int w, int h, const std::vector<uint8_t>* square) {
    auto at = [&](int x, int y) -> uint8_t { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : src[y * w + x]; };
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t p = at(x, y), a = at(x, y - 1), b = at(x + 1, y), c = at(x - 1, y), d = at(x, y + 1);
            uint8_t e1 = p, e2 = p, e3 = p, e4 = p;
            if (c == a && c != d && a != b) e1 = a;
            if (a == b && a != c && b != d) e2 = b;
            if (d == c && d != b && c != a) e3 = c;
            if (b == d && b != a && d != c) e4 = d;
            if (square && (*square)[y * w + x]) e1 = e2 = e3 = e4 = p;
            out[(2 * y) * 2 * w + 2 * x] = e1;
            out[(2 * y) * 2 * w + 2 * x + 1] = e2;
            out[(2 * y + 1) * 2 * w + 2 * x] = e3;
            out[(2 * y + 1) * 2 * w + 2 * x + 1] = e4;
        }
    return out;
}

void Canvas::bigText(std::string_view s, float x, float y, float sc, float shear, const Paint& p) {
    auto u = decode(s);
    float h = 7 * sc;
    float x1 = x + bigTextWidth(s, sc) + shear * h + 1;
    // The whole line as one bitmap (6 columns a character), smoothed twice.
    int bw = static_cast<int>(u.size()) * 6, bh = 7;
    std::vector<uint8_t> bits(static_cast<size_t>(bw) * bh, 0), square(bits.size(), 0);
    for (size_t i = 0; i < u.size(); ++i)
        if (const uint8_t* g = glyph5x7(u[i]))
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col)
                    if (g[row] & (0x10 >> col)) bits[row * bw + i * 6 + col] = 1;
                if (glyphHasSquareStem(u[i])) square[row * bw + i * 6] = 1;
            }
    bits = epx(bits, bw, bh, &square);
    std::vector<uint8_t> square2(bits.size());  // the stem, doubled
    for (int y = 0; y < bh * 2; ++y)
        for (int x = 0; x < bw * 2; ++x) square2[y * bw * 2 + x] = square[(y / 2) * bw + x / 2];
    bits = epx(bits, bw * 2, bh * 2, &square2);
    int sw = bw * 4, sh = bh * 4;
    float cell = sc / 4;
    auto bitAt = [&](float gx, float gy) {
        if (gx < 0 || gy < 0) return false;
        int col = static_cast<int>(gx / cell), row = static_cast<int>(gy / cell);
        return col < sw && row < sh && bits[row * sw + col];
    };
    for (int py = std::max(0, static_cast<int>(y)); py < std::min(this->h, static_cast<int>(y + h) + 1); ++py)
        for (int px_ = std::max(0, static_cast<int>(x)); px_ < std::min(w, static_cast<int>(x1) + 1); ++px_) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    float fx = px_ + (sx + 0.5f) / 4, fy = py + (sy + 0.5f) / 4;
                    float gy = fy - y;
                    float gx = fx - x - shear * (h - gy);
                    hits += bitAt(gx, gy);
                }
            if (hits) over(px_, py, p(px_ + 0.5f, py + 0.5f), hits / 16.0f);
        }
}

void Canvas::textOutlined(std::string_view s, int x, int y, int sc, const Paint& p, Col ol, int ow) {
    Canvas tmp(w, h);
    tmp.text(s, x, y, sc, p);
    tmp.outline(ol, ow);
    blit(tmp, 0, 0);
}

void Canvas::blit(const Canvas& src, int dx, int dy) { blitRegion(src, 0, 0, src.w, src.h, dx, dy); }

void Canvas::blitRegion(const Canvas& src, int sx, int sy, int sw, int sh, int dx, int dy) {
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
            Col c = src.get(sx + x, sy + y);
            if (c.a > 0) over(dx + x, dy + y, c);
        }
}

Canvas Canvas::mirrored() const {
    Canvas m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.put(w - 1 - x, y, get(x, y));
    return m;
}

void Canvas::outline(Col c, int radius) {
    std::vector<Col> orig = px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (orig[static_cast<size_t>(y) * w + x].a >= 0.5f) continue;
            bool near = false;
            for (int oy = -radius; oy <= radius && !near; ++oy)
                for (int ox = -radius; ox <= radius && !near; ++ox) {
                    int nx = x + ox, ny = y + oy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    if (orig[static_cast<size_t>(ny) * w + nx].a >= 0.5f) near = true;
                }
            if (near) {
                Col& d = px[static_cast<size_t>(y) * w + x];
                // outline goes beneath: d over c
                float k = 1 - d.a;
                d = Col{d.r + c.r * k, d.g + c.g * k, d.b + c.b * k, d.a + c.a * k};
            }
        }
}

// ---------------------------------------------------------------------------

float sdCircle(float x, float y, float cx, float cy, float r) {
    float dx = x - cx, dy = y - cy;
    return std::sqrt(dx * dx + dy * dy) - r;
}

float sdBox(float x, float y, float cx, float cy, float hw, float hh, float r) {
    float qx = std::fabs(x - cx) - hw + r, qy = std::fabs(y - cy) - hh + r;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float sdSegment(float x, float y, float ax, float ay, float bx, float by) {
    float pax = x - ax, pay = y - ay, bax = bx - ax, bay = by - ay;
    float len = bax * bax + bay * bay;
    float t = len > 0 ? clamp01((pax * bax + pay * bay) / len) : 0;
    float dx = pax - bax * t, dy = pay - bay * t;
    return std::sqrt(dx * dx + dy * dy);
}

float sdPoly(float x, float y, const std::vector<float>& v) {
    size_t n = v.size() / 2;
    float d = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
        d = std::min(d, sdSegment(x, y, xi, yi, xj, yj));
        if (((yi > y) != (yj > y)) && (x < (xj - xi) * (y - yi) / (yj - yi) + xi)) inside = !inside;
    }
    return inside ? -d : d;
}

// ---------------------------------------------------------------------------
// The 5x7 font. Each row is five bits, the leftmost pixel in bit 4.

namespace {
struct G {
    char32_t ch;
    uint8_t rows[7];
};
#define R(a, b, c, d, e, f, g) {a, b, c, d, e, f, g}
const G kGlyphs[] = {
    {U' ', R(0, 0, 0, 0, 0, 0, 0)},
    {U'a', R(0b01110, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001)},
    {U'b', R(0b11100, 0b10010, 0b10010, 0b11110, 0b10001, 0b10001, 0b11110)},
    {U'c', R(0b01110, 0b10001, 0b10000, 0b10000, 0b10000, 0b10001, 0b01110)},
    {U'd', R(0b11100, 0b10010, 0b10001, 0b10001, 0b10001, 0b10010, 0b11100)},
    {U'e', R(0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b11111)},
    {U'f', R(0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b10000)},
    {U'g', R(0b01110, 0b10001, 0b10000, 0b10111, 0b10001, 0b10001, 0b01111)},
    {U'h', R(0b10001, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001)},
    {U'i', R(0b01110, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110)},
    {U'j', R(0b00111, 0b00010, 0b00010, 0b00010, 0b00010, 0b10010, 0b01100)},
    {U'k', R(0b10001, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010, 0b10001)},
    {U'l', R(0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b11111)},
    {U'm', R(0b10001, 0b11011, 0b10101, 0b10101, 0b10001, 0b10001, 0b10001)},
    {U'n', R(0b10001, 0b11001, 0b10101, 0b10011, 0b10001, 0b10001, 0b10001)},
    {U'o', R(0b01110, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110)},
    {U'p', R(0b11110, 0b10001, 0b10001, 0b11110, 0b10000, 0b10000, 0b10000)},
    {U'q', R(0b01110, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110, 0b00011)},
    {U'r', R(0b11110, 0b10001, 0b10001, 0b11110, 0b10100, 0b10010, 0b10001)},
    {U's', R(0b01111, 0b10000, 0b10000, 0b01110, 0b00001, 0b00001, 0b11110)},
    {U't', R(0b11111, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100)},
    {U'u', R(0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110)},
    {U'v', R(0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100)},
    {U'w', R(0b10001, 0b10001, 0b10001, 0b10101, 0b10101, 0b10101, 0b01010)},
    {U'x', R(0b10001, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001, 0b10001)},
    {U'y', R(0b10001, 0b10001, 0b01010, 0b00100, 0b00100, 0b00100, 0b00100)},
    {U'z', R(0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b11111)},
    {U'0', R(0b01110, 0b10001, 0b10011, 0b10101, 0b11001, 0b10001, 0b01110)},
    {U'1', R(0b00100, 0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b11111)},
    {U'2', R(0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b01000, 0b11111)},
    {U'3', R(0b11111, 0b00010, 0b00100, 0b00010, 0b00001, 0b10001, 0b01110)},
    {U'4', R(0b00010, 0b00110, 0b01010, 0b10010, 0b11111, 0b00010, 0b00010)},
    {U'5', R(0b11111, 0b10000, 0b11110, 0b00001, 0b00001, 0b10001, 0b01110)},
    {U'6', R(0b00110, 0b01000, 0b10000, 0b11110, 0b10001, 0b10001, 0b01110)},
    {U'7', R(0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b01000, 0b01000)},
    {U'8', R(0b01110, 0b10001, 0b10001, 0b01110, 0b10001, 0b10001, 0b01110)},
    {U'9', R(0b01110, 0b10001, 0b10001, 0b01111, 0b00001, 0b00010, 0b01100)},
    {U'!', R(0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00000, 0b00100)},
    {U'<', R(0b00010, 0b00100, 0b01000, 0b10000, 0b01000, 0b00100, 0b00010)},
    {U'>', R(0b01000, 0b00100, 0b00010, 0b00001, 0b00010, 0b00100, 0b01000)},
    {U';', R(0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b00100, 0b01000)},
    {U'#', R(0b01010, 0b01010, 0b11111, 0b01010, 0b11111, 0b01010, 0b01010)},
    {U',', R(0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b00100, 0b01000)},
    {U'\u00a3', R(0b00110, 0b01001, 0b01000, 0b11100, 0b01000, 0b01001, 0b11110)},
    {U'+', R(0b00000, 0b00100, 0b00100, 0b11111, 0b00100, 0b00100, 0b00000)},
    {U'*', R(0b00000, 0b00100, 0b10101, 0b01110, 0b10101, 0b00100, 0b00000)},
    {U'/', R(0b00001, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b10000)},
    {U':', R(0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b01100, 0b00000)},
    {U'.', R(0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b01100)},
    {U'-', R(0b00000, 0b00000, 0b00000, 0b11111, 0b00000, 0b00000, 0b00000)},
    {U'(', R(0b00010, 0b00100, 0b01000, 0b01000, 0b01000, 0b00100, 0b00010)},
    {U')', R(0b01000, 0b00100, 0b00010, 0b00010, 0b00010, 0b00100, 0b01000)},
    {U'?', R(0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b00000, 0b00100)},
    {U'\'', R(0b00100, 0b00100, 0b01000, 0b00000, 0b00000, 0b00000, 0b00000)},
    {U'&', R(0b01100, 0b10010, 0b10100, 0b01000, 0b10101, 0b10010, 0b01101)},
    {U'=', R(0b00000, 0b00000, 0b11111, 0b00000, 0b11111, 0b00000, 0b00000)},
    {U'%', R(0b11000, 0b11001, 0b00010, 0b00100, 0b01000, 0b10011, 0b00011)},
    {U'_', R(0, 0, 0, 0, 0, 0, 0b11111)},
};
#undef R
}  // namespace

const uint8_t* glyph5x7(char32_t ch) {
    if (ch >= U'A' && ch <= U'Z') ch = ch - U'A' + U'a';
    for (const G& g : kGlyphs)
        if (g.ch == ch) return g.rows;
    return nullptr;
}

bool glyphHasSquareStem(char32_t ch) { return ch == U'b' || ch == U'd' || ch == U'B' || ch == U'D'; }

}  // namespace pic
