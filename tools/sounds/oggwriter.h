// Ogg Vorbis encoding of a synthesised buffer, byte-for-byte repeatable: the
// stream serial number is given by the caller and the encoder is fed in fixed
// blocks, so the same buffer always gives the same file.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace synth {

// Encodes the buffer as stereo 44100 Hz Ogg Vorbis. Samples are clamped to
// -1..1. The final granule position equals the buffer's frame count, so a
// decoder returns exactly that many frames. Returns an empty vector on failure.
std::vector<unsigned char> EncodeOgg(const Buffer& buf, float quality, int serial);

// Encodes and writes the file; false (with a message in *error) on failure.
bool WriteOgg(const std::string& path, const Buffer& buf, float quality, int serial,
              std::string* error);

}  // namespace synth
