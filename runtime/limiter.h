// Inside the runtime only: the soft limiter at the end of the mixer.
#pragma once

namespace rt {

// Keeps the sum of the channels under full scale without the hard corner of
// a clamp. Below the knee every sample passes untouched. Above it, the level
// is followed as a peak envelope (it rises with the very sample that crosses
// it, holds over a bass cycle, then falls back within a tenth of a second or
// so) and bent by a smooth curve that leaves the knee with a slope of one and
// never passes the ceiling, which is under full scale. The gain that brings
// the envelope onto the curve applies to both sides alike, so the stereo
// picture stays where it was.
class SoftLimiter {
 public:
  static constexpr float kKnee = 0.7f;      // -3 dBFS: quieter samples are left alone
  static constexpr float kCeiling = 0.97f;  // the loudest sum comes out at most this loud
  static constexpr float kHoldSeconds = 0.01f;
  static constexpr float kReleaseSeconds = 0.06f;  // time constant of the fall

  // Limits interleaved stereo frames in place, carrying on from the last call.
  void Process(float* stereo, int frames);
  // Forgets the loud past: back at rest.
  void Reset();

 private:
  float envelope_ = 0.0f;
  int hold_ = 0;  // frames the envelope still stays where it is
};

}  // namespace rt
