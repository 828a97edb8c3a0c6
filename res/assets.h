// The pictures and sounds built into the program: the handles the game draws
// and plays with, and the catalogue that says, for every file of res/, how
// the game cuts or plays it and where it keeps it. The loader
// (screens/loading.cpp), the picture and sound generators (tools/pictures,
// tools/sounds) and the tests all read this one catalogue, and
// res/CMakeLists.txt embeds the files its rows name.
//
// Nothing here needs the runtime: the handles are only pointers, filled by
// the loader at start-up and held until the program ends.
#pragma once

#include <cstddef>
#include <span>

struct TImage;
struct TSound;

// --- Pictures ---------------------------------------------------------------
// Names follow the files they come from; the comments give the cut
// (cell width x cell height x cells) where it is not the whole picture.
extern TImage* img_font;             // 16 x 16 x 60
extern TImage* img_bike2;            // 120 x 55 x 4
extern TImage* img_bike2_pieces;     // 5 x 5 x 528, the bike broken up at game over
extern TImage* img_playerbullet;
extern TImage* img_Shots_Enemy;      // centred
extern TImage* img_MissileGFX;       // 23 x 23 x 4, centred
extern TImage* img_arrow;
extern TImage* img_teslathingy;      // 80 x 60 x 4
extern TImage* img_enemies;          // 40 x 40 x 44
extern TImage* img_enemies_one;      // cell 0 alone, centred
extern TImage* img_groundenemies;    // 40 x 40 x 36
extern TImage* img_frags;            // 20 x 20 x 40, centred
extern TImage* img_shadows;          // 32 x 32 x 11
extern TImage* img_poof;             // 16 x 16 x 4, centred
extern TImage* img_bouncer;          // 40 x 40 x 4
extern TImage* img_bouncer_centred;  // 40 x 40 x 4, centred
extern TImage* img_mine_new;         // 40 x 40 x 4
extern TImage* img_radar;            // 70 x 120 x 8
extern TImage* img_terraformer1;
extern TImage* img_terraformer2;     // 7 x 64 x 8
extern TImage* img_MoreTowers;       // 70 x 120 x 16
extern TImage* img_explosion;        // 64 x 64 x 16
extern TImage* img_explosion2;       // 64 x 64 x 13, centred
extern TImage* img_LunarExhaust;     // 64 x 64 x 4
extern TImage* img_Glowing;          // 132 x 36 x 2
extern TImage* img_menukeys;
extern TImage* img_menuarrow;        // 32 x 32 x 8
extern TImage* img_menumain;
extern TImage* img_menutitle;
extern TImage* img_menutext;
extern TImage* img_LadyLiberty;
extern TImage* img_bones;
extern TImage* img_shield_fx;        // 98 x 61 x 16
extern TImage* img_shield2;          // 128 x 64 x 2
extern TImage* img_exhaust1;         // 124 x 61 x 16
extern TImage* img_exhaust2;         // 124 x 61 x 16
extern TImage* img_ShieldFrags;      // 4 x 4 x 100
extern TImage* img_messages;         // 480 x 48 x 10, centred
extern TImage* img_layer1b;          // 64 x 480 x 30
extern TImage* img_layer2b;          // 64 x 480 x 30
extern TImage* img_layer3b;          // 64 x 480 x 30
extern TImage* img_layer4c;
extern TImage* img_scanlines1;
extern TImage* img_scanlines2;
extern TImage* img_planet;
extern TImage* img_module;           // 80 x 60 x 5
extern TImage* img_portal;           // 80 x 60 x 4
extern TImage* img_logo2;
extern TImage* img_timebar;
extern TImage* img_timebar2;

// --- Sounds -----------------------------------------------------------------
extern TSound* snd_EnemyExplosion1;
extern TSound* snd_EnemyExplosion2;
extern TSound* snd_AlienRescued;
extern TSound* snd_PlayerShoot;
extern TSound* snd_AlienPickup;
extern TSound* snd_NoTeleport;
extern TSound* snd_menuselect;   // first handle
extern TSound* snd_menuselect2;  // second handle of the same sound
extern TSound* snd_MissileHit;
extern TSound* snd_wohoo;
extern TSound* snd_teleport;
extern TSound* snd_bzzzt;
extern TSound* snd_radar;
extern TSound* snd_TakeShield;
extern TSound* snd_alien1;
extern TSound* snd_alien2;
extern TSound* snd_alien3;
extern TSound* snd_2tower;
extern TSound* snd_energycrackle;
extern TSound* snd_explode1;
extern TSound* snd_explode2;
extern TSound* snd_explode3;
extern TSound* snd_moduleland;
extern TSound* snd_ModuleThrust;
extern TSound* snd_ModuleTakeoff2;
extern TSound* snd_Towers;
extern TSound* snd_Urp;

// Music (looping).
extern TSound* snd_m_menu;
extern TSound* snd_m_game;
extern TSound* snd_m_pause;

// --- The catalogue ----------------------------------------------------------

// How a picture file is stored. Black is the see-through colour of RGB and
// palette pictures; RGBA pictures carry their own alpha.
enum class PictureFormat { RGB, Palette, RGBA };

// Picture flags.
constexpr int kCentred = 1;   // the handle sits in the middle of each cell
constexpr int kLoadFirst = 2;  // loaded before the rest, to write the loading screen

// One cut of a picture file. A file the game cuts two ways has a row for each
// cut; the file's first row is its main cut, the one the generator outlines.
struct PictureEntry {
  const char* file;
  int width, height;          // the whole picture
  PictureFormat format;
  int cellWidth, cellHeight;  // one cell; a picture used whole is one cell of its own size
  int cells;                  // the cells the game cuts, from the first
  TImage** handle;            // where the loader keeps it; null: the intro loads its own
  int flags;
  bool UsedWhole() const { return cells == 1 && cellWidth == width && cellHeight == height; }
};

// What a sound is to the player, which sets how loud it is heard: the shots
// and explosions of a fight, any other effect of the game, the hums of the
// structures that repeat while one is on screen, the cues of the menus and
// the intro, and the tunes (which alone loop).
enum class SoundKind { Fight, Effect, Hum, Cue, Tune };

// One handle of a sound file. Every sound is Ogg Vorbis, stereo, 44100 Hz. A
// file the game loads twice has a row for each handle; its first row is the
// one the generator makes the file from.
struct SoundEntry {
  const char* file;
  double seconds;   // the exact length, to the hundredth of a second
  SoundKind kind;
  TSound** handle;  // null: the intro loads its own
  bool Loops() const { return kind == SoundKind::Tune; }
};

// Every picture cut, in loading order (the generator draws them in this
// order too), and every sound handle, in loading order.
std::span<const PictureEntry> PictureCatalogue();
std::span<const SoundEntry> SoundCatalogue();
// True for the first row of its file: the row that describes the file.
bool IsMainCut(const PictureEntry& entry);
bool IsMainCut(const SoundEntry& entry);
