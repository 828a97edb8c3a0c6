// The three tunes: a small sequencer and a handful of synth instruments.
//
// Every tune is a whole number of bars whose length is chosen so the bars
// fill the tune's exact duration. Notes are written into the buffer modulo
// its length, so a note (or a drum's ring) still sounding at the end carries
// on at the start, and the echo and reverb are run as if the tune had already
// been playing: the last sample flows into the first and the loop has no seam.
#include <algorithm>
#include <cmath>

#include "sounds.h"
#include "tune.h"

namespace sounds {
using namespace synth;

// --- the band -----------------------------------------------------------------

Tune::Tune(int frames_, int bars_, std::uint64_t seed)
    : frames(frames_), bars(bars_), barFrames(static_cast<double>(frames_) / bars_),
      dry(frames_), echoSend(frames_), verbSend(frames_), rng(seed) {}

long Tune::At(double bar, double step) const { return std::lround((bar + step / 16.0) * barFrames); }

double Tune::StepSeconds() const { return barFrames / 16.0 / kRate; }

void Tune::Out(long frame, float v, float pan, float echo, float verb) {
  dry.AddWrapped(frame, v, pan);
  if (echo > 0) echoSend.AddWrapped(frame, v * echo, pan);
  if (verb > 0) verbSend.AddWrapped(frame, v * verb, pan);
}

void Tune::Kick(long at, float vel) {
  Osc o(Wave::Sine);
  Svf beater;
  beater.Set(2500, 0.7);
  const int n = FramesFor(0.38);
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    // A short, tight thump: the body is over in a tenth of a second, so the
    // bass and the beat leave the middle of the mix to the tune.
    const double f = 54 + 120 * std::exp(-t / 0.028);
    const double amp = std::min(1.0, t / 0.001) * std::exp(-t / 0.1) * std::min(1.0, (0.38 - t) / 0.05);
    // The beater's knock: dull and eased in, a thud's edge rather than a tick
    // that would stand out from the mix on its own.
    beater.Process(static_cast<float>(rng.Bipolar()));
    const double click = beater.low * std::min(1.0, t / 0.0005) * std::exp(-t / 0.0015) * 0.4;
    const float v = static_cast<float>(std::tanh((o.Next(f) * amp + click) * 1.6) * vel);
    Out(at + k, v, 0.0f, 0.0f, 0.05f);
  }
}

void Tune::Snare(long at, float vel, float verb) {
  Osc body(Wave::Triangle);
  Svf noise;
  noise.Set(2600, 0.7);
  const int n = FramesFor(0.32);
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    noise.Process(static_cast<float>(rng.Bipolar()));
    const double fade = std::min(1.0, (0.32 - t) / 0.05);
    const double v = body.Next(190 - 30 * t) * std::exp(-t / 0.045) * 0.55 +
                     (noise.band * 1.2 + noise.high * 0.35) * std::exp(-t / 0.085);
    Out(at + k, static_cast<float>(v * vel * fade * std::min(1.0, t / 0.0008)), 0.05f, 0.0f, verb);
  }
}

void Tune::Hat(long at, float vel, bool open, float pan) {
  Svf hp;
  hp.Set(8500, 0.8);
  const double len = open ? 0.3 : 0.07;
  const int n = FramesFor(len);
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    hp.Process(static_cast<float>(rng.Bipolar()));
    const double env = std::min(1.0, t / 0.0005) * std::exp(-t / (open ? 0.09 : 0.018)) * std::min(1.0, (len - t) / 0.01);
    Out(at + k, static_cast<float>((hp.high * 0.7 + hp.band * 0.3) * env * vel), pan, 0.0f, 0.1f);
  }
}

