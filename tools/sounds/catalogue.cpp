#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <atomic>
#include <chrono>
#include <filesystem>

#include "effects.h"
#include "loudness.h"
#include "oggwriter.h"
#include "sounds.h"

namespace sounds {

const std::vector<Entry>& Catalogue() {
  static const std::vector<Entry> kAll = {
      {"_footsteps-4.ogg", 2.40, Footsteps, 0.3f, false, kCue},
      {"_lights.ogg", 2.99, Lights, 0.3f, false, kCue},
      {"_hmmmm.ogg", 0.73, Hmmmm, 0.3f, false, kCue},
      {"_EnemyExplosion1.ogg", 0.26, EnemyExplosion1, 0.3f, false, kEffect},
      {"_EnemyExplosion2.ogg", 0.24, EnemyExplosion2, 0.3f, false, kEffect},
      {"_AlienRescued.ogg", 0.56, AlienRescued, 0.3f, false, kEffect},
      {"_PlayerShoot.ogg", 0.08, PlayerShoot, 0.3f, false, kEffect},
      {"_AlienPickup.ogg", 1.80, AlienPickup, 0.3f, false, kEffect},
      {"_NoTeleport.ogg", 0.57, NoTeleport, 0.3f, false, kEffect},
      {"_menuselect.ogg", 0.18, MenuSelect, 0.3f, false, kCue},
      {"_MissileHit.ogg", 1.78, MissileHit, 0.3f, false, kEffect},
      {"_wohoo.ogg", 0.51, Wohoo, 0.3f, false, kEffect},
      {"_teleport.ogg", 0.37, Teleport, 0.3f, false, kEffect},
      {"_bzzzt.ogg", 1.03, Bzzzt, 0.3f, false, kEffect},
      {"_radar.ogg", 1.81, Radar, 0.3f, false, kEffect},
      {"_TakeShield.ogg", 0.56, TakeShield, 0.3f, false, kEffect},
      {"_alien1.ogg", 1.22, Alien1, 0.3f, false, kEffect},
      {"_alien2.ogg", 1.51, Alien2, 0.3f, false, kEffect},
      {"_alien3.ogg", 1.17, Alien3, 0.3f, false, kEffect},
      {"_2tower.ogg", 5.01, TwoTower, 0.2f, false, kAmbient},
      {"_energycrackle.ogg", 2.37, EnergyCrackle, 0.3f, false, kAmbient},
      {"_explode1.ogg", 0.84, Explode1, 0.3f, false, kEffect},
      {"_explode2.ogg", 2.44, Explode2, 0.3f, false, kEffect},
      {"_explode3.ogg", 4.08, Explode3, 0.3f, false, kEffect},
      {"_moduleland.ogg", 2.00, ModuleLand, 0.3f, false, kEffect},
      {"_ModuleThrust.ogg", 5.72, ModuleThrust, 0.2f, false, kEffect},
      {"_ModuleTakeoff2.ogg", 5.30, ModuleTakeoff, 0.2f, false, kEffect},
      {"_Towers.ogg", 3.98, Towers, 0.2f, false, kAmbient},
      {"_Urp.ogg", 2.00, Urp, 0.3f, false, kEffect},
      {"m_menu.ogg", 134.46, MenuMusic, 0.25f, true, kMenuTune},
      {"m_game.ogg", 192.37, GameMusic, 0.25f, true, kGameTune},
      {"m_pause.ogg", 42.68, PauseMusic, 0.25f, true, kPauseTune},
  };
  return kAll;
}

synth::Buffer Render(const Entry& e) {
  const int frames = synth::FramesFor(e.seconds);
  synth::Buffer b = e.make(frames);
  b.left.resize(frames, 0.0f);
  b.right.resize(frames, 0.0f);
  if (e.loops) {
    synth::SubtractMean(b);
    // A tune's drum hits stand far above its typical level: they are rounded
    // off under the ceiling rather than holding the whole tune down. The
    // curve has no memory, so the seam stays as seamless as it was.
    const double typical = loudness::Typical(b.left, b.right);
    synth::Scale(b, static_cast<float>(std::pow(10.0, (e.level.loudness - typical) / 20.0)));
    synth::SoftCeiling(b, e.level.ceiling);
  } else {
    synth::RemoveDc(b);
    synth::FadeEdges(b, 0.001, std::min(0.03, e.seconds * 0.1));
    const double loudest = loudness::Loudest(b.left, b.right);
    synth::Scale(b, static_cast<float>(std::pow(10.0, (e.level.loudness - loudest) / 20.0)));
    // A sound too peaky for its level is held under the ceiling, and falls
    // short of the level (the catalogue test says by how much).
    if (synth::Peak(b) > e.level.ceiling) synth::Normalise(b, e.level.ceiling);
  }
  return b;
}

int WriteAll(const std::string& dir, bool verbose) {
  const auto& all = Catalogue();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  // Longest first, so the tunes do not start last and hold everyone up.
  std::vector<int> order(all.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return all[a].seconds > all[b].seconds; });
  std::atomic<int> next{0}, failures{0};
  auto worker = [&] {
    for (int k = next++; k < static_cast<int>(all.size()); k = next++) {
      const int i = order[k];
      const Entry& e = all[i];
      const auto begun = std::chrono::steady_clock::now();
      const synth::Buffer b = Render(e);
      const auto rendered = std::chrono::steady_clock::now();
      std::string error;
      // One fixed serial per file, so every run writes the same bytes.
      const int serial = 0x4E510000 + i;
      if (!synth::WriteOgg(dir + "/" + e.file, b, e.quality, serial, &error)) {
        std::fprintf(stderr, "sndgen: %s: %s\n", e.file, error.c_str());
        ++failures;
      } else if (verbose) {
        const auto done = std::chrono::steady_clock::now();
        using ms = std::chrono::milliseconds;
        // The level it came to (typical for a tune, loudest for an effect)
        // against the one asked for, and its peak.
        const double level =
            e.loops ? loudness::Typical(b.left, b.right) : loudness::Loudest(b.left, b.right);
        std::printf("%-24s %7.2f s  %6.1f dB (asked %5.1f)  peak %.2f  (synthesis %lld ms, encoding %lld ms)\n",
                    e.file, e.seconds, level, e.level.loudness, synth::Peak(b),
                    static_cast<long long>(std::chrono::duration_cast<ms>(rendered - begun).count()),
                    static_cast<long long>(std::chrono::duration_cast<ms>(done - rendered).count()));
      }
    }
  };
  unsigned n = std::thread::hardware_concurrency();
  n = n == 0 ? 4 : (n > 8 ? 8 : n);
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < n; ++t) threads.emplace_back(worker);
  for (auto& t : threads) t.join();
  return failures;
}

}  // namespace sounds
