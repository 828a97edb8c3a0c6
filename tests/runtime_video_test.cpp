// Drawing, images, read-back, display reopening and frame pacing, checked on
// the headless back buffer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "harness/harness.h"
#include "runtime/headless.h"
#include "runtime/runtime.h"
#include "runtime/screenfit.h"

using harness::PixelNear;
using harness::PngKind;
using harness::Rgb;

namespace {

constexpr int kMaskedOnly = IMAGE_MASKED;  // sharp edges for exact pixel checks

std::vector<uint8_t> Solid(int w, int h, int r, int g, int b, int a = 255) {
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (size_t i = 0; i < px.size(); i += 4) {
    px[i] = uint8_t(r);
    px[i + 1] = uint8_t(g);
    px[i + 2] = uint8_t(b);
    px[i + 3] = uint8_t(a);
  }
  return px;
}

void Put(std::vector<uint8_t>& px, int w, int x, int y, int r, int g, int b, int a = 255) {
  uint8_t* p = px.data() + (size_t(y) * w + x) * 4;
  p[0] = uint8_t(r);
  p[1] = uint8_t(g);
  p[2] = uint8_t(b);
  p[3] = uint8_t(a);
}

TImage* SolidImage(int w, int h, int r, int g, int b, int flags = kMaskedOnly) {
  auto px = Solid(w, h, r, g, b);
  return CreateImageFromRGBA(px.data(), w, h, w, h, 1, flags);
}

void Background(int r, int g, int b) {
  DrawState keep = GetDrawState();
  SetDrawColour(r, g, b);
  SetDrawAlpha(1);
  SetDrawBlendMode(BlendMode::Alpha);
  FillRectangle(0, 0, 640, 480);
  SetDrawColour(keep.red, keep.green, keep.blue);
  SetDrawAlpha(keep.alpha);
  SetDrawBlendMode(keep.blend);
}

void ResetDrawState() {
  SetDrawColour(255, 255, 255);
  SetDrawAlpha(1);
  SetDrawBlendMode(BlendMode::Alpha);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
}

class Video : public harness::HeadlessTest {};
class Pacing : public harness::NullDrawingTest {};

// --- blending, colour and clamping ------------------------------------------

TEST_F(Video, AlphaAndLightBlendsMixWithTheBackBuffer) {
  TImage* green = SolidImage(8, 8, 0, 200, 0);
  TImage* grey = SolidImage(8, 8, 100, 100, 100);
  Background(100, 50, 0);

  SetDrawAlpha(0.5f);
  DrawImageFrame(green, 10, 10, 0);  // alpha: half image, half back buffer
  EXPECT_TRUE(PixelNear(13, 13, Rgb(50, 125, 0), 2));

  SetDrawBlendMode(BlendMode::Light);
  DrawImageFrame(grey, 30, 10, 0);  // light: image times alpha added
  EXPECT_TRUE(PixelNear(33, 13, Rgb(150, 100, 50), 2));

  SetDrawAlpha(1);
  DrawImageFrame(grey, 50, 10, 0);
  DrawImageFrame(grey, 50, 10, 0);
  DrawImageFrame(grey, 50, 10, 0);  // light saturates at white
  EXPECT_TRUE(PixelNear(53, 13, Rgb(255, 255, 255), 0));
  EXPECT_TRUE(PixelNear(49, 13, Rgb(100, 50, 0), 0)) << "nothing outside the frame";
}

TEST_F(Video, ColourMultipliesAndFillUsesColourAlphaAndBlend) {
  TImage* img = SolidImage(8, 8, 200, 100, 50);
  SetDrawColour(128, 255, 0);
  DrawImageFrame(img, 0, 0, 0);
  EXPECT_TRUE(PixelNear(4, 4, Rgb(100, 100, 0), 2));

  SetDrawColour(0, 0, 200);
  SetDrawAlpha(0.25f);
  FillRectangle(20, 20, 10, 5);
  EXPECT_TRUE(PixelNear(20, 20, Rgb(0, 0, 50), 2));
  EXPECT_TRUE(PixelNear(29, 24, Rgb(0, 0, 50), 2));
  EXPECT_TRUE(PixelNear(30, 24, 0, 0));
  EXPECT_TRUE(PixelNear(29, 25, 0, 0));

  ClearDrawBuffer();
  EXPECT_TRUE(PixelNear(20, 20, 0, 0));
}

TEST_F(Video, ColourAndAlphaOutsideTheirRangeDrawAsTheNearerEnd) {
  SetDrawColour(300, -5, 128);
  SetDrawAlpha(1.5f);
  DrawState st = GetDrawState();
  EXPECT_EQ(st.red, 255);
  EXPECT_EQ(st.green, 0);
  EXPECT_EQ(st.blue, 128);
  EXPECT_FLOAT_EQ(st.alpha, 1.0f);
  FillRectangle(0, 0, 4, 4);
  EXPECT_TRUE(PixelNear(1, 1, Rgb(255, 0, 128), 1));

  SetDrawAlpha(-0.2f);
  EXPECT_FLOAT_EQ(GetDrawState().alpha, 0.0f);
  SetDrawColour(0, 255, 0);
  FillRectangle(0, 0, 4, 4);  // fully transparent: leaves the pixel alone
  EXPECT_TRUE(PixelNear(1, 1, Rgb(255, 0, 128), 1));
}

// --- loading, masks and cells ---------------------------------------------------

TEST_F(Video, BlackIsTransparentOnlyInPicturesWithoutAlpha) {
  // Left half black, right half orange; the RGBA copy has an opaque black
  // pixel and a see-through white one.
  auto px = Solid(8, 4, 0, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 4; x < 8; ++x) Put(px, 8, x, y, 250, 120, 10);
  harness::RegisterPNG(u"res\\vt_rgb.png", px.data(), 8, 4, PngKind::RGB);
  harness::RegisterPNG(u"res\\vt_pal.png", px.data(), 8, 4, PngKind::Palette);
  auto alpha = px;
  Put(alpha, 8, 7, 0, 255, 255, 255, 0);
  harness::RegisterPNG(u"res\\vt_rgba.png", alpha.data(), 8, 4, PngKind::RGBA);

  TImage* rgb = LoadImageResource(u"IncBin::res\\vt_rgb.png", IMAGE_DEFAULT_FLAGS);
  TImage* pal = LoadImageResource(u"incbin::res\\vt_pal.png", -1);  // -1 asks for the defaults too
  TImage* rgba = LoadImageResource(u"IncBin::res\\vt_rgba.png", IMAGE_DEFAULT_FLAGS);
  TImage* plain = LoadImageResource(u"IncBin::res\\vt_rgb.png", 0);
  ASSERT_TRUE(rgb && pal && rgba && plain);
  EXPECT_EQ(ImageWidth(rgb), 8);
  EXPECT_EQ(ImageHeight(rgb), 4);
  EXPECT_EQ(ImageFrameCount(rgb), 1);
  EXPECT_EQ(ImageHandleX(rgb), 0.0f);

  Background(0, 0, 255);
  DrawImageFrame(rgb, 0, 0, 0);
  DrawImageFrame(pal, 0, 10, 0);
  DrawImageFrame(rgba, 0, 20, 0);
  DrawImageFrame(plain, 0, 30, 0);
  for (int y : {1, 11}) {
    EXPECT_TRUE(PixelNear(1, y, Rgb(0, 0, 255), 0)) << "masked black shows the back buffer";
    EXPECT_TRUE(PixelNear(5, y, Rgb(250, 120, 10), 0));
  }
  EXPECT_TRUE(PixelNear(1, 21, 0, 0)) << "RGBA black is opaque";
  EXPECT_TRUE(PixelNear(7, 20, Rgb(0, 0, 255), 0)) << "RGBA alpha 0 is transparent";
  EXPECT_TRUE(PixelNear(1, 31, 0, 0)) << "without the mask flag black is drawn";
}

TEST_F(Video, GreyPicturesDecodeAndBadLoadsGiveNull) {
  auto px = Solid(4, 4, 90, 90, 90);
  harness::RegisterPNG(u"res\\vt_grey.png", px.data(), 4, 4, PngKind::Grey);
  TImage* grey = LoadImageResource(u"IncBin::res\\vt_grey.png", IMAGE_DEFAULT_FLAGS);
  ASSERT_NE(grey, nullptr);
  DrawImageFrame(grey, 0, 0, 0);
  EXPECT_TRUE(PixelNear(2, 2, Rgb(90, 90, 90), 0));

  EXPECT_EQ(LoadImageResource(u"IncBin::res\\nothing.png", IMAGE_DEFAULT_FLAGS), nullptr);
  EXPECT_EQ(LoadImageResource(u"IncBin::res\\VT_GREY.png", IMAGE_DEFAULT_FLAGS), nullptr) << "names keep case";
  static const char junk[] = "not a picture at all";
  IncbinRegister(u"res\\vt_junk.png", junk, sizeof junk);
  EXPECT_EQ(LoadImageResource(u"IncBin::res\\vt_junk.png", IMAGE_DEFAULT_FLAGS), nullptr);
  // A truncated PNG fails cleanly instead of reading past its end.
  auto bytes = harness::EncodePNG(px.data(), 4, 4, PngKind::RGB);
  static std::vector<uint8_t> half;
  half.assign(bytes.begin(), bytes.begin() + long(bytes.size() / 2));
  IncbinRegister(u"res\\vt_half.png", half.data(), half.size());
  EXPECT_EQ(LoadImageResource(u"IncBin::res\\vt_half.png", IMAGE_DEFAULT_FLAGS), nullptr);
}

TEST_F(Video, CellsRunLeftToRightThenTopToBottom) {
  // A 3 x 2 grid of 4 x 4 cells, cell k coloured (10 * (k + 1), 0, 0).
  std::vector<uint8_t> px(12 * 8 * 4);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) Put(px, 12, x, y, 10 * ((y / 4) * 3 + x / 4 + 1), 0, 0);
  harness::RegisterPNG(u"res\\vt_cells.png", px.data(), 12, 8, PngKind::RGB);

