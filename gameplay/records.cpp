// The world of the game and the start of a new one.
#include "gameplay/gameplay.h"
#include "services/settings.h"

GameWorld world;
float DialogFade;

namespace {

// The game's part at a new game's start. Anything but suicidal plays at the
// normal speeds, so a hand-edited settings value can never leave the world
// standing still.
GameState NewGame() {
  if (GameDifficulty() == Difficulty::Suicidal) return GameState{.scrollFactor = {0.8f, 1.6f, 2.4f}};
  return GameState{};
}
}  // namespace

void StartWorld() {
  world.game = NewGame();
  ResetSector(world.game.level);
}

void StopWorld() { world.bike.speed = 0.0f; }
