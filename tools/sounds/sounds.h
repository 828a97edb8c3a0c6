// The sound catalogue of the game: every Ogg file the generator writes, its
// exact length and the routine that synthesises it.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace sounds {

struct Entry {
  const char* file;      // file name inside res/
  double seconds;        // exact length, to the hundredth of a second
  synth::Buffer (*make)(int frames);
  float quality;         // Vorbis VBR quality
  bool loops;            // music: the end must flow into the start
};

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
