// Short-lived effects: the shield bubble and the missile flash around the
// bike, the four spinning quarters of a shot-down enemy, and the burst of
// small pieces the shield bonus breaks into when the bike takes it.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "shell/music.h"

namespace {

// Draws a cell only when the picture has it; a record carrying a cell number
// the picture lacks is skipped rather than read past the strip.
void DrawCell(TImage* image, float x, float y, int cell) {
  if (!image || cell < 0 || cell >= ImageFrameCount(image)) return;
  DrawImageFrame(image, x, y, cell);
}

}  // namespace

void NewShield(int type, int x, int y) {
  PlaySfx(snd_bzzzt);
  InvulnerableTicks = 90;
  auto s = ObjectNew<Shields>();
  ShieldsList->AddLast(s);
  s->ShieldType = type;
  s->x = x;
  s->y = y;
  s->Color = 255;
  s->Frame = 0;
  s->FrameDelay = 0;
  if (type == 0) s->Zoom = 0.02f;
}

void DrawShields() {
  SetDrawColour(255, 255, 255);
  for (Shields* s : Each<Shields>(ShieldsList)) {
    if (s->ShieldType == 0) {
      // The bubble: eight cells, five frames each, following the bike.
      SetDrawBlendMode(3);
      SetDrawAlpha(0.7f);
      if (Facing == 3)
        DrawCell(img_shield_fx, PlayerX + 12, PlayerY - 6, s->Frame);
      else if (Facing == 0)
        DrawCell(img_shield_fx, PlayerX + 12, PlayerY - 9, s->Frame + 8);
      s->FrameDelay += 1;
      if (s->FrameDelay >= 5) {
        s->FrameDelay = 0;
        s->Frame += 1;
        if (s->Frame >= 8) ShieldsList->Remove(s);
      }
    } else if (s->ShieldType == 1) {
      // The flash of a missile strike: additive, fading from grey 255 by 12.
      SetDrawBlendMode(4);
      SetDrawAlpha(0.2f);
      SetDrawColour(s->Color, s->Color, s->Color);
      if (Facing == 3)
        DrawCell(img_shield2, PlayerX - 5, PlayerY - 3, 1);
      else if (Facing == 0)
        DrawCell(img_shield2, PlayerX - 7, PlayerY - 3, 0);
      s->Color -= 12;
      if (s->Color <= 0) ShieldsList->Remove(s);
      SetDrawColour(255, 255, 255);
    }
  }
  SetDrawAlpha(1);
  SetDrawBlendMode(3);
}

void NewFrag(int x, int y, int enemy, int quarter) {
  auto f = ObjectNew<Frags>();
  FragsList->AddLast(f);
  f->x = static_cast<float>(x);
  f->y = static_cast<float>(y);
  f->enemy = enemy;
  f->frame = quarter;
  f->Angle = 0;
  f->Alpha = 1;
}

void UpdateFrags() {
  for (Frags* f : Each<Frags>(FragsList)) {
    const float s = static_cast<float>(SinDegrees(f->Angle));
    const float c = static_cast<float>(CosDegrees(f->Angle));
    switch (f->frame) {
      case 0:  // top-left: fast, curling left
        f->x += s * 1.4f;
        f->y -= c * 1.4f;
        f->Angle = static_cast<float>(FloatMod(f->Angle - 3, 360));
        break;
      case 1:  // top-right: fast, curling right
        f->x += s * 1.4f;
        f->y -= c * 1.4f;
        f->Angle += 3;
        break;
      case 2:  // bottom-left: slower
        f->x += s * 0.9f;
        f->y -= c * 0.8f;
        f->Angle = static_cast<float>(FloatMod(f->Angle - 3, 360));
        break;
      case 3:  // bottom-right: slower
        f->x += s * 0.9f;
        f->y -= c * 0.8f;
        f->Angle += 3;
        break;
      default:
        continue;
    }
    f->Alpha -= 0.02f;
    if (f->Alpha < 0) FragsList->Remove(f);
  }
}

void DrawFrags() {
  for (Frags* f : Each<Frags>(FragsList)) {
    SetDrawAlpha(f->Alpha);
    SetDrawRotation(f->Angle);
    if (f->frame >= 0 && f->frame <= 3) DrawCell(img_frags, f->x, f->y, f->enemy * 4 + f->frame);
  }
  SetDrawAlpha(1);
  SetDrawRotation(0);
}

void BurstBonus(int x, int y) {
  for (int i = 0; i <= 9; ++i) {
    for (int j = 0; j <= 9; ++j) {
      const int r = RandomIntInRange(1, 100);
      if (r <= 48) continue;
      auto p = ObjectNew<FruitJam>();
      FruitJamList->AddLast(p);
      p->x = static_cast<float>(x + 4 * i);
      p->y = static_cast<float>(y + 4 * j);
      p->yadd = -4;
      p->pause = 30;
      p->segment = i + 10 * j;
      // The left six columns drift left or stay, the right four drift right.
      if (i <= 5)
        p->xadd = static_cast<float>(-RandomIntInRange(0, 1));
      else
        p->xadd = static_cast<float>(RandomIntInRange(0, 1));
    }
  }
}

void UpdateFruitJam() {
  for (FruitJam* p : Each<FruitJam>(FruitJamList)) {
    p->yadd += 0.25f;
    p->y = (p->y + p->yadd) + static_cast<float>(RandomIntInRange(0, 1));
    p->x = p->x + p->xadd * static_cast<float>(RandomIntInRange(0, 1));
    DrawCell(img_ShieldFrags, p->x, p->y, p->segment);
    p->pause -= 1;
    if ((p->pause < 0 && RandomIntInRange(1, 10) == 1) || p->y > 447) FruitJamList->Remove(p);
  }
}
