#include "effects.h"

#include <cmath>

namespace sounds {
using namespace synth;

namespace {
Buffer Blip(int frames, double f0, double f1, double noise, std::uint64_t seed) {
  Buffer b(frames);
  Osc o(Wave::Saw);
  Rng r(seed);
  for (int i = 0; i < frames; ++i) {
    const double u = static_cast<double>(i) / frames;
    const double f = f0 * std::pow(f1 / f0, u);
    const float v = static_cast<float>((o.Next(f) * (1 - noise) + r.Bipolar() * noise) * (1 - u));
    b.AddPanned(i, v, 0.0f);
  }
  return b;
}
}  // namespace

Buffer Footsteps(int frames) { return Blip(frames, 200, 100, 0.0, 1); }
Buffer Lights(int frames) { return Blip(frames, 240, 160, 0.1, 2); }
Buffer Hmmmm(int frames) { return Blip(frames, 280, 220, 0.2, 3); }
Buffer EnemyExplosion1(int frames) { return Blip(frames, 320, 280, 0.30000000000000004, 4); }
Buffer EnemyExplosion2(int frames) { return Blip(frames, 360, 340, 0.4, 5); }
Buffer AlienRescued(int frames) { return Blip(frames, 400, 400, 0.0, 6); }
Buffer PlayerShoot(int frames) { return Blip(frames, 440, 460, 0.1, 7); }
Buffer AlienPickup(int frames) { return Blip(frames, 480, 520, 0.2, 8); }
Buffer NoTeleport(int frames) { return Blip(frames, 520, 580, 0.30000000000000004, 9); }
Buffer MenuSelect(int frames) { return Blip(frames, 560, 640, 0.4, 10); }
Buffer MissileHit(int frames) { return Blip(frames, 600, 700, 0.0, 11); }
Buffer Wohoo(int frames) { return Blip(frames, 640, 760, 0.1, 12); }
Buffer Teleport(int frames) { return Blip(frames, 680, 820, 0.2, 13); }
Buffer Bzzzt(int frames) { return Blip(frames, 720, 880, 0.30000000000000004, 14); }
Buffer Radar(int frames) { return Blip(frames, 760, 940, 0.4, 15); }
Buffer TakeShield(int frames) { return Blip(frames, 800, 1000, 0.0, 16); }
Buffer Alien1(int frames) { return Blip(frames, 840, 1060, 0.1, 17); }
Buffer Alien2(int frames) { return Blip(frames, 880, 1120, 0.2, 18); }
Buffer Alien3(int frames) { return Blip(frames, 920, 1180, 0.30000000000000004, 19); }
Buffer TwoTower(int frames) { return Blip(frames, 960, 1240, 0.4, 20); }
Buffer EnergyCrackle(int frames) { return Blip(frames, 1000, 1300, 0.0, 21); }
Buffer Explode1(int frames) { return Blip(frames, 1040, 1360, 0.1, 22); }
Buffer Explode2(int frames) { return Blip(frames, 1080, 1420, 0.2, 23); }
Buffer Explode3(int frames) { return Blip(frames, 1120, 1480, 0.30000000000000004, 24); }
Buffer ModuleLand(int frames) { return Blip(frames, 1160, 1540, 0.4, 25); }
Buffer ModuleThrust(int frames) { return Blip(frames, 1200, 1600, 0.0, 26); }
Buffer ModuleTakeoff(int frames) { return Blip(frames, 1240, 1660, 0.1, 27); }
Buffer Towers(int frames) { return Blip(frames, 1280, 1720, 0.2, 28); }
Buffer Urp(int frames) { return Blip(frames, 1320, 1780, 0.30000000000000004, 29); }

}  // namespace sounds
