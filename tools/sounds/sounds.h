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
// 100 ms, a tune as a whole (a broadcast meter's integrated reading), as it
// plays on.
struct Level {
  double loudness;
  float ceiling;
};

// The balance of the game. A fight's kills and explosions sit at one level,
// with room above it for several at once: in the thick of a fight they come
// two or three a second, so they stand a dB under the game's other effects,
// which come one at a time; the player's shot, the commonest sound of a
// fight, 5 dB under the kill it leads to, so a hit is heard over the firing;
// the shield's sounds (the crackle of one lost, the chime of the bonus) over
// everything else, as what matters most in a fight. The hums of the
// structures, which repeat for as long as a structure is on screen, sit 9 dB
// under the fight. The intro's sounds carry their scene alone, no tune under
// them; the menu's tick stands a few dB over the menu tune, heard but not a
// jump (it also ticks thirty times a second as a bonus counts down). The
// tunes make every screen about as loud as a fight: the game tune as a game
// starts it, at half its volume, a few dB under the fight's effects and no
// nearer, for after the first pause it plays at its whole volume (0.4)
// under the same fight; the menu and pause tunes at their volume about as
// loud.
constexpr Level kFight{-17.0, 0.5f};
constexpr Level kEffect{-16.0, 0.5f};
constexpr Level kShot{-22.0, 0.5f};
constexpr Level kShieldLost{-13.0, 0.55f};
constexpr Level kShieldBonus{-13.0, 0.55f};
constexpr Level kHum{-26.0, 0.5f};
constexpr Level kCue{-13.0, 0.89f};
constexpr Level kTick{-16.5, 0.32f};
constexpr Level kGameTune{-9.5, 0.8f};
constexpr Level kMenuTune{-10.5, 0.8f};
constexpr Level kPauseTune{-11.0, 0.8f};

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
