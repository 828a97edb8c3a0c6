// One game, from the first landing to game over: the record types, their
// lists, the world globals and every routine of the play loop.
#pragma once

#include "runtime/runtime.h"

// --- Record types: every field zero at construction ------------------------
struct Structures : Object {
  int32_t structure; float x, y; int32_t frame, maxframe, fdelay, inactive, Sector, Bounce;
  float Xspeed, Rotation; int32_t RotationDir, HitPoints, SoundDelay;
};
struct Enemies : Object {
  int32_t enemy; float x, y, xspeed, yspeed, Sinus; int32_t SinCount, Frame, MaxFrame, AnimDelay;
  float Rotation, RotationDir;
};
struct EnemyBullets : Object {
  float x, y, xspeed, yspeed; int32_t life, WhatType, Angle, GoStraight, Frame, FrameDelay;
};
struct PlayerBullets : Object {
  float x, y, xspeed, yspeed;
};
struct Explosions : Object {
  float x, y; int32_t frame, fdelay; float Speed; int32_t whichone; float xspeed;
};
struct Explosions2 : Object {
  float x, y; int32_t frame, fdelay; float Speed; int32_t whichone; float xspeed;
};
struct Frags : Object {
  float x, y; int32_t enemy, frame; float Angle, Alpha;
};
struct Shields : Object {
  int32_t ShieldType, x, y, Frame, FrameDelay; float Rotation, Zoom; int32_t Color;
};
struct FruitJam : Object {
  float x, y, xadd, yadd, alpha; int32_t segment, pause, WhoseShot;
};
struct Particles : Object {
  float x, y, xspeed, yspeed, Sinus; int32_t SinCount, Frame, alpha, life;
};
struct TextMessages : Object {
  int32_t number; float x, y, alpha, alphaadd, scale, sinus, rotate; int32_t delayticks;
};
struct StarCoords : Object {
  float x, y, xspeed, size; int32_t color;
};

// Creates the twelve lists, in start-up order.
void CreateObjectLists();

// --- The lists: one per record type ----------------------------------------
extern TList* EnemiesList;
extern TList* ExplosionsList;
extern TList* Explosions2List;
extern TList* PlayerBulletsList;
extern TList* EnemyBulletsList;
extern TList* StructuresList;
extern TList* ParticlesList;
extern TList* TextMessagesList;
extern TList* StarCoordsList;
extern TList* ShieldsList;
extern TList* FragsList;
extern TList* FruitJamList;

// --- World globals ----------------------------------------------------------
extern float PlayerX, PlayerY, PlayerSpeed, MaxSpeed;
extern int Facing;               // 0 left, 3 right; also the bike's frame
extern float ScrollFactor[3];    // layer 1, layer 2, layer 3 and the world
extern float ScrollPos;
extern int SectorShown;
extern int ShieldCount;
extern int InvulnerableTicks;
extern int Score;
extern int LevelNumber;
extern int AliensLeft;
extern int AlienFree;
extern float AlienX, AlienY;
extern int AlienFrame, AlienFrameDelay, AlienBob, AlienSoundTimer;
extern int TeleportersOff;
extern int TakeOffFlag;
extern float TimeBonus;
extern float LayerPos1, LayerPos2, LayerPos3;
extern float BackdropFade;
extern int Thrusting, Climbing;
extern float PlanetX;           // x of the planet picture; 400 at each sector start
extern float DialogFade;        // alpha of the grabbed screen in the pause dialog
extern int TeleportOffset;      // world shift made by a teleport in this frame
extern int ThrustFlameFrame, ThrustFlameDelay;  // bike's thrust flame animation
extern int LiftFlameFrame, LiftFlameDelay;      // bike's lift flame animation

// --- Game loop and pause -----------------------------------------------------
int PlayGame();
void CheckTakeOff();
// The far sky behind every game picture: stars, the haze band and the planet,
// faded by fade.
void DrawSky(float fade);

// --- Sector set-up -----------------------------------------------------------
void SetupSector(int level);
int WithinDistance(int x1, int y1, int x2, int y2, int r);

// --- Landing and take-off ----------------------------------------------------
void LandingSequence(int mode);
void TakeOffSequence();

// --- Player bike --------------------------------------------------------------
void PlayerControl();
void FirePlayerBullet();
void DrawPlayer();

// --- Alien, beacons and teleporters ---------------------------------------
void UpdateAlien();
void CaptureAlien();
void PlayerMeetsStructures();

// --- Message pictures ----------------------------------------------------------
void NewTextMessage(int number, int delay);
void DrawTextMessages();

// --- Backdrop and status line ------------------------------------------------
void DrawBackdrop();
void DrawBackLayers();
void DrawFrontLayer();
// The status line's text (score, shields, sector) and its drawing at text
// column 1, row 28.6; the landing and take-off draw the same line.
String StatusLineText();
void DrawStatusLine();

// --- Structures -----------------------------------------------------------------
void CreateStructure(int x, int y, int kind, int sector);
void UpdateStructures(int drawModule);

// --- Enemies --------------------------------------------------------------------
void NewEnemy(int x, int y, int type);
void UpdateEnemies();
void DrawEnemies();

// --- Enemy bullets ---------------------------------------------------------------
void NewEnemyBullet(int x, int y, int kind, int side);
void UpdateEnemyBullets();

// --- Player bullets and collision tests -------------------------------------
int BoxesOverlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2);
void UpdatePlayerBullets();

// --- Collisions with the bike -------------------------------------------------
void EnemiesHitPlayer();
void StructuresHitPlayer();

// --- Explosions -------------------------------------------------------------------
void NewExplosion(int x, int y, int whichone, int xspeed);
void ScrollExplosions();
void DrawExplosions();

// --- Shields, fragments and bursts ------------------------------------------
void NewShield(int type, int x, int y);
void DrawShields();
void NewFrag(int x, int y, int enemy, int quarter);
void UpdateFrags();
void DrawFrags();
void BurstBonus(int x, int y);
void UpdateFruitJam();

// --- Star field ----------------------------------------------------------------
void CreateStars();
void DrawStars();

// --- Game over -----------------------------------------------------------------
int GameOver();
int ShatterPlayer(int x, int y);
int DrawFruitJam();
