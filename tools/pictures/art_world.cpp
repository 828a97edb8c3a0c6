// The planet: its parallax landscape, sky and ringed moon, and everything
// standing on its surface (beacons, towers, terraformer, tesla coil,
// teleporter, lunar module, statue, bones), plus the main menu backdrop.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "art.h"

namespace pic {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kLayerW = 1920;

// A height profile that repeats every 1920 pixels: fractal noise whose
// lattice period divides the picture width.
float ridge(int x, int period, uint32_t seed, int octaves) {
    return fbm(x * static_cast<float>(period) / kLayerW, 0.5f, seed, octaves, period);
}

// Wraps x into the layer.
int wrapX(int x) { return ((x % kLayerW) + kLayerW) % kLayerW; }

// The sky picture's colour at row r: near-black at the top, through violet
// to a dusk glow low down. The game draws it from y 20 at half strength.
Col skyRow(int r) {
    struct Stop {
        float r;
        Col c;
    };
    const Stop stops[] = {{0, rgb(8, 4, 22)},        {110, rgb(28, 12, 60)}, {230, rgb(70, 28, 108)},
                          {330, rgb(150, 60, 136)}, {400, rgb(224, 104, 146)}, {480, rgb(250, 150, 150)}};
    for (size_t i = 1; i < std::size(stops); ++i)
        if (r <= stops[i].r) return mix(stops[i - 1].c, stops[i].c, smooth(stops[i - 1].r, stops[i].r, static_cast<float>(r)));
    return stops[std::size(stops) - 1].c;
}

// Ridge lines running down a mountain face from its peaks: for each ridge,
// its x at every row from the peak down. Used to light one side of each
// spur and shade the other.
struct RidgeLine {
    int y0;
    std::vector<float> x;  // x at rows y0, y0 + 1, ...
};

std::vector<RidgeLine> ridgeLines(const std::vector<int>& top, uint32_t seed, int length) {
    std::vector<RidgeLine> lines;
    Rng rng(seed);
    for (int x = 0; x < kLayerW; ++x) {
        // a peak: the highest point within 20 pixels either side
        bool peak = true;
        for (int k = -20; k <= 20 && peak; ++k)
            if (k && (top[wrapX(x + k)] < top[x] || (top[wrapX(x + k)] == top[x] && k < 0))) peak = false;
        if (!peak) continue;
        // a main spur and, lower down, a side spur branching off it
        for (int branch = 0; branch < 2; ++branch) {
            RidgeLine r;
            float lean = rng.range(-0.7f, 0.7f);
            float fx = static_cast<float>(x);
            r.y0 = top[x];
            int len = static_cast<int>(length * rng.range(0.6f, 1.0f));
            if (branch) {
                int at = rng.irange(8, 30);
                const RidgeLine& main = lines.back();
                if (at >= static_cast<int>(main.x.size())) continue;
                r.y0 = main.y0 + at;
                fx = main.x[at];
                lean = (lean > 0 ? 1 : -1) * rng.range(0.5f, 1.1f);
                len /= 2;
            }
            for (int k = 0; k < len; ++k) {
                r.x.push_back(fx);
                fx += lean + (valueNoise(fx * 0.1f, (r.y0 + k) * 0.08f, seed + 1) - 0.5f) * 1.4f;
            }
            lines.push_back(std::move(r));
        }
    }
    return lines;
}

// Signed distance (pixels, left negative) from (x, y) to the nearest ridge
// line crossing row y, and how far down that ridge the row is (0..1).
// Returns false when no ridge runs within reach.
bool nearestRidge(const std::vector<RidgeLine>& lines, int x, int y, float reach, float& d, float& along) {
    bool found = false;
    for (const RidgeLine& r : lines) {
        int k = y - r.y0;
        if (k < 0 || k >= static_cast<int>(r.x.size())) continue;
        float dx = x + 0.5f - r.x[k];
        if (dx > kLayerW / 2) dx -= kLayerW;  // ridges near the seam reach round it
        if (dx < -kLayerW / 2) dx += kLayerW;
        if (std::fabs(dx) < reach && (!found || std::fabs(dx) < std::fabs(d))) {
            d = dx;
            along = static_cast<float>(k) / r.x.size();
            found = true;
        }
    }
    return found;
}

// Light and shade from the ridges, as a change of shade (0..1 scale): the
// side of a spur facing the dusk (the left) lighter, the far side darker,
// both fading down the spur. spine is set on the ridge line itself, near
// the peak (within the top quarter of the spur).
float ridgeLight(const std::vector<RidgeLine>& lines, int x, int y, float strength, bool* spine = nullptr) {
    float d = 0, along = 0;
    if (spine) *spine = false;
    if (!nearestRidge(lines, x, y, 26, d, along)) return 0;
    float fade = (1 - along) * (1 - std::fabs(d) / 26);
    if (std::fabs(d) < 0.8f) {
        if (spine) *spine = along < 0.25f;
        return 0.3f * strength * (1 - along);
    }
    return d < 0 ? 0.2f * strength * fade : -0.2f * strength * fade;
}

// Jagged peaks: ridged noise mixed into the smooth profile.
std::vector<int> peakProfile(int base, float amplitude, int period, uint32_t seed) {
    std::vector<int> top(kLayerW);
    for (int x = 0; x < kLayerW; ++x) {
        float smoothPart = ridge(x, period, seed, 4);
        float sharp = 1 - std::fabs(2 * ridge(x, period * 2, seed + 7, 3) - 1);
        float h = 0.65f * smoothPart + 0.35f * sharp;
        top[x] = base - static_cast<int>(std::pow(h, 1.4f) * amplitude);
    }
    return top;
}

}  // namespace

