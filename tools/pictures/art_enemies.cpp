// The flying enemies, their fragments, the ground installations, the mines,
// the enemy shots and the bonus burst.
#include <algorithm>
#include <cmath>
#include <utility>

#include "art.h"

namespace pic {

namespace {

constexpr float kPi = 3.14159265f;

// A glossy sphere paint: lit from the upper left.
Paint sphere(float cx, float cy, float r, Col light, Col dark) {
    return [=](float x, float y) {
        float dx = (x - (cx - r * 0.35f)) / r, dy = (y - (cy - r * 0.35f)) / r;
        float d = std::sqrt(dx * dx + dy * dy);
        Col c = mix(light, dark, clamp01(d * 0.8f));
        if (d < 0.25f) c = mix(rgb(255, 255, 255), c, d / 0.25f);
        return c;
    };
}

// A lighter rim just inside the sprite's edge, so it stands out from the
// dusky landscape behind it: strongest where the edge faces the light (up
// and to the left), fainter elsewhere. Only colours change; what is drawn
// and what is see-through stays as it was.
void rimLight(Canvas& a, float strength) {
    const Canvas orig = a;
    auto open = [&](int x, int y) { return orig.get(x, y).a < 0.5f; };
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) {
            Col p = orig.get(x, y);
            if (p.a < 0.5f) continue;
            float k = 0;
            if (open(x - 1, y) || open(x, y - 1) || open(x - 1, y - 1)) k = strength;
            else if (open(x + 1, y) || open(x, y + 1)) k = strength * 0.45f;
            if (k > 0) a.put(x, y, mix(p, scale(rgb(255, 250, 255), p.a), k));
        }
}

// Type 0: a four-bladed spinner drone (the game rotates it): lime blades
// round a pale hub.
void spinner(Canvas& a, int f) {
    float tw = f * 0.2f;
    for (int k = 0; k < 4; ++k) {
        float ang = k * kPi / 2 + tw;
        float ca = std::cos(ang), sa = std::sin(ang);
        auto P = [&](float u, float v) { return std::vector<float>{20 + u * ca - v * sa, 20 + u * sa + v * ca}; };
        std::vector<float> blade;
        for (auto pt : {P(5, -5), P(16.5f, -2), P(15.5f, 3), P(5, 5)}) blade.insert(blade.end(), pt.begin(), pt.end());
        a.poly(blade, k % 2 ? rgb(180, 255, 124) : rgb(128, 240, 88));
    }
    a.circle(20, 20, 8, sphere(20, 20, 8, rgb(246, 255, 226), rgb(130, 230, 92)));
    a.circle(20, 20, 3, rgb(255, 255, 236));
}

// Type 1: a small silver probe with a blinking antenna and a light running
// round its teal belt.
void probe(Canvas& a, int f) {
    a.ellipse(20, 22, 13, 9, sphere(20, 22, 13, rgb(246, 246, 250), rgb(196, 198, 206)));
    a.rect(8, 24, 24, 3, rgb(40, 214, 184));
    const float run[4] = {11, 17, 23, 29};
    a.rect(run[f] - 2, 24, 4, 3, rgb(200, 255, 252));
    a.line(20, 13, 20, 5, 1.5f, rgb(222, 222, 228));
    a.circle(20, 5, 2.5f, f % 2 ? rgb(255, 60, 60) : rgb(110, 30, 30));
    if (f % 2) a.glow(20, 5, 6, Col{0.5f, 0.1f, 0.1f, 0.5f}, 0.8f);
    a.ellipse(20, 19, 6, 3, rgb(104, 98, 88));
}

// Type 2: a floating jellyfish, glowing cyan: the bell squeezes and relaxes,
// a wave runs down its tentacles, and the spots on its bell glow in turn.
void jelly(Canvas& a, int f) {
    float ph = f * kPi / 2;
    float squeeze = std::cos(ph);  // 1 relaxed and wide, -1 squeezed tall
    float spacing = 2.6f - 0.35f * squeeze;
    for (int t = 0; t < 5; ++t) {
        float x0 = 10 + t * 5;
        for (int s = 0; s < 6; ++s) {
            float y = 22 + s * spacing;
            float x = x0 + std::sin(s * 0.95f - ph + t * 0.7f) * (0.6f + s * 0.55f);
            a.circle(x, y, 1.7f - s * 0.17f, mix(rgb(210, 255, 252), rgb(140, 236, 244), s / 6.0f));
        }
    }
    float rx = 15 + 1.6f * squeeze, ry = 10 - 1.3f * squeeze, cy = 17 + 0.8f * squeeze;
    a.ellipse(20, cy, rx, ry, sphere(20, cy - 2, 15, rgb(232, 255, 255), rgb(120, 232, 244)));
    a.ellipse(20, cy + 3, rx - 3, 3, rgb(70, 200, 222));
    for (int k = 0; k < 3; ++k) {
        bool lit = k == f % 3;
        float sx = 12 + k * 8;
        a.circle(sx, cy - ry * 0.55f + (k == 1 ? -1 : 0), 1.3f, lit ? rgb(255, 255, 200) : rgb(140, 236, 244));
        if (lit) a.glow(sx, cy - ry * 0.55f, 5, Col{0.4f, 0.35f, 0.2f, 0.4f}, 0.8f);
    }
    a.circle(15, cy - 3, 2.2f, rgb(255, 255, 255));
    a.circle(25, cy - 3, 2.2f, rgb(255, 255, 255));
    a.circle(15.5f, cy - 2.5f, 1, rgb(0, 40, 52));
    a.circle(25.5f, cy - 2.5f, 1, rgb(0, 40, 52));
}

// Type 3: a ball robot bouncing on a spring: the spring squashes and
// stretches and the eye slot scans from side to side.
void springBot(Canvas& a, int f) {
    const float sq[4] = {0, 3, 5, 3};
    const float scan[4] = {11, 16, 21, 16};
    float s = sq[f];
    float top = 2 + s;
    float coil = 2.2f - s * 0.25f;
    for (int k = 0; k < 4; ++k) a.ellipse(20, 27 + s * 0.55f + k * coil, 7, 1.6f, k % 2 ? rgb(195, 195, 220) : rgb(240, 240, 250));
    a.ellipse(20, 35, 9, 2.2f, rgb(155, 155, 185));
    a.ellipse(20, top + 11, 13 + s * 0.25f, 11 - s * 0.35f, sphere(20, top + 11, 13, rgb(255, 232, 170), rgb(255, 150, 70)));
    a.rect(9, top + 9, 22, 4, rgb(60, 30, 20));
    a.rect(scan[f], top + 10, 5, 2, rgb(255, 80, 50));
    a.glow(scan[f] + 2.5f, top + 11, 5, Col{0.5f, 0.12f, 0.05f, 0.5f}, 0.9f);
}

// Type 4: a saucer with a single roving eye; its running lights chase round
// the rim and the stripes of the spinning rim slide along.
void eyeSaucer(Canvas& a, int f) {
    a.ellipse(20, 22, 18, 7, sphere(20, 22, 18, rgb(226, 255, 236), rgb(130, 206, 162)));
    for (int k = 0; k < 5; ++k) {
        float x = 5 + std::fmod(k * 7.5f + f * 1.9f, 30.0f);
        a.rect(x, 25, 2, 2, rgb(80, 160, 118));
    }
    a.ellipse(20, 16, 9, 8, sphere(20, 15, 9, rgb(214, 255, 230), rgb(110, 224, 168)));
    a.circle(20, 16, 4.5f, rgb(255, 255, 255));
    const float lookX[4] = {-2.2f, 0, 2.2f, 0}, lookY[4] = {0, 1.2f, 0, -1.2f};
    a.circle(20 + lookX[f], 16 + lookY[f], 2.5f, rgb(20, 60, 40));
    a.circle(19.2f + lookX[f], 15.2f + lookY[f], 0.8f, rgb(255, 255, 255));
    for (int k = 0; k < 4; ++k) {
        bool lit = k == f;
        float x = 7 + k * 8.7f;
        a.circle(x, 24, lit ? 2.2f : 1.7f, lit ? rgb(255, 255, 140) : rgb(90, 170, 128));
        if (lit) a.glow(x, 24, 7, Col{0.45f, 0.45f, 0.15f, 0.5f}, 1.0f);
    }
}

// Type 5: an amber bat-winged flyer, flapping, its body bobbing with the beat.
void bat(Canvas& a, int f) {
    const float lift[4] = {-8, -2, 5, -2};
    const float bob[4] = {1, 0, -1, 0};
    float l = lift[f], b = bob[f];
    for (int side : {-1, 1}) {
        float sx = static_cast<float>(side);
        a.poly({20 + sx * 5, 17 + b, 20 + sx * 13, 14 + l, 20 + sx * 17.5f, 12 + l * 1.2f, 20 + sx * 15.5f, 22 + l * 0.6f,
                20 + sx * 11, 20 + l * 0.3f, 20 + sx * 9, 25 + b},
               rgb(255, 196, 70));
        a.line(20 + sx * 5, 18 + b, 20 + sx * 17.5f, 12 + l * 1.2f, 1.4f, rgb(255, 240, 184));
        a.line(20 + sx * 11, 16 + l * 0.5f, 20 + sx * 13, 21 + l * 0.4f, 1, rgb(214, 150, 40));
    }
    a.ellipse(20, 20 + b, 6, 8, sphere(20, 20 + b, 7, rgb(255, 240, 180), rgb(246, 186, 60)));
    a.poly({16, 13 + b, 17, 8 + b, 19, 12 + b}, rgb(246, 188, 70));
    a.poly({24, 13 + b, 23, 8 + b, 21, 12 + b}, rgb(246, 188, 70));
    a.circle(17.5f, 17 + b, 1.6f, rgb(210, 30, 30));
    a.circle(22.5f, 17 + b, 1.6f, rgb(210, 30, 30));
}

// Type 6: a sea-green manta gliding in waves: its wings beat, the tips
// flexing, and its tail swishes.
void manta(Canvas& a, int f) {
    float ph = f * kPi / 2;
    float w = std::sin(ph) * 6, tip = std::sin(ph - 0.8f) * 3;
    float tail = std::sin(ph + 1) * 3;
    a.poly({3, 18 + w + tip, 12, 13 + w * 0.3f, 20, 9, 28, 13 + w * 0.3f, 37, 18 + w + tip, 30, 22 + w * 0.2f, 24, 24, 20, 31,
            16, 24, 10, 22 + w * 0.2f},
           vgrad(9, 31, rgb(206, 255, 190), rgb(92, 212, 104)));
    a.line(20, 28, 20 + tail, 35.5f, 1.5f, rgb(104, 220, 112));
    a.line(12, 16 + w * 0.3f, 20, 12, 1.2f, rgb(234, 255, 226));
    a.line(28, 16 + w * 0.3f, 20, 12, 1.2f, rgb(234, 255, 226));
    Col eye = f % 2 ? rgb(255, 236, 90) : rgb(255, 172, 40);
    a.circle(16, 17, 1.7f, eye);
    a.circle(24, 17, 1.7f, eye);
}

// Type 7: a spiked ball rolling round, its core pulsing red-hot.
void spikeBall(Canvas& a, int f) {
    float pulse = std::sin(f * kPi / 2);
    float turn = f * kPi / 16;  // an eighth of a turn over the four cells: the spikes come round
    for (int k = 0; k < 8; ++k) {
        float ang = k * kPi / 4 + kPi / 8 + turn;
        float r0 = 9, r1 = 17;
        float ca = std::cos(ang), sa = std::sin(ang);
        a.poly({20 + ca * r1, 20 + sa * r1, 20 + ca * r0 - sa * 3, 20 + sa * r0 + ca * 3, 20 + ca * r0 + sa * 3,
                20 + sa * r0 - ca * 3},
               k % 2 ? rgb(226, 220, 236) : rgb(252, 248, 255));
    }
    a.circle(20, 20, 11, sphere(20, 20, 11, rgb(255, 168, 156), rgb(228, 60, 56)));
    for (int k = 0; k < 4; ++k) {  // seams on the shell, turning with it
        float ang = k * kPi / 2 + turn;
        a.line(20 + std::cos(ang) * 6, 20 + std::sin(ang) * 6, 20 + std::cos(ang) * 10, 20 + std::sin(ang) * 10, 1,
               rgb(168, 34, 40));
    }
    a.circle(20, 20, 4.5f + pulse * 1.2f, mix(rgb(255, 96, 80), rgb(255, 228, 200), 0.5f + 0.5f * pulse));
    a.glow(20, 20, 9 + pulse * 2, Col{0.5f, 0.25f, 0.05f, 0.5f}, 0.7f + 0.3f * pulse);
}

// Type 8: a ring drone: lights orbit its ring, a sheen slides round it and
// the core throbs.
void ringDrone(Canvas& a, int f) {
    a.ring(20, 20, 13, 5, rgb(250, 234, 96));
    a.ring(20, 20, 13, 1.2f, rgb(255, 250, 200));
    float sheen = f * kPi / 2 + 0.6f;
    a.fill(0, 0, 40, 40, [=](float x, float y) {
        float ang = std::atan2(y - 20, x - 20);
        float da = std::fabs(std::remainder(ang - sheen, 2 * kPi));
        return std::max(std::fabs(sdCircle(x, y, 20, 20, 13)) - 2.0f, (da - 0.45f) * 13);
    }, rgb(255, 255, 230));
    float pulse = std::sin(f * kPi / 2);
    a.circle(20, 20, 6 + pulse * 0.8f, sphere(20, 20, 6, rgb(255, 255, 210), rgb(236, 206, 50)));
    a.glow(20, 20, 8, Col{0.4f, 0.3f, 0.05f, 0.4f}, 0.5f + 0.4f * pulse);
    for (int k = 0; k < 3; ++k) {
        float ang = f * kPi / 6 + k * 2 * kPi / 3;
        a.circle(20 + std::cos(ang) * 13, 20 + std::sin(ang) * 13, 2.6f, rgb(255, 80, 60));
        a.circle(20 + std::cos(ang) * 13 - 0.6f, 20 + std::sin(ang) * 13 - 0.6f, 1, rgb(255, 220, 200));
    }
}

// Type 9: a wasp with buzzing wings (seven steps holding three beats, so
// the wings flick from high to low nearly every step), twitching legs and
// a throbbing sting.
void wasp(Canvas& a, int f) {
    float ph = f * 2 * kPi * 3 / 7;
    float wing = std::sin(ph);
    Col membrane{0.6f, 0.85f, 0.9f, 0.9f};
    a.ellipse(13 + wing, 11 - wing * 4, 7, 3 + std::fabs(wing) * 1.5f, membrane);
    a.ellipse(25 - wing, 11 - wing * 4, 7, 3 + std::fabs(wing) * 1.5f, membrane);
    a.line(14, 12 - wing * 4, 18, 17, 2.5f, membrane);  // the wings' roots
    a.line(24, 12 - wing * 4, 20, 17, 2.5f, membrane);
    a.ellipse(26, 24, 9, 6, [&](float x, float) {
        return (static_cast<int>(x) / 3) % 2 ? rgb(40, 40, 20) : rgb(200, 255, 60);
    });
    float sting = 36.5f + std::sin(ph * 2);
    a.poly({34, 23.5f, sting, 25.5f, 34, 27.5f}, rgb(230, 230, 230));
    a.ellipse(16, 21, 6, 5, sphere(16, 21, 6, rgb(226, 255, 160), rgb(150, 214, 64)));
    a.circle(9, 20, 5, sphere(9, 20, 5, rgb(236, 255, 176), rgb(150, 210, 64)));
    a.circle(7, 19, 2, f % 2 ? rgb(255, 90, 90) : rgb(255, 40, 40));
    for (int k = 0; k < 3; ++k) {
        float kick = std::sin(ph + k * 2.1f) * 1.5f;
        a.line(13 + k * 4, 25, 11 + k * 4 + kick, 32, 1.2f, rgb(50, 60, 20));
    }
}

using Painter = void (*)(Canvas&, int);
const Painter kTypes[10] = {spinner, probe, jelly, springBot, eyeSaucer, bat, manta, spikeBall, ringDrone, wasp};

const Canvas& enemySheet() {
    static const Canvas sheet = [] {
        Canvas c(160, 440);
        for (int t = 0; t < 10; ++t) {
            int frames = t == 9 ? 7 : 4;
            for (int f = 0; f < frames; ++f) {
                Canvas a(40, 40);
                kTypes[t](a, f);
                rimLight(a, 0.7f);
                a.outline(pal::ink(), 1);
                int cell = t * 4 + f;
                c.blit(a, (cell % 4) * 40, (cell / 4) * 40);
            }
        }
        return c;
    }();
    return sheet;
}

// --- ground installations ------------------------------------------------------

// Kind 3: a dome turret whose barrel sweeps.
void domeGun(Canvas& a, int f) {
    float ang = (-150 + f * 24) * kPi / 180;
    a.rect(4, 32, 32, 8, vgrad(32, 40, rgb(110, 110, 140), rgb(50, 46, 70)));
    a.rect(4, 32, 32, 1, rgb(200, 200, 220));
    a.line(20, 22, 20 + std::cos(ang) * 17, 22 + std::sin(ang) * 17, 4, rgb(170, 170, 190));
    a.circle(20, 26, 11, sphere(20, 26, 11, rgb(200, 210, 230), rgb(60, 64, 90)));
    a.rect(9, 28, 22, 4, rgb(60, 64, 90));
    a.circle(20, 22, 3, f % 2 ? rgb(255, 80, 60) : rgb(150, 40, 30));
    for (int k = 0; k < 3; ++k) a.rect(8 + k * 10, 35, 5, 2, rgb(255, 200, 60));
}

// Kind 4: a pylon with a glowing orb that fires from its middle.
void orbGun(Canvas& a, int f) {
    float pulse = std::sin(f * kPi / 3);
    a.poly({8, 40, 13, 26, 27, 26, 32, 40}, vgrad(26, 40, rgb(130, 120, 160), rgb(50, 40, 70)));
    a.line(11, 30, 20, 14, 3, rgb(150, 140, 180));
    a.line(29, 30, 20, 14, 3, rgb(150, 140, 180));
    a.circle(20, 20, 8 + pulse, rgb(120, 20, 40));
    a.circle(20, 20, 7 + pulse, sphere(20, 20, 7, rgb(255, 180, 160), rgb(200, 20, 40)));
    a.circle(20, 20, 2.5f + pulse, rgb(255, 255, 220));
    a.rect(8, 38, 24, 2, rgb(255, 200, 60));
}

// Kind 5: the shield bonus, a spinning emblem.
void shieldBonus(Canvas& a, int f) {
    float turn = std::cos(f * kPi / 6);  // width of the spinning badge
    float w = 13 * std::max(0.25f, std::fabs(turn));
    Col rim = rgb(255, 230, 120), face = turn >= 0 ? rgb(60, 220, 160) : rgb(40, 170, 200);
    a.poly({20 - w, 8, 20 + w, 8, 20 + w, 22, 20, 34, 20 - w, 22}, rim);
    float wi = w - 2.5f;
    if (wi > 1)
        a.poly({20 - wi, 10.5f, 20 + wi, 10.5f, 20 + wi, 21, 20, 31, 20 - wi, 21},
               vgrad(10, 31, mix(face, rgb(255, 255, 255), 0.4f), face));
    if (std::fabs(turn) > 0.5f) {
        float k = w / 13;
        a.rect(20 - 1.5f * k, 13, 3 * k, 13, rgb(255, 255, 255));
        a.rect(20 - 6 * k, 18, 12 * k, 3, rgb(255, 255, 255));
    }
}

// Kinds 6 and 7: a tracked gun carrier with a missile launcher at the front;
// this one faces left, its launcher's mouth at (8, 5).
void carrier(Canvas& a, int f) {
    // tracks
    a.roundRect(2, 28, 36, 10, 5, rgb(50, 46, 60));
    for (int k = 0; k < 5; ++k) a.circle(7 + k * 6.5f, 33, 3, rgb(120, 120, 140));
    for (int k = 0; k < 9; ++k) {
        float x = 3 + std::fmod(k * 4.0f - f * 1.0f + 36, 36.0f);
        a.rect(x, 28, 2, 1.5f, rgb(160, 160, 170));
    }
    // hull
    a.poly({4, 28, 8, 18, 34, 18, 37, 28}, vgrad(18, 28, rgb(200, 160, 90), rgb(110, 70, 30)));
    a.rect(8, 22, 26, 2, rgb(60, 30, 10));
    // launcher tilted up to the left
    a.poly({6, 3, 12, 1, 22, 15, 16, 18}, rgb(160, 165, 180));
    a.circle(8, 5, 3.2f, rgb(40, 30, 40));
    a.circle(8, 5, 1.6f, f % 2 ? rgb(255, 120, 40) : rgb(150, 60, 20));
    a.roundRect(22, 12, 10, 7, 2, rgb(120, 100, 70));
    a.circle(30, 15, 1.5f, rgb(90, 230, 255));
}

const Canvas& groundSheet() {
    static const Canvas sheet = [] {
        Canvas c(240, 240);
        auto put = [&](int cell, void (*fn)(Canvas&, int), int f, bool mirror) {
            Canvas a(40, 40);
            fn(a, f);
            a.outline(pal::ink(), 1);
            if (mirror) a = a.mirrored();
            c.blit(a, (cell % 6) * 40, (cell / 6) * 40);
        };
        for (int f = 0; f < 6; ++f) put(f, domeGun, f, false);
        for (int f = 0; f < 6; ++f) put(6 + f, orbGun, f, false);
        for (int f = 0; f < 6; ++f) put(12 + f, shieldBonus, f, false);
        for (int f = 0; f < 4; ++f) put(18 + f, carrier, f, false);
        for (int f = 0; f < 4; ++f) put(24 + f, carrier, f, true);
        return c;
    }();
    return sheet;
}

}  // namespace

