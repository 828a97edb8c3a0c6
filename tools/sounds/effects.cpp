// The game's sound effects. Each routine builds its sound from the toolkit's
// oscillators, noise and filters; the caller trims, de-clicks and levels it.
#include "effects.h"

#include <algorithm>
#include <cmath>

namespace sounds {
using namespace synth;

namespace {

double Sec(int i) { return static_cast<double>(i) / kRate; }

// Soft saturation that keeps 0 at 0 and never exceeds 1.
float Drive(float x, float amount) {
  return static_cast<float>(std::tanh(x * amount) / std::tanh(amount));
}

// Copies a mono voice into both channels with a small time offset on one
// side, which widens it without moving it off centre.
void SpreadMono(Buffer& b, const std::vector<float>& mono, float gain, int offset, float pan) {
  for (int i = 0; i < b.Frames(); ++i) {
    const float l = i < static_cast<int>(mono.size()) ? mono[i] : 0.0f;
    const int j = i - offset;
    const float r = (j >= 0 && j < static_cast<int>(mono.size())) ? mono[j] : 0.0f;
    const double a = (pan + 1.0) * kPi / 4.0;
    b.left[i] += static_cast<float>(l * gain * std::cos(a) * 1.4142);
    b.right[i] += static_cast<float>(r * gain * std::sin(a) * 1.4142);
  }
}

// A blast: a low thump that falls in pitch, filtered noise whose brightness
// fades with its loudness, and a scatter of crackles as debris. `size` runs
// from about 0.2 (a popped drone) to 3 (the bike going up).
void Blast(Buffer& b, double start, double size, std::uint64_t seed, float gain, double length) {
  Rng rng(seed);
  Svf body, crack;
  OnePole rumble;
  Osc thump(Wave::Sine);
  rumble.SetCutoff(90.0 + 60.0 / (1.0 + size));
  crack.Set(2500.0, 1.5);
  const int first = FramesFor(start);
  const double tau = 0.05 + 0.22 * size;  // loudness decay of the noise body
  std::vector<float> l(b.Frames(), 0.0f), r(b.Frames(), 0.0f);
  double sparkle = 0.0;
  for (int i = first; i < b.Frames(); ++i) {
    const double t = Sec(i - first);
    if (t > length) break;
    // Everything has died away by `length`.
    const double tail = std::clamp((length - t) / (0.35 * length), 0.0, 1.0);
    const double env = Perc(t, 0.002 + 0.004 * size, tau) * tail;
    body.Set(300.0 + 7000.0 * std::exp(-t / (0.04 + 0.15 * size)), 0.7);
    body.Process(static_cast<float>(rng.Bipolar()));
    const float low = rumble.Low(static_cast<float>(rng.Bipolar())) * 6.0f;
    const double f = 40.0 + (150.0 + 40.0 * size) * std::exp(-t / (0.03 + 0.05 * size));
    const float th = thump.Next(f) * Perc(t, 0.001, 0.06 + 0.12 * size) * static_cast<float>(tail);
    // Debris: random clicks that thin out as the blast dies away.
    if (rng.Uniform() < 0.002 * std::exp(-t / (0.2 + 0.3 * size)) * (1.0 + size)) sparkle = tail;
    sparkle *= 0.992;
    crack.Process(static_cast<float>(rng.Bipolar() * sparkle));
    const double lowEnv = Perc(t, 0.01 + 0.02 * size, 0.15 + 0.35 * size) * tail;
    const float mono = static_cast<float>(body.low * env * 0.9 + low * lowEnv * std::min(1.0, 0.3 * size) +
                                          th * 0.8 + crack.band * 0.6);
    const float side = static_cast<float>(crack.band * 0.5 * (rng.Uniform() < 0.5 ? 1 : -1));
    l[i] = Drive(mono + side * 0.3f, 1.5f) * gain;
    r[i] = Drive(mono - side * 0.3f, 1.5f) * gain;
  }
  for (int i = 0; i < b.Frames(); ++i) {
    b.left[i] += l[i];
    b.right[i] += r[i];
  }
}

// Where the explosions' noise is rolled off: above it a blast's hiss only
// tires the ear, and nothing of its weight or crack lies there.
constexpr double kExplosionTop = 8000.0;

// A two-pole resonance with unit gain at 0 Hz, retuned every sample. A chain
// of them turns a buzz into a vowel, each one lifting one formant.
class Resonance {
 public:
  float Process(float x, double hz, double width) {
    const double r = std::exp(-kPi * width / kRate);
    const double b = 2.0 * r * std::cos(kTwoPi * hz / kRate);
    const double c = -r * r;
    const double y = (1.0 - b - c) * x + b * y1_ + c * y2_;
    y2_ = y1_;
    y1_ = y;
    return static_cast<float>(y);
  }

