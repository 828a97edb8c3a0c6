// Test support for the combat, rescue and game-over tests: one headless
// runtime per test process with the game's pictures and sounds loaded, and a
// fresh, empty play field for every test.
//
//   class MyTest : public PlayfieldTest {};   // SetUp gives an empty field
//   PlaceBikeOnGround(); AddEnemy(...); AddStructure(...);
//
// The play field starts with the bike standing at (272, 397) facing right,
// no records in any list, level 1, 8 shields, score 0 and a fixed seed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gameplay/gameplay.h"
#include "runtime/headless.h"
#include "runtime/runtime.h"
#include "shell/shell.h"

namespace playfield {

// Starts the runtime once per process (headless renderer, virtual clock, no
// audio device) and loads every embedded picture and sound, as the start-up
// does. drawing = false skips the pixel work for long runs.
inline void StartOnce(bool drawing = true) {
  static bool started = false;
  if (started) return;
  started = true;
  RegisterEmbeddedFiles();
  RuntimeStartCore();
  RuntimeOptions o;
  o.headless = true;
  o.virtualClock = true;
  o.nullAudio = true;
  o.nullDrawing = !drawing;
  SetRuntimeOptions(o);
  RuntimeStartServices();
  RegisterRecordTypes();
  OpenGraphicsDisplay(640, 480, 0, 60, 0);
  img_font = LoadImageCells(ResPath("font.png"), 16, 16, 0, 60, -1);
  ScreenGrab = CreateEmptyImage(640, 480, 1, 9);
  LoadResources();
  CreateObjectLists();
  CreateStars();
}

// Switches the drawing on or off between tests; the runtime reads the option
// at every drawing operation. Long sequences run faster without it.
inline void Drawing(bool on) {
  RuntimeOptions o = GetRuntimeOptions();
  o.nullDrawing = !on;
  SetRuntimeOptions(o);
}

inline void ClearAllLists() {
  for (TList* l : {EnemiesList, ExplosionsList, PlayerBulletsList, EnemyBulletsList, StructuresList,
                   ParticlesList, TextMessagesList, ShieldsList, FragsList, FruitJamList})
    l->Clear();
}

// An empty world with the bike standing still on the ground, facing right.
inline void ResetWorld(int seed = 1234) {
  SetRandomSeed(seed);
  ClearAllLists();
  SetScriptHook(nullptr);
  PlayerX = 272;
  PlayerY = 397;
  PlayerSpeed = 0;
  Facing = 3;
  Thrusting = Climbing = 0;
  ScrollFactor[0] = 0.4f;
  ScrollFactor[1] = 0.9f;
  ScrollFactor[2] = 1.4f;
  ScrollPos = 0;
  SectorShown = 1;
  ShieldCount = 8;
  InvulnerableTicks = 0;
  Score = 0;
  LevelNumber = 1;
  AliensLeft = 2;
  AlienFree = 1;
  AlienX = 20000;  // far away unless a test moves it
  AlienY = 392;
  AlienFrame = AlienFrameDelay = AlienBob = 0;
  AlienSoundTimer = 60;
  TeleportersOff = 0;
  TeleportOffset = 0;
  TakeOffFlag = 0;
  TimeBonus = 100;
  LayerPos1 = LayerPos2 = LayerPos3 = 0;
  BackdropFade = 1;
  PlanetX = 400;
  QuitState = 0;
  SfxOn = 1;
  SetDrawAlpha(1);
  SetDrawColour(255, 255, 255);
  SetDrawBlendMode(3);
  SetDrawRotation(0);
  SetDrawScale(1, 1);
  ClearKeyStates();
}

template <class T>
T* Add(TList* list) {
  auto r = ObjectNew<T>();
  list->AddLast(r);
  return r.get();
}

inline Enemies* AddEnemy(int type, float x, float y) {
  Enemies* e = Add<Enemies>(EnemiesList);
  e->enemy = type;
  e->x = x;
  e->y = y;
  return e;
}

inline Structures* AddStructure(int kind, float x, float y, int sector = 0) {
  Structures* s = Add<Structures>(StructuresList);
  s->structure = kind;
  s->x = x;
  s->y = y;
  s->Sector = sector;
  s->HitPoints = (kind == 3 || kind == 4) ? 4 : 9999;
  return s;
}

inline PlayerBullets* AddShot(float x, float y, float xspeed) {
  PlayerBullets* b = Add<PlayerBullets>(PlayerBulletsList);
  b->x = x;
  b->y = y;
  b->xspeed = xspeed;
  return b;
}

template <class T>
int Count(TList* list) {
  int n = 0;
  for (T* r : Each<T>(list)) {
    (void)r;
    ++n;
  }
  return n;
}

template <class T>
T* First(TList* list) {
  for (T* r : Each<T>(list)) return r;
  return nullptr;
}

// Where screenshots of the tests go (the build's test directory by default).
inline std::string ShotPath(const std::string& name) {
  const char* dir = std::getenv("NOVA_SHOT_DIR");
  return (dir ? std::string(dir) + "/" : std::string()) + name;
}

}  // namespace playfield

class PlayfieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    playfield::StartOnce();
    playfield::ResetWorld();
  }
  void TearDown() override { SetScriptHook(nullptr); }
};
