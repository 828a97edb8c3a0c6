// Front-end pictures: the bitmap font, the menu pictures, the message
// pictures, the scan-line overlays, the time bar and the intro's pictures.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "art.h"

namespace pic {

namespace {

// The font's characters, cell by cell.
const char* const kFontCells[60] = {
    " ", "!", "<", ">", ";", "#", "#", ",", "#", "#", "#", "#", "\u00a3", "+", "*", "/",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ":", ".", "-", "(", ")", "?", "'",
    "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q",
    "r", "s", "t", "u", "v", "w", "x", "y", "z", "&"};

// Neon lettering: a slanted gradient fill with a bright upper edge, a dark
// outline and a coloured halo.
void neonText(Canvas& c, std::string_view s, float x, float y, float sc, float shear, Col top, Col bottom, Col halo) {
    float h = 7 * sc;
    Canvas t(c.w, c.h);
    t.bigText(s, x, y, sc, shear, vgrad(y, y + h, top, bottom));
    for (int yy = static_cast<int>(y); yy < y + h && yy < c.h; ++yy)
        for (int xx = 0; xx < c.w; ++xx) {
            Col p = t.get(xx, yy);
            if (p.a > 0.5f && t.get(xx, yy - 1).a < 0.5f) t.put(xx, yy, mix(p, scale(pal::white(), p.a), 0.6f));
        }
    Canvas haloC(c.w, c.h);
    for (int yy = 0; yy < c.h; ++yy)
        for (int xx = 0; xx < c.w; ++xx)
            if (t.get(xx, yy).a > 0.5f) haloC.put(xx, yy, halo);
    haloC.outline(scale(halo, 0.55f), 2);
    haloC.outline(scale(halo, 0.25f), 2);
    t.outline(pal::ink(), 1);
    c.blit(haloC, 0, 0);
    c.blit(t, 0, 0);
}

}  // namespace

namespace {

constexpr int kGlyphW = 10, kGlyphH = 14;  // the letter itself, inside a 16 x 16 cell
constexpr int kGlyphX = 2, kGlyphY = 1;    // its place in the cell

using GlyphBits = std::vector<uint8_t>;  // kGlyphW x kGlyphH, 1 = ink

// A 5x7 letter doubled: two-pixel strokes, with the diagonals rounded by
// EPX except in the letters whose narrow counters it would close up.
GlyphBits enlargedGlyph(const char* ch) {
    GlyphBits small(5 * 7, 0);
    // the cells hold single characters; the pound sign is two bytes of UTF-8
    const unsigned char* p = reinterpret_cast<const unsigned char*>(ch);
    char32_t code = p[0] < 0x80 ? p[0] : ((p[0] & 0x1f) << 6) | (p[1] & 0x3f);
    if (const uint8_t* g = glyph5x7(code))
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col) small[row * 5 + col] = (g[row] >> (4 - col)) & 1;
    if (std::string_view("#*&mw").find(static_cast<char>(code)) == std::string_view::npos) {
        std::vector<uint8_t> stem(small.size(), 0);
        if (glyphHasSquareStem(code))
            for (int row = 0; row < 7; ++row) stem[row * 5] = small[row * 5];
        return epx(small, 5, 7, &stem);
    }
    GlyphBits doubled(kGlyphW * kGlyphH);
    for (int y = 0; y < kGlyphH; ++y)
        for (int x = 0; x < kGlyphW; ++x) doubled[y * kGlyphW + x] = small[(y / 2) * 5 + x / 2];
    return doubled;
}

// The glyph the status line shows for a shield count below zero, and the
// stand-in for characters the font lacks: a shield cracked in two.
GlyphBits brokenShieldGlyph() {
    GlyphBits bits(kGlyphW * kGlyphH, 0);
    const int S = 8;  // supersampling per axis
    // a crest: flat top, straight sides, a point at the foot
    std::vector<float> shield = {0.3f, 0.3f, 9.7f, 0.3f, 9.7f, 6.5f, 5.0f, 13.7f, 0.3f, 6.5f};
    // the crack: a zigzag from the top edge down to the point; the right
    // half has dropped a pixel
    std::vector<float> crack = {6.0f, -1.0f, 3.6f, 4.0f, 6.6f, 7.5f, 4.4f, 15.0f};
    auto crackSide = [&](float fx, float fy) {  // > 0 right of the crack
        for (size_t i = 0; i + 3 < crack.size(); i += 2)
            if (fy >= crack[i + 1] && fy <= crack[i + 3]) {
                float t = (fy - crack[i + 1]) / (crack[i + 3] - crack[i + 1]);
                return fx - (crack[i] + (crack[i + 2] - crack[i]) * t);
            }
        return fx - 5.0f;
    };
    for (int y = 0; y < kGlyphH; ++y)
        for (int x = 0; x < kGlyphW; ++x) {
            int hits = 0;
            for (int sy = 0; sy < S; ++sy)
                for (int sx = 0; sx < S; ++sx) {
                    float fx = x + (sx + 0.5f) / S, fy = y + (sy + 0.5f) / S;
                    float side = crackSide(fx, fy);
                    if (side > 0) fy -= 1;  // the dropped half
                    if (std::fabs(side) < 0.8f) continue;
                    if (sdPoly(fx, fy, shield) > 0) continue;
                    ++hits;
                }
            bits[y * kGlyphW + x] = hits * 2 > S * S;
        }
    return bits;
}

}  // namespace

