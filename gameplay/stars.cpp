// The star field: 100 grey squares drifting right across the top of the sky.
#include "gameplay/gameplay.h"

void CreateStars() {
  world.starCoords->Clear();
  for (int i = 0; i < 100; ++i) {
    auto s = ObjectNew<StarCoords>();
    world.starCoords->AddLast(s);
    s->x = static_cast<float>(RandomIntInRange(8, 632));
    s->y = static_cast<float>(RandomIntInRange(8, 128));
    s->xSpeed = static_cast<float>(RandomRealInRange(0.1, 1));
    s->size = s->xSpeed * 1.8f;
    // KEPT: small slow stars come out brighter than 255; the colour clamps
    // them to white.
    s->grey = TruncateToInt(255.0f / (s->size * 2.0f));
  }
}

void DrawStars() {
  for (StarCoords* s : Each<StarCoords>(world.starCoords)) {
    SetDrawColour(s->grey, s->grey, s->grey);
    FillRectangle(s->x, s->y, s->size, s->size);
  }
  SetDrawColour(255, 255, 255);
}

void MoveStars() {
  for (StarCoords* s : Each<StarCoords>(world.starCoords)) {
    s->x += s->xSpeed;
    if (s->x > 639.0f) s->x -= 640.0f;
  }
}
