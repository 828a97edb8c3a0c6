// Light effects, drawn by the game with the light (additive) blend: the
// explosions, the puffs, the lunar module's exhaust and the landing beam.
#include <algorithm>
#include <cmath>
#include <vector>

#include "art.h"

namespace pic {

namespace {

constexpr float kPi = 3.14159265f;

// Heat ramp: 0 dark red, through orange and yellow, to white at 1.
Col fire(float h) {
    h = clamp01(h);
    if (h < 0.3f) return mix(rgb(60, 6, 20), rgb(220, 50, 20), h / 0.3f);
    if (h < 0.6f) return mix(rgb(220, 50, 20), rgb(255, 170, 40), (h - 0.3f) / 0.3f);
    if (h < 0.85f) return mix(rgb(255, 170, 40), rgb(255, 245, 160), (h - 0.6f) / 0.25f);
    return mix(rgb(255, 245, 160), rgb(255, 255, 255), (h - 0.85f) / 0.15f);
}

// Plasma ramp for the bursts of destroyed guns and of the bike at game over:
// deep blue, electric blue, ice, white. Neither violet like the planet nor
// pink like the enemies' shots.
Col plasma(float h) {
    h = clamp01(h);
    if (h < 0.35f) return mix(rgb(8, 16, 70), rgb(40, 110, 255), h / 0.35f);
    if (h < 0.7f) return mix(rgb(40, 110, 255), rgb(130, 225, 255), (h - 0.35f) / 0.35f);
    return mix(rgb(130, 225, 255), rgb(255, 255, 255), (h - 0.7f) / 0.3f);
}

// Smoke left behind by a blast: a few flat greys, the lightest first. The
// game adds the picture onto the screen, so smoke is a dim haze that greys
// whatever lies behind it.
struct SmokeTones {
    Col light, mid, dark;
};
const SmokeTones kFireSmoke{rgb(104, 92, 90), rgb(72, 64, 66), rgb(44, 40, 44)};
const SmokeTones kPlasmaSmoke{rgb(84, 94, 112), rgb(58, 66, 82), rgb(36, 42, 54)};

// A spark or ember's place at stage t: flung out fast, slowing in the
// air, and (for heavy bits) dropping as it goes.
struct Flight {
    float angle, reach, drop;
};

float flightX(const Flight& f, float t) { return std::cos(f.angle) * f.reach * (1 - std::exp(-4 * t)) / (1 - std::exp(-4.0f)); }
float flightY(const Flight& f, float t) {
    return std::sin(f.angle) * f.reach * (1 - std::exp(-4 * t)) / (1 - std::exp(-4.0f)) + f.drop * t * t;
}

// The ramp cut into a few flat steps: the blast keeps to these colours
// rather than airbrushing between them.
Col stepped(Col (*ramp)(float), float h) {
    constexpr float kSteps = 6;
    return ramp(std::floor(clamp01(h) * kSteps + 0.5f) / kSteps);
}

// Lights the pixels along a streak from its tail (x0, y0) to its head
// (x1, y1), one pixel wide, hottest at the head.
void streak(Canvas& b, float x0, float y0, float x1, float y1, float heat, Col (*ramp)(float)) {
    float len = std::hypot(x1 - x0, y1 - y0);
    int n = std::max(1, static_cast<int>(len * 2));
    int lastX = -1, lastY = -1;
    for (int i = 0; i <= n; ++i) {
        float u = static_cast<float>(i) / n;  // 0 tail .. 1 head
        int x = static_cast<int>(std::floor(x0 + (x1 - x0) * u)), y = static_cast<int>(std::floor(y0 + (y1 - y0) * u));
        if (x == lastX && y == lastY) continue;
        lastX = x, lastY = y;
        b.add(x, y, stepped(ramp, heat * (0.45f + 0.55f * u)));
    }
}

// One blast at stage t (0 start, 1 gone) centred in a size x size cell,
// in pixel-art steps of a hot ramp. It opens with a white flash and a
// fireball that fills most of the cell within three frames, wrapped in a
// thick shock ring; the fireball tears into clusters of burning matter that
// fly apart, cool and wink out, with sparks streaking out and debris
// falling away; and from the middle of the blast on, billows of smoke rise
// and spread where the fire was, thinning to a last wisp by the end.
// Everything stays clear of the cell's edge.
void blast(Canvas& c, int ox, int oy, int size, float t, uint32_t seed, Col (*ramp)(float), float ringK,
           const SmokeTones& smoke) {
    const float maxR = size * 0.38f;
    Canvas b(size, size);  // drawn in the cell's own coordinates, then faded at the border
    const float bx = size / 2.0f, by = size / 2.0f;
    const size_t n = static_cast<size_t>(size) * size;
    // The smoke: billows that start in the fireball, rise, swell and thin.
    std::vector<float> smog(n, 0);
    if (t > 0.3f) {
        float u = (t - 0.3f) / 0.7f;  // 0 when the smoke starts, 1 at the end
        Rng srng(seed * 31 + 3);
        for (int k = 0; k < 9; ++k) {
            float ang = srng.range(0, 2 * kPi), out = srng.range(2, 12), r0 = srng.range(7, 11);
            float rise = srng.range(4, 9), born = srng.range(0, 0.25f);
            if (u < born) continue;
            float v = (u - born) / (1 - born);
            float px = bx + std::cos(ang) * out * (0.6f + 0.6f * v), py = by + std::sin(ang) * out * 0.7f - rise * v;
            float rad = r0 * (0.8f + 0.6f * v);
            float thick = 2.2f * std::pow(1 - v, 1.3f) + 0.3f * (1 - v) + 0.12f;  // a last wisp stays to the end
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    float d = std::hypot(x + 0.5f - px, y + 0.5f - py);
                    if (d >= rad * 1.3f) continue;
                    float nz = fbm(x * 0.16f + k * 3.1f, y * 0.16f + v * 1.5f, seed + 40 + k, 3);
                    float dens = (1 - d / (rad * (0.75f + 0.55f * nz))) * thick;
                    float& s = smog[static_cast<size_t>(y) * size + x];
                    s = std::max(s, dens);
                }
        }
    }
    // The fireball: a flash of white at once, filling most of the cell in
    // three frames, burning down and tearing open into the burst.
    std::vector<float> heat(n, 0);
    if (t < 0.62f) {
        float r = maxR * (0.45f + 0.55f * (1 - std::exp(-t * 12)));
        float heat0 = 1.3f - t * 1.5f;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                float dx = x + 0.5f - bx, dy = y + 0.5f - by;
                float d = std::sqrt(dx * dx + dy * dy);
                float nz = fbm(x * 0.12f, y * 0.12f + t * 2.5f, seed, 4);
                float k = 1 - d / (r * (0.72f + 0.42f * nz));
                if (t > 0.28f) k -= (t - 0.28f) * 3.4f * (1 - nz);  // tearing open
                if (k <= 0) continue;
                float h = (0.3f + 0.7f * k) * heat0 + (nz - 0.5f) * 0.45f;
                // the core stays white-hot for the first frames
                h += std::max(0.0f, 0.5f - t * 2) * std::exp(-d * d / 40);
                if (h > 0.1f) heat[static_cast<size_t>(y) * size + x] = h;
            }
    }
    // the burst: clusters of burning matter thrown out from the fireball,
    // each a hard-edged clump that shrinks and cools as it flies, and
    // winks out at its own moment
    Rng prng(seed * 13 + 5);
    for (int i = 0; i < 40; ++i) {
        float ang = prng.range(0, 2 * kPi), reach = prng.range(7, 25), size0 = prng.range(1.6f, 3.8f);
        float hot = prng.range(0.75f, 1.15f), sag = prng.range(-2, 5), dies = prng.range(0.45f, 0.85f);
        if (t < 0.3f) continue;
        float u = (t - 0.3f) / 0.7f;  // 0 when the fireball bursts, 1 at the end
        if (u > dies) continue;
        float out = reach * (0.35f + 0.65f * (1 - std::exp(-3 * u)) / (1 - std::exp(-3.0f)));
        float px = bx + std::cos(ang) * out, py = by + std::sin(ang) * out + sag * u * u;
        float rad = size0 * (1 - 0.65f * u);
        float h0 = hot * (1 - 0.75f * u);
        for (int y = static_cast<int>(py - rad) - 1; y <= static_cast<int>(py + rad) + 1; ++y)
            for (int x = static_cast<int>(px - rad) - 1; x <= static_cast<int>(px + rad) + 1; ++x) {
                if (x < 0 || y < 0 || x >= size || y >= size) continue;
                float d = std::hypot(x + 0.5f - px, y + 0.5f - py);
                if (d > rad) continue;
                float& cell = heat[static_cast<size_t>(y) * size + x];
                cell = std::max(cell, h0 * (1 - 0.35f * d / rad));
            }
    }
    // fire over smoke: each pixel shows one flat step of one or the other
    const std::vector<Col> smokeRamp = {Col{0, 0, 0, 0}, smoke.dark, smoke.mid, smoke.light};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            size_t i = static_cast<size_t>(y) * size + x;
            if (heat[i] > 0.1f) {
                b.put(x, y, stepped(ramp, heat[i]));
            } else if (smog[i] > 0.02f) {
                Col sc = dither(smokeRamp, std::min(1.0f, smog[i]), x, y);
                if (sc.a > 0) b.put(x, y, sc);
            }
        }
    // the first flash: a white-hot centre and flare rays
    if (t < 0.25f) {
        float f = 1 - t / 0.25f;
        b.glow(bx, by, 10 + 12 * t, rgb(255, 255, 255), 1.6f * f);
        for (int k = 0; k < 6; ++k) {
            float ang = k * kPi / 3 + 0.3f;
            float len = (16 + 12 * t / 0.25f) * (k % 2 ? 0.65f : 1.0f);
            streak(b, bx + std::cos(ang) * len, by + std::sin(ang) * len, bx, by, f, ramp);
        }
    }
    // the shock ring: a thick hard band in a hot colour, its inner edge the
    // hottest, thinning and cooling as it spreads to the cell's rim
    if (ringK > 0 && t < 0.34f) {
        float rr = 13 + 14.5f * std::sqrt(t / 0.3f);
        float width = 3.2f - 1.8f * t / 0.34f;
        Col outer = stepped(ramp, ringK * (0.8f - 0.4f * t / 0.34f));
        Col inner = stepped(ramp, ringK * (1.05f - 0.4f * t / 0.34f));
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                float d = sdCircle(x + 0.5f, y + 0.5f, bx, by, rr);
                if (d > 0 || d < -width) continue;
                if (heat[static_cast<size_t>(y) * size + x] > 0.95f) continue;  // lost in the white of the fireball
                b.put(x, y, d > -width * 0.45f ? outer : inner);
            }
    }
    // sparks: bright streaks flying straight out; the long-lived ones
    // trail through the burst to its end
    Rng rng(seed * 7 + 1);
    for (int s = 0; s < 16; ++s) {
        Flight fl{rng.range(0, 2 * kPi), rng.range(18, 27), rng.range(0, 4)};
        float life = rng.range(0.45f, 0.9f);
        if (t > life) continue;
        float f = 1 - 0.6f * t / life;
        float x1 = bx + flightX(fl, t), y1 = by + flightY(fl, t);
        float tail = std::max(0.0f, t - 0.16f);
        streak(b, bx + flightX(fl, tail), by + flightY(fl, tail), x1, y1, f, ramp);
        b.put(static_cast<int>(std::floor(x1)), static_cast<int>(std::floor(y1)), rgb(255, 255, 255));
    }
    // debris: glowing chunks thrown up and falling away, tumbling
    for (int s = 0; s < 8; ++s) {
        Flight fl{rng.range(kPi * 1.1f, kPi * 1.9f), rng.range(12, 22), rng.range(10, 16)};
        if (t < 0.06f || t > 0.9f) continue;
        float x = bx + flightX(fl, t), y = by + flightY(fl, t);
        int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        bool wide = static_cast<int>(t * 9 + s) % 2 == 0;  // tumbling: a 2 x 1 chunk, then a 1 x 2
        b.put(ix, iy, stepped(ramp, 0.95f - t * 0.3f));
        b.put(ix + (wide ? 1 : 0), iy + (wide ? 0 : 1), stepped(ramp, 0.8f - t * 0.5f));
    }
    // nothing reaches the cell's edge
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Col& p = b.px[static_cast<size_t>(y) * size + x];
            if (p.a <= 0) continue;
            int bd = std::min(std::min(x, size - 1 - x), std::min(y, size - 1 - y));
            if (bd >= 2) c.add(ox + x, oy + y, Col{p.r, p.g, p.b, p.a}, smooth(1, 5, static_cast<float>(bd)));
        }
}

}  // namespace