void drawFont(Canvas& c) {
    // White letters with a dark rim on every side and a drop shadow to the
    // lower right, so tinted text stays readable over any picture.
    const Col rim = rgb(14, 8, 28), shadow = rgb(6, 4, 14);
    for (int n = 0; n < 60; ++n) {
        int x0 = (n % 20) * 16, y0 = (n / 20) * 16;
        GlyphBits bits = n == 12 ? brokenShieldGlyph() : enlargedGlyph(kFontCells[n]);
        auto ink = [&](int x, int y) {
            int gx = x - kGlyphX, gy = y - kGlyphY;
            return gx >= 0 && gy >= 0 && gx < kGlyphW && gy < kGlyphH && bits[gy * kGlyphW + gx];
        };
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 15; ++x) {  // the last column stays clear between letters
                if (ink(x, y)) {
                    // bright face, a touch cooler towards the foot of the letter
                    float t = (y - kGlyphY) / static_cast<float>(kGlyphH - 1);
                    c.put(x0 + x, y0 + y, mix(rgb(255, 255, 255), rgb(200, 208, 236), t * t));
                    continue;
                }
                bool nearInk = false, castShadow = false;
                for (int oy = -1; oy <= 1; ++oy)
                    for (int ox = -1; ox <= 1; ++ox) {
                        nearInk = nearInk || ink(x + ox, y + oy);
                        castShadow = castShadow || ink(x + ox - 1, y + oy - 1);  // the rim moved down and right
                    }
                if (nearInk)
                    c.put(x0 + x, y0 + y, rim);
                else if (castShadow)
                    c.put(x0 + x, y0 + y, shadow);
            }
    }
}

void drawMenuText(Canvas& c) {
    // The cursor stands at (6, 5 + 32 k) in this picture, 32 x 32; each label
    // sits beside it, centred on the cursor's row.
    static const char* const labels[6] = {"play", "options", "mission", "high scores", "credits", "exit"};
    for (int k = 0; k < 6; ++k) {
        int y = 5 + 32 * k + 16 - 10;
        neonText(c, labels[k], 50, static_cast<float>(y), 3, 0.2f, rgb(250, 250, 255), rgb(110, 220, 255), rgb(40, 110, 200));
    }
}

