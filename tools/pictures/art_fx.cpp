// Light effects, drawn by the game with the light (additive) blend: the
// explosions, the puffs, the lunar module's exhaust and the landing beam.
#include <cmath>

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

// Plasma ramp for the game-over bursts: violet, magenta, pink, white.
Col plasma(float h) {
    h = clamp01(h);
    if (h < 0.35f) return mix(rgb(40, 10, 80), rgb(170, 40, 220), h / 0.35f);
    if (h < 0.7f) return mix(rgb(170, 40, 220), rgb(255, 110, 220), (h - 0.35f) / 0.35f);
    return mix(rgb(255, 110, 220), rgb(255, 255, 255), (h - 0.7f) / 0.3f);
}

// One turbulent fireball at stage t (0 start, 1 gone) centred in a cell.
void fireball(Canvas& c, int ox, int oy, int size, float t, uint32_t seed, Col (*ramp)(float), float ringK) {
    float cx = ox + size / 2.0f, cy = oy + size / 2.0f;
    float maxR = size * 0.46f;
    float r = maxR * (0.25f + 0.75f * std::sqrt(t));
    float heat0 = 1.3f - t * 1.05f;
    for (int y = oy; y < oy + size; ++y)
        for (int x = ox; x < ox + size; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float d = std::sqrt(dx * dx + dy * dy);
            float n = fbm((x - ox) * 0.11f, (y - oy) * 0.11f + t * 2, seed, 4);
            float edge = r * (0.75f + 0.5f * n);
            float k = 1 - d / edge;
            if (t > 0.5f) k -= (t - 0.5f) * 0.8f * (1 - n);  // breaks up into wisps
            float h = 0;
            if (k > 0) h = k * heat0 + (n - 0.5f) * 0.4f;
            // shock ring early on
            float ring = ringK * std::exp(-std::pow((d - maxR * (0.3f + t * 0.9f)) / 2.2f, 2.0f)) * (1 - t) * (1 - t) *
                         smooth(0.75f, 0.55f, t) * 0.9f;  // gone before it reaches the cell's edge
            // everything fades out before the cell's edge
            int bd = std::min(std::min(x - ox, ox + size - 1 - x), std::min(y - oy, oy + size - 1 - y));
            float fade = smooth(0, 6, static_cast<float>(bd));
            ring *= fade;
            float v = std::max(h, 0.0f) * fade;
            if (v <= 0.02f && ring <= 0.02f) continue;
            if (v > 0.02f) c.add(x, y, ramp(v), clamp01(v * 2.2f));
            if (ring > 0.02f) c.add(x, y, ramp(0.8f), ring);
        }
}

}  // namespace

void drawExplosion(Canvas& c) {
    for (int f = 0; f < 16; ++f) fireball(c, (f % 4) * 64, (f / 4) * 64, 64, f / 15.0f, 77, fire, 0.7f);
}

void drawExplosion2(Canvas& c) {
    for (int f = 0; f < 13; ++f) {
        float t = f / 12.0f;
        fireball(c, 0, f * 64, 64, t, 91, plasma, 1.0f);
        // sparks flying out
        Rng rng(500);
        for (int s = 0; s < 10; ++s) {
            float ang = rng.range(0, 2 * kPi), sp = rng.range(12, 22);
            float d = sp * std::sqrt(t) + 3;
            float x = 32 + std::cos(ang) * d, y = f * 64 + 32 + std::sin(ang) * d;
            if (t < 0.9f) c.glow(x, y, 3.5f, rgb(255, 230, 255), 1.2f * (1 - t));
        }
    }
}

void drawPoof(Canvas& c) {
    for (int f = 0; f < 4; ++f) {
        float t = f / 3.0f;
        float r = 3 + 3.2f * t;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                float dx = x + 0.5f - 8, dy = y + 0.5f - 8;
                float d = std::sqrt(dx * dx + dy * dy);
                float n = valueNoise(x * 0.5f + f * 3, y * 0.5f, 33);
                float k = (1 - d / (r * (0.8f + 0.3f * n))) * (1 - t * 0.55f);
                if (k > 0) c.add(f * 16 + x, y, mix(rgb(255, 250, 220), rgb(255, 140, 60), t), clamp01(k * 1.8f));
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
    // One row of the landing beam: a shimmering band of light, two variants.
    for (int f = 0; f < 2; ++f)
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 132; ++x) {
                float dy = (y + 0.5f - 18) / 18, dx = (x + 0.5f - 66) / 66;
                float band = std::exp(-dy * dy * 4.5f) * (1 - std::pow(std::fabs(dx), 6.0f));
                float streak = 0.55f + 0.45f * std::sin(x * 0.31f + f * 2.1f + valueNoise(x * 0.2f, y * 0.15f, 950 + f) * 3);
                float sparkle = hashf(x, y, 900 + f) > 0.985f ? 0.8f : 0.0f;
                float k = band * streak + sparkle * band;
                if (k > 0.03f) c.add(x, f * 36 + y, mix(rgb(80, 200, 255), rgb(235, 255, 255), clamp01(band * 1.2f - 0.3f)), clamp01(k));
            }
}

}  // namespace pic