 private:
  double y1_ = 0, y2_ = 0;
};

// The three lowest formants of a vowel, in Hz (an adult's; small creatures
// scale them up).
struct Vowel {
  double f1, f2, f3;
  Vowel Scaled(double k) const { return {f1 * k, f2 * k, f3 * k}; }
};
constexpr Vowel kOo{300, 870, 2240}, kAh{730, 1090, 2440}, kUh{600, 1200, 2400},
    kEh{530, 1840, 2480}, kIh{390, 1990, 2550}, kEe{270, 2290, 3010};

// The shape of a voice at one moment: the vowel the mouth is making, how
// loud it is, how much of it goes through the nose (1 with the lips closed,
// a hum) and how breathy it is (1 a whisper, as in "h").
struct Mouth {
  double at;  // seconds from the start
  Vowel vowel;
  double loud, nasal, breath;
};

// A speaking voice: a buzz at the given pitch (with a little natural
// unsteadiness) and breath noise, through the formants of the mouth or the
// nose, following the mouth shapes in `path` with smooth moves between them.
template <class Pitch>
std::vector<float> Speak(int frames, const std::vector<Mouth>& path, Pitch pitch, std::uint64_t seed) {
  std::vector<float> out(frames, 0.0f);
  Osc glottis(Wave::Saw);
  Rng rng(seed);
  Resonance f1, f2, f3, f4, f5, noseLow, noseHigh;
  OnePole breathHigh, noseDull, wobble;
  breathHigh.SetCutoff(400);
  noseDull.SetCutoff(1400);
  wobble.SetCutoff(12);
  std::vector<float> loudness(frames);
  double drift = 0.0;
  size_t seg = 0;
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    while (seg + 1 < path.size() && path[seg + 1].at <= t) ++seg;
    const Mouth& a = path[seg];
    const Mouth& z = seg + 1 < path.size() ? path[seg + 1] : a;
    double w = z.at > a.at ? std::clamp((t - a.at) / (z.at - a.at), 0.0, 1.0) : 0.0;
    w = w * w * (3.0 - 2.0 * w);  // ease in and out of every move
    auto mix = [w](double p, double q) { return p + (q - p) * w; };
    const double f1hz = mix(a.vowel.f1, z.vowel.f1), f2hz = mix(a.vowel.f2, z.vowel.f2),
                 f3hz = mix(a.vowel.f3, z.vowel.f3);
    const double loud = mix(a.loud, z.loud), nasal = mix(a.nasal, z.nasal), breath = mix(a.breath, z.breath);
    // No voice holds its pitch exactly: a slow random drift of a few cents.
    if (i % 441 == 0) drift = rng.Bipolar();
    const double hz = pitch(t) * (1.0 + 0.006 * wobble.Low(static_cast<float>(drift)));
    // A high voice opens its mouth to keep the first formant above the pitch,
    // as singers do, or the vowel would lose its body.
    const double f1lifted = std::max(f1hz, hz * 1.15);
    const float buzz = glottis.Next(hz);
    const float hiss = breathHigh.High(static_cast<float>(rng.Bipolar()));
    const float source = static_cast<float>(buzz * (1.0 - breath) + hiss * breath * 1.6);
    // Mouth: five formants in a chain, the upper two fixed by the head's size.
    float m = f1.Process(source, f1lifted, 80);
    m = f2.Process(m, f2hz, 100);
    m = f3.Process(m, f3hz, 160);
    m = f4.Process(m, f3hz * 1.3 + 300, 250);
    m = f5.Process(m, f3hz * 1.6 + 600, 300);
    // Nose: one low resonance and a faint high one, the rest damped.
    float n = noseLow.Process(source, 260, 90);
    n = noseDull.Low(noseHigh.Process(n, 2200, 400));
    out[i] = static_cast<float>(m * (1.0 - nasal) + n * nasal);
    loudness[i] = static_cast<float>(loud);
  }
  // Vowels differ in strength by many decibels: even them out with the
  // voice's own level, smoothed forwards and backwards so it neither lags
  // nor starts from nothing, and let `loud` alone set each moment's level.
  std::vector<double> power(frames);
  const double follow = 1.0 - std::exp(-kTwoPi * 8.0 / kRate);
  double p = 0.0;
  for (int i = 0; i < std::min(frames, 441); ++i) p += static_cast<double>(out[i]) * out[i] / 441.0;
  for (int i = 0; i < frames; ++i) power[i] = p += (static_cast<double>(out[i]) * out[i] - p) * follow;
  for (int i = frames - 1; i >= 0; --i) power[i] = p += (power[i] - p) * follow;
  for (int i = 0; i < frames; ++i) out[i] = static_cast<float>(out[i] / std::sqrt(power[i] + 1e-8) * 0.3 * loudness[i]);
  return out;
}

// A value that moves smoothly between (time, value) keys: eased moves,
// held before the first key and after the last.
double Glide(const std::vector<std::pair<double, double>>& keys, double t) {
  if (t <= keys.front().first) return keys.front().second;
  for (size_t k = 1; k < keys.size(); ++k) {
    if (t < keys[k].first) {
      double w = (t - keys[k - 1].first) / (keys[k].first - keys[k - 1].first);
      w = w * w * (3.0 - 2.0 * w);
      return keys[k - 1].second + (keys[k].second - keys[k - 1].second) * w;
    }
  }
  return keys.back().second;
}

// One syllable of alien babble: when, the vowel, the pitch it slides
// between, and how it starts: 'b', 'd', 'm' or 'w' voiced, 't' or 'k' with a
// puff of breath and a tap of the tongue.
struct Syllable {
  double at, len;
  Vowel vowel;
  double hzFrom, hzTo;
  char onset;
};

// Babble: the syllables spoken by a voice with formants scaled by `size`
// (above 1, a small creature), each opening from its consonant into its
// vowel, with the stops tapped in as short bursts of filtered noise.
std::vector<float> Babble(int frames, const std::vector<Syllable>& syllables, double size, std::uint64_t seed) {
  std::vector<Mouth> path;
  std::vector<std::pair<double, double>> pitch;
  for (const Syllable& s : syllables) {
    const bool voiced = s.onset != 't' && s.onset != 'k';
    const Vowel v = s.vowel.Scaled(size);
    const Vowel closed = (s.onset == 'w' ? kOo : kUh).Scaled(size);
    path.push_back({s.at - 0.012, closed, voiced ? 0.2 : 0.05, s.onset == 'm' ? 1.0 : voiced ? 0.5 : 0.0,
                    voiced ? 0.1 : 0.7});
    path.push_back({s.at + 0.02, v, 1.0, 0.0, 0.05});
    path.push_back({s.at + s.len - 0.03, v, 0.8, 0.0, 0.05});
    pitch.push_back({s.at, s.hzFrom});
    pitch.push_back({s.at + s.len, s.hzTo});
  }
  const Syllable& last = syllables.back();
  path.push_back({last.at + last.len + 0.04, last.vowel.Scaled(size), 0.0, 0.2, 0.3});
  std::vector<float> v = Speak(frames, path, [&](double t) { return Glide(pitch, t); }, seed);
  Rng rng(seed + 1);
  for (const Syllable& s : syllables) {
    if (s.onset != 't' && s.onset != 'k') continue;
    Svf tap;
    OnePole soften;
    tap.Set(s.onset == 't' ? 4000 : 2000, 2.0);
    soften.SetCutoff(7000);
    const int first = FramesFor(s.at - 0.006);
    for (int k = 0; k < FramesFor(0.04) && first + k < frames; ++k) {
      tap.Process(static_cast<float>(rng.Bipolar()));
      v[first + k] += soften.Low(tap.band) * Perc(Sec(k), 0.0025, 0.007) * 0.25f;
    }
  }
  return v;
}

// A plain enveloped tone with optional pitch glide, used for blips and chimes.
void Tone(Buffer& b, double start, double len, double f0, double f1, Wave wave, float gain, float pan,
          double tau = 0.0) {
  Osc o(wave);
  const int first = FramesFor(start);
  const int n = FramesFor(len);
  for (int k = 0; k < n && first + k < b.Frames(); ++k) {
    const double t = Sec(k);
    const double u = t / len;
    const double f = f0 * std::pow(f1 / f0, u);
    double env = std::min(1.0, t / 0.004) * std::min(1.0, (len - t) / 0.02);
    if (tau > 0) env *= std::exp(-t / tau);
    b.AddPanned(first + k, static_cast<float>(o.Next(f) * env) * gain, pan);
  }
}

// Stereo echo with damped repeats, applied to a whole buffer.
void Echo(Buffer& b, double seconds, double feedback, double mix, double damp = 3500) {
  Delay dl(FramesFor(seconds), feedback, damp), dr(FramesFor(seconds * 1.13), feedback, damp);
  for (int i = 0; i < b.Frames(); ++i) {
    const float el = dl.Process(b.left[i]);
    const float er = dr.Process(b.right[i]);
    b.left[i] += static_cast<float>(el * mix);
    b.right[i] += static_cast<float>(er * mix);
  }
}

}  // namespace

