// Sound: loading, our own mixer and the output device.
//
// Short effects are decoded whole at load time to 44.1 kHz stereo 16-bit
// samples, so the mixer only adds them up. The tunes (the looping sounds)
// and the effects longer than a second are kept as their Ogg Vorbis bytes
// and decoded as they play: each channel playing one has a reader of its
// own, opened and readied on the game's thread, and the mixer decodes just
// the samples it mixes, one callback's worth at a time, and at the end of a
// tune seeks its reader back to the first sample. That costs the callback
// well under a tenth of a millisecond per such channel for its 23 ms of
// sound (bench/audio_bench), needs no thread or queue of our own that could
// run dry, and gives the very samples of a whole decode.
//
// The sum of the channels ends in a soft limiter (limiter.h), not a clamp:
// where a busy fight would pass full scale it is bent smoothly under it.
//
// Every play makes a new channel; channels are handed to the game as
// numbers dressed as handles, so a channel that ended long ago can still be
// stopped or asked about without harm. With no device (none present, or the
// null-audio option) the same channels run against the clock, silently:
// effects end when their time is up, and nothing is decoded unless a test
// mixes by hand.
#include <SDL.h>

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "runtime/audio.h"
#include "runtime/internal.h"
#include "runtime/limiter.h"

struct TSound {
  bool loop = false;
  std::string name;  // the file name it was loaded from, for the sound log
  size_t frames = 0;
  // Decoded whole: stereo, interleaved.
  std::vector<int16_t> pcm;
  // Decoded as it plays: the Ogg Vorbis bytes (embedded, or held in `owned`
  // when read from a file).
  const uint8_t* ogg = nullptr;
  size_t oggSize = 0;
  std::vector<uint8_t> owned;
  bool Streamed() const { return ogg != nullptr; }
};

