#include "loudness.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace loudness {

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kWindow = 0.1;

// One second-order section, transposed direct form II.
struct Section {
  double b0, b1, b2, a1, a2;
  double z1 = 0, z2 = 0;
  double Run(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

// The meter's weighting at our rate: a high shelf of about +4 dB above
// 1.7 kHz (the head's effect on what reaches the ear), then a high-pass at
// 38 Hz.
std::vector<double> WeightedPower(const std::vector<float>& left, const std::vector<float>& right) {
  const size_t n = std::min(left.size(), right.size());
  std::vector<double> power(n, 0.0);
  for (const std::vector<float>* ch : {&left, &right}) {
    double k = std::tan(kPi * 1681.974450955533 / kRate);
    const double q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0), vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    Section shelf{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                  2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    k = std::tan(kPi * 38.13547087602444 / kRate);
    const double q2 = 0.5003270373238773;
    a0 = 1.0 + k / q2 + k * k;
    Section highPass{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q2 + k * k) / a0};
    for (size_t i = 0; i < n; ++i) {
      const double y = highPass.Run(shelf.Run((*ch)[i]));
      power[i] += y * y;
    }
  }
  return power;
}

double Level(double meanPower) { return -0.691 + 10.0 * std::log10(meanPower + 1e-12); }

// Mean weighted power of each block of `block` frames, one every `hop`.
std::vector<double> BlockPowers(const std::vector<float>& left, const std::vector<float>& right, double block,
                                double hop) {
  const std::vector<double> power = WeightedPower(left, right);
  const size_t n = static_cast<size_t>(std::lround(block * kRate));
  const size_t step = std::max<size_t>(1, static_cast<size_t>(std::lround(hop * kRate)));
  std::vector<double> sums(power.size() + 1, 0.0);
  for (size_t i = 0; i < power.size(); ++i) sums[i + 1] = sums[i] + power[i];
  std::vector<double> out;
  if (power.size() <= n) {
    out.push_back(sums.back() / static_cast<double>(n));
    return out;
  }
  for (size_t at = 0; at + n <= power.size(); at += step)
    out.push_back((sums[at + n] - sums[at]) / static_cast<double>(n));
  return out;
}

// The loudness of each 100 ms window, one starting every `hopSeconds`.
std::vector<double> Windows(const std::vector<float>& left, const std::vector<float>& right, double hopSeconds) {
  std::vector<double> out = BlockPowers(left, right, kWindow, hopSeconds);
  for (double& power : out) power = Level(power);
  return out;
}

}  // namespace

double Loudest(const std::vector<float>& left, const std::vector<float>& right) {
  const std::vector<double> w = Windows(left, right, kWindow / 8);
  return *std::max_element(w.begin(), w.end());
}

double Typical(const std::vector<float>& left, const std::vector<float>& right) {
  std::vector<double> w = Windows(left, right, kWindow / 2);
  const auto middle = w.begin() + static_cast<std::ptrdiff_t>(w.size() / 2);
  std::nth_element(w.begin(), middle, w.end());
  return *middle;
}

double Decibels(double gain) { return 20.0 * std::log10(gain); }

double Integrated(const std::vector<float>& left, const std::vector<float>& right) {
  const std::vector<double> blocks = BlockPowers(left, right, 0.4, 0.1);
  auto meanAbove = [&](double gate) {
    double sum = 0;
    int n = 0;
    for (double p : blocks)
      if (Level(p) > gate) sum += p, ++n;
    return n == 0 ? 0.0 : sum / n;
  };
  const double ungated = meanAbove(-70.0);
  if (ungated <= 0.0) return Level(0.0);
  return Level(meanAbove(Level(ungated) - 10.0));
}

double LoudestOver(const std::vector<float>& left, const std::vector<float>& right, double seconds) {
  const std::vector<double> blocks = BlockPowers(left, right, seconds, seconds / 10);
  return Level(*std::max_element(blocks.begin(), blocks.end()));
}

Spectrum::Spectrum(const std::vector<float>& left, const std::vector<float>& right) {
  constexpr size_t kSize = 4096;
  binHz_ = kRate / static_cast<double>(kSize);
  power_.assign(kSize / 2 + 1, 0.0);
  const size_t n = std::min(left.size(), right.size());
  std::vector<double> window(kSize);
  for (size_t i = 0; i < kSize; ++i) window[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / kSize);
  // A sound shorter than one spectrum is heard with silence after it.
  const size_t padded = std::max(n, kSize);
  std::vector<std::complex<double>> x(kSize);
  for (const std::vector<float>* ch : {&left, &right})
    for (size_t at = 0; at + kSize <= padded; at += kSize / 2) {
      for (size_t i = 0; i < kSize; ++i)
        x[i] = at + i < n ? static_cast<double>((*ch)[at + i]) * window[i] : 0.0;
      // Radix-2 decimation in time, in place.
      for (size_t i = 1, j = 0; i < kSize; ++i) {
        size_t bit = kSize >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
      }
      for (size_t len = 2; len <= kSize; len <<= 1) {
        const std::complex<double> turn = std::polar(1.0, -2.0 * kPi / static_cast<double>(len));
        for (size_t i = 0; i < kSize; i += len) {
          std::complex<double> w = 1.0;
          for (size_t k = 0; k < len / 2; ++k) {
            const std::complex<double> a = x[i + k], b = x[i + k + len / 2] * w;
            x[i + k] = a + b;
            x[i + k + len / 2] = a - b;
            w *= turn;
          }
        }
      }
      for (size_t k = 0; k < power_.size(); ++k) power_[k] += std::norm(x[k]);
    }
}

double Spectrum::Share(double lo, double hi) const {
  double inside = 0, all = 0;
  for (size_t k = 1; k < power_.size(); ++k) {
    const double hz = static_cast<double>(k) * binHz_;
    all += power_[k];
    if (hz >= lo && hz < hi) inside += power_[k];
  }
  return all > 0 ? inside / all : 0.0;
}

double Spectrum::Density(double lo, double hi) const {
  double sum = 0;
  int bins = 0;
  for (size_t k = 1; k < power_.size(); ++k) {
    const double hz = static_cast<double>(k) * binHz_;
    if (hz >= lo && hz < hi) sum += power_[k], ++bins;
  }
  return 10.0 * std::log10(sum / std::max(bins, 1) + 1e-30);
}

}  // namespace loudness