// Four slow steps on a hard floor, coming a little closer each time.
Buffer Footsteps(int frames) {
  Buffer b(frames);
  Rng rng(11);
  // No two steps alike: how hard the heel comes down and how deep it knocks,
  // the tone of the sole's scuff, how soon the sole rolls after the heel,
  // grit crunching under the third, and the last scraping as the pilot stops.
  struct Step {
    double at;
    float loud, pan;
    double knockHz, knockTau;  // the floor's knock: starting pitch (falling to a third of it), decay
    double scuffHz, scuffQ;    // the sole's scuff
    double roll;               // heel to sole, seconds
    float sole;                // how loud the sole comes down after the heel
    double grit, scrape;       // gravel crackle and the sliding scrape, 0 for none
  };
  const Step steps[4] = {
      {0.08, 0.55f, -0.25f, 180, 0.035, 1500, 1.2, 0.075, 0.45f, 0.0, 0.0},
      {0.64, 0.75f, 0.25f, 140, 0.05, 850, 0.8, 0.1, 0.6f, 0.0, 0.0},
      {1.21, 0.8f, -0.2f, 210, 0.028, 2600, 1.6, 0.065, 0.35f, 1.0, 0.0},
      {1.77, 1.0f, 0.2f, 120, 0.06, 2300, 0.7, 0.12, 0.6f, 0.0, 1.0},
  };
  for (const Step& s : steps) {
    for (int part = 0; part < 2; ++part) {
      const double at = s.at + part * (s.roll + 0.008 * rng.Uniform());
      const float g = s.loud * (part == 0 ? 1.0f : s.sole);
      Svf scuff, crunch;
      scuff.Set(s.scuffHz * (0.9 + 0.2 * rng.Uniform()), s.scuffQ);
      crunch.Set(3800, 1.5);
      Osc knock(Wave::Sine);
      double grain = 0.0;
      const int first = FramesFor(at);
      for (int k = 0; k < FramesFor(0.25) && first + k < frames; ++k) {
        const double t = Sec(k);
        scuff.Process(static_cast<float>(rng.Bipolar()));
        const double f = s.knockHz * (0.4 + 0.6 * std::exp(-t / 0.012));
        double v = knock.Next(f) * Perc(t, 0.0015, s.knockTau) * 0.9 + scuff.band * Perc(t, 0.001, 0.018) * 0.8 +
                   scuff.high * Perc(t, 0.0005, 0.004) * 0.3;
        // Grit: grains snapping under the sole for a few tens of milliseconds.
        if (s.grit > 0 && rng.Uniform() < 0.02 * std::exp(-t / 0.04)) grain = 0.5 + 0.5 * rng.Uniform();
        grain *= 0.985;
        crunch.Process(static_cast<float>(rng.Bipolar() * grain));
        v += crunch.band * s.grit * 0.9;
        // The scrape: the sole dragged along the floor as the step ends.
        if (s.scrape > 0 && part == 1) {
          const double drag = t < 0.16 ? std::sin(kPi * t / 0.16) : 0.0;
          v += scuff.band * drag * s.scrape * 0.9;
        }
        b.AddPanned(first + k, static_cast<float>(v) * g, s.pan);
      }
    }
  }
  ReverbOnce(b, 0.55, 4000, 0.22);  // a bare corridor
  return b;
}

// A wall switch snaps, then a fluorescent tube stutters into life and hums.
Buffer Lights(int frames) {
  Buffer b(frames);
  Rng rng(23);
  // The switch: two sharp clicks a few milliseconds apart, kept under the
  // tube's buzz so that the strike of the light is what is heard loudest.
  for (int c = 0; c < 2; ++c) {
    Svf click;
    click.Set(3200 - 900 * c, 3.0);
    Osc body(Wave::Sine);
    const int first = FramesFor(0.03 + c * 0.012);
    for (int k = 0; k < FramesFor(0.08); ++k) {
      const double t = Sec(k);
      click.Process(static_cast<float>(rng.Bipolar()));
      const float v = static_cast<float>(click.band * Perc(t, 0.0003, 0.006) * 0.28 +
                                         body.Next(900) * Perc(t, 0.0005, 0.01) * 0.12);
      b.AddPanned(first + k, v * (c == 0 ? 1.0f : 0.6f), 0.1f);
    }
  }
  // The tube: mains hum with a rich buzz, gated on and off while it strikes.
  const double strikes[][2] = {{0.16, 0.22}, {0.30, 0.34}, {0.42, 0.58}, {0.66, 0.70}, {0.78, 9.0}};
  Osc hum(Wave::Sine), hum2(Wave::Sine), buzz(Wave::Saw);
  Svf buzzTone;
  buzzTone.Set(1100, 0.9);
  OnePole gateSmooth, gateSmooth2;  // the tube takes a few milliseconds to strike and to go out
  gateSmooth.SetCutoff(150);
  gateSmooth2.SetCutoff(150);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    double gate = 0.0;
    for (const auto& s : strikes)
      if (t >= s[0] && t < s[1]) gate = 1.0;
    const float g = gateSmooth2.Low(gateSmooth.Low(static_cast<float>(gate)));
    buzzTone.Process(buzz.Next(100.0));
    double v = hum.Next(100.0) * 0.3 + hum2.Next(200.0) * 0.15 + buzzTone.band * 0.6;
    // Each strike starts with a tick of the starter.
    for (const auto& s : strikes)
      if (t >= s[0] && t < s[0] + 0.01) v += rng.Bipolar() * Perc(t - s[0], 0.001, 0.004) * 0.6;
    // Once lit the tube settles to a quieter hum, fading as the scene moves on.
    const double settle = (0.6 + 0.4 * std::exp(-std::max(0.0, t - 0.8) / 0.5)) *
                          std::min(1.0, std::max(0.0, Sec(frames) - t) / 0.9);
    b.AddPanned(i, static_cast<float>(v * g * settle) * 0.5f, -0.1f);
  }
  ReverbOnce(b, 0.5, 5000, 0.15);
  return b;
}

// The pilot murmurs to himself, thinking it over: "hmm... uh-mm", lips
// mostly closed, the middle syllable half opening into a mumbled vowel. The
// voice wavers as a tired man's does, and his breath is heard: a breath out
// through the nose as he starts, under the hum, and as he trails off.
Buffer Hmmmm(int frames) {
  Buffer b(frames);
  const double len = Sec(frames);
  // Speech-like intonation: up a little on the first "hmm", then drifting
  // down; on it a waver of a few per cent, five or six times a second and
  // never quite regular.
  auto pitch = [&](double t) {
    const double contour =
        112.0 + 16.0 * std::sin(kPi * std::min(1.0, t / 0.3)) - 22.0 * std::max(0.0, t - 0.3) / (len - 0.3);
    const double waver = 0.03 * std::sin(kTwoPi * 5.3 * t + 1.1 * std::sin(kTwoPi * 1.7 * t)) +
                         0.012 * std::sin(kTwoPi * 9.1 * t + 0.5);
    return contour * (1.0 + waver);
  };
  const std::vector<Mouth> path = {
      {0.00, kUh, 0.0, 0.3, 0.9},   // a breath out...
      {0.04, kUh, 0.4, 0.6, 0.4},
      {0.10, kOo, 0.8, 1.0, 0.05},  // ...into "hmm"
      {0.22, kOo, 0.7, 1.0, 0.05},
      {0.30, kUh, 0.25, 0.8, 0.2},  // a dip between the syllables
      {0.37, kUh, 1.0, 0.2, 0.08},  // "uh", half open
      {0.45, kEh, 0.8, 0.3, 0.08},
      {0.51, kOo, 0.3, 1.0, 0.15},  // closing again
      {0.57, kOo, 0.65, 1.0, 0.05},  // "mm"
      {0.70, kOo, 0.0, 1.0, 0.3},
  };
  std::vector<float> v = Speak(frames, path, pitch, 31);
  // Breath: air through the nose, a soft band of noise, strongest as he
  // starts and as he trails off, and faintly under the hum.
  const std::vector<std::pair<double, double>> air = {{0.0, 0.0},  {0.03, 0.55}, {0.1, 0.12}, {0.5, 0.12},
                                                      {0.56, 0.2}, {0.62, 0.12}, {0.66, 0.45}, {len, 0.0}};
  Rng rng(32);
  Svf nose;
  nose.Set(1400, 0.8);
  for (int i = 0; i < frames; ++i) {
    nose.Process(static_cast<float>(rng.Bipolar()));
    v[i] += static_cast<float>(nose.band * 0.3 * Glide(air, Sec(i)));
  }
  SpreadMono(b, v, 1.0f, 9, 0.0f);
  ReverbOnce(b, 0.4, 3000, 0.12);
  return b;
}

