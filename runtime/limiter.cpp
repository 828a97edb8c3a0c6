#include "runtime/limiter.h"

#include <algorithm>
#include <cmath>

#include "runtime/audio.h"

namespace rt {

namespace {
const int kHoldFrames = static_cast<int>(SoftLimiter::kHoldSeconds * kMixRate);
const float kFall = std::exp(-1.0f / (SoftLimiter::kReleaseSeconds * static_cast<float>(kMixRate)));
constexpr float kRoom = SoftLimiter::kCeiling - SoftLimiter::kKnee;
}  // namespace

void SoftLimiter::Process(float* stereo, int frames) {
  for (int i = 0; i < frames; ++i) {
    float* frame = stereo + 2 * i;
    const float level = std::max(std::fabs(frame[0]), std::fabs(frame[1]));
    if (level >= envelope_) {
      envelope_ = level;
      hold_ = kHoldFrames;
    } else if (hold_ > 0) {
      --hold_;
    } else {
      envelope_ = std::max(level, envelope_ * kFall);  // never under the sample it governs
    }
    if (envelope_ <= kKnee) continue;
    // The envelope brought onto the curve: knee + room * tanh(over / room).
    const float bent = kKnee + kRoom * std::tanh((envelope_ - kKnee) / kRoom);
    const float gain = bent / envelope_;
    frame[0] *= gain;
    frame[1] *= gain;
  }
}

void SoftLimiter::Reset() {
  envelope_ = 0.0f;
  hold_ = 0;
}

}  // namespace rt
