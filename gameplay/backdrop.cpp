// The three parallax layers of the landscape, the time bar and the status line.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/fonttext.h"

namespace {
constexpr float kLayerWidth = 1920.0f;  // each layer picture repeats every 1920 pixels

// A layer position brought back into 0 to 1920: one correction each way,
// which is all a frame's movement ever needs. A value that is still outside
// (only a wild caller could make one) is folded in fully so the columns stay
// valid.
float WrappedLayer(float p) {
  if (p > 1919.0f) p -= kLayerWidth;
  if (p < 0.0f) p += kLayerWidth;
  if (!(p >= 0.0f && p < kLayerWidth)) {
    p = static_cast<float>(FloatMod(p, kLayerWidth));
    if (p < 0.0f) p += kLayerWidth;
    if (!(p >= 0.0f && p < kLayerWidth)) p = 0.0f;  // not a number
  }
  return p;
}

// Eleven 64-pixel columns cover the screen whatever the fraction. A place
// outside the picture's width is drawn where it wraps to.
void DrawLayer(TImage* picture, float p) {
  p = WrappedLayer(p);
  int column = TruncateToInt(p / 64.0f);
  float x = static_cast<float>(0.0 - FloatMod(p, 64.0));
  for (int i = 0; i < 11; ++i) {
    DrawImageFrame(picture, x, 0.0f, ((column % 30) + 30) % 30);
    x += 64.0f;
    ++column;
  }
}
}  // namespace

String StatusLineText() {
  String score = ReplaceText(TrailingChars(StringFromInt(world.game.score), 7), u" ", u"0");
  String shields;
  // KEPT: below zero a pound sign stands for the count; past nine the line
  // reads 9+ and spells Sector with a capital.
  if (world.game.shieldCount < 0)
    shields = u"   shield: \u00a3   sector: ";
  else if (world.game.shieldCount > 9)
    shields = u"   shield: 9+  Sector: ";
  else
    shields = StringConcat(StringConcat(u"   shield: ", StringFromInt(world.game.shieldCount)), u"   sector: ");
  return StringConcat(StringConcat(StringConcat(u"score: ", score), shields), StringFromInt(world.sector.sectorShown));
}

void DrawStatusLine() { DrawFontText(StatusLineText(), 1.0f, 28.6f); }

void DrawBackdrop() {
  DrawBackLayers();
  DrawFrontLayer();

  DrawImageFrame(img_timebar, 0.0f, 0.0f, 0);
  SetDrawAlpha(0.5f * world.game.backdropFade);
  SetDrawScale(world.sector.timeBonus * 5.0f, 1.0f);
  DrawImageFrame(img_timebar2, 126.0f, 8.0f, 0);
  SetDrawScale(1.0f, 1.0f);
  SetDrawAlpha(world.game.backdropFade);  // stays in effect for the caller
  DrawStatusLine();
}

void DrawBackLayers() {
  DrawLayer(img_layer1b, world.layerPos[0]);
  DrawLayer(img_layer2b, world.layerPos[1]);
}

void DrawFrontLayer() { DrawLayer(img_layer3b, world.layerPos[2]); }

void ScrollLayers() {
  for (int i = 0; i < 3; ++i) {
    world.layerPos[i] = WrappedLayer(world.layerPos[i]);
    world.layerPos[i] += world.bike.speed * world.game.scrollFactor[i];
  }
}
