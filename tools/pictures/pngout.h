// Writing canvases as PNG files, byte for byte the same on every run.
#pragma once

#include <string>

#include "raster.h"
#include "res/assets.h"

namespace pic {

// The storage formats of the game's catalogue.
using Format = PictureFormat;

// How a canvas becomes an opaque picture whose black is transparent:
// Hard keeps pixels at least half covered at their full colour and drops the
// rest to black; Glow composites over black (for pictures drawn with the light
// blend, where black adds nothing); Flame is Glow for light pictures that the
// game draws with the ordinary alpha blend, where dim fringes would show as
// dark smudges: only the parts bright enough to read as light are kept.
enum class Edge { Hard, Glow, Flame };

// Opaque 8-bit RGB values of a canvas; every visible pixel avoids pure black.
std::vector<uint8_t> toRgb(const Canvas& c, Edge e);

// Writes the file; false on failure.
bool writePng(const std::string& path, const Canvas& c, Format f, Edge e);

}  // namespace pic
