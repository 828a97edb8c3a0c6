// Tests of the sound generator: the encoder's exact lengths and repeatable
// bytes, the synth parts' behaviour, seamless looping, the melody maker, and
// the character of the effects that are easiest to get flat: the beacon's
// ping and echo, the moving engine of the descent, the pilot's murmur, the
// intro's footsteps.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "loudness.h"
#include "oggwriter.h"
#include "sounds.h"
#include "synth.h"
#include "tune.h"

using namespace synth;

namespace {

// Decodes an Ogg Vorbis file held in memory.
struct Memory {
  const std::vector<unsigned char>* data;
  size_t pos = 0;
};
size_t MemRead(void* ptr, size_t size, size_t n, void* src) {
  auto* m = static_cast<Memory*>(src);
  const size_t want = size * n;
  const size_t got = std::min(want, m->data->size() - m->pos);
  std::memcpy(ptr, m->data->data() + m->pos, got);
  m->pos += got;
  return size ? got / size : 0;
}
int MemSeek(void* src, ogg_int64_t off, int whence) {
  auto* m = static_cast<Memory*>(src);
  long long base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<long long>(m->pos)
                                                                : static_cast<long long>(m->data->size());
  const long long p = base + off;
  if (p < 0 || p > static_cast<long long>(m->data->size())) return -1;
  m->pos = static_cast<size_t>(p);
  return 0;
}
long MemTell(void* src) { return static_cast<long>(static_cast<Memory*>(src)->pos); }

struct Decoded {
  int channels = 0;
  long rate = 0;
  long long declared = -1;
  Buffer pcm;
};

Decoded DecodeMemory(const std::vector<unsigned char>& data) {
  Decoded d;
  Memory m{&data};
  OggVorbis_File vf;
  ov_callbacks cb{MemRead, MemSeek, nullptr, MemTell};
  if (ov_open_callbacks(&m, &vf, nullptr, 0, cb) != 0) return d;
  d.channels = ov_info(&vf, -1)->channels;
  d.rate = ov_info(&vf, -1)->rate;
  d.declared = ov_pcm_total(&vf, -1);
  int section = 0;
  for (;;) {
    float** pcm = nullptr;
    const long n = ov_read_float(&vf, &pcm, 4096, &section);
    if (n <= 0) break;
    d.pcm.left.insert(d.pcm.left.end(), pcm[0], pcm[0] + n);
    d.pcm.right.insert(d.pcm.right.end(), pcm[1], pcm[1] + n);
  }
  ov_clear(&vf);
  return d;
}

Buffer SineBuffer(int frames, double hz, float amp) {
  Buffer b(frames);
  Osc o(Wave::Sine);
  for (int i = 0; i < frames; ++i) b.left[i] = b.right[i] = o.Next(hz) * amp;
  return b;
}

double RmsOf(const std::vector<float>& v, size_t from) {
  double s = 0;
  for (size_t i = from; i < v.size(); ++i) s += static_cast<double>(v[i]) * v[i];
  return std::sqrt(s / static_cast<double>(v.size() - from));
}

// --- encoder --------------------------------------------------------------

TEST(OggWriter, DecodesToExactlyTheFramesWrittenWhateverTheCount) {
  // Counts around the encoder's block size, a single frame, and lengths
  // whose seconds do not land on a whole sample when multiplied naively.
  for (int frames : {1, 3528, 4095, 4096, 4097, 44107, FramesFor(0.29), FramesFor(134.46)}) {
    SCOPED_TRACE(frames);
    const Buffer b = SineBuffer(frames, 330.0, 0.5f);
    const Decoded d = DecodeMemory(EncodeOgg(b, 0.3f, 7));
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.declared, frames);
    EXPECT_EQ(d.pcm.Frames(), frames);
  }
  EXPECT_EQ(FramesFor(0.29), 12789);
  EXPECT_EQ(FramesFor(134.46), 5929686);
}

