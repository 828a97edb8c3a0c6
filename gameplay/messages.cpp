// Message pictures: lettered or arrow pictures that zoom out of the middle
// of the screen, swing up and down and fade away.
#include "gameplay/gameplay.h"
#include "shell/shell.h"

void NewTextMessage(MessagePicture picture, int delay) {
  auto m = ObjectNew<TextMessages>();
  world.textMessages->AddLast(m);
  m->picture = picture;
  m->x = 320;
  m->y = 300;
  m->alpha = 0.1f;
  m->scale = 0.01f;
  m->alphaadd = 0.03f;
  m->delayticks = delay;
}

void DrawTextMessages() {
  SetDrawBlendMode(3);
  for (TextMessages* m : Each<TextMessages>(world.textMessages)) {
    if (m->delayticks > 0) {
      m->delayticks -= 1;
      continue;
    }
    SetDrawAlpha(m->alpha);
    SetDrawScale(m->scale, m->scale);
    m->sinus += 3;
    const int b = TruncateToInt(SinDegrees(m->sinus) * 120);
    const int cell = static_cast<int>(m->picture);
    if (img_messages && cell >= 0 && cell < ImageFrameCount(img_messages))
      DrawImageFrame(img_messages, m->x, m->y - static_cast<float>(b), cell);
    // The zoom never stops; the fade starts once it has passed 0.6.
    m->scale += 0.015f;
    m->alpha += m->alphaadd;
    if (m->scale > 0.6f) m->alphaadd = -0.02f;
    if (m->alpha < 0) world.textMessages->Remove(m);
  }
  SetDrawAlpha(1);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
}