// A drone popping: short, bright, with a small thump.
Buffer EnemyExplosion1(int frames) {
  Buffer b(frames);
  Blast(b, 0.0, 0.25, 41, 0.9f, Sec(frames));
  RollOff(b, kExplosionTop);
  return b;
}

// A harder, grittier pop: crushed noise and a falling square tone.
Buffer EnemyExplosion2(int frames) {
  Buffer b(frames);
  Rng rng(43);
  Osc sq(Wave::Square);
  float held = 0.0f;
  Svf lp;
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    if (i % 6 == 0) held = static_cast<float>(rng.Bipolar());  // a coarse, grainy noise
    lp.Set(6000 * std::exp(-t / 0.06) + 400, 0.9);
    lp.Process(held);
    const float tone = sq.Next(320 * std::exp(-t / 0.05) + 60) * Perc(t, 0.001, 0.04) * 0.35f;
    const float v = static_cast<float>(lp.low * Perc(t, 0.001, 0.06) + tone);
    b.AddPanned(i, Drive(v, 2.0f), 0.0f);
  }
  Blast(b, 0.0, 0.15, 44, 0.35f, Sec(frames));
  RollOff(b, kExplosionTop);
  return b;
}

// The alien is home: a bright rising arpeggio with a sparkle on top.
Buffer AlienRescued(int frames) {
  Buffer b(frames);
  const double notes[] = {72, 76, 79, 84};
  for (int k = 0; k < 4; ++k) {
    const double at = 0.01 + k * 0.075;
    const double len = k == 3 ? 0.32 : 0.11;
    Tone(b, at, len, NoteHz(notes[k]), NoteHz(notes[k]), Wave::Pulse25, 0.28f, -0.3f + 0.2f * k, 0.15);
    Tone(b, at, len, NoteHz(notes[k] + 12), NoteHz(notes[k] + 12), Wave::Sine, 0.2f, 0.3f - 0.2f * k, 0.1);
  }
  Echo(b, 0.09, 0.3, 0.35);
  return b;
}

// The bike's gun: a laser zap that drops from a whistle to a growl in 80 ms.
Buffer PlayerShoot(int frames) {
  Buffer b(frames);
  Osc a(Wave::Square), c(Wave::Saw);
  Rng rng(59);
  Svf f;
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    const double hz = 300 + 2400 * std::exp(-t / 0.018);
    f.Set(hz * 3.0, 1.2);
    f.Process(a.Next(hz) * 0.6f + c.Next(hz * 1.5) * 0.4f);
    const double env = std::min(1.0, t / 0.0015) * std::exp(-t / 0.03);
    const float v = static_cast<float>((f.low + rng.Bipolar() * 0.3 * std::exp(-t / 0.004)) * env);
    b.AddPanned(i, v, 0.0f);
  }
  return b;
}

// A cheerful rising twinkle: quick sine chimes climbing through the scale, with echoes.
Buffer AlienPickup(int frames) {
  Buffer b(frames);
  const int scale[] = {0, 2, 4, 7, 9, 12, 14, 16, 19, 21, 24};
  for (int k = 0; k < 11; ++k) {
    const double hz = NoteHz(74 + scale[k]);
    Tone(b, 0.02 + k * 0.07, 0.5, hz, hz, Wave::Sine, 0.3f, (k % 2 ? 0.5f : -0.5f), 0.12);
    Tone(b, 0.02 + k * 0.07, 0.3, hz * 3.01, hz * 3.01, Wave::Sine, 0.06f, (k % 2 ? -0.3f : 0.3f), 0.05);
  }
  Echo(b, 0.16, 0.45, 0.5, 5000);
  ReverbOnce(b, 0.6, 6000, 0.2);
  return b;
}

// Refused: a low two-tone buzzer falling a fourth.
Buffer NoTeleport(int frames) {
  Buffer b(frames);
  const double parts[2][3] = {{0.0, 0.22, 220.0}, {0.26, 0.29, 165.0}};
  for (const auto& p : parts) {
    Osc o(Wave::Square), o2(Wave::Saw);
    Svf f;
    f.Set(1400, 0.9);
    const int first = FramesFor(p[0]);
    const int n = FramesFor(p[1]);
    for (int k = 0; k < n && first + k < frames; ++k) {
      const double t = Sec(k);
      f.Process(o.Next(p[2]) * 0.6f + o2.Next(p[2] * 1.007) * 0.5f);
      const double env = std::min(1.0, t / 0.005) * std::min(1.0, (Sec(n) - t) / 0.03);
      b.AddPanned(first + k, Drive(static_cast<float>(f.low * env), 2.5f) * 0.7f, 0.0f);
    }
  }
  return b;
}

// The menu tick: a crisp glassy click that is over in a few tens of milliseconds,
// short enough to repeat every other frame while a bonus counts down. Its
// ring, not its click, carries it, so it is heard over the menu tune
// without a spike that would reach the mixer's limiter.
Buffer MenuSelect(int frames) {
  Buffer b(frames);
  Osc a(Wave::Sine), c(Wave::Sine);
  Rng rng(71);
  Svf click;
  click.Set(5000, 2.0);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    click.Process(static_cast<float>(rng.Bipolar()));
    const double v = a.Next(1760) * Perc(t, 0.0008, 0.05) * 0.7 + c.Next(2640) * Perc(t, 0.0008, 0.025) * 0.3 +
                     click.band * Perc(t, 0.0002, 0.0015) * 0.2;
    b.AddPanned(i, static_cast<float>(v), 0.0f);
  }
  Echo(b, 0.045, 0.25, 0.2, 6000);
  return b;
}

// A missile strikes the bike's shield: a heavy hit with a metallic ring and falling debris.
Buffer MissileHit(int frames) {
  Buffer b(frames);
  Blast(b, 0.0, 1.1, 83, 0.9f, Sec(frames));
  // Struck metal: inharmonic partials, each decaying at its own pace.
  const double partials[][3] = {{187, 0.9, 0.8}, {431, 0.6, 0.55}, {689, 0.45, 0.4}, {1123, 0.3, 0.25}, {1571, 0.2, 0.18}};
  for (const auto& p : partials) Tone(b, 0.003, Sec(frames) - 0.01, p[0], p[0] * 0.97, Wave::Sine, static_cast<float>(p[1]) * 0.25f, 0.0f, p[2]);
  ReverbOnce(b, 0.7, 4500, 0.2);
  RollOff(b, kExplosionTop);
  return b;
}

// A synthetic "woo-hoo!": two sung syllables, the second higher and brighter,
// with a puff of breath for its "h".
Buffer Wohoo(int frames) {
  Buffer b(frames);
  auto pitch = [](double t) {
    if (t < 0.2) return 210.0 + 90.0 * (t / 0.2);
    return 330.0 + 140.0 * std::min(1.0, (t - 0.2) / 0.15) - 40.0 * std::max(0.0, t - 0.38) / 0.13;
  };
  const Vowel wo{690, 1070, 2420};  // most of the way from "oo" to "ah"
  const std::vector<Mouth> path = {
      {0.00, kOo, 0.0, 0.3, 0.2}, {0.03, kOo, 0.8, 0.0, 0.05}, {0.12, wo, 1.0, 0.0, 0.05},
      {0.17, wo, 0.8, 0.0, 0.1},  {0.20, kUh, 0.35, 0.0, 0.8},  {0.24, wo, 1.0, 0.0, 0.05},  // "h"
      {0.33, kOo, 0.9, 0.0, 0.05}, {0.47, kOo, 0.0, 0.2, 0.2},
  };
  std::vector<float> v = Speak(frames, path, pitch, 97);
  SpreadMono(b, v, 1.0f, 12, 0.0f);
  return b;
}

