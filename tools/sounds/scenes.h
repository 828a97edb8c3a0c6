// The screens of the game as they are heard: which sounds each one plays,
// when and at what volume, as the game's code plays them (a new channel per
// effect at full volume, the tune at its screen's volume), mixed as the
// mixer adds its channels up. The generator's meter (loudness.h) then says
// how loud each screen is, and how its parts stand against one another.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/limiter.h"

namespace scenes {

struct Stereo {
  std::vector<float> left, right;
};

// One sound started on a new channel: the file, when (seconds from the
// scene's start) and the channel's volume.
struct Play {
  std::string file;
  double at;
  float volume;
};

struct Scene {
  std::string name;
  double seconds;
  std::vector<Play> plays;
  // The same scene with only the plays of this file, or without them.
  Scene Only(const std::string& file) const;
  Scene Without(const std::string& file) const;
};

// The tunes' volumes as the game sets them (0.4 each with the music on).
struct Volumes {
  float menu, game, pause;
};

// The screens, each with its tune and its sounds:
//   intro      the footsteps, the light, the pilot's murmur, no tune;
//   menu       the menu tune and a select blip every few seconds;
//   landing    the game tune at half volume, as a game starts it, the
//              descent's engine and the touch-down;
//   fight      a fight at the game's start (the tune at half volume), as
//              thick as recorded games have them: the player taps fire five
//              times a second and shoots two enemies down a second, the
//              bike loses a shield every four seconds or so, a ground gun
//              falls, an alien is beamed up, a tesla coil crackles and the
//              towers hum on screen;
//   fight-full the same fight after the first pause, the tune at full volume;
//   swarm      the bike in the swarm without firing (a held fire key fires
//              once), at the game's start: a shield lost every two and a
//              half seconds, a missile strike, a beam, the towers humming;
//   take-off   the bonus counted off tick by tick, the lift-off, the warp;
//   pause      the pause tune.
std::vector<Scene> Screens(const Volumes& v);

// A scene by name from Screens.
Scene ScreenNamed(const Volumes& v, const std::string& name);

// Mixes a scene: each play's sound (from `sound`, decoded) times its volume,
// added up as the mixer does, before its limiter. A tune (a file whose name
// starts "m_") loops for as long as the scene lasts; an effect plays once.
using Sounds = std::function<const Stereo&(const std::string& file)>;
Stereo Mix(const Scene& scene, const Sounds& sound);

// A mix through the mixer's own limiter, as the player hears it. Inline, so
// only what calls it needs the runtime's limiter at link time.
inline Stereo Limited(Stereo s) {
  std::vector<float> frames(s.left.size() * 2);
  for (size_t i = 0; i < s.left.size(); ++i) frames[2 * i] = s.left[i], frames[2 * i + 1] = s.right[i];
  rt::SoftLimiter limiter;
  limiter.Process(frames.data(), static_cast<int>(s.left.size()));
  for (size_t i = 0; i < s.left.size(); ++i) s.left[i] = frames[2 * i], s.right[i] = frames[2 * i + 1];
  return s;
}

}  // namespace scenes
