// ImagesOverlap: exact to the pixel, frames placed by their handles and
// turned and scaled by the current drawing state, matching what is drawn.
#include <gtest/gtest.h>

#include <random>

#include "harness/harness.h"
#include "runtime/headless.h"
#include "runtime/runtime.h"

namespace {

class Overlap : public harness::HeadlessTest {
 protected:
  // A w x h picture from a predicate: opaque white where it holds, black
  // (so transparent under the mask) elsewhere.
  template <class F>
  static TImage* Shape(int w, int h, F opaque, int frames = 1) {
    std::vector<uint8_t> px(size_t(w) * h * frames * 4, 0);
    for (int f = 0; f < frames; ++f)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (opaque(x, y, f)) {
            uint8_t* p = px.data() + ((size_t(f) * h + y) * w + x) * 4;
            p[0] = p[1] = p[2] = p[3] = 255;
          }
    return CreateImageFromRGBA(px.data(), w, h * frames, w, h, frames, IMAGE_MASKED);
  }
  static TImage* Block(int w, int h) {
    return Shape(w, h, [](int, int, int) { return true; });
  }
  static TImage* CentredBlock(int w, int h) {
    TImage* img = Block(w, h);
    CentreImageHandle(img);
    return img;
  }
};

TEST_F(Overlap, SquaresTouchingEdgeToEdgeDoNotOverlapButOnePixelInDoes) {
  TImage* a = Block(10, 10);
  TImage* b = Block(10, 10);
  EXPECT_FALSE(ImagesOverlap(a, 0, 0, 0, b, 10, 0, 0));
  EXPECT_TRUE(ImagesOverlap(a, 0, 0, 0, b, 9, 0, 0));
  EXPECT_FALSE(ImagesOverlap(a, 0, 0, 0, b, -10, 0, 0));
  EXPECT_TRUE(ImagesOverlap(a, 0, 0, 0, b, -9, 0, 0));
  EXPECT_FALSE(ImagesOverlap(a, 0, 0, 0, b, 0, 10, 0));
  EXPECT_TRUE(ImagesOverlap(a, 0, 0, 0, b, 0, -9, 0));
  EXPECT_FALSE(ImagesOverlap(a, 0, 0, 0, b, 10, 10, 0)) << "corners meeting";
  EXPECT_TRUE(ImagesOverlap(a, 0, 0, 0, b, 9, 9, 0)) << "one corner pixel shared";
  EXPECT_TRUE(ImagesOverlap(b, 9, 9, 0, a, 0, 0, 0)) << "either order";
  EXPECT_TRUE(ImagesOverlap(a, -500, -500, 0, b, -491, -491, 0)) << "off screen too";
}

TEST_F(Overlap, TransparentPixelsNeverCollide) {
  // A ring: only the one-pixel border of a 10 x 10 frame is opaque.
  TImage* ring = Shape(10, 10, [](int x, int y, int) { return x == 0 || y == 0 || x == 9 || y == 9; });
  TImage* dot = Block(2, 2);
  EXPECT_FALSE(ImagesOverlap(ring, 0, 0, 0, dot, 4, 4, 0)) << "inside the hole";
  EXPECT_TRUE(ImagesOverlap(ring, 0, 0, 0, dot, 8, 4, 0)) << "on the right border";
  EXPECT_FALSE(ImagesOverlap(ring, 0, 0, 0, dot, 1, 1, 0));
  EXPECT_TRUE(ImagesOverlap(ring, 0, 0, 0, dot, 0, -1, 0));

  // Black borders around opaque cores: the frames overlap, the cores do not.
  TImage* core = Shape(10, 10, [](int x, int y, int) { return x >= 3 && x <= 6 && y >= 3 && y <= 6; });
  EXPECT_FALSE(ImagesOverlap(core, 0, 0, 0, core, 4, 0, 0));
  EXPECT_TRUE(ImagesOverlap(core, 0, 0, 0, core, 3, 3, 0));
  EXPECT_FALSE(ImagesOverlap(core, 0, 0, 0, core, 4, 4, 0));

  // A picture with its own alpha: any alpha above zero counts, black too.
  std::vector<uint8_t> px(4 * 1 * 4, 0);
  px[3] = 0;    // pixel 0: clear
  px[7] = 1;    // pixel 1: barely there, and black
  px[8] = 255;  // pixel 2: white with alpha 0
  px[11] = 0;
  px[15] = 255;  // pixel 3: opaque black
  TImage* alpha = CreateImageFromRGBA(px.data(), 4, 1, 4, 1, 1, IMAGE_DEFAULT_FLAGS);
  TImage* one = Block(1, 1);
  EXPECT_FALSE(ImagesOverlap(alpha, 0, 0, 0, one, 0, 0, 0));
  EXPECT_TRUE(ImagesOverlap(alpha, 0, 0, 0, one, 1, 0, 0));
  EXPECT_FALSE(ImagesOverlap(alpha, 0, 0, 0, one, 2, 0, 0));
  EXPECT_TRUE(ImagesOverlap(alpha, 0, 0, 0, one, 3, 0, 0));
}

TEST_F(Overlap, CentredHandlesPlaceTheCentreAtThePosition) {
  TImage* a = CentredBlock(10, 10);  // 95 .. 104
  TImage* b = CentredBlock(4, 4);
  EXPECT_TRUE(ImagesOverlap(a, 100, 100, 0, b, 100, 100, 0));
  EXPECT_FALSE(ImagesOverlap(a, 100, 100, 0, b, 107, 100, 0));  // 105 .. 108
  EXPECT_TRUE(ImagesOverlap(a, 100, 100, 0, b, 106, 100, 0));  // 104 .. 107
  EXPECT_FALSE(ImagesOverlap(a, 100, 100, 0, b, 100, 93, 0));   // 91 .. 94
  EXPECT_TRUE(ImagesOverlap(a, 100, 100, 0, b, 100, 94, 0));
  // A handle moved by hand.
  SetImageHandle(b, 0, 0);
  EXPECT_FALSE(ImagesOverlap(a, 100, 100, 0, b, 105, 100, 0));
  EXPECT_TRUE(ImagesOverlap(a, 100, 100, 0, b, 104, 100, 0));
  SetImageHandle(b, 4, 4);
  EXPECT_FALSE(ImagesOverlap(a, 100, 100, 0, b, 99, 95, 0));
  EXPECT_TRUE(ImagesOverlap(a, 100, 100, 0, b, 99, 96, 0));
}

TEST_F(Overlap, RotationTurnsBothFramesAboutTheirHandles) {
  TImage* bar = CentredBlock(40, 2);  // 80 .. 119 by 99 .. 100 at (100, 100)
  TImage* dot = CentredBlock(2, 2);
  EXPECT_TRUE(ImagesOverlap(bar, 100, 100, 0, dot, 110, 100, 0));
  EXPECT_FALSE(ImagesOverlap(bar, 100, 100, 0, dot, 100, 110, 0));
  SetDrawRotation(90);  // the bar stands upright
  EXPECT_FALSE(ImagesOverlap(bar, 100, 100, 0, dot, 110, 100, 0));
  EXPECT_TRUE(ImagesOverlap(bar, 100, 100, 0, dot, 100, 110, 0));
  EXPECT_FALSE(ImagesOverlap(bar, 100, 100, 0, dot, 100, 121, 0));
  SetDrawRotation(-270);
  EXPECT_TRUE(ImagesOverlap(bar, 100, 100, 0, dot, 100, 110, 0));

  // Turned 45 degrees clockwise the bar runs from top left to bottom right.
  TImage* thick = CentredBlock(40, 4);
  SetDrawRotation(45);
  EXPECT_TRUE(ImagesOverlap(thick, 200, 200, 0, dot, 210, 210, 0));
  EXPECT_FALSE(ImagesOverlap(thick, 200, 200, 0, dot, 210, 190, 0));
  EXPECT_TRUE(ImagesOverlap(thick, 200, 200, 0, dot, 190, 190, 0));
  EXPECT_FALSE(ImagesOverlap(thick, 200, 200, 0, dot, 216, 200, 0)) << "inside the unturned box only";

  // About a corner handle: a quarter turn swings the bar down-left.
  TImage* plain = Block(20, 2);
  SetDrawRotation(90);
  EXPECT_TRUE(ImagesOverlap(plain, 300, 300, 0, dot, 299, 315, 0));
  EXPECT_FALSE(ImagesOverlap(plain, 300, 300, 0, dot, 310, 300, 0));
}

TEST_F(Overlap, ScaleGrowsMirrorsOrHidesTheFrames) {
  TImage* a = CentredBlock(10, 10);
  TImage* dot = CentredBlock(2, 2);
  SetDrawScale(2, 2);  // a covers 90 .. 109; the dot grows to 4 x 4
  EXPECT_FALSE(ImagesOverlap(a, 100, 100, 0, dot, 112, 100, 0));
  EXPECT_TRUE(ImagesOverlap(a, 100, 100, 0, dot, 111, 100, 0));
  SetDrawScale(0.5f, 0.5f);  // 97.5 .. 102.5, the dot one pixel
  EXPECT_FALSE(ImagesOverlap(a, 100, 100, 0, dot, 104, 100, 0));
  EXPECT_TRUE(ImagesOverlap(a, 100, 100, 0, dot, 102, 100, 0));

  // Only the right-hand column of this frame is opaque.
  TImage* edge = Shape(10, 10, [](int x, int, int) { return x == 9; });
  SetDrawScale(1, 1);
  EXPECT_TRUE(ImagesOverlap(edge, 100, 100, 0, dot, 110, 105, 0));
  SetDrawScale(-1, 1);  // mirrored about its left edge: the column lands at 90
  EXPECT_FALSE(ImagesOverlap(edge, 100, 100, 0, dot, 110, 105, 0));
  EXPECT_TRUE(ImagesOverlap(edge, 100, 100, 0, dot, 91, 105, 0));

  SetDrawScale(0, 1);
  EXPECT_FALSE(ImagesOverlap(a, 100, 100, 0, a, 100, 100, 0)) << "drawn at no size";
}

TEST_F(Overlap, FramesAreChosenAndBadArgumentsGiveNoOverlap) {
  TImage* two = Shape(8, 8, [](int, int, int f) { return f == 0; }, 2);
  TImage* a = Block(8, 8);
  EXPECT_TRUE(ImagesOverlap(two, 0, 0, 0, a, 0, 0, 0));
  EXPECT_FALSE(ImagesOverlap(two, 0, 0, 1, a, 0, 0, 0)) << "frame 1 is empty";
  EXPECT_FALSE(ImagesOverlap(two, 0, 0, 2, a, 0, 0, 0));
  EXPECT_FALSE(ImagesOverlap(two, 0, 0, -1, a, 0, 0, 0));
  EXPECT_FALSE(ImagesOverlap(nullptr, 0, 0, 0, a, 0, 0, 0));
  EXPECT_FALSE(ImagesOverlap(a, 0, 0, 0, nullptr, 0, 0, 0));
}

// Reported hit against shared pixels on screen, for the current state.
bool DrawnOverlap(TImage* a, int ax, int ay, TImage* b, int bx, int by) {
  ClearDrawBuffer();
  SetDrawBlendMode(BlendMode::Light);
  SetDrawColour(255, 0, 0);
  DrawImageFrame(a, float(ax), float(ay), 0);
  SetDrawColour(0, 255, 0);
  DrawImageFrame(b, float(bx), float(by), 0);
  std::vector<uint8_t> screen = ReadScreenRGBA();
  for (size_t i = 0; i < screen.size(); i += 4)
    if (screen[i] && screen[i + 1]) return true;
  return false;
}

TEST_F(Overlap, OddSizedCentredFramesMeetWhereTheyAreDrawn) {
  // A 13 x 13 shot centred on half a pixel, against a plain 10 x 10 block.
  TImage* shot = CentredBlock(13, 13);
  TImage* block = Block(10, 10);
  int hits = 0;
  for (int dx = -18; dx <= 18; ++dx) {
    const bool reported = ImagesOverlap(shot, 300, 200, 0, block, 300 + dx, 200, 0);
    ASSERT_EQ(reported, DrawnOverlap(shot, 300, 200, block, 300 + dx, 200)) << "offset " << dx;
    hits += reported ? 1 : 0;
  }
  EXPECT_EQ(hits, 22) << "13 + 10 - 1 positions share a column";
}

// The promise the game leans on: a hit is reported exactly when the two
// frames, drawn as DrawImageFrame draws them now, share a screen pixel.
TEST_F(Overlap, AgreesWithWhatIsDrawnUnderAnyTurnAndScale) {
  std::mt19937 rng(1234);
  auto blob = [&](int w, int h) {
    std::uniform_int_distribution<int> coin(0, 2);
    std::vector<int> bits(size_t(w) * h);
    for (auto& b : bits) b = coin(rng) == 0;
    return Shape(w, h, [=](int x, int y, int) { return bits[size_t(y) * w + x] != 0; });
  };
  TImage* shapes[] = {blob(9, 13), blob(16, 6), blob(5, 5),
                      Shape(12, 12, [](int x, int y, int) { return x == y || x == 11 - y; })};
  CentreImageHandle(shapes[1]);
  SetImageHandle(shapes[3], 2.5f, 7.0f);

  std::uniform_real_distribution<float> angle(-180.0f, 180.0f), scale(0.4f, 2.6f);
  std::uniform_int_distribution<int> offset(-22, 22), pick(0, 3), sign(0, 3);
  const float quarter[] = {0.0f, 90.0f, 180.0f, 270.0f};
  int hits = 0, misses = 0;
  for (int trial = 0; trial < 300; ++trial) {
    float rot = trial % 3 == 0 ? quarter[trial / 3 % 4] : angle(rng);
    float sx = trial % 5 == 0 ? 1.0f : scale(rng), sy = trial % 5 == 0 ? 1.0f : scale(rng);
    if (sign(rng) == 0) sx = -sx;
    if (sign(rng) == 0) sy = -sy;
    TImage* a = shapes[pick(rng)];
    TImage* b = shapes[pick(rng)];
    int ax = 320, ay = 240, bx = 320 + offset(rng), by = 240 + offset(rng);

    SetDrawRotation(rot);
    SetDrawScale(sx, sy);
    const bool reported = ImagesOverlap(a, ax, ay, 0, b, bx, by, 0);

    const bool drawn = DrawnOverlap(a, ax, ay, b, bx, by);

    ASSERT_EQ(reported, drawn) << "trial " << trial << ": rotation " << rot << ", scale " << sx
                               << " x " << sy << ", second at (" << bx << ", " << by << ")";
    (drawn ? hits : misses)++;
  }
  EXPECT_GT(hits, 50);
  EXPECT_GT(misses, 50);
}

}  // namespace