// Teleport: a shimmering sweep upwards, warbling as it goes.
Buffer Teleport(int frames) {
  Buffer b(frames);
  Osc carrier(Wave::Sine), mod(Wave::Sine), sh(Wave::Triangle);
  const double len = Sec(frames);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    const double u = t / len;
    const double base = 260 * std::pow(9.0, u);
    const double fm = mod.Next(base * 1.5) * base * 1.2 * (1 - u);
    const double trem = 0.6 + 0.4 * std::sin(kTwoPi * 28 * t);
    const double env = std::min(1.0, t / 0.01) * std::pow(1 - u, 0.7);
    const float v = static_cast<float>((carrier.Next(base + fm) * 0.7 + sh.Next(base * 2.01) * 0.25) * trem * env);
    b.left[i] += v * static_cast<float>(0.6 + 0.4 * std::sin(kTwoPi * 7 * t));
    b.right[i] += v * static_cast<float>(0.6 - 0.4 * std::sin(kTwoPi * 7 * t));
  }
  Echo(b, 0.05, 0.3, 0.3, 7000);
  return b;
}

// Electric buzz: a crackling mains arc that sputters and dies. It is the
// shield taking a hit (played with the hit itself), the most urgent moment
// of a fight, so the arc is driven into a dense buzz: loud for its peak,
// keeping its room under full scale. The buzz holds only its first fifth of
// a second and then dies away fast: in a close fight a shield goes every
// couple of seconds, and a crackle held for a whole second each time was
// most of the fight's loudness.
Buffer Bzzzt(int frames) {
  Buffer b(frames);
  Rng rng(101);
  Osc saw(Wave::Saw), hum(Wave::Triangle);
  Svf tone, fizz, snap, smooth;
  OnePole gate1, gate2;
  tone.Set(1600, 1.2);
  fizz.Set(4500, 1.0);
  smooth.Set(6000, 0.7);
  snap.Set(3000, 1.2);
  gate1.SetCutoff(150);
  gate2.SetCutoff(150);
  double spit = 0.0, crack = 0.0;
  int nextFlicker = 0;
  const double len = Sec(frames);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    // The arc flickers: its strength jumps every few milliseconds, and drops
    // out more and more often as it dies.
    if (i >= nextFlicker) {
      const double dropout = 0.12 + 0.35 * std::max(0.0, t - 0.5) / (len - 0.5);
      spit = rng.Uniform() < dropout ? 0.08 : 0.5 + 0.5 * rng.Uniform();
      nextFlicker = i + 700 + rng.Below(700);
    }
    const float g = gate2.Low(gate1.Low(static_cast<float>(spit)));
    // Now and then the arc snaps.
    if (rng.Uniform() < 0.0012 * g) crack = 0.7 + 0.3 * rng.Uniform();
    crack *= 0.997;
    snap.Process(static_cast<float>(rng.Bipolar() * crack));
    tone.Process(saw.Next(120) * 0.7f + hum.Next(60) * 0.2f);
    fizz.Process(static_cast<float>(rng.Bipolar()));
    const double env = std::min(1.0, t / 0.004) * (t < 0.2 ? 1.0 : std::exp(-(t - 0.2) / 0.12)) *
                       (t < 0.6 ? 1.0 : std::max(0.0, 1 - (t - 0.6) / (len - 0.6)));
    const float raw = static_cast<float>((tone.band * 1.4 + tone.low * 0.3 + fizz.band * 0.2 * g) * g * env);
    smooth.Process(Drive(raw * 2.5f, 3.0f));
    b.AddPanned(i, smooth.low * 0.6f, static_cast<float>(0.3 * std::sin(kTwoPi * 3 * t)));
    b.AddPanned(i, static_cast<float>(snap.band * 0.3 * env), static_cast<float>(-0.3 * std::sin(kTwoPi * 3 * t)));
  }
  return b;
}

// A beacon's sonar ping: one ping with the boom of the hull under it that
// rings away, and a moment later its echo comes back from far off, fainter,
// duller and a touch lower.
Buffer Radar(int frames) {
  Buffer b(frames);
  // The ping itself: a pure tone with a faint metallic overtone, struck hard
  // and ringing down, its pitch sagging slightly as it fades; under it the
  // hull that sends it, a low partial that gives the ping its weight.
  auto ping = [&](double start, double hz, double gain, double attack, double ring, float pan) {
    Osc tone(Wave::Sine), overtone(Wave::Sine), shimmer(Wave::Sine), hull(Wave::Sine);
    const int first = FramesFor(start);
    for (int k = 0; first + k < frames; ++k) {
      const double t = Sec(k);
      const double sag = 1.0 - 0.012 * (1.0 - std::exp(-t / 0.25));
      // A quick fall, then a longer, quieter ring.
      const double env = Perc(t, attack, ring) * 0.85 + Perc(t, attack, ring * 3.0) * 0.15;
      const double boom = Perc(t, attack, ring * 0.9);
      if (env < 1e-4 && boom < 1e-4 && t > attack) break;
      const double v = tone.Next(hz * sag) * 0.8 + overtone.Next(hz * 2.76 * sag) * 0.12 * std::exp(-t / 0.06) +
                       shimmer.Next(hz * 1.003 * sag) * 0.2;  // a slow beat, as from a hull
      const double low = hull.Next(hz * 0.32 * sag) * 0.75 * boom;
      b.AddPanned(first + k, static_cast<float>((v * env + low) * gain), pan);
    }
  };
  ping(0.0, 1250, 1.0, 0.003, 0.11, 0.0f);
  // The transducer's knock as it fires.
  Rng rng(141);
  Svf knock;
  knock.Set(2800, 1.2);
  for (int i = 0; i < FramesFor(0.04); ++i) {
    knock.Process(static_cast<float>(rng.Bipolar()));
    b.AddPanned(i, static_cast<float>(knock.band * Perc(Sec(i), 0.001, 0.006) * 0.5), 0.0f);
  }
  // The echo: a softer onset, as a return smeared over the distance travelled.
  Buffer echo(frames);
  std::swap(echo, b);
  ping(0.64, 1232, 0.35, 0.015, 0.12, 0.35f);
  ping(1.18, 1225, 0.12, 0.025, 0.13, -0.3f);
  // Distance takes the top off the returns.
  for (auto* ch : {&b.left, &b.right}) {
    Svf dull;
    dull.Set(1700, 0.7);
    for (float& v : *ch) {
      dull.Process(v);
      v = dull.low;
    }
  }
  for (int i = 0; i < frames; ++i) {
    b.left[i] += echo.left[i];
    b.right[i] += echo.right[i];
  }
  ReverbOnce(b, 0.35, 3000, 0.15);  // a short ring off the hull
  return b;
}

