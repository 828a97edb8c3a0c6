// The hover bike and everything that rides with it: its flames, its shots,
// its shield bubble and flash, the green alien it rescues and the shadows.
#include <cmath>

#include "art.h"

namespace pic {

namespace {

// The bike facing right in a 120 x 55 canvas. The gun's muzzle is at
// (92..115, 32..36), the engine nozzle at the tail (x 2..5, y 24..34), the
// hover pads under the hull (x 30..50 and 70..90), and the pillion seat at
// the tail where the rescued alien rides.
Canvas bikeRight() {
    Canvas b(120, 55);
    Col hullTop = rgb(200, 205, 235), hullBot = rgb(46, 38, 82);
    Paint hull = vgrad(16, 48, hullTop, hullBot);
    // hover pads and their glow
    for (float px : {30.0f, 70.0f}) {
        b.roundRect(px, 42, 20, 8, 3, vgrad(42, 50, rgb(80, 80, 110), rgb(40, 36, 60)));
        b.rect(px + 3, 48, 14, 2, rgb(120, 255, 255));
    }
    // tail fin
    b.poly({10, 24, 14, 7, 22, 6, 34, 20}, vgrad(6, 24, rgb(255, 90, 200), rgb(110, 30, 120)));
    b.line(15, 9, 22, 8, 1.2f, rgb(255, 200, 240));
    // main hull: a wedge, low and pointed at the nose
    b.poly({6, 30, 12, 22, 34, 18, 58, 22, 80, 22, 100, 28, 118, 35, 116, 38, 100, 42, 72, 46, 38, 46, 16, 41, 7, 36},
           hull);
    // belly panel, air intake and trim
    b.poly({20, 40, 38, 44, 72, 44, 96, 40, 92, 38, 70, 41, 40, 41}, hullBot);
    b.roundRect(40, 37, 20, 4, 1.5f, rgb(30, 26, 50));
    for (int i = 0; i < 4; ++i) b.rect(42 + i * 5, 38, 2, 2, rgb(90, 230, 255));
    b.line(14, 31, 112, 35.5f, 1.6f, rgb(255, 70, 200));
    b.line(30, 23, 78, 25, 1.0f, rgb(235, 240, 255));
    // engine pod at the tail with its glowing nozzle
    b.roundRect(2, 21, 26, 16, 5, vgrad(21, 37, rgb(160, 160, 200), rgb(50, 46, 80)));
    b.rect(8, 24, 14, 2, rgb(220, 225, 250));
    b.roundRect(1, 24, 5, 11, 2, rgb(90, 230, 255));
    b.rect(2, 27, 2, 5, rgb(230, 255, 255));
    // cannon pod along the nose; shots leave from its muzzle
    b.roundRect(84, 32, 32, 5, 2, vgrad(32, 37, rgb(200, 205, 225), rgb(70, 70, 96)));
    b.rect(88, 33, 16, 1, rgb(245, 245, 255));
    b.rect(112, 32, 4, 5, rgb(255, 120, 200));
    // pillion seat
    b.roundRect(22, 16, 24, 5, 2, rgb(60, 40, 80));
    // rider: leaning forward over the handlebar
    b.line(48, 31, 60, 34, 6, rgb(40, 46, 90));          // thigh
    b.line(60, 34, 64, 40, 4, rgb(40, 46, 90));          // shin
    b.line(51, 27, 58, 13, 9, vgrad(8, 30, rgb(110, 130, 220), rgb(50, 56, 120)));  // torso
    b.line(57, 15, 74, 21, 4, rgb(90, 110, 200));        // arm
    b.circle(74, 21, 2.2f, rgb(40, 40, 60));             // glove
    b.circle(62, 8, 7, vgrad(1, 15, rgb(255, 255, 255), rgb(160, 170, 210)));  // helmet
    b.poly({62, 5, 70, 6, 69, 11, 63, 10}, rgb(255, 80, 200));                // visor
    b.rect(64, 6, 4, 1, rgb(255, 210, 240));
    // windshield and handlebar
    b.poly({76, 24, 84, 12, 90, 13, 88, 26}, Col{0.25f, 0.6f, 0.7f, 0.85f});
    b.line(84, 13, 90, 14, 1, rgb(200, 255, 255));
    b.line(72, 20, 78, 24, 2, rgb(40, 40, 60));
    // nose light
    b.circle(113, 35, 1.6f, rgb(255, 255, 200));
    b.outline(pal::ink(), 1);
    return b;
}

// A squeezed copy, for the turning frames.
Canvas squeezed(const Canvas& src, float k) {
    Canvas d(src.w, src.h);
    float cx = src.w / 2.0f;
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            float sx = cx + (x + 0.5f - cx) / k;
            int ix = static_cast<int>(std::floor(sx));
            if (ix >= 0 && ix < src.w) d.put(x, y, src.get(ix, y));
        }
    return d;
}

// Flame paint: white-hot at the root, through cyan to violet at the tip.
Col flameColour(float t) {
    if (t < 0.3f) return mix(rgb(255, 255, 255), rgb(120, 240, 255), t / 0.3f);
    if (t < 0.7f) return mix(rgb(120, 240, 255), rgb(60, 110, 255), (t - 0.3f) / 0.4f);
    return mix(rgb(60, 110, 255), rgb(120, 40, 200), (t - 0.7f) / 0.3f);
}

// A horizontal flame from the root (rx, ry) pointing left, length len.
void thrustFlame(Canvas& c, float rx, float ry, float len, float half, uint32_t seed) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            float d = rx - (x + 0.5f);  // distance behind the nozzle
            if (d < -1 || d > len + 2) continue;
            float t = clamp01(d / len);
            float wob = (valueNoise(x * 0.35f, y * 0.5f, seed) - 0.5f) * 2.5f;
            float hh = half * (1 - t * t) + wob * t;
            float dy = std::fabs(y + 0.5f - ry);
            if (dy > hh) continue;
            float k = (1 - dy / std::max(hh, 0.5f)) * (1 - t * 0.6f);
            c.add(x, y, flameColour(std::max(t, dy / std::max(hh, 0.5f) * 0.6f)), clamp01(k * 1.6f));
        }
}

