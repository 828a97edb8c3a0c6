// A tiny raster toolkit for drawing the game's pictures procedurally.
//
// Pixels are stored as premultiplied RGBA floats (0..1). Shapes are drawn from
// signed distance functions, which gives soft edges for free: a pixel whose
// centre lies d pixels outside a shape is covered by clamp(0.5 - d).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pic {

struct Col {
    float r = 0, g = 0, b = 0, a = 1;
};

// Colour from 0..255 components.
Col rgb(int r, int g, int b, float a = 1.0f);
Col mix(Col x, Col y, float t);
Col scale(Col c, float k);  // brighten or darken the colour, alpha unchanged

float clamp01(float v);
float smooth(float e0, float e1, float x);

// Deterministic hash noise.
uint32_t hash3(int x, int y, uint32_t seed);
float hashf(int x, int y, uint32_t seed);  // 0..1
float valueNoise(float x, float y, uint32_t seed);
// Fractal noise, 0..1; periodX > 0 makes it wrap horizontally after that many
// lattice units of the first octave.
float fbm(float x, float y, uint32_t seed, int octaves, int periodX = 0);

// A small sequential random source with a fixed seed.
struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed * 2654435761u + 0x9e3779b9u) {}
    uint32_t next();
    float uni();                 // 0..1
    float range(float a, float b);
    int irange(int a, int b);    // a..b inclusive
};

using Paint = std::function<Col(float x, float y)>;
using Sdf = std::function<float(float x, float y)>;

class Canvas {
public:
    Canvas(int w, int h);
    int w, h;
    std::vector<Col> px;  // premultiplied

    Col get(int x, int y) const;
    void put(int x, int y, Col c);          // replace
    void over(int x, int y, Col c, float coverage = 1.0f);  // source-over
    void add(int x, int y, Col c, float amount = 1.0f);     // light (additive)
    void clear();
    void erase(int x, int y, int w, int h);  // back to fully transparent

    // Generic fill of a shape given by a signed distance, within a bounding box.
    void fill(float x0, float y0, float x1, float y1, const Sdf& d, const Paint& p, bool additive = false);
    void fill(float x0, float y0, float x1, float y1, const Sdf& d, Col c, bool additive = false);

    void rect(float x, float y, float w, float h, Col c);
    void rect(float x, float y, float w, float h, const Paint& p);
    void roundRect(float x, float y, float w, float h, float r, Col c);
    void roundRect(float x, float y, float w, float h, float r, const Paint& p);
    void frame(float x, float y, float w, float h, float t, Col c);  // outline of a rectangle
    void circle(float cx, float cy, float r, Col c);
    void circle(float cx, float cy, float r, const Paint& p);
    void ring(float cx, float cy, float r, float t, Col c);
    void ellipse(float cx, float cy, float rx, float ry, Col c);
    void ellipse(float cx, float cy, float rx, float ry, const Paint& p);
    void line(float x0, float y0, float x1, float y1, float t, Col c);  // capsule of width t
    void line(float x0, float y0, float x1, float y1, float t, const Paint& p);
    void poly(const std::vector<float>& xy, Col c);
    void poly(const std::vector<float>& xy, const Paint& p);
    void glow(float cx, float cy, float r, Col c, float strength = 1.0f);  // additive soft disc

    // Bitmap lettering with the built-in 5x7 font. Each font pixel becomes an
    // s x s block. Returns the width drawn.
    int text(std::string_view s, int x, int y, int scale, Col c);
    int text(std::string_view s, int x, int y, int scale, const Paint& p);
    static int textWidth(std::string_view s, int scale);
    // Smooth big lettering: the 5x7 glyphs scaled by sc, slanted by shear
    // (pixels right per pixel up), antialiased by 4x4 supersampling.
    void bigText(std::string_view s, float x, float y, float sc, float shear, const Paint& p);
    static float bigTextWidth(std::string_view s, float sc);
    // Lettering with a one-pixel (times outline) dark outline around it.
    void textOutlined(std::string_view s, int x, int y, int scale, const Paint& p, Col outline, int outlineWidth = 1);

    // Copy another canvas in, source-over, at an offset.
    void blit(const Canvas& src, int dx, int dy);
    void blitRegion(const Canvas& src, int sx, int sy, int sw, int sh, int dx, int dy);
    // A copy mirrored left to right.
    Canvas mirrored() const;
    // Dark outline of everything opaque (alpha >= 0.5), drawn beneath it.
    void outline(Col c, int radius = 1);
};

// Signed distances.
float sdCircle(float x, float y, float cx, float cy, float r);
float sdBox(float x, float y, float cx, float cy, float hw, float hh, float r = 0);
float sdSegment(float x, float y, float ax, float ay, float bx, float by);
float sdPoly(float x, float y, const std::vector<float>& xy);

// One step of the classic EPX pixel-art enlargement: doubles a 0/1 bitmap of
// w x h while rounding off its diagonal staircases. Pixels marked in square
// (same size as src, may be null) keep all four of their corners.
std::vector<uint8_t> epx(const std::vector<uint8_t>& src, int w, int h, const std::vector<uint8_t>* square = nullptr);

// The built-in 5x7 glyph of a character (7 rows of 5 bits, bit 4 leftmost);
// nullptr if there is none.
const uint8_t* glyph5x7(char32_t ch);

// Whether the glyph's left side is a straight stem whose corners must stay
// square when it is enlarged: rounded, "d" reads as "o" and "b" as "8".
bool glyphHasSquareStem(char32_t ch);

}  // namespace pic