// Layer 1, the farthest: two ranges fading into the dusk, in flat violet
// tones dithered into one another. The far one is a pale band of jagged
// peaks barely lit; the nearer one has lit and shaded spurs running down
// from its peaks, strata in clustered bands, and haze pooling at its foot.
// Its one accent is teal: frost capping the highest peaks and the lights
// of a far-off colony.
void drawLayer1(Canvas& c) {
    const Col teal = rgb(64, 178, 176), tealDeep = rgb(34, 98, 114), tealPale = rgb(150, 240, 228);
    // the far range, peaks up to about y 110: dark at the peaks, paling
    // into the haze below
    const std::vector<Col> far = {rgb(30, 20, 62), rgb(40, 28, 78), rgb(52, 38, 96), rgb(64, 48, 112), rgb(78, 60, 128)};
    std::vector<int> farTop = peakProfile(270, 200, 6, 111);
    std::vector<RidgeLine> farRidges = ridgeLines(farTop, 112, 60);
    for (int x = 0; x < kLayerW; ++x)
        for (int y = farTop[x]; y < 480; ++y) {
            float d = (y - farTop[x]) / 160.0f;
            float v = 0.3f + ridgeLight(farRidges, x, y, 0.8f) + smooth(0.05f, 1.0f, d) * 0.55f;
            Col col = dither(far, v, x, y);
            if (y == farTop[x]) col = rgb(112, 92, 164);
            c.put(x, y, col);
        }
    // the nearer range, peaks up to about y 170
    const std::vector<Col> near = {rgb(30, 22, 58),  rgb(40, 30, 76),  rgb(52, 40, 96),  rgb(66, 50, 116),
                                   rgb(84, 64, 136), rgb(106, 82, 158), rgb(132, 104, 180)};
    auto tone = [&](int k) { return near[static_cast<size_t>(std::clamp(k, 0, static_cast<int>(near.size()) - 1))]; };
    std::vector<int> top = peakProfile(356, 200, 11, 11);
    std::vector<RidgeLine> ridges = ridgeLines(top, 14, 110);
    for (int x = 0; x < kLayerW; ++x) {
        // flanks rising to the right face the dusk light on the left
        float slope = static_cast<float>(top[wrapX(x - 2)] - top[wrapX(x + 2)]) / 4;
        float tilt = (fbm(x * 20.0f / kLayerW, 0.5f, 13, 2, 20) - 0.5f) * 24;
        for (int y = top[x]; y < 480; ++y) {
            float depth = (y - top[x]) / 150.0f;
            bool spine = false;
            float v = 0.62f - 0.42f * clamp01(depth) + ridgeLight(ridges, x, y, 1.0f, &spine);
            // strata: bands of a few rows, each a touch lighter or darker,
            // tilted a little along the range
            int band = static_cast<int>(std::floor((y + tilt) / 9.0f));
            v += (hashf(band, 0, 15) - 0.5f) * 0.12f;
            // haze pooling in the valleys: the foot settles on one mid tone
            float haze = smooth(300, 430, static_cast<float>(y));
            v = v + (0.42f - v) * haze * 0.8f;
            Col base = dither(near, v, x, y);
            int k = static_cast<int>(std::lround(v * (near.size() - 1)));
            // scree: clusters a tone lighter, shaded underneath, on the upper slopes
            float scree = valueNoise(x * 0.28f, y * 0.4f, 16);
            if (haze < 0.3f && scree > 0.76f)
                base = valueNoise(x * 0.28f, (y + 1) * 0.4f, 16) > 0.76f ? tone(k + 1) : tone(k - 1);
            // frost on the highest peaks: a cap of teal ice below the crest,
            // bright on the lit side, deep on the shaded one, ragged at its foot
            float cap = (262 - top[x]) * 0.24f + valueNoise(x * 0.3f, 0.5f, 17) * 5 - 2;
            if (y - top[x] < cap) {
                float lightHere = ridgeLight(ridges, x, y, 1.0f) + (slope > 0 ? 0.05f : -0.05f);
                bool edge = y - top[x] >= cap - 2 && ((x + y) & 1);
                if (!edge) base = spine ? tealPale : (lightHere > 0 ? teal : tealDeep);
            }
            // the crest, brightest where it faces the light
            if (y == top[x]) base = slope > 0.3f ? rgb(214, 150, 220) : tone(6);
            c.put(x, y, base);
        }
    }
    // a far-off colony: low domes at the foot of the range, lit windows round them
    Rng domes(42);
    for (int i = 0; i < 5; ++i) {
        int dx = domes.irange(0, kLayerW - 1), r = domes.irange(10, 22);
        for (int yy = -r; yy <= 0; ++yy)
            for (int xx = -r; xx <= r; ++xx) {
                if (xx * xx + yy * yy > r * r) continue;
                float lit = 0.55f + 0.5f * (-xx - yy) / (2.0f * r);
                c.put(wrapX(dx + xx), 400 + yy, dither(near, lit, dx + xx, 400 + yy));
            }
        for (int k = -r + 3; k < r - 2; k += 5) c.put(wrapX(dx + k), 400 - 2, tealPale);
    }
    // a few distant lights on the slopes, placed so they repeat with the picture
    Rng rng(41);
    for (int i = 0; i < 40; ++i) {
        int x = rng.irange(0, kLayerW - 1);
        int y = std::max(top[x] + 12, rng.irange(300, 420));
        c.put(x, y, tealPale);
        c.put(wrapX(x + 1), y, teal);
    }
}