namespace {

struct Voice {
  TSound* sound = nullptr;
  size_t pos = 0;  // in frames
  float volume = 1;
  std::unique_ptr<rt::OggStream> reader;  // streamed sounds only
  bool readerBehind = false;  // pos moved on without decoding: seek first
};

const char* const kAlternativeOutput = "FreeAudio Multimedia";
constexpr float kSampleScale = 1.0f / 32767.0f;
constexpr int64_t kStreamedAbove = rt::kMixRate;  // frames: effects longer than a second stream

std::mutex g_mix;  // guards the voices and the log; the device's callback takes it too
// Every sound loaded is owned here until the layer shuts down, as the images
// are: the game only holds handles, some only for a while (the intro's), and
// a restart of the layer loads everything again.
std::mutex g_soundsLock;  // sounds are loaded on several threads at once
std::vector<std::unique_ptr<TSound>> g_sounds;
std::unordered_map<uintptr_t, Voice> g_voices;
rt::SoftLimiter g_limiter;  // at the end of the mix, under g_mix
uintptr_t g_lastId = 0;
SDL_AudioDeviceID g_device = 0;
bool g_alternative = false;  // output chosen through the alternative name
int64_t g_silentClockMs = 0;   // where the silent channels stand in time
std::vector<SoundEvent> g_log;  // headless only

uintptr_t IdOf(TChannel* channel) { return reinterpret_cast<uintptr_t>(channel); }

// Records one call of the game in the sound log. Call with g_mix.
void LogLocked(SoundEvent::Kind kind, TChannel* channel, const TSound* sound, float volume) {
  if (!rt::Options().headless) return;
  SoundEvent e;
  e.kind = kind;
  e.channel = channel;
  e.sound = const_cast<TSound*>(sound);
  if (sound) e.name = sound->name, e.loop = sound->loop;
  e.volume = volume;
  e.frame = PresentedFrameCount();
  g_log.push_back(std::move(e));
}

// The sound now on a channel, or null when it has ended. Call with g_mix.
const TSound* SoundOnLocked(TChannel* channel) {
  auto it = g_voices.find(IdOf(channel));
  return it == g_voices.end() ? nullptr : it->second.sound;
}

// Adds up to `frames` frames of a decoded sound into out; returns how many.
int MixDecoded(Voice& v, float* out, int frames) {
  const TSound* s = v.sound;
  size_t run = std::min<size_t>(static_cast<size_t>(frames), s->frames - v.pos);
  const int16_t* src = s->pcm.data() + v.pos * 2;
  const float gain = v.volume * kSampleScale;
  for (size_t i = 0; i < run * 2; ++i) out[i] += static_cast<float>(src[i]) * gain;
  v.pos += run;
  return static_cast<int>(run);
}

// Decodes and adds up to `frames` frames of a streamed sound into out;
// returns how many, 0 at the end of the sound, -1 when it cannot go on.
int MixStreamed(Voice& v, float* out, int frames) {
  if (!v.reader) return -1;
  if (v.readerBehind) {
    if (!v.reader->Seek(static_cast<int64_t>(v.pos))) return -1;
    v.readerBehind = false;
  }
  const float* left = nullptr;
  const float* right = nullptr;
  // Never past the length the file declares, which the silent channels and
  // the loop go by.
  const int most = static_cast<int>(std::min<size_t>(static_cast<size_t>(frames), v.sound->frames - v.pos));
  long run = v.reader->Read(most, &left, &right);
  if (run <= 0) return run == 0 ? 0 : -1;
  for (long i = 0; i < run; ++i) {
    out[2 * i] += left[i] * v.volume;
    out[2 * i + 1] += right[i] * v.volume;
  }
  v.pos += static_cast<size_t>(run);
  return static_cast<int>(run);
}

// Mixes frames into out (stereo floats, added to what is there) and moves
// every voice on; voices that reach their end are dropped. The sum goes
// through the limiter; `unlimited`, when given, receives it before. Call
// with g_mix.
void MixLocked(float* out, int frames, float* unlimited = nullptr) {
  for (auto it = g_voices.begin(); it != g_voices.end();) {
    Voice& v = it->second;
    const bool streamed = v.sound->Streamed();
    bool ended = v.sound->frames == 0;
    bool rewound = false;  // guards against a sound that gives nothing at all
    int done = 0;
    while (!ended && done < frames) {
      float* dst = out + static_cast<size_t>(done) * 2;
      int run = streamed ? MixStreamed(v, dst, frames - done) : MixDecoded(v, dst, frames - done);
      if (run < 0) {
        ended = true;
        break;
      }
      done += run;
      rewound = rewound && run == 0;
      const bool atEnd = run == 0 || v.pos >= v.sound->frames;
      if (!atEnd) continue;
      if (!v.sound->loop || rewound) {
        ended = true;
        break;
      }
      // Straight back to the first sample: no gap.
      v.pos = 0;
      rewound = true;
      if (streamed && !v.reader->Seek(0)) ended = true;
    }
    if (ended) it = g_voices.erase(it);
    else ++it;
  }
  if (unlimited) std::copy(out, out + static_cast<size_t>(frames) * 2, unlimited);
  g_limiter.Process(out, frames);
}

// With no device, time moves the channels on (without mixing any sound).
void CatchUpSilentLocked() {
  if (g_device) return;
  int64_t now = rt::NowMillis();
  int64_t ms = now - g_silentClockMs;
  if (ms <= 0) {
    g_silentClockMs = now;
    return;
  }
  int64_t frames = ms * rt::kMixRate / 1000;
  g_silentClockMs += frames * 1000 / rt::kMixRate;
  if (frames == 0) return;
  // Move each voice on by arithmetic, not frame by frame; a streamed one
  // catches its reader up when it is next mixed.
  for (auto it = g_voices.begin(); it != g_voices.end();) {
    Voice& v = it->second;
    size_t len = v.sound->frames;
    size_t pos = v.pos + static_cast<size_t>(frames);
    if (len == 0 || (!v.sound->loop && pos >= len)) {
      it = g_voices.erase(it);
      continue;
    }
    v.pos = pos % len;
    v.readerBehind = v.sound->Streamed();
    ++it;
  }
}

// Asks the system to have a streamed sound's bytes in memory before the
// mixer reads them, so the callback does not wait on the disk for a page.
void PrefetchBytes(const uint8_t* data, size_t size) {
#if defined(__unix__)
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t from = reinterpret_cast<uintptr_t>(data) / page * page;
  posix_madvise(reinterpret_cast<void*>(from), reinterpret_cast<uintptr_t>(data) + size - from,
                POSIX_MADV_WILLNEED);
#else
  (void)data;
  (void)size;
#endif
}

void SDLCALL Callback(void*, Uint8* stream, int bytes) {
  float* out = reinterpret_cast<float*>(stream);
  int frames = bytes / static_cast<int>(2 * sizeof(float));
  std::memset(stream, 0, static_cast<size_t>(bytes));
  std::lock_guard<std::mutex> lock(g_mix);
  MixLocked(out, frames);
}

SDL_AudioDeviceID OpenDevice() {
  SDL_AudioSpec want{};
  want.freq = rt::kMixRate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = Callback;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts to whatever the hardware takes.
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id) SDL_PauseAudioDevice(id, 0);
  return id;
}