void Tune::Crash(long at, float vel) {
  // A wash of bright noise with a few metallic rings in it.
  Svf hp, ring1, ring2;
  hp.Set(5200, 0.7);
  ring1.Set(3870, 12.0);
  ring2.Set(5310, 12.0);
  const double len = 1.6;
  const int n = FramesFor(len);
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    const float x = static_cast<float>(rng.Bipolar());
    hp.Process(x);
    ring1.Process(hp.high);
    ring2.Process(hp.high);
    const double env = std::min(1.0, t / 0.002) * std::exp(-t / 0.45) * std::min(1.0, (len - t) / 0.1);
    const double v = (hp.high * 0.6 + ring1.band * 0.5 + ring2.band * 0.4) * env * vel;
    Out(at + k, static_cast<float>(v), k % 2 ? 0.3f : -0.3f, 0.0f, 0.25f);
  }
}

void Tune::Bass(long at, double seconds, double midi, float vel, double bright) {
  Osc saw(Wave::Saw), sub(Wave::Square);
  Svf f;
  Adsr env{0.003, 0.18, 0.65, 0.06};
  const int n = FramesFor(env.Length(seconds));
  const double hz = NoteHz(midi);
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    // Its overtones come through the filter, so the line is heard in the
    // low middle and not only felt under it; the square an octave up thickens
    // it there rather than rumbling an octave down.
    f.Set(150 + hz * 3.0 + bright * 2600 * std::exp(-t / 0.09), 1.4);
    f.Process(saw.Next(hz) * 0.65f + sub.Next(hz * 2.0) * 0.25f);
    Out(at + k, static_cast<float>(f.low * env.At(t, seconds) * vel), 0.0f, 0.0f, 0.04f);
  }
}

void Tune::Pad(long at, double seconds, double midi, float vel, double cutoff) {
  const double detune[3] = {-0.11, 0.0, 0.12};
  const float pans[3] = {-0.6f, 0.0f, 0.6f};
  Adsr env{0.9, 0.6, 0.85, 1.6};
  const int n = FramesFor(env.Length(seconds));
  for (int v = 0; v < 3; ++v) {
    Osc o(Wave::Saw, rng.Uniform());
    Svf f;
    const double hz = NoteHz(midi + detune[v]);
    for (int k = 0; k < n; ++k) {
      const double t = static_cast<double>(k) / kRate;
      if ((k & 31) == 0) f.Set(cutoff * (1.0 + 0.35 * std::sin(kTwoPi * 0.13 * t + v)), 0.8);
      f.Process(o.Next(hz));
      Out(at + k, static_cast<float>(f.low * env.At(t, seconds) * vel * 0.5), pans[v], 0.0f, 0.55f);
    }
  }
}

void Tune::Lead(long at, double seconds, double midi, float vel, float pan) {
  Osc a(Wave::Saw), b(Wave::Pulse25), lfo(Wave::Sine);
  Svf f;
  Adsr env{0.012, 0.25, 0.75, 0.18};
  const int n = FramesFor(env.Length(seconds));
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    // Vibrato creeps in on held notes.
    const double depth = 0.18 * std::clamp((t - 0.18) / 0.3, 0.0, 1.0);
    const double hz = NoteHz(midi + depth * lfo.Next(5.4));
    if ((k & 15) == 0) f.Set(2000 + 2600 * std::exp(-t / 0.25), 1.1);
    f.Process(a.Next(hz * 1.003) * 0.55f + b.Next(hz * 0.997) * 0.45f);
    Out(at + k, static_cast<float>(f.low * env.At(t, seconds) * vel), pan, 0.35f, 0.3f);
  }
}

void Tune::Pluck(long at, double midi, float vel, float pan, double decay) {
  Osc o(Wave::Pulse25);
  Svf f;
  const double len = decay * 5.0;
  const int n = FramesFor(len);
  const double hz = NoteHz(midi);
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    if ((k & 15) == 0) f.Set(350 + 3800 * std::exp(-t / 0.05), 1.4);
    f.Process(o.Next(hz));
    const double env = std::min(1.0, t / 0.002) * std::exp(-t / decay) * std::min(1.0, (len - t) / 0.02);
    Out(at + k, static_cast<float>(f.low * env * vel), pan, 0.45f, 0.25f);
  }
}

