// Ogg Vorbis decoding from memory: short sounds whole at load time, tunes a
// little at a time as they play.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

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

const ov_callbacks kMemoryCallbacks{ReadMem, SeekMem, nullptr, TellMem};

int16_t ToSample(float v) { return static_cast<int16_t>(std::lrint(std::clamp(v, -1.0f, 1.0f) * 32767.0f)); }

// Appends a stereo float run recorded at rate, converted to the mix rate by
// linear interpolation.
void AppendResampled(const std::vector<float>& run, long rate, std::vector<int16_t>* out) {
  if (run.empty()) return;
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
    for (int c = 0; c < 2; ++c) out->push_back(ToSample(run[a * 2 + c] * (1 - t) + run[b * 2 + c] * t));
  }
}

}  // namespace

namespace rt {

bool DecodeOggVorbis(const uint8_t* data, size_t size, std::vector<int16_t>* stereo) {
  stereo->clear();
  if (!data || size == 0) return false;
  Memory mem{data, size, 0};
  OggVorbis_File vf;
  if (ov_open_callbacks(&mem, &vf, nullptr, 0, kMemoryCallbacks) != 0) return false;
  ogg_int64_t total = ov_pcm_total(&vf, -1);
  if (total > 0) stereo->reserve(static_cast<size_t>(total) * 2);
  // Samples at the mix rate go straight to the output; a run recorded at
  // another rate is gathered and converted when the rate changes or the
  // stream ends.
  std::vector<float> run;
  long runRate = kMixRate;
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
      AppendResampled(run, runRate, stereo);
      run.clear();
      runRate = info->rate;
    }
    const float* left = pcm[0];
    const float* right = info->channels > 1 ? pcm[1] : pcm[0];
    for (long i = 0; i < frames; ++i) {
      if (runRate == kMixRate || runRate <= 0) {
        stereo->push_back(ToSample(left[i]));
        stereo->push_back(ToSample(right[i]));
      } else {
        run.push_back(left[i]);
        run.push_back(right[i]);
      }
    }
  }
  AppendResampled(run, runRate, stereo);
  ov_clear(&vf);
  return ok || !stereo->empty();
}

struct OggStream::Reader {
  Memory mem;
  OggVorbis_File vf;
  bool mono = false;
};

std::unique_ptr<OggStream> OggStream::Open(const uint8_t* data, size_t size) {
  if (!data || size == 0) return nullptr;
  std::unique_ptr<OggStream> stream(new OggStream);
  auto reader = std::make_unique<Reader>();
  reader->mem = Memory{data, size, 0};
  if (ov_open_callbacks(&reader->mem, &reader->vf, nullptr, 0, kMemoryCallbacks) != 0) return nullptr;
  stream->reader_ = std::move(reader);  // from here the destructor clears the decoder
  OggVorbis_File* vf = &stream->reader_->vf;
  vorbis_info* info = ov_info(vf, -1);
  stream->frames_ = ov_pcm_total(vf, -1);
  if (!ov_seekable(vf) || ov_streams(vf) != 1 || !info || info->rate != kMixRate || info->channels < 1 ||
      info->channels > 2 || stream->frames_ <= 0)
    return nullptr;
  stream->reader_->mono = info->channels == 1;
  // Readies the decoder (its tables and first packet) here rather than in
  // the first read, which happens in the mixer.
  if (!stream->Seek(0)) return nullptr;
  return stream;
}

OggStream::~OggStream() {
  if (reader_) ov_clear(&reader_->vf);
}

long OggStream::Read(int most, const float** left, const float** right) {
  if (most <= 0) return 0;
  // A hole (lost pages) gives no samples; the next read goes on after it.
  for (int tries = 0; tries < 8; ++tries) {
    float** pcm = nullptr;
    int section = 0;
    long frames = ov_read_float(&reader_->vf, &pcm, most, &section);
    if (frames == OV_HOLE) continue;
    if (frames < 0) return -1;
    if (frames > 0) {
      *left = pcm[0];
      *right = reader_->mono ? pcm[0] : pcm[1];
    }
    return frames;
  }
  return -1;
}

bool OggStream::Seek(int64_t frame) { return ov_pcm_seek(&reader_->vf, frame) == 0; }

}  // namespace rt