void CloseDevice() {
  if (!g_device) return;
  SDL_CloseAudioDevice(g_device);
  g_device = 0;
  std::lock_guard<std::mutex> lock(g_mix);
  g_silentClockMs = rt::NowMillis();
}

bool AudioReady() { return SDL_WasInit(SDL_INIT_AUDIO) != 0; }

// Restarts SDL's audio through the named driver and opens the device there.
bool ReopenThrough(const char* driver) {
  CloseDevice();
  SDL_AudioQuit();
  if (SDL_AudioInit(driver) != 0) return false;
  SDL_AudioDeviceID id = OpenDevice();
  if (!id) {
    SDL_AudioQuit();
    return false;
  }
  std::lock_guard<std::mutex> lock(g_mix);
  g_device = id;
  return true;
}

std::string CurrentDriver() {
  const char* d = AudioReady() ? SDL_GetCurrentAudioDriver() : nullptr;
  return d ? d : "";
}

bool IsRealOutput(const std::string& d) { return d != "dummy" && d != "disk"; }

}  // namespace

namespace rt {

void AudioStart() {
  {
    std::lock_guard<std::mutex> lock(g_mix);
    g_voices.clear();
    g_log.clear();
    g_limiter.Reset();
    g_silentClockMs = NowMillis();
  }
  g_alternative = false;
  if (Options().nullAudio || !AudioReady()) return;  // silent, not an error
  g_device = OpenDevice();
}

void AudioShutdown() {
  CloseDevice();
  {
    std::lock_guard<std::mutex> lock(g_mix);
    g_voices.clear();
    g_alternative = false;
  }
  // No voice refers to a sound any more: free them all.
  std::lock_guard<std::mutex> lock(g_soundsLock);
  g_sounds.clear();
}

}  // namespace rt

TSound* LoadSoundResource(const String& path, int flags) {
  // Embedded files are read where they lie; other files are read first.
  const void* data = nullptr;
  size_t size = 0;
  std::vector<uint8_t> bytes;
  String name = rt::EmbeddedName(path);
  if (!name.empty()) {
    if (!IncbinLookup(name, &data, &size)) return nullptr;
  } else {
    if (!ReadResourceBytes(path, &bytes)) return nullptr;
    data = bytes.data();
    size = bytes.size();
  }
  const uint8_t* ogg = static_cast<const uint8_t*>(data);
  auto s = std::make_unique<TSound>();
  s->loop = (flags & SOUND_LOOPS) != 0;
  s->name = rt::FileNameOf(path);
  // The tunes and the long effects play from their Ogg bytes when the reader
  // takes them; the short effects, which the game plays many at a time, are
  // decoded whole now.
  std::unique_ptr<rt::OggStream> probe = rt::OggStream::Open(ogg, size);
  if (probe && (s->loop || probe->Frames() > kStreamedAbove)) {
    s->frames = static_cast<size_t>(probe->Frames());
    if (!bytes.empty()) {
      s->owned = std::move(bytes);
      ogg = s->owned.data();
    }
    s->ogg = ogg;
    s->oggSize = size;
    PrefetchBytes(s->ogg, s->oggSize);
  } else if (rt::DecodeOggVorbis(ogg, size, &s->pcm)) {
    s->frames = s->pcm.size() / 2;
  } else {
    return nullptr;
  }
  // Held until RuntimeShutdown, which frees every sound.
  std::lock_guard<std::mutex> lock(g_soundsLock);
  g_sounds.push_back(std::move(s));
  return g_sounds.back().get();
}

TChannel* PlaySoundOnChannel(TSound* sound, TChannel* channel) {
  if (!sound) return nullptr;
  // A tune's reader is opened here, on the game's thread, not in the mixer.
  std::unique_ptr<rt::OggStream> reader;
  if (sound->Streamed()) reader = rt::OggStream::Open(sound->ogg, sound->oggSize);
  std::lock_guard<std::mutex> lock(g_mix);
  CatchUpSilentLocked();
  uintptr_t id = channel ? IdOf(channel) : ++g_lastId;
  Voice v;
  v.sound = sound;
  v.reader = std::move(reader);
  auto it = g_voices.find(id);
  if (it != g_voices.end()) v.volume = it->second.volume;  // a reused channel keeps its volume
  const float volume = v.volume;
  const bool silent = sound->frames == 0 || (sound->Streamed() && !v.reader);
  g_voices[id] = std::move(v);
  if (silent) g_voices.erase(id);
  LogLocked(SoundEvent::Kind::Play, reinterpret_cast<TChannel*>(id), sound, volume);
  return reinterpret_cast<TChannel*>(id);
}