void drawMenuArrow(Canvas& c) {
    for (int f = 0; f < 8; ++f) {
        float y0 = f * 32.0f;
        float phase = f / 8.0f * 6.2831853f;
        float dx = 3 * std::sin(phase);
        float glowK = 0.55f + 0.45f * std::cos(phase);
        Col body = mix(rgb(255, 80, 200), rgb(255, 220, 120), glowK);
        std::vector<float> tri = {6 + dx, y0 + 5, 27 + dx, y0 + 16, 6 + dx, y0 + 27, 11 + dx, y0 + 16};
        c.poly(tri, pal::ink());
        std::vector<float> in = {8 + dx, y0 + 8, 24 + dx, y0 + 16, 8 + dx, y0 + 24, 12 + dx, y0 + 16};
        c.poly(in, vgrad(y0 + 8, y0 + 24, mix(body, pal::white(), 0.5f), body));
    }
}

void drawMenuKeys(Canvas& c) {
    // A small key hint strip in the 5x7 lettering.
    c.text("arrows move  ctrl fire  alt up", 3, 1, 1, rgb(170, 200, 255));
}

void drawMessages(Canvas& c) {
    struct M {
        const char* text;  // nullptr for an arrow
        int dir;           // arrows: +1 right, -1 left
        Col top, bottom, halo;
    };
    const Col gTop = rgb(255, 255, 210), gBot = rgb(255, 170, 40), gHalo = rgb(200, 60, 20);
    const Col cTop = rgb(235, 255, 255), cBot = rgb(60, 220, 255), cHalo = rgb(30, 80, 220);
    const Col pTop = rgb(255, 235, 255), pBot = rgb(255, 80, 200), pHalo = rgb(140, 20, 140);
    const M list[10] = {
        {"alien saved", 0, rgb(240, 255, 230), rgb(120, 255, 90), rgb(20, 130, 40)},
        {nullptr, 1, cTop, cBot, cHalo},
        {nullptr, -1, cTop, cBot, cHalo},
        {"get to craft", 0, pTop, pBot, pHalo},
        {"level done!", 0, gTop, gBot, gHalo},
        {"yeah, bonus!", 0, rgb(240, 255, 230), rgb(120, 255, 90), rgb(20, 130, 40)},
        {"no bonus!", 0, rgb(255, 230, 230), rgb(255, 70, 60), rgb(140, 20, 20)},
        {"get set....", 0, cTop, cBot, cHalo},
        {"for level", 0, cTop, cBot, cHalo},
        {"commander", 0, gTop, gBot, gHalo},
    };
    for (int i = 0; i < 10; ++i) {
        const M& m = list[i];
        int y0 = i * 48;
        Canvas cell(480, 48);
        if (m.text) {
            float sc = 5;
            float w = Canvas::bigTextWidth(m.text, sc) + 0.25f * 7 * sc;
            neonText(cell, m.text, std::floor((480 - w) / 2), 6, sc, 0.25f, m.top, m.bottom, m.halo);
        } else {
            // a broad arrow with chevrons trailing behind it
            float d = static_cast<float>(m.dir);
            float cx = 240 + d * 23.5f, cy = 24;  // centres the whole sign, chevrons included
            Canvas a(480, 48);
            for (int t = 0; t < 3; ++t) {
                float ox = -80.0f - 34 * t;
                std::vector<float> chev = {cx + d * (ox + 14), cy, cx + d * ox, cy - 15, cx + d * (ox - 9), cy - 15,
                                           cx + d * (ox + 5), cy, cx + d * (ox - 9), cy + 15, cx + d * ox, cy + 15};
                a.poly(chev, scale(m.bottom, 0.9f - 0.25f * t));
            }
            std::vector<float> pts = {cx + d * 110, cy,      cx + d * 62,  cy - 19, cx + d * 62,  cy - 8,
                                      cx + d * -55, cy - 8,  cx + d * -55, cy + 8,  cx + d * 62,  cy + 8,
                                      cx + d * 62,  cy + 19};
            a.poly(pts, vgrad(cy - 19, cy + 19, m.top, m.bottom));
            Canvas haloC(480, 48);
            for (int yy = 0; yy < 48; ++yy)
                for (int xx = 0; xx < 480; ++xx)
                    if (a.get(xx, yy).a > 0.5f) haloC.put(xx, yy, m.halo);
            haloC.outline(scale(m.halo, 0.5f), 2);
            a.outline(pal::ink(), 1);
            cell.blit(haloC, 0, 0);
            cell.blit(a, 0, 0);
        }
        c.blit(cell, 0, y0);
    }
}

