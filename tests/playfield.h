// Test support for the combat, rescue and game-over tests: one headless
// runtime per process with the game's pictures and sounds loaded, and an
// empty play field for every test: bike standing at (272, 397) facing right,
// no records, level 1, 8 shields, score 0, fixed seed.
#pragma once

#include <gtest/gtest.h>

#include "gameplay/gameplay.h"
#include "runtime/headless.h"
#include "shell/shell.h"

namespace playfield {

// Starts the runtime once per process (headless, virtual clock, no audio
// device) and loads every embedded picture and sound as the start-up does.
inline void StartOnce(bool drawing = true) {
  static bool started = false;
  if (started) return;
  started = true;
  StartGameRuntime({.headless = true, .nullDrawing = !drawing, .virtualClock = true, .nullAudio = true});
  CreateStars();
}

// Drawing on or off between tests (the runtime reads the option at every
// drawing operation); long sequences run much faster without it.
inline void Drawing(bool on) {
  RuntimeOptions o = GetRuntimeOptions();
  o.nullDrawing = !on;
  SetRuntimeOptions(o);
}

inline void ResetWorld(int seed = 1234) {
  SetRandomSeed(seed);
  for (TList* l : {EnemiesList, ExplosionsList, PlayerBulletsList, EnemyBulletsList, StructuresList, ParticlesList,
                   TextMessagesList, ShieldsList, FragsList, FruitJamList})
    l->Clear();
  SetScriptHook(nullptr);
  PlayerX = 272, PlayerY = 397, PlayerSpeed = 0, Facing = 3, ScrollPos = 0;
  ScrollFactor[2] = 1.4f;
  ShieldCount = 8, InvulnerableTicks = 0, Score = 0, LevelNumber = 1, AliensLeft = 2;
  AlienFree = 1, AlienX = 20000, AlienY = 392, AlienBob = 0, AlienSoundTimer = 60;
  TeleportersOff = TeleportOffset = TakeOffFlag = QuitState = 0;
  TimeBonus = 100;
  Settings.sfxOn = 1;
  SetDrawAlpha(1);
  SetDrawBlendMode(3);
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
  e->enemy = type, e->x = x, e->y = y;
  return e;
}

inline Structures* AddStructure(int kind, float x, float y, int sector = 0) {
  Structures* s = Add<Structures>(StructuresList);
  s->structure = kind, s->x = x, s->y = y, s->Sector = sector;
  s->HitPoints = (kind == 3 || kind == 4) ? 4 : 9999;
  return s;
}

inline PlayerBullets* AddShot(float x, float y, float xspeed) {
  PlayerBullets* b = Add<PlayerBullets>(PlayerBulletsList);
  b->x = x, b->y = y, b->xspeed = xspeed;
  return b;
}

template <class T>
int Count(TList* list) {
  int n = 0;
  for (T* r : Each<T>(list)) n += r != nullptr;
  return n;
}

template <class T>
T* First(TList* list) {
  for (T* r : Each<T>(list)) return r;
  return nullptr;
}

template <class F>
int64_t FramesOf(F run) {
  const int64_t start = PresentedFrameCount();
  run();
  return PresentedFrameCount() - start;
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