void drawEnemies(Canvas& c) { c.blit(enemySheet(), 0, 0); }

void drawFrags(Canvas& c) {
    // Each enemy type's 40 x 40 picture (its first cell) shattered into four
    // shards, two cells to a row, so the block of type t lies at y 40 t.
    // One crack runs right across the enemy near its middle, leaning a
    // little and kinked; two more branch off it, one to each side, from
    // points well apart, and run aslant out to the rim: the enemy breaks
    // like a brick wall, never in a cross. The shard of each quarter is the
    // piece that mostly lies in it. A leaning crack carries part of a shard
    // over the middle, so that shard has already jumped outwards far enough
    // to fit its own cell: the gaps open along the cracks. No two enemies break alike. The broken edges are a
    // little scorched, with embers still glowing in them.
    const Canvas& s = enemySheet();
    const Col ember = rgb(255, 170, 80), scorch = rgb(34, 16, 30);
    for (int t = 0; t < 10; ++t) {
        int cell = t * 4;
        int sx = (cell % 4) * 40, sy = (cell / 4) * 40;
        auto visible = [&](int x, int y) { return x >= 0 && y >= 0 && x < 40 && y < 40 && s.get(sx + x, sy + y).a >= 0.5f; };
        Rng rng(800 + t);
        auto either = [&](float lo, float hi) { return rng.range(lo, hi) * (rng.uni() < 0.5f ? -1.0f : 1.0f); };
        // The main crack across (u along it, v across it: x and y when it
        // runs from side to side, y and x when it runs from top to bottom)
        // and the two branches, where they leave it and how they lean back
        // towards the middle line on their way out.
        struct Break {
            bool across;
            float shift, lean, kink, branchA, branchB, leanA, leanB;
        };
        auto drawBreak = [&] {
            Break b;
            b.across = rng.uni() < 0.5f;
            b.shift = either(0.5f, 1.5f), b.lean = either(0.06f, 0.14f), b.kink = either(0.1f, 0.25f);
            b.branchA = either(3.5f, 5), b.branchB = -std::copysign(rng.range(3.5f, 5), b.branchA);
            b.leanA = -std::copysign(rng.range(0.1f, 0.2f), b.branchA);
            b.leanB = -std::copysign(rng.range(0.1f, 0.2f), b.branchB);
            return b;
        };
        Break br = drawBreak();
        auto mainV = [&](float u) {
            float off = std::fabs(u - 20) - 7;
            return 20 + br.shift + br.lean * (u - 20) + (off > 0 ? br.kink * off : 0.0f);
        };
        // shard of a pixel: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right
        auto shardOf = [&](int x, int y) {
            if (!visible(x, y)) return -1;
            float u = (br.across ? x : y) + 0.5f, v = (br.across ? y : x) + 0.5f;
            float jag = (hashf(x, y, 830 + t) - 0.5f) * 0.8f;
            bool before = v + jag < mainV(u);  // above the main crack, or left of it
            float d = std::fabs(v - mainV(u));
            float branch = before ? 20 + br.branchA + br.leanA * d : 20 + br.branchB + br.leanB * d;
            bool first = u + jag < branch;  // left of the branch, or above it
            if (br.across) return (before ? 0 : 2) + (first ? 0 : 1);
            return (before ? 0 : 1) + (first ? 0 : 2);
        };
        // shards, not crumbs: the enemy breaks anew until each of the four
        // holds at least an eighth of it
        for (int attempt = 1; attempt < 30; ++attempt) {
            int size[4] = {0, 0, 0, 0}, whole = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    int q = shardOf(x, y);
                    if (q >= 0) ++size[q], ++whole;
                }
            if (*std::min_element(size, size + 4) * 8 >= whole) break;
            br = drawBreak();
        }
        for (int q = 0; q < 4; ++q) {
            const bool right = q % 2, low = q / 2;
            int minX = 40, maxX = -1, minY = 40, maxY = -1;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    if (shardOf(x, y) == q) minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
            if (maxX < 0) continue;
            // the jump outwards: just enough to clear the middle
            int jx = right ? std::max(0, 20 - minX) : std::min(0, 19 - maxX);
            int jy = low ? std::max(0, 20 - minY) : std::min(0, 19 - maxY);
            const int cellX = right ? 20 : 0, cellY = low ? 20 : 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    if (shardOf(x, y) != q) continue;
                    int tx = x + jx, ty = y + jy;
                    // inside its cell, clear of the block's outer border
                    if (tx < cellX || tx >= cellX + 20 || ty < cellY || ty >= cellY + 20) continue;
                    if (tx == 0 || tx == 39 || ty == 0 || ty == 39) continue;
                    Col p = s.get(sx + x, sy + y);
                    bool broken = false;  // next to material of another shard
                    for (auto [ox, oy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                        if (visible(x + ox, y + oy) && shardOf(x + ox, y + oy) != q) broken = true;
                    if (broken) p = hashf(x, y, 810 + t) > 0.6f ? mix(p, ember, 0.7f) : mix(p, scorch, 0.25f);
                    c.put(tx, t * 40 + ty, p);
                }
        }
    }
}