void drawScanlines1(Canvas& c) {
    // Every second row a faint dark line; even heights tile seamlessly.
    for (int y = 1; y < c.h; y += 2) c.rect(0, static_cast<float>(y), static_cast<float>(c.w), 1, rgb(0, 0, 8, 0.28f));
}

void drawScanlines2(Canvas& c) { drawScanlines1(c); }

void drawTimebar(Canvas& c) {
    // A panel across the top of the screen, with a slot at (126, 8), 500 x 16,
    // into which the game stretches the time-left bar.
    c.roundRect(2, 2, 636, 28, 6, vgrad(2, 30, rgb(70, 60, 110), rgb(28, 22, 50)));
    c.roundRect(3, 3, 634, 2, 1, rgb(150, 140, 210));
    c.text("time", 20, 9, 2, vgrad(9, 23, rgb(255, 255, 255), rgb(120, 230, 255)));
    c.frame(122, 5, 508, 22, 2, rgb(90, 200, 255));
    c.frame(124, 7, 504, 18, 1, rgb(20, 16, 36));
    c.erase(126, 8, 500, 16);  // the slot itself stays see-through
    c.put(125, 7, rgb(20, 16, 36));
    for (int i = 0; i <= 10; ++i) c.rect(126 + i * 50 - (i == 10 ? 1 : 0), 25, 1, 2, rgb(150, 220, 255));
}

void drawTimebar2(Canvas& c) {
    for (int y = 0; y < 16; ++y) {
        float t = y / 15.0f;
        float k = 1 - std::fabs(t - 0.35f) * 1.2f;
        c.put(0, y, mix(rgb(20, 120, 90), rgb(150, 255, 200), clamp01(k)));
    }
}

void drawMenuTitle(Canvas& c) {
    // "NOVAQUAD" in slanted chrome letters with a neon rim. The name-entry
    // screen turns its wheel of letters in an arch across the top of this
    // picture (drawn at 144, 22); the title sits under that arch, centred
    // on the wheel, so no letter of the wheel ever crosses it.
    const char* title = "novaquad";
    const float sc = 6.0f, shear = 0.22f, h = 7 * sc;
    const float centreX = 167;  // the wheel's middle, in this picture
    float w = Canvas::bigTextWidth(title, sc) + shear * h;
    float x = std::floor(centreX - w / 2), y = 44;
    Canvas t(c.w, c.h);
    t.bigText(title, x, y, sc, shear, [&](float, float yy) {
        float v = (yy - y) / h;
        if (v < 0.52f) return mix(rgb(255, 255, 255), rgb(110, 190, 255), v / 0.52f);
        return mix(rgb(255, 110, 210), rgb(110, 20, 140), (v - 0.52f) / 0.48f);
    });
    for (int yy = 0; yy < c.h; ++yy)
        for (int xx = 0; xx < c.w; ++xx) {
            Col p = t.get(xx, yy);
            if (p.a < 0.5f) continue;
            if (t.get(xx, yy - 1).a < 0.5f) t.put(xx, yy, scale(pal::white(), p.a));
            float ry = yy - y - h * 0.52f;
            if (ry >= 0 && ry < 1.5f) t.put(xx, yy, scale(rgb(40, 16, 70), p.a));
        }
    Canvas halo(c.w, c.h);
    for (int yy = 0; yy < c.h; ++yy)
        for (int xx = 0; xx < c.w; ++xx)
            if (t.get(xx, yy).a > 0.5f) halo.put(xx, yy, rgb(255, 60, 200));
    halo.outline(rgb(170, 30, 150), 1);
    halo.outline(rgb(80, 16, 90), 2);
    t.outline(rgb(20, 10, 40), 2);
    c.blit(halo, 3, 3);
    c.blit(t, 0, 0);
    // a thin neon underline with a gleam
    c.rect(x + 10, y + h + 10, w - 20, 2, hgrad(x, x + w, rgb(60, 200, 255), rgb(255, 80, 210)));
    c.glow(x + w * 0.7f, y + h + 11, 12, Col{0.8f, 0.8f, 1.0f, 1.0f}, 0.9f);
}

