// The game's sound effects, one routine per file; each fills `frames` sample
// frames (the catalogued length) and leaves levelling to the caller.
#pragma once

#include "synth.h"

namespace sounds {

synth::Buffer Footsteps(int frames);
synth::Buffer Lights(int frames);
synth::Buffer Hmmmm(int frames);
synth::Buffer EnemyExplosion1(int frames);
synth::Buffer EnemyExplosion2(int frames);
synth::Buffer AlienRescued(int frames);
synth::Buffer PlayerShoot(int frames);
synth::Buffer AlienPickup(int frames);
synth::Buffer NoTeleport(int frames);
synth::Buffer MenuSelect(int frames);
synth::Buffer MissileHit(int frames);
synth::Buffer Wohoo(int frames);
synth::Buffer Teleport(int frames);
synth::Buffer Bzzzt(int frames);
synth::Buffer Radar(int frames);
synth::Buffer TakeShield(int frames);
synth::Buffer Alien1(int frames);
synth::Buffer Alien2(int frames);
synth::Buffer Alien3(int frames);
synth::Buffer TwoTower(int frames);
synth::Buffer EnergyCrackle(int frames);
synth::Buffer Explode1(int frames);
synth::Buffer Explode2(int frames);
synth::Buffer Explode3(int frames);
synth::Buffer ModuleLand(int frames);
synth::Buffer ModuleThrust(int frames);
synth::Buffer ModuleTakeoff(int frames);
synth::Buffer Towers(int frames);
synth::Buffer Urp(int frames);

}  // namespace sounds