// A shield bonus collected: a bright, resonant power-up sweep that pulses
// as it climbs, with a glassy shimmer riding an octave above. It is driven
// hard and held up to its end, dense rather than peaky, so that it can be
// the loudest thing in a fight and still keep its room under full scale.
Buffer TakeShield(int frames) {
  Buffer b(frames);
  Osc s1(Wave::Saw), s2(Wave::Saw), glass(Wave::Sine), glassMod(Wave::Sine);
  Svf f;
  const double len = Sec(frames);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    const double u = t / len;
    const double hz = 330 * std::pow(4.0, std::min(1.0, u * 1.6));
    f.Set(900 + 5000 * u, 1.6);
    f.Process(s1.Next(hz) * 0.5f + s2.Next(hz * 1.005) * 0.5f);
    const double env = std::min(1.0, t / 0.01) * std::sqrt(1 - u);
    // Pulses 24 times a second, each edge eased over a couple of milliseconds.
    const double pulse = 0.75 + 0.25 * (0.5 + 0.5 * std::tanh(3.0 * std::sin(kTwoPi * 24 * t)));
    const double shimmer = glass.Next(hz * 2.0 + glassMod.Next(hz * 3.0) * hz * 0.6 * (1 - u)) * 0.25 *
                           std::min(1.0, t / 0.08);
    b.AddPanned(i, static_cast<float>((Drive(f.low * 1.2f, 1.8f) * pulse + shimmer) * env), 0.0f);
  }
  Echo(b, 0.07, 0.3, 0.2);
  return b;
}

// The stranded alien calls: a warbling "wee-ooo, wee-ooo" in its small,
// high voice, with a pure whistle under it.
Buffer Alien1(int frames) {
  Buffer b(frames);
  Osc whistle(Wave::Sine), vib(Wave::Sine);
  // Two calls, each a quick rise and a slower fall, with a fast flutter.
  std::vector<double> flutter(frames);
  for (double& f : flutter) f = vib.Next(11.0);
  auto pitch = [&](double t) {
    const double c = std::fmod(t, 0.5) / 0.5;
    const double shape = c < 0.25 ? c / 0.25 : 1.0 - (c - 0.25) / 0.75;
    return 520 + 500 * shape + 18 * flutter[std::min(frames - 1, FramesFor(t))];
  };
  std::vector<Mouth> path;
  for (int call = 0; call < 2; ++call) {
    const double at = 0.5 * call, loud = call == 0 ? 1.0 : 0.8;
    const Vowel oo = kOo.Scaled(1.4), ee = kEe.Scaled(1.4);
    path.push_back({at + 0.01, oo, 0.0, 0.3, 0.2});
    path.push_back({at + 0.08, ee, 0.9 * loud, 0.0, 0.05});
    path.push_back({at + 0.15, ee, loud, 0.0, 0.05});
    path.push_back({at + 0.36, oo, 0.75 * loud, 0.0, 0.05});
    path.push_back({at + 0.49, oo, 0.0, 0.2, 0.1});
  }
  std::vector<float> v = Speak(frames, path, pitch, 121);
  std::vector<std::pair<double, double>> loudness;
  for (const Mouth& m : path) loudness.push_back({m.at, m.loud});
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    v[i] += static_cast<float>(whistle.Next(pitch(t)) * 0.12 * Glide(loudness, t));
  }
  SpreadMono(b, v, 0.8f, 7, 0.0f);
  Echo(b, 0.11, 0.35, 0.35, 4000);
  return b;
}

// Picked up: the alien chatters happily, a quick run of babbled syllables
// that climbs into a delighted "wee!".
Buffer Alien2(int frames) {
  Buffer b(frames);
  const std::vector<Syllable> chatter = {
      {0.03, 0.10, kEe, 520, 600, 'b'}, {0.15, 0.08, kIh, 560, 640, 'd'}, {0.25, 0.11, kAh, 480, 540, 'b'},
      {0.39, 0.13, kOo, 600, 500, 'd'}, {0.55, 0.09, kEe, 620, 700, 'm'}, {0.67, 0.08, kIh, 640, 720, 'k'},
      {0.78, 0.09, kAh, 560, 620, 't'}, {0.91, 0.20, kEe, 600, 950, 'w'},
  };
  std::vector<float> v = Babble(frames, chatter, 1.4, 131);
  SpreadMono(b, v, 1.0f, 8, 0.0f);
  Echo(b, 0.13, 0.3, 0.3);
  return b;
}

// The alien reaches the craft: a long, grateful "oooo-wee", sung with a
// ring-modulated sheen that makes it sound not quite of this world.
Buffer Alien3(int frames) {
  Buffer b(frames);
  const std::vector<std::pair<double, double>> contour = {{0.0, 700}, {0.6, 450}, {0.66, 450}, {0.88, 1100}};
  auto pitch = [&](double t) { return Glide(contour, t) * (1.0 + 0.02 * std::sin(kTwoPi * 7.0 * t)); };
  const double size = 1.4;
  const std::vector<Mouth> path = {
      {0.00, kOo.Scaled(size), 0.0, 0.4, 0.4},  {0.08, kOo.Scaled(size), 1.0, 0.0, 0.05},
      {0.52, kOo.Scaled(size), 0.85, 0.0, 0.05}, {0.62, kIh.Scaled(size), 0.45, 0.2, 0.1},  // the breath between
      {0.70, kEe.Scaled(size), 1.0, 0.0, 0.05},  {0.88, kEe.Scaled(size), 0.9, 0.0, 0.05},
      {1.02, kEe.Scaled(size), 0.0, 0.0, 0.2},
  };
  std::vector<float> v = Speak(frames, path, pitch, 151);
  // The sheen: a pure tone at the same pitch, ring-modulated by another a
  // tritone above, whose sum and difference sit out of tune with the voice.
  Osc carrier(Wave::Sine), ring(Wave::Sine);
  std::vector<std::pair<double, double>> level;
  for (const Mouth& m : path) level.push_back({m.at, m.loud});
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    const double hz = pitch(t);
    const double c = carrier.Next(hz);
    v[i] += static_cast<float>((c * 0.5 + c * ring.Next(hz * 1.414) * 0.35) * 0.3 * Glide(level, t));
  }
  SpreadMono(b, v, 1.0f, 10, 0.0f);
  Echo(b, 0.12, 0.3, 0.3);
  return b;
}

// The terraformer at work: one stroke of a throbbing machine, a drone that
// swells and releases a hiss of steam. The game starts it again every two
// seconds for as long as the terraformer is on screen, so the stroke and its
// room have died away before then: the repeats follow one another as the
// machine's beat instead of piling up. The rest of the file is silence.
Buffer TwoTower(int frames) {
  Buffer b(frames);
  Rng rng(151);
  Osc d1(Wave::Saw), d2(Wave::Saw), sub(Wave::Sine);
  Svf f, hiss;
  hiss.Set(3000, 0.6);
  const double beat = 1.9;  // seconds, inside the game's two
  const int active = std::min(frames, FramesFor(beat));
  for (int i = 0; i < active; ++i) {
    const double t = Sec(i);
    const double u = t / beat;
    const double pump = std::pow(std::sin(kPi * u), 2.0);
    f.Set(250 + 900 * pump, 3.0);
    f.Process(d1.Next(55) * 0.5f + d2.Next(55.4 + 3 * pump) * 0.5f);
    hiss.Process(static_cast<float>(rng.Bipolar()));
    const double steam = u > 0.5 ? Perc(t - 0.5 * beat, 0.03, 0.2) : 0.0;
    // In over a quarter of a second, out smoothly by the end of the beat.
    const double out = std::clamp((beat - t) / 0.6, 0.0, 1.0);
    const double env = std::min(1.0, t / 0.25) * out * out * (3.0 - 2.0 * out);
    const float v =
        static_cast<float>((f.low * (0.5 + 0.5 * pump) + sub.Next(27.5) * 0.3 + hiss.band * steam * 0.4) * env);
    b.AddPanned(i, v, static_cast<float>(0.3 * std::sin(kTwoPi * u)));
  }
  ReverbOnce(b, 0.5, 3000, 0.15);
  // What still rings of the room is faded out before the next start.
  const int fadeFrom = FramesFor(1.6), silentFrom = std::min(frames, FramesFor(1.97));
  for (int i = fadeFrom; i < frames; ++i) {
    const double w = i >= silentFrom ? 0.0 : static_cast<double>(silentFrom - i) / (silentFrom - fadeFrom);
    const float g = static_cast<float>(w * w * (3.0 - 2.0 * w));
    b.left[i] *= g;
    b.right[i] *= g;
  }
  return b;
}