  TImage* all = LoadImageCells(u"IncBin::res\\vt_cells.png", 4, 4, 0, 6, IMAGE_DEFAULT_FLAGS);
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(ImageFrameCount(all), 6);
  EXPECT_EQ(ImageWidth(all), 4);
  for (int f = 0; f < 6; ++f) {
    DrawImageFrame(all, float(f * 10), 0, f);
    EXPECT_TRUE(PixelNear(f * 10 + 2, 2, Rgb(10 * (f + 1), 0, 0), 0)) << "frame " << f;
  }
  TImage* tail = LoadImageCells(u"IncBin::res\\vt_cells.png", 4, 4, 4, 2, IMAGE_DEFAULT_FLAGS);
  ASSERT_NE(tail, nullptr);
  DrawImageFrame(tail, 0, 20, 1);
  EXPECT_TRUE(PixelNear(2, 22, Rgb(60, 0, 0), 0));

  EXPECT_EQ(LoadImageCells(u"IncBin::res\\vt_cells.png", 4, 4, 0, 7, IMAGE_DEFAULT_FLAGS), nullptr)
      << "more cells than the picture holds";
  EXPECT_EQ(LoadImageCells(u"IncBin::res\\vt_cells.png", 5, 5, 0, 3, IMAGE_DEFAULT_FLAGS), nullptr)
      << "only whole cells count";
  EXPECT_EQ(LoadImageCells(u"IncBin::res\\vt_cells.png", 0, 4, 0, 1, IMAGE_DEFAULT_FLAGS), nullptr);
  DrawImageFrame(all, 100, 100, 6);  // a frame out of range draws nothing
  DrawImageFrame(nullptr, 100, 100, 0);
  EXPECT_TRUE(PixelNear(101, 101, 0, 0));
}

// --- handles, rotation, scale ---------------------------------------------------