void Tune::Bell(long at, double midi, float vel, float pan) {
  Osc car(Wave::Sine), mod(Wave::Sine);
  const double len = 2.6;
  const int n = FramesFor(len);
  const double hz = NoteHz(midi);
  for (int k = 0; k < n; ++k) {
    const double t = static_cast<double>(k) / kRate;
    const double index = 2.2 * std::exp(-t / 0.35);
    const double m = mod.Next(hz * 3.5) * index * hz;
    const double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.7) * std::min(1.0, (len - t) / 0.2);
    Out(at + k, static_cast<float>(car.Next(hz + m) * env * vel), pan, 0.3f, 0.6f);
  }
}

namespace {

// Runs a processor over the buffer as though it had been looping already:
// first over the last `warm` frames (output discarded), then over the whole.
template <class Proc>
void Looped(Buffer& b, int warm, Proc proc) {
  const int n = b.Frames();
  warm = std::min(warm, n);
  float l, r;
  for (int i = n - warm; i < n; ++i) proc(b.left[i], b.right[i], l, r);
  for (int i = 0; i < n; ++i) proc(b.left[i], b.right[i], b.left[i], b.right[i]);
}

}  // namespace

Buffer Tune::Mix(double echoBeats, double echoFeedback, double verbSize) {
  // Ping-pong echo: the left repeat feeds the right and back.
  const int d = std::max(1, static_cast<int>(std::lround(barFrames / 16.0 * echoBeats)));
  Delay dl(d, 0.0, 3200), dr(d, 0.0, 3200);
  float fbL = 0.0f, fbR = 0.0f;
  OnePole dampL, dampR;
  dampL.SetCutoff(3200);
  dampR.SetCutoff(3200);
  Looped(echoSend, kRate * 8, [&](float inL, float inR, float& outL, float& outR) {
    const float el = dl.Process(inL + static_cast<float>(echoFeedback) * fbR);
    const float er = dr.Process(inR * 0.3f + static_cast<float>(echoFeedback) * fbL);
    fbL = dampL.Low(el);
    fbR = dampR.Low(er);
    outL = el;
    outR = er;
  });
  Reverb rv(verbSize, 4200, 1.0);
  Looped(verbSend, kRate * 8, [&](float inL, float inR, float& outL, float& outR) { rv.Process(inL, inR, outL, outR); });
  Buffer out(frames);
  for (int i = 0; i < frames; ++i) {
    out.left[i] = dry.left[i] + echoSend.left[i] * 0.55f + verbSend.left[i] * 0.6f;
    out.right[i] = dry.right[i] + echoSend.right[i] * 0.55f + verbSend.right[i] * 0.6f;
  }
  // A gentle bus saturation to glue the parts together.
  for (int i = 0; i < frames; ++i) {
    out.left[i] = static_cast<float>(std::tanh(out.left[i] * 0.9));
    out.right[i] = static_cast<float>(std::tanh(out.right[i] * 0.9));
  }
  return out;
}

// --- melody -------------------------------------------------------------------

int Chord::Tone(int k) const {
  // Chord tones k = 0, 1, 2, 3 as semitones above the root: root, third, fifth, seventh.
  static const int kMinor[4] = {0, 3, 7, 10}, kMajor[4] = {0, 4, 7, 11}, kDom[4] = {0, 4, 7, 10},
                   kSus[4] = {0, 5, 7, 10};
  const int* t = quality == 0 ? kMinor : quality == 1 ? kMajor : quality == 2 ? kDom : kSus;
  const int oct = k >= 0 ? k / 4 : -((-k + 3) / 4);
  return root + t[((k % 4) + 4) % 4] + 12 * oct;
}

bool Chord::Contains(int midi) const {
  for (int k = 0; k < 4; ++k)
    if (((midi - Tone(k)) % 12 + 12) % 12 == 0) return k < 3 || quality != 1;  // no major sevenths in the tune
  return false;
}

