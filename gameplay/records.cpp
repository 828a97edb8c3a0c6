// The world of the game.
#include "gameplay/gameplay.h"

GameWorld world;
float DialogFade;
