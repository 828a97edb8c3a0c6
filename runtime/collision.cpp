// Pixel-exact overlap of two image frames, placed, turned and scaled the way
// DrawImageFrame draws them: a screen pixel belongs to a frame when its
// centre maps back inside the frame onto an opaque pixel.
#include <algorithm>
#include <cmath>

#include "runtime/video.h"

namespace {

struct Box {
  int x0, y0, x1, y1;  // pixels x0 .. x1 - 1, y0 .. y1 - 1
};

// Every pixel whose centre can fall inside the frame.
Box Bounds(const rt::Placement& p) {
  Box b;
  p.ScreenBox(0, 0, p.w, p.h, &b.x0, &b.y0, &b.x1, &b.y1);
  return b;
}

bool Intersect(Box a, Box b, Box* out) {
  out->x0 = std::max(a.x0, b.x0);
  out->y0 = std::max(a.y0, b.y0);
  out->x1 = std::min(a.x1, b.x1);
  out->y1 = std::min(a.y1, b.y1);
  return out->x0 < out->x1 && out->y0 < out->y1;
}

// The source pixel under screen pixel (X, Y) when the frame is neither
// turned nor scaled: floor(X + 0.5 - x + handle), a fixed whole offset.
int Offset(double pos, double handle) { return int(std::floor(0.5 - pos + handle)); }

bool Unturned(const TImage* a, const rt::Placement& pa, int af, const TImage* b,
             const rt::Placement& pb, int bf) {
  int oax = Offset(pa.x, pa.hx), oay = Offset(pa.y, pa.hy);
  int obx = Offset(pb.x, pb.hx), oby = Offset(pb.y, pb.hy);
  Box ba{-oax, -oay, a->width - oax, a->height - oay};
  Box bb{-obx, -oby, b->width - obx, b->height - oby};
  Box both;
  if (!Intersect(ba, bb, &both)) return false;
  for (int y = both.y0; y < both.y1; ++y) {
    const uint8_t* ra = a->Frame(af) + (size_t(y + oay) * a->width) * 4 + 3;
    const uint8_t* rb = b->Frame(bf) + (size_t(y + oby) * b->width) * 4 + 3;
    for (int x = both.x0; x < both.x1; ++x)
      if (ra[size_t(x + oax) * 4] && rb[size_t(x + obx) * 4]) return true;
  }
  return false;
}

bool OpaqueAt(const TImage* img, const rt::Placement& p, int frame, double px, double py) {
  double u, v;
  if (!p.ToSource(px, py, &u, &v)) return false;
  if (!(u >= 0.0 && v >= 0.0 && u < img->width && v < img->height)) return false;
  return img->Opaque(frame, int(u), int(v));
}

}  // namespace

bool ImagesOverlap(TImage* a, int ax, int ay, int aframe, TImage* b, int bx, int by, int bframe) {
  if (!a || !b || aframe < 0 || bframe < 0 || aframe >= a->frames || bframe >= b->frames) return false;
  const DrawState& st = rt::CurrentDrawState();
  rt::Placement pa(a, ax, ay, st), pb(b, bx, by, st);
  if (pa.sx == 0.0 || pa.sy == 0.0) return false;  // drawn at no size at all
  if (pa.Identity()) return Unturned(a, pa, aframe, b, pb, bframe);
  Box both;
  if (!Intersect(Bounds(pa), Bounds(pb), &both)) return false;
  for (int y = both.y0; y < both.y1; ++y)
    for (int x = both.x0; x < both.x1; ++x)
      if (OpaqueAt(a, pa, aframe, x + 0.5, y + 0.5) && OpaqueAt(b, pb, bframe, x + 0.5, y + 0.5))
        return true;
  return false;
}
