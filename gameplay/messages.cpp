// Message pictures: lettered or arrow pictures that zoom out of the middle
// of the screen, swing up and down and fade away.
#include "gameplay/gameplay.h"
#include "res/assets.h"

void NewTextMessage(MessagePicture picture, int delay) {
  auto m = ObjectNew<TextMessages>();
  world.textMessages->AddLast(m);
  m->picture = picture;
  m->x = 320;
  m->y = 300;
  m->alpha = 0.1f;
  m->scale = 0.01f;
  m->alphaStep = 0.03f;
  m->delayTicks = delay;
}

namespace {
// A message shows, and moves, once its delay has run out.
bool Showing(const TextMessages* m) { return m->delayTicks <= 0; }
}  // namespace

void SwingTextMessages() {
  for (TextMessages* m : Each<TextMessages>(world.textMessages))
    if (Showing(m)) m->swingAngle += 3;
}

void DrawTextMessages() {
  SetDrawBlendMode(BlendMode::Alpha);
  for (const TextMessages* m : Each<TextMessages>(world.textMessages)) {
    if (!Showing(m)) continue;
    SetDrawAlpha(m->alpha);
    SetDrawScale(m->scale, m->scale);
    const int b = TruncateToInt(SinDegrees(m->swingAngle) * 120);
    const int cell = static_cast<int>(m->picture);
    if (img_messages && cell >= 0 && cell < ImageFrameCount(img_messages))
      DrawImageFrame(img_messages, m->x, m->y - static_cast<float>(b), cell);
  }
  SetDrawAlpha(1);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
}

void UpdateTextMessages() {
  for (TextMessages* m : Each<TextMessages>(world.textMessages)) {
    if (!Showing(m)) {
      m->delayTicks -= 1;
      continue;
    }
    // The zoom never stops; the fade starts once it has passed 0.6.
    m->scale += 0.015f;
    m->alpha += m->alphaStep;
    if (m->scale > 0.6f) m->alphaStep = -0.02f;
    if (m->alpha < 0) world.textMessages->Remove(m);
  }
}