void SetSoundChannelVolume(TChannel* channel, float volume) {
  if (!channel) return;
  std::lock_guard<std::mutex> lock(g_mix);
  CatchUpSilentLocked();
  volume = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
  auto it = g_voices.find(IdOf(channel));
  if (it != g_voices.end()) it->second.volume = volume;
  LogLocked(SoundEvent::Kind::Volume, channel, SoundOnLocked(channel), volume);
}

void StopSoundChannel(TChannel* channel) {
  if (!channel) return;
  std::lock_guard<std::mutex> lock(g_mix);
  CatchUpSilentLocked();
  LogLocked(SoundEvent::Kind::Stop, channel, SoundOnLocked(channel), 0.0f);
  g_voices.erase(IdOf(channel));
}

bool SoundChannelPlaying(TChannel* channel) {
  if (!channel) return false;
  std::lock_guard<std::mutex> lock(g_mix);
  CatchUpSilentLocked();
  return g_voices.count(IdOf(channel)) > 0;
}

int PlayingChannelCount() {
  std::lock_guard<std::mutex> lock(g_mix);
  CatchUpSilentLocked();
  return static_cast<int>(g_voices.size());
}

std::vector<SoundEvent> SoundLog() {
  std::lock_guard<std::mutex> lock(g_mix);
  return g_log;
}

void ClearSoundLog() {
  std::lock_guard<std::mutex> lock(g_mix);
  g_log.clear();
}

void MixForTest(float* out, int frames, float* unlimited) {
  if (!out || frames <= 0) return;
  std::fill(out, out + static_cast<size_t>(frames) * 2, 0.0f);
  std::lock_guard<std::mutex> lock(g_mix);
  MixLocked(out, frames, unlimited);
}

std::vector<String> ListAudioDriverNames() {
  std::vector<String> names;
  int n = SDL_GetNumAudioDrivers();
  for (int i = 0; i < n; ++i) {
    const char* d = SDL_GetAudioDriver(i);
    if (d && IsRealOutput(d)) names.push_back(StringFromAscii(d));
  }
  names.push_back(StringFromAscii(kAlternativeOutput));
  return names;
}

String CurrentAudioDriverName() {
  if (!g_device) return String();
  if (g_alternative) return StringFromAscii(kAlternativeOutput);
  return StringFromAscii(CurrentDriver().c_str());
}

bool SelectAudioDriver(const String& name) {
  if (rt::Options().nullAudio || !AudioReady()) return false;
  std::string wanted = StringToAscii(name);
  std::string current = CurrentDriver();
  std::vector<std::string> tries;
  bool alternative = wanted == kAlternativeOutput;
  if (alternative) {
    // A second way to the speakers: straight to ALSA when the default goes
    // through a sound server, or through a server when it goes to ALSA. A
    // headless run has no speakers to reach.
    if (rt::Options().headless) return false;
    const char* order[] = {"alsa", "pipewire", "pulseaudio", "jack", "sndio", "dsp"};
    for (const char* d : order) {
      bool compiled = false;
      for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) compiled |= std::strcmp(SDL_GetAudioDriver(i), d) == 0;
      if (compiled && d != current) tries.push_back(d);
    }
  } else {
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
      if (wanted == SDL_GetAudioDriver(i)) tries.push_back(wanted);
  }
  if (tries.empty()) return false;
  for (const std::string& d : tries) {
    if (ReopenThrough(d.c_str())) {
      g_alternative = alternative;
      return true;
    }
  }
  // Nothing else works: the output in use before goes on.
  bool restored = !current.empty() && ReopenThrough(current.c_str());
  if (!restored) {
    // Back to whatever SDL picks by itself; failing that the game runs silent.
    SDL_AudioQuit();
    if (SDL_AudioInit(nullptr) == 0) {
      SDL_AudioDeviceID id = OpenDevice();
      std::lock_guard<std::mutex> lock(g_mix);
      g_device = id;
    }
  }
  return false;
}