void drawLogo2(Canvas& c) {
    float sc = 6;
    const char* s = "novaquad";
    float w = Canvas::bigTextWidth(s, sc) + 0.25f * 7 * sc;
    neonText(c, s, std::floor((c.w - w) / 2), 8, sc, 0.25f, rgb(255, 255, 255), rgb(90, 210, 255), rgb(30, 80, 200));
    const char* sub = "a hover bike adventure";
    int w2 = Canvas::textWidth(sub, 2);
    c.text(sub, (c.w - w2) / 2, 60, 2, rgb(255, 120, 210));
}

void drawArrow(Canvas& c) {
    // A downward arrow over the name wheel's selected symbol (RGBA).
    std::vector<float> outer = {16, 41, 1, 22, 9, 22, 9, 1, 23, 1, 23, 22, 31, 22};
    c.poly(outer, rgb(20, 10, 40));
    std::vector<float> inner = {16, 38, 4.5f, 24, 11, 24, 11, 3, 21, 3, 21, 24, 27.5f, 24};
    c.poly(inner, vgrad(3, 38, rgb(255, 255, 255), rgb(255, 60, 60)));
    c.rect(13, 5, 2, 18, rgb(255, 255, 255, 0.7f));
}

// ---------------------------------------------------------------------------
// The intro: a dark workshop; a lamp switches on over a desk and its monitor
// starts to glow. The pictures are drawn light so the intro can tint them.

namespace {

// The intro's room is lit by one lamp hanging over the desk, at (64, 20) of
// the lamp's picture, which the intro draws 2 pixels left of and 47 above
// the desk's. How much of its light reaches a point of the lamp's picture:
// full under the lamp, falling off with distance and to nothing at the
// picture's edges, so the room fades into the dark all round.
float lampLight(float x, float y) {
    float d = std::hypot((x - 64) * 0.9f, (y - 20) * 0.8f);
    float fall = std::pow(clamp01(1.2f - d / 110), 1.3f);
    float edge = smooth(0, 22, std::min(x, 128 - x)) * smooth(0, 12, 128 - y) * smooth(0, 10, y);
    return fall * edge;
}

// The wall's paper: warm, without blue (the intro tints the lamp's picture
// yellow, so the wall above the desk must match it), in faint stripes.
Col wallpaper(float x, float y) {
    int stripe = static_cast<int>(std::floor(x / 6)) % 2;
    float grain = (hashf(static_cast<int>(x), static_cast<int>(y), 3100) - 0.5f) * 0.06f;
    return stripe ? rgb(104, 82, 26) : mix(rgb(92, 72, 22), rgb(104, 82, 26), 0.5f + grain);
}

}  // namespace

