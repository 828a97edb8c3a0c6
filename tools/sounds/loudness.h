// How loud a sound is heard: a loudness meter's weighting (a gentle lift of
// the presence range, a cut of the deep bass the ear hardly hears) and the
// mean power of both channels over short windows, in dB relative to full
// scale (a steady 1 kHz tone peaking at full scale in both channels reads
// about 0). The generator levels every sound with it; the catalogue test
// holds the files to their ranges with it.
#pragma once

#include <vector>

namespace loudness {

// Both measure 100 ms windows of 44.1 kHz stereo. A sound shorter than a
// window counts as its power spread over a whole window, as the ear hears a
// very short sound quieter than a longer one at the same level.

// The loudest 100 ms of a sound: how loud an effect is heard when it plays.
double Loudest(const std::vector<float>& left, const std::vector<float>& right);

// The median of its 100 ms windows: how loud a tune typically is.
double Typical(const std::vector<float>& left, const std::vector<float>& right);

// The change of level, in dB, that a gain (a channel volume) makes.
double Decibels(double gain);

}  // namespace loudness
