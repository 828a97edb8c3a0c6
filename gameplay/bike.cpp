// The hover bike: controls, glide, world scroll, shots and drawing.
//
// Held at top speed the speed is only pushed on frames where it is inside the
// limit and coasts on the others, so it swings between about 8.3 and 8.7;
// released, it coasts to a stop in about 42 frames.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "shell/frontend.h"
#include "shell/settings.h"

namespace {
constexpr float kCeiling = 32.0f;
constexpr float kGround = 397.0f;
constexpr float kHomeX = 272.0f;  // the screen x the bike glides back to
constexpr float kGlideLeft = 172.0f;
constexpr float kGlideRight = 372.0f;
constexpr float kWorldLength = 32000.0f;

bool ClimbInput(float padY) {
  if (IsKeyHeld(Settings.keyClimb) || IsKeyHeld(KeyClimb2)) return true;
  return ControlMode == 1 && (IsJoyButtonHeld(Settings.padClimbButton, 0) || padY < PadRestY);
}

// Advances a flame's animation: eight cells, four frames each.
void StepFlame(int& frame, int& delay) {
  if (++delay >= 4) {
    delay = 0;
    if (++frame > 7) frame = 0;
  }
}
}  // namespace

void PlayerControl() {
  Climbing = 0;
  float padY = static_cast<float>(JoyAxisY(0));
  if (ClimbInput(padY) && PlayerY >= 8.0f) {
    PlayerY -= 6.0f;
    if (PlayerY < kCeiling) PlayerY = kCeiling;
    Climbing = 1;
  }
  if (Climbing == 0 && PlayerY < 408.0f) {
    PlayerY += 4.0f;
    if (PlayerY > kGround) PlayerY = kGround;
  }

  Thrusting = 0;
  float padX = static_cast<float>(JoyAxisX(0));
  if (IsKeyHeld(Settings.keyLeft) || (ControlMode == 1 && padX < PadRestX)) {
    if (PlayerSpeed > -MaxSpeed) {
      Thrusting = 1;
      PlayerSpeed -= 0.3f;
    }
    if (PlayerX < kGlideRight) {
      PlayerX += 0.6f;
      if (PlayerX > kGlideRight) PlayerX = kGlideRight;
    }
  }
  if (IsKeyHeld(Settings.keyRight) || (ControlMode == 1 && padX > PadRestX)) {
    if (PlayerSpeed < MaxSpeed) {
      Thrusting = 1;
      PlayerSpeed += 0.3f;
    }
    if (PlayerX > kGlideLeft) {
      PlayerX -= 0.6f;
      if (PlayerX < kGlideLeft) PlayerX = kGlideLeft;
    }
  }

  bool stopped = false;
  if (PlayerSpeed > -0.2f && PlayerSpeed < 0.2f && Thrusting == 0) {
    PlayerSpeed = 0.0f;
    stopped = true;
  }
  if (Thrusting == 0 && !stopped) {
    if (PlayerSpeed > 0.0f)
      PlayerSpeed -= 0.2f;
    else if (PlayerSpeed < 0.0f)
      PlayerSpeed += 0.2f;
    if (PlayerX > kHomeX + 0.5f)
      PlayerX -= 0.6f;
    else if (PlayerX < kHomeX - 0.5f)
      PlayerX += 0.6f;
    if (PlayerX > kHomeX - 0.5f && PlayerX < kHomeX + 0.5f) PlayerX = kHomeX;
  }

  if (PlayerSpeed < 0.0f)
    Facing = 0;
  else if (PlayerSpeed > 0.0f)
    Facing = 3;

  ScrollPos += PlayerSpeed * ScrollFactor[2];
  if (ScrollPos > kWorldLength - 1.0f) ScrollPos -= kWorldLength;
  if (ScrollPos < 0.0f) ScrollPos += kWorldLength;
  SectorShown = 1 + TruncateToInt(ScrollPos / 6500.0f);

  // One shot a frame at most; when the key fired, the pad's presses wait.
  if (TakeKeyPressCount(Settings.keyFire) != 0 ||
      (ControlMode == 1 && TakeJoyButtonPresses(Settings.padFireButton, 0) != 0))
    FirePlayerBullet();
}

void FirePlayerBullet() {
  if (Settings.sfxOn == 1) PlaySoundOnChannel(snd_PlayerShoot, nullptr);
  auto b = ObjectNew<PlayerBullets>();
  PlayerBulletsList->AddLast(b);
  if (Facing == 0) {
    b->x = PlayerX - 12.0f;
    b->xspeed = -10.0f;
  } else {
    b->x = PlayerX + 92.0f;
    b->xspeed = 10.0f;
  }
  b->y = PlayerY + 32.0f;
}

void DrawPlayer() {
  // Blink while invulnerable: a saw-tooth from 0.9 down to 0 every ten frames.
  if (InvulnerableTicks > 0) SetDrawAlpha(static_cast<float>(InvulnerableTicks % 10) / 10.0f);
  DrawImageFrame(img_bike2, PlayerX, PlayerY, Facing);

  const bool right = Facing == 3;
  const float flameX = right ? PlayerX - 22.0f : PlayerX + 14.0f;
  const int flameCell = right ? 0 : 8;
  if (Thrusting == 1) {
    SetDrawAlpha(0.8f);
    DrawImageFrame(img_exhaust1, flameX, PlayerY, ThrustFlameFrame + flameCell);
    StepFlame(ThrustFlameFrame, ThrustFlameDelay);
  }
  if (Climbing == 1) {
    SetDrawAlpha(0.8f);
    DrawImageFrame(img_exhaust2, flameX, PlayerY + 4.0f, LiftFlameFrame + flameCell);
    StepFlame(LiftFlameFrame, LiftFlameDelay);
  }

  SetDrawAlpha(1.0f);
  if (AlienFree == 0) {
    // The carried alien rides at the bike's tail, never blinked.
    const float alienX = Facing == 0 ? PlayerX + 96.0f : PlayerX + 20.0f;
    DrawImageFrame(img_bouncer_centred, alienX, PlayerY + 7.0f, AlienFrame);
  }
  SetDrawAlpha(1.0f);
  if (InvulnerableTicks > 0) --InvulnerableTicks;
}
