// Inside the runtime only: decoding of sound files to the mixer's format.
#pragma once

#include <cstdint>
#include <vector>

namespace rt {

constexpr int kMixRate = 44100;

// Decodes a whole Ogg Vorbis file to 44.1 kHz stereo, interleaved floats.
// Returns false when the bytes are not a readable Ogg Vorbis stream.
bool DecodeOggVorbis(const uint8_t* data, size_t size, std::vector<float>* stereo);

}  // namespace rt
