#include <cmath>

#include "sounds.h"

namespace sounds {
using namespace synth;

namespace {
Buffer Pad(int frames, double root) {
  Buffer b(frames);
  const double bar = static_cast<double>(frames) / 32;
  Osc a(Wave::Triangle), c(Wave::Triangle);
  for (int i = 0; i < frames; ++i) {
    const int k = static_cast<int>(i / bar);
    const double r = root + (k % 4 == 3 ? 5 : 0);
    b.AddPanned(i, 0.3f * (a.Next(NoteHz(r)) + c.Next(NoteHz(r + 7))), 0.0f);
  }
  return b;
}
}  // namespace

Buffer MenuMusic(int frames) { return Pad(frames, 45); }
Buffer GameMusic(int frames) { return Pad(frames, 40); }
Buffer PauseMusic(int frames) { return Pad(frames, 50); }

}  // namespace sounds
