// Bitmap text and the scan-line overlay, checked on the back buffer. The font
// used here fills each 16 x 16 cell with its own colour, so a pixel tells
// which glyph was drawn where.
#include "harness/harness.h"
#include "screens/screens.h"

namespace {

using harness::PixelNear;

constexpr uint32_t Cell(int n) { return harness::Rgb(20 + 3 * n, 250 - 3 * n, 90); }

class FontText : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    std::vector<uint8_t> font(320 * 48 * 4, 255);
    for (int i = 0; i < 320 * 48; ++i) {
      uint32_t c = Cell((i / 320 / 16) * 20 + i % 320 / 16);
      font[i * 4] = c >> 16, font[i * 4 + 1] = (c >> 8) & 255, font[i * 4 + 2] = c & 255;
    }
    img_font = CreateImageFromRGBA(font.data(), 320, 48, 16, 16, 60, IMAGE_DEFAULT_FLAGS);
    SetDrawBlendMode(BlendMode::Alpha);
  }
  void TearDown() override {
    HeadlessTest::TearDown();
    img_font = img_scanlines1 = img_scanlines2 = nullptr;
  }
};

TEST_F(FontText, GlyphsSitOnTheSixteenPixelGrid) {
  // Upper case reads as lower case; "#" is its first cell; unknown characters
  // take the fallback cell; fractions of a row are allowed.
  DrawFontText(u"Ab#@_[", 2, 3);
  const int cells[] = {33, 34, 5, 12, 12, 12};
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(PixelNear(32 + 16 * i, 48, Cell(cells[i]))) << i;
    EXPECT_TRUE(PixelNear(47 + 16 * i, 63, Cell(cells[i]))) << i;
  }
  EXPECT_TRUE(PixelNear(31, 48, 0));
  EXPECT_TRUE(PixelNear(32, 64, 0));
  DrawFontText(u"0 \u00a3z&", 0, 11.5f);
  const int more[] = {16, 0, 12, 58, 59};
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(PixelNear(16 * i + 8, 184, Cell(more[i]))) << i;
  EXPECT_TRUE(PixelNear(8, 183, 0));
}

TEST_F(FontText, PixelPlacedTextStandsSeventeenPixelsApartInTheCallersColour) {
  SetDrawColour(255, 0, 255);
  const DrawState before = GetDrawState();
  DrawFontTextAt(u"Ab", 245, 198);
  DrawFontText(u"", 0, 0);
  const int edges[][2] = {{245, 0}, {246, 33}, {261, 33}, {262, 0}, {263, 34}, {278, 34}, {279, 0}};
  for (auto [x, cell] : edges) EXPECT_TRUE(PixelNear(x, 198, cell ? Cell(cell) & 0xFF00FF : 0)) << x;
  EXPECT_TRUE(PixelNear(0, 0, 0));
  const DrawState after = GetDrawState();
  EXPECT_EQ(after.green, before.green);
  EXPECT_EQ(after.alpha, before.alpha);
}

TEST_F(FontText, OverlayCoversTheScreenExactlyOnce) {
  // Half-transparent white on black: one layer gives mid grey everywhere; a
  // second layer anywhere would show brighter.
  std::vector<uint8_t> white(320 * 200 * 4, 255);
  for (size_t i = 3; i < white.size(); i += 4) white[i] = 128;
  img_scanlines1 = CreateImageFromRGBA(white.data(), 320, 200, 320, 200, 1, IMAGE_DEFAULT_FLAGS);
  img_scanlines2 = CreateImageFromRGBA(white.data(), 320, 80, 320, 80, 1, IMAGE_DEFAULT_FLAGS);
  for (int setting : {0, 2, 1}) {
    ClearDrawBuffer();
    Settings.scanlinesOn = setting;
    DrawScanlines();
    std::vector<uint8_t> screen = ReadScreenRGBA();
    int wrong = 0;
    for (size_t i = 0; i < screen.size(); i += 4) wrong += std::abs(screen[i] - (setting == 1 ? 128 : 0)) > 2;
    EXPECT_EQ(wrong, 0) << setting;
  }
}

class FullScreenFontText : public FontText {
 protected:
  RuntimeOptions Options() const override {
    RuntimeOptions o = FontText::Options();
    o.headless = false;  // SDL's dummy desktop, 1024 x 768
    return o;
  }
};

TEST_F(FullScreenFontText, OverlayLiesOverTheScaledPictureNotInIt) {
  ASSERT_NE(OpenGraphicsDisplay(640, 480, 16, 60, 0), nullptr);
  std::vector<uint8_t> rows(320 * 200 * 4, 0);
  for (size_t i = 320 * 4; i < rows.size(); i += 2 * 320 * 4)
    for (size_t x = 0; x < 320; ++x) rows[i + x * 4 + 3] = 128;  // odd rows half dark
  img_scanlines1 = CreateImageFromRGBA(rows.data(), 320, 200, 320, 200, 1, IMAGE_DEFAULT_FLAGS);
  img_scanlines2 = CreateImageFromRGBA(rows.data(), 320, 80, 320, 80, 1, IMAGE_DEFAULT_FLAGS);
  Settings.scanlinesOn = 1;
  ClearDrawBuffer();
  SetDrawColour(255, 255, 255);
  FillRectangle(0, 0, 640, 480);
  DrawScanlines();
  PresentFrame(-1);
  EXPECT_TRUE(PixelNear(0, 1, 0xFFFFFF)) << "the picture itself keeps no lines";
  int w = 0, h = 0;
  std::vector<uint8_t> shown = ReadShownScreenRGBA(&w, &h);
  ASSERT_EQ(h, 768);
  int dark = 0;
  for (int y = 0; y < h; ++y) dark += shown[size_t(y) * w * 4] < 255;
  EXPECT_EQ(dark, 768 * 2 / 3) << "two screen rows of every three";
  DrawFontText(u"a", 0, 0);
  EXPECT_TRUE(PixelNear(8, 8, Cell(33))) << "the overlay ends with the scan lines";
}

TEST_F(FontText, ClearPadHitsForgetsEarlierPresses) {
  ASSERT_TRUE(ScriptAttachPad());
  ScriptPadButton(3, true);
  PollSystemEvents();
  ScriptPadButton(3, false);
  ClearPadHits();
  EXPECT_EQ(TakeJoyButtonPresses(3, 0), 0);
  ScriptPadButton(3, true);
  EXPECT_EQ(TakeJoyButtonPresses(3, 0), 1);
  ScriptDetachPad();
}

}  // namespace
