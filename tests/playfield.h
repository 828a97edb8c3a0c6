// Test support for the combat, rescue and game-over tests: one headless
// runtime per process with the game's pictures and sounds loaded, and for
// every test a new game's world as the game starts it (StartWorld): no
// records, level 1, 8 shields, score 0; the bike landed at (272, 397) facing
// right; fixed seed.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "gameplay/gameplay.h"
#include "runtime/headless.h"
#include "screens/screens.h"

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

// A new game's world as the game starts it, with the bike landed, no longer
// blinking, and the alien far off.
inline void ResetWorld(int seed = 1234) {
  SetRandomSeed(seed);
  SetScriptHook(nullptr);
  StartWorld();
  world.bike.y = 397, world.bike.invulnerableTicks = 0, world.alien.x = 20000;
  Settings.sfxOn = 1;
  SetDrawAlpha(1);
  SetDrawBlendMode(BlendMode::Alpha);
  ClearKeyStates();
}

template <class T>
T* Add(TList* list) {
  auto r = ObjectNew<T>();
  list->AddLast(r);
  return r.get();
}

inline Enemies* AddEnemy(EnemyType type, float x, float y) {
  Enemies* e = Add<Enemies>(world.enemies);
  e->type = type, e->x = x, e->y = y;
  return e;
}

using Kind = StructureKind;

inline Structures* FirstOfKind(Kind kind) {
  for (Structures* s : Each<Structures>(world.structures))
    if (s->kind == kind) return s;
  return nullptr;
}

// A player at random, drawing from its own generator (never the game's): each
// frame it flips each steering key, fires, pauses and now and then puts the
// alien, a teleporter or the module under the bike, so random games rescue,
// teleport and take off too. Odds are in thousandths a frame; the draws come
// in a fixed order, so one seed always plays the same game.
struct RandomPlayer {
  int flipKey, fire, pause, putInWay;
  std::mt19937 input;
  bool held[4] = {};

  RandomPlayer(int flipKey, int fire, int pause, int putInWay, unsigned seed)
      : flipKey(flipKey), fire(fire), pause(pause), putInWay(putInWay), input(seed) {}

  void PlayFrame() {
    const int keys[] = {Settings.keyLeft, Settings.keyRight, Settings.keyClimb, controls.keyClimb2};
    std::uniform_int_distribution<int> roll(0, 999);
    for (int k = 0; k < 4; ++k)
      if (roll(input) < flipKey) (held[k] = !held[k]) ? ScriptKeyDown(keys[k]) : ScriptKeyUp(keys[k]);
    if (roll(input) < fire) ScriptKeyTap(Settings.keyFire);
    if (roll(input) < pause) ScriptKeyTap(KeyCode::Escape);
    if (roll(input) < putInWay && !world.game.ended && world.game.shieldCount >= 0 && !world.sector.takeOffDue) {
      world.bike.y = 397;
      if (world.alien.free) {
        world.alien.x = world.bike.x + 30;
      } else if (Structures* s = FirstOfKind(world.sector.aliensLeft > 0 ? Kind::Teleporter : Kind::LunarModule)) {
        s->x = world.bike.x + 20;
      }
    }
  }
};

// Lets go of every steering key and forgets pending presses.
inline void ReleaseSteering() {
  for (int k : {Settings.keyLeft, Settings.keyRight, Settings.keyClimb, controls.keyClimb2}) ScriptKeyUp(k);
  ClearKeyStates();
}

// A structure made as the level's set-up makes it, at the back of the list.
// Without one the test cannot go on: the throw fails it (GoogleTest reports
// the exception) rather than letting it read through a null pointer.
inline Structures* AddStructure(Kind kind, int x, int y, int sector = 0) {
  const int before = world.structures->Count();
  CreateStructure(x, y, kind, sector);
  Structures* made = nullptr;
  for (Structures* s : Each<Structures>(world.structures)) made = s;
  if (world.structures->Count() != before + 1 || !made) throw std::logic_error("CreateStructure made no record");
  return made;
}

inline PlayerBullets* AddShot(float x, float y, float xspeed) {
  PlayerBullets* b = Add<PlayerBullets>(world.playerBullets);
  b->x = x, b->y = y, b->xSpeed = xspeed;
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
