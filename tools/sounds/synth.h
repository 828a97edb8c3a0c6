// A small synthesiser toolkit for the sound generator: a stereo sample buffer,
// oscillators, noise, envelopes, filters and a few room effects. Everything is
// deterministic: noise comes from a seeded generator, never from the clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Number of sample frames in a sound of the given length in seconds.
int FramesFor(double seconds);

// Stereo float buffer, nominal range -1..1.
struct Buffer {
  std::vector<float> left, right;
  explicit Buffer(int frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
  int Frames() const { return static_cast<int>(left.size()); }
  // Adds a mono sample at frame i with an equal-power pan (-1 left, +1 right).
  void AddPanned(int i, float v, float pan);
  // Adds a mono sample at frame i wrapped around the buffer (for looping music).
  void AddWrapped(long i, float v, float pan);
};

// Seeded noise source (xorshift64*), same stream for the same seed.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  std::uint64_t Next();
  double Uniform();           // 0 .. 1
  double Bipolar();           // -1 .. 1
  int Below(int n);           // 0 .. n-1
 private:
  std::uint64_t state_;
};

// Band-limited oscillator with a running phase; frequency may change per sample.
enum class Wave { Sine, Triangle, Saw, Square, Pulse25 };
class Osc {
 public:
  explicit Osc(Wave w = Wave::Sine, double phase = 0.0) : wave_(w), phase_(phase) {}
  float Next(double freq);
  void SetWave(Wave w) { wave_ = w; }
  double Phase() const { return phase_; }
 private:
  Wave wave_;
  double phase_;  // 0 .. 1
};

// Classic attack/decay/sustain/release envelope, times in seconds. Gate is
// the time the note is held; the release starts when it ends.
struct Adsr {
  double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.2;
  float At(double t, double gate) const;
  double Length(double gate) const { return gate + release; }
};

// Exponential decay from 1 with the given time constant, after a short linear attack.
float Perc(double t, double attack, double tau);

// One-pole smoothing low-pass and the matching high-pass.
class OnePole {
 public:
  void SetCutoff(double hz);
  float Low(float x);
  float High(float x) { return x - Low(x); }
 private:
  double a_ = 1.0, z_ = 0.0;
};

// State-variable filter (topology-preserving form), stable at any cutoff below Nyquist.
class Svf {
 public:
  void Set(double hz, double q);
  void Process(float x);
  float low = 0, band = 0, high = 0;
 private:
  double g_ = 0, k_ = 1, ic1_ = 0, ic2_ = 0;
};

// Feedback delay line with a damped loop, for echoes.
class Delay {
 public:
  Delay(int frames, double feedback, double damp_hz);
  float Process(float x);
 private:
  std::vector<float> line_;
  int pos_ = 0;
  double feedback_;
  OnePole damp_;
};

// A small stereo room: parallel damped combs into series all-passes, each
// channel tuned a little apart so the tail spreads.
class Reverb {
 public:
  Reverb(double size, double damp_hz, double mix);
  void Process(float inL, float inR, float& outL, float& outR);
 private:
  struct Comb { std::vector<float> buf; int pos = 0; double fb; OnePole lp; };
  struct AllPass { std::vector<float> buf; int pos = 0; };
  float RunChannel(std::vector<Comb>& combs, std::vector<AllPass>& aps, float x);
  std::vector<Comb> combsL_, combsR_;
  std::vector<AllPass> apsL_, apsR_;
  double mix_;
};

// Whole-buffer helpers.
void RemoveDc(Buffer& b);     // gentle 15 Hz high-pass on both channels (one-shot sounds)
void SubtractMean(Buffer& b);  // for loops, where a filter's start-up would break the seam
void Normalise(Buffer& b, float peak);            // scale so the loudest sample is `peak`
void FadeEdges(Buffer& b, double in_s, double out_s);  // short ramps so nothing clicks
float Peak(const Buffer& b);
double Rms(const Buffer& b);                      // over both channels
void Scale(Buffer& b, float gain);
// Runs a reverb over the buffer as if it were looping forever: the tail of
// the end spills into the start, so the loop seam stays continuous.
void ReverbLooped(Buffer& b, double size, double damp_hz, double mix);
void ReverbOnce(Buffer& b, double size, double damp_hz, double mix);
// Takes everything above `hz` away steeply (a fourth-order low-pass, flat
// below, 14 dB down at one and a half times `hz`, 24 dB at twice it).
void RollOff(Buffer& b, double hz);
// Holds a looping buffer under `ceiling` by turning its gain down smoothly
// around each peak that would pass it, over `seconds` either side; the gain
// is worked out as if the buffer were looping, so the seam stays seamless.
void LimitLooped(Buffer& b, float ceiling, double seconds);

double NoteHz(double midi);  // 69 = A 440

}  // namespace synth