// A downward flame from (rx, ry), length len.
void liftFlame(Canvas& c, float rx, float ry, float len, float half, uint32_t seed) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            float d = (y + 0.5f) - ry;
            if (d < -1 || d > len + 2) continue;
            float t = clamp01(d / len);
            float wob = (valueNoise(x * 0.5f, y * 0.35f, seed) - 0.5f) * 2;
            float hh = half * (1 - t * t * 0.8f) + wob * t;
            float dx = std::fabs(x + 0.5f - rx);
            if (dx > hh) continue;
            float k = (1 - dx / std::max(hh, 0.5f)) * (1 - t * 0.7f);
            c.add(x, y, flameColour(std::max(t, dx / std::max(hh, 0.5f) * 0.6f)), clamp01(k * 1.6f));
        }
}

// The flames for a bike facing left are the mirrored right-facing ones, moved
// four pixels right: the left flames are drawn 36 pixels further right on a
// mirrored bike of width 120 inside a 124-pixel cell.
void mirrorInto(Canvas& dst, const Canvas& right, int y0) {
    Canvas m = right.mirrored();
    dst.blitRegion(m, 0, 0, 124 - 4, 61, 4, y0);
}

}  // namespace

void drawBike(Canvas& c) {
    Canvas r = bikeRight();
    Canvas l = r.mirrored();
    c.blit(l, 0, 0);                    // 0: facing left
    c.blit(squeezed(l, 0.82f), 0, 55);  // 1: turning, still mostly left
    c.blit(squeezed(r, 0.82f), 0, 110); // 2: turning, mostly right
    c.blit(r, 0, 165);                  // 3: facing right
}

void drawExhaust1(Canvas& c) {
    // The thrust flame behind the engine nozzle: the nozzle sits at x 24,
    // y 29 of a right-facing cell (the cell is drawn 22 pixels left of the bike).
    for (int f = 0; f < 8; ++f) {
        Canvas cell(124, 61);
        float len = 22 + 2 * std::sin(f * 0.785f) + (f % 2);
        thrustFlame(cell, 26, 29.5f, len, 7.5f, 100u + f);
        c.blit(cell, 0, f * 61);
        mirrorInto(c, cell, (f + 8) * 61);
    }
}

