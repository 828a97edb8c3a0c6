#include "scenes.h"

#include <algorithm>
#include <cmath>

namespace scenes {

namespace {

constexpr double kRate = 44100.0;
constexpr double kFrame = 1.0 / 60.0;  // the game's frame

bool IsTune(const std::string& file) { return file.rfind("m_", 0) == 0; }

Scene Intro() {
  // Footsteps, 2.3 s on the light, 0.35 s on the pictures rise; the murmur
  // after frame 262 of them; the fade ends the scene after frame 373 and
  // 128 frames of fading.
  const double pictures = 2.30 + 0.35;
  return {"intro",
          pictures + (373 + 3 + 128) * kFrame,
          {{"_footsteps-4.ogg", 0.0, 1.0f}, {"_lights.ogg", 2.30, 1.0f}, {"_hmmmm.ogg", pictures + 262 * kFrame, 1.0f}}};
}

Scene Menu(const Volumes& v) {
  Scene s{"menu", 20.0, {{"m_menu.ogg", 0.0, v.menu}}};
  for (double at : {3.0, 7.5, 11.0, 16.0}) s.plays.push_back({"_menuselect.ogg", at, 1.0f});
  return s;
}

Scene Landing(const Volumes& v) {
  // The module touches down in frame 304; the landing ends with frame 402.
  return {"landing",
          402 * kFrame,
          {{"m_game.ogg", 0.0, v.game / 2}, {"_ModuleThrust.ogg", 0.0, 1.0f}, {"_moduleland.ogg", 304 * kFrame, 1.0f}}};
}

// A fight as one goes at the game's start, the bike in the thick of a swarm
// (counted from recorded games): the player taps fire five times a second
// and two shots in five bring an enemy down, a shot's flight after it; now
// and then the swarm gets through and the bike loses a shield (the crackle
// and the hit together), every four seconds or so; a ground gun falls; an
// alien is beamed up; a tesla coil crackles, then the towers hum.
Scene Fight(const std::string& name, float tune) {
  Scene s{name, 20.0, {{"m_game.ogg", 0.0, tune}}};
  int shot = 0;
  for (double at = 0.1; at < s.seconds; at += 0.2, ++shot) {
    s.plays.push_back({"_PlayerShoot.ogg", at, 1.0f});
    if (shot % 5 == 1 || shot % 5 == 3) s.plays.push_back({"_EnemyExplosion1.ogg", at + 0.13, 1.0f});
  }
  // A ground gun destroyed: its hit and the blast of its end together.
  s.plays.push_back({"_EnemyExplosion1.ogg", 9.2, 1.0f});
  s.plays.push_back({"_EnemyExplosion2.ogg", 9.2, 1.0f});
  for (double at : {2.3, 6.5, 10.6, 14.3, 18.4}) {
    s.plays.push_back({"_bzzzt.ogg", at, 1.0f});
    s.plays.push_back({"_EnemyExplosion1.ogg", at, 1.0f});
  }
  // The beam, one flash after another.
  for (double at = 12.0; at < 13.5; at += 0.4) s.plays.push_back({"_teleport.ogg", at, 1.0f});
  // On screen for a while: a tesla coil (every 120 frames), then a tower
  // (every 240).
  for (double at = 0.0; at < 10.0; at += 120 * kFrame) s.plays.push_back({"_energycrackle.ogg", at, 1.0f});
  for (double at = 10.0; at < s.seconds; at += 240 * kFrame) s.plays.push_back({"_Towers.ogg", at, 1.0f});
  return s;
}

// The bike flying through the swarm without firing, as a player does who
// holds the fire key down (a held key fires once): it loses a shield as
// soon as the last loss stops guarding it, every two and a half seconds or
// so; a gun's missile strikes; an alien is beamed up; towers stand on
// screen, one humming every 240 frames, then another half-way between,
// and a terraformer now and then; a shield bonus is taken.
Scene Swarm(float tune) {
  Scene s{"swarm", 20.0, {{"m_game.ogg", 0.0, tune}}};
  for (double at : {1.0, 3.4, 5.5, 8.2, 10.4, 13.1, 15.6, 18.0}) {
    s.plays.push_back({"_bzzzt.ogg", at, 1.0f});
    s.plays.push_back({"_EnemyExplosion1.ogg", at, 1.0f});
  }
  for (double at : {6.9, 7.0}) s.plays.push_back({"_MissileHit.ogg", at, 1.0f});
  for (double at = 11.0; at < 12.5; at += 0.4) s.plays.push_back({"_teleport.ogg", at, 1.0f});
  for (double at = 0.0; at < s.seconds; at += 120 * kFrame) s.plays.push_back({"_Towers.ogg", at, 1.0f});
  for (double at : {4.5, 14.5}) s.plays.push_back({"_2tower.ogg", at, 1.0f});
  s.plays.push_back({"_TakeShield.ogg", 16.8, 1.0f});
  return s;
}

Scene TakeOff(const Volumes& v) {
  // A bonus of 60 counted off one tick every second frame, then the
  // take-off; the climb takes 309 frames, then the warp.
  Scene s{"take-off", 10.0, {{"m_game.ogg", 0.0, v.game / 2}}};
  const double counted = 120 * kFrame;
  for (int k = 0; k < 60; ++k) s.plays.push_back({"_menuselect.ogg", (2 * k + 1) * kFrame, 1.0f});
  s.plays.push_back({"_ModuleTakeoff2.ogg", counted, 1.0f});
  s.plays.push_back({"_Urp.ogg", counted + 309 * kFrame, 1.0f});
  return s;
}

}  // namespace

Scene Scene::Only(const std::string& file) const {
  Scene s{name + " (" + file + " only)", seconds, {}};
  for (const Play& p : plays)
    if (p.file == file) s.plays.push_back(p);
  return s;
}

Scene Scene::Without(const std::string& file) const {
  Scene s{name + " (without " + file + ")", seconds, {}};
  for (const Play& p : plays)
    if (p.file != file) s.plays.push_back(p);
  return s;
}

std::vector<Scene> Screens(const Volumes& v) {
  return {Intro(),
          Menu(v),
          Landing(v),
          Fight("fight", v.game / 2),
          Fight("fight-full", v.game),
          Swarm(v.game / 2),
          TakeOff(v),
          {"pause", 20.0, {{"m_pause.ogg", 0.0, v.pause}}}};
}

Scene ScreenNamed(const Volumes& v, const std::string& name) {
  for (const Scene& s : Screens(v))
    if (s.name == name) return s;
  return {name, 0.0, {}};
}

Stereo Mix(const Scene& scene, const Sounds& sound) {
  const size_t n = static_cast<size_t>(std::lround(scene.seconds * kRate));
  Stereo out{std::vector<float>(n, 0.0f), std::vector<float>(n, 0.0f)};
  for (const Play& p : scene.plays) {
    const Stereo& s = sound(p.file);
    const size_t length = std::min(s.left.size(), s.right.size());
    if (length == 0) continue;
    const size_t first = static_cast<size_t>(std::lround(p.at * kRate));
    const size_t last = IsTune(p.file) ? n : std::min(n, first + length);
    for (size_t i = first; i < last; ++i) {
      const size_t k = (i - first) % length;
      out.left[i] += s.left[k] * p.volume;
      out.right[i] += s.right[k] * p.volume;
    }
  }
  return out;
}

}  // namespace scenes
