// Message pictures: lettered or arrow pictures that zoom out of the middle
// of the screen, swing up and down and fade away.
#include "gameplay/gameplay.h"
#include "res/assets.h"

void NewTextMessage(int number, int delay) {
  auto m = ObjectNew<TextMessages>();
  TextMessagesList->AddLast(m);
  m->number = number;
  m->x = 320;
  m->y = 300;
  m->alpha = 0.1f;
  m->scale = 0.01f;
  m->alphaadd = 0.03f;
  m->delayticks = delay;
}

void DrawTextMessages() {
  SetDrawBlendMode(3);
  for (TextMessages* m : Each<TextMessages>(TextMessagesList)) {
    if (m->delayticks > 0) {
      m->delayticks -= 1;
      continue;
    }
    SetDrawAlpha(m->alpha);
    SetDrawScale(m->scale, m->scale);
    m->sinus += 3;
    const int b = TruncateToInt(SinDegrees(m->sinus) * 120);
    if (img_messages && m->number >= 0 && m->number < ImageFrameCount(img_messages))
      DrawImageFrame(img_messages, m->x, m->y - static_cast<float>(b), m->number);
    // The zoom never stops; the fade starts once it has passed 0.6.
    m->scale += 0.015f;
    m->alpha += m->alphaadd;
    if (m->scale > 0.6f) m->alphaadd = -0.02f;
    if (m->alpha < 0) TextMessagesList->Remove(m);
  }
  SetDrawAlpha(1);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
}