// Layer 2, the middle distance: dark magenta mesas in layered rock, solid
// spires, and rock arches and crystals standing on the ridge line.
void drawLayer2(Canvas& c) {
    std::vector<int> top(kLayerW);
    for (int x = 0; x < kLayerW; ++x) {
        float h = ridge(x, 20, 21, 4);
        // flat-topped mesas: squash the ridge into terraces
        float terr = std::floor(h * 5) / 5 + smooth(0.0f, 1.0f, h * 5 - std::floor(h * 5)) * 0.2f;
        top[x] = static_cast<int>(420 - terr * 120);
    }
    // spires: tall needles of rock rising from the mesas, placed
    // deterministically and wrapping at the edges; each keeps its own
    // outline so its flanks can be lit and shaded as a solid
    const std::vector<int> mesaTop = top;
    std::vector<int> spireOf(kLayerW, -1);
    std::vector<float> spireSide(kLayerW, 0);  // -1 left flank .. +1 right flank
    Rng rng(22);
    for (int i = 0; i < 9; ++i) {
        int sx = rng.irange(0, kLayerW - 1), w = rng.irange(16, 28), hgt = rng.irange(60, 120);
        int foot = top[sx];
        for (int dx = -w; dx <= w; ++dx) {
            float k = 1 - std::fabs(static_cast<float>(dx)) / w;
            // concave flanks with a few ledges
            float ledge = valueNoise(dx * 0.4f, static_cast<float>(i), 26) * 0.12f;
            int t = foot - static_cast<int>(hgt * (std::pow(k, 1.6f) + ledge * k)) + 6;
            int xx = wrapX(sx + dx);
            if (t < top[xx]) {
                top[xx] = t;
                spireOf[xx] = i;
                spireSide[xx] = static_cast<float>(dx) / w;
            }
        }
    }
    auto solid = [&](int x, int y) { return y >= top[wrapX(x)]; };
    // The rock's tones, darkest first: every pixel of the face is one of
    // them, dithered where the light falls between two.
    const std::vector<Col> rock = {rgb(24, 9, 34),   rgb(38, 15, 52),   rgb(54, 21, 70),  rgb(74, 30, 90),
                                   rgb(96, 41, 110), rgb(118, 54, 128), rgb(148, 72, 152)};
    // The beds the mesas were cut from, stacked from below the foot of the
    // picture upwards, each with its own thickness, tone and grain: fine,
    // pebbly or streaked. Their bedding wavers and tilts along the range.
    struct Bed {
        int top, bottom;
        float tone;
        int grain;
    };
    std::vector<Bed> beds;
    Rng bedRng(27);
    for (int b = 500; b > 240;) {
        int t = bedRng.irange(5, 15);
        beds.push_back({b - t, b, bedRng.range(-1.0f, 1.0f), bedRng.irange(0, 2)});
        b -= t;
    }
    std::vector<int> warp(kLayerW);
    for (int x = 0; x < kLayerW; ++x)
        warp[x] = static_cast<int>(std::lround((fbm(x * 16.0f / kLayerW, 0.5f, 28, 2, 16) - 0.5f) * 16 +
                                               std::sin(x * 2 * kPi * 3 / kLayerW) * 5));
    auto bedAt = [&](int by) {
        for (size_t i = 0; i < beds.size(); ++i)
            if (by >= beds[i].top && by < beds[i].bottom) return static_cast<int>(i);
        return static_cast<int>(beds.size()) - 1;
    };
    // pebbles: clusters of grains set in the pebbly beds
    auto pebble = [&](int x, int by, int bed) { return valueNoise(wrapX(x) * 0.32f, by * 0.55f, 29 + bed) > 0.7f; };
    auto tone = [&](int k) { return rock[static_cast<size_t>(std::clamp(k, 0, static_cast<int>(rock.size()) - 1))]; };
    for (int x = 0; x < kLayerW; ++x)
        for (int y = top[x]; y < 480; ++y) {
            float depth = std::max(0, y - mesaTop[x]) / 110.0f;
            int by = y + warp[x], bi = bedAt(by);
            const Bed& bed = beds[static_cast<size_t>(bi)];
            // darker down the face in dithered steps, each bed a little
            // lighter or darker than the last
            float v = 0.7f - 0.5f * clamp01(depth) + bed.tone * 0.06f;
            Col base = dither(rock, v, x, y);
            int k = static_cast<int>(std::lround(v * (rock.size() - 1)));  // the bed's own flat tone
            // weathered patches: whole clusters a tone lighter or darker
            float patch = fbm(x * 0.035f, y * 0.07f, 23, 2, 67);
            if (patch > 0.64f) base = tone(k + 1);
            else if (patch < 0.34f) base = tone(k - 1);
            bool gap = hashf(x / 3, bi, 33) > 0.8f;  // seams and ledges are broken here and there
            if (by == bed.top && bed.grain != 2 && !gap) base = tone(k + 1);  // the lit ledge of the bed
            else if (by == bed.bottom - 1 && !gap) base = tone(k - 2);         // the seam under it
            else if (bed.grain == 1 && pebble(x, by, bi)) {
                // a pebble: lit on top, shaded underneath
                if (!pebble(x, by - 1, bi)) base = tone(k + 2);
                else if (!pebble(x, by + 1, bi)) base = tone(k - 1);
                else base = tone(k + 1);
            } else if (bed.grain == 2 && valueNoise(wrapX(x) * 0.08f, by * 0.9f, 30 + bi) > 0.68f) {
                base = tone(k + 1);  // streaks of a paler rock
            } else if (bed.grain == 0 && hashf(x, by, 31) > 0.97f) {
                base = tone(k - 1);  // a fine grit of dark specks
            }
            // cracks running down through the fine beds, jogging as they go
            float crack = valueNoise(wrapX(x) * 0.5f + by * 0.12f, by * 0.05f, 32 + bi);
            if (bed.grain == 0 && crack > 0.5f && crack < 0.525f) base = tone(k - 2);
            if (spireOf[x] >= 0 && y < mesaTop[x] + 4) {
                // a needle: lit on its left flank, in shadow on its right
                float side = spireSide[x];
                float rise = clamp01((mesaTop[x] - y) / 60.0f);
                base = dither(rock, 0.78f - (side + 1) * 0.3f - (1 - rise) * 0.12f, x, y);
            }
            // a continuous rim wherever the rock meets the sky, above or beside
            bool edgeUp = !solid(x, y - 1), edgeLeft = !solid(x - 1, y), edgeRight = !solid(x + 1, y);
            if (edgeUp || edgeLeft) base = rgb(255, 134, 206);
            else if (edgeRight) base = rock[4];
            else if (!solid(x, y - 2) || !solid(x - 2, y)) base = rock[6];
            c.put(x, y, base);
        }
    // craters pitting the lower face, seen from a little above: the far
    // wall of the bowl in deep shadow, the near wall catching the light,
    // a bright lip along the near rim and a dark edge along the far one
    Rng pits(26);
    for (int i = 0; i < 16; ++i) {
        int cx = pits.irange(0, kLayerW - 1), cy = pits.irange(356, 440);
        float rx = pits.range(7, 17), ry = std::round(rx * pits.range(0.32f, 0.42f));
        if (cy - ry < mesaTop[cx] + 12) continue;
        for (int yy = static_cast<int>(-ry) - 2; yy <= static_cast<int>(ry) + 2; ++yy)
            for (int xx = static_cast<int>(-rx) - 2; xx <= static_cast<int>(rx) + 2; ++xx) {
                int x = wrapX(cx + xx), y = cy + yy;
                if (spireOf[x] >= 0 || y >= 480) continue;
                float fx = xx / rx, fy = yy / ry;
                float e = std::sqrt(fx * fx + fy * fy);
                // the far wall's shadow is the bowl shifted down: where the
                // floor is not in it, it is lit
                float sy = (yy - ry * 0.55f) / ry;
                bool shadow = std::sqrt(fx * fx + sy * sy) > 1;
                int k;
                if (e < 1) k = shadow ? 0 : (fx < 0.2f ? 3 : 2);
                else if (e < 1 + 1.5f / ry && yy > 0) k = fx < 0.3f ? 6 : 5;  // the near lip
                else if (e < 1 + 1.1f / ry && yy <= 0) k = 1;                 // the far edge
                else continue;
                c.put(x, y, rock[static_cast<size_t>(k)]);
            }
    }
    // natural rock arches: each foot stands on the rock beneath it
    Rng arches(25);
    for (int i = 0; i < 3; ++i) {
        int ax = arches.irange(0, kLayerW - 1);
        float r = arches.range(28, 44), t = arches.range(8, 12);
        int footL = wrapX(ax - static_cast<int>(r)), footR = wrapX(ax + static_cast<int>(r));
        int base = std::min(top[footL], top[footR]) + 2;  // the springing line
        Canvas tmp(120, 80 + 60);
        auto leg = [&](float x, float y) {  // the ring, with legs running down to the rock
            float d = std::fabs(sdCircle(x, y, 60, 78, r)) - t / 2;
            if (y > 78) d = std::fabs(std::fabs(x - 60) - r) - t / 2;
            return d;
        };
        tmp.fill(0, 0, 120, 140, leg, [&, ax](float x, float y) {
            float v = 0.76f - 0.5f * clamp01((y - (78 - r - t)) / (r + t));
            return dither(rock, v, ax + static_cast<int>(x), base - 78 + static_cast<int>(y));
        });
        tmp.fill(0, 0, 120, 80, [=](float x, float y) {
            float d = std::fabs(sdCircle(x, y, 60, 78, r + t / 2 - 1)) - 0.8f;
            return y > 76 ? 1.0f : d;
        }, rgb(255, 134, 206));
        for (int yy = 0; yy < 140; ++yy)
            for (int xx = 0; xx < 120; ++xx) {
                Col p = tmp.get(xx, yy);
                int x = wrapX(ax + xx - 60), y = base - 78 + yy;
                if (p.a > 0.5f && y >= 0 && y < 480 && y < top[x] + 3) c.put(x, y, p);
            }
    }
    // crystals growing on the ridge line, lit from inside
    Rng crystals(24);
    for (int i = 0; i < 26; ++i) {
        int x = crystals.irange(0, kLayerW - 1);
        if (spireOf[x] >= 0) continue;
        int y = std::max({top[x], top[wrapX(x - 4)], top[wrapX(x + 4)]}) + 2;  // sunk into the rock, never hanging
        float h = crystals.range(7, 15);
        Col col = (i % 2) ? rgb(90, 240, 255) : rgb(255, 90, 220);
        Canvas tmp(40, 40);
        tmp.poly({20, 38 - h, 24, 38, 16, 38}, vgrad(38 - h, 38, mix(col, pal::white(), 0.5f), scale(col, 0.6f)));
        tmp.poly({26, 38 - h * 0.6f, 29, 38, 23, 38}, scale(col, 0.8f));
        tmp.poly({13, 38 - h * 0.45f, 15.5f, 38, 10.5f, 38}, scale(col, 0.7f));
        for (int yy = 0; yy < 40; ++yy)
            for (int xx = 0; xx < 40; ++xx) {
                Col p = tmp.get(xx, yy);
                if (p.a > 0.5f) c.put(wrapX(x + xx - 20), y + yy - 38, p);
            }
    }
}