void drawIntro1(Canvas& c) {
    // The corner of a room at night, seen under the lamp: striped wallpaper,
    // a window onto the stars and a ringed planet, a shelf of books, the desk
    // with its old monitor, a mug and papers, a chair pushed back, and the
    // floorboards, all fading into the dark beyond the lamp's reach. The
    // monitor's screen (50..74, 3..19) is where the intro lays its glowing
    // screen picture.
    c.fill(0, 0, 118, 57, [](float, float) { return -1.0f; }, [](float x, float y) { return wallpaper(x, y); });
    // the window: night sky, stars, the planet
    c.rect(5, 4, 30, 30, rgb(128, 100, 64));
    c.rect(7, 6, 26, 26, vgrad(6, 32, rgb(12, 16, 48), rgb(40, 28, 78)));
    for (int k = 0; k < 14; ++k) {
        int sx = 8 + static_cast<int>(hashf(k, 1, 3200) * 24), sy = 7 + static_cast<int>(hashf(k, 2, 3200) * 24);
        c.put(sx, sy, hashf(k, 3, 3200) > 0.5f ? rgb(230, 230, 255) : rgb(150, 150, 200));
    }
    c.circle(25, 13, 3.5f, vgrad(9, 17, rgb(120, 220, 230), rgb(40, 110, 150)));
    c.fill(18, 10, 33, 17, [](float x, float y) {
        float dx = (x - 25) / 6.5f, dy = (y - 13.5f) / 1.6f;
        float r = std::sqrt(dx * dx + dy * dy);
        return (std::fabs(r - 1) - 0.18f) * 4 + (y < 13.2f && std::fabs(x - 25) < 3.4f ? 5.0f : 0.0f);
    }, rgb(220, 170, 220));
    c.rect(19, 6, 2, 26, rgb(128, 100, 64));
    c.rect(7, 18, 26, 2, rgb(128, 100, 64));
    c.rect(4, 34, 32, 2, rgb(150, 122, 82));  // the sill
    // a shelf of books and a plant
    c.rect(88, 16, 28, 2, rgb(120, 90, 56));
    const int bookH[7] = {10, 8, 11, 9, 7, 10, 8};
    const Col bookC[7] = {rgb(150, 50, 40), rgb(60, 100, 140), rgb(190, 160, 60), rgb(70, 120, 70),
                          rgb(140, 80, 120), rgb(170, 110, 50), rgb(80, 80, 110)};
    for (int k = 0; k < 7; ++k) c.rect(89 + k * 3.0f, 16.0f - bookH[k], 3, static_cast<float>(bookH[k]), bookC[k]);
    c.rect(110, 11, 5, 5, rgb(150, 80, 50));
    c.circle(112.5f, 8, 3.2f, rgb(70, 140, 60));
    // the skirting board and the floor under the desk
    c.rect(0, 62, 118, 2, rgb(70, 54, 34));
    c.rect(0, 64, 118, 10, vgrad(64, 74, rgb(96, 68, 40), rgb(60, 42, 26)));
    for (int k = 0; k < 6; ++k) c.rect(0, 66.0f + k * 2, 118, 1, rgb(70, 50, 30));
    // the desk
    c.rect(0, 50, 118, 7, vgrad(50, 57, rgb(170, 140, 110), rgb(110, 84, 60)));
    c.rect(6, 57, 6, 17, rgb(90, 70, 52));
    c.rect(106, 57, 6, 17, rgb(90, 70, 52));
    c.rect(70, 57, 34, 14, rgb(120, 94, 70));
    c.rect(72, 60, 30, 1, rgb(80, 60, 45));
    c.rect(84, 63, 6, 2, rgb(200, 190, 160));
    // a chair pushed back from the desk
    c.roundRect(28, 58, 22, 14, 3, rgb(64, 52, 60));
    c.rect(37, 72, 4, 2, rgb(50, 40, 46));
    // monitor
    c.roundRect(42, 0, 40, 36, 4, vgrad(0, 36, rgb(200, 196, 186), rgb(140, 136, 128)));
    c.rect(48, 2, 28, 20, rgb(30, 34, 40));
    c.rect(50, 3, 24, 16, rgb(44, 52, 60));
    c.rect(56, 36, 12, 6, rgb(150, 146, 138));
    c.roundRect(48, 41, 28, 4, 2, rgb(170, 166, 156));
    c.circle(76, 30, 1.5f, rgb(120, 255, 120));
    // keyboard
    c.poly({34, 49, 40, 44, 86, 44, 92, 49}, rgb(190, 186, 176));
    for (int k = 0; k < 9; ++k) c.rect(40 + k * 5.5f, 45.5f, 4, 1, rgb(120, 116, 110));
    // a mug and a stack of papers
    c.roundRect(10, 38, 9, 12, 2, rgb(200, 80, 70));
    c.ring(21, 43, 3, 1.5f, rgb(200, 80, 70));
    c.rect(92, 44, 20, 6, rgb(230, 226, 210));
    c.rect(94, 42, 18, 2, rgb(210, 206, 190));
    // the lamp's light over all of it; what it does not reach stays dark,
    // and the very corners see-through
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            Col p = c.get(x, y);
            if (p.a <= 0) continue;
            bool screen = x >= 50 && x < 74 && y >= 3 && y < 19;  // lit by itself
            float l = lampLight(x + 2.0f, y + 47.0f);
            if (!screen && l < 0.02f) {
                c.put(x, y, Col{0, 0, 0, 0});
                continue;
            }
            float k = screen ? 1.0f : 0.12f + 0.88f * l;
            c.put(x, y, Col{p.r * k, p.g * k, p.b * k, p.a});
        }
}