TEST(OggWriter, SameSoundGivesSameBytesAndCarriesTheGivenSerial) {
  const Buffer b = SineBuffer(20000, 440.0, 0.4f);
  const auto one = EncodeOgg(b, 0.3f, 0x4E510007);
  const auto two = EncodeOgg(b, 0.3f, 0x4E510007);
  ASSERT_FALSE(one.empty());
  EXPECT_EQ(one, two);
  // The serial sits at bytes 14 to 17 of every page header.
  ASSERT_GT(one.size(), 18u);
  const unsigned serial = one[14] | (one[15] << 8) | (one[16] << 16) | (static_cast<unsigned>(one[17]) << 24);
  EXPECT_EQ(serial, 0x4E510007u);
  EXPECT_NE(EncodeOgg(b, 0.3f, 0x4E510008), one);
}

TEST(OggWriter, OverloudInputIsClampedRatherThanWrappedAndFailuresAreReported) {
  const Buffer loud = SineBuffer(22050, 220.0, 3.0f);
  const Decoded d = DecodeMemory(EncodeOgg(loud, 0.3f, 1));
  ASSERT_EQ(d.pcm.Frames(), 22050);
  // A clamped sine is a squared-off sine of the same sign, never an inverted one.
  Osc ref(Wave::Sine);
  double agree = 0;
  for (int i = 0; i < d.pcm.Frames(); ++i) agree += ref.Next(220.0) * d.pcm.left[i];
  EXPECT_GT(agree / d.pcm.Frames(), 0.5);
  float peak = 0;
  for (float v : d.pcm.left) peak = std::max(peak, std::fabs(v));
  EXPECT_LT(peak, 1.3f);

  std::string error;
  EXPECT_FALSE(WriteOgg("/nonexistent-dir/x.ogg", loud, 0.3f, 1, &error));
  EXPECT_FALSE(error.empty());
}

// --- synth parts ------------------------------------------------------------

