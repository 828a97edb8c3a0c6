// Loading of every picture (after the font), sound and tune, behind the
// loading screen. The order, cells and handle points are fixed: the two
// handles of one file are loaded one after the other, and "Shots_Enemy.png"
// is centred only once "ShieldFrags.png" is in.
#include <thread>
#include <vector>

#include "shell/shell.h"

namespace {

TImage* Whole(const char* file) { return LoadImageResource(ResPath(file), IMAGE_DEFAULT_FLAGS); }

TImage* Cells(const char* file, int width, int height, int count) {
  return LoadImageCells(ResPath(file), width, height, 0, count, IMAGE_DEFAULT_FLAGS);
}

TImage* Centred(TImage* image) {
  CentreImageHandle(image);
  return image;
}


void LoadPictures() {
  img_bike2 = Cells("bike2.png", 120, 55, 4);
  img_bike2_pieces = Cells("bike2.png", 5, 5, 528);
  img_playerbullet = Whole("playerbullet.png");
  img_Shots_Enemy = Whole("Shots_Enemy.png");
  img_MissileGFX = Centred(Cells("MissileGFX.png", 23, 23, 4));
  img_arrow = Whole("arrow.png");
  img_teslathingy = Cells("teslathingy.png", 80, 60, 4);
  img_enemies_one = Centred(Cells("enemies.png", 40, 40, 1));
  img_enemies = Cells("enemies.png", 40, 40, 44);
  img_groundenemies = Cells("groundenemies.png", 40, 40, 36);
  img_frags = Centred(Cells("frags.png", 20, 20, 40));
  img_shadows = Cells("shadows.png", 32, 32, 11);
  img_poof = Centred(Cells("poof.png", 16, 16, 4));
  img_bouncer = Cells("bouncer.png", 40, 40, 4);
  img_bouncer_centred = Centred(Cells("bouncer.png", 40, 40, 4));
  img_mine_new = Cells("mine_new.png", 40, 40, 4);
  img_radar = Cells("radar.png", 70, 120, 8);
  img_terraformer1 = Whole("terraformer1.png");
  img_terraformer2 = Cells("terraformer2.png", 7, 64, 8);
  img_MoreTowers = Cells("MoreTowers.png", 70, 120, 16);
  img_explosion = Cells("explosion.png", 64, 64, 16);
  img_explosion2 = Centred(Cells("explosion2.png", 64, 64, 13));
  img_LunarExhaust = Cells("LunarExhaust.png", 64, 64, 4);
  img_Glowing = Cells("Glowing.png", 132, 36, 2);
  img_menukeys = Whole("menukeys.png");
  img_menuarrow = Cells("menuarrow.png", 32, 32, 8);
  img_menumain = Whole("menumain.png");
  img_menutitle = Whole("menutitle.png");
  img_menutext = Whole("menutext.png");
  img_LadyLiberty = Whole("LadyLiberty.png");
  img_bones = Whole("bones.png");
  img_shield_fx = Cells("shield_fx.png", 98, 61, 16);
  img_shield2 = Cells("shield2.png", 128, 64, 2);
  img_exhaust1 = Cells("exhaust1.png", 124, 61, 16);
  img_exhaust2 = Cells("exhaust2.png", 124, 61, 16);
  img_ShieldFrags = Cells("ShieldFrags.png", 4, 4, 100);
  CentreImageHandle(img_Shots_Enemy);
  img_messages = Centred(Cells("messages.png", 480, 48, 10));
  img_layer1b = Cells("layer1b.png", 64, 480, 30);
  img_layer2b = Cells("layer2b.png", 64, 480, 30);
  img_layer3b = Cells("layer3b.png", 64, 480, 30);
  img_layer4c = Whole("layer4c.png");
  img_scanlines1 = Whole("scanlines1.png");
  img_scanlines2 = Whole("scanlines2.png");
  img_planet = Whole("planet.png");
  img_module = Cells("module.png", 80, 60, 5);
  img_portal = Cells("portal.png", 80, 60, 4);
  img_logo2 = Whole("logo2.png");
  img_timebar = Whole("timebar.png");
  img_timebar2 = Whole("timebar2.png");
}

// The sounds in catalogue order (the second "_menuselect.ogg" handle between
// "_teleport.ogg" and "_bzzzt.ogg", "_ModuleTakeoff2.ogg" before
// "_ModuleThrust.ogg"), then the three looping tunes.
struct SoundLoad {
  TSound** handle;
  const char* file;
  int flags;  // 0 or SOUND_LOOPS
};
const SoundLoad kSounds[] = {
    {&snd_EnemyExplosion1, "_EnemyExplosion1.ogg", 0}, {&snd_EnemyExplosion2, "_EnemyExplosion2.ogg", 0},
    {&snd_AlienRescued, "_AlienRescued.ogg", 0},       {&snd_PlayerShoot, "_PlayerShoot.ogg", 0},
    {&snd_AlienPickup, "_AlienPickup.ogg", 0},         {&snd_NoTeleport, "_NoTeleport.ogg", 0},
    {&snd_menuselect, "_menuselect.ogg", 0},           {&snd_MissileHit, "_MissileHit.ogg", 0},
    {&snd_wohoo, "_wohoo.ogg", 0},                     {&snd_teleport, "_teleport.ogg", 0},
    {&snd_menuselect2, "_menuselect.ogg", 0},          {&snd_bzzzt, "_bzzzt.ogg", 0},
    {&snd_radar, "_radar.ogg", 0},                     {&snd_TakeShield, "_TakeShield.ogg", 0},
    {&snd_alien1, "_alien1.ogg", 0},                   {&snd_alien2, "_alien2.ogg", 0},
    {&snd_alien3, "_alien3.ogg", 0},                   {&snd_2tower, "_2tower.ogg", 0},
    {&snd_energycrackle, "_energycrackle.ogg", 0},     {&snd_explode1, "_explode1.ogg", 0},
    {&snd_explode2, "_explode2.ogg", 0},               {&snd_explode3, "_explode3.ogg", 0},
    {&snd_moduleland, "_moduleland.ogg", 0},           {&snd_ModuleTakeoff2, "_ModuleTakeoff2.ogg", 0},
    {&snd_ModuleThrust, "_ModuleThrust.ogg", 0},       {&snd_Towers, "_Towers.ogg", 0},
    {&snd_Urp, "_Urp.ogg", 0},                         {&snd_m_menu, "m_menu.ogg", SOUND_LOOPS},
    {&snd_m_game, "m_game.ogg", SOUND_LOOPS},          {&snd_m_pause, "m_pause.ogg", SOUND_LOOPS},
};

// The sounds are read on a worker thread while this thread cuts the
// pictures, which take longer. One worker is enough: only the short effects
// are decoded at load (the tunes and the long effects play from their Ogg
// bytes), and every extra thread would keep a memory arena of its own.
// Every handle is in place when LoadResources returns.
class SoundLoader {
 public:
  void Start() {
    worker_ = std::thread([] {
      for (const SoundLoad& load : kSounds) *load.handle = LoadSoundResource(ResPath(load.file), load.flags);
    });
  }
  void Finish() { worker_.join(); }

 private:
  std::thread worker_;
};

}  // namespace

void LoadResources() {
  SoundLoader sounds;
  sounds.Start();
  LoadPictures();
  sounds.Finish();
}
