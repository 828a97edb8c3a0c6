// The world of the game and the start of a new one.
#include "gameplay/gameplay.h"
#include "services/settings.h"

GameWorld world;
float DialogFade;

namespace {

void SetScrollFactors() {
  // Normal difficulty for anything but suicidal, so a hand-edited settings
  // value can never leave the world standing still.
  const bool suicidal = GameDifficulty() == Difficulty::Suicidal;
  world.scrollFactor[0] = suicidal ? 0.8f : 0.4f;
  world.scrollFactor[1] = suicidal ? 1.6f : 0.9f;
  world.scrollFactor[2] = suicidal ? 2.4f : 1.4f;
}
}  // namespace

void StartWorld() {
  world.ended.reset();
  world.shieldCount = 8;
  world.level = 1;
  world.score = 0;
  SetScrollFactors();
  world.backdropFade = 1.0f;
  ResetSector(world.level);
}