void drawGroundEnemies(Canvas& c) { c.blit(groundSheet(), 0, 0); }

void drawShieldFrags(Canvas& c) {
    // The burst of the collected bonus: the bonus picture itself (first cell).
    c.blitRegion(groundSheet(), 0, 80, 40, 40, 0, 0);
}

void drawMine(Canvas& c) {
    for (int f = 0; f < 4; ++f) {
        Canvas a(40, 40);
        float rot = f * kPi / 16;
        for (int k = 0; k < 6; ++k) {
            float ang = rot + k * kPi / 3;
            float ca = std::cos(ang), sa = std::sin(ang);
            a.line(20 + ca * 8, 20 + sa * 8, 20 + ca * 16, 20 + sa * 16, 2.5f, rgb(200, 200, 222));
            a.circle(20 + ca * 16, 20 + sa * 16, 2.2f, rgb(242, 242, 252));
        }
        a.circle(20, 20, 10, sphere(20, 20, 10, rgb(212, 212, 234), rgb(104, 102, 134)));
        a.ring(20, 20, 7, 1.2f, rgb(62, 60, 84));
        Col light = (f % 2) ? rgb(255, 60, 60) : rgb(110, 20, 20);
        a.circle(20, 20, 3.5f, light);
        if (f % 2) a.glow(20, 20, 9, Col{0.5f, 0.1f, 0.1f, 0.5f}, 0.8f);
        rimLight(a, 0.55f);
        a.outline(pal::ink(), 1);
        c.blit(a, f * 40, 0);
    }
}