// A tesla coil: sparse snapping arcs over a buzzing hum. The game starts it
// again every two seconds for as long as the coil is on screen, so it is
// all over by then, its room included: each start takes up where the last
// one ended, the hum in step (120 Hz fits two seconds exactly), instead of
// the tail of one piling onto the next. The rest of the file is silence.
Buffer EnergyCrackle(int frames) {
  Buffer b(frames);
  Rng rng(163);
  Osc hum(Wave::Saw);
  Svf humTone, arc;
  humTone.Set(600, 2.0);
  const int active = std::min(frames, FramesFor(1.97));
  double spark = 0.0;
  float pan = 0.0f;
  for (int i = 0; i < active; ++i) {
    const double t = Sec(i);
    // Quickly in, and out over the last moments before the next start.
    const double env = std::min(1.0, t / 0.03) * std::clamp((1.97 - t) / 0.1, 0.0, 1.0);
    // Sparks come in bursts: dense now, sparse a moment later; none in the
    // last tenth of a second, where one could not ring out.
    const double density = t > 1.8 ? 0.0 : 0.0006 + 0.004 * std::pow(std::max(0.0, std::sin(kTwoPi * 1.7 * t + 0.6 * std::sin(kTwoPi * 0.5 * t))), 3.0);
    if (rng.Uniform() < density) {
      spark = 0.6 + 0.4 * rng.Uniform();
      pan = static_cast<float>(rng.Bipolar() * 0.6);
      arc.Set(1500 + 5000 * rng.Uniform(), 1.0);
    }
    spark *= 0.9965;
    arc.Process(static_cast<float>(rng.Bipolar() * spark));
    humTone.Process(hum.Next(120));
    b.AddPanned(i, static_cast<float>(arc.band * 1.5 * env), pan);
    b.AddPanned(i, static_cast<float>(humTone.band * 0.18 * env * (0.5 + spark)), 0.0f);
  }
  ReverbOnce(b, 0.5, 6000, 0.15);
  // What still rings of the room is faded out before the next start.
  const int fadeFrom = FramesFor(1.9), silentFrom = std::min(frames, FramesFor(1.98));
  for (int i = fadeFrom; i < frames; ++i) {
    const double w = i >= silentFrom ? 0.0 : static_cast<double>(silentFrom - i) / (silentFrom - fadeFrom);
    const float g = static_cast<float>(w * w * (3.0 - 2.0 * w));
    b.left[i] *= g;
    b.right[i] *= g;
  }
  return b;
}

// Game over, first blast: the bike's shell cracks.
Buffer Explode1(int frames) {
  Buffer b(frames);
  Blast(b, 0.0, 0.6, 171, 0.9f, Sec(frames) - 0.25);
  ReverbOnce(b, 0.5, 4000, 0.15);
  RollOff(b, kExplosionTop);
  return b;
}

// Game over, second blast: a big explosion with rolling debris.
Buffer Explode2(int frames) {
  Buffer b(frames);
  Blast(b, 0.0, 1.6, 181, 0.9f, Sec(frames) - 0.25);
  Blast(b, 0.18, 0.5, 182, 0.35f, Sec(frames) - 0.18 - 0.25);
  ReverbOnce(b, 0.8, 3000, 0.22);
  RollOff(b, kExplosionTop);
  return b;
}

// Game over, the last blast: huge, with a long rumble rolling across the plain.
Buffer Explode3(int frames) {
  Buffer b(frames);
  Blast(b, 0.0, 3.0, 191, 0.95f, Sec(frames) - 0.25);
  Blast(b, 0.12, 1.0, 192, 0.4f, Sec(frames) - 0.12 - 0.25);
  Blast(b, 0.45, 0.6, 193, 0.25f, Sec(frames) - 0.45 - 0.25);
  ReverbOnce(b, 1.0, 2500, 0.25);
  RollOff(b, kExplosionTop);
  return b;
}

// The lunar module sets down: a heavy clunk, the legs settle, gas vents away.
Buffer ModuleLand(int frames) {
  Buffer b(frames);
  Rng rng(201);
  Osc thud(Wave::Sine), ring(Wave::Sine);
  Svf vent;
  vent.Set(2500, 0.7);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    double v = thud.Next(48 + 60 * std::exp(-t / 0.04)) * Perc(t, 0.002, 0.18) * 0.9;
    v += ring.Next(310) * Perc(t, 0.002, 0.25) * 0.12;
    // The legs settle in a second, smaller knock.
    if (t > 0.22) v += std::sin(kTwoPi * 70 * (t - 0.22)) * Perc(t - 0.22, 0.002, 0.08) * 0.4;
    vent.Process(static_cast<float>(rng.Bipolar()));
    const double hiss = t > 0.3 ? Perc(t - 0.3, 0.12, 0.5) * 0.35 : 0.0;
    b.AddPanned(i, static_cast<float>(v), 0.0f);
    b.AddPanned(i, static_cast<float>(vent.band * hiss), static_cast<float>(std::sin(t * 3.0) * 0.5));
  }
  ReverbOnce(b, 0.6, 3000, 0.15);
  return b;
}

namespace {
// A rocket engine: a rumble that chugs with the combustion, a body of low
// roar, a hiss whose tone slowly sweeps up and down, and, at `whineLevel`
// (0 for none), the whine of the turbine. Over time `loud` sets its level,
// `open` (0 to 1) how hard it burns, which brightens the hiss and lifts the
// roar, and `spin` the turbine's pitch as a multiple of its cruising pitch.
template <class Loud, class Open, class Spin>
void Engine(Buffer& b, std::uint64_t seed, double whineLevel, Loud loud, Open open, Spin spin) {
  Rng rng(seed);
  Svf sweepL, sweepR, bodyL, bodyR, whine, hissL, hissR;
  OnePole rumbleL, rumbleR, chugSmooth;
  hissL.Set(3000, 0.7);
  hissR.Set(3000, 0.7);
  rumbleL.SetCutoff(110);
  rumbleR.SetCutoff(110);
  chugSmooth.SetCutoff(14);
  Osc turbine(Wave::Saw), turbine2(Wave::Saw);
  float chugTarget = 0.5f;
  // Each engine starts its slow swings somewhere of its own.
  const double sweepFrom = rng.Uniform() * kTwoPi, swellFrom = rng.Uniform() * kTwoPi;
  for (int i = 0; i < b.Frames(); ++i) {
    const double t = Sec(i);
    const double burn = open(t);
    // Two slow, unrelated swings: one sweeps the exhaust's tone, one its strength.
    const double sway =
        0.5 + 0.35 * std::sin(kTwoPi * 0.23 * t + sweepFrom) + 0.15 * std::sin(kTwoPi * 0.61 * t + 2.0 * sweepFrom);
    const double swell = 0.8 + 0.2 * std::sin(kTwoPi * 0.31 * t + swellFrom);
    const double centre = 450 * std::pow(6.0, sway) * (0.35 + 0.9 * burn);
    sweepL.Set(centre, 3.0);
    sweepR.Set(centre * 1.09, 3.0);
    const float nl = static_cast<float>(rng.Bipolar()), nr = static_cast<float>(rng.Bipolar());
    sweepL.Process(nl);
    sweepR.Process(nr);
    hissL.Process(nl);
    hissR.Process(nr);
    const double bodyHz = (160 + 80 * sway) * (0.6 + 0.4 * burn);
    bodyL.Set(bodyHz, 1.3);
    bodyR.Set(bodyHz * 1.07, 1.3);
    bodyL.Process(static_cast<float>(rng.Bipolar()));
    bodyR.Process(static_cast<float>(rng.Bipolar()));
    // Combustion chug: the rumble's strength stutters several times a second.
    if (i % 2205 == 0) chugTarget = static_cast<float>(rng.Uniform());
    const double chug = 0.5 + chugSmooth.Low(chugTarget);
    const float rl = rumbleL.Low(static_cast<float>(rng.Bipolar())) * 7.0f;
    const float rr = rumbleR.Low(static_cast<float>(rng.Bipolar())) * 7.0f;
    const double hz = 180 * spin(t) * (1.0 + 0.03 * std::sin(kTwoPi * 0.37 * t));
    whine.Set(hz * 3.0, 2.0);
    whine.Process(turbine.Next(hz) * 0.6f + turbine2.Next(hz * 1.502) * 0.4f);
    const double level = loud(t) * swell;
    const double tone = whine.band * 0.22 * whineLevel;
    b.left[i] += static_cast<float>(
        (sweepL.band * 0.45 + hissL.low * 0.3 + bodyL.band * 0.7 + rl * 0.5 * chug + tone) * level);
    b.right[i] += static_cast<float>(
        (sweepR.band * 0.45 + hissR.low * 0.3 + bodyR.band * 0.7 + rr * 0.5 * chug + tone) * level);
  }
}
}  // namespace