// Layer 3, the ground the bike flies over: a violet crust meeting the
// objects' feet at y 452, neon moss and boulders along its lip. The status
// line is written across y 457 to 473, so below the lip the soil stays dark
// and even: faint strata, and only dark stones half sunk in it.
void drawLayer3(Canvas& c) {
    std::vector<int> top(kLayerW);
    for (int x = 0; x < kLayerW; ++x) top[x] = 448 + static_cast<int>(ridge(x, 60, 31, 3) * 5);
    // boulders sitting on the lip, drawn first so the crust's edge runs round them
    Rng rocks(35);
    for (int i = 0; i < 26; ++i) {
        int rx = rocks.irange(0, kLayerW - 1), r = rocks.irange(4, 9);
        float squash = rocks.range(0.6f, 0.9f);
        for (int yy = -r; yy <= 0; ++yy)
            for (int xx = -2 * r; xx <= 2 * r; ++xx) {
                float d = std::sqrt(xx * xx / 4.0f + yy * yy / (squash * squash));
                if (d > r) continue;
                int px = wrapX(rx + xx);
                int y = top[px] + 1 + yy;
                float lit = clamp01(0.5f - (xx / (2.0f * r)) * 0.4f - (yy / static_cast<float>(r)) * 0.5f);
                Col rock = mix(rgb(36, 26, 56), rgb(104, 80, 140), lit);
                if (d > r - 1) rock = rgb(24, 16, 38);
                c.put(px, y, rock);
            }
    }
    for (int x = 0; x < kLayerW; ++x) {
        int t = top[x];
        for (int y = t; y < 480; ++y) {
            if (c.get(x, y).a > 0 && y < t + 1) continue;  // a boulder's foot
            float n = fbm(x * 0.05f, y * 0.3f, 32, 3, 96);
            float depth = clamp01((y - t) / 10.0f);
            Col soil = mix(rgb(64, 44, 92), rgb(24, 15, 38), depth);
            // strata: slow horizontal bands, barely lighter than the soil
            float band = 0.5f + 0.5f * std::sin(y * 0.9f + n * 3);
            soil = scale(soil, 0.92f + 0.1f * band * depth);
            if (y == t) soil = rgb(170, 128, 206);
            if (y == t + 1) soil = rgb(104, 76, 140);
            c.put(x, y, soil);
        }
        // neon moss tufts along the crust
        if (hashf(x, 0, 33) > 0.93f) {
            int len = 2 + static_cast<int>(hashf(x, 1, 33) * 4);
            Col m = hashf(x, 2, 33) > 0.5f ? rgb(120, 255, 160) : rgb(90, 220, 255);
            for (int k = 1; k <= len; ++k) c.put(x, t - k, scale(m, 1.0f - k * 0.12f));
        }
    }
    // dark stones in the soil: a shade lighter than their bed, no brighter
    Rng rng(34);
    for (int i = 0; i < 140; ++i) {
        int x = rng.irange(0, kLayerW - 1), y = rng.irange(456, 477);
        int r = rng.irange(1, 3);
        Col p = mix(rgb(34, 23, 52), rgb(46, 32, 68), rng.uni());
        for (int yy = -r; yy <= r; ++yy)
            for (int xx = -r * 2; xx <= r * 2; ++xx)
                if (xx * xx + 4 * yy * yy <= 4 * r * r) c.put(wrapX(x + xx), y + yy, yy < 0 ? p : scale(p, 0.75f));
    }
}

// The sky behind the landscape, stretched 80 times sideways by the game
// and drawn from y 20 at half strength. It starts at its very first row,
// dark enough to pass for space, so no band or edge shows under the time bar.
void drawLayer4(Canvas& c) {
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 8; ++x) c.put(x, y, skyRow(y));
}

// A ringed moon hanging in the sky.
void drawPlanet(Canvas& c) {
    float cx = 64, cy = 33.5f, R = 25;
    float tilt = -0.18f;
    auto ringAt = [&](bool front) {
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                float rx = dx * std::cos(tilt) + dy * std::sin(tilt);
                float ry = -dx * std::sin(tilt) + dy * std::cos(tilt);
                float e = std::sqrt(rx * rx / (62.0f * 62.0f) + ry * ry / (12.0f * 12.0f));
                if (e < 0.66f || e > 1.0f) continue;
                bool isFront = ry > 0;
                if (isFront != front) continue;
                if (!front && dx * dx + dy * dy < R * R) continue;
                float band = 0.6f + 0.4f * std::sin(e * 60);
                Col col = mix(rgb(255, 180, 210), rgb(150, 90, 170), (e - 0.66f) / 0.34f);
                c.over(x, y, scale(col, band), 0.95f);
            }
    };
    ringAt(false);
    c.circle(cx, cy, R, [&](float x, float y) {
        float dx = (x - cx) / R, dy = (y - cy) / R;
        float lit = clamp01(0.35f + 0.65f * (-dx * 0.6f - dy * 0.5f + std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy)) * 0.6f));
        float bands = 0.5f + 0.5f * std::sin(dy * 9 + fbm(x * 0.1f, y * 0.1f, 50, 3) * 3);
        Col base = mix(rgb(40, 140, 170), rgb(150, 230, 230), bands);
        return mix(rgb(20, 20, 60), base, lit);
    });
    ringAt(true);
}