TEST(Synth, OscillatorsHitTheirPitchAndStayCentredAndBounded) {
  Osc sine(Wave::Sine);
  int crossings = 0;
  float prev = 0;
  for (int i = 0; i < kRate; ++i) {
    const float v = sine.Next(441.0);
    if ((prev < 0) != (v < 0)) ++crossings;
    prev = v;
  }
  EXPECT_NEAR(crossings, 882, 2);

  for (Wave w : {Wave::Triangle, Wave::Saw, Wave::Square, Wave::Pulse25}) {
    Osc o(w);
    double sum = 0;
    float lo = 0, hi = 0;
    for (int i = 0; i < kRate; ++i) {
      const float v = o.Next(220.5);
      sum += v;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    EXPECT_LT(std::fabs(sum / kRate), 0.02) << "wave " << static_cast<int>(w) << " carries an offset";
    EXPECT_GE(lo, -1.6f);
    EXPECT_LE(hi, 1.6f);
    EXPECT_GT(hi - lo, 1.0f);
  }
}

TEST(Synth, FiltersPassAndStopTheRightBands) {
  auto through = [](double hz, auto filter) {
    Osc o(Wave::Sine);
    std::vector<float> out;
    for (int i = 0; i < kRate / 2; ++i) out.push_back(filter(o.Next(hz)));
    return RmsOf(out, kRate / 10) / std::sqrt(0.5);
  };
  Svf lowA, lowB, highA, highB;
  for (Svf* f : {&lowA, &lowB, &highA, &highB}) f->Set(1000, 0.707);
  EXPECT_GT(through(100, [&](float x) { lowA.Process(x); return lowA.low; }), 0.9);
  EXPECT_LT(through(10000, [&](float x) { lowB.Process(x); return lowB.low; }), 0.05);
  EXPECT_LT(through(100, [&](float x) { highA.Process(x); return highA.high; }), 0.05);
  EXPECT_GT(through(10000, [&](float x) { highB.Process(x); return highB.high; }), 0.9);

  OnePole p1, p2;
  p1.SetCutoff(200);
  p2.SetCutoff(200);
  EXPECT_GT(through(20, [&](float x) { return p1.Low(x); }), 0.9);
  EXPECT_LT(through(8000, [&](float x) { return p2.Low(x); }), 0.05);

  // A resonant sweep right up to the top of the range must not blow up.
  Svf sweep;
  Rng rng(5);
  for (int i = 0; i < kRate; ++i) {
    sweep.Set(20.0 + 30000.0 * i / kRate, 8.0);
    sweep.Process(static_cast<float>(rng.Bipolar()));
    ASSERT_TRUE(std::isfinite(sweep.low) && std::fabs(sweep.low) < 100.0f) << "at sample " << i;
  }
}

TEST(Synth, TheRollOffKeepsTheBodyAndTakesTheTopSteeply) {
  auto through = [](double hz) {
    Buffer b = SineBuffer(kRate / 2, hz, 0.5f);
    RollOff(b, 8000);
    return 20.0 * std::log10(RmsOf(b.left, kRate / 10) / (0.5 / std::sqrt(2.0)));
  };
  EXPECT_NEAR(through(2000), 0.0, 0.5);
  EXPECT_GT(through(7000), -4.0) << "it bites under its corner";
  EXPECT_LT(through(12000), -12.0);
  EXPECT_LT(through(16000), -22.0);
}

TEST(Synth, ALoopIsHeldUnderItsCeilingSmoothlyAndAroundItsSeam) {
  // A steady tone with a burst that runs up to the loop's seam: the gain
  // that turns it down has to ease back over the seam, at the start.
  const int n = kRate;
  Buffer b = SineBuffer(n, 200.0, 0.3f);
  const int burst = FramesFor(0.03);
  for (int i = n - burst; i < n; ++i) b.left[i] *= 4.0f, b.right[i] *= 4.0f;
  const Buffer before = b;
  LimitLooped(b, 0.8f, 0.02);
  EXPECT_LE(Peak(b), 0.8f + 1e-4f);
  // Away from the burst the tone is untouched.
  for (int i = FramesFor(0.1); i < n - FramesFor(0.1); ++i) ASSERT_EQ(b.left[i], before.left[i]) << "at " << i;
  // The gain moves in ramps, on both sides of the seam alike: it differs
  // from one sample to the next (where the tone is not crossing zero, so
  // the gain can be read) by a fraction of a percent, across the step from
  // the last sample to the first too.
  double last = -1;
  for (int k = n / 2; k < n / 2 + n; ++k) {
    const int i = k % n;
    if (std::fabs(before.left[i]) < 0.05f) continue;
    const double gain = static_cast<double>(b.left[i]) / before.left[i];
    if (last >= 0) {
      ASSERT_NEAR(gain, last, 0.02) << "a step in the gain at " << i;
    }
    last = gain;
  }
  // The burst is turned down to the ceiling, not further.
  float burstPeak = 0;
  for (int i = n - burst; i < n; ++i) burstPeak = std::max(burstPeak, std::fabs(b.left[i]));
  EXPECT_GT(burstPeak, 0.7f);
}

TEST(Synth, EnvelopeRisesHoldsAndReleasesWithoutSteps) {
  const Adsr env{0.01, 0.1, 0.6, 0.2};
  const double gate = 0.5;
  EXPECT_EQ(env.At(0.0, gate), 0.0f);
  EXPECT_NEAR(env.At(0.01, gate), 1.0f, 1e-3);
  EXPECT_NEAR(env.At(0.3, gate), 0.6f, 1e-3);
  float prev = 0;
  for (int i = 0; i <= FramesFor(env.Length(gate)); ++i) {
    const float v = env.At(static_cast<double>(i) / kRate, gate);
    ASSERT_LT(std::fabs(v - prev), 0.01f) << "step at sample " << i;
    prev = v;
  }
  EXPECT_EQ(env.At(env.Length(gate) + 0.001, gate), 0.0f);
  // A note let go during its attack releases from where it got to.
  EXPECT_LT(env.At(0.0051, 0.005), 0.51f);
}

TEST(Synth, NoiseRepeatsPerSeedAndIsCentred) {
  Rng a(42), b(42), c(43);
  bool differs = false;
  double sum = 0;
  for (int i = 0; i < 100000; ++i) {
    const double x = a.Bipolar();
    ASSERT_EQ(x, b.Bipolar());
    if (x != c.Bipolar()) differs = true;
    ASSERT_GE(x, -1.0);
    ASSERT_LT(x, 1.0);
    sum += x;
  }
  EXPECT_TRUE(differs);
  EXPECT_LT(std::fabs(sum / 100000), 0.01);
}

// --- looping ------------------------------------------------------------------

TEST(Looping, NotesAndEffectTailsCrossingTheEndCarryOnAtTheStart) {
  Buffer b(1000);
  b.AddWrapped(1005, 1.0f, 0.0f);
  b.AddWrapped(-3, 1.0f, 0.0f);
  EXPECT_GT(b.left[5], 0.5f);
  EXPECT_GT(b.left[997], 0.5f);

  // A pad chord struck in the last bar is still sounding as the tune wraps.
  const int frames = FramesFor(8.0);
  sounds::Tune t(frames, 4, 9);
  t.Pad(t.At(3, 8), 3.0, 57, 0.3f, 900);
  const Buffer mix = t.Mix(3, 0.4, 0.8);
  double head = 0;
  for (int i = 0; i < 4410; ++i) head += std::fabs(mix.left[i]);
  EXPECT_GT(head / 4410, 0.005);
  for (const auto* ch : {&mix.left, &mix.right}) {
    float step = 0;
    for (size_t i = 1; i < ch->size(); ++i) step = std::max(step, std::fabs((*ch)[i] - (*ch)[i - 1]));
    EXPECT_LE(std::fabs(ch->front() - ch->back()), step + 1e-6f) << "the seam jumps more than any other step";
  }

  // The reverb of a click just before the end rings on at the start.
  Buffer room(FramesFor(2.0));
  room.left[room.Frames() - 100] = 1.0f;
  ReverbLooped(room, 0.8, 4000, 0.5);
  double early = 0;
  for (int i = 0; i < 8820; ++i) early += std::fabs(room.left[i]) + std::fabs(room.right[i]);
  EXPECT_GT(early, 0.1);
}

TEST(Looping, BarsTileEachTuneExactlyAndDelaysRepeatOnTime) {
  // Whatever the tune's length, its bars end exactly on its last sample, and
  // the sixteenths between never drift by more than one sample.
  for (const auto& [seconds, bars] : {std::pair{134.46, 48}, std::pair{192.37, 96}, std::pair{42.68, 16}}) {
    SCOPED_TRACE(seconds);
    const sounds::Tune t(FramesFor(seconds), bars, 1);
    EXPECT_EQ(t.At(0, 0), 0);
    EXPECT_EQ(t.At(bars, 0), FramesFor(seconds));
    const double step = t.barFrames / 16.0;
    for (int s = 1; s <= bars * 16; ++s) {
      const long gap = t.At(0, s) - t.At(0, s - 1);
      ASSERT_LE(std::fabs(static_cast<double>(gap) - step), 1.0) << "step " << s;
    }
  }

  // An echo comes back after exactly its delay, each repeat quieter.
  Delay echo(1000, 0.5, 20000);
  std::vector<float> out;
  for (int i = 0; i < 3500; ++i) out.push_back(echo.Process(i == 0 ? 1.0f : 0.0f));
  EXPECT_EQ(std::max_element(out.begin(), out.begin() + 1500) - out.begin(), 1000);
  EXPECT_GT(out[1000], 0.9f);
  const float second = *std::max_element(out.begin() + 1900, out.begin() + 2100);
  EXPECT_GT(second, 0.2f);
  EXPECT_LT(second, out[1000]);
}

// --- melodies -----------------------------------------------------------------

TEST(Melody, PhrasesStayInRangeLandOnChordTonesAndEndOnTheRoot) {
  const std::vector<sounds::Chord> prog = {{57, 0}, {53, 1}, {48, 1}, {55, 2}};
  const std::vector<int> scale = {57, 59, 60, 62, 64, 65, 67};
  for (int density : {0, 1})
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " density " << density);
      Rng rng(seed);
      const auto phrase = sounds::MakePhrase(rng, prog, scale, 69, 84, density);
      ASSERT_FALSE(phrase.empty());
      double end = 0;
      for (const auto& n : phrase) {
        EXPECT_GE(n.midi, 69);
        EXPECT_LE(n.midi, 84);
        EXPECT_GE(n.step, end) << "notes overlap";
        end = n.step + n.length;
        const auto& chord = prog[static_cast<size_t>(n.step) / 16];
        if (std::fmod(n.step, 8.0) == 0.0) {
          EXPECT_TRUE(chord.Contains(n.midi)) << "note " << n.midi << " at " << n.step;
        }
        const int pc = ((n.midi - 57) % 12 + 12) % 12;
        EXPECT_TRUE(std::find(scale.begin(), scale.end(), 57 + pc) != scale.end() || chord.Contains(n.midi))
            << "note " << n.midi << " is neither in the key nor in the chord";
      }
      EXPECT_LE(end, 64.0) << "the phrase runs past its bars";
      EXPECT_EQ((phrase.back().midi - 55) % 12, 0) << "the phrase does not come home";
    }
}

