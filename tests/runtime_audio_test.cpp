// Sound: decoding, the mixer (looping without a seam, volume and stop at
// once, overlapping channels), silent running and the choice of output.
#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "runtime/headless.h"
#include "runtime/limiter.h"
#include "runtime/runtime.h"
#include "services/music.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Encodes interleaved samples as an Ogg Vorbis file.
std::vector<uint8_t> EncodeOgg(const std::vector<float>& samples, int channels, int rate) {
  std::vector<uint8_t> file;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.5f) != 0) return file;
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 7);
  ogg_page og;
  auto append = [&](const ogg_page& page) {
    file.insert(file.end(), page.header, page.header + page.header_len);
    file.insert(file.end(), page.body, page.body + page.body_len);
  };
  ogg_packet h1, h2, h3;
  vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_stream_packetin(&os, &h3);
  while (ogg_stream_flush(&os, &og)) append(og);

  int frames = static_cast<int>(samples.size()) / channels;
  float** buffer = vorbis_analysis_buffer(&vd, frames);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) buffer[c][i] = samples[static_cast<size_t>(i * channels + c)];
  vorbis_analysis_wrote(&vd, frames);
  vorbis_analysis_wrote(&vd, 0);
  ogg_packet op;
  while (vorbis_analysis_blockout(&vd, &vb) == 1) {
    vorbis_analysis(&vb, nullptr);
    vorbis_bitrate_addblock(&vb);
    while (vorbis_bitrate_flushpacket(&vd, &op)) {
      ogg_stream_packetin(&os, &op);
      while (ogg_stream_pageout(&os, &og)) append(og);
    }
  }
  while (ogg_stream_flush(&os, &og)) append(og);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return file;
}

// A stereo tone of whole periods (so it loops cleanly), different per side.
std::vector<float> Tone(int frames, int period) {
  std::vector<float> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(static_cast<float>(0.4 * std::sin(kTwoPi * i / period)));
    s.push_back(static_cast<float>(0.3 * std::cos(kTwoPi * i / period)));
  }
  return s;
}

TSound* LoadEncoded(const String& name, const std::vector<float>& samples, int channels, int rate, int flags) {
  std::vector<uint8_t> ogg = EncodeOgg(samples, channels, rate);
  IncbinRegister(name, ogg.data(), ogg.size());
  return LoadSoundResource(u"IncBin::" + name, flags);
}

// Frames until the channel stops, mixing in small steps (at most limit).
int FramesUntilEnd(TChannel* channel, int limit) {
  std::vector<float> buf(2);
  for (int n = 0; n < limit; ++n) {
    if (!SoundChannelPlaying(channel)) return n;
    MixForTest(buf.data(), 1);
  }
  return limit;
}

// A stereo signal that never repeats within a file, so any slip shows.
std::vector<float> Wander(int frames, float loudness = 1.0f) {
  std::vector<float> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(loudness * static_cast<float>(0.3 * std::sin(kTwoPi * i / 97.3) + 0.1 * std::sin(kTwoPi * i / 13.7)));
    s.push_back(loudness * static_cast<float>(0.3 * std::cos(kTwoPi * i / 151.1) + 0.1 * std::sin(kTwoPi * i / 7.9)));
  }
  return s;
}

// The whole file decoded by the library straight to floats: what the
// mixer must reproduce sample for sample when it decodes as it plays.
std::vector<float> WholeDecode(FILE* file) {
  std::vector<float> out;
  OggVorbis_File vf;
  if (!file || ov_open(file, &vf, nullptr, 0) != 0) return out;
  for (;;) {
    float** pcm = nullptr;
    int section = 0;
    long n = ov_read_float(&vf, &pcm, 4096, &section);
    if (n <= 0) break;
    for (long i = 0; i < n; ++i) out.push_back(pcm[0][i]), out.push_back(pcm[1][i]);
  }
  ov_clear(&vf);
  return out;
}

