// Maths in degrees, and the random generator.
//
// The generator is our own (xoshiro-style 64-bit state, seeded through
// splitmix64) so that one seed gives the same sequence on every machine and
// with every compiler: recorded games replay from their seed.
#include <climits>
#include <cmath>
#include <cstdint>

#include "runtime/headless.h"
#include "runtime/runtime.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Generator {
  uint64_t s[4];

  static uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  void Seed(int32_t seed) {
    uint64_t x = static_cast<uint64_t>(static_cast<uint32_t>(seed));
    for (uint64_t& v : s) v = SplitMix(x);
  }
  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  // xoshiro256**
  uint64_t Next() {
    uint64_t result = Rotl(s[1] * 5, 7) * 9;
    uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 45);
    return result;
  }
};

Generator& Rng() {
  static Generator g = [] {
    Generator x{};
    x.Seed(0x4E6F7661);
    return x;
  }();
  return g;
}

// Reduces an angle to [0, 360) and splits it into a quarter turn and the rest,
// so whole quarter turns give exact results (sin 180 is 0, not 1.2e-16).
void Quadrant(double deg, int* quarter, double* rest) {
  double r = std::fmod(deg, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r = 0;
  int q = static_cast<int>(r / 90.0);
  if (q > 3) q = 3;
  *quarter = q;
  *rest = (r - 90.0 * q) * (kPi / 180.0);
}

}  // namespace

void SetRandomSeed(int32_t seed) { Rng().Seed(seed); }

uint64_t RandomStateFingerprint() {
  const Generator& g = Rng();
  return g.s[0] ^ Generator::Rotl(g.s[1], 16) ^ Generator::Rotl(g.s[2], 32) ^ Generator::Rotl(g.s[3], 48);
}

int RandomIntInRange(int a, int b) {
  int64_t lo = a < b ? a : b;
  int64_t hi = a < b ? b : a;
  uint64_t span = static_cast<uint64_t>(hi - lo) + 1;  // at most 2^32
  // Values below 2^64 mod span would make the low results a touch likelier.
  uint64_t threshold = (0 - span) % span;
  uint64_t r;
  do {
    r = Rng().Next();
  } while (r < threshold);
  return static_cast<int>(lo + static_cast<int64_t>(r % span));
}

double RandomRealInRange(double lo, double hi) {
  if (hi < lo) {
    double t = lo;
    lo = hi;
    hi = t;
  }
  if (!(hi > lo)) return lo;  // an empty range (or NaN) has only its end
  double u = static_cast<double>(Rng().Next() >> 11) * (1.0 / 9007199254740992.0);  // [0, 1)
  double v = lo + (hi - lo) * u;
  // Rounding can land exactly on the upper end; that end is never returned.
  if (v >= hi) v = std::nextafter(hi, lo);
  if (v < lo) v = lo;
  return v;
}

int32_t TruncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);  // C++ conversion truncates toward zero
}

double SinDegrees(double deg) {
  if (!std::isfinite(deg)) return std::nan("");
  int q;
  double r;
  Quadrant(deg, &q, &r);
  switch (q) {
    case 0: return std::sin(r);
    case 1: return std::cos(r);
    case 2: return -std::sin(r);
    default: return -std::cos(r);
  }
}

double CosDegrees(double deg) {
  if (!std::isfinite(deg)) return std::nan("");
  int q;
  double r;
  Quadrant(deg, &q, &r);
  switch (q) {
    case 0: return std::cos(r);
    case 1: return -std::sin(r);
    case 2: return -std::cos(r);
    default: return std::sin(r);
  }
}

double ATan2Degrees(double y, double x) { return std::atan2(y, x) * (180.0 / kPi); }

double SquareRoot(double v) { return std::sqrt(v); }

double FloatMod(double a, double b) { return std::fmod(a, b); }

double FloatAbs(double v) { return std::fabs(v); }

int IntAbs(int v) {
  if (v == INT_MIN) return INT_MAX;  // the one value without a positive twin
  return v < 0 ? -v : v;
}