void drawExplosion(Canvas& c) {
    for (int f = 0; f < 16; ++f) blast(c, (f % 4) * 64, (f / 4) * 64, 64, f / 15.0f, 77, fire, 0.8f, kFireSmoke);
}

void drawExplosion2(Canvas& c) {
    // The plasma bursts: the same blast in electric blue, with arcs of
    // lightning crackling out of it in the first frames.
    for (int f = 0; f < 13; ++f) {
        float t = f / 12.0f;
        blast(c, 0, f * 64, 64, t, 91, plasma, 1.0f, kPlasmaSmoke);
        if (t < 0.5f) {
            Rng rng(510 + f);
            for (int arc = 0; arc < 3; ++arc) {
                float ang = rng.range(0, 2 * kPi), len = 10 + 16 * t / 0.5f;
                float px = 32, py = f * 64 + 32.0f;
                for (int s = 1; s <= 5; ++s) {
                    float d = len * s / 5;
                    float nx = 32 + std::cos(ang) * d + rng.range(-2.5f, 2.5f);
                    float ny = f * 64 + 32 + std::sin(ang) * d + rng.range(-2.5f, 2.5f);
                    c.fill(std::min(px, nx) - 1, std::min(py, ny) - 1, std::max(px, nx) + 1, std::max(py, ny) + 1,
                           [=](float x, float y) { return sdSegment(x, y, px, py, nx, ny) - 0.45f; },
                           scale(rgb(200, 240, 255), 1 - t / 0.5f), true);
                    px = nx, py = ny;
                }
            }
        }
    }
}

