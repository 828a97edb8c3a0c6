// The handles of the embedded pictures and sounds, and the catalogue rows
// that say how each file is cut and where the loader keeps it.
//
// res/CMakeLists.txt embeds the file named first on every row below that
// starts with {"name.png" or {"name.ogg": keep each row on one line.
#include "res/assets.h"

#include <cstring>

TImage* img_font = nullptr;
TImage* img_bike2 = nullptr;
TImage* img_bike2_pieces = nullptr;
TImage* img_playerbullet = nullptr;
TImage* img_Shots_Enemy = nullptr;
TImage* img_MissileGFX = nullptr;
TImage* img_arrow = nullptr;
TImage* img_teslathingy = nullptr;
TImage* img_enemies = nullptr;
TImage* img_enemies_one = nullptr;
TImage* img_groundenemies = nullptr;
TImage* img_frags = nullptr;
TImage* img_shadows = nullptr;
TImage* img_poof = nullptr;
TImage* img_bouncer = nullptr;
TImage* img_bouncer_centred = nullptr;
TImage* img_mine_new = nullptr;
TImage* img_radar = nullptr;
TImage* img_terraformer1 = nullptr;
TImage* img_terraformer2 = nullptr;
TImage* img_MoreTowers = nullptr;
TImage* img_explosion = nullptr;
TImage* img_explosion2 = nullptr;
TImage* img_LunarExhaust = nullptr;
TImage* img_Glowing = nullptr;
TImage* img_menukeys = nullptr;
TImage* img_menuarrow = nullptr;
TImage* img_menumain = nullptr;
TImage* img_menutitle = nullptr;
TImage* img_menutext = nullptr;
TImage* img_LadyLiberty = nullptr;
TImage* img_bones = nullptr;
TImage* img_shield_fx = nullptr;
TImage* img_shield2 = nullptr;
TImage* img_exhaust1 = nullptr;
TImage* img_exhaust2 = nullptr;
TImage* img_ShieldFrags = nullptr;
TImage* img_messages = nullptr;
TImage* img_layer1b = nullptr;
TImage* img_layer2b = nullptr;
TImage* img_layer3b = nullptr;
TImage* img_layer4c = nullptr;
TImage* img_scanlines1 = nullptr;
TImage* img_scanlines2 = nullptr;
TImage* img_planet = nullptr;
TImage* img_module = nullptr;
TImage* img_portal = nullptr;
TImage* img_logo2 = nullptr;
TImage* img_timebar = nullptr;
TImage* img_timebar2 = nullptr;
TSound* snd_EnemyExplosion1 = nullptr;
TSound* snd_EnemyExplosion2 = nullptr;
TSound* snd_AlienRescued = nullptr;
TSound* snd_PlayerShoot = nullptr;
TSound* snd_AlienPickup = nullptr;
TSound* snd_NoTeleport = nullptr;
TSound* snd_menuselect = nullptr;
TSound* snd_menuselect2 = nullptr;
TSound* snd_MissileHit = nullptr;
TSound* snd_wohoo = nullptr;
TSound* snd_teleport = nullptr;
TSound* snd_bzzzt = nullptr;
TSound* snd_radar = nullptr;
TSound* snd_TakeShield = nullptr;
TSound* snd_alien1 = nullptr;
TSound* snd_alien2 = nullptr;
TSound* snd_alien3 = nullptr;
TSound* snd_2tower = nullptr;
TSound* snd_energycrackle = nullptr;
TSound* snd_explode1 = nullptr;
TSound* snd_explode2 = nullptr;
TSound* snd_explode3 = nullptr;
TSound* snd_moduleland = nullptr;
TSound* snd_ModuleThrust = nullptr;
TSound* snd_ModuleTakeoff2 = nullptr;
TSound* snd_Towers = nullptr;
TSound* snd_Urp = nullptr;
TSound* snd_m_menu = nullptr;
TSound* snd_m_game = nullptr;
TSound* snd_m_pause = nullptr;