TEST_F(Video, FramesAreDrawnAtTheirHandle) {
  TImage* img = SolidImage(10, 6, 255, 0, 0);
  DrawImageFrame(img, 100, 100, 0);
  EXPECT_TRUE(PixelNear(100, 100, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(109, 105, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(99, 100, 0, 0));
  EXPECT_TRUE(PixelNear(110, 100, 0, 0));

  ClearDrawBuffer();
  CentreImageHandle(img);
  EXPECT_EQ(ImageHandleX(img), 5.0f);
  EXPECT_EQ(ImageHandleY(img), 3.0f);
  DrawImageFrame(img, 100, 100, 0);  // covers 95..104 x 97..102
  EXPECT_TRUE(PixelNear(95, 97, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(104, 102, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(94, 100, 0, 0));
  EXPECT_TRUE(PixelNear(105, 100, 0, 0));
  EXPECT_TRUE(PixelNear(100, 103, 0, 0));

  ClearDrawBuffer();
  SetImageHandle(img, 10, 6);
  DrawImageFrame(img, 100, 100, 0);  // bottom-right corner at the position
  EXPECT_TRUE(PixelNear(99, 99, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(100, 100, 0, 0));
}

TEST_F(Video, RotationTurnsClockwiseAboutTheHandle) {
  // A 20 x 4 bar, red at its left end, green at its right end.
  auto px = Solid(20, 4, 255, 255, 255);
  for (int y = 0; y < 4; ++y) {
    Put(px, 20, 0, y, 255, 0, 0);
    Put(px, 20, 19, y, 0, 255, 0);
  }
  TImage* bar = CreateImageFromRGBA(px.data(), 20, 4, 20, 4, 1, kMaskedOnly);
  SetImageHandle(bar, 0, 0);

  SetDrawRotation(90);  // the bar now hangs down from (200, 200), to the left
  DrawImageFrame(bar, 200, 200, 0);
  EXPECT_TRUE(PixelNear(198, 200, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(198, 219, Rgb(0, 255, 0), 0));
  EXPECT_TRUE(PixelNear(198, 210, Rgb(255, 255, 255), 0));
  EXPECT_TRUE(PixelNear(201, 210, 0, 0));
  EXPECT_TRUE(PixelNear(198, 221, 0, 0));

  // About a centred handle: a half turn swaps the ends in place.
  ClearDrawBuffer();
  CentreImageHandle(bar);
  SetDrawRotation(180);
  DrawImageFrame(bar, 300, 300, 0);
  EXPECT_TRUE(PixelNear(290, 300, Rgb(0, 255, 0), 0));
  EXPECT_TRUE(PixelNear(309, 300, Rgb(255, 0, 0), 0));

  // 45 degrees: the centre stays put, the far end lies down and right.
  ClearDrawBuffer();
  SetDrawRotation(45);
  DrawImageFrame(bar, 300, 300, 0);
  EXPECT_TRUE(PixelNear(300, 300, Rgb(255, 255, 255), 0));
  EXPECT_TRUE(PixelNear(305, 305, Rgb(255, 255, 255), 0));
  EXPECT_TRUE(PixelNear(305, 295, 0, 0));
  EXPECT_TRUE(PixelNear(308, 300, 0, 0));
}

TEST_F(Video, ScaleGrowsAboutTheHandleAndNegativeMirrors) {
  auto px = Solid(4, 4, 255, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 2; x < 4; ++x) Put(px, 4, x, y, 0, 0, 255);  // left red, right blue
  TImage* img = CreateImageFromRGBA(px.data(), 4, 4, 4, 4, 1, kMaskedOnly);

  SetDrawScale(3, 2);
  DrawImageFrame(img, 10, 10, 0);  // 12 x 8 from (10, 10)
  EXPECT_TRUE(PixelNear(10, 10, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(15, 17, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(16, 17, Rgb(0, 0, 255), 0));
  EXPECT_TRUE(PixelNear(21, 17, Rgb(0, 0, 255), 0));
  EXPECT_TRUE(PixelNear(22, 17, 0, 0));
  EXPECT_TRUE(PixelNear(21, 18, 0, 0));

  // Mirrored about a handle at the left edge: lands left of the position,
  // blue now on the left.
  SetDrawScale(-1, 1);
  DrawImageFrame(img, 100, 10, 0);
  EXPECT_TRUE(PixelNear(96, 11, Rgb(0, 0, 255), 0));
  EXPECT_TRUE(PixelNear(99, 11, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(100, 11, 0, 0));

  SetDrawScale(0, 1);  // no size at all: nothing drawn
  DrawImageFrame(img, 200, 10, 0);
  EXPECT_TRUE(PixelNear(200, 11, 0, 0));
}

TEST_F(Video, FilteredScalingBlendsNeighboursAndRepeatsTheEdges) {
  // Two pixels, red and blue, four times as wide: pixel centres fall at
  // u = (x + 0.5) / 4, mixing the two around u - 0.5.
  std::vector<uint8_t> px = {255, 0, 0, 255, 0, 0, 255, 255};
  TImage* img = CreateImageFromRGBA(px.data(), 2, 1, 2, 1, 1, IMAGE_FILTERED);
  SetDrawScale(4, 4);
  DrawImageFrame(img, 100, 100, 0);
  EXPECT_TRUE(PixelNear(100, 101, Rgb(255, 0, 0), 2)) << "the edge repeats, not fades";
  EXPECT_TRUE(PixelNear(101, 101, Rgb(255, 0, 0), 2));
  EXPECT_TRUE(PixelNear(103, 101, Rgb(159, 0, 96), 3));
  EXPECT_TRUE(PixelNear(104, 101, Rgb(96, 0, 159), 3));
  EXPECT_TRUE(PixelNear(107, 101, Rgb(0, 0, 255), 2));
  EXPECT_TRUE(PixelNear(108, 101, 0, 0));

  // A solid filtered frame keeps its colour inside wherever it is turned.
  TImage* solid = SolidImage(16, 16, 40, 180, 90, IMAGE_DEFAULT_FLAGS);
  CentreImageHandle(solid);
  SetDrawScale(1.5f, 1.5f);
  SetDrawRotation(37);
  DrawImageFrame(solid, 300, 300, 0);
  for (int d = -6; d <= 6; d += 3) EXPECT_TRUE(PixelNear(300 + d, 300 - d, Rgb(40, 180, 90), 1));
}

TEST_F(Video, FillRectangleFollowsRotationAndScale) {
  SetDrawColour(0, 255, 0);
  SetDrawScale(2, 1);
  SetDrawRotation(90);  // 10 x 4 scaled to 20 x 4, then turned to hang down-left
  FillRectangle(100, 100, 10, 4);
  EXPECT_TRUE(PixelNear(98, 118, Rgb(0, 255, 0), 0));
  EXPECT_TRUE(PixelNear(98, 122, 0, 0));
  EXPECT_TRUE(PixelNear(102, 110, 0, 0));
}

// --- grabs, reopening, read-back ------------------------------------------------

TEST_F(Video, GrabIntoAMaskedDynamicImageReproducesTheScreenWithBlackSeeThrough) {
  TImage* grab = CreateEmptyImage(640, 480, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
  ASSERT_NE(grab, nullptr);
  SetDrawColour(200, 30, 40);
  FillRectangle(10, 10, 20, 20);
  SetDrawColour(255, 255, 255);
  GrabImageFromScreen(grab, 0, 0, 0);

  Background(0, 0, 120);
  DrawImageFrame(grab, 0, 0, 0);
  EXPECT_TRUE(PixelNear(15, 15, Rgb(200, 30, 40), 0));
  EXPECT_TRUE(PixelNear(100, 100, Rgb(0, 0, 120), 0)) << "black of the grab is transparent";

  // Dimming a grabbed frame the way the dialogs do.
  ClearDrawBuffer();
  SetDrawAlpha(0.5f);
  DrawImageFrame(grab, 0, 0, 0);
  EXPECT_TRUE(PixelNear(15, 15, Rgb(100, 15, 20), 2));

  // A grab is taken as the screen stands: a later grab replaces it.
  ClearDrawBuffer();
  SetDrawAlpha(1);
  SetDrawColour(0, 255, 0);
  FillRectangle(300, 300, 5, 5);
  SetDrawColour(255, 255, 255);
  GrabImageFromScreen(grab, 0, 0, 0);
  ClearDrawBuffer();
  DrawImageFrame(grab, 0, 0, 0);
  EXPECT_TRUE(PixelNear(302, 302, Rgb(0, 255, 0), 0));
  EXPECT_TRUE(PixelNear(15, 15, 0, 0));
}

TEST_F(Video, ReopeningTheDisplayKeepsImagesGrabsAndDrawingState) {
  TImage* img = SolidImage(6, 6, 10, 200, 30);
  DrawImageFrame(img, 0, 0, 0);  // its texture exists before the reopen
  TImage* grab = CreateEmptyImage(640, 480, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
  SetDrawColour(255, 0, 255);
  FillRectangle(50, 50, 4, 4);
  GrabImageFromScreen(grab, 0, 0, 0);

  SetDrawColour(255, 128, 255);
  SetDrawAlpha(0.5f);
  SetDrawBlendMode(BlendMode::Light);
  SetDrawRotation(30);
  SetDrawScale(2, 3);
  DrawState before = GetDrawState();
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);  // the other mode
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 0, 60, 0), nullptr);   // and back
  DrawState after = GetDrawState();
  EXPECT_EQ(after.red, before.red);
  EXPECT_EQ(after.green, before.green);
  EXPECT_EQ(after.alpha, before.alpha);
  EXPECT_EQ(after.blend, before.blend);
  EXPECT_EQ(after.rotation, before.rotation);
  EXPECT_EQ(after.scaleY, before.scaleY);
  EXPECT_TRUE(DisplayIsOpen());

  ResetDrawState();
  EXPECT_TRUE(PixelNear(2, 2, 0, 0)) << "a reopened display starts black";
  DrawImageFrame(img, 0, 0, 0);
  DrawImageFrame(grab, 100, 100, 0);
  EXPECT_TRUE(PixelNear(2, 2, Rgb(10, 200, 30), 0));
  EXPECT_TRUE(PixelNear(151, 151, Rgb(255, 0, 255), 0));
}

TEST_F(Video, ScreenReadBackAgreesAndSavesAsAPicture) {
  SetDrawColour(1, 2, 3);
  FillRectangle(0, 0, 1, 1);
  SetDrawColour(250, 128, 7);
  FillRectangle(639, 479, 1, 1);
  std::vector<uint8_t> rgba = ReadScreenRGBA();
  ASSERT_EQ(rgba.size(), size_t(640 * 480 * 4));
  EXPECT_EQ(rgba[0], 1);
  EXPECT_EQ(rgba[2], 3);
  size_t last = (size_t(479) * 640 + 639) * 4;
  EXPECT_EQ(rgba[last], 250);
  EXPECT_EQ(rgba[last + 1], 128);
  EXPECT_EQ(ReadScreenPixel(639, 479), Rgb(250, 128, 7));
  EXPECT_EQ(ReadScreenPixel(640, 0), 0u) << "outside the screen";
  SetDrawColour(255, 255, 255);

  const std::string file = "video_test_saved.png";
  ASSERT_TRUE(SaveScreenPNG(file));
  std::ifstream in(file, std::ios::binary);
  static std::vector<uint8_t> bytes;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  std::remove(file.c_str());
  IncbinRegister(u"res\\vt_saved.png", bytes.data(), bytes.size());
  TImage* back = LoadImageResource(u"IncBin::res\\vt_saved.png", 0);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ImageWidth(back), 640);
  ClearDrawBuffer();
  DrawImageFrame(back, 0, 0, 0);
  EXPECT_EQ(ReadScreenPixel(0, 0), Rgb(1, 2, 3));
  EXPECT_EQ(ReadScreenPixel(639, 479), Rgb(250, 128, 7));
}

// --- the window path (SDL's dummy video driver under the test runner) -------

class WindowPath : public harness::HeadlessTest {
 protected:
  RuntimeOptions Options() const override {
    RuntimeOptions o = HeadlessTest::Options();
    o.headless = false;
    return o;
  }
};

TEST_F(WindowPath, QueuedFramesRectanglesAndGrabsKeepTheirOrder) {
  TImage* red = SolidImage(10, 10, 255, 0, 0);
  TImage* grab = CreateEmptyImage(640, 480, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
  DrawImageFrame(red, 0, 0, 0);
  DrawImageFrame(red, 20, 0, 0);
  SetDrawColour(0, 0, 255);
  FillRectangle(5, 0, 20, 5);  // over both frames, after them
  SetDrawColour(255, 255, 255);
  DrawImageFrame(red, 22, 2, 0);  // and a frame over the rectangle again
  EXPECT_TRUE(PixelNear(2, 7, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(7, 2, Rgb(0, 0, 255), 0));
  EXPECT_TRUE(PixelNear(23, 3, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(15, 7, 0, 0));

  GrabImageFromScreen(grab, 0, 0, 0);
  PresentFrame(-1);
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 0, 60, 0), nullptr);
  SetDrawScale(1, 1);
  DrawImageFrame(grab, 100, 100, 0);
  EXPECT_TRUE(PixelNear(107, 102, Rgb(0, 0, 255), 0));
  EXPECT_TRUE(PixelNear(123, 103, Rgb(255, 0, 0), 0));
  EXPECT_TRUE(PixelNear(2, 7, 0, 0));
}

// --- no display, and the display going away ---------------------------------

// Started where there is no display: SDL falls back to a driver of its own
// that draws off screen, which the program must not take for a display.
TEST(NoDisplay, AnOffScreenDriverServesOnlyWhenAskedForByName) {
  // A console with a graphics card may give SDL a real display of its own.
  if (access("/dev/dri", F_OK) == 0) GTEST_SKIP() << "a DRM device here";
  GTEST_FLAG_SET(death_test_style, "fast");  // each case a fork of this process
  auto startWith = [](const char* driverAsked) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    // Where no compositor listens, so the search for one says nothing.
    setenv("XDG_RUNTIME_DIR", std::filesystem::current_path().c_str(), 1);
    if (driverAsked) setenv("SDL_VIDEODRIVER", driverAsked, 1);
    else unsetenv("SDL_VIDEODRIVER");
    SetRuntimeOptions({.nullAudio = true});
    RuntimeStartServices();
  };
  // Full screen, then the window: neither, and one line says why.
  EXPECT_EXIT(
      {
        startWith(nullptr);
        const bool none = !OpenGraphicsDisplay(640, 480, 16, 60, 0) &&
                          !OpenGraphicsDisplay(640, 480, 0, 60, 0) && !DisplayIsOpen();
        std::_Exit(none ? 1 : 0);
      },
      ::testing::ExitedWithCode(1),
      "^no display: set DISPLAY or WAYLAND_DISPLAY, or run under a desktop\n$");
  // The same drivers asked for by name, as the tests and tools do.
  for (const char* driver : {"offscreen", "dummy"}) {
    EXPECT_EXIT(
        {
          startWith(driver);
          std::_Exit(OpenGraphicsDisplay(640, 480, 0, 60, 0) && DisplayIsOpen() ? 1 : 0);
        },
        ::testing::ExitedWithCode(1), "^$")
        << driver;
  }
}

// An X server of our own, on a display number it picks. Not there: pid 0.
struct XServer {
  pid_t pid = 0;
  std::string display;
  XServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid = fork();
    if (pid == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
             "800x600x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The number, then a line feed: the server dies when it cannot write both.
    std::string number;
    char c = 0;
    while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (c != '\n' || number.empty()) {
      Kill();
      return;
    }
    display = ":" + number;
  }
  ~XServer() { Kill(); }
  void Kill() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);  // it removes its lock file and socket
    waitpid(pid, nullptr, 0);
    pid = 0;
  }
};

TEST(LostDisplay, TheXServerGoingRunsTheCloseHandlerOnceAndEndsWithStatusOne) {
  XServer x;
  if (x.pid <= 0) GTEST_SKIP() << "no Xvfb here";
  // The child is a fork of this process, so it can end the server itself.
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("DISPLAY", x.display.c_str(), 1);
        SetRuntimeOptions({.nullAudio = true});
        RuntimeStartServices();
        if (!OpenGraphicsDisplay(640, 480, 0, 60, 0)) std::_Exit(4);
        SetCloseRequestHandler([] { std::fprintf(stderr, "settings saved\n"); });
        PresentFrame(-1);
        kill(x.pid, SIGTERM);
        for (int frame = 0; frame < 600; ++frame) {
          ClearDrawBuffer();
          PresentFrame(-1);
        }
        std::_Exit(3);  // not reached: the first request to the server ends the program
      },
      ::testing::ExitedWithCode(1), "^the display's connection is lost: ending\nsettings saved\n$");
}

// --- bringing the picture to the size of the screen ------------------------------

TEST(ScreenFitting, WholeFactorFirstThenFilteringToTheFinalSizeWithTheShapeKept) {
  struct Case {
    int screenW, screenH, maxTexture;
    int factor;
    bool linear;
    int x, y, w, h;
  } cases[] = {
      {640, 480, 0, 1, false, 0, 0, 640, 480},        // the window: as it is
      {1280, 960, 0, 2, false, 0, 0, 1280, 960},      // exact doubling: no filter
      {1280, 1024, 0, 2, false, 0, 32, 1280, 960},    // 5:4, bars above and below
      {2560, 1440, 0, 3, false, 320, 0, 1920, 1440},  // exact, bars at the sides
      {1024, 768, 0, 2, true, 0, 0, 1024, 768},       // 1.6: doubled, then shrunk
      {800, 600, 0, 2, true, 0, 0, 800, 600},
      {1366, 768, 0, 2, true, 171, 0, 1024, 768},
      {1920, 1080, 0, 2, true, 240, 0, 1440, 1080},   // 2.25: doubled, then enlarged
      {3840, 2160, 0, 4, true, 480, 0, 2880, 2160},
      {3840, 2160, 2048, 3, true, 480, 0, 2880, 2160},  // the enlarged picture must fit
      {3840, 2160, 1024, 1, true, 480, 0, 2880, 2160},  // none fits: filtering alone
      {320, 240, 0, 1, true, 0, 0, 320, 240},         // smaller than the picture
  };
  for (const Case& c : cases) {
    ScreenFit fit = FitPictureToScreen(640, 480, c.screenW, c.screenH, c.maxTexture, c.maxTexture);
    std::string at = std::to_string(c.screenW) + " x " + std::to_string(c.screenH) + " max " +
                     std::to_string(c.maxTexture);
    EXPECT_EQ(fit.factor, c.factor) << at;
    EXPECT_EQ(fit.linearStep, c.linear) << at;
    EXPECT_EQ(fit.x, c.x) << at;
    EXPECT_EQ(fit.y, c.y) << at;
    EXPECT_EQ(fit.width, c.w) << at;
    EXPECT_EQ(fit.height, c.h) << at;
    // The shape stays 4:3 to the pixel and the picture stays on the screen.
    EXPECT_LE(std::abs(fit.width * 3 - fit.height * 4), 4) << at;
    EXPECT_LE(fit.x + fit.width, c.screenW) << at;
    EXPECT_LE(fit.y + fit.height, c.screenH) << at;
  }
}

TEST(ScreenFitting, TheOverlayComesOutInEvenRowsAsDarkOnAverageAtAnyScale) {
  // The scan lines once (every other row 28% dark, a trace of blue) and
  // twice over (the main menu).
  OverlayShade once, twice;
  once.darkening = 0.5 * 0.28;
  once.added[2] = 0.5 * 0.28 * 8;
  twice.darkening = 0.5 * (1 - 0.72 * 0.72);
  twice.added[2] = 0.5 * (0.28 * 8 * 0.72 + 0.28 * 8);
  for (int shown : {480, 600, 768, 960, 1080, 2160}) {
    for (const OverlayShade& shade : {once, twice}) {
      const std::string at = std::to_string(shown) + " rows, darkening " + std::to_string(shade.darkening);
      const EvenOverlay even = EvenOverlayFor(shade, 480, shown);
      const double scale = shown / 480.0;
      // About one picture row thick, two apart, in whole screen rows.
      EXPECT_LE(std::abs(even.period - 2 * scale), 0.5) << at;
      EXPECT_LE(std::abs(even.thickness - scale), 0.5) << at;
      // Exactly periodic from the top of the picture to its bottom.
      ASSERT_FALSE(even.bands.empty()) << at;
      int dark = 0;
      for (size_t i = 0; i < even.bands.size(); ++i) {
        EXPECT_EQ(even.bands[i].y, even.bands[0].y + int(i) * even.period) << at << " band " << i;
        EXPECT_EQ(even.bands[i].height, even.thickness) << at << " band " << i;
        dark += even.bands[i].height;
      }
      EXPECT_LT(even.bands[0].y, even.period) << at;
      EXPECT_GE(even.bands.back().y + even.period, shown) << at;
      // As dark, and as blue, on average as the overlay over the picture.
      const double share = double(dark) / shown;
      EXPECT_NEAR(even.alpha / 255.0 * share, shade.darkening, 0.02 * shade.darkening) << at;
      EXPECT_NEAR(even.colour[2] * even.alpha / 255.0 * share, shade.added[2], 0.5) << at;
      EXPECT_EQ(even.colour[0], 0) << at;
    }
  }
  // Shown as it is, the rows are the picture's own: every odd row.
  const EvenOverlay asItIs = EvenOverlayFor(once, 480, 480);
  EXPECT_EQ(asItIs.period, 2);
  EXPECT_EQ(asItIs.bands[0].y, 1);
  EXPECT_EQ(asItIs.alpha, 71);  // 0.28
  EXPECT_TRUE(EvenOverlayFor(OverlayShade{}, 480, 768).bands.empty()) << "nothing to darken";
}

class FullScreenPicture : public harness::HeadlessTest {
 protected:
  RuntimeOptions Options() const override {
    RuntimeOptions o = HeadlessTest::Options();
    o.headless = false;
    return o;
  }
};

// SDL's dummy desktop is 1024 x 768: the picture is shown 1.6 times larger.
TEST_F(FullScreenPicture, FillsTheDesktopWithSharpPixelEdges) {
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);
  // Columns one to four pixels wide, white on black, at every phase of the
  // 1.6 scale.
  Background(0, 0, 0);
  SetDrawColour(255, 255, 255);
  int edges = 0;
  for (int x = 3, width = 1; x < 600; x += 2 * width + 1, width = width % 4 + 1) {
    FillRectangle(float(x), 0, float(width), 480);
    edges += 2;
  }
  SetDrawColour(255, 0, 0);
  FillRectangle(639, 479, 1, 1);
  PresentFrame(-1);
  int w = 0, h = 0;
  std::vector<uint8_t> shown = ReadShownScreenRGBA(&w, &h);
  ASSERT_EQ(w, 1024);
  ASSERT_EQ(h, 768);
  auto red = [&](int x, int y) { return int(shown[(size_t(y) * w + x) * 4]); };
  int blended = 0, white = 0;
  for (int x = 0; x < 1024; ++x) {
    if (red(x, 300) != 0 && red(x, 300) != 255) ++blended;
    if (red(x, 300) == 255) ++white;
  }
  // Filtering straight from 640 to 1024 blends one or two screen pixels at
  // every edge; through the doubled picture at most one.
  EXPECT_LE(blended, edges) << "over " << edges << " edges";
  EXPECT_GT(white, 0);
  // The picture reaches every side of the screen: the last pixel is red in
  // the bottom-right corner.
  EXPECT_EQ(red(1023, 767), 255);
  EXPECT_EQ(shown[(size_t(767) * w + 1023) * 4 + 1], 0);
  EXPECT_EQ(red(0, 0), 0);
}

TEST_F(FullScreenPicture, AWindowShowsThePictureAsItIs) {
  Background(10, 20, 30);
  SetDrawColour(200, 100, 50);
  FillRectangle(101, 7, 1, 1);
  PresentFrame(-1);
  int w = 0, h = 0;
  std::vector<uint8_t> shown = ReadShownScreenRGBA(&w, &h);
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  const uint8_t* at = &shown[(size_t(7) * w + 101) * 4];
  EXPECT_EQ(int(at[0]), 200);
  EXPECT_EQ(int(at[1]), 100);
  EXPECT_EQ(int(at[2]), 50);
  EXPECT_EQ(int(shown[(size_t(7) * w + 102) * 4]), 10) << "no blending into the neighbour";
}

TEST_F(FullScreenPicture, AnOverlayLiesInEvenScreenRowsAsDarkAsInTheWindow) {
  // Scan lines: every odd row 28% dark. Drawn over grey twice (the main
  // menu) and once at half alpha (a fade), first in the window, then full
  // screen (1.6 times).
  std::vector<uint8_t> rows = Solid(640, 480, 0, 0, 0, 0);
  for (int y = 1; y < 480; y += 2)
    for (int x = 0; x < 640; ++x) Put(rows, 640, x, y, 0, 0, 8, 71);
  TImage* lines = CreateImageFromRGBA(rows.data(), 640, 480, 640, 480, 1, IMAGE_DEFAULT_FLAGS);
  int logged = 0;
  SetDrawLog([&logged](const DrawEvent& e) { logged += e.kind == DrawEvent::Kind::Image; });
  auto frame = [&](int layers, float alpha) {
    ClearDrawBuffer();
    Background(200, 200, 200);
    SetDrawAlpha(alpha);
    BeginScreenOverlay();
    for (int i = 0; i < layers; ++i) DrawImageFrame(lines, 0, 0, 0);
    EndScreenOverlay();
    SetDrawAlpha(1);
    PresentFrame(-1);
  };
  // The mean darkening of the shown picture, from its red channel.
  auto darkening = [](const std::vector<uint8_t>& shown) {
    double sum = 0;
    for (size_t i = 0; i < shown.size(); i += 4) sum += shown[i];
    return 1 - sum / (shown.size() / 4) / 200;
  };

  int w = 0, h = 0;
  frame(1, 0.5f);
  const double faintInWindow = darkening(ReadShownScreenRGBA(&w, &h));
  frame(2, 1);
  EXPECT_TRUE(PixelNear(5, 0, Rgb(200, 200, 200), 0));
  EXPECT_TRUE(PixelNear(5, 1, Rgb(104, 104, 107), 1)) << "in the window, into the picture as it is";
  const double inWindow = darkening(ReadShownScreenRGBA(&w, &h));
  ASSERT_EQ(h, 480);

  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);
  frame(2, 1);
  EXPECT_EQ(logged, 5) << "every draw logged as any draw";
  std::vector<uint8_t> back = ReadScreenRGBA();
  int marked = 0;
  for (size_t i = 0; i < back.size(); i += 4) marked += back[i] != 200;
  EXPECT_EQ(marked, 0) << "the back buffer (and a grab of it) holds no overlay";
  std::vector<uint8_t> shown = ReadShownScreenRGBA(&w, &h);
  ASSERT_EQ(h, 768);
  auto red = [&](int x, int y) { return int(shown[(size_t(y) * w + x) * 4]); };
  // Every row one shade across; the shades repeat every 3 rows exactly.
  int uneven = 0, light = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) uneven += red(x, y) != red(0, y);
    if (y + 3 < h) uneven += red(0, y) != red(0, y + 3);
    light += red(0, y) == 200;
  }
  EXPECT_EQ(uneven, 0);
  EXPECT_EQ(light, 768 / 3);
  EXPECT_NEAR(darkening(shown), inWindow, 0.02 * inWindow);
  frame(1, 0.5f);
  // Faint, it is as dark within one colour step of the grey.
  EXPECT_NEAR(darkening(ReadShownScreenRGBA(&w, &h)), faintInWindow, 1.0 / 200);

  // The overlay goes with the picture it lay over.
  ClearDrawBuffer();
  Background(200, 200, 200);
  PresentFrame(-1);
  EXPECT_NEAR(darkening(ReadShownScreenRGBA(&w, &h)), 0, 1e-9);
  SetDrawLog(nullptr);
}