// --- structures on the surface -----------------------------------------------

// The beacon: a lattice mast carrying a turning radar dish and a blinking light.
void drawRadar(Canvas& c) {
    for (int f = 0; f < 8; ++f) {
        Canvas a(70, 120);
        // base
        a.roundRect(12, 108, 46, 12, 3, vgrad(108, 120, rgb(120, 110, 150), rgb(50, 44, 70)));
        a.rect(16, 112, 38, 2, rgb(255, 200, 60));
        // lattice mast
        a.line(24, 108, 32, 40, 3, rgb(150, 150, 175));
        a.line(46, 108, 38, 40, 3, rgb(150, 150, 175));
        for (int k = 0; k < 6; ++k) {
            float y0 = 104 - k * 11, y1 = y0 - 11;
            float l0 = 24 + (104 - y0) / 68 * 8, r0 = 46 - (104 - y0) / 68 * 8;
            float l1 = 24 + (104 - y1) / 68 * 8, r1 = 46 - (104 - y1) / 68 * 8;
            a.line(l0, y0, r1, y1, 1.3f, rgb(110, 110, 140));
            a.line(r0, y0, l1, y1, 1.3f, rgb(110, 110, 140));
        }
        a.rect(28, 36, 14, 6, rgb(90, 90, 120));
        // the dish, turning: its apparent width follows the angle
        float ang = f * 2 * kPi / 8;
        float w = 22 * std::cos(ang);
        float aw = std::fabs(w) + 3;
        bool facing = w >= 0;
        a.line(35, 36, 35, 26, 3, rgb(150, 150, 175));
        if (facing) {
            a.ellipse(35, 22, aw, 13, vgrad(9, 35, rgb(235, 240, 255), rgb(120, 130, 170)));
        } else {
            // the dish's back: a shell lit along its upper-left rim, ribbed,
            // with a hub on the mast and four struts bracing the rim
            a.ellipse(35, 22, aw, 13, rgb(196, 200, 232));
            a.ellipse(35.8f, 22.8f, std::max(1.0f, aw - 1.4f), 11.8f, vgrad(9, 35, rgb(104, 106, 138), rgb(52, 52, 80)));
            if (aw > 6) {
                a.fill(0, 0, 70, 40, [=](float x, float y) {
                    float dx = (x - 35.8f) / (aw * 0.55f), dy = (y - 22.8f) / 7.0f;
                    return std::fabs(std::sqrt(dx * dx + dy * dy) - 1) * 6.0f - 0.45f;
                }, rgb(74, 76, 106));
                for (int k = 0; k < 4; ++k) {
                    float sa = (45 + 90 * k) * kPi / 180;
                    float ex = 35.8f + std::cos(sa) * (aw - 2.2f) * 0.92f, ey = 22.8f + std::sin(sa) * 11.0f * 0.92f;
                    a.line(35.8f, 22.8f, ex, ey, 1.6f, rgb(150, 152, 184));
                    a.line(35.3f, 22.3f, ex - 0.5f, ey - 0.5f, 0.7f, rgb(205, 208, 236));  // their lit edges
                }
                a.ellipse(35.8f, 22.8f, std::min(5.0f, aw * 0.3f), 4, rgb(160, 162, 192));
                a.ellipse(35.2f, 22.0f, std::min(2.5f, aw * 0.15f), 1.6f, rgb(226, 228, 248));
            }
        }
        if (facing && aw > 6) {
            a.ellipse(35, 22, aw * 0.7f, 9, rgb(170, 180, 215));
            a.line(35, 22, 35 + w * 0.1f, 14, 1.5f, rgb(220, 220, 240));
            a.circle(35 + w * 0.1f, 13, 2, rgb(255, 80, 80));
        }
        // warning light on the top of the mast, blinking
        Col lamp = (f % 4 < 2) ? rgb(255, 210, 60) : rgb(120, 80, 30);
        a.circle(35, 44, 3, lamp);
        if (f % 4 < 2) a.glow(35, 44, 10, Col{0.5f, 0.35f, 0.05f, 0.5f}, 0.9f);
        a.outline(pal::ink(), 1);
        c.blit(a, f * 70, 0);
    }
}

// Two kinds of scenery tower, eight cells each: a neon spire with light
// pulses climbing it, and a domed habitat with a turning ring of lights.
void drawTowers(Canvas& c) {
    for (int f = 0; f < 8; ++f) {
        Canvas a(70, 120);
        a.poly({20, 120, 28, 30, 42, 30, 50, 120}, hgrad(20, 50, rgb(130, 120, 170), rgb(50, 40, 80)));
        a.poly({30, 30, 35, 2, 40, 30}, rgb(200, 200, 230));
        for (int k = 0; k < 5; ++k) a.rect(25 + k * 0.0f, 50 + k * 14, 20, 2, rgb(60, 50, 90));
        // light pulse climbing the spire
        for (int k = 0; k < 3; ++k) {
            float y = 116 - std::fmod(f * 12.0f + k * 32, 96.0f);
            a.rect(29 + (116 - y) * 0.05f, y, 12 - (116 - y) * 0.1f, 3, rgb(90, 240, 255));
            a.glow(35, y + 1.5f, 9, Col{0.1f, 0.4f, 0.5f, 0.5f}, 0.7f);
        }
        a.circle(35, 4, 2.5f, (f % 2) ? rgb(255, 60, 80) : rgb(140, 30, 40));
        a.outline(pal::ink(), 1);
        c.blit(a, (f % 8) * 70, 0);

        Canvas b(70, 120);
        b.rect(26, 50, 18, 70, hgrad(26, 44, rgb(150, 140, 180), rgb(60, 50, 90)));
        b.roundRect(10, 100, 50, 20, 4, vgrad(100, 120, rgb(120, 110, 150), rgb(50, 40, 70)));
        b.ellipse(35, 40, 24, 20, [](float x, float y) {
            float k = clamp01((x - 11) / 48 * 0.6f + (y - 20) / 40 * 0.4f);
            return mix(rgb(200, 240, 255), rgb(50, 80, 130), k);
        });
        b.rect(10, 40, 50, 12, rgb(70, 60, 100));
        for (int k = 0; k < 8; ++k) {
            float ang = (k + f * 0.5f) * 2 * kPi / 8;
            float s = std::sin(ang);
            if (std::cos(ang) < 0) continue;  // behind the dome
            b.rect(35 + s * 22 - 1.5f, 44, 3, 4, k % 2 ? rgb(255, 200, 80) : rgb(255, 90, 210));
        }
        b.rect(22, 64, 26, 3, rgb(90, 230, 255));
        b.rect(22, 80, 26, 3, rgb(90, 230, 255));
        b.line(35, 20, 35, 6, 2, rgb(180, 180, 210));
        b.circle(35, 6, 2.5f, (f / 2) % 2 ? rgb(120, 255, 140) : rgb(40, 100, 50));
        b.outline(pal::ink(), 1);
        c.blit(b, (f % 8) * 70, 120);
    }
}