void drawExhaust2(Canvas& c) {
    // The lift flames under the two hover pads (cell drawn 22 pixels left of
    // and 4 below the bike): roots at x 62 and 102, y 46.
    for (int f = 0; f < 8; ++f) {
        Canvas cell(124, 61);
        float len = 11 + 3 * std::sin(f * 0.785f + 1) + (f % 2);
        liftFlame(cell, 62, 45, len, 7.5f, 200u + f);
        liftFlame(cell, 102, 45, len - 1 + (f % 3), 7.5f, 300u + f);
        c.blit(cell, 0, f * 61);
        mirrorInto(c, cell, (f + 8) * 61);
    }
}

void drawPlayerBullet(Canvas& c) {
    // A cyan laser bolt, the complement of the violet world it flies over:
    // a white-hot core the full length of the cell, a cyan glow either side
    // and a thin dark rim, so it shows over dark sky and pale rock alike.
    // The same picture flies both ways, so it is symmetric end to end.
    for (int x = 0; x < 23; ++x) {
        float e = std::fabs(x + 0.5f - 11.5f) / 11.5f;  // 0 mid, 1 at the ends
        // core: white, tinged cyan towards the tips
        if (e < 0.97f) c.put(x, 2, mix(rgb(255, 255, 255), rgb(150, 245, 255), smooth(0.6f, 0.97f, e)));
        // glow rows above and below the core, shorter
        if (e < 0.82f) {
            Col glow = mix(rgb(170, 250, 255), rgb(40, 200, 255), smooth(0.2f, 0.82f, e));
            c.put(x, 1, glow);
            c.put(x, 3, glow);
        } else if (e < 0.97f) {
            c.put(x, 1, rgb(20, 60, 110));
            c.put(x, 3, rgb(20, 60, 110));
        }
        // the dark rim
        if (e < 0.7f) {
            c.put(x, 0, rgb(16, 40, 90));
            c.put(x, 4, rgb(16, 40, 90));
        }
    }
}

void drawShieldFx(Canvas& c) {
    // The shield bubble: a hexagon-latticed energy shell that flares and
    // fades over eight cells. Right-facing cells 0-7; left-facing 8-15 are
    // mirrored and set three pixels lower, since they are drawn three higher.
    for (int f = 0; f < 8; ++f) {
        Canvas cell(98, 61);
        float life = f / 7.0f;
        float grow = 0.86f + 0.14f * std::min(1.0f, f / 2.0f);
        float rx = 45 * grow, ry = 25.5f * grow;
        float bright = f < 2 ? 1.0f : 1.0f - (life - 0.28f) * 1.1f;
        for (int y = 0; y < 61; ++y)
            for (int x = 0; x < 98; ++x) {
                float dx = (x + 0.5f - 49) / rx, dy = (y + 0.5f - 30.5f) / ry;
                float r = std::sqrt(dx * dx + dy * dy);
                if (r > 1.02f) continue;
                float rim = std::exp(-std::pow((1 - r) * 9, 2.0f));
                // hexagonal lattice lines, strongest near the shell's edge so
                // the bike stays visible inside
                float hx = x / 7.0f, hy = y / 6.06f;
                float gx = hx - std::floor(hx + ((static_cast<int>(std::floor(hy)) & 1) ? 0.5f : 0.0f));
                float lattice = (std::fabs(hy - std::round(hy)) < 0.09f || std::fabs(gx - 0.5f) > 0.44f) ? 1.0f : 0.0f;
                float sweep = std::exp(-std::pow((dx + 1.2f - life * 2.6f) * 3, 2.0f));
                float k = (rim + lattice * 0.6f * smooth(0.55f, 0.95f, r) + sweep * 0.5f * smooth(0.3f, 0.9f, r)) * bright;
                if (k < 0.2f) continue;  // the inside stays see-through
                cell.add(x, y, mix(rgb(70, 180, 255), rgb(255, 255, 255), clamp01(rim * 0.8f)), clamp01(k));
            }
        c.blit(cell, 0, f * 61);
        Canvas m = cell.mirrored();
        c.blitRegion(m, 0, 0, 98, 58, 0, (f + 8) * 61 + 3);
    }
}