void drawShotsEnemy(Canvas& c) {
    // An aimed shot: a white-hot core in a hot pink ball with a dark ring,
    // a colour no blast, puff or fragment uses, so it never passes for debris.
    c.circle(6.5f, 6.5f, 6, rgb(66, 6, 48));
    c.circle(6.5f, 6.5f, 4.5f, [](float x, float y) {
        float d = std::hypot(x - 6.5f, y - 6.5f) / 4.5f;
        return d < 0.45f ? rgb(255, 255, 255) : mix(rgb(255, 120, 214), rgb(236, 24, 150), clamp01((d - 0.45f) / 0.55f));
    });
    c.circle(5.5f, 5.5f, 1.8f, rgb(255, 255, 255));
}

void drawMissile(Canvas& c) {
    // A homing missile pointing right (the game turns it to its heading),
    // with a flickering exhaust behind it.
    for (int f = 0; f < 4; ++f) {
        Canvas a(23, 23);
        float flick = 3 + (f % 2) * 2 + (f == 2);
        for (int x = 2; x < 8; ++x) {
            float t = (8 - x) / flick;
            if (t > 1.6f) continue;
            a.rect(static_cast<float>(x), 10 + t * 0.6f, 1, 3 - t * 1.2f > 0.5f ? 3 - t * 1.2f : 1,
                   mix(rgb(255, 255, 200), rgb(255, 80, 20), clamp01(t)));
        }
        a.poly({7, 9, 17, 9, 20.5f, 11.5f, 17, 14, 7, 14}, vgrad(9, 14, rgb(240, 240, 250), rgb(120, 120, 140)));
        a.poly({7, 9, 10, 9, 8, 5, 5, 5}, rgb(255, 70, 70));
        a.poly({7, 14, 10, 14, 8, 18, 5, 18}, rgb(255, 70, 70));
        a.rect(16, 9.5f, 2, 4, rgb(255, 70, 70));
        a.outline(pal::ink(), 1);
        c.blit(a, f * 23, 0);
    }
}

}  // namespace pic