std::vector<NoteEvent> MakePhrase(Rng& rng, const std::vector<Chord>& chords, const std::vector<int>& scale,
                                  int lo, int hi, int density) {
  // Rhythms of one bar, in sixteenths: start and length pairs.
  static const std::vector<std::vector<std::pair<int, int>>> kSparse = {
      {{0, 8}, {8, 6}}, {{0, 12}, {12, 4}}, {{0, 6}, {6, 2}, {8, 8}}, {{2, 6}, {8, 8}}, {{0, 16}}};
  static const std::vector<std::vector<std::pair<int, int>>> kBusy = {
      {{0, 4}, {4, 2}, {6, 2}, {8, 6}, {14, 2}}, {{0, 6}, {6, 2}, {8, 4}, {12, 4}},
      {{0, 2}, {2, 2}, {4, 4}, {10, 2}, {12, 4}}, {{0, 3}, {3, 3}, {6, 4}, {10, 6}},
      {{2, 2}, {4, 2}, {6, 6}, {12, 4}}, {{0, 8}, {8, 2}, {10, 2}, {12, 4}}};
  auto inScale = [&](int midi) {
    const int pc = ((midi - scale[0]) % 12 + 12) % 12;
    return std::find(scale.begin(), scale.end(), scale[0] + pc) != scale.end();
  };
  auto stepBy = [&](int midi, int steps) {
    while (steps != 0) {
      midi += steps > 0 ? 1 : -1;
      if (inScale(midi)) steps += steps > 0 ? -1 : 1;
    }
    return midi;
  };
  std::vector<NoteEvent> out;
  int pitch = chords[0].Tone(4);
  while (pitch < lo) pitch += 12;
  while (pitch > hi) pitch -= 12;
  for (size_t bar = 0; bar < chords.size(); ++bar) {
    const Chord& c = chords[bar];
    const bool last = bar + 1 == chords.size();
    const auto& pool = density == 0 ? kSparse : kBusy;
    auto rhythm = pool[rng.Below(static_cast<int>(pool.size()))];
    if (last) rhythm = density == 0 ? kSparse[0] : std::vector<std::pair<int, int>>{{0, 4}, {4, 4}, {8, 8}};
    for (size_t n = 0; n < rhythm.size(); ++n) {
      const auto [start, len] = rhythm[n];
      const bool strong = start % 8 == 0;
      if (strong || (last && n + 1 == rhythm.size())) {
        // Land on the chord tone nearest to a small leap from where we are.
        const int target = pitch + rng.Below(7) - 3;
        int best = pitch, bestDist = 1000;
        for (int m = lo; m <= hi; ++m)
          if (c.Contains(m) && std::abs(m - target) < bestDist) {
            best = m;
            bestDist = std::abs(m - target);
          }
        pitch = best;
        if (last && n + 1 == rhythm.size()) {
          // End the phrase on the chord's root, the one nearest in range.
          int home = pitch, homeDist = 1000;
          for (int m = lo; m <= hi; ++m)
            if (((m - c.root) % 12 + 12) % 12 == 0 && std::abs(m - pitch) < homeDist) {
              home = m;
              homeDist = std::abs(m - pitch);
            }
          pitch = home;
        }
      } else {
        int step = rng.Below(5) - 2;
        if (step == 0) step = rng.Uniform() < 0.5 ? 1 : -1;
        int next = stepBy(pitch, step);
        if (next < lo || next > hi) next = stepBy(pitch, -step);
        pitch = next;
      }
      out.push_back({static_cast<double>(bar * 16 + start), static_cast<double>(len), pitch});
    }
  }
  return out;
}

// Plays a phrase starting at `bar`, with each note held for most of its slot.
void PlayPhrase(Tune& t, const std::vector<NoteEvent>& phrase, int bar, int transpose, float vel, double hold) {
  for (const NoteEvent& n : phrase) {
    const float accent = std::fmod(n.step, 8.0) == 0.0 ? 1.0f : 0.85f;
    t.Lead(t.At(bar, n.step), n.length * t.StepSeconds() * hold, n.midi + transpose, vel * accent,
           static_cast<float>(0.1 * std::sin(n.step)));
  }
}

}  // namespace sounds
