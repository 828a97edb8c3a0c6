// Sound: loading, our own mixer and the output device.
//
// Sounds are decoded whole at load time to 44.1 kHz stereo floats, so the
// mixer only adds samples. Every play makes a new channel; channels are
// handed to the game as numbers dressed as handles, so a channel that ended
// long ago can still be stopped or asked about without harm. With no device
// (none present, or the null-audio option) the same channels run against
// the clock, silently: effects end when their time is up.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "runtime/audio.h"
#include "runtime/internal.h"

struct TSound {
  std::vector<float> pcm;  // stereo, interleaved
  bool loop = false;
  size_t Frames() const { return pcm.size() / 2; }
};

namespace {

struct Voice {
  TSound* sound = nullptr;
  size_t pos = 0;  // in frames
  float volume = 1;
};

const char* const kAlternativeOutput = "FreeAudio Multimedia";

std::mutex g_mix;  // guards the voices; the device's callback takes it too
// Every sound loaded is owned here until the layer shuts down, as the images
// are: the game only holds handles, some only for a while (the intro's), and
// a restart of the layer loads everything again.
std::mutex g_soundsLock;  // sounds are loaded on several threads at once
std::vector<std::unique_ptr<TSound>> g_sounds;
std::unordered_map<uintptr_t, Voice> g_voices;
uintptr_t g_lastId = 0;
SDL_AudioDeviceID g_device = 0;
bool g_alternative = false;  // output chosen through the alternative name
int64_t g_silentClockMs = 0;   // where the silent channels stand in time

uintptr_t IdOf(TChannel* channel) { return reinterpret_cast<uintptr_t>(channel); }

// Mixes frames into out (stereo floats, added to what is there) and moves
// every voice on; voices that reach their end are dropped. Call with g_mix.
void MixLocked(float* out, int frames) {
  for (auto it = g_voices.begin(); it != g_voices.end();) {
    Voice& v = it->second;
    const TSound* s = v.sound;
    size_t len = s->Frames();
    bool ended = len == 0;
    int done = 0;
    while (!ended && done < frames) {
      size_t run = std::min<size_t>(static_cast<size_t>(frames - done), len - v.pos);
      if (out) {
        const float* src = s->pcm.data() + v.pos * 2;
        float* dst = out + static_cast<size_t>(done) * 2;
        for (size_t i = 0; i < run * 2; ++i) dst[i] += src[i] * v.volume;
      }
      v.pos += run;
      done += static_cast<int>(run);
      if (v.pos >= len) {
        if (s->loop) v.pos = 0;  // straight back to the first sample: no gap
        else ended = true;
      }
    }
    if (ended) it = g_voices.erase(it);
    else ++it;
  }
  if (out) {
    for (int i = 0; i < frames * 2; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
  }
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
  // Move each voice on by arithmetic, not frame by frame.
  for (auto it = g_voices.begin(); it != g_voices.end();) {
    Voice& v = it->second;
    size_t len = v.sound->Frames();
    size_t pos = v.pos + static_cast<size_t>(frames);
    if (len == 0 || (!v.sound->loop && pos >= len)) {
      it = g_voices.erase(it);
      continue;
    }
    v.pos = pos % len;
    ++it;
  }
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
  // Embedded files are decoded where they lie; other files are read first.
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
  auto sound = std::make_unique<TSound>();
  if (!rt::DecodeOggVorbis(static_cast<const uint8_t*>(data), size, &sound->pcm)) return nullptr;
  sound->loop = (flags & 1) != 0;
  // Held until RuntimeShutdown, which frees every sound.
  std::lock_guard<std::mutex> lock(g_soundsLock);
  g_sounds.push_back(std::move(sound));
  return g_sounds.back().get();
}

TChannel* PlaySoundOnChannel(TSound* sound, TChannel* channel) {
  if (!sound) return nullptr;
  std::lock_guard<std::mutex> lock(g_mix);
  CatchUpSilentLocked();
  uintptr_t id = channel ? IdOf(channel) : ++g_lastId;
  Voice v;
  v.sound = sound;
  auto it = g_voices.find(id);
  if (it != g_voices.end()) v.volume = it->second.volume;  // a reused channel keeps its volume
  g_voices[id] = v;
  if (sound->Frames() == 0) g_voices.erase(id);
  return reinterpret_cast<TChannel*>(id);
}

void SetSoundChannelVolume(TChannel* channel, float volume) {
  if (!channel) return;
  std::lock_guard<std::mutex> lock(g_mix);
  CatchUpSilentLocked();
  auto it = g_voices.find(IdOf(channel));
  if (it != g_voices.end()) it->second.volume = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
}

void StopSoundChannel(TChannel* channel) {
  if (!channel) return;
  std::lock_guard<std::mutex> lock(g_mix);
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

void MixForTest(float* out, int frames) {
  if (!out || frames <= 0) return;
  std::fill(out, out + static_cast<size_t>(frames) * 2, 0.0f);
  std::lock_guard<std::mutex> lock(g_mix);
  MixLocked(out, frames);
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

int SelectAudioDriver(const String& name) {
  if (rt::Options().nullAudio || !AudioReady()) return 0;
  std::string wanted = StringToAscii(name);
  std::string current = CurrentDriver();
  std::vector<std::string> tries;
  bool alternative = wanted == kAlternativeOutput;
  if (alternative) {
    // A second way to the speakers: straight to ALSA when the default goes
    // through a sound server, or through a server when it goes to ALSA. A
    // headless run has no speakers to reach.
    if (rt::Options().headless) return 0;
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
  if (tries.empty()) return 0;
  for (const std::string& d : tries) {
    if (ReopenThrough(d.c_str())) {
      g_alternative = alternative;
      return 1;
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
  return 0;
}
