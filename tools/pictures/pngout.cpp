#include "pngout.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace pic {

static uint8_t to8(float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); }

std::vector<uint8_t> toRgb(const Canvas& c, Edge e) {
    std::vector<uint8_t> out(static_cast<size_t>(c.w) * c.h * 3, 0);
    for (size_t i = 0; i < c.px.size(); ++i) {
        const Col& p = c.px[i];
        uint8_t r = 0, g = 0, b = 0;
        bool visible;
        if (e == Edge::Hard) {
            visible = p.a >= 0.5f;
            if (visible) r = to8(p.r / p.a), g = to8(p.g / p.a), b = to8(p.b / p.a);
        } else {
            r = to8(p.r), g = to8(p.g), b = to8(p.b);
            // Faint glows fade out to true black rather than to a dark speck.
            visible = std::max({r, g, b}) >= (e == Edge::Flame ? 40 : 3);
            if (!visible) r = g = b = 0;
        }
        if (visible && r == 0 && g == 0 && b == 0) r = g = b = 1;
        out[i * 3] = r, out[i * 3 + 1] = g, out[i * 3 + 2] = b;
    }
    return out;
}

namespace {
struct File {
    FILE* f;
    ~File() {
        if (f) std::fclose(f);
    }
};

// Reduces colours to at most 256 by coarsening the channels step by step;
// black stays black and nothing else becomes black.
std::vector<uint32_t> palettise(const std::vector<uint8_t>& rgb, std::vector<uint8_t>& index) {
    for (int shift = 0; shift < 8; ++shift) {
        std::map<uint32_t, int> seen;
        std::vector<uint32_t> pal{0};
        seen[0] = 0;
        index.assign(rgb.size() / 3, 0);
        bool ok = true;
        for (size_t i = 0; i < index.size() && ok; ++i) {
            uint32_t r = rgb[i * 3], g = rgb[i * 3 + 1], b = rgb[i * 3 + 2];
            if (r | g | b) {
                auto q = [shift](uint32_t v) {
                    uint32_t m = (v >> shift) << shift;
                    return shift ? m + (1u << (shift - 1)) : m;
                };
                r = q(r), g = q(g), b = q(b);
                if (!(r | g | b)) r = g = b = 1;
            }
            uint32_t key = (r << 16) | (g << 8) | b;
            auto it = seen.find(key);
            if (it == seen.end()) {
                if (pal.size() == 256) {
                    ok = false;
                    break;
                }
                it = seen.emplace(key, static_cast<int>(pal.size())).first;
                pal.push_back(key);
            }
            index[i] = static_cast<uint8_t>(it->second);
        }
        if (ok) return pal;
    }
    return {};
}
}  // namespace

// The libpng calls proper, kept apart so nothing changes across its longjmp.
static bool emit(png_structp png, png_infop info, FILE* f, const int w, const int h, const int colourType,
                 const int channels, const bool palette, const std::vector<uint8_t>& data,
                 const std::vector<png_color>& pal) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, palette ? PNG_FILTER_NONE : PNG_ALL_FILTERS);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!pal.empty()) png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, const_cast<png_bytep>(data.data() + static_cast<size_t>(y) * w * channels));
    png_write_end(png, info);
    return true;
}

bool writePng(const std::string& path, const Canvas& c, Format f, Edge e) {
    File file{std::fopen(path.c_str(), "wb")};
    if (!file.f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<uint8_t> data;
    std::vector<png_color> pal;
    int colourType = PNG_COLOR_TYPE_RGB, channels = 3;
    if (f == Format::RGBA) {
        colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        channels = 4;
        data.resize(c.px.size() * 4);
        for (size_t i = 0; i < c.px.size(); ++i) {
            const Col& p = c.px[i];
            data[i * 4 + 3] = to8(p.a);
            if (p.a > 0) data[i * 4] = to8(p.r / p.a), data[i * 4 + 1] = to8(p.g / p.a), data[i * 4 + 2] = to8(p.b / p.a);
        }
    } else if (f == Format::RGB) {
        data = toRgb(c, e);
    } else {
        colourType = PNG_COLOR_TYPE_PALETTE;
        channels = 1;
        std::vector<uint32_t> p = palettise(toRgb(c, e), data);
        if (p.empty()) {
            png_destroy_write_struct(&png, &info);
            return false;
        }
        for (uint32_t v : p) pal.push_back(png_color{static_cast<png_byte>(v >> 16), static_cast<png_byte>(v >> 8), static_cast<png_byte>(v)});
    }
    if (!emit(png, info, file.f, c.w, c.h, colourType, channels, f == Format::Palette, data, pal)) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace pic