// The scan lines over the whole picture: every odd row 28% dark, a trace of
// blue.
TImage* ScanLinePicture() {
  std::vector<uint8_t> rows = Solid(640, 480, 0, 0, 0, 0);
  for (int y = 1; y < 480; y += 2)
    for (int x = 0; x < 640; ++x) Put(rows, 640, x, y, 0, 0, 8, 71);
  return CreateImageFromRGBA(rows.data(), 640, 480, 640, 480, 1, IMAGE_DEFAULT_FLAGS);
}

TEST_F(FullScreenPicture, AGrabShowsTheOverlayItWasTakenWithAsInTheWindow) {
  // As the main menu does: grey under the scan lines twice, grabbed between
  // the two; the opening fade (the grab tinted, no overlay of its own); the
  // exit dialog's last frame (the grab at alpha 0.3 under the lines again).
  TImage* lines = ScanLinePicture();
  TImage* grab = CreateEmptyImage(640, 480, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
  auto overlay = [lines] {
    BeginScreenOverlay();
    DrawImageFrame(lines, 0, 0, 0);
    EndScreenOverlay();
  };
  struct Shown {
    std::vector<uint8_t> px;
    int w = 0, h = 0;
    double mean = 0;  // of the red channel
    int Red(int x, int y) const { return px[(size_t(y) * w + x) * 4]; }
  };
  auto shown = [] {
    Shown s;
    s.px = ReadShownScreenRGBA(&s.w, &s.h);
    for (size_t i = 0; i < s.px.size(); i += 4) s.mean += s.px[i];
    s.mean /= double(s.px.size() / 4);
    return s;
  };
  struct Frames {
    Shown menu, fadeIn, dimmed;
  };
  auto play = [&] {
    Frames f;
    ClearDrawBuffer();
    Background(200, 200, 200);
    overlay();
    GrabImageFromScreen(grab, 0, 0, 0);
    overlay();
    PresentFrame(-1);
    f.menu = shown();
    ClearDrawBuffer();
    SetDrawColour(128, 128, 128);
    DrawImageFrame(grab, 0, 0, 0);
    SetDrawColour(255, 255, 255);
    PresentFrame(-1);
    f.fadeIn = shown();
    ClearDrawBuffer();
    SetDrawAlpha(0.3f);
    DrawImageFrame(grab, 0, 0, 0);
    SetDrawAlpha(1);
    overlay();
    PresentFrame(-1);
    f.dimmed = shown();
    return f;
  };
  // Rows one shade across, repeating every `period` rows exactly; how many
  // rows are as light as `light`.
  auto even = [](const Shown& s, int period, int light) {
    int uneven = 0, lightRows = 0;
    for (int y = 0; y < s.h; ++y) {
      for (int x = 0; x < s.w; ++x) uneven += s.Red(x, y) != s.Red(0, y);
      if (y + period < s.h) uneven += s.Red(0, y) != s.Red(0, y + period);
      lightRows += s.Red(0, y) == light;
    }
    return std::pair(uneven, lightRows);
  };

  const Frames window = play();
  ASSERT_EQ(window.menu.h, 480);
  EXPECT_EQ(window.fadeIn.Red(0, 0), 100);
  EXPECT_LT(window.fadeIn.Red(0, 1), 80) << "in the window the grab holds the lines in its pixels";

  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);  // 1.6 times
  const Frames full = play();
  ASSERT_EQ(full.menu.h, 768);
  // The fade shows the grab's lines, in even rows: two dark of every three.
  EXPECT_EQ(even(full.fadeIn, 3, 100), std::pair(0, 768 / 3));
  EXPECT_NEAR(full.fadeIn.mean / 100, window.fadeIn.mean / 100, 0.005);
  // The dimmed picture, under its own lines and the new ones, is as dark
  // against the menu as in the window.
  EXPECT_EQ(even(full.dimmed, 3, full.dimmed.Red(0, 0)).first, 0);
  EXPECT_EQ(even(full.dimmed, 3, full.dimmed.Red(0, 0)).second, 768 / 3);
  EXPECT_NEAR(full.dimmed.mean / full.menu.mean, window.dimmed.mean / window.menu.mean, 0.005);

  // A grab taken with no overlay over the picture holds none, and the
  // lines of the grab before it are gone.
  ClearDrawBuffer();
  Background(200, 200, 200);
  GrabImageFromScreen(grab, 0, 0, 0);
  ClearDrawBuffer();
  DrawImageFrame(grab, 0, 0, 0);
  PresentFrame(-1);
  EXPECT_EQ(even(shown(), 3, 200), std::pair(0, 768));
}