// --- the catalogue --------------------------------------------------------------

TEST(Catalogue, EverySoundEffectRendersAtItsLengthLevelledAndFinite) {
  for (const auto& e : sounds::Catalogue()) {
    if (e.loops) continue;  // the tunes are checked as files
    SCOPED_TRACE(e.file);
    const Buffer b = sounds::Render(e);
    EXPECT_EQ(b.Frames(), FramesFor(e.seconds));
    bool finite = true;
    for (int i = 0; i < b.Frames(); ++i) finite = finite && std::isfinite(b.left[i]) && std::isfinite(b.right[i]);
    EXPECT_TRUE(finite);
    // At its level, or under it where its peak stands at the ceiling.
    EXPECT_LE(Peak(b), e.level.ceiling + 1e-6f);
    const double level = loudness::Loudest(b.left, b.right);
    if (Peak(b) < e.level.ceiling - 1e-4f) EXPECT_NEAR(level, e.level.loudness, 0.05);
    else EXPECT_LT(level, e.level.loudness);
  }
}

TEST(Catalogue, TheMeterReadsAFullScaleToneAtAboutNothingAndHearsNoDeepBass) {
  // A 1 kHz sine peaking at full scale in both channels reads about 0 dB
  // (the weighting lifts 1 kHz a little), half the amplitude 6 dB less.
  const Buffer full = SineBuffer(kRate, 1000.0, 1.0f), half = SineBuffer(kRate, 1000.0, 0.5f);
  EXPECT_NEAR(loudness::Loudest(full.left, full.right), 0.0, 0.3);
  EXPECT_NEAR(loudness::Loudest(full.left, full.right) - loudness::Loudest(half.left, half.right), 6.02, 0.01);
  // Bass under the ear's range hardly counts; the presence range counts more.
  const Buffer deep = SineBuffer(kRate, 20.0, 1.0f), bright = SineBuffer(kRate, 4000.0, 1.0f);
  EXPECT_LT(loudness::Loudest(deep.left, deep.right), -10.0);
  EXPECT_GT(loudness::Loudest(bright.left, bright.right), 2.5);
  // A sound shorter than the window is heard as its power over the window:
  // 10 ms of tone reads 10 dB under 100 ms of it.
  const Buffer blip = SineBuffer(441, 1000.0, 1.0f);
  EXPECT_NEAR(loudness::Loudest(blip.left, blip.right), loudness::Loudest(full.left, full.right) - 10.0, 0.3);
  // A tune's typical level: a tone loud for a quarter of its windows and
  // quiet for the rest is typically quiet.
  Buffer mostlyQuiet = SineBuffer(4 * kRate, 1000.0, 0.1f);
  for (int i = 0; i < kRate; ++i) mostlyQuiet.left[i] *= 10.0f, mostlyQuiet.right[i] *= 10.0f;
  EXPECT_NEAR(loudness::Typical(mostlyQuiet.left, mostlyQuiet.right), -20.0, 0.5);
  EXPECT_NEAR(loudness::Loudest(mostlyQuiet.left, mostlyQuiet.right), 0.0, 0.5);
}