void drawPoof(Canvas& c) {
    // A muzzle flash: a white star that opens into a hot puff and scatters.
    for (int f = 0; f < 4; ++f) {
        float t = f / 3.0f;
        float r = 2.5f + 3.5f * t;
        float cx = f * 16 + 8.0f, cy = 8;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                float dx = x + 0.5f - 8, dy = y + 0.5f - 8;
                float d = std::sqrt(dx * dx + dy * dy);
                float n = valueNoise(x * 0.6f + f * 3, y * 0.6f, 33);
                float k = (1 - d / (r * (0.75f + 0.4f * n))) * (1 - t * 0.6f);
                if (t > 0.5f) k *= 0.6f + 0.8f * n;  // breaking up
                if (k > 0) c.add(f * 16 + x, y, mix(rgb(255, 255, 235), rgb(255, 130, 50), clamp01(t + d / 8)), clamp01(k * 2));
            }
        // the star's rays, long at first and shrinking
        float len = 7 * (1 - t) + 1;
        for (int k = 0; k < 4; ++k) {
            float ang = k * kPi / 2 + kPi / 4 * (f % 2);
            for (float s = 0; s < len; s += 0.5f) {
                float px = cx + std::cos(ang) * s, py = cy + std::sin(ang) * s;
                int bd = static_cast<int>(std::min(std::min(px - f * 16, f * 16 + 15 - px), std::min(py, 15 - py)));
                if (bd < 1) continue;
                c.add(static_cast<int>(px), static_cast<int>(py), rgb(255, 250, 210), (1 - s / len) * (1 - t * 0.7f));
            }
        }
    }
}

