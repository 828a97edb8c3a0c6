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

// The loudness of a whole stretch of sound as a broadcast meter reads it
// (LUFS): the mean of its 400 ms blocks, four to a block's length, leaving
// out the silent ones (under -70) and then those 10 under the mean of the
// rest, so pauses do not pull a scene down.
double Integrated(const std::vector<float>& left, const std::vector<float>& right);

// The loudest window of the given length (0.4 s: the meter's momentary
// reading; 3 s: its short-term one), windows starting every tenth of it.
double LoudestOver(const std::vector<float>& left, const std::vector<float>& right, double seconds);

// Where a sound's energy lies (unweighted, both channels): the mean power
// of 4096-sample Hann-windowed spectra, half overlapping.
class Spectrum {
 public:
  Spectrum(const std::vector<float>& left, const std::vector<float>& right);
  // Share of the whole energy between lo and hi Hz.
  double Share(double lo, double hi) const;
  // The mean power density between lo and hi Hz, in dB (for comparing bands).
  double Density(double lo, double hi) const;

 private:
  std::vector<double> power_;  // per bin, 0 .. half the rate
  double binHz_;
};

}  // namespace loudness
