// Images: loading and cutting into frames, handles, textures, grabs and
// drawing one frame under the current drawing state.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/video.h"

namespace {

std::vector<TImage*> g_images;

int ResolveFlags(int flags) { return flags == -1 ? IMAGE_DEFAULT_FLAGS : flags; }

// With the mask flag, black is the transparent colour of a picture that has
// no transparency of its own.
void ApplyMask(std::vector<uint8_t>* rgba, int flags, bool hasAlpha) {
  if (!(flags & IMAGE_MASKED) || hasAlpha) return;
  for (size_t i = 0; i + 3 < rgba->size(); i += 4) {
    uint8_t* p = rgba->data() + i;
    if (p[0] == 0 && p[1] == 0 && p[2] == 0) p[3] = 0;
  }
}

TImage* NewImage(int w, int h, int frames, int flags) {
  auto* img = new TImage;
  img->width = w;
  img->height = h;
  img->frames = frames;
  img->flags = flags;
  img->pixels.assign(size_t(w) * h * 4 * frames, 0);
  g_images.push_back(img);
  return img;
}

// Cuts cells first .. first + count - 1 (left to right, then top to bottom)
// out of a whole picture.
TImage* Cut(const std::vector<uint8_t>& rgba, int pw, int ph, int cw, int ch, int first,
            int count, int flags) {
  if (cw <= 0 || ch <= 0 || first < 0 || count <= 0 || cw > pw || ch > ph) return nullptr;
  int columns = pw / cw, rows = ph / ch;
  if (int64_t(first) + count > int64_t(columns) * rows) return nullptr;
  TImage* img = NewImage(cw, ch, count, flags);
  for (int f = 0; f < count; ++f) {
    int cell = first + f;
    int x0 = (cell % columns) * cw, y0 = (cell / columns) * ch;
    uint8_t* dst = img->Frame(f);
    for (int y = 0; y < ch; ++y)
      std::memcpy(dst + size_t(y) * cw * 4, rgba.data() + (size_t(y0 + y) * pw + x0) * 4,
                  size_t(cw) * 4);
  }
  rt::UpdateOpaqueBoxes(img);
  return img;
}

TImage* LoadCells(const String& path, int cw, int ch, int first, int count, int flags,
                  bool whole) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(path, &bytes)) return nullptr;
  std::vector<uint8_t> rgba;
  int w = 0, h = 0;
  bool hasAlpha = false;
  if (!rt::DecodePNG(bytes.data(), bytes.size(), &rgba, &w, &h, &hasAlpha)) return nullptr;
  flags = ResolveFlags(flags);
  ApplyMask(&rgba, flags, hasAlpha);
  TImage* img = whole ? Cut(rgba, w, h, w, h, 0, 1, flags) : Cut(rgba, w, h, cw, ch, first, count, flags);
  if (img) img->name = rt::FileNameOf(path);
  return img;
}

bool ValidFrame(const TImage* img, int frame) {
  return img && frame >= 0 && frame < img->frames && img->width > 0 && img->height > 0;
}

// The texture lays the frames out in a grid, each with a border of repeated
// edge pixels, as square as the renderer's size limits allow.
bool BuildTexture(TImage* img) {
  rt::Video& v = rt::VideoState();
  int cw = img->width + 2, ch = img->height + 2;
  int columns = std::max(1, int(std::ceil(std::sqrt(double(img->frames) * ch / cw))));
  columns = std::min(columns, img->frames);
  if (v.maxTextureWidth > 0) columns = std::min(columns, v.maxTextureWidth / cw);
  if (columns < 1) return false;
  int rows = (img->frames + columns - 1) / columns;
  int tw = columns * cw, th = rows * ch;
  if (v.maxTextureHeight > 0 && th > v.maxTextureHeight) return false;

  std::vector<uint8_t> atlas(size_t(tw) * th * 4, 0);
  for (int f = 0; f < img->frames; ++f) {
    int ox = (f % columns) * cw, oy = (f / columns) * ch;
    const uint8_t* src = img->Frame(f);
    for (int y = -1; y <= img->height; ++y) {
      int sy = std::clamp(y, 0, img->height - 1);
      uint8_t* row = atlas.data() + (size_t(oy + y + 1) * tw + ox) * 4;
      const uint8_t* srow = src + size_t(sy) * img->width * 4;
      std::memcpy(row + 4, srow, size_t(img->width) * 4);
      std::memcpy(row, srow, 4);
      std::memcpy(row + size_t(cw - 1) * 4, srow + size_t(img->width - 1) * 4, 4);
    }
  }
  if (img->texture && (img->texWidth != tw || img->texHeight != th)) {
    SDL_DestroyTexture(img->texture);
    img->texture = nullptr;
  }
  if (!img->texture) {
    img->texture = SDL_CreateTexture(v.renderer, SDL_PIXELFORMAT_RGBA32,
                                     (img->flags & IMAGE_DYNAMIC) ? SDL_TEXTUREACCESS_STREAMING
                                                                  : SDL_TEXTUREACCESS_STATIC,
                                     tw, th);
    if (!img->texture) return false;
    SDL_SetTextureScaleMode(img->texture, (img->flags & IMAGE_FILTERED) ? SDL_ScaleModeLinear
                                                                         : SDL_ScaleModeNearest);
  }
  SDL_UpdateTexture(img->texture, nullptr, atlas.data(), tw * 4);
  img->texWidth = tw;
  img->texHeight = th;
  img->gridColumns = columns;
  img->dirty = false;
  return true;
}

}  // namespace

