// sndmeter <res-dir>: reads the sounds of res-dir as the game decodes them
// and says how they are heard: each file's loudness and where its energy
// lies, and every screen of the game mixed at the game's volumes through the
// mixer's limiter (scenes.h). Run it before and after changing a sound.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "loudness.h"
#include "res/assets.h"
#include "runtime/limiter.h"
#include "scenes.h"

namespace {

scenes::Stereo Decode(const std::string& path) {
  scenes::Stereo s;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return s;
  const int channels = ov_info(&vf, -1)->channels;
  int section = 0;
  for (;;) {
    float** pcm = nullptr;
    const long n = ov_read_float(&vf, &pcm, 4096, &section);
    if (n <= 0) break;
    s.left.insert(s.left.end(), pcm[0], pcm[0] + n);
    s.right.insert(s.right.end(), pcm[channels > 1 ? 1 : 0], pcm[channels > 1 ? 1 : 0] + n);
  }
  ov_clear(&vf);
  return s;
}

float Peak(const scenes::Stereo& s) {
  float p = 0;
  for (float v : s.left) p = std::max(p, std::fabs(v));
  for (float v : s.right) p = std::max(p, std::fabs(v));
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sndmeter <res-dir>\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::map<std::string, scenes::Stereo> decoded;
  for (const SoundEntry& e : SoundCatalogue())
    if (IsMainCut(e)) decoded[e.file] = Decode(dir + "/" + e.file);
  const scenes::Sounds sound = [&](const std::string& f) -> const scenes::Stereo& { return decoded[f]; };

  std::printf("%-22s %8s %8s %8s %6s %7s %7s %9s\n", "file", "100ms", "400ms", "integr", "peak", "<100Hz",
              "250-4k", "12k-vs-1-4k");
  for (const SoundEntry& e : SoundCatalogue()) {
    if (!IsMainCut(e)) continue;
    const scenes::Stereo& s = decoded[e.file];
    if (s.left.empty()) {
      std::printf("%-22s unreadable\n", e.file);
      continue;
    }
    const loudness::Spectrum sp(s.left, s.right);
    std::printf("%-22s %8.1f %8.1f %8.1f %6.2f %6.0f%% %6.0f%% %9.1f\n", e.file, loudness::Loudest(s.left, s.right),
                loudness::LoudestOver(s.left, s.right, 0.4), loudness::Integrated(s.left, s.right), Peak(s),
                100 * sp.Share(0, 100), 100 * sp.Share(250, 4000), sp.Density(11000, 13000) - sp.Density(1000, 4000));
  }

  // Two sounds started together, as the game plays them for one event.
  auto together = [&](const char* a, const char* b) {
    scenes::Scene s{"", 2.0, {{a, 0.0, 1.0f}, {b, 0.0, 1.0f}}};
    const scenes::Stereo m = scenes::Mix(s, sound);
    return loudness::Loudest(m.left, m.right);
  };
  std::printf("\nevents (loudest 100 ms): shot %.1f, kill %.1f, shield lost (crackle + hit) %.1f, shield bonus %.1f\n",
              loudness::Loudest(decoded["_PlayerShoot.ogg"].left, decoded["_PlayerShoot.ogg"].right),
              loudness::Loudest(decoded["_EnemyExplosion1.ogg"].left, decoded["_EnemyExplosion1.ogg"].right),
              together("_bzzzt.ogg", "_EnemyExplosion1.ogg"),
              loudness::Loudest(decoded["_TakeShield.ogg"].left, decoded["_TakeShield.ogg"].right));

  // The crackle restarted every 120 frames, as a tesla coil on screen plays it.
  {
    scenes::Scene once{"", 4.0, {{"_energycrackle.ogg", 0.0, 1.0f}}};
    const scenes::Stereo m = scenes::Mix(once, sound);
    float after = 0;
    for (size_t i = 2 * 44100; i < m.left.size(); ++i) after = std::max({after, std::fabs(m.left[i]), std::fabs(m.right[i])});
    std::printf("tesla crackle: peak after 2 s %.4f (of %.3f)\n", after, Peak(m));
  }

  const scenes::Volumes v{0.4f, 0.4f, 0.4f};
  std::printf("\n%-12s %8s %8s %8s %8s %8s %9s %7s\n", "screen", "all", "tune", "effects", "tune-eff", "st-max",
              "unlim-pk", "fullsc");
  for (const scenes::Scene& s : scenes::Screens(v)) {
    const scenes::Stereo raw = scenes::Mix(s, sound);
    const scenes::Stereo all = scenes::Limited(raw);
    std::string tuneFile;
    for (const scenes::Play& p : s.plays)
      if (p.file.rfind("m_", 0) == 0) tuneFile = p.file;
    double tune = -99, effects = -99;
    if (!tuneFile.empty()) {
      const scenes::Stereo t = scenes::Mix(s.Only(tuneFile), sound);
      tune = loudness::Integrated(t.left, t.right);
      const scenes::Stereo e = scenes::Mix(s.Without(tuneFile), sound);
      if (!s.Without(tuneFile).plays.empty()) effects = loudness::Integrated(e.left, e.right);
    }
    int full = 0;
    for (size_t i = 0; i < all.left.size(); ++i)
      if (std::fabs(all.left[i]) >= 0.999f || std::fabs(all.right[i]) >= 0.999f) ++full;
    // A screen without a tune or without effects has no reading for it.
    auto reading = [](double v) {
      char text[16] = "-";
      if (v > -99) std::snprintf(text, sizeof text, "%.1f", v);
      return std::string(text);
    };
    std::printf("%-12s %8.1f %8s %8s %8s %8.1f %9.2f %7d\n", s.name.c_str(), loudness::Integrated(all.left, all.right),
                reading(tune).c_str(), reading(effects).c_str(),
                tune > -99 && effects > -99 ? reading(tune - effects).c_str() : "-",
                loudness::LoudestOver(all.left, all.right, 3.0), Peak(raw), full);
  }
  // The menu's blip over the menu tune under it.
  {
    const scenes::Scene menu = scenes::ScreenNamed(v, "menu");
    const scenes::Stereo t = scenes::Mix(menu.Only("m_menu.ogg"), sound);
    const scenes::Stereo& blip = decoded["_menuselect.ogg"];
    std::printf("\nmenu blip %.1f (100 ms) over the menu tune %.1f (integrated): %+.1f dB\n",
                loudness::Loudest(blip.left, blip.right), loudness::Integrated(t.left, t.right),
                loudness::Loudest(blip.left, blip.right) - loudness::Integrated(t.left, t.right));
  }
  return 0;
}