struct Encoded {
  TSound* sound;
  std::vector<float> whole;  // as the library decodes it
  size_t Frames() const { return whole.size() / 2; }
  float At(size_t frame, int side) const { return whole[2 * (frame % Frames()) + side]; }
};

Encoded LoadWandering(const String& name, int frames, int flags, float loudness = 1.0f) {
  std::vector<uint8_t> ogg = EncodeOgg(Wander(frames, loudness), 2, 44100);
  IncbinRegister(name, ogg.data(), ogg.size());
  return Encoded{LoadSoundResource(u"IncBin::" + name, flags), WholeDecode(fmemopen(ogg.data(), ogg.size(), "rb"))};
}

std::vector<float> Mix(int frames, int piece = 1021) {
  std::vector<float> out(2 * static_cast<size_t>(frames));
  for (int done = 0; done < frames; done += piece) MixForTest(out.data() + 2 * done, std::min(piece, frames - done));
  return out;
}

using SilentAudio = harness::NullDrawingTest;  // no device, virtual clock

constexpr int kLen = 4410;   // a tenth of a second
constexpr int kPeriod = 98;  // 45 periods in kLen

}  // namespace

TEST_F(SilentAudio, LoadsDecodeWholeAndFailuresGiveNull) {
  TSound* effect = LoadEncoded(u"res\\t_effect.ogg", Tone(kLen, kPeriod), 2, 44100, 0);
  ASSERT_NE(effect, nullptr);
  TChannel* ch = PlaySoundOnChannel(effect, nullptr);
  EXPECT_EQ(FramesUntilEnd(ch, 2 * kLen), kLen);  // exactly as long as encoded

  // A mono file at half the rate is widened to stereo and stretched in time.
  std::vector<float> mono;
  for (int i = 0; i < 2205; ++i) mono.push_back(static_cast<float>(0.5 * std::sin(kTwoPi * i / 49)));
  TSound* low = LoadEncoded(u"res\\t_mono.ogg", mono, 1, 22050, 0);
  ASSERT_NE(low, nullptr);
  ch = PlaySoundOnChannel(low, nullptr);
  std::vector<float> out(2 * 1000);
  MixForTest(out.data(), 1000);
  float loudest = 0;
  for (int i = 0; i < 1000; ++i) {
    EXPECT_EQ(out[2 * i], out[2 * i + 1]);
    loudest = std::max(loudest, std::fabs(out[2 * i]));
  }
  EXPECT_GT(loudest, 0.3f);
  EXPECT_NEAR(FramesUntilEnd(ch, 10000) + 1000, 4410, 2);

  const uint8_t junk[] = {'O', 'g', 'g', 'S', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  IncbinRegister(u"res\\t_junk.ogg", junk, sizeof junk);
  EXPECT_EQ(LoadSoundResource(u"IncBin::res\\t_junk.ogg", 0), nullptr);
  EXPECT_EQ(LoadSoundResource(u"IncBin::res\\t_missing.ogg", 0), nullptr);
  EXPECT_EQ(PlaySoundOnChannel(nullptr, nullptr), nullptr);
}

TEST_F(SilentAudio, LoopingRepeatsWithoutASeam) {
  TSound* tune = LoadEncoded(u"res\\t_loop.ogg", Tone(kLen, kPeriod), 2, 44100, SOUND_LOOPS);
  ASSERT_NE(tune, nullptr);
  TChannel* ch = PlaySoundOnChannel(tune, nullptr);
  // Mixed in odd-sized pieces so the loop point falls inside a piece.
  std::vector<float> out(2 * 3 * kLen);
  for (int done = 0; done < 3 * kLen;) {
    int n = std::min(777, 3 * kLen - done);
    MixForTest(out.data() + 2 * done, n);
    done += n;
  }
  EXPECT_TRUE(SoundChannelPlaying(ch));
  // Every pass is the same samples in the same places: no gap, nothing lost.
  for (int i = 0; i < 2 * kLen; ++i) {
    ASSERT_EQ(out[2 * i], out[2 * (i + kLen)]) << "frame " << i;
    ASSERT_EQ(out[2 * i + 1], out[2 * (i + kLen) + 1]) << "frame " << i;
  }
  // Across the loop point the wave moves no more than it does anywhere else.
  float steepest = 0;
  for (int i = 1; i < kLen - 1; ++i) steepest = std::max(steepest, std::fabs(out[2 * i] - out[2 * i - 2]));
  EXPECT_LE(std::fabs(out[2 * kLen] - out[2 * kLen - 2]), steepest * 1.5f);
  StopSoundChannel(ch);
}

TEST_F(SilentAudio, VolumeAndStopTakeEffectAtOnce) {
  TSound* tune = LoadEncoded(u"res\\t_vol.ogg", Tone(kLen, kPeriod), 2, 44100, SOUND_LOOPS);
  ASSERT_NE(tune, nullptr);
  std::vector<float> full(2 * 500), half(2 * 500), quiet(2 * 500);
  TChannel* a = PlaySoundOnChannel(tune, nullptr);
  MixForTest(full.data(), 500);
  StopSoundChannel(a);
  EXPECT_FALSE(SoundChannelPlaying(a));
  MixForTest(quiet.data(), 500);
  for (float v : quiet) ASSERT_EQ(v, 0.0f);

  TChannel* b = PlaySoundOnChannel(tune, nullptr);
  EXPECT_NE(a, b);
  SetSoundChannelVolume(b, 0.5f);
  MixForTest(half.data(), 500);
  for (size_t i = 0; i < full.size(); ++i) ASSERT_FLOAT_EQ(half[i], full[i] * 0.5f);
  SetSoundChannelVolume(b, 0.0f);
  MixForTest(quiet.data(), 500);
  for (float v : quiet) ASSERT_EQ(v, 0.0f);
  EXPECT_TRUE(SoundChannelPlaying(b));  // silent, but still going

  // Handles of stopped channels and the null channel are harmless.
  StopSoundChannel(b);
  StopSoundChannel(b);
  SetSoundChannelVolume(b, 1.0f);
  StopSoundChannel(nullptr);
  SetSoundChannelVolume(nullptr, 1.0f);
  EXPECT_FALSE(SoundChannelPlaying(nullptr));
  EXPECT_EQ(PlayingChannelCount(), 0);
}

TEST_F(SilentAudio, EveryPlayIsANewOverlappingChannel) {
  TSound* effect = LoadEncoded(u"res\\t_many.ogg", Tone(kLen, kPeriod), 2, 44100, 0);
  ASSERT_NE(effect, nullptr);
  std::vector<TChannel*> channels;
  for (int i = 0; i < 40; ++i) channels.push_back(PlaySoundOnChannel(effect, nullptr));
  EXPECT_EQ(PlayingChannelCount(), 40);
  for (size_t i = 1; i < channels.size(); ++i) EXPECT_NE(channels[i], channels[i - 1]);
  // Two voices of the same sound sum (at half volume, under the limiter's knee).
  for (size_t i = 2; i < channels.size(); ++i) StopSoundChannel(channels[i]);
  SetSoundChannelVolume(channels[0], 0.5f);
  SetSoundChannelVolume(channels[1], 0.5f);
  std::vector<float> two(2 * 200), one(2 * 200);
  MixForTest(two.data(), 200);
  StopSoundChannel(channels[1]);
  TChannel* fresh = PlaySoundOnChannel(effect, nullptr);
  SetSoundChannelVolume(fresh, 0.5f);
  StopSoundChannel(channels[0]);
  MixForTest(one.data(), 200);  // the fresh one starts from the top
  for (int i = 0; i < 200; ++i) EXPECT_NEAR(two[2 * i], 2 * one[2 * i], 1e-6);
  StopSoundChannel(fresh);
  EXPECT_EQ(PlayingChannelCount(), 0);
}

TEST_F(SilentAudio, WithoutADeviceChannelsRunOnTheClock) {
  TSound* effect = LoadEncoded(u"res\\t_clock.ogg", Tone(kLen, kPeriod), 2, 44100, 0);
  TSound* tune = LoadEncoded(u"res\\t_clockloop.ogg", Tone(kLen, kPeriod), 2, 44100, SOUND_LOOPS);
  ASSERT_NE(effect, nullptr);
  ASSERT_NE(tune, nullptr);
  TChannel* shot = PlaySoundOnChannel(effect, nullptr);
  TChannel* music = PlaySoundOnChannel(tune, nullptr);
  AdvanceVirtualClock(60);
  EXPECT_TRUE(SoundChannelPlaying(shot));
  AdvanceVirtualClock(60);
  EXPECT_FALSE(SoundChannelPlaying(shot));  // a tenth of a second is over
  harness::RunFrames(600);                    // ten seconds of frames
  EXPECT_TRUE(SoundChannelPlaying(music));
  EXPECT_EQ(PlayingChannelCount(), 1);
  // No device: the names are still offered, and no choice can be made.
  EXPECT_EQ(CurrentAudioDriverName(), u"");
  EXPECT_FALSE(SelectAudioDriver(u"FreeAudio Multimedia"));
  EXPECT_TRUE(SoundChannelPlaying(music));
}

TEST_F(SilentAudio, TunesPlayAsTheirWholeDecodeAcrossTheSeamAndFromWhereTheClockLeftThem) {
  Encoded tune = LoadWandering(u"res\\t_stream.ogg", 30000, SOUND_LOOPS);
  ASSERT_NE(tune.sound, nullptr);
  ASSERT_EQ(tune.Frames(), 30000u);
  TChannel* ch = PlaySoundOnChannel(tune.sound, nullptr);
  const std::vector<float> out = Mix(75000);  // two and a half times round
  for (size_t i = 0; i < 75000; ++i) {
    ASSERT_EQ(out[2 * i], tune.At(i, 0)) << "frame " << i;
    ASSERT_EQ(out[2 * i + 1], tune.At(i, 1)) << "frame " << i;
  }
  StopSoundChannel(ch);

  // With no device the clock moves a channel on; mixing then goes on from
  // there, over the seam.
  ch = PlaySoundOnChannel(tune.sound, nullptr);
  AdvanceVirtualClock(500);  // 22050 frames
  EXPECT_TRUE(SoundChannelPlaying(ch));
  const std::vector<float> later = Mix(10000);
  for (size_t i = 0; i < 10000; ++i) ASSERT_EQ(later[2 * i], tune.At(22050 + i, 0)) << "frame " << i;
  StopSoundChannel(ch);

  // A tune in a form the reader does not take (another rate) is decoded
  // whole instead and loops all the same.
  std::vector<float> mono;
  for (int i = 0; i < 2205; ++i) mono.push_back(static_cast<float>(0.5 * std::sin(kTwoPi * i / 49)));
  TSound* low = LoadEncoded(u"res\\t_lowloop.ogg", mono, 1, 22050, SOUND_LOOPS);
  ASSERT_NE(low, nullptr);
  ch = PlaySoundOnChannel(low, nullptr);
  const std::vector<float> round = Mix(3 * 4410);
  EXPECT_TRUE(SoundChannelPlaying(ch));
  for (size_t i = 0; i < 4410; ++i) ASSERT_EQ(round[2 * i], round[2 * (i + 2 * 4410)]) << "frame " << i;
}

TEST_F(SilentAudio, TwoChannelsOfOneTuneGoTheirOwnWays) {
  Encoded tune = LoadWandering(u"res\\t_twice.ogg", 20000, SOUND_LOOPS);
  ASSERT_NE(tune.sound, nullptr);
  TChannel* first = PlaySoundOnChannel(tune.sound, nullptr);
  Mix(5000);
  TChannel* second = PlaySoundOnChannel(tune.sound, nullptr);
  SetSoundChannelVolume(first, 0.5f);
  const std::vector<float> both = Mix(30000);
  for (size_t i = 0; i < 30000; ++i)
    ASSERT_EQ(both[2 * i], tune.At(5000 + i, 0) * 0.5f + tune.At(i, 0)) << "frame " << i;
  StopSoundChannel(first);
  const std::vector<float> alone = Mix(3000);
  for (size_t i = 0; i < 3000; ++i) ASSERT_EQ(alone[2 * i + 1], tune.At(30000 + i, 1)) << "frame " << i;
  EXPECT_EQ(PlayingChannelCount(), 1);
  StopSoundChannel(second);
}

TEST_F(SilentAudio, LongEffectsPlayFromTheFileShortOnesDecodedAndLoudPeaksBendUnderFullScale) {
  // Over a second: decoded as it plays, exactly, and over when it is over.
  Encoded long_ = LoadWandering(u"res\\t_longfx.ogg", 50000, 0);
  ASSERT_NE(long_.sound, nullptr);
  TChannel* ch = PlaySoundOnChannel(long_.sound, nullptr);
  const std::vector<float> out = Mix(49999);
  for (size_t i = 0; i < 49999; ++i) ASSERT_EQ(out[2 * i], long_.At(i, 0)) << "frame " << i;
  EXPECT_EQ(FramesUntilEnd(ch, 10), 1);

  // A short one, too loud for the 16-bit samples it is kept in: its peaks
  // are bent under full scale, never wrapped round to the other side.
  Encoded loud = LoadWandering(u"res\\t_loudfx.ogg", 20000, 0, 3.0f);
  ASSERT_NE(loud.sound, nullptr);
  ch = PlaySoundOnChannel(loud.sound, nullptr);
  const std::vector<float> peaks = Mix(20000);
  int over = 0;
  for (size_t i = 0; i < 40000; ++i) {
    ASSERT_LT(std::fabs(peaks[i]), 1.0f) << "sample " << i;
    if (std::fabs(loud.whole[i]) > 0.05f) {
      ASSERT_EQ(peaks[i] > 0, loud.whole[i] > 0) << "sample " << i;
    }
    over += std::fabs(loud.whole[i]) > 1.0f;
  }
  EXPECT_GT(over, 1000);
  EXPECT_FALSE(SoundChannelPlaying(ch));
}

TEST_F(SilentAudio, TheGamesPauseTuneStreamsAsItDecodesOverItsSeam) {
  const std::string file = std::string(NOVA_SOURCE_DIR) + "/res/m_pause.ogg";
  TSound* tune = LoadSoundResource(StringFromAscii(file.c_str()), SOUND_LOOPS);
  ASSERT_NE(tune, nullptr);
  const std::vector<float> whole = WholeDecode(std::fopen(file.c_str(), "rb"));
  const size_t frames = whole.size() / 2;
  ASSERT_GT(frames, 44100u * 40);
  TChannel* ch = PlaySoundOnChannel(tune, nullptr);
  SetSoundChannelVolume(ch, 0.4f);  // as the game plays it
  AdvanceVirtualClock(42600);  // to just before the end
  EXPECT_TRUE(SoundChannelPlaying(ch));
  const size_t from = 42600 * 441 / 10;
  ASSERT_LT(from, frames);
  const std::vector<float> out = Mix(20000);
  for (size_t i = 0; i < 20000; ++i) {
    const size_t at = (from + i) % frames;
    ASSERT_EQ(out[2 * i], whole[2 * at] * 0.4f) << "frame " << from + i;
    ASSERT_EQ(out[2 * i + 1], whole[2 * at + 1] * 0.4f) << "frame " << from + i;
  }
}

namespace {
TSound* FromRes(const char* file, int flags = 0) {
  const std::string path = std::string(NOVA_SOURCE_DIR) + "/res/" + file;
  return LoadSoundResource(StringFromAscii(path.c_str()), flags);
}

double Rms(const std::vector<float>& v) {
  double sum = 0;
  for (float x : v) sum += static_cast<double>(x) * x;
  return std::sqrt(sum / static_cast<double>(v.size()));
}
}  // namespace

TEST(SoftLimiter, LeavesQuietSoundsAloneBendsLoudOnesSmoothlyAndLetsGoSoon) {
  // A stereo sine, the right side `right` times the left, through a limiter.
  auto through = [](rt::SoftLimiter& limiter, double amplitude, int frames, double right = 1.0) {
    std::vector<float> v(2 * static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
      v[2 * i] = static_cast<float>(amplitude * std::sin(kTwoPi * 110.0 * i / 44100));
      v[2 * i + 1] = static_cast<float>(v[2 * i] * right);
    }
    limiter.Process(v.data(), frames);
    return v;
  };
  auto peak = [](const std::vector<float>& v, size_t from = 0) {
    float most = 0;
    for (size_t i = from; i < v.size(); ++i) most = std::max(most, std::fabs(v[i]));
    return most;
  };
  // Under the knee, untouched to the bit.
  rt::SoftLimiter quiet;
  const std::vector<float> under = through(quiet, 0.69, 20000);
  for (int i = 0; i < 20000; ++i) ASSERT_EQ(under[2 * i], static_cast<float>(0.69 * std::sin(kTwoPi * 110.0 * i / 44100)));

  // Louder and louder sines come out louder and louder (up to twice full
  // scale; beyond, as loud as a float tells), never over the ceiling, and
  // bent gradually: just over the knee all but untouched, no corner where
  // the bend suddenly sets in or stops (a clamp's slope drops from one to
  // nothing at once).
  float before = 0.6f, slope = 0.05f;
  for (double a = 0.65; a <= 4.0; a += 0.05) {
    rt::SoftLimiter limiter;
    const float out = peak(through(limiter, a, 8820), 2 * 4410);
    if (a <= 2.0) {
      EXPECT_GT(out, before) << "amplitude " << a;
    }
    EXPECT_GE(out, before) << "amplitude " << a;
    EXPECT_LE(out, rt::SoftLimiter::kCeiling + 1e-6f) << "amplitude " << a;
    EXPECT_LT(std::fabs((out - before) - slope), 0.015f) << "a corner at amplitude " << a;
    if (a < 0.76) {
      EXPECT_NEAR(out, a, 0.01 * a) << "bent hard just over the knee";
    }
    slope = out - before;
    before = out;
  }

  // Both sides take the same gain, so a sound stays where it stood.
  rt::SoftLimiter linked;
  const std::vector<float> wide = through(linked, 2.0, 4410, 0.25);
  for (int i = 100; i < 4410; ++i) {
    if (std::fabs(wide[2 * i]) > 0.01f) {
      ASSERT_NEAR(wide[2 * i + 1] / wide[2 * i], 0.25f, 1e-4f) << "frame " << i;
    }
  }

  // After a loud burst a quiet sound is held down a moment, then back to
  // its own level within a fifth of a second.
  rt::SoftLimiter after;
  through(after, 2.0, 8820);
  const std::vector<float> soon = through(after, 0.3, 441);
  EXPECT_LT(peak(soon), 0.3f * 0.7f) << "let go at once: the gain would flutter on every cycle";
  through(after, 0.3, 8820 - 441);
  EXPECT_NEAR(peak(through(after, 0.3, 4410)), 0.3f, 0.003f) << "still held down after 0.2 s";
}

TEST_F(SilentAudio, ABusyFightNeverReachesFullScaleAndKeepsItsLoudness) {
  // Half a minute of a hard fight, mixed as the device would mix it: the
  // game tune at its volume, a shot every fourth frame, explosions and
  // missile hits, and two of each humming structure on screen, each started
  // again at the game's pace (every 2 s, the tall ones every 4 s).
  TSound* tune = FromRes("m_game.ogg", SOUND_LOOPS);
  TSound* shot = FromRes("_PlayerShoot.ogg");
  TSound* pop = FromRes("_EnemyExplosion1.ogg");
  TSound* crunch = FromRes("_EnemyExplosion2.ogg");
  TSound* hit = FromRes("_MissileHit.ogg");
  TSound* terraformer = FromRes("_2tower.ogg");
  TSound* coil = FromRes("_energycrackle.ogg");
  TSound* spire = FromRes("_Towers.ogg");
  for (TSound* s : {tune, shot, pop, crunch, hit, terraformer, coil, spire}) ASSERT_NE(s, nullptr);
  struct Every {
    TSound* sound;
    int frames, from;
  };
  const Every fight[] = {{shot, 4, 0},         {pop, 20, 3},           {crunch, 30, 11},       {hit, 90, 40},
                         {terraformer, 120, 0}, {terraformer, 120, 37}, {coil, 120, 15},        {coil, 120, 80},
                         {spire, 240, 50},      {spire, 240, 170}};
  SetSoundChannelVolume(PlaySoundOnChannel(tune, nullptr), GameMusicVolume);
  constexpr int kFrame = 735;  // samples in a frame at 60 a second
  constexpr int kFrames = 30 * 60;
  std::vector<float> limited(2 * kFrame * static_cast<size_t>(kFrames)), sum(limited.size());
  for (int f = 0; f < kFrames; ++f) {
    for (const Every& e : fight)
      if (f % e.frames == e.from) PlaySoundOnChannel(e.sound, nullptr);
    const size_t at = 2 * kFrame * static_cast<size_t>(f);
    MixForTest(limited.data() + at, kFrame, sum.data() + at);
  }
  float loudest = 0, loudestSum = 0;
  for (size_t i = 0; i < limited.size(); ++i) {
    loudest = std::max(loudest, std::fabs(limited[i]));
    loudestSum = std::max(loudestSum, std::fabs(sum[i]));
  }
  const double lost = 20 * std::log10(Rms(sum) / Rms(limited));
  std::printf("busy fight: the sum peaks at %.1f dBFS, the mix at %.1f dBFS; the limiter takes %.2f dB\n",
              20 * std::log10(loudestSum), 20 * std::log10(loudest), lost);
  EXPECT_LT(loudest, 1.0f) << "a sample at full scale";
  EXPECT_LT(lost, 1.0) << "the limiter takes the fight's loudness";
  EXPECT_GE(lost, 0.0) << "the limiter adds to the fight";
  EXPECT_GT(Rms(limited), 0.05) << "the fight is not heard at all";
}

TEST_F(SilentAudio, TheLogRecordsEveryPlayVolumeAndStopInOrder) {
  TSound* effect = LoadEncoded(u"res\\t_logfx.ogg", Tone(kLen, kPeriod), 2, 44100, 0);
  TSound* tune = LoadEncoded(u"res\\t_logtune.ogg", Tone(kLen, kPeriod), 2, 44100, SOUND_LOOPS);
  ASSERT_NE(effect, nullptr);
  ASSERT_NE(tune, nullptr);
  ClearSoundLog();
  harness::RunFrames(2);
  TChannel* shot = PlaySoundOnChannel(effect, nullptr);
  TChannel* music = PlaySoundOnChannel(tune, nullptr);
  SetSoundChannelVolume(music, 1.5f);  // recorded as it takes effect
  harness::RunFrames(10);              // the effect ends meanwhile
  SetSoundChannelVolume(music, 0.25f);
  StopSoundChannel(shot);
  StopSoundChannel(music);
  StopSoundChannel(nullptr);  // calls on no channel are no calls at all
  SetSoundChannelVolume(nullptr, 1);
  PlaySoundOnChannel(nullptr, nullptr);

  using K = SoundEvent::Kind;
  const std::vector<SoundEvent> log = SoundLog();
  ASSERT_EQ(log.size(), 6u);
  const struct {
    K kind;
    TChannel* channel;
    TSound* sound;
    const char* name;
    float volume;
    bool loop;
    int64_t frame;
  } want[] = {{K::Play, shot, effect, "t_logfx.ogg", 1, false, 2},
              {K::Play, music, tune, "t_logtune.ogg", 1, true, 2},
              {K::Volume, music, tune, "t_logtune.ogg", 1, true, 2},
              {K::Volume, music, tune, "t_logtune.ogg", 0.25f, true, 12},
              {K::Stop, shot, nullptr, "", 0, false, 12},  // over already
              {K::Stop, music, tune, "t_logtune.ogg", 0, true, 12}};
  for (size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].kind, want[i].kind);
    EXPECT_EQ(log[i].channel, want[i].channel);
    EXPECT_EQ(log[i].sound, want[i].sound);
    EXPECT_EQ(log[i].name, want[i].name);
    EXPECT_EQ(log[i].volume, want[i].volume);
    EXPECT_EQ(log[i].loop, want[i].loop);
    EXPECT_EQ(log[i].frame - log[0].frame + 2, want[i].frame);
  }
  ClearSoundLog();
  EXPECT_TRUE(SoundLog().empty());
}