// The module's descent: the engine burns all the way down, its roar
// swelling and slowly sweeping in tone as the craft nears the ground, the
// combustion chugging underneath; as the legs touch it throttles back. No
// turbine whine: a steady tone over six seconds is heard as a fault.
Buffer ModuleThrust(int frames) {
  Buffer b(frames);
  const double len = Sec(frames);
  const double touch = 4.8;  // the engine is cut here
  auto throttle = [=](double t) { return t < touch ? 1.0 : std::exp(-(t - touch) / 0.3); };
  auto near = [=](double t) { return std::clamp(t / touch, 0.0, 1.0); };  // closer: louder, brighter
  Engine(
      b, 211, 0.0,
      [&](double t) {
        const double start = std::min(1.0, t / 0.5);
        return start * start * (3.0 - 2.0 * start) * std::min(1.0, (len - t) / 0.3) * (0.7 + 0.3 * near(t)) *
               throttle(t);
      },
      [&](double t) { return throttle(t) * (0.8 + 0.3 * near(t)); }, [](double) { return 1.0; });
  ReverbOnce(b, 0.6, 2500, 0.15);
  return b;
}

// Lift-off: ignition, a swelling roar as the turbine spins up, then the
// craft climbs away out of earshot, its pitch falling as it goes.
Buffer ModuleTakeoff(int frames) {
  Buffer b(frames);
  const double len = Sec(frames);
  Blast(b, 0.0, 0.7, 221, 0.5f, len - 0.25);
  Engine(
      b, 222, 1.0,
      [=](double t) {
        const double swell = std::min(1.0, t / 0.9);
        const double away = t < 1.6 ? 1.0 : std::pow(std::max(0.0, 1 - (t - 1.6) / (len - 1.6)), 1.6);
        return swell * swell * (3.0 - 2.0 * swell) * away;
      },
      [=](double t) { return t < 1.2 ? 0.5 + 0.5 * t / 1.2 : std::max(0.1, 1.0 - 0.9 * (t - 1.2) / (len - 1.2)); },
      [=](double t) { return t < 1.4 ? 0.6 + 0.6 * t / 1.4 : 1.2 - 0.45 * (t - 1.4) / (len - 1.4); });
  ReverbOnce(b, 0.8, 2500, 0.2);
  return b;
}

// The towers' hum: a power-line drone whose overtones beat against each
// other, with the rasp of the transformer inside.
Buffer Towers(int frames) {
  Buffer b(frames);
  const double len = Sec(frames);
  const double partials[][3] = {{110, 0.5, -0.3}, {110.7, 0.4, 0.3}, {220.5, 0.25, 0.0}, {330, 0.12, -0.5}, {441.5, 0.1, 0.5}, {662, 0.05, 0.0}};
  for (const auto& p : partials) {
    Osc o(Wave::Sine);
    for (int i = 0; i < frames; ++i) {
      const double t = Sec(i);
      const double env = std::sin(kPi * std::min(1.0, t / len));
      const double wob = 1.0 + 0.003 * std::sin(kTwoPi * 0.8 * t + p[0]);
      b.AddPanned(i, static_cast<float>(o.Next(p[0] * wob) * p[1] * env), static_cast<float>(p[2]));
    }
  }
  Rng rng(231);
  Svf fizz;
  fizz.Set(4500, 2.0);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    fizz.Process(static_cast<float>(rng.Bipolar()));
    const double env = std::sin(kPi * std::min(1.0, t / len)) * (0.5 + 0.5 * std::sin(kTwoPi * 110 * t));
    b.AddPanned(i, static_cast<float>(fizz.band * 0.05 * env), 0.0f);
  }
  // The transformer's buzz: the hum squared off into odd overtones, heard
  // through the housing as a mid-range rasp that waxes and wanes.
  Osc core(Wave::Sine);
  Svf housing;
  housing.Set(1400, 0.7);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    const double env = std::sin(kPi * std::min(1.0, t / len)) * (0.6 + 0.4 * std::sin(kTwoPi * 0.35 * t + 1.0));
    housing.Process(Drive(core.Next(110.3), 8.0f));
    b.AddPanned(i, static_cast<float>(housing.band * env), 0.15f);
  }
  ReverbOnce(b, 0.7, 4000, 0.2);
  return b;
}

// Off to the next sector: a warp jump, a deep "urp" that lurches down then shoots away upwards.
Buffer Urp(int frames) {
  Buffer b(frames);
  Osc a(Wave::Saw), c(Wave::Saw), sub(Wave::Sine);
  Svf f;
  Rng rng(241);
  Svf wind;
  const double len = Sec(frames);
  for (int i = 0; i < frames; ++i) {
    const double t = Sec(i);
    const double u = t / len;
    double hz;
    if (u < 0.3) hz = 180 * std::pow(0.35, u / 0.3);            // the lurch down
    else hz = 63 * std::pow(30.0, std::pow((u - 0.3) / 0.7, 1.5)); // and away
    f.Set(200 + hz * 4, 3.5);
    f.Process(a.Next(hz) * 0.5f + c.Next(hz * 1.01) * 0.5f);
    wind.Set(300 + 4000 * u, 1.0);
    wind.Process(static_cast<float>(rng.Bipolar()));
    const double env = std::min(1.0, t / 0.02) * std::pow(1 - u, 0.8);
    const double v = (f.low * 0.8 + sub.Next(hz * 0.5) * 0.35 * (1 - u) + wind.band * 0.25 * u) * env;
    b.left[i] += static_cast<float>(v * (1.0 + 0.3 * std::sin(kTwoPi * 2 * t)));
    b.right[i] += static_cast<float>(v * (1.0 - 0.3 * std::sin(kTwoPi * 2 * t)));
  }
  Echo(b, 0.19, 0.4, 0.3, 3000);
  return b;
}

}  // namespace sounds