// --- the null drawing mode ---------------------------------------------------------

class NullDrawing : public harness::NullDrawingTest {};

TEST_F(NullDrawing, DrawsNothingButKeepsImagesAndState) {
  TImage* img = SolidImage(8, 8, 255, 255, 255);
  ASSERT_NE(img, nullptr);
  SetDrawColour(20, 30, 40);
  FillRectangle(0, 0, 640, 480);
  DrawImageFrame(img, 0, 0, 0);
  PresentFrame(-1);
  EXPECT_EQ(ReadScreenPixel(1, 1), 0u);
  EXPECT_EQ(GetDrawState().green, 30);
  EXPECT_TRUE(ImagesOverlap(img, 0, 0, 0, img, 7, 7, 0));
  EXPECT_EQ(PresentedFrameCount(), 1);
}

TEST_F(NullDrawing, TheDrawLogNamesEachPictureAndKeepsTheStateItWasDrawnIn) {
  auto px = Solid(16, 8, 200, 100, 50);
  harness::RegisterPNG(u"res\\vt_drawlog.png", px.data(), 16, 8, PngKind::RGBA);
  TImage* cells = LoadImageCells(u"IncBin::res\\vt_drawlog.png", 8, 8, 0, 2, -1);
  ASSERT_NE(cells, nullptr);
  CentreImageHandle(cells);
  TImage* made = CreateEmptyImage(4, 2, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
  std::vector<DrawEvent> log;
  SetDrawLog([&log](const DrawEvent& e) { log.push_back(e); });
  ClearDrawBuffer();
  SetDrawColour(10, 20, 30);
  SetDrawAlpha(0.25f);
  SetDrawBlendMode(BlendMode::Light);
  SetDrawRotation(90);
  SetDrawScale(2, 3);
  DrawImageFrame(cells, 5.5f, 6, 1);
  SetDrawRotation(0);
  FillRectangle(1, 2, 3.5f, 4);
  GrabImageFromScreen(made, 7, 8, 0);
  SetDrawLog(nullptr);
  DrawImageFrame(cells, 0, 0, 0);
  ResetDrawState();

  // Each event as (kind, picture, frame, size, handle, place) and the state.
  auto where = [](const DrawEvent& e) {
    return std::tuple(e.kind, e.picture, e.frame, e.width, e.height, e.handleX, e.handleY, e.x, e.y);
  };
  auto state = [](const DrawEvent& e) {
    const DrawState& s = e.state;
    return std::tuple(s.red, s.green, s.blue, s.alpha, s.blend, s.rotation, s.scaleX, s.scaleY);
  };
  using K = DrawEvent::Kind;
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].kind, K::Clear);
  EXPECT_EQ(where(log[1]), std::tuple(K::Image, std::string("vt_drawlog.png"), 1, 8.0f, 8.0f, 4.0f, 4.0f, 5.5f, 6.0f));
  EXPECT_EQ(state(log[1]), std::tuple(10, 20, 30, 0.25f, BlendMode::Light, 90.0f, 2.0f, 3.0f));
  EXPECT_EQ(where(log[2]), std::tuple(K::Rectangle, std::string(), 0, 3.5f, 4.0f, 0.0f, 0.0f, 1.0f, 2.0f));
  EXPECT_EQ(state(log[2]), std::tuple(10, 20, 30, 0.25f, BlendMode::Light, 0.0f, 2.0f, 3.0f));
  EXPECT_EQ(where(log[3]), std::tuple(K::Grab, std::string(), 0, 4.0f, 2.0f, 0.0f, 0.0f, 7.0f, 8.0f));
}

