// PNG pictures decoded from memory with libpng, any colour type, to RGBA.
#include <png.h>

#include <cstring>

#include "runtime/video.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (count > r->size - r->pos) png_error(png, "truncated picture");
  std::memcpy(out, r->data + r->pos, count);
  r->pos += count;
}

void Silent(png_structp, png_const_charp) {}
// A broken picture is reported by the null image, not on the console.
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Everything libpng touches between setjmp and a longjmp lives in the
// caller's objects, so nothing here needs to survive the jump.
bool Decode(png_structp png, png_infop info, Reader* reader, std::vector<uint8_t>* rgba,
            std::vector<png_bytep>* rows, int* width, int* height, bool* hasAlpha) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, reader, ReadFromMemory);
  png_read_info(png, info);
  png_uint_32 w = png_get_image_width(png, info);
  png_uint_32 h = png_get_image_height(png, info);
  int colorType = png_get_color_type(png, info);
  if (w == 0 || h == 0 || w > 16384 || h > 16384) return false;
  *hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_expand(png);  // palette to RGB, small greys to 8 bits, tRNS to alpha
  png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);  // no effect when alpha is there
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(w) * 4) return false;
  rgba->assign(size_t(w) * h * 4, 0);
  rows->resize(h);
  for (png_uint_32 y = 0; y < h; ++y) (*rows)[y] = rgba->data() + size_t(y) * w * 4;
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  *width = int(w);
  *height = int(h);
  return true;
}

}  // namespace

namespace rt {

bool DecodePNG(const uint8_t* data, size_t size, std::vector<uint8_t>* rgba, int* width,
               int* height, bool* hasAlpha) {
  if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Silent);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  Reader reader{data, size, 0};
  std::vector<png_bytep> rows;
  bool ok = Decode(png, info, &reader, rgba, &rows, width, height, hasAlpha);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) rgba->clear();
  return ok;
}

}  // namespace rt