TEST(Catalogue, TheMeterReadsAWholeAsABroadcastMeterAndPlacesEnergyInItsBand) {
  // A steady tone reads the same as a whole as in its loudest moment, and
  // silence or a much quieter stretch beside it does not pull it down (bar
  // the few blocks that straddle its end).
  const Buffer tone = SineBuffer(2 * kRate, 1000.0, 0.5f);
  const double level = loudness::Loudest(tone.left, tone.right);
  EXPECT_NEAR(loudness::Integrated(tone.left, tone.right), level, 0.1);
  Buffer paused(10 * kRate);
  for (int i = 0; i < tone.Frames(); ++i) paused.left[i] = tone.left[i], paused.right[i] = tone.right[i];
  EXPECT_NEAR(loudness::Integrated(paused.left, paused.right), level, 0.5);
  Buffer withQuiet = SineBuffer(4 * kRate, 1000.0, 0.5f);
  for (int i = 2 * kRate; i < 4 * kRate; ++i) withQuiet.left[i] *= 0.03f, withQuiet.right[i] *= 0.03f;
  EXPECT_NEAR(loudness::Integrated(withQuiet.left, withQuiet.right), level, 0.5);
  // Two equal tones, one after the other at 6 dB apart, read between them.
  Buffer steps = SineBuffer(4 * kRate, 1000.0, 0.5f);
  for (int i = 2 * kRate; i < 4 * kRate; ++i) steps.left[i] *= 0.5f, steps.right[i] *= 0.5f;
  const double between = loudness::Integrated(steps.left, steps.right);
  EXPECT_LT(between, level - 1.0);
  EXPECT_GT(between, level - 5.0);
  // 100 ms of tone in a 400 ms window reads 6 dB under the tone, in a 3 s
  // window about 14.8 dB under it.
  const Buffer blip = SineBuffer(FramesFor(0.1), 1000.0, 0.5f);
  EXPECT_NEAR(loudness::LoudestOver(blip.left, blip.right, 0.4), level - 6.02, 0.3);
  EXPECT_NEAR(loudness::LoudestOver(blip.left, blip.right, 3.0), level - 14.77, 0.3);

  // The spectrum puts a tone's energy in its own band.
  const Buffer deep = SineBuffer(kRate, 50.0, 0.5f), middle = SineBuffer(kRate, 1000.0, 0.5f);
  const loudness::Spectrum low(deep.left, deep.right), mid(middle.left, middle.right);
  EXPECT_GT(low.Share(0, 100), 0.95);
  EXPECT_LT(low.Share(250, 4000), 0.01);
  EXPECT_GT(mid.Share(250, 4000), 0.95);
  EXPECT_GT(mid.Density(900, 1100) - mid.Density(11500, 12500), 60.0);
  // White noise spreads evenly: as dense at 12 kHz as between 1 and 4 kHz.
  Buffer noise(2 * kRate);
  Rng rng(3);
  for (int i = 0; i < noise.Frames(); ++i) noise.left[i] = noise.right[i] = static_cast<float>(rng.Bipolar() * 0.3);
  const loudness::Spectrum flat(noise.left, noise.right);
  EXPECT_NEAR(flat.Density(11500, 12500), flat.Density(1000, 4000), 1.0);
  EXPECT_NEAR(flat.Share(0, 11025), 0.5, 0.02);
}