// The terraformer's machine body; its glass tube (x 18..24, y 11..74) is
// filled by the animated column of "terraformer2.png".
void drawTerraformer1(Canvas& c) {
    c.roundRect(4, 86, 34, 34, 3, vgrad(86, 120, rgb(140, 120, 100), rgb(60, 46, 40)));
    c.rect(0, 112, 42, 8, rgb(80, 64, 56));
    c.roundRect(10, 4, 22, 86, 4, hgrad(10, 32, rgb(190, 170, 150), rgb(80, 64, 56)));
    c.rect(16, 9, 11, 68, rgb(40, 30, 30));
    c.rect(18, 11, 7, 64, rgb(20, 40, 36));  // the tube
    for (int k = 0; k < 3; ++k) c.rect(8, 20 + k * 25, 26, 3, rgb(60, 46, 40));
    c.rect(6, 0, 30, 6, rgb(110, 94, 80));
    c.rect(12, 96, 18, 4, rgb(255, 200, 60));
    c.rect(12, 104, 18, 2, rgb(120, 255, 160));
    // feed pipes down the sides and exhaust vents on the cap
    c.line(6, 30, 6, 88, 3, rgb(150, 130, 110));
    c.line(36, 40, 36, 88, 3, rgb(150, 130, 110));
    c.line(6, 30, 10, 30, 3, rgb(150, 130, 110));
    c.line(36, 40, 32, 40, 3, rgb(150, 130, 110));
    for (int k = 0; k < 3; ++k) c.rect(11 + k * 8, 0, 4, 3, rgb(60, 46, 40));
    c.circle(21, 82, 2, rgb(255, 90, 60));
    c.outline(pal::ink(), 1);
}

void drawTerraformer2(Canvas& c) {
    for (int f = 0; f < 8; ++f)
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 7; ++x) {
                float edge = 1 - std::fabs(x + 0.5f - 3.5f) / 3.5f;
                float rise = std::fmod(y + f * 8.0f, 64.0f);
                float n = fbm(x * 0.4f, rise * 0.12f, 60, 2);
                float bubble = hashf(x, static_cast<int>(std::floor((y + f * 8) / 5.0f)), 61) > 0.8f ? 0.4f : 0.0f;
                float k = 0.45f + 0.4f * edge + 0.3f * n + bubble;
                c.put(f * 7 + x, y, mix(rgb(30, 120, 80), rgb(200, 255, 180), clamp01(k - 0.3f)));
            }
}

// The tesla coil: two insulated prongs with arcs crackling between them.
void drawTesla(Canvas& c) {
    for (int f = 0; f < 4; ++f) {
        Canvas a(80, 60);
        a.roundRect(6, 48, 68, 12, 3, vgrad(48, 60, rgb(120, 110, 150), rgb(50, 44, 70)));
        a.rect(10, 52, 60, 2, rgb(255, 200, 60));
        for (float px : {18.0f, 62.0f}) {
            a.rect(px - 3, 14, 6, 34, hgrad(px - 3, px + 3, rgb(200, 190, 170), rgb(100, 90, 80)));
            for (int k = 0; k < 6; ++k) a.ellipse(px, 20 + k * 5.0f, 6, 1.6f, rgb(150, 90, 60));
            a.circle(px, 11, 6, [px](float x, float y) {
                float d = std::hypot(x - (px - 2), y - 9) / 6;
                return mix(rgb(255, 255, 255), rgb(120, 130, 160), clamp01(d));
            });
        }
        a.outline(pal::ink(), 1);
        // arcs: jagged lines between the two balls, different each cell
        Rng rng(700 + f);
        for (int arc = 0; arc < 2; ++arc) {
            float px = 23, py = 11 + rng.range(-3, 3);
            for (int s = 1; s <= 8; ++s) {
                float nx = 23 + s * 34 / 8.0f, ny = s == 8 ? 11 : 11 + rng.range(-9, 6);
                a.line(px, py, nx, ny, 2.2f, rgb(150, 120, 255));
                a.line(px, py, nx, ny, 1.0f, rgb(240, 240, 255));
                px = nx, py = ny;
            }
        }
        a.glow(40, 10, 22, Col{0.25f, 0.2f, 0.5f, 0.5f}, 0.6f);
        c.blit(a, f * 80, 0);
    }
}

// The teleporter: a gate ring over a pad, its swirl turning.
void drawPortal(Canvas& c) {
    for (int f = 0; f < 4; ++f) {
        Canvas a(80, 60);
        a.roundRect(4, 46, 72, 14, 4, vgrad(46, 60, rgb(120, 110, 160), rgb(46, 40, 70)));
        a.rect(10, 49, 60, 2, rgb(90, 230, 255));
        a.rect(14, 38, 6, 10, rgb(140, 140, 170));
        a.rect(60, 38, 6, 10, rgb(140, 140, 170));
        // swirl inside the ring
        for (int y = 4; y < 44; ++y)
            for (int x = 6; x < 74; ++x) {
                float dx = (x + 0.5f - 40) / 33, dy = (y + 0.5f - 23) / 17;
                float r = std::sqrt(dx * dx + dy * dy);
                if (r > 1) continue;
                float th = std::atan2(dy, dx);
                float sw = 0.5f + 0.5f * std::sin(th * 3 + r * 9 - f * kPi / 2);
                Col col = mix(rgb(40, 20, 110), rgb(120, 240, 255), sw * (1 - r * 0.5f));
                if (r < 0.25f) col = mix(rgb(255, 255, 255), col, r / 0.25f);
                a.put(x, y, col);
            }
        a.ring(40, 23, 34, 4, rgb(200, 200, 230));
        a.fill(0, 0, 80, 46, [](float x, float y) {
            float dx = (x - 40) / 34, dy = (y - 23) / 18;
            return std::fabs(std::sqrt(dx * dx + dy * dy) - 1) * 17 - 1.5f;
        }, rgb(210, 210, 240));
        for (int k = 0; k < 6; ++k) {
            float ang = k * kPi / 3 + f * kPi / 12;
            a.circle(40 + std::cos(ang) * 34, 23 + std::sin(ang) * 18, 2, (k + f) % 2 ? rgb(255, 90, 210) : rgb(90, 240, 255));
        }
        a.outline(pal::ink(), 1);
        c.blit(a, f * 80, 0);
    }
}