void drawLunarExhaust(Canvas& c) {
    // The module's descent engine: a flame from the nozzle at the top middle
    // of each cell, pointing down.
    for (int f = 0; f < 4; ++f) {
        float len = 46 + 8 * std::sin(f * kPi / 2);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                float d = y + 0.5f;
                float t = d / len;
                if (t > 1.1f) continue;
                float n = fbm(x * 0.15f, y * 0.09f - f * 0.8f, 200, 3);
                float half = 7 + 9 * t + (n - 0.5f) * 6 * t;
                float dx = std::fabs(x + 0.5f - 32);
                if (dx > half) continue;
                float k = (1 - dx / half) * (1 - t * 0.6f) * (0.7f + 0.6f * n) * (1 - smooth(0.55f, 1.05f, t));
                float h = (1 - t) * (1 - dx / half) * 1.2f;
                c.add(f * 64 + x, y, fire(h + 0.15f), clamp01(k * 1.6f));
            }
    }
}

void drawGlowing(Canvas& c) {
    // One row of the landing beam. The game draws nine rows of it with the
    // light blend, one over another and breathing apart and together, so
    // each row is faint on its own: shafts of light falling straight down,
    // brightest in a core off the module's hatch side, softening at the
    // top and bottom of the row and to nothing at its ends, with a few
    // motes drifting in them. The two variants shift the shafts a little,
    // so the beam shimmers as the rows alternate.
    for (int f = 0; f < 2; ++f)
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 132; ++x) {
                float dy = (y + 0.5f - 18) / 18, dx = (x + 0.5f - 66) / 66;
                float rows = std::exp(-dy * dy * 2.2f);
                float across = std::pow(std::max(0.0f, 1 - dx * dx), 1.5f);
                // shafts: thin vertical streaks of different strength
                float shaft = 0.35f + 0.65f * std::pow(valueNoise(x * 0.55f + f * 1.7f, 0.5f, 950), 2.0f);
                shaft += 0.5f * std::pow(std::max(0.0f, std::sin(x * 0.21f + f * 0.9f)), 12.0f);
                float k = rows * across * shaft * 0.26f;
                float mote = hashf(x, y, 900 + f) > 0.997f ? 0.3f * across * rows : 0.0f;
                k += mote;
                // Nine rows stack up, so the faintest step the picture can
                // hold would show nine times over as a hard rim: the fringe
                // is dithered instead, a few pixels at a visible level with
                // the same light on average.
                const float step = 10 / 255.0f;
                if (k < step) {
                    if (hashf(x, y, 960 + f) * step >= k) continue;
                    k = step;
                }
                c.add(x, f * 36 + y, mix(rgb(110, 210, 255), rgb(235, 255, 255), clamp01(shaft - 0.3f + mote)), clamp01(k));
            }
}

}  // namespace pic
