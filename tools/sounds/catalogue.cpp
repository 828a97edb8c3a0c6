#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "res/assets.h"
#include "effects.h"
#include "loudness.h"
#include "oggwriter.h"
#include "sounds.h"

namespace sounds {

namespace {

// How the generator makes one file of the game's catalogue (res/assets.h),
// which gives its length and kind.
struct Making {
  const char* file;
  synth::Buffer (*make)(int frames);
  float quality;                // Vorbis VBR quality
  std::optional<Level> level;   // a tune's own, or a sound's that stands apart from its kind
};

// KEPT: each file's Ogg serial is its row's place here, so this order (the
// one the files were first written in, _ModuleThrust before
// _ModuleTakeoff2, unlike the game's loading order) keeps their bytes.
const Making kMakings[] = {
    {"_footsteps-4.ogg", Footsteps, 0.3f, {}},
    {"_lights.ogg", Lights, 0.3f, {}},
    {"_hmmmm.ogg", Hmmmm, 0.3f, {}},
    {"_EnemyExplosion1.ogg", EnemyExplosion1, 0.3f, {}},
    {"_EnemyExplosion2.ogg", EnemyExplosion2, 0.3f, {}},
    {"_AlienRescued.ogg", AlienRescued, 0.3f, {}},
    {"_PlayerShoot.ogg", PlayerShoot, 0.3f, kShot},
    {"_AlienPickup.ogg", AlienPickup, 0.3f, {}},
    {"_NoTeleport.ogg", NoTeleport, 0.3f, {}},
    {"_menuselect.ogg", MenuSelect, 0.3f, kTick},
    {"_MissileHit.ogg", MissileHit, 0.3f, {}},
    {"_wohoo.ogg", Wohoo, 0.3f, {}},
    {"_teleport.ogg", Teleport, 0.3f, {}},
    {"_bzzzt.ogg", Bzzzt, 0.3f, kShieldLost},
    {"_radar.ogg", Radar, 0.3f, {}},
    {"_TakeShield.ogg", TakeShield, 0.3f, kShieldBonus},
    {"_alien1.ogg", Alien1, 0.3f, {}},
    {"_alien2.ogg", Alien2, 0.3f, {}},
    {"_alien3.ogg", Alien3, 0.3f, {}},
    {"_2tower.ogg", TwoTower, 0.2f, {}},
    {"_energycrackle.ogg", EnergyCrackle, 0.3f, {}},
    {"_explode1.ogg", Explode1, 0.3f, {}},
    {"_explode2.ogg", Explode2, 0.3f, {}},
    {"_explode3.ogg", Explode3, 0.3f, {}},
    {"_moduleland.ogg", ModuleLand, 0.3f, {}},
    {"_ModuleThrust.ogg", ModuleThrust, 0.2f, {}},
    {"_ModuleTakeoff2.ogg", ModuleTakeoff, 0.2f, {}},
    {"_Towers.ogg", Towers, 0.2f, {}},
    {"_Urp.ogg", Urp, 0.3f, {}},
    {"m_menu.ogg", MenuMusic, 0.25f, kMenuTune},
    {"m_game.ogg", GameMusic, 0.25f, kGameTune},
    {"m_pause.ogg", PauseMusic, 0.25f, kPauseTune},
};

// The level of a sound without one of its own: that of its kind.
Level LevelOf(SoundKind kind) {
  if (kind == SoundKind::Hum) return kHum;
  if (kind == SoundKind::Cue) return kCue;
  if (kind == SoundKind::Fight) return kFight;  // a fight's shots and explosions
  return kEffect;
}

[[noreturn]] void Stop(const char* what, const char* file) {
  std::fprintf(stderr, "sndgen: %s %s\n", what, file);
  std::exit(2);
}

// The makings with the catalogue's facts; a file of the catalogue with no
// making, or a making of no file, stops the generator.
std::vector<Entry> Collect() {
  std::vector<Entry> all;
  for (const Making& m : kMakings) {
    const auto& rows = SoundCatalogue();
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const SoundEntry& r) { return std::strcmp(r.file, m.file) == 0; });
    if (row == rows.end()) Stop("a making for a file the game's catalogue does not list:", m.file);
    if (row->Loops() && !m.level) Stop("a tune has a level of its own:", m.file);
    all.push_back({m.file, row->seconds, m.make, m.quality, row->Loops(), m.level.value_or(LevelOf(row->kind))});
  }
  for (const SoundEntry& row : SoundCatalogue())
    if (std::none_of(all.begin(), all.end(), [&](const Entry& e) { return std::strcmp(e.file, row.file) == 0; }))
      Stop("no making for", row.file);
  return all;
}

}  // namespace

const std::vector<Entry>& Catalogue() {
  static const std::vector<Entry> kAll = Collect();
  return kAll;
}

synth::Buffer Render(const Entry& e) {
  const int frames = synth::FramesFor(e.seconds);
  synth::Buffer b = e.make(frames);
  b.left.resize(frames, 0.0f);
  b.right.resize(frames, 0.0f);
  if (e.loops) {
    synth::SubtractMean(b);
    // A tune is brought to its loudness as a whole, and its loudest hits
    // are turned down smoothly under the ceiling rather than holding the
    // whole tune down; that takes a little of its loudness, so the gain is
    // found again until it lands. The gain is worked out around the loop,
    // so the seam stays as seamless as it was.
    const synth::Buffer dry = b;
    double gain = e.level.loudness - loudness::Integrated(b.left, b.right);
    for (int round = 0; round < 4; ++round) {
      b = dry;
      synth::Scale(b, static_cast<float>(std::pow(10.0, gain / 20.0)));
      synth::LimitLooped(b, e.level.ceiling, 0.02);
      gain += e.level.loudness - loudness::Integrated(b.left, b.right);
    }
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
        // The level it came to (the whole for a tune, the loudest 100 ms
        // for an effect) against the one asked for, and its peak.
        const double level =
            e.loops ? loudness::Integrated(b.left, b.right) : loudness::Loudest(b.left, b.right);
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
