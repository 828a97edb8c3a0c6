// Bitmap text and the scan-line overlay, checked on the back buffer. The font
// used here fills each 16 x 16 cell with its own colour, so a pixel tells
// which glyph was drawn where.
#include "harness/harness.h"
#include "shell/shell.h"

namespace {

using harness::PixelNear;
using harness::Rgb;

constexpr uint32_t CellColour(int cell) { return Rgb(20 + 3 * cell, 250 - 3 * cell, 90); }

class FontText : public harness::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    std::vector<uint8_t> font(320 * 48 * 4);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 320; ++x) {
        uint32_t c = CellColour((y / 16) * 20 + x / 16);
        uint8_t* p = &font[(y * 320 + x) * 4];
        p[0] = c >> 16, p[1] = (c >> 8) & 255, p[2] = c & 255, p[3] = 255;
      }
    img_font = CreateImageFromRGBA(font.data(), 320, 48, 16, 16, 60, -1);
    ClearDrawBuffer();
    SetDrawBlendMode(3);
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
    EXPECT_TRUE(PixelNear(32 + 16 * i, 48, CellColour(cells[i]))) << i;
    EXPECT_TRUE(PixelNear(47 + 16 * i, 63, CellColour(cells[i]))) << i;
  }
  EXPECT_TRUE(PixelNear(31, 48, 0));
  EXPECT_TRUE(PixelNear(32, 64, 0));

  ClearDrawBuffer();
  DrawFontText(u"0 \u00a3z&", 0, 11.5f);
  const int more[] = {16, 0, 12, 58, 59};
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(PixelNear(16 * i + 8, 184, CellColour(more[i]))) << i;
  EXPECT_TRUE(PixelNear(8, 183, 0));

  ClearDrawBuffer();
  DrawFontText(u"", 0, 0);
  DrawFontTextAt(u"", 0, 0);
  EXPECT_TRUE(PixelNear(0, 0, 0));
}

TEST_F(FontText, PixelPlacedTextStandsSeventeenPixelsApart) {
  DrawFontTextAt(u"Ab", 245, 198);
  EXPECT_TRUE(PixelNear(245, 198, 0));
  EXPECT_TRUE(PixelNear(246, 198, CellColour(33)));
  EXPECT_TRUE(PixelNear(261, 213, CellColour(33)));
  EXPECT_TRUE(PixelNear(262, 198, 0));
  EXPECT_TRUE(PixelNear(263, 198, CellColour(34)));
  EXPECT_TRUE(PixelNear(278, 198, CellColour(34)));
  EXPECT_TRUE(PixelNear(279, 198, 0));
}

TEST_F(FontText, TextKeepsTheCallersDrawingState) {
  SetDrawColour(255, 0, 255);
  SetDrawAlpha(1);
  const DrawState before = GetDrawState();
  DrawFontText(u"a", 0, 0);
  DrawFontTextAt(u"a", 100, 0);
  DrawScanlines();
  const DrawState after = GetDrawState();
  EXPECT_EQ(after.red, before.red);
  EXPECT_EQ(after.green, before.green);
  EXPECT_EQ(after.alpha, before.alpha);
  EXPECT_EQ(after.blend, before.blend);
  // Tinted by the colour in force: the green channel is gone.
  EXPECT_TRUE(PixelNear(8, 8, CellColour(33) & 0xFF00FF, 2));
}

TEST_F(FontText, OverlayCoversTheScreenExactlyOnce) {
  // Half-transparent white overlays on black: one layer gives mid grey
  // everywhere, a second layer anywhere would show brighter.
  std::vector<uint8_t> white(320 * 200 * 4, 255);
  for (size_t i = 3; i < white.size(); i += 4) white[i] = 128;
  img_scanlines1 = CreateImageFromRGBA(white.data(), 320, 200, 320, 200, 1, -1);
  img_scanlines2 = CreateImageFromRGBA(white.data(), 320, 80, 320, 80, 1, -1);
  ScanlinesOn = 1;
  DrawScanlines();
  std::vector<uint8_t> screen = ReadScreenRGBA();
  int wrong = 0;
  for (size_t i = 0; i < screen.size(); i += 4) wrong += std::abs(int(screen[i]) - 128) > 2;
  EXPECT_EQ(wrong, 0);

  for (int off : {0, 2, -1}) {
    ClearDrawBuffer();
    ScanlinesOn = off;
    DrawScanlines();
    EXPECT_TRUE(PixelNear(320, 240, 0)) << off;
  }
  ScanlinesOn = 1;
}

TEST_F(FontText, ClearPadHitsForgetsEarlierPresses) {
  ASSERT_TRUE(ScriptAttachPad());
  ScriptPadButton(3, true);
  ScriptPadButton(3, false);
  PollSystemEvents();
  ClearPadHits();
  EXPECT_EQ(TakeJoyButtonPresses(3, 0), 0);
  ScriptPadButton(3, true);
  EXPECT_EQ(TakeJoyButtonPresses(3, 0), 1);
  ScriptDetachPad();
}

}  // namespace
