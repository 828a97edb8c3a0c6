// The world of the game and the creation of its lists.
#include "gameplay/gameplay.h"

GameWorld world;
float DialogFade;

void CreateObjectLists() {
  // Created once; the game empties and refills them but never replaces them.
  for (TList** list : {&world.enemies, &world.explosions, &world.explosions2, &world.playerBullets, &world.enemyBullets,
                       &world.structures, &world.particles, &world.textMessages, &world.starCoords, &world.shields,
                       &world.frags, &world.pieces})
    if (!*list) *list = new TList();
}