namespace {

using enum PictureFormat;
using enum SoundKind;

// In loading order. The intro's pictures come first in the file list but are
// loaded by the intro itself each time it runs; the font is loaded before
// the loading screen, which it writes.
const PictureEntry kPictures[] = {
    // file               width height format   cell w cell h cells  handle                 flags
    {"intro1.png",          118,   74, RGB,        118,    74,    1, nullptr,               0},
    {"intro2.png",           24,   16, Palette,     24,    16,    1, nullptr,               0},
    {"intro3a.png",         128,  128, RGBA,       128,   128,    1, nullptr,               0},
    {"intro3b.png",         128,  128, RGBA,       128,   128,    1, nullptr,               0},
    {"font.png",            320,   48, Palette,     16,    16,   60, &img_font,             kLoadFirst},
    {"bike2.png",           120,  220, RGB,        120,    55,    4, &img_bike2,            0},
    {"bike2.png",           120,  220, RGB,          5,     5,  528, &img_bike2_pieces,     0},
    {"playerbullet.png",     23,    5, RGB,         23,     5,    1, &img_playerbullet,     0},
    {"Shots_Enemy.png",      13,   13, RGB,         13,    13,    1, &img_Shots_Enemy,      kCentred},
    {"MissileGFX.png",       92,   23, RGB,         23,    23,    4, &img_MissileGFX,       kCentred},
    {"arrow.png",            32,   42, RGBA,        32,    42,    1, &img_arrow,            0},
    {"teslathingy.png",     320,   60, RGB,         80,    60,    4, &img_teslathingy,      0},
    {"enemies.png",         160,  440, RGB,         40,    40,   44, &img_enemies,          0},
    {"enemies.png",         160,  440, RGB,         40,    40,    1, &img_enemies_one,      kCentred},
    {"groundenemies.png",   240,  240, RGB,         40,    40,   36, &img_groundenemies,    0},
    {"frags.png",            40,  400, RGB,         20,    20,   40, &img_frags,            kCentred},
    {"shadows.png",         192,   64, RGB,         32,    32,   11, &img_shadows,          0},
    {"poof.png",             64,   16, RGB,         16,    16,    4, &img_poof,             kCentred},
    {"bouncer.png",         160,   40, RGB,         40,    40,    4, &img_bouncer,          0},
    {"bouncer.png",         160,   40, RGB,         40,    40,    4, &img_bouncer_centred,  kCentred},
    {"mine_new.png",        160,   40, RGB,         40,    40,    4, &img_mine_new,         0},
    {"radar.png",           560,  120, RGB,         70,   120,    8, &img_radar,            0},
    {"terraformer1.png",     42,  120, RGB,         42,   120,    1, &img_terraformer1,     0},
    {"terraformer2.png",     56,   64, RGB,          7,    64,    8, &img_terraformer2,     0},
    {"MoreTowers.png",      560,  240, RGB,         70,   120,   16, &img_MoreTowers,       0},
    {"explosion.png",       256,  256, RGB,         64,    64,   16, &img_explosion,        0},
    {"explosion2.png",       64,  832, RGB,         64,    64,   13, &img_explosion2,       kCentred},
    {"LunarExhaust.png",    256,   64, RGB,         64,    64,    4, &img_LunarExhaust,     0},
    {"Glowing.png",         132,   72, RGB,        132,    36,    2, &img_Glowing,          0},
    {"menukeys.png",        212,   10, Palette,    212,    10,    1, &img_menukeys,         0},
    {"menuarrow.png",        32,  256, Palette,     32,    32,    8, &img_menuarrow,        0},
    {"menumain.png",        640,  480, RGB,        640,   480,    1, &img_menumain,         0},
    {"menutitle.png",       485,  110, RGB,        485,   110,    1, &img_menutitle,        0},
    {"menutext.png",        313,  265, RGB,        313,   265,    1, &img_menutext,         0},
    {"LadyLiberty.png",     158,  222, RGB,        158,   222,    1, &img_LadyLiberty,      0},
    {"bones.png",            86,   22, RGB,         86,    22,    1, &img_bones,            0},
    {"shield_fx.png",        98,  976, RGB,         98,    61,   16, &img_shield_fx,        0},
    {"shield2.png",         128,  128, RGB,        128,    64,    2, &img_shield2,          0},
    {"exhaust1.png",        124,  976, RGB,        124,    61,   16, &img_exhaust1,         0},
    {"exhaust2.png",        124,  976, RGB,        124,    61,   16, &img_exhaust2,         0},
    {"ShieldFrags.png",      40,   40, RGB,          4,     4,  100, &img_ShieldFrags,      0},
    {"messages.png",        480,  480, RGB,        480,    48,   10, &img_messages,         kCentred},
    {"layer1b.png",        1920,  480, RGB,         64,   480,   30, &img_layer1b,          0},
    {"layer2b.png",        1920,  480, RGB,         64,   480,   30, &img_layer2b,          0},
    {"layer3b.png",        1920,  480, RGB,         64,   480,   30, &img_layer3b,          0},
    {"layer4c.png",           8,  480, RGB,          8,   480,    1, &img_layer4c,          0},
    {"scanlines1.png",      320,  200, RGBA,       320,   200,    1, &img_scanlines1,       0},
    {"scanlines2.png",      320,   80, RGBA,       320,    80,    1, &img_scanlines2,       0},
    {"planet.png",          128,   67, RGB,        128,    67,    1, &img_planet,           0},
    {"module.png",          400,   60, RGB,         80,    60,    5, &img_module,           0},
    {"portal.png",          320,   60, RGB,         80,    60,    4, &img_portal,           0},
    {"logo2.png",           340,   84, RGB,        340,    84,    1, &img_logo2,            0},
    {"timebar.png",         640,   32, RGB,        640,    32,    1, &img_timebar,          0},
    {"timebar2.png",          1,   16, RGB,          1,    16,    1, &img_timebar2,         0},
};

// In loading order: the intro's three first, then the effects (the second
// "_menuselect.ogg" handle between "_teleport.ogg" and "_bzzzt.ogg",
// "_ModuleTakeoff2.ogg" before "_ModuleThrust.ogg"), then the three tunes.
const SoundEntry kSounds[] = {
    // file                 seconds  kind    handle
    {"_footsteps-4.ogg",       2.40, Cue,    nullptr},
    {"_lights.ogg",            2.99, Cue,    nullptr},
    {"_hmmmm.ogg",             0.73, Cue,    nullptr},
    {"_EnemyExplosion1.ogg",   0.26, Fight,  &snd_EnemyExplosion1},
    {"_EnemyExplosion2.ogg",   0.24, Fight,  &snd_EnemyExplosion2},
    {"_AlienRescued.ogg",      0.56, Effect, &snd_AlienRescued},
    {"_PlayerShoot.ogg",       0.08, Fight,  &snd_PlayerShoot},
    {"_AlienPickup.ogg",       1.80, Effect, &snd_AlienPickup},
    {"_NoTeleport.ogg",        0.57, Effect, &snd_NoTeleport},
    {"_menuselect.ogg",        0.18, Cue,    &snd_menuselect},
    {"_MissileHit.ogg",        1.78, Fight,  &snd_MissileHit},
    {"_wohoo.ogg",             0.51, Effect, &snd_wohoo},
    {"_teleport.ogg",          0.37, Effect, &snd_teleport},
    {"_menuselect.ogg",        0.18, Cue,    &snd_menuselect2},
    {"_bzzzt.ogg",             1.03, Effect, &snd_bzzzt},
    {"_radar.ogg",             1.81, Effect, &snd_radar},
    {"_TakeShield.ogg",        0.56, Effect, &snd_TakeShield},
    {"_alien1.ogg",            1.22, Effect, &snd_alien1},
    {"_alien2.ogg",            1.51, Effect, &snd_alien2},
    {"_alien3.ogg",            1.17, Effect, &snd_alien3},
    {"_2tower.ogg",            5.01, Hum,    &snd_2tower},
    {"_energycrackle.ogg",     2.37, Hum,    &snd_energycrackle},
    {"_explode1.ogg",          0.84, Fight,  &snd_explode1},
    {"_explode2.ogg",          2.44, Fight,  &snd_explode2},
    {"_explode3.ogg",          4.08, Fight,  &snd_explode3},
    {"_moduleland.ogg",        2.00, Effect, &snd_moduleland},
    {"_ModuleTakeoff2.ogg",    5.30, Effect, &snd_ModuleTakeoff2},
    {"_ModuleThrust.ogg",      5.72, Effect, &snd_ModuleThrust},
    {"_Towers.ogg",            3.98, Hum,    &snd_Towers},
    {"_Urp.ogg",               2.00, Effect, &snd_Urp},
    {"m_menu.ogg",           134.46, Tune,   &snd_m_menu},
    {"m_game.ogg",           192.37, Tune,   &snd_m_game},
    {"m_pause.ogg",           42.68, Tune,   &snd_m_pause},
};

// True when no row before `entry` names its file.
template <class Entry>
bool IsFirstRowOfItsFile(std::span<const Entry> rows, const Entry& entry) {
  for (const Entry& earlier : rows) {
    if (&earlier == &entry) return true;
    if (std::strcmp(earlier.file, entry.file) == 0) return false;
  }
  return false;  // not a row of the catalogue
}

}  // namespace

std::span<const PictureEntry> PictureCatalogue() { return kPictures; }
std::span<const SoundEntry> SoundCatalogue() { return kSounds; }

bool IsMainCut(const PictureEntry& entry) { return IsFirstRowOfItsFile<PictureEntry>(kPictures, entry); }
bool IsMainCut(const SoundEntry& entry) { return IsFirstRowOfItsFile<SoundEntry>(kSounds, entry); }
