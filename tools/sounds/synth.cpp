#include "synth.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace synth {

int FramesFor(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

void RollOff(Buffer& b, double hz) {
  for (auto* ch : {&b.left, &b.right}) {
    // Two sections of a Butterworth low-pass.
    Svf first, second;
    first.Set(hz, 0.5412);
    second.Set(hz, 1.3066);
    for (float& v : *ch) {
      first.Process(v);
      second.Process(first.low);
      v = second.low;
    }
  }
}

void LimitLooped(Buffer& b, float ceiling, double seconds) {
  const long n = b.Frames();
  if (n == 0) return;
  const long r = std::clamp<long>(FramesFor(seconds), 1, std::max<long>(1, n / 2 - 1));
  // The gain each frame needs on its own, then the least of it within r
  // frames either side (a running minimum around the loop), then that
  // averaged over r frames either side: each average is of gains no higher
  // than the frame's own need, so no frame passes the ceiling, and the gain
  // moves in smooth ramps.
  std::vector<float> need(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i) {
    const float level = std::max(std::fabs(b.left[i]), std::fabs(b.right[i]));
    need[i] = level > ceiling ? ceiling / level : 1.0f;
  }
  auto at = [n](long i) { return static_cast<size_t>(((i % n) + n) % n); };
  std::vector<float> least(static_cast<size_t>(n));
  std::deque<long> best;  // positions with rising needs; the front is the window's least
  for (long k = -2 * r; k < n + r; ++k) {
    while (!best.empty() && need[at(best.back())] >= need[at(k)]) best.pop_back();
    best.push_back(k);
    while (best.front() < k - 2 * r) best.pop_front();
    if (k - r >= 0 && k - r < n) least[k - r] = need[at(best.front())];
  }
  double sum = 0;
  for (long k = -r; k <= r; ++k) sum += least[at(k)];
  const double width = static_cast<double>(2 * r + 1);
  for (long i = 0; i < n; ++i) {
    const float g = static_cast<float>(sum / width);
    b.left[i] *= g;
    b.right[i] *= g;
    sum += least[at(i + r + 1)] - least[at(i - r)];
  }
}

double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

void Buffer::AddPanned(int i, float v, float pan) {
  if (i < 0 || i >= Frames()) return;
  // Equal-power pan; notes keep one pan for their whole length, so the gains
  // of the last pan asked for are kept rather than worked out every sample.
  thread_local float lastPan = 0.0f, gainL = static_cast<float>(std::cos(kPi / 4)),
                     gainR = static_cast<float>(std::sin(kPi / 4));
  if (pan != lastPan) {
    const double a = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * kPi / 4.0;
    lastPan = pan;
    gainL = static_cast<float>(std::cos(a));
    gainR = static_cast<float>(std::sin(a));
  }
  left[i] += v * gainL;
  right[i] += v * gainR;
}

void Buffer::AddWrapped(long i, float v, float pan) {
  const long n = Frames();
  if (n == 0) return;
  long k = i % n;
  if (k < 0) k += n;
  AddPanned(static_cast<int>(k), v, pan);
}

std::uint64_t Rng::Next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1Dull;
}
double Rng::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
double Rng::Bipolar() { return Uniform() * 2.0 - 1.0; }
int Rng::Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

namespace {
// Polynomial band-limited step: softens the jump of a saw or square so it
// does not alias into a fizz at high notes.
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}
}  // namespace

float Osc::Next(double freq) {
  const double dt = std::clamp(freq / kRate, 0.0, 0.49);
  const double p = phase_;
  double v = 0.0;
  switch (wave_) {
    case Wave::Sine: v = std::sin(kTwoPi * p); break;
    case Wave::Triangle: v = p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p; break;
    case Wave::Saw: v = 2.0 * p - 1.0 - PolyBlep(p, dt); break;
    case Wave::Square:
    case Wave::Pulse25: {
      const double width = wave_ == Wave::Square ? 0.5 : 0.25;
      v = p < width ? 1.0 : -1.0;
      v += PolyBlep(p, dt);
      double q = p - width;
      if (q < 0) q += 1.0;
      v -= PolyBlep(q, dt);
      if (wave_ == Wave::Pulse25) v += 0.5;  // keep the average near zero
      break;
    }
  }
  phase_ += dt;
  if (phase_ >= 1.0) phase_ -= 1.0;
  return static_cast<float>(v);
}