namespace rt {

void UpdateOpaqueBoxes(TImage* img) {
  img->rowShades.clear();
  img->opaqueBox.assign(size_t(img->frames), SDL_Rect{0, 0, 0, 0});
  for (int f = 0; f < img->frames; ++f) {
    const uint8_t* px = img->Frame(f);
    int x0 = img->width, y0 = img->height, x1 = -1, y1 = -1;
    for (int y = 0; y < img->height; ++y) {
      const uint8_t* row = px + size_t(y) * img->width * 4 + 3;
      int first = -1, last = -1;
      for (int x = 0; x < img->width; ++x)
        if (row[size_t(x) * 4]) {
          if (first < 0) first = x;
          last = x;
        }
      if (first < 0) continue;
      x0 = std::min(x0, first);
      x1 = std::max(x1, last);
      y0 = std::min(y0, y);
      y1 = y;
    }
    if (x1 >= 0) img->opaqueBox[size_t(f)] = SDL_Rect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  }
}

void DropAllTextures() {
  FlushBatch();
  for (TImage* img : g_images) {
    if (img->texture) SDL_DestroyTexture(img->texture);
    img->texture = nullptr;
    img->dirty = true;
  }
}

void FreeAllImages() {
  DropAllTextures();
  for (TImage* img : g_images) delete img;
  g_images.clear();
}

SDL_Texture* ImageTexture(TImage* img) {
  if (!VideoState().renderer) return nullptr;
  if (img->texture && !img->dirty) return img->texture;
  FlushBatch();  // quads waiting on the old pixels go first
  return BuildTexture(img) ? img->texture : nullptr;
}

}  // namespace rt

TImage* LoadImageResource(const String& path, int flags) {
  return LoadCells(path, 0, 0, 0, 1, flags, true);
}

TImage* LoadImageCells(const String& path, int cellWidth, int cellHeight, int firstCell,
                       int cellCount, int flags) {
  return LoadCells(path, cellWidth, cellHeight, firstCell, cellCount, flags, false);
}

TImage* CreateImageFromRGBA(const uint8_t* rgba, int w, int h, int cellW, int cellH, int cells,
                            int flags) {
  if (!rgba || w <= 0 || h <= 0) return nullptr;
  std::vector<uint8_t> pixels(rgba, rgba + size_t(w) * h * 4);
  flags = ResolveFlags(flags);
  // Pictures made here carry an alpha channel only when some pixel uses it.
  bool hasAlpha = false;
  for (size_t i = 3; i < pixels.size(); i += 4) hasAlpha |= pixels[i] != 255;
  ApplyMask(&pixels, flags, hasAlpha);
  return Cut(pixels, w, h, cellW, cellH, 0, cells, flags);
}

TImage* CreateEmptyImage(int width, int height, int frames, int flags) {
  if (width <= 0 || height <= 0 || frames <= 0) return nullptr;
  flags = ResolveFlags(flags);
  TImage* img = NewImage(width, height, frames, flags);
  // Black all over: transparent when masked, opaque otherwise.
  if (!(flags & IMAGE_MASKED))
    for (size_t i = 3; i < img->pixels.size(); i += 4) img->pixels[i] = 255;
  rt::UpdateOpaqueBoxes(img);
  return img;
}

void CentreImageHandle(TImage* image) {
  if (!image) return;
  image->handleX = image->width * 0.5f;
  image->handleY = image->height * 0.5f;
}

void SetImageHandle(TImage* image, float x, float y) {
  if (!image) return;
  image->handleX = x;
  image->handleY = y;
}

int ImageWidth(TImage* image) { return image ? image->width : 0; }
int ImageHeight(TImage* image) { return image ? image->height : 0; }
int ImageFrameCount(TImage* image) { return image ? image->frames : 0; }
float ImageHandleX(TImage* image) { return image ? image->handleX : 0.0f; }
float ImageHandleY(TImage* image) { return image ? image->handleY : 0.0f; }

