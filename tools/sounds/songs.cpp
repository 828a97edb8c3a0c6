// The three tunes of the game, written for the sequencer in tune.h.
//   menu:  calm and spacious, E minor, about 86 beats a minute, 48 bars;
//   game:  driving synth-wave, A minor, about 120 beats a minute, 96 bars;
//   pause: quiet bells over a pad, C minor, about 90 beats a minute, 16 bars.
#include <algorithm>
#include <cmath>

#include "sounds.h"
#include "tune.h"

namespace sounds {
using namespace synth;

namespace {

// The note the bass plays for a chord: its root, kept between E1 and D#2.
int BassNote(const Chord& c) { return 28 + ((c.root - 28) % 12 + 12) % 12; }

// The notes of phrase p before bar `from`, then those of q from it on: a
// variation that keeps the opening and answers it differently.
std::vector<NoteEvent> Splice(const std::vector<NoteEvent>& p, const std::vector<NoteEvent>& q, int from) {
  std::vector<NoteEvent> out;
  for (const auto& n : p)
    if (n.step < from * 16) out.push_back(n);
  for (const auto& n : q)
    if (n.step >= from * 16) out.push_back(n);
  return out;
}

// A second voice under a phrase: each note a third lower in the key (two
// steps of the scale), softer and to the other side, as a harmony singer.
void PlayHarmony(Tune& t, const std::vector<NoteEvent>& phrase, const std::vector<int>& scale, int bar, float vel) {
  auto inScale = [&](int midi) {
    const int pc = ((midi - scale[0]) % 12 + 12) % 12;
    return std::find(scale.begin(), scale.end(), scale[0] + pc) != scale.end();
  };
  for (const NoteEvent& n : phrase) {
    int below = n.midi;
    for (int steps = 0; steps < 2;)
      if (inScale(--below)) ++steps;
    t.Lead(t.At(bar, n.step), n.length * t.StepSeconds() * 0.9, below, vel, -0.35f);
  }
}

void PadChord(Tune& t, int bar, const Chord& c, double bars, float vel, double cutoff, int transpose = 0) {
  const double len = bars * t.barFrames / kRate * 0.97;
  for (int k = 0; k < 4; ++k) t.Pad(t.At(bar, 0), len, c.Tone(k) + transpose, vel, cutoff);
}

}  // namespace

Buffer GameMusic(int frames) {
  Tune t(frames, 96, 0x6A3E);
  const std::vector<Chord> progA = {{57, 0}, {53, 1}, {48, 1}, {55, 2}};  // Am F C G
  const std::vector<Chord> progB = {{50, 0}, {53, 1}, {52, 0}, {57, 0}};  // Dm F Em Am
  const std::vector<int> scale = {57, 59, 60, 62, 64, 65, 67};           // A minor
  Rng rng(0x51A7);
  const auto a1 = MakePhrase(rng, progA, scale, 69, 84, 1);
  const auto a2 = Splice(a1, MakePhrase(rng, progA, scale, 69, 84, 1), 2);
  const auto b1 = MakePhrase(rng, progB, scale, 67, 81, 1);
  const auto b2 = Splice(b1, MakePhrase(rng, progB, scale, 67, 81, 1), 2);

  struct Section { int prog; bool kick, snare, arp, pad; int lead; double bright; };
  const Section plan[12] = {
      {0, true, true, true, true, 4, 0.3},     {0, true, true, true, true, 1, 0.45},
      {0, true, true, true, false, 1, 0.5},    {0, true, true, true, true, 1, 0.6},
      {1, true, true, false, true, 2, 0.6},    {1, true, true, true, true, 2, 0.7},
      {0, false, false, true, true, 0, 0.2},   {0, true, false, true, true, 3, 0.35},
      {0, true, true, true, true, 1, 0.7},     {1, true, true, true, true, 2, 0.7},
      {0, true, true, true, true, 1, 0.6},     {0, true, false, true, true, 0, 0.25},
  };
  for (int s = 0; s < 12; ++s) {
    const Section& sec = plan[s];
    const auto& prog = sec.prog == 0 ? progA : progB;
    for (int b = 0; b < 8; ++b) {
      const int bar = s * 8 + b;
      const Chord& c = prog[b % 4];
      // Drums: four on the floor, snare on two and four, off-beat hats.
      for (int step = 0; step < 16; ++step) {
        if (sec.kick && step % 4 == 0) t.Kick(t.At(bar, step), 0.6f);
        if (sec.snare && (step == 4 || step == 12)) t.Snare(t.At(bar, step), 0.55f, 0.25f);
        if (step % 4 == 2) t.Hat(t.At(bar, step), 0.22f, step == 14 && b % 2 == 1, 0.25f);
        else if (sec.kick) t.Hat(t.At(bar, step), 0.07f, false, -0.2f);
      }
      // A crash marks each section where the band comes in together.
      if (b == 0 && sec.kick && sec.snare && s > 0 && !plan[s - 1].snare) t.Crash(t.At(bar, 0), 0.35f);
      if (b == 0 && s == 4) t.Crash(t.At(bar, 0), 0.35f);
      // A short fill on the last beat of every other section.
      if (b == 7 && sec.snare && s % 2 == 1)
        for (int step = 12; step < 16; ++step) t.Snare(t.At(bar, step), 0.3f + 0.05f * (step - 12), 0.3f);
      // The build before the return: a snare roll rising through the last bar.
      if (s == 7 && b == 7)
        for (int step = 0; step < 16; ++step) t.Snare(t.At(bar, step), 0.15f + 0.03f * step, 0.3f);
      // Bass: driving eighths with octave jumps, E2 and up, where a small
      // speaker still plays it.
      const int bn = BassNote(c) + 12;
      static const int kOct[8] = {0, 0, 12, 0, 0, 0, 12, 0};
      for (int e = 0; e < 8; ++e) t.Bass(t.At(bar, e * 2), t.StepSeconds() * 1.5, bn + kOct[e], 0.32f, sec.bright);
      if (sec.arp)
        for (int step = 0; step < 16; ++step) {
          static const int kShape[8] = {0, 1, 2, 3, 4, 3, 2, 1};
          t.Pluck(t.At(bar, step), c.Tone(kShape[step % 8]) + 12, step % 4 == 0 ? 0.2f : 0.14f,
                  step % 2 ? 0.45f : -0.45f, 0.09);
        }
      // The harmony: the chord an octave up, bright enough to be heard
      // between the lead's notes.
      if (sec.pad) PadChord(t, bar, c, 1.0, 0.1f, 2600, 12);
    }
    // Melody: each 8 bars are a phrase and its variation; in the second
    // half of the tune the phrases come back sung in thirds.
    const bool harmony = s >= 6;
    if (sec.lead == 1) {
      PlayPhrase(t, a1, s * 8, 0, 0.4f, 0.92);
      PlayPhrase(t, a2, s * 8 + 4, 0, 0.4f, 0.92);
      if (harmony) {
        PlayHarmony(t, a1, scale, s * 8, 0.22f);
        PlayHarmony(t, a2, scale, s * 8 + 4, 0.22f);
      }
    } else if (sec.lead == 2) {
      PlayPhrase(t, b1, s * 8, 0, 0.4f, 0.92);
      PlayPhrase(t, b2, s * 8 + 4, 0, 0.4f, 0.92);
      if (harmony) {
        PlayHarmony(t, b1, scale, s * 8, 0.22f);
        PlayHarmony(t, b2, scale, s * 8 + 4, 0.22f);
      }
    } else if (sec.lead == 3) {
      // Over the build the opening phrase returns an octave down, held longer.
      PlayPhrase(t, a1, s * 8 + 4, -12, 0.3f, 1.0);
    } else if (sec.lead == 4) {
      // The opening: the theme an octave down and held, from the first bar,
      // so a game starts with its tune and not only its beat.
      PlayPhrase(t, a1, s * 8, -12, 0.3f, 1.0);
      PlayPhrase(t, a2, s * 8 + 4, -12, 0.3f, 1.0);
    }
  }
  return t.Mix(3, 0.38, 0.7);
}

Buffer MenuMusic(int frames) {
  Tune t(frames, 48, 0x3E4D);
  // Em Em C C Am Am Bsus B7: two bars a chord.
  const std::vector<Chord> prog = {{52, 0}, {52, 0}, {48, 1}, {48, 1}, {57, 0}, {57, 0}, {59, 3}, {59, 2}};
  const std::vector<int> scale = {52, 54, 55, 57, 59, 60, 62};  // E minor
  Rng rng(0x7E11);
  const auto m1 = MakePhrase(rng, prog, scale, 64, 79, 0);
  const auto m2 = Splice(m1, MakePhrase(rng, prog, scale, 64, 79, 0), 4);

  struct Section { bool drums, bells, arp; int lead; };
  const Section plan[6] = {{false, true, false, 0}, {true, true, false, 0}, {true, false, false, 1},
                           {true, false, true, 2},  {false, true, true, 0}, {true, true, false, 3}};
  for (int s = 0; s < 6; ++s) {
    const Section& sec = plan[s];
    for (int b = 0; b < 8; ++b) {
      const int bar = s * 8 + b;
      const Chord& c = prog[b];
      // Half-time drums: a soft kick on one and the "and" of three, a rim on three.
      // They drop out over the last two bars so the end melts into the start.
      const bool drums = sec.drums && !(s == 5 && b >= 6);
      for (int step = 0; step < 16; ++step) {
        if (drums && (step == 0 || step == 10)) t.Kick(t.At(bar, step), 0.7f);
        if (drums && step == 8) t.Snare(t.At(bar, step), 0.3f, 0.6f);
        if (step % 2 == 0) t.Hat(t.At(bar, step), step % 4 == 2 ? 0.12f : 0.05f, false, 0.35f);
      }
      if (b % 2 == 0) {
        PadChord(t, bar, c, 2.0, 0.06f, 900);
        t.Bass(t.At(bar, 0), t.barFrames * 1.9 / kRate, BassNote(c) + 12, 0.38f, 0.05);
      }
      if (sec.bells) {
        static const int kSteps[3] = {0, 6, 10};
        for (int k = 0; k < 3; ++k)
          t.Bell(t.At(bar, kSteps[k]), c.Tone((b + k * 2) % 5) + 12, 0.12f, k == 1 ? 0.5f : -0.4f);
      }
      if (sec.arp)
        for (int step = 0; step < 16; step += 2)
          t.Pluck(t.At(bar, step), c.Tone(step / 2 % 4) + 12, 0.09f, step % 4 ? 0.5f : -0.5f, 0.14);
    }
    if (sec.lead == 1) PlayPhrase(t, m1, s * 8, 0, 0.26f, 0.95);
    if (sec.lead == 2) PlayPhrase(t, m2, s * 8, 0, 0.26f, 0.95);
    if (sec.lead == 3) PlayPhrase(t, m1, s * 8, 12, 0.18f, 0.95);
  }
  return t.Mix(6, 0.45, 0.95);
}

Buffer PauseMusic(int frames) {
  Tune t(frames, 16, 0x9A05);
  const std::vector<Chord> prog = {{48, 0}, {56, 1}, {53, 0}, {55, 3}};  // Cm Ab Fm Gsus
  const std::vector<int> scale = {48, 50, 51, 53, 55, 56, 58};            // C minor
  Rng rng(0x9A11);
  const auto m1 = MakePhrase(rng, prog, scale, 67, 79, 0);
  const auto m2 = Splice(m1, MakePhrase(rng, prog, scale, 67, 79, 0), 2);
  for (int bar = 0; bar < 16; ++bar) {
    const int section = bar / 4;
    const Chord& c = prog[bar % 4];
    PadChord(t, bar, c, 1.0, 0.05f, 700);
    t.Bass(t.At(bar, 0), t.barFrames * 0.9 / kRate, BassNote(c) + 12, 0.3f, 0.0);
    // Barely-there percussion: ticking hats, a muffled kick, a rim every other bar.
    for (int step = 0; step < 16; step += 2) t.Hat(t.At(bar, step), step % 4 == 2 ? 0.07f : 0.03f, false, 0.3f);
    if (section >= 1) t.Kick(t.At(bar, 0), 0.4f);
    if (section >= 1 && bar % 2 == 1) t.Snare(t.At(bar, 8), 0.12f, 0.7f);
    if (section == 0 || section == 3)
      for (int step = 0; step < 16; step += 4)
        t.Bell(t.At(bar, step), c.Tone(step / 4) + 24, 0.07f, step % 8 ? 0.5f : -0.5f);
  }
  // The melody on bells, answered by its variation.
  for (const auto& phrase : {std::make_pair(&m1, 4), std::make_pair(&m2, 8)})
    for (const NoteEvent& n : *phrase.first) t.Bell(t.At(phrase.second, n.step), n.midi, 0.16f, 0.1f);
  return t.Mix(6, 0.4, 0.9);
}

}  // namespace sounds