void drawShield2(Canvas& c) {
    // The missile-strike flash: a soft glow in the shape of the bike, drawn
    // with the light blend. Cell 0 for a bike facing left, cell 1 facing right.
    Canvas r = bikeRight();
    Canvas l = r.mirrored();
    auto glowOf = [&](const Canvas& bike, int ox, int oy, int cellY) {
        const int R = 4;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x) {
                float sum = 0;
                int n = 0;
                for (int yy = -R; yy <= R; ++yy)
                    for (int xx = -R; xx <= R; ++xx) {
                        sum += bike.get(x - ox + xx, y - oy + yy).a;
                        ++n;
                    }
                float k = sum / n;
                float core = bike.get(x - ox, y - oy).a;
                k = clamp01(k * 1.4f + core * 0.3f);
                // fade out before the cell's edge
                k *= smooth(0, 4, static_cast<float>(std::min(std::min(x, 127 - x), std::min(y, 63 - y))));
                if (k > 0.01f) c.add(x, y + cellY, mix(rgb(255, 120, 60), rgb(255, 250, 230), core), k);
            }
    };
    glowOf(l, 7, 3, 0);
    glowOf(r, 5, 3, 64);
}

void drawBouncer(Canvas& c) {
    // The green alien, hopping: four cells of squash and stretch.
    const float squash[4] = {1.0f, 0.9f, 1.0f, 1.1f};
    const float blink[4] = {0, 0, 0, 1};
    for (int f = 0; f < 4; ++f) {
        Canvas a(40, 40);
        float s = squash[f];
        float bw = 10 / std::sqrt(s), bh = 9.5f * s;
        float by = 36 - bh;  // body centre; feet on y 36
        // feet
        a.ellipse(14, 36, 5, 2.5f, rgb(40, 150, 40));
        a.ellipse(26, 36, 5, 2.5f, rgb(40, 150, 40));
        // body
        a.ellipse(20, by + 2, bw, bh - 1, vgrad(by - bh, by + bh, rgb(180, 255, 120), rgb(40, 160, 50)));
        a.ellipse(20, by + 5, bw * 0.55f, bh * 0.45f, rgb(200, 255, 170));
        // arms waving
        float wave = (f % 2) ? -3.0f : 3.0f;
        a.line(20 - bw + 1, by, 20 - bw - 4, by - 5 + wave, 3, rgb(70, 200, 70));
        a.line(20 + bw - 1, by, 20 + bw + 4, by - 5 - wave, 3, rgb(70, 200, 70));
        // head with antennae
        float hy = by - bh - 3;
        a.line(15, hy - 4, 12, hy - 7.5f, 1.5f, rgb(90, 220, 90));
        a.line(25, hy - 4, 28, hy - 7.5f, 1.5f, rgb(90, 220, 90));
        a.circle(12, hy - 7.5f, 2.2f, rgb(255, 90, 210));
        a.circle(28, hy - 7.5f, 2.2f, rgb(255, 90, 210));
        a.ellipse(20, hy, 10, 8, vgrad(hy - 8, hy + 8, rgb(190, 255, 130), rgb(60, 180, 60)));
        if (blink[f] > 0) {
            a.rect(13, hy - 1, 5, 1.5f, rgb(20, 60, 20));
            a.rect(22, hy - 1, 5, 1.5f, rgb(20, 60, 20));
        } else {
            a.ellipse(15.5f, hy - 1, 3, 3.5f, rgb(255, 255, 255));
            a.ellipse(24.5f, hy - 1, 3, 3.5f, rgb(255, 255, 255));
            a.circle(16, hy - 0.5f, 1.5f, rgb(20, 20, 40));
            a.circle(25, hy - 0.5f, 1.5f, rgb(20, 20, 40));
        }
        a.ellipse(20, hy + 4.5f, 3, 1.2f, rgb(30, 90, 30));
        a.outline(rgb(10, 40, 14), 1);
        c.blit(a, f * 40, 0);
    }
}

void drawShadows(Canvas& c) {
    // Ground shadows: cell 0 is the largest and darkest (the object lowest),
    // cell 10 the smallest and faintest; the twelfth cell is never used.
    for (int i = 0; i < 12; ++i) {
        float k = i / 10.0f;
        float rx = 14 - 7 * k, ry = 4.5f - 2 * k;
        int ox = (i % 6) * 32, oy = (i / 6) * 32;
        Col col = mix(rgb(34, 22, 48), rgb(70, 52, 90), k);
        c.ellipse(ox + 16.0f, oy + 16.0f, rx, ry, col);
        c.ellipse(ox + 16.0f, oy + 16.0f, rx * 0.6f, ry * 0.6f, scale(col, 0.7f));
    }
}

}  // namespace pic