void GrabImageFromScreen(TImage* image, int x, int y, int frame) {
  if (rt::DrawLogOn())
    rt::LogDraw(rt::PictureEvent(DrawEvent::Kind::Grab, image, frame, static_cast<float>(x), static_cast<float>(y)));
  if (!ValidFrame(image, frame) || !rt::DrawingEnabled()) return;
  rt::Video& v = rt::VideoState();
  int sw = v.display.width, sh = v.display.height;
  std::vector<uint8_t> screen = ReadScreenRGBA();
  uint8_t* dst = image->Frame(frame);
  bool masked = image->flags & IMAGE_MASKED;
  for (int row = 0; row < image->height; ++row) {
    for (int col = 0; col < image->width; ++col) {
      int sx = x + col, sy = y + row;
      uint8_t* p = dst + (size_t(row) * image->width + col) * 4;
      if (sx >= 0 && sy >= 0 && sx < sw && sy < sh) {
        std::memcpy(p, screen.data() + (size_t(sy) * sw + sx) * 4, 3);
      } else {
        p[0] = p[1] = p[2] = 0;
      }
      p[3] = (masked && p[0] == 0 && p[1] == 0 && p[2] == 0) ? 0 : 255;
    }
  }
  image->dirty = true;
  rt::UpdateOpaqueBoxes(image);
  rt::HoldScreenOverlay(image, frame, x, y);
}

void DrawImageFrame(TImage* image, float x, float y, int frame) {
  if (rt::DrawLogOn()) rt::LogDraw(rt::PictureEvent(DrawEvent::Kind::Image, image, frame, x, y));
  if (!ValidFrame(image, frame) || !rt::DrawingEnabled()) return;
  SDL_Texture* tex = rt::ImageTexture(image);
  if (!tex) return;
  const DrawState& st = rt::CurrentDrawState();
  rt::Placement place(image, x, y, st);
  if (place.sx == 0.0 || place.sy == 0.0) return;
  if (rt::TakenByScreenOverlay(image, frame, place, st)) return;
  SDL_BlendMode blend = st.blend == BlendMode::Light ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
  Uint8 alpha = Uint8(std::lround(st.alpha * 255.0f));
  int fx = (frame % image->gridColumns) * (image->width + 2) + 1;
  int fy = (frame / image->gridColumns) * (image->height + 2) + 1;

  const SDL_Rect box = image->opaqueBox[size_t(frame)];
  if (box.w <= 0 || box.h <= 0) return;  // nothing to see
  rt::LayHeldOverlay(image, frame, place, st);

  if (rt::VideoState().surface) {
    // Headless: plain frames through the renderer's blitter, turned or
    // scaled ones through our own exact rasteriser.
    if (!place.Identity()) {
      rt::SoftDrawFrame(image, frame, place, st);
      return;
    }
    SDL_SetTextureBlendMode(tex, blend);
    SDL_SetTextureScaleMode(tex, (image->flags & IMAGE_FILTERED) ? SDL_ScaleModeLinear
                                                                  : SDL_ScaleModeNearest);
    SDL_SetTextureColorMod(tex, Uint8(st.red), Uint8(st.green), Uint8(st.blue));
    SDL_SetTextureAlphaMod(tex, alpha);
    SDL_Rect src{fx + box.x, fy + box.y, box.w, box.h};
    SDL_FRect dst{float(x - image->handleX + box.x), float(y - image->handleY + box.y),
                  float(box.w), float(box.h)};
    SDL_RenderCopyF(rt::VideoState().renderer, tex, &src, &dst);
    return;
  }
  // Accelerated: the corners of the frame's opaque part (with a pixel to
  // spare for filtering), placed by the same mapping the collision test
  // uses, join the batch of quads sharing this texture.
  bool aligned = place.Identity() && x - image->handleX == std::floor(x - image->handleX) &&
                 y - image->handleY == std::floor(y - image->handleY);
  bool filtered = (image->flags & IMAGE_FILTERED) && !aligned;
  int margin = filtered ? 1 : 0;
  double u0 = std::max(0, box.x - margin), v0 = std::max(0, box.y - margin);
  double u1 = std::min(image->width, box.x + box.w + margin);
  double v1 = std::min(image->height, box.y + box.h + margin);
  SDL_Vertex v[4];
  const double corner[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
  SDL_Color colour{Uint8(st.red), Uint8(st.green), Uint8(st.blue), alpha};
  for (int i = 0; i < 4; ++i) {
    double u = corner[i][0], w = corner[i][1];
    double dx, dy;
    place.ToScreen(u, w, &dx, &dy);
    v[i].position = SDL_FPoint{float(dx), float(dy)};
    v[i].color = colour;
    v[i].tex_coord = SDL_FPoint{float((fx + u) / image->texWidth), float((fy + w) / image->texHeight)};
  }
  rt::BatchQuad(tex, blend, filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest, v);
}