// The lunar module: cell 0 closed, cells 1 to 4 opening its side hatch on
// the right, from which the landing beam lowers the bike.
void drawModule(Canvas& c) {
    for (int f = 0; f < 5; ++f) {
        Canvas a(80, 60);
        // legs and pads
        a.line(18, 40, 6, 57, 3, rgb(170, 170, 190));
        a.line(62, 40, 74, 57, 3, rgb(170, 170, 190));
        a.rect(1, 56, 11, 4, rgb(200, 200, 215));
        a.rect(68, 56, 11, 4, rgb(200, 200, 215));
        // engine bell
        a.poly({32, 46, 48, 46, 52, 56, 28, 56}, vgrad(46, 56, rgb(150, 150, 170), rgb(70, 70, 90)));
        // descent stage, gold foil
        a.poly({12, 30, 68, 30, 64, 46, 16, 46}, [](float x, float y) {
            float n = hashf(static_cast<int>(x / 3), static_cast<int>(y / 3), 77);
            return mix(rgb(255, 200, 90), rgb(170, 110, 30), n * 0.6f + (y - 30) / 40);
        });
        // ascent stage cabin
        a.poly({20, 30, 22, 12, 32, 4, 50, 4, 60, 12, 62, 30}, vgrad(4, 30, rgb(230, 232, 245), rgb(120, 124, 150)));
        a.poly({28, 12, 34, 8, 42, 8, 42, 16, 28, 16}, rgb(40, 60, 90));
        a.line(30, 10, 34, 9, 1, rgb(150, 220, 255));
        a.line(41, 4, 44, 0, 1.5f, rgb(200, 200, 220));
        a.rect(24, 20, 34, 2, rgb(255, 90, 200));
        // side hatch on the right: the door slides down, the cabin light
        // spills out and a ramp folds out towards the beam
        float open = f / 4.0f;
        a.rect(49, 13, 12, 18, rgb(60, 62, 84));
        a.rect(50, 14, 10, 16, mix(rgb(50, 70, 100), rgb(230, 255, 255), open));
        float doorTop = 14 + 15 * open;
        a.rect(50, doorTop, 10, 30 - doorTop, vgrad(14, 30, rgb(170, 174, 200), rgb(110, 114, 140)));
        if (f > 0) {
            a.line(60, 30, 60 + 16 * open, 30 + 6 * open, 2.5f, rgb(190, 194, 215));
            a.glow(56, 22, 6 + 12 * open, Col{0.2f, 0.5f, 0.6f, 0.6f}, open);
        }
        a.outline(pal::ink(), 1);
        c.blit(a, f * 80, 0);
    }
}

// A weathered statue of a robed figure raising a torch, on a pedestal.
void drawLadyLiberty(Canvas& c) {
    Paint copper = [](float x, float y) {
        float n = fbm(x * 0.08f, y * 0.08f, 90, 3);
        Col base = mix(rgb(120, 200, 170), rgb(50, 120, 110), clamp01((x - 40) / 90.0f));
        return scale(base, 0.8f + 0.35f * n);
    };
    // pedestal
    c.rect(34, 170, 90, 52, vgrad(170, 222, rgb(170, 150, 140), rgb(80, 66, 70)));
    c.rect(28, 164, 102, 8, rgb(190, 170, 160));
    c.rect(28, 214, 102, 8, rgb(120, 100, 100));
    for (int k = 0; k < 3; ++k) c.rect(46 + k * 24, 180, 14, 26, rgb(110, 92, 96));
    // robe
    c.poly({56, 164, 60, 100, 66, 76, 92, 76, 98, 100, 104, 164}, copper);
    c.poly({64, 110, 72, 164, 78, 164, 70, 108}, rgb(40, 100, 90));
    c.poly({86, 104, 92, 164, 96, 164, 90, 100}, rgb(40, 100, 90));
    // tablet held in the left arm
    c.poly({58, 100, 70, 96, 74, 124, 62, 128}, rgb(90, 170, 150));
    // raised right arm with the torch
    c.line(88, 82, 100, 40, 9, copper);
    c.line(100, 40, 104, 22, 7, copper);
    c.poly({98, 22, 110, 22, 108, 12, 100, 12}, rgb(200, 170, 90));
    // the torch flame, still burning neon
    c.poly({104, 12, 98, 2, 104, 5, 106, 0, 110, 6, 112, 2, 110, 12}, vgrad(0, 12, rgb(255, 250, 200), rgb(255, 120, 60)));
    c.glow(105, 6, 14, Col{0.5f, 0.3f, 0.1f, 0.6f}, 0.9f);
    // head with its crown of rays
    c.circle(78, 66, 10, copper);
    for (int k = 0; k < 7; ++k) {
        float ang = kPi + k * kPi / 6;
        c.line(78 + std::cos(ang) * 8, 60 + std::sin(ang) * 8, 78 + std::cos(ang) * 20, 60 + std::sin(ang) * 20, 3, copper);
    }
    c.rect(68, 58, 20, 4, rgb(70, 140, 120));
    // robe folds and the face's shading
    for (int k = 0; k < 5; ++k) {
        float x0 = 62 + k * 8.5f;
        c.line(x0, 112 + (k % 2) * 6, x0 + 2 + (k % 3), 162, 1.6f, rgb(60, 130, 115));
    }
    c.line(70, 86, 96, 96, 2, rgb(150, 220, 190));  // sash
    c.rect(74, 66, 3, 2, rgb(40, 100, 90));
    c.rect(81, 66, 3, 2, rgb(40, 100, 90));
    c.line(78, 68, 79, 72, 1.2f, rgb(70, 140, 120));
    // cracks
    c.line(62, 140, 70, 150, 1, rgb(30, 60, 60));
    c.line(94, 120, 90, 135, 1, rgb(30, 60, 60));
    // plaque on the pedestal, and neon moss creeping up its foot
    c.rect(60, 192, 38, 10, rgb(200, 180, 120));
    c.rect(62, 194, 34, 6, rgb(150, 130, 80));
    Rng rng(95);
    for (int i = 0; i < 60; ++i) {
        float x = rng.range(30, 128), h = rng.range(2, 9);
        Col m = (i % 3) ? rgb(120, 255, 160) : rgb(90, 220, 255);
        c.line(x, 221, x + rng.range(-2, 2), 221 - h, 1.2f, scale(m, rng.range(0.6f, 1.0f)));
    }
    c.outline(pal::ink(), 1);
}