// --- frame pacing and the clock --------------------------------------------------------

TEST_F(Pacing, SixtyFramesTakeOneSecondInSixteensAndSeventeens) {
  int32_t start = MillisecondClock();
  int32_t last = start;
  int sixteens = 0, seventeens = 0;
  for (int i = 0; i < 60; ++i) {
    PresentFrame(-1);
    int32_t step = MillisecondClock() - last;
    last = MillisecondClock();
    if (step == 16) ++sixteens;
    else if (step == 17) ++seventeens;
    else ADD_FAILURE() << "frame " << i << " took " << step << " ms";
  }
  EXPECT_EQ(last - start, 1000);
  EXPECT_EQ(sixteens, 20);
  EXPECT_EQ(seventeens, 40);
  harness::RunFrames(600);
  EXPECT_EQ(MillisecondClock() - start, 11000) << "no drift over many seconds";
  EXPECT_EQ(PresentedFrameCount(), 660);
}

TEST_F(Pacing, WorkWithinTheFrameIsAbsorbedAndALateFrameRestartsTheSchedule) {
  PresentFrame(-1);
  int32_t t0 = MillisecondClock();
  AdvanceVirtualClock(10);  // ten milliseconds of work
  PresentFrame(-1);
  EXPECT_EQ(MillisecondClock() - t0, 17) << "the frame still ends on its due time";

  int32_t t1 = MillisecondClock();
  AdvanceVirtualClock(50);  // a long frame: shown at once, not made up
  PresentFrame(-1);
  EXPECT_EQ(MillisecondClock() - t1, 50);
  int32_t t2 = MillisecondClock();
  PresentFrame(-1);
  EXPECT_EQ(MillisecondClock() - t2, 17) << "the schedule starts again from the late frame";
  harness::RunFrames(59);
  EXPECT_EQ(MillisecondClock() - t2, 1000);
}