// --- the character of single effects ---------------------------------------------

// Level (dB) and brightness (zero crossings a second) of one stretch of sound.
struct Stretch {
  double db;
  double crossings;
};

// A catalogue effect rendered as the game gets it, both channels together.
std::vector<float> Mono(const char* file) {
  std::vector<float> out;
  for (const auto& e : sounds::Catalogue()) {
    if (std::string(e.file) != file) continue;
    const Buffer b = sounds::Render(e);
    for (int i = 0; i < b.Frames(); ++i) out.push_back(0.5f * (b.left[i] + b.right[i]));
  }
  return out;
}

// The same, cut into windows of `seconds`.
std::vector<Stretch> Windows(const char* file, double seconds) {
  std::vector<Stretch> out;
  const std::vector<float> m = Mono(file);
  const int w = FramesFor(seconds);
  for (int at = 0; at + w <= static_cast<int>(m.size()); at += w) {
    double energy = 0;
    int crossings = 0;
    for (int i = at; i < at + w; ++i) {
      energy += static_cast<double>(m[i]) * m[i];
      if (i > at && (m[i] < 0) != (m[i - 1] < 0)) ++crossings;
    }
    out.push_back({10.0 * std::log10(energy / w + 1e-12), crossings / seconds});
  }
  return out;
}

