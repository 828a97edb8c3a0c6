// Ogg Vorbis decoding from memory, done once at load time.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "runtime/audio.h"

namespace {

struct Memory {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

size_t ReadMem(void* out, size_t size, size_t count, void* source) {
  Memory* m = static_cast<Memory*>(source);
  if (size == 0) return 0;
  size_t want = size * count;
  size_t left = m->size - m->pos;
  size_t n = std::min(want, left) / size * size;
  std::memcpy(out, m->data + m->pos, n);
  m->pos += n;
  return n / size;
}

int SeekMem(void* source, ogg_int64_t offset, int whence) {
  Memory* m = static_cast<Memory*>(source);
  int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<int64_t>(m->pos)
                                                               : static_cast<int64_t>(m->size);
  int64_t to = base + offset;
  if (to < 0 || to > static_cast<int64_t>(m->size)) return -1;
  m->pos = static_cast<size_t>(to);
  return 0;
}

long TellMem(void* source) { return static_cast<long>(static_cast<Memory*>(source)->pos); }

// Appends a stereo run recorded at rate, converted to the mix rate by linear
// interpolation.
void AppendResampled(const std::vector<float>& run, long rate, std::vector<float>* out) {
  if (run.empty()) return;
  if (rate == rt::kMixRate || rate <= 0) {
    out->insert(out->end(), run.begin(), run.end());
    return;
  }
  size_t frames = run.size() / 2;
  size_t produced = static_cast<size_t>(static_cast<double>(frames) * rt::kMixRate / static_cast<double>(rate));
  double step = static_cast<double>(rate) / rt::kMixRate;
  out->reserve(out->size() + produced * 2);
  for (size_t i = 0; i < produced; ++i) {
    double at = static_cast<double>(i) * step;
    size_t a = static_cast<size_t>(at);
    if (a >= frames) a = frames - 1;
    size_t b = std::min(a + 1, frames - 1);
    float t = static_cast<float>(at - static_cast<double>(a));
    for (int c = 0; c < 2; ++c) out->push_back(run[a * 2 + c] * (1 - t) + run[b * 2 + c] * t);
  }
}

// Long single-rate stereo files (the tunes) decode in slices side by side:
// each worker opens its own reader on the same bytes, seeks to its first
// sample and fills its part of the output. Returns false when the file does
// not suit (several links, another rate) or a slice fails; the caller then
// decodes it in one pass.
bool DecodeInSlices(const uint8_t* data, size_t size, ogg_int64_t total, std::vector<float>* stereo) {
  constexpr ogg_int64_t kSliceFrames = 44100 * 12;
  unsigned hw = std::max(1u, std::thread::hardware_concurrency());
  ogg_int64_t slices = std::min<ogg_int64_t>(hw, (total + kSliceFrames - 1) / kSliceFrames);
  if (slices < 2) return false;
  stereo->assign(static_cast<size_t>(total) * 2, 0.0f);
  std::vector<char> ok(static_cast<size_t>(slices), 0);
  std::vector<std::thread> workers;
  for (ogg_int64_t k = 0; k < slices; ++k) {
    workers.emplace_back([=, &ok] {
      ogg_int64_t from = total * k / slices, to = total * (k + 1) / slices;
      Memory mem{data, size, 0};
      ov_callbacks callbacks{ReadMem, SeekMem, nullptr, TellMem};
      OggVorbis_File vf;
      if (ov_open_callbacks(&mem, &vf, nullptr, 0, callbacks) != 0) return;
      bool good = ov_pcm_seek(&vf, from) == 0;
      float* out = stereo->data() + from * 2;
      ogg_int64_t at = from;
      while (good && at < to) {
        float** pcm = nullptr;
        int section = 0;
        long want = static_cast<long>(std::min<ogg_int64_t>(4096, to - at));
        long frames = ov_read_float(&vf, &pcm, static_cast<int>(want), &section);
        if (frames == OV_HOLE) continue;
        if (frames <= 0) {
          good = false;
          break;
        }
        vorbis_info* info = ov_info(&vf, section);
        const float* left = pcm[0];
        const float* right = info && info->channels > 1 ? pcm[1] : pcm[0];
        for (long i = 0; i < frames; ++i) {
          out[2 * i] = left[i];
          out[2 * i + 1] = right[i];
        }
        out += frames * 2;
        at += frames;
      }
      ov_clear(&vf);
      ok[static_cast<size_t>(k)] = good ? 1 : 0;
    });
  }
  for (auto& w : workers) w.join();
  for (char c : ok)
    if (!c) return false;
  return true;
}

}  // namespace

namespace rt {

bool DecodeOggVorbis(const uint8_t* data, size_t size, std::vector<float>* stereo) {
  stereo->clear();
  if (!data || size == 0) return false;
  Memory mem{data, size, 0};
  ov_callbacks callbacks{ReadMem, SeekMem, nullptr, TellMem};
  OggVorbis_File vf;
  if (ov_open_callbacks(&mem, &vf, nullptr, 0, callbacks) != 0) return false;
  ogg_int64_t total = ov_pcm_total(&vf, -1);
  vorbis_info* first = ov_info(&vf, -1);
  if (ov_streams(&vf) == 1 && ov_seekable(&vf) && first && first->rate == rt::kMixRate && total > 0 &&
      DecodeInSlices(data, size, total, stereo)) {
    ov_clear(&vf);
    return true;
  }
  stereo->clear();
  if (total > 0) stereo->reserve(static_cast<size_t>(total) * 2);
  // Samples go straight to the output; a run recorded at another rate is
  // converted when the rate changes or the stream ends.
  size_t runStart = 0;
  long runRate = 0;
  auto finishRun = [&] {
    if (runRate == rt::kMixRate || runRate <= 0 || runStart == stereo->size()) return;
    std::vector<float> run(stereo->begin() + static_cast<std::ptrdiff_t>(runStart), stereo->end());
    stereo->resize(runStart);
    AppendResampled(run, runRate, stereo);
  };
  bool ok = true;
  for (;;) {
    float** pcm = nullptr;
    int section = 0;
    long frames = ov_read_float(&vf, &pcm, 4096, &section);
    if (frames == OV_HOLE) continue;  // a gap in the data: carry on
    if (frames < 0) {
      ok = false;
      break;
    }
    if (frames == 0) break;
    vorbis_info* info = ov_info(&vf, section);
    if (!info || info->channels < 1) continue;
    if (info->rate != runRate) {
      finishRun();
      runStart = stereo->size();
      runRate = info->rate;
    }
    const float* left = pcm[0];
    const float* right = info->channels > 1 ? pcm[1] : pcm[0];
    size_t at = stereo->size();
    stereo->resize(at + static_cast<size_t>(frames) * 2);
    float* out = stereo->data() + at;
    for (long i = 0; i < frames; ++i) {
      out[2 * i] = left[i];
      out[2 * i + 1] = right[i];
    }
  }
  finishRun();
  ov_clear(&vf);
  return ok || !stereo->empty();
}

}  // namespace rt
