// Loading of every picture (after the font), sound and tune, behind the
// loading screen. The order, cells and handle points are fixed: the two
// handles of one file are loaded one after the other, and "Shots_Enemy.png"
// is centred only once "ShieldFrags.png" is in.
#include "shell/shell.h"

namespace {

TImage* Whole(const char* file) { return LoadImageResource(ResPath(file), -1); }

TImage* Cells(const char* file, int width, int height, int count) {
  return LoadImageCells(ResPath(file), width, height, 0, count, -1);
}

TImage* Centred(TImage* image) {
  CentreImageHandle(image);
  return image;
}

TSound* Effect(const char* file) { return LoadSoundResource(ResPath(file), 0); }
TSound* Tune(const char* file) { return LoadSoundResource(ResPath(file), 1); }

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

void LoadSounds() {
  snd_EnemyExplosion1 = Effect("_EnemyExplosion1.ogg");
  snd_EnemyExplosion2 = Effect("_EnemyExplosion2.ogg");
  snd_AlienRescued = Effect("_AlienRescued.ogg");
  snd_PlayerShoot = Effect("_PlayerShoot.ogg");
  snd_AlienPickup = Effect("_AlienPickup.ogg");
  snd_NoTeleport = Effect("_NoTeleport.ogg");
  snd_menuselect = Effect("_menuselect.ogg");
  snd_MissileHit = Effect("_MissileHit.ogg");
  snd_wohoo = Effect("_wohoo.ogg");
  snd_teleport = Effect("_teleport.ogg");
  snd_menuselect2 = Effect("_menuselect.ogg");
  snd_bzzzt = Effect("_bzzzt.ogg");
  snd_radar = Effect("_radar.ogg");
  snd_TakeShield = Effect("_TakeShield.ogg");
  snd_alien1 = Effect("_alien1.ogg");
  snd_alien2 = Effect("_alien2.ogg");
  snd_alien3 = Effect("_alien3.ogg");
  snd_2tower = Effect("_2tower.ogg");
  snd_energycrackle = Effect("_energycrackle.ogg");
  snd_explode1 = Effect("_explode1.ogg");
  snd_explode2 = Effect("_explode2.ogg");
  snd_explode3 = Effect("_explode3.ogg");
  snd_moduleland = Effect("_moduleland.ogg");
  snd_ModuleTakeoff2 = Effect("_ModuleTakeoff2.ogg");
  snd_ModuleThrust = Effect("_ModuleThrust.ogg");
  snd_Towers = Effect("_Towers.ogg");
  snd_Urp = Effect("_Urp.ogg");
  snd_m_menu = Tune("m_menu.ogg");
  snd_m_game = Tune("m_game.ogg");
  snd_m_pause = Tune("m_pause.ogg");
}

}  // namespace

void LoadResources() {
  LoadPictures();
  LoadSounds();
}
