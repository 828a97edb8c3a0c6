// Text in the bitmap font and the scan-line overlay.
#include "services/fonttext.h"

#include "res/assets.h"
#include "services/settings.h"

const String FontCharset = u" !<>;##,####\u00a3+*/0123456789:.-()?'abcdefghijklmnopqrstuvwxyz&";

namespace {
constexpr int kFallbackCell = 12;  // the pound-sign cell stands in for unknown characters

int GlyphCell(char16_t lowered) {
  size_t cell = FontCharset.find(lowered);
  return cell == String::npos ? -1 : static_cast<int>(cell);
}
}  // namespace

void DrawFontText(const String& text, float column, float row) {
  if (!img_font) return;
  const String lowered = LowerCaseText(text);
  const int n = static_cast<int>(lowered.size());
  const float y = row * 16.0f;
  for (int i = 1; i <= n; ++i) {
    int cell = GlyphCell(lowered[i - 1]);
    if (cell < 0 || cell > 59) cell = kFallbackCell;
    DrawImageFrame(img_font, (static_cast<float>(i - 1) + column) * 16.0f, y, cell);
  }
}

void DrawFontTextAt(const String& text, float x, float y) {
  if (!img_font) return;
  const String lowered = LowerCaseText(text);
  const int n = static_cast<int>(lowered.size());
  float left = x;
  for (int i = 1; i <= n; ++i) {
    // Each glyph sits one pixel further right than the 16-pixel grid, so the
    // letters stand 17 pixels apart. A character without a glyph leaves a gap.
    int cell = GlyphCell(lowered[i - 1]);
    if (cell >= 0) DrawImageFrame(img_font, left + static_cast<float>(i), y, cell);
    left += 16.0f;
  }
}

void DrawScanlines() {
  if (Settings.scanlinesOn != 1 || !img_scanlines1 || !img_scanlines2) return;
  // A line on every other picture row, scaled with the picture to a full
  // screen, would fall 2 or 3 screen rows apart at 1.6 times: as a screen
  // overlay the lines stay even at any scale, and in a window they are drawn
  // into the picture as they are.
  BeginScreenOverlay();
  DrawImageFrame(img_scanlines1, 0, 0, 0);
  DrawImageFrame(img_scanlines1, 320, 0, 0);
  DrawImageFrame(img_scanlines1, 0, 200, 0);
  DrawImageFrame(img_scanlines1, 320, 200, 0);
  DrawImageFrame(img_scanlines2, 0, 400, 0);
  DrawImageFrame(img_scanlines2, 320, 400, 0);
  EndScreenOverlay();
}
