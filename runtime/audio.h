// Inside the runtime only: decoding of sound files to the mixer's format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace rt {

constexpr int kMixRate = 44100;

// Decodes a whole Ogg Vorbis file to 44.1 kHz stereo, interleaved 16-bit
// samples. Returns false when the bytes are not a readable Ogg Vorbis stream.
bool DecodeOggVorbis(const uint8_t* data, size_t size, std::vector<int16_t>* stereo);

// Decodes an Ogg Vorbis file from memory as it plays: the tunes, which would
// take over a hundred megabytes decoded whole, and the long effects. Opening
// readies the decoder, so the first read costs no more than the others.
// Only single-stream files at the mix rate, mono or stereo, can be read this
// way (Open gives null for any other). The bytes must outlive the reader.
// Not thread-safe: one user at a time.
class OggStream {
 public:
  static std::unique_ptr<OggStream> Open(const uint8_t* data, size_t size);
  ~OggStream();
  OggStream(const OggStream&) = delete;
  OggStream& operator=(const OggStream&) = delete;

  // Length in frames.
  int64_t Frames() const { return frames_; }
  // Decodes at most `most` frames from the read position. left and right
  // (the same for a mono file) point into the decoder's own buffer, valid
  // until the next call. Returns the frames read, 0 at the end, -1 on an
  // error in the data.
  long Read(int most, const float** left, const float** right);
  // Moves the read position to a frame, exactly.
  bool Seek(int64_t frame);

 private:
  OggStream() = default;
  struct Reader;
  std::unique_ptr<Reader> reader_;
  int64_t frames_ = 0;
};

}  // namespace rt