float Adsr::At(double t, double gate) const {
  if (t < 0) return 0.0f;
  auto held = [&](double u) {
    if (u < attack) return u / attack;
    u -= attack;
    if (u < decay) return 1.0 - (1.0 - sustain) * (u / decay);
    return sustain;
  };
  if (t < gate) return static_cast<float>(held(t));
  const double level = held(gate);
  const double r = (t - gate) / std::max(release, 1e-6);
  if (r >= 1.0) return 0.0f;
  return static_cast<float>(level * (1.0 - r) * (1.0 - r));
}

float Perc(double t, double attack, double tau) {
  if (t < 0) return 0.0f;
  if (t < attack) return static_cast<float>(t / attack);
  return static_cast<float>(std::exp(-(t - attack) / tau));
}

void OnePole::SetCutoff(double hz) {
  hz = std::clamp(hz, 1.0, kRate * 0.49);
  a_ = 1.0 - std::exp(-kTwoPi * hz / kRate);
}
float OnePole::Low(float x) {
  z_ += a_ * (x - z_);
  return static_cast<float>(z_);
}

void Svf::Set(double hz, double q) {
  hz = std::clamp(hz, 10.0, kRate * 0.45);
  g_ = std::tan(kPi * hz / kRate);
  k_ = 1.0 / std::max(q, 0.05);
}
void Svf::Process(float x) {
  const double a1 = 1.0 / (1.0 + g_ * (g_ + k_));
  const double a2 = g_ * a1;
  const double a3 = g_ * a2;
  const double v3 = x - ic2_;
  const double v1 = a1 * ic1_ + a2 * v3;
  const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
  ic1_ = 2.0 * v1 - ic1_;
  ic2_ = 2.0 * v2 - ic2_;
  low = static_cast<float>(v2);
  band = static_cast<float>(v1);
  high = static_cast<float>(x - k_ * v1 - v2);
}

Delay::Delay(int frames, double feedback, double damp_hz)
    : line_(std::max(frames, 1), 0.0f), feedback_(feedback) {
  damp_.SetCutoff(damp_hz);
}
float Delay::Process(float x) {
  const float out = line_[pos_];
  line_[pos_] = x + static_cast<float>(feedback_) * damp_.Low(out);
  pos_ = (pos_ + 1) % static_cast<int>(line_.size());
  return out;
}

Reverb::Reverb(double size, double damp_hz, double mix) : mix_(mix) {
  static const int kCombs[] = {1116, 1188, 1277, 1356, 1422, 1491};
  static const int kAllPass[] = {556, 441, 341};
  const int spread = 23;
  for (int side = 0; side < 2; ++side) {
    auto& combs = side == 0 ? combsL_ : combsR_;
    auto& aps = side == 0 ? apsL_ : apsR_;
    for (int len : kCombs) {
      Comb c;
      c.buf.assign(static_cast<size_t>(len * std::clamp(size, 0.2, 2.0)) + side * spread, 0.0f);
      c.fb = 0.70 + 0.26 * std::clamp(size, 0.0, 1.0);
      c.lp.SetCutoff(damp_hz);
      combs.push_back(std::move(c));
    }
    for (int len : kAllPass) {
      AllPass a;
      a.buf.assign(static_cast<size_t>(len) + side * spread, 0.0f);
      aps.push_back(std::move(a));
    }
  }
}

