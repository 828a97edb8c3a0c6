// The world of the game and the registration of its record types.
#include "gameplay/gameplay.h"

GameWorld world;
float DialogFade;

void RegisterRecordTypes() {
  for (const char* name : {"Particles", "Pieces", "Frags", "Shields", "TextMessages", "Structures", "Enemies",
                           "Explosions", "Explosions2", "PlayerBullets", "EnemyBullets", "StarCoords"})
    RegisterUserType(name);
}

void CreateObjectLists() {
  // Created once; the game empties and refills them but never replaces them.
  for (TList** list : {&world.enemies, &world.explosions, &world.explosions2, &world.playerBullets, &world.enemyBullets,
                       &world.structures, &world.particles, &world.textMessages, &world.starCoords, &world.shields,
                       &world.frags, &world.pieces})
    if (!*list) *list = new TList();
}
