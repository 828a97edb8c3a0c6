// The sequencer the three tunes are written with: a looping tune of whole
// bars, its instruments, and a phrase maker for the melodies.
#pragma once

#include <cstdint>
#include <vector>

#include "synth.h"

namespace sounds {

// A tune under construction. Positions are bars and sixteenth steps; every
// note is written modulo the tune's length, so it loops seamlessly.
class Tune {
 public:
  Tune(int frames, int bars, std::uint64_t seed);

  long At(double bar, double step) const;  // frame of a position
  double StepSeconds() const;              // length of one sixteenth

  // Instruments: each adds one note to the dry mix and to its effect sends.
  void Kick(long at, float vel);
  void Snare(long at, float vel, float verb);
  void Hat(long at, float vel, bool open, float pan);
  void Crash(long at, float vel);
  void Bass(long at, double seconds, double midi, float vel, double bright);
  void Pad(long at, double seconds, double midi, float vel, double cutoff);
  void Lead(long at, double seconds, double midi, float vel, float pan);
  void Pluck(long at, double midi, float vel, float pan, double decay);
  void Bell(long at, double midi, float vel, float pan);

  // Runs the echo (delay in sixteenths) and the reverb over their sends as
  // if the tune had already been looping, and returns the finished mix.
  synth::Buffer Mix(double echoSteps, double echoFeedback, double verbSize);

  const int frames;
  const int bars;
  const double barFrames;

 private:
  void Out(long frame, float v, float pan, float echo, float verb);
  synth::Buffer dry, echoSend, verbSend;
  synth::Rng rng;
};

// A chord as a root note (MIDI) and a quality: 0 minor seventh, 1 major, 2 dominant, 3 suspended.
struct Chord {
  int root;
  int quality;
  int Tone(int k) const;            // k-th chord tone above the root, wrapping into higher octaves
  bool Contains(int midi) const;    // is this pitch class one of the chord's melody tones
};

struct NoteEvent {
  double step;    // sixteenths from the phrase start
  double length;  // in sixteenths
  int midi;
};

// One melody phrase, a bar per chord: strong beats (the bar's first and
// third beats) fall on chord tones, the notes between move through the
// scale, all within lo..hi, and the phrase ends on the last chord's root.
// density 0 gives long notes, 1 a busier line.
std::vector<NoteEvent> MakePhrase(synth::Rng& rng, const std::vector<Chord>& chords, const std::vector<int>& scale,
                                  int lo, int hi, int density);

void PlayPhrase(Tune& t, const std::vector<NoteEvent>& phrase, int bar, int transpose, float vel, double hold);

}  // namespace sounds