float Reverb::RunChannel(std::vector<Comb>& combs, std::vector<AllPass>& aps, float x) {
  float sum = 0.0f;
  for (auto& c : combs) {
    const float out = c.buf[c.pos];
    c.buf[c.pos] = x + static_cast<float>(c.fb) * c.lp.Low(out);
    c.pos = (c.pos + 1) % static_cast<int>(c.buf.size());
    sum += out;
  }
  sum /= static_cast<float>(combs.size());
  for (auto& a : aps) {
    const float b = a.buf[a.pos];
    a.buf[a.pos] = sum + b * 0.5f;
    sum = b - sum * 0.5f;
    a.pos = (a.pos + 1) % static_cast<int>(a.buf.size());
  }
  return sum;
}

void Reverb::Process(float inL, float inR, float& outL, float& outR) {
  const float in = 0.5f * (inL + inR);
  const float wl = RunChannel(combsL_, apsL_, in);
  const float wr = RunChannel(combsR_, apsR_, in);
  outL = static_cast<float>(inL * (1.0 - mix_) + wl * mix_ * 2.0);
  outR = static_cast<float>(inR * (1.0 - mix_) + wr * mix_ * 2.0);
}

void RemoveDc(Buffer& b) {
  for (auto* ch : {&b.left, &b.right}) {
    OnePole f;
    f.SetCutoff(15.0);
    for (float& v : *ch) v = f.High(v);
  }
}

void SubtractMean(Buffer& b) {
  for (auto* ch : {&b.left, &b.right}) {
    if (ch->empty()) continue;
    double mean = 0;
    for (float v : *ch) mean += v;
    mean /= static_cast<double>(ch->size());
    for (float& v : *ch) v -= static_cast<float>(mean);
  }
}

float Peak(const Buffer& b) {
  float p = 0.0f;
  for (float v : b.left) p = std::max(p, std::fabs(v));
  for (float v : b.right) p = std::max(p, std::fabs(v));
  return p;
}

double Rms(const Buffer& b) {
  if (b.Frames() == 0) return 0.0;
  double sum = 0.0;
  for (float v : b.left) sum += static_cast<double>(v) * v;
  for (float v : b.right) sum += static_cast<double>(v) * v;
  return std::sqrt(sum / (2.0 * b.Frames()));
}

void Scale(Buffer& b, float gain) {
  for (float& v : b.left) v *= gain;
  for (float& v : b.right) v *= gain;
}

void Normalise(Buffer& b, float peak) {
  const float p = Peak(b);
  if (p <= 1e-9f) return;
  const float g = peak / p;
  for (float& v : b.left) v *= g;
  for (float& v : b.right) v *= g;
}

void FadeEdges(Buffer& b, double in_s, double out_s) {
  const int n = b.Frames();
  const int fi = std::min(n, FramesFor(in_s));
  const int fo = std::min(n, FramesFor(out_s));
  for (int i = 0; i < fi; ++i) {
    const float g = static_cast<float>(i) / static_cast<float>(fi);
    b.left[i] *= g;
    b.right[i] *= g;
  }
  for (int i = 0; i < fo; ++i) {
    const float g = static_cast<float>(i) / static_cast<float>(fo);
    b.left[n - 1 - i] *= g;
    b.right[n - 1 - i] *= g;
  }
}

void ReverbOnce(Buffer& b, double size, double damp_hz, double mix) {
  Reverb r(size, damp_hz, mix);
  for (int i = 0; i < b.Frames(); ++i) r.Process(b.left[i], b.right[i], b.left[i], b.right[i]);
}

void ReverbLooped(Buffer& b, double size, double damp_hz, double mix) {
  Reverb r(size, damp_hz, mix);
  float l, rr;
  // First pass only fills the reverb with the end of the piece.
  const int n = b.Frames();
  const int warm = std::min(n, kRate * 6);
  for (int i = n - warm; i < n; ++i) r.Process(b.left[i], b.right[i], l, rr);
  for (int i = 0; i < n; ++i) r.Process(b.left[i], b.right[i], b.left[i], b.right[i]);
}

}  // namespace synth