// Full screen on the window path (SDL's dummy driver), before a stand-in
// monitor: whatever the monitor, the game sees 60 frames a second.
class FullScreenPacing : public harness::HeadlessTest {
 protected:
  RuntimeOptions Options() const override {
    RuntimeOptions o = HeadlessTest::Options();
    o.headless = false;
    return o;
  }
  // Opens full screen on the monitor and returns how long 180 frames take,
  // in milliseconds of the runtime's clock.
  int32_t Time180Frames(const MonitorStandIn& monitor, int depth = 16) {
    SetMonitorStandIn(monitor);
    EXPECT_NE(OpenGraphicsDisplay(640, 480, depth, 60, 0), nullptr);
    int32_t start = MillisecondClock();
    harness::RunFrames(180);
    return MillisecondClock() - start;
  }
};

struct MonitorCase {
  const char* name;
  MonitorStandIn monitor;
  bool pacedByRetrace;
};
void PrintTo(const MonitorCase& c, std::ostream* out) { *out << c.name; }

class AnyMonitor : public FullScreenPacing, public ::testing::WithParamInterface<MonitorCase> {};

TEST_P(AnyMonitor, HundredAndEightyFramesTakeThreeSeconds) {
  const MonitorCase& c = GetParam();
  int32_t took = Time180Frames(c.monitor);
  EXPECT_NEAR(took, 3000, 16) << c.name;
  EXPECT_EQ(FramesPacedByRetrace(), c.pacedByRetrace) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    FullScreen, AnyMonitor,
    ::testing::Values(
        MonitorCase{"At60HzHonouringVsync", {60, true, 60.0}, true},
        MonitorCase{"At59_94HzReportedAs60", {60, true, 59.94}, true},
        MonitorCase{"At60HzVsyncReportedButNeverWaitedFor", {60, true, 0}, false},
        MonitorCase{"At60HzVsyncRefused", {60, false, 60.0}, false},
        MonitorCase{"Reports60HzRunsAt75", {60, true, 75.0}, false},
        MonitorCase{"Reports60HzRunsALittleFast", {60, true, 62.9}, false},
        MonitorCase{"At75Hz", {75, true, 75.0}, false},
        MonitorCase{"At120Hz", {120, true, 120.0}, false},
        MonitorCase{"At144Hz", {144, true, 144.0}, false},
        MonitorCase{"VariableRefreshUpTo165Hz", {165, true, 165.0}, false},
        MonitorCase{"RateUnknown", {0, true, 144.0}, false}),
    [](const ::testing::TestParamInfo<MonitorCase>& info) { return std::string(info.param.name); });

