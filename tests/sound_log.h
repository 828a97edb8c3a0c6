// Reading the runtime's sound log in the game's tests: the effects played,
// and the tunes told as one line of "name@volume" in the order they started.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/headless.h"
#include "screens/screens.h"

namespace soundlog {

// The sounds started that do not loop (every effect), in order.
inline std::vector<TSound*> Effects(const std::vector<SoundEvent>& log) {
  std::vector<TSound*> played;
  for (const SoundEvent& e : log)
    if (e.kind == SoundEvent::Kind::Play && !e.loop) played.push_back(e.sound);
  return played;
}

inline std::vector<TSound*> Effects() { return Effects(SoundLog()); }

// Every looping sound started, as "name@volume", the volume being the last
// one set on its channel; "+" joins a tune started while another tune's
// channel is still playing (two tunes at once), " " one started alone.
inline std::string Tunes(const std::vector<SoundEvent>& log) {
  struct Tune {
    size_t at;  // where in the story its volume goes
    bool playing;
  };
  std::map<TChannel*, Tune> tunes;
  std::vector<std::string> names;
  std::vector<float> volumes;
  std::string joins;
  for (const SoundEvent& e : log) {
    if (e.kind == SoundEvent::Kind::Play && e.loop) {
      bool another = false;
      for (auto& [channel, t] : tunes) another |= t.playing && channel != e.channel;
      if (!names.empty()) joins += another ? '+' : ' ';
      tunes[e.channel] = Tune{names.size(), true};
      names.push_back(e.name);
      volumes.push_back(e.volume);
      continue;
    }
    auto it = tunes.find(e.channel);
    if (it == tunes.end()) continue;
    if (e.kind == SoundEvent::Kind::Stop) it->second.playing = false;
    if (e.kind == SoundEvent::Kind::Volume && it->second.playing) volumes[it->second.at] = e.volume;
  }
  std::string story;
  for (size_t i = 0; i < names.size(); ++i) {
    char volume[16];
    std::snprintf(volume, sizeof volume, "@%g", volumes[i]);
    if (i > 0) story += joins[i - 1];
    story += names[i] + volume;
  }
  return story;
}

inline std::string Tunes() { return Tunes(SoundLog()); }

// The names of the sounds started, in order, joined by spaces.
inline std::string Names(const std::vector<SoundEvent>& log) {
  std::string names;
  for (const SoundEvent& e : log)
    if (e.kind == SoundEvent::Kind::Play) names += (names.empty() ? "" : " ") + e.name;
  return names;
}

// One way the game can make a sound: set the scene, do the thing, and what
// the game looks like afterwards (which must not depend on the effects).
struct Path {
  const char* what;
  std::function<void()> setUp, act;
  std::vector<TSound*> sounds;  // played in this order with effects on
  std::function<std::string()> outcome;
};

// Runs the path with effects on and then off from the same scene: on, its
// sounds and no others, each on a fresh channel that does not loop; off, not
// a sound, and the same outcome.
inline void ExpectSoundsOnlyWithEffects(const Path& path) {
  SCOPED_TRACE(path.what);
  std::string outcome[2];
  for (int sfx : {1, 0}) {
    path.setUp();
    Settings.sfxOn = sfx;
    ClearSoundLog();
    path.act();
    const std::vector<SoundEvent> log = SoundLog();
    outcome[sfx] = path.outcome();
    if (sfx == 0) {
      EXPECT_TRUE(log.empty()) << "with effects off: " << Names(log);
      continue;
    }
    EXPECT_EQ(Effects(log), path.sounds) << "played: " << Names(log);
    std::vector<TChannel*> channels;
    for (const SoundEvent& e : log) {
      EXPECT_EQ(e.kind, SoundEvent::Kind::Play) << e.name;
      EXPECT_EQ(std::count(channels.begin(), channels.end(), e.channel), 0) << e.name << " on a used channel";
      channels.push_back(e.channel);
    }
  }
  EXPECT_EQ(outcome[0], outcome[1]);
  Settings.sfxOn = 1;
}

}  // namespace soundlog