// The bleached skeleton of some great beast, half sunk in the ground.
void drawBones(Canvas& c) {
    Col bone = rgb(235, 225, 200), shade = rgb(170, 155, 130);
    c.line(18, 14, 64, 16, 3, shade);  // spine
    for (int k = 0; k < 6; ++k) {
        float x = 26 + k * 7;
        c.line(x, 15, x - 3, 3 + k * 0.6f, 2.2f, bone);
        c.line(x - 3, 3 + k * 0.6f, x - 7, 10, 2, bone);
    }
    // skull
    c.ellipse(74, 14, 10, 6, bone);
    c.poly({80, 12, 86, 16, 80, 19}, bone);
    c.circle(74, 12, 2, rgb(60, 50, 50));
    c.line(70, 19, 84, 19, 1, shade);
    // tail and a leg bone
    c.line(2, 18, 18, 14, 2, bone);
    c.line(34, 20, 48, 21, 2.5f, bone);
    c.circle(34, 20, 2, bone);
    c.circle(48, 21, 2, bone);
    c.outline(pal::ink(), 1);
}

// The main menu's backdrop, also shown dimmed behind every other front-end
// screen. Those screens write text over nearly all of the lower two thirds
// (option rows, briefings, the name wheel), so everything bright keeps to
// the top corners: the ringed moon on the left, the bike flying on the
// right. Below the horizon lie dark, quiet silhouettes and a faint grid.
void drawMenuMain(Canvas& c) {
    constexpr float kHorizon = 262;
    // sky: night overhead, a dusky band above the far ranges
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            float t = y / kHorizon;
            Col sky = t < 0.55f ? mix(rgb(5, 4, 18), rgb(26, 12, 52), t / 0.55f)
                                : mix(rgb(26, 12, 52), rgb(92, 34, 92), smooth(0.55f, 1.0f, t));
            // a faint nebula drifting across the upper sky
            float neb = fbm(x * 0.008f, y * 0.02f, 402, 4);
            sky = mix(sky, rgb(60, 30, 110), smooth(0.55f, 0.8f, neb) * 0.35f * (1 - smooth(60, 200, static_cast<float>(y))));
            float star = hashf(x, y, 400);
            if (y < 200 && star > 0.9965f) {
                float k = (star - 0.9965f) / 0.0035f * (1 - y / 220.0f);
                sky = mix(sky, rgb(235, 235, 255), k);
            }
            c.put(x, y, sky);
        }
    // a few brighter stars with a cross glint, in the top corners only
    Rng stars(403);
    for (int i = 0; i < 7; ++i) {
        float sx = i < 4 ? stars.range(130, 300) + (i % 2) * 300 : stars.range(10, 630);
        float sy = stars.range(4, 60);
        c.glow(sx, sy, 3, Col{0.6f, 0.6f, 0.7f, 0.7f}, 1.0f);
        c.add(static_cast<int>(sx), static_cast<int>(sy), rgb(255, 255, 255));
    }
    // the ringed moon, top left, clear of the title and the name wheel
    Canvas moon(128, 67);
    drawPlanet(moon);
    for (int y = 0; y < 67; ++y)
        for (int x = 0; x < 128; ++x) {
            Col p = moon.get(x, y);
            if (p.a > 0.5f) c.put(x - 4, y + 8, mix(p, rgb(60, 30, 90), 0.1f));
        }
    // the far range: a silhouette a little lighter than the sky at its
    // foot, hazier towards its base, its crest catching the last light
    for (int x = 0; x < 640; ++x) {
        float h = fbm(x * 0.010f, 3.5f, 404, 5);
        int top = static_cast<int>(kHorizon - 10 - std::pow(h, 1.4f) * 110);
        for (int y = top; y < kHorizon + 30; ++y) {
            float d = (y - top) / 50.0f;
            Col rock = mix(rgb(62, 30, 84), rgb(36, 16, 56), clamp01(d));
            rock = mix(rock, rgb(84, 34, 92), smooth(kHorizon - 40, kHorizon + 10, static_cast<float>(y)) * 0.45f);
            if (y - top < 1) rock = rgb(132, 70, 140);
            c.put(x, y, rock);
        }
    }
    // the near ridge, darker still, with a few lamps of a far-off outpost
    std::vector<int> nearTop(640);
    for (int x = 0; x < 640; ++x) {
        float h = fbm(x * 0.02f, 7.5f, 405, 3);
        nearTop[x] = static_cast<int>(kHorizon + 6 - h * 34);
        for (int y = nearTop[x]; y < 480; ++y) {
            Col rock = mix(rgb(32, 15, 48), rgb(18, 9, 30), clamp01((y - nearTop[x]) / 30.0f));
            if (y == nearTop[x]) rock = rgb(76, 36, 96);
            c.put(x, y, rock);
        }
    }
    Rng lamps(406);
    for (int i = 0; i < 9; ++i) {
        int lx = lamps.irange(20, 620);
        int ly = nearTop[lx] + lamps.irange(3, 9);
        c.put(lx, ly, i % 3 ? rgb(200, 150, 110) : rgb(110, 190, 220));
    }
    // the plain: near-black violet with a grid that fades into the distance
    for (int y = static_cast<int>(kHorizon) + 20; y < 480; ++y) {
        float depth = (y - kHorizon) / (480 - kHorizon);  // 0 at the horizon, 1 at the bottom
        for (int x = 0; x < 640; ++x) {
            Col base = c.get(x, y);
            Col ground = mix(rgb(22, 10, 36), rgb(12, 6, 22), depth);
            float blend = smooth(kHorizon + 20, kHorizon + 70, static_cast<float>(y));
            base = mix(base, ground, blend);
            // a ground plane in perspective: across, x / distance; along, 1 / distance
            float below = y + 0.5f - kHorizon;
            float across = (x + 0.5f - 320) / below * 2.2f;
            float along = 260 / below;
            float lineD = std::fabs(across - std::round(across)) * below / 2.2f;  // in pixels
            float rowD = std::fabs(along - std::round(along)) * below * below / 260;
            float grid = std::max(clamp01(1 - lineD), clamp01(1 - rowD)) * blend * (0.3f + 0.7f * depth);
            c.put(x, y, mix(base, rgb(110, 40, 130), grid * 0.55f));
        }
    }
    // the hover bike streaking across the top right, flame and all
    Canvas bike(120, 220), flames(124, 976);
    drawBike(bike);
    drawExhaust1(flames);
    const int bx = 508, by = 12;
    for (int y = 0; y < 3; ++y)  // speed lines trailing behind it
        c.rect(bx - 60 + y * 14, by + 26 + y * 7, 50 - y * 10, 1, rgb(150, 120, 220, 0.35f));
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 124; ++x) {
            Col f = flames.get(x, y);
            if (f.a > 0) c.add(bx - 22 + x, by + y, f);
        }
    for (int y = 0; y < 55; ++y)
        for (int x = 0; x < 120; ++x) {
            Col p = bike.get(x, 165 + y);
            if (p.a > 0.5f) c.put(bx + x, by + y, p);
        }
}

}  // namespace pic