TEST_F(FullScreenPacing, VsyncThatStopsHoldingPresentsHandsOverToTheSchedule) {
  SetMonitorStandIn({60, true, 60.0});
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);
  harness::RunFrames(30);
  ASSERT_TRUE(FramesPacedByRetrace());
  // The retrace no longer holds the presents (a compositor took over, the
  // screen went to sleep): at most a frame may slip through early.
  SetMonitorStandIn({60, true, 0});
  int32_t start = MillisecondClock();
  harness::RunFrames(180);
  EXPECT_NEAR(MillisecondClock() - start, 3000, 16);
  EXPECT_FALSE(FramesPacedByRetrace());
}

TEST_F(FullScreenPacing, UnderVsyncWorkWithinTheFrameIsAbsorbedAndAWindowNeverUsesIt) {
  SetMonitorStandIn({60, true, 60.0});
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);
  int32_t start = MillisecondClock();
  // Ten milliseconds of work a frame still fit one retrace each.
  harness::RunFrames(180, [] { AdvanceVirtualClock(10); });
  EXPECT_NEAR(MillisecondClock() - start, 3000, 16);
  EXPECT_TRUE(FramesPacedByRetrace());

  EXPECT_NEAR(Time180Frames({60, true, 60.0}, 0), 3000, 16);
  EXPECT_FALSE(FramesPacedByRetrace()) << "a window keeps to the schedule";
}

class FullScreenPacingRealClock : public FullScreenPacing {
 protected:
  RuntimeOptions Options() const override {
    RuntimeOptions o = FullScreenPacing::Options();
    o.virtualClock = false;
    return o;
  }
};

// The one test on real time (three seconds): a fast monitor that honours
// vsync must not make the game fast. A busy machine may hold a frame back
// past its due time (the schedule then starts again from it); only the time
// lost that way may add to the three seconds.
TEST_F(FullScreenPacingRealClock, AHundredAndFortyFourHertzMonitorStillGivesSixtyFrames) {
  SetMonitorStandIn({144, true, 144.0});
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);
  int32_t start = MillisecondClock(), last = start, lostToLateFrames = 0;
  for (int i = 0; i < 180; ++i) {
    PresentFrame(-1);
    int32_t now = MillisecondClock();
    lostToLateFrames += std::max(0, now - last - 17);
    last = now;
  }
  EXPECT_GE(last - start, 3000 - 16);
  EXPECT_LE(last - start - lostToLateFrames, 3000 + 16);
  EXPECT_FALSE(FramesPacedByRetrace());
}

TEST_F(Pacing, SleepWaitsAndRunsTheScriptHookButNegativeDoesNothing) {
  int hooks = 0;
  SetScriptHook([&] { ++hooks; });
  int32_t t = MillisecondClock();
  SleepMillis(25);
  EXPECT_EQ(MillisecondClock() - t, 25);
  EXPECT_EQ(hooks, 1);
  SleepMillis(-40);
  EXPECT_EQ(MillisecondClock() - t, 25);
  EXPECT_EQ(hooks, 1);
  SleepMillis(0);
  EXPECT_EQ(hooks, 2);
  SetScriptHook(nullptr);
}

TEST_F(Pacing, ScriptActionsRunOnTheirFramesInOrder) {
  std::vector<std::string> log;
  harness::Script s;
  s.At(3, [&] { log.push_back(std::string("c").append(std::to_string(PresentedFrameCount()))); })
      .At(0, [&] { log.push_back(std::string("a").append(std::to_string(PresentedFrameCount()))); })
      .At(3, [&] { log.push_back("d"); })
      .At(1, [&] { log.push_back(std::string("b").append(std::to_string(PresentedFrameCount()))); });
  harness::RunFrames(2);  // frames before Install do not count
  s.Install();
  EXPECT_FALSE(s.Done());
  harness::RunFrames(5);
  EXPECT_TRUE(s.Done());
  EXPECT_EQ(log, (std::vector<std::string>{"a3", "b3", "c5", "d"}));
}

TEST_F(Pacing, ScriptedKeysArriveAfterTheirFrame) {
  harness::Script s;
  s.KeyTap(2, KeyCode::Space).KeyDown(3, KeyCode::Left).KeyUp(5, KeyCode::Left);
  s.Install();
  PresentFrame(-1);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Space), 0);
  PresentFrame(-1);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Space), 1);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Space), 0) << "a press is seen once";
  PresentFrame(-1);
  EXPECT_TRUE(IsKeyHeld(KeyCode::Left));
  harness::RunFrames(2);
  EXPECT_FALSE(IsKeyHeld(KeyCode::Left));
  EXPECT_TRUE(s.Done());
}

}  // namespace

// Frames count from the services' start. A script set up while the services
// are down (a second run in one process) must count from 0 as they will, or
// everything it waits for comes hundreds of frames late.
TEST(FrameCount, StartsAtZeroWithTheServicesAndIsZeroWhileTheyAreDown) {
  for (int run = 0; run < 2; ++run) {
    ASSERT_NE(StartRuntime({.headless = true, .virtualClock = true, .nullAudio = true}), nullptr);
    EXPECT_EQ(PresentedFrameCount(), 0) << run;
    for (int i = 0; i < 3; ++i) PresentFrame(-1);
    EXPECT_EQ(PresentedFrameCount(), 3) << run;
    RuntimeShutdown();
    EXPECT_EQ(PresentedFrameCount(), 0) << run;
  }
}