void drawIntro2(Canvas& c) {
    // The monitor's screen, lit: a prompt and lines of text.
    c.rect(0, 0, 24, 16, rgb(60, 90, 100));
    for (int l = 0; l < 4; ++l) {
        int len = (l * 7 + 9) % 17 + 4;
        c.rect(2, 2 + l * 3, static_cast<float>(len), 1, rgb(220, 255, 255));
    }
    c.rect(2, 13, 3, 1, rgb(255, 255, 255));
    c.rect(6, 13, 1, 1, rgb(255, 255, 255));
}

void drawIntro3a(Canvas& c) {
    // The lamp's cone of light, soft and translucent, widening downwards,
    // and round the desk's picture the rest of the room under the lamp: the
    // wall up to the ceiling and out to the sides, fading into the dark.
    // Where the desk's picture lies (2..119, 47..120) only the light is
    // drawn, so the desk shows through it.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            Col wall{0, 0, 0, 0};
            bool desk = x >= 2 && x < 120 && y >= 47 && y < 121;
            float l = lampLight(x + 0.5f, y + 0.5f);
            if (!desk && l > 0.01f) {
                Col w = y < 4 ? rgb(70, 56, 20) : wallpaper(static_cast<float>(x - 2), static_cast<float>(y - 47));
                float k = 0.12f + 0.88f * l;
                float a = clamp01(l * 4);
                wall = Col{w.r * k * a, w.g * k * a, w.b * k * a, a};
            }
            float fy = (y - 14) / 114.0f;
            float cone = 0;
            if (fy >= 0) {
                float half = 10 + fy * 54;
                float dx = std::fabs(x + 0.5f - 64) / half;
                if (dx < 1) cone = (1 - dx * dx) * (0.55f - 0.35f * fy) * smooth(0, 0.08f, fy);
            }
            Col light{cone, cone * 0.96f, cone * 0.8f, cone};
            // the light over the wall
            Col p{light.r + wall.r * (1 - light.a), light.g + wall.g * (1 - light.a), light.b + wall.b * (1 - light.a),
                  light.a + wall.a * (1 - light.a)};
            if (p.a > 0) c.put(x, y, p);
        }
}

void drawIntro3b(Canvas& c) {
    // The lamp itself: a cord from the ceiling and a conical shade with its bulb.
    c.rect(63, 0, 2, 6, rgb(150, 150, 150));
    c.poly({54, 18, 58, 6, 70, 6, 74, 18}, vgrad(6, 18, rgb(230, 230, 220), rgb(160, 160, 150)));
    c.rect(54, 17, 20, 2, rgb(120, 120, 112));
    c.ellipse(64, 20, 6, 3, rgb(255, 255, 240));
    c.glow(64, 20, 16, Col{0.5f, 0.5f, 0.45f, 0.5f}, 1.0f);
}

}  // namespace pic