// Power at one frequency of n samples from x, through a Hann window.
double PowerAt(const float* x, int n, double hz) {
  const double w = kTwoPi * hz / kRate, c = 2.0 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (int i = 0; i < n; ++i) {
    const double s0 = x[i] * (0.5 - 0.5 * std::cos(kTwoPi * i / (n - 1))) + c * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// Share of the energy of x[from .. from + n) that lies below `hz`.
double ShareBelow(const std::vector<float>& x, int from, int n, double hz) {
  Svf split;
  split.Set(hz, 0.707);
  double low = 0, all = 0;
  for (int i = from; i < from + n; ++i) {
    split.Process(x[i]);
    low += static_cast<double>(split.low) * split.low;
    all += static_cast<double>(x[i]) * x[i];
  }
  return low / (all + 1e-12);
}

TEST(Character, TheBeaconPingsWithBodyFallsQuietAndHearsItsEcho) {
  const auto w = Windows("_radar.ogg", 0.02);
  ASSERT_GT(w.size(), 80u);
  const double ping = std::max({w[0].db, w[1].db, w[2].db});
  // A quiet stretch of at least 0.2 s well below the ping, then the echo.
  size_t quiet = 0, echo = 0;
  for (size_t k = 3; k < w.size() && echo == 0; ++k) {
    if (w[k].db <= ping - 25) ++quiet;
    else if (quiet >= 10 && w[k].db >= ping - 15) echo = k;
    else quiet = 0;
  }
  EXPECT_GT(echo, 0u) << "no echo after a quiet gap: the ping rings on or repeats without a pause";
  // The hull gives the ping its weight: a good share of it lies under 600 Hz.
  const std::vector<float> m = Mono("_radar.ogg");
  EXPECT_GT(ShareBelow(m, 0, FramesFor(0.15), 600), 0.25) << "a thin ping with no body";
  // The ping is a clear pitch, not noise: about 1.2 kHz, two crossings a cycle.
  EXPECT_NEAR(w[1].crossings, 2500, 500);
}

TEST(Character, TheDescentEngineSweepsAndSwellsWhileItBurns) {
  const auto w = Windows("_ModuleThrust.ogg", 0.25);
  ASSERT_GE(w.size(), 18u);
  double darkest = 1e9, brightest = 0, softest = 1e9, loudest = -1e9;
  for (size_t k = 2; k < 18; ++k) {  // 0.5 s to 4.5 s, the steady burn
    darkest = std::min(darkest, w[k].crossings);
    brightest = std::max(brightest, w[k].crossings);
    softest = std::min(softest, w[k].db);
    loudest = std::max(loudest, w[k].db);
  }
  EXPECT_GT(brightest / darkest, 1.6) << "the exhaust's tone barely moves";
  EXPECT_GT(loudest - softest, 3.0) << "the roar's level barely moves";
  // Throttled back at touchdown: the last half second is far below the burn.
  EXPECT_LT(w.back().db, softest - 12);

  // No whine: in no quarter second of the burn does a tone between 400 and
  // 700 Hz stand out of the roar around it.
  const std::vector<float> m = Mono("_ModuleThrust.ogg");
  const int n = FramesFor(0.25);
  for (int at = FramesFor(0.5); at + n <= FramesFor(4.5); at += n) {
    std::vector<double> power;
    for (double hz = 400; hz <= 700; hz += 4) power.push_back(PowerAt(m.data() + at, n, hz));
    std::vector<double> sorted = power;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double strongest = *std::max_element(power.begin(), power.end());
    EXPECT_LT(10.0 * std::log10(strongest / sorted[sorted.size() / 2]), 15.0)
        << "a tone stands out at " << at / 44100.0 << " s";
  }
}

TEST(Character, ThePilotMurmursInSyllablesThatChangeTheirVowel) {
  const auto w = Windows("_hmmmm.ogg", 0.02);
  ASSERT_GT(w.size(), 30u);
  // Valleys: windows at least 6 dB below the loudest window on either side.
  int valleys = 0;
  bool inValley = false;
  double peak = -1e9;
  for (size_t k = 0; k < w.size(); ++k) {
    double before = -1e9, after = -1e9;
    for (size_t j = 0; j < k; ++j) before = std::max(before, w[j].db);
    for (size_t j = k + 1; j < w.size(); ++j) after = std::max(after, w[j].db);
    const bool valley = w[k].db <= std::min(before, after) - 6;
    if (valley && !inValley) ++valleys;
    inValley = valley;
    peak = std::max(peak, w[k].db);
  }
  EXPECT_GE(valleys, 2) << "one long tone rather than syllables";
  // Where it is spoken out, the brightness moves with the vowel.
  double darkest = 1e9, brightest = 0;
  for (const Stretch& s : w)
    if (s.db > peak - 10) {
      darkest = std::min(darkest, s.crossings);
      brightest = std::max(brightest, s.crossings);
    }
  EXPECT_GT(brightest / darkest, 1.5) << "the mouth never opens";

  // His breath is heard as he starts and as he trails off: the first 40 ms
  // and the last 60 ms are audible and as bright as a hiss, not a hum.
  for (size_t k : {size_t{0}, size_t{1}, w.size() - 3, w.size() - 2, w.size() - 1}) {
    EXPECT_GT(w[k].db, peak - 30) << "window " << k;
    EXPECT_GT(w[k].crossings, 1000) << "window " << k << " is a hum, not a breath";
  }

  // The voice wavers: its pitch, taken every 10 ms over the murmur, strays
  // from its own 0.2 s average by over 2% (the intonation alone, 1%).
  const std::vector<float> m = Mono("_hmmmm.ogg");
  std::vector<double> hz;
  const int n = FramesFor(0.04);
  for (int c = FramesFor(0.08); c + n < FramesFor(0.62); c += FramesFor(0.01)) {
    double best = -1;
    int bestLag = 0;
    for (int lag = kRate / 200; lag <= kRate / 70; ++lag) {
      double xy = 0, xx = 0, yy = 0;
      for (int i = c; i < c + n; ++i) {
        xy += m[i] * m[i + lag];
        xx += m[i] * m[i];
        yy += m[i + lag] * m[i + lag];
      }
      const double r = xy / std::sqrt(xx * yy + 1e-20);
      if (r > best) best = r, bestLag = lag;
    }
    hz.push_back(static_cast<double>(kRate) / bestLag);
  }
  ASSERT_GT(hz.size(), 30u);
  double stray = 0;
  for (size_t k = 10; k + 10 < hz.size(); ++k) {
    double average = 0;
    for (size_t j = k - 10; j <= k + 10; ++j) average += hz[j] / 21;
    stray += (hz[k] / average - 1) * (hz[k] / average - 1) / static_cast<double>(hz.size() - 20);
  }
  EXPECT_GT(std::sqrt(stray), 0.02) << "the pitch holds steady";
}

TEST(Character, NoTwoOfTheFourFootstepsSoundAlike) {
  // Each step's tone as the loudness of its third-octave bands, from 80 Hz
  // to 9 kHz, against the step's whole; two steps of one recipe differ by
  // under 1.5 dB a band on average.
  const std::vector<float> m = Mono("_footsteps-4.ogg");
  std::vector<std::vector<double>> tone;
  for (double at : {0.08, 0.64, 1.21, 1.77}) {
    const int from = FramesFor(at), n = FramesFor(0.25);
    std::vector<double> bands;
    double total = 0;
    for (double f = 80; f < 9000; f *= 1.2599) {
      Svf band;
      band.Set(f, 4.3);
      double e = 0;
      for (int i = from; i < from + n; ++i) {
        band.Process(m[i]);
        e += static_cast<double>(band.band) * band.band;
      }
      bands.push_back(e);
      total += e;
    }
    for (double& b : bands) b = std::max(-50.0, 10.0 * std::log10(b / total));
    tone.push_back(bands);
  }
  for (size_t a = 0; a < tone.size(); ++a)
    for (size_t b = a + 1; b < tone.size(); ++b) {
      double apart = 0;
      for (size_t k = 0; k < tone[a].size(); ++k) apart += std::fabs(tone[a][k] - tone[b][k]) / tone[a].size();
      EXPECT_GT(apart, 2.0) << "steps " << a + 1 << " and " << b + 1 << " sound alike";
    }
}

}  // namespace
