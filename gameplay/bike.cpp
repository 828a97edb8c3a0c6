// The hover bike: controls, glide, world scroll, shots and drawing.
//
// Held at top speed the speed is only pushed on frames where it is inside the
// thrust's limit and coasts on the others, so it swings just under and over
// that limit (kMaxSpeed gives the figures); released, it coasts to a stop by
// 0.2 a frame.
#include "gameplay/gameplay.h"
#include "res/assets.h"
#include "services/controls.h"
#include "services/settings.h"

namespace {
constexpr float kCeiling = 32.0f;
constexpr float kGround = 397.0f;
constexpr float kHomeX = 272.0f;  // the screen x the bike glides back to
constexpr float kGlideLeft = 172.0f;
constexpr float kGlideRight = 372.0f;

// Advances a flame's animation: eight cells, four frames each.
void StepFlame(int& frame, int& delay) {
  if (++delay >= 4) {
    delay = 0;
    if (++frame > 7) frame = 0;
  }
}
}  // namespace

BikeCommand ReadBikeCommand() {
  BikeCommand command;
  const bool pad = controls.mode == ControlMode::Pad;
  // The stick has no dead zone: any reading off its rest steers.
  const float padY = JoyAxisY(0);
  command.climb = IsKeyHeld(Settings.keyClimb) || IsKeyHeld(controls.keyClimb2) ||
                  (pad && (IsJoyButtonHeld(Settings.padClimbButton, 0) || padY < controls.padRestY));
  const float padX = JoyAxisX(0);
  command.left = IsKeyHeld(Settings.keyLeft) || (pad && padX < controls.padRestX);
  command.right = IsKeyHeld(Settings.keyRight) || (pad && padX > controls.padRestX);
  // When the key fired, the pad's presses wait for a later pass.
  command.fire = TakeKeyPressCount(Settings.keyFire) != 0 || TakePadPress(Settings.padFireButton);
  command.pause = TakeKeyPressCount(KeyCode::Escape) > 0;
  return command;
}

void PlayerControl(const BikeCommand& command) {
  BikeState& bike = world.bike;
  bike.climbing = false;
  if (command.climb && bike.y >= 8.0f) {
    bike.y -= 6.0f;
    if (bike.y < kCeiling) bike.y = kCeiling;
    bike.climbing = true;
  }
  if (!bike.climbing && bike.y < 408.0f) {
    bike.y += 4.0f;
    if (bike.y > kGround) bike.y = kGround;
  }

  bike.thrusting = false;
  if (command.left) {
    if (bike.speed > -kMaxSpeed) {
      bike.thrusting = true;
      bike.speed -= 0.3f;
    }
    if (bike.x < kGlideRight) {
      bike.x += 0.6f;
      if (bike.x > kGlideRight) bike.x = kGlideRight;
    }
  }
  if (command.right) {
    if (bike.speed < kMaxSpeed) {
      bike.thrusting = true;
      bike.speed += 0.3f;
    }
    if (bike.x > kGlideLeft) {
      bike.x -= 0.6f;
      if (bike.x < kGlideLeft) bike.x = kGlideLeft;
    }
  }

  bool stopped = false;
  if (bike.speed > -0.2f && bike.speed < 0.2f && !bike.thrusting) {
    bike.speed = 0.0f;
    stopped = true;
  }
  if (!bike.thrusting && !stopped) {
    if (bike.speed > 0.0f)
      bike.speed -= 0.2f;
    else if (bike.speed < 0.0f)
      bike.speed += 0.2f;
    if (bike.x > kHomeX + 0.5f)
      bike.x -= 0.6f;
    else if (bike.x < kHomeX - 0.5f)
      bike.x += 0.6f;
    if (bike.x > kHomeX - 0.5f && bike.x < kHomeX + 0.5f) bike.x = kHomeX;
  }

  if (bike.speed < 0.0f)
    bike.facing = Facing::Left;
  else if (bike.speed > 0.0f)
    bike.facing = Facing::Right;

  world.sector.scrollPos += bike.speed * world.game.scrollFactor[2];
  if (world.sector.scrollPos > kStripLength - 1.0f) world.sector.scrollPos -= kStripLength;
  if (world.sector.scrollPos < 0.0f) world.sector.scrollPos += kStripLength;
  world.sector.sectorShown = 1 + TruncateToInt(world.sector.scrollPos / 6500.0f);

  if (command.fire) FirePlayerBullet();
}

void FirePlayerBullet() {
  BikeState& bike = world.bike;
  if (Settings.sfxOn == 1) PlaySoundOnChannel(snd_PlayerShoot, nullptr);
  auto b = ObjectNew<PlayerBullets>();
  world.playerBullets->AddLast(b);
  if (bike.facing == Facing::Left) {
    b->x = bike.x - 12.0f;
    b->xSpeed = -10.0f;
  } else {
    b->x = bike.x + 92.0f;
    b->xSpeed = 10.0f;
  }
  b->y = bike.y + 32.0f;
}

void DrawPlayer() {
  const BikeState& bike = world.bike;
  // Blink while invulnerable: a saw-tooth from 0.9 down to 0 every ten frames.
  if (bike.invulnerableTicks > 0) SetDrawAlpha(static_cast<float>(bike.invulnerableTicks % 10) / 10.0f);
  DrawImageFrame(img_bike2, bike.x, bike.y, BikeFrame(bike.facing));

  const bool right = bike.facing == Facing::Right;
  const float flameX = right ? bike.x - 22.0f : bike.x + 14.0f;
  const int flameCell = right ? 0 : 8;
  if (bike.thrusting) {
    SetDrawAlpha(0.8f);
    DrawImageFrame(img_exhaust1, flameX, bike.y, world.flames.thrustFrame + flameCell);
  }
  if (bike.climbing) {
    SetDrawAlpha(0.8f);
    DrawImageFrame(img_exhaust2, flameX, bike.y + 4.0f, world.flames.liftFrame + flameCell);
  }

  SetDrawAlpha(1.0f);
  if (!world.alien.free) {
    // The carried alien rides at the bike's tail, never blinked.
    const float alienX = bike.facing == Facing::Left ? bike.x + 96.0f : bike.x + 20.0f;
    DrawImageFrame(img_bouncer_centred, alienX, bike.y + 7.0f, world.alien.frame);
  }
  SetDrawAlpha(1.0f);
}

void UpdatePlayer() {
  BikeState& bike = world.bike;
  if (bike.thrusting) StepFlame(world.flames.thrustFrame, world.flames.thrustDelay);
  if (bike.climbing) StepFlame(world.flames.liftFrame, world.flames.liftDelay);
  if (bike.invulnerableTicks > 0) --bike.invulnerableTicks;
}
