// The sounds of the game as the generator makes them: every Ogg file of the
// game's catalogue (res/assets.h), with its length and kind from there, and
// the routine that synthesises it, its quality and its level from here.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace sounds {

// How a sound is levelled: the loudness it is brought to (see loudness.h)
// and the peak it must stay under. An effect is measured by its loudest
// 100 ms, a tune by its typical 100 ms (the median), as it plays on.
struct Level {
  double loudness;
  float ceiling;
};

// The balance of the game. A fight's shots and explosions, and every other
// effect with them, sit at one level, with room above it for several at
// once; the hums of the structures, which repeat for as long as a structure
// is on screen, 9 dB under them. The cues (the menu's tick, the intro's
// sounds) stand clear above the menu tune under them. The game tune stays
// within a few dB of the fight at its play volume (0.4); the menu tune is
// calmer, and the pause tune between the two.
constexpr Level kEffect{-15.0, 0.5f};
constexpr Level kHum{-24.0, 0.5f};
constexpr Level kCue{-13.0, 0.89f};
constexpr Level kGameTune{-12.0, 0.8f};
constexpr Level kMenuTune{-18.5, 0.8f};
constexpr Level kPauseTune{-16.0, 0.8f};

struct Entry {
  const char* file;      // file name inside res/
  double seconds;        // exact length, to the hundredth of a second
  synth::Buffer (*make)(int frames);
  float quality;         // Vorbis VBR quality
  bool loops;            // music: the end must flow into the start
  Level level;
};

// In the order the files get their Ogg serials.
const std::vector<Entry>& Catalogue();

// Renders one entry at its catalogued length, levelled and ready to encode.
synth::Buffer Render(const Entry& e);

// Writes every file of the catalogue into dir. Returns the number of failures.
int WriteAll(const std::string& dir, bool verbose);

// Music (music.cpp).
synth::Buffer MenuMusic(int frames);
synth::Buffer GameMusic(int frames);
synth::Buffer PauseMusic(int frames);

}  // namespace sounds
