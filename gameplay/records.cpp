// The twelve lists and the world globals shared by the gameplay routines.
#include "gameplay/gameplay.h"

TList* EnemiesList;
TList* ExplosionsList;
TList* Explosions2List;
TList* PlayerBulletsList;
TList* EnemyBulletsList;
TList* StructuresList;
TList* ParticlesList;
TList* TextMessagesList;
TList* StarCoordsList;
TList* ShieldsList;
TList* FragsList;
TList* FruitJamList;

float PlayerX, PlayerY, PlayerSpeed, MaxSpeed = 8.5f;
int Facing;
float ScrollFactor[3] = {0.4f, 0.9f, 1.4f};
float ScrollPos;
int SectorShown = 1;
int ShieldCount;
int InvulnerableTicks;
int Score;
int LevelNumber;
int AliensLeft;
int AlienFree;
float AlienX, AlienY;
int AlienFrame, AlienFrameDelay, AlienBob, AlienSoundTimer;
int TeleportersOff;
int TakeOffFlag;
float TimeBonus;
float LayerPos1, LayerPos2, LayerPos3;
float BackdropFade = 1.0f;
int Thrusting, Climbing;
float PlanetX = 400.0f;
float DialogFade;
int TeleportOffset;
int ThrustFlameFrame, ThrustFlameDelay;
int LiftFlameFrame, LiftFlameDelay;

void CreateObjectLists() {
  // Created once; the game empties and refills them but never replaces them.
  for (TList** list : {&EnemiesList, &ExplosionsList, &Explosions2List, &PlayerBulletsList,
                       &EnemyBulletsList, &StructuresList, &ParticlesList, &TextMessagesList,
                       &StarCoordsList, &ShieldsList, &FragsList, &FruitJamList})
    if (!*list) *list = new TList();
}