TEST(AudioDrivers, TheAlternativeOutputIsOffered) {
  std::vector<String> names = ListAudioDriverNames();
  int alternative = 0;
  for (const String& n : names) {
    alternative += n == u"FreeAudio Multimedia";
    EXPECT_NE(n, u"dummy");  // not a sound output
    EXPECT_NE(n, u"disk");
  }
  EXPECT_EQ(alternative, 1);
}

namespace {
// A real (dummy) device with its own mixing thread.
class DeviceAudio : public harness::NullDrawingTest {
 protected:
  RuntimeOptions Options() const override {
    RuntimeOptions o = NullDrawingTest::Options();
    o.nullAudio = false;
    return o;
  }
};
}  // namespace

TEST_F(DeviceAudio, SwitchingOutputsKeepsSoundsPlayable) {
  if (CurrentAudioDriverName().empty()) GTEST_SKIP() << "no dummy audio output here";
  EXPECT_EQ(CurrentAudioDriverName(), u"dummy");
  TSound* tune = LoadEncoded(u"res\\t_dev.ogg", Tone(kLen, kPeriod), 2, 44100, SOUND_LOOPS);
  ASSERT_NE(tune, nullptr);
  TChannel* music = PlaySoundOnChannel(tune, nullptr);
  // A headless run has no second way to speakers: refused, and the sound goes on.
  EXPECT_FALSE(SelectAudioDriver(u"FreeAudio Multimedia"));
  EXPECT_EQ(CurrentAudioDriverName(), u"dummy");
  EXPECT_TRUE(SoundChannelPlaying(music));
  EXPECT_FALSE(SelectAudioDriver(u"no such output"));
  // Reopening through a named output keeps the mixer and what it plays.
  EXPECT_TRUE(SelectAudioDriver(u"dummy"));
  EXPECT_TRUE(SoundChannelPlaying(music));
  TChannel* again = PlaySoundOnChannel(tune, nullptr);
  EXPECT_TRUE(SoundChannelPlaying(again));
  // The game thread and the mixing thread side by side.
  TSound* effect = LoadEncoded(u"res\\t_devfx.ogg", Tone(441, 49), 2, 44100, 0);
  ASSERT_NE(effect, nullptr);
  for (int i = 0; i < 3000; ++i) {
    TChannel* c = PlaySoundOnChannel(effect, nullptr);
    SetSoundChannelVolume(c, 0.3f);
    if (i % 2) StopSoundChannel(c);
  }
  StopSoundChannel(music);
  StopSoundChannel(again);
  EXPECT_FALSE(SoundChannelPlaying(music));
}
