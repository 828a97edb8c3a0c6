// One game, from the first landing to game over: the kinds of things in it,
// the record types, the world that holds them and every routine of the play
// loop.
//
// A comment that starts "KEPT:" marks behaviour that looks like a slip but is
// how the game plays; it stays as it is.
#pragma once

#include <iterator>
#include <optional>

#include "runtime/runtime.h"

// --- The world strip -----------------------------------------------------------
// Structures and the standing alien live on a strip of 32000 pixels that wraps
// round; their x is kept within -200 to 31800 of the screen's left edge.
constexpr float kStripLength = 32000.0f;
constexpr float kStripLow = -200.0f;
constexpr float kStripHigh = kStripLow + kStripLength;

// Brings x back into the strip's window: one correction each way, which is all
// a frame's scroll or a teleport's shift ever needs.
inline void WrapOnStrip(float& x) {
  if (x > kStripHigh) x -= kStripLength;
  if (x < kStripLow) x += kStripLength;
}

// --- Kinds ------------------------------------------------------------------
// What a structure is. The numbers are the order the art and the level
// building were made in; records and tests may hold one outside the list,
// which is then never drawn and never acts.
enum class StructureKind : int32_t {
  Beacon,        // points the way to the alien and the module
  LunarModule,   // takes the bike off once the last alien is aboard
  Teleporter,    // takes the carried alien and throws the bike a sector on
  GroundGun,     // a dome gun that only stands and can be shot
  FiringGun,     // a gun that fires aimed shots
  ShieldBonus,   // four shields when the bike flies into it
  CarrierLeft,   // drives left and fires homing missiles up to the left
  CarrierRight,  // drives right and fires homing missiles up to the right
  Mine,
  Terraformer,   // scenery from here on
  TeslaCoil,
  Statue,
  Bones,
  Spire,
  Habitat,
};
constexpr int kStructureKinds = 15;

// A flying enemy's type: its pictures (kEnemyLooks), the way it moves, and a
// hundred points per step when it rams the bike.
enum class EnemyType : int32_t {
  Spinner,    // drifts, its picture turning
  Probe,      // drifts; the level set-up never makes one
  Jellyfish,  // waves
  SpringBot,  // bounces between the ceiling and the ground
  Saucer,     // flies loops
  Bat,        // wanders
  Manta,      // waves
  SpikeBall,  // bounces
  RingDrone,  // flies loops
  Wasp,       // wanders, on seven animation steps
};

// Where a type's pictures lie. The enemy sheet holds the types' animation
// cells one type after the other, four cells to a row, so a type with more
// steps runs on into the next row: the wasp's seven fill row 9 and three
// cells of row 10, and a new type starts at cell 43. The fragment sheet
// holds four quarters for every type. Every frame of an enemy or fragment
// drawn, and every enemy's number of steps, comes from here.
struct EnemyLook {
  int firstCell;  // its first animation cell in the enemy sheet
  int cells;      // its animation steps
  int firstFrag;  // its top-left quarter in the fragment sheet; the other three follow
};
// In the types' order. The spinner is drawn turned, from its own centred
// copy of cell 0. KEPT: the probe has no steps, so its first step takes it to
// its first cell for good.
constexpr EnemyLook kEnemyLooks[] = {
    {0, 1, 0},   {4, 0, 4},   {8, 4, 8},   {12, 4, 12}, {16, 4, 16},
    {20, 4, 20}, {24, 4, 24}, {28, 4, 28}, {32, 4, 32}, {36, 7, 36},
};
static_assert(std::size(kEnemyLooks) == static_cast<size_t>(EnemyType::Wasp) + 1, "one look for every type");
// The type's look; none for a number outside the list, which is never drawn.
inline const EnemyLook* LookOf(EnemyType type) {
  const auto index = static_cast<size_t>(type);
  return index < std::size(kEnemyLooks) ? &kEnemyLooks[index] : nullptr;
}

// An enemy shot: an aimed shot from a firing gun flies straight; a missile
// from a carrier leaves on a fixed heading, then homes in on the bike.
enum class ShotKind : int32_t { Aimed, Missile };

// An explosion's picture and timing.
enum class ExplosionKind : int32_t {
  Blast,         // the big blast, anchored at its top-left corner
  Puff,          // the carriers' small puff, centred, at half alpha
  CentredBlast,  // the other big blast, centred
};

// An effect drawn around the bike.
enum class ShieldEffect : int32_t {
  Bubble,  // a hit taken on the shields
  Flash,   // a missile's strike
};

// The pictures of messages.png that zoom out over the play field.
enum class MessagePicture : int32_t {
  AlienSaved,  // a teleporter took the carried alien
  ArrowRight,  // a beacon: what you look for lies to the right
  ArrowLeft,   // ... to the left
  GetToCraft,  // a teleporter refuses the last alien
  LevelDone,   // the take-off begins
  YeahBonus,   // the take-off with the time bonus
  NoBonus,     // ... without it
  GetSet,      // the landing: "get set...."
  ForLevel,    // "for level"
  Commander,   // "commander"
};

// Which way the bike faces.
enum class Facing : int32_t { Left, Right };

// The frame of the bike picture that shows a facing. Every drawing of the
// bike and every pixel test against it takes its frame from here.
inline int BikeFrame(Facing facing) { return facing == Facing::Left ? 0 : 3; }

// A wanderer's course between changes: it always climbs or always descends.
enum class WanderCourse : int32_t { Climbing = 1, Descending = 2 };

// --- Record types: every field zero at construction ------------------------
// Fields are camelCase; the ones marked unused are never read but stay, zero,
// in their places.
struct Structures : Object {
  StructureKind kind;
  float x, y;
  int32_t frame, frameCount, frameDelay;
  int32_t touchCooldown;  // beacons and teleporters: frames before a touch counts again
  int32_t sector;         // 1 to 5 for beacons, teleporters and the module; 0 for the rest
  int32_t bobAngle;       // the bonus's bob, in degrees
  float driveSpeed;       // the carriers' own drift: -0.8 or 0.8
  float rotation;         // unused
  int32_t rotationDir;    // unused
  int32_t hitPoints;      // ground guns: 4; the rest 9999
  int32_t soundDelay;     // scenery: frames until its sound may play again
};

// One flying enemy. A few fields serve the movement pattern of the type, so
// their storage is shared by the patterns' own names.
struct Enemies : Object {
  EnemyType type;
  float x, y, xSpeed, ySpeed;
  union {
    float phase;        // waves: the wave's angle; loops: the loop's angle; others: unused
    float courseTimer;  // wanderers: frames until the next change of course
  };
  union {
    int32_t loopStep;     // loops: degrees the loop turns a frame (-2, -1, 1 or 2)
    WanderCourse course;  // wanderers: climbing or descending
  };
  int32_t frame, frameCount, frameDelay;
  float rotation;  // the spinner's drawing angle
  union {
    float spin;         // the spinner: half its turn, in degrees, per drawn frame
    float cruiseSpeed;  // wanderers: flying speed along the course
  };
};
struct EnemyBullets : Object {
  float x, y, xSpeed, ySpeed;
  int32_t life;  // frames left; the shot ends below 0
  ShotKind kind;
  int32_t heading;        // whole degrees: 0 up, 90 right
  int32_t straightTicks;  // missiles: frames flown straight before homing
  int32_t frame, frameDelay;
};
struct PlayerBullets : Object {
  float x, y, xSpeed, ySpeed;
};
struct Explosions : Object {
  float x, y;
  int32_t frame, frameDelay;
  float speed;  // unused
  ExplosionKind kind;
  float drift;  // own drift: x moves by three times this each frame
};
// Never made. It stays, with its always empty list, because the game's
// golden replay hashes every list, this one's length included.
struct Explosions2 : Object {
  float x, y;
  int32_t frame, frameDelay;
  float speed;
  ExplosionKind kind;
  float drift;
};
// A spinning quarter of a shot-down enemy.
struct Frags : Object {
  float x, y;
  EnemyType enemyType;
  int32_t quarter;  // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right
  float angle, alpha;
};
// One effect drawn around the bike: the bubble of a hit on the shields or
// the flash of a missile's strike. The shields themselves are a count
// (the game's shieldCount).
struct ShieldEffects : Object {
  ShieldEffect effect;
  int32_t x, y;  // where it was made; the drawing follows the bike
  int32_t frame, frameDelay;
  float rotation;  // unused
  float zoom;      // set for the bubble, never read
  int32_t grey;    // the flash's colour, fading from 255
};
// A small square piece: of the shield bonus when the bike takes it, or of the
// bike itself at game over.
struct Pieces : Object {
  float x, y, xSpeed, ySpeed;
  float alpha;          // unused
  int32_t cell;         // the cell of the source picture the piece shows
  int32_t vanishDelay;  // bonus pieces: frames before the piece may vanish
  int32_t life;         // bike pieces: frames left; the piece ends below 0
};
// Never made; it stays for the same reason as Explosions2, and the sector
// set-up and a teleport still empty its list as they always have.
struct Particles : Object {
  float x, y, xSpeed, ySpeed, sinus;
  int32_t sinCount, frame, alpha, life;
};
struct TextMessages : Object {
  MessagePicture picture;
  float x, y;  // the picture's centre
  float alpha, alphaStep, scale;
  float swingAngle;  // the up-and-down swing, in degrees
  float rotation;    // unused
  int32_t delayTicks;
};
struct StarCoords : Object {
  float x, y, xSpeed, size;
  int32_t grey;
};

// --- The world of one game ---------------------------------------------------

// How a game ended: the player left through the pause dialog, or the
// shields ran out.
enum class GameEnd { Quit, GameOver };

// The thrust's limit, not the top speed: the thrust pushes by 0.3 a frame
// only while the speed is inside it (below 8.5, or above -8.5 flying left),
// so the last push, from 8.4, carries the bike to its top speed of 8.7.
// Held there it coasts down by 0.2 and is pushed again, swinging between
// 8.3 and 8.7; single-precision rounding lets the top creep up by about
// 0.0007 a minute held.
constexpr float kMaxSpeed = 8.5f;

// The bike as each sector starts it: standing at the module, facing right,
// invulnerable for 120 frames.
struct BikeState {
  float x = 272.0f, y = 402.0f;              // top-left corner of the 120 x 55 picture on screen
  float speed = 0.0f;                        // pixels a frame before the world's scroll factor; below 0 flies left
  Facing facing = Facing::Right;
  bool thrusting = false, climbing = false;  // what the control did this frame, for the drawing
  int invulnerableTicks = 120;               // frames left; UpdatePlayer counts them down
};

// The animation of the bike's two flames.
struct BikeFlames {
  int thrustFrame = 0, thrustDelay = 0;  // the thrust flame
  int liftFrame = 0, liftDelay = 0;      // the lift flame
};

// The alien waiting to be picked up, or riding on the bike; as each sector
// starts it, standing on the ground. Where it stands is the set-up's to draw.
struct AlienState {
  bool free = true;  // true while it stands on the ground, false while the bike carries it
  float x = 0.0f, y = 392.0f;
  int frame = 0, frameDelay = 0;
  int bobAngle = 0;    // its hop, in degrees
  int callTimer = 60;  // frames until it may call again
};

// What a game carries from one sector into the next, as a new game starts
// it: no score, level 1, eight shields, the normal difficulty's scroll speeds
// and a full backdrop.
struct GameState {
  int score = 0;
  int level = 1;
  int shieldCount = 8;  // below 0 ends the game
  // Parallax layer 1, layer 2, layer 3 and the world.
  float scrollFactor[3] = {0.4f, 0.9f, 1.4f};
  float backdropFade = 1.0f;
  // Set once the game is over; the play loop stops after the pass that set it.
  std::optional<GameEnd> ended = std::nullopt;
};

// The sector's own counters and scroll, as each sector starts them (the
// level's aliens are counted by the reset, from the level).
struct SectorState {
  int aliensLeft = 0;           // of this level, not yet picked up
  bool teleportersOff = false;  // the last alien was refused: no more teleports this level
  bool takeOffDue = false;      // the bike brought the last alien to the module
  float timeBonus = 100.0f;     // falling by 0.01 a frame
  float scrollPos = 0.0f;       // the view's place on the strip, 0 to 32000
  int sectorShown = 1;          // 1 to 5, for the status line
  int teleportShift = 0;        // a teleport's shift of the world, applied in its frame
  float planetX = 400.0f;       // x of the planet picture
};

// One list of the world, owned by it. It stands wherever the runtime's list
// routines want a TList* (Each, SpawnAt, world.enemies->Clear()), so records
// are kept, walked and removed exactly as in any runtime list: appended at
// the end, walked front to back, removable while walked.
class WorldList {
 public:
  TList* operator->() { return &list_; }
  operator TList*() { return &list_; }  // implicit on purpose: it reads as the list itself

 private:
  TList list_;
};

// Everything one game plays on, in parts that start anew as values: the
// game's part when a game starts (StartWorld), the sector's, the bike and the
// alien when a sector starts (ResetSector). A new field goes into the part
// whose start should reset it, with its start value as its default. The world
// owns its lists: they exist as soon as the world does and are only emptied
// and refilled.
struct GameWorld {
  GameState game;
  SectorState sector;
  BikeState bike;
  AlienState alien;

  // KEPT: these start with the world, not with a game or a sector, so they
  // run on from one game into the next: a second game fades in on the layers
  // where the first one ended.
  float layerPos[3] = {};  // the three parallax layers' places, 0 to 1920
  BikeFlames flames;

  WorldList enemies;
  WorldList explosions;
  WorldList explosions2;  // never holds a record (see Explosions2)
  WorldList playerBullets;
  WorldList enemyBullets;
  WorldList structures;
  WorldList particles;  // never holds a record (see Particles)
  WorldList textMessages;
  WorldList starCoords;  // filled at start-up, never emptied by a game
  WorldList shieldEffects;
  WorldList frags;
  WorldList pieces;
};

extern GameWorld world;

// A new game's world: the game's part at its start, with the difficulty's
// scroll speeds, and sector 1 reset, still empty (SetupSector builds it). The
// game starts every world this way, and so does every test fixture. The star
// field and what the world keeps (the layers, the flames) stay as they were.
void StartWorld();
// Sector `level` back to its start with nothing in it: its ten lists empty
// (not the stars, nor Explosions2), the sector's part, the bike and the alien
// at their start, and `level + 1` aliens to pick up. SetupSector runs it first.
void ResetSector(int level);
// The world at rest once the front end is done with it: the bike stands, so
// nothing scrolls. The main menu asks for it as it closes. KEPT: nothing
// reads the world after that, but the game has always stopped it there.
void StopWorld();

// A new record at the back of a world list, placed at whole-pixel (x, y);
// every other field starts at zero.
template <class T>
T* SpawnAt(TList* list, int x, int y) {
  auto record = ObjectNew<T>();
  list->AddLast(record);
  record->x = static_cast<float>(x);
  record->y = static_cast<float>(y);
  return record.get();
}
extern float DialogFade;  // alpha of the grabbed screen in the pause dialog

// --- Game loop and pause -----------------------------------------------------
// What one game leaves behind for the menu and the high-score screen.
struct GameResult {
  int score = 0;
  int level = 0;
  GameEnd end = GameEnd::Quit;
};
GameResult PlayGame();
// An Escape the pass took belongs to a take-off that falls due in it.
struct BikeCommand;
void CheckTakeOff(BikeCommand& command);
// The far sky behind every game picture: stars, the haze band and the planet,
// faded by fade. Only drawn: MoveStars moves the stars after it.
void DrawSky(float fade);

// --- Sector set-up -----------------------------------------------------------
// ResetSector, then the level built at random: every game start and take-off.
void SetupSector(int level);
bool WithinDistance(int x1, int y1, int x2, int y2, int r);

// --- Landing and take-off ----------------------------------------------------
// The landing at a game's start puts the parallax layers at 0; the one
// after a take-off scatters them.
enum class Landing { GameStart, NextLevel };
void LandingSequence(Landing landing);
// Escape cuts the take-off short; escapeTaken: one already taken by the
// pass it starts from, which cuts it after its first frame.
void TakeOffSequence(bool escapeTaken = false);

// --- Player bike --------------------------------------------------------------
// What the player asks on one pass of the play loop. The keys and the pad
// are read for it once, where the pass begins; the presses of fire and
// pause are taken then.
struct BikeCommand {
  bool climb = false, left = false, right = false;
  bool fire = false;   // a shot, one a pass at most
  bool pause = false;  // the pause dialog at the end of the pass
};
BikeCommand ReadBikeCommand();
void PlayerControl(const BikeCommand& command);
void FirePlayerBullet();
// The bike, blinking while invulnerable, its flames and the carried alien.
void DrawPlayer();
// After the drawing: the flames shown step on and the invulnerability runs
// down a frame.
void UpdatePlayer();

// --- Alien, beacons and teleporters ---------------------------------------
// The alien on the ground counts its call down and, while on screen, hops
// and calls.
void UpdateAlien();
// The alien on the ground and on screen, with its shadow.
void DrawAlien();
// The alien drifts with the world, carried or not, and steps its animation.
void ScrollAlien();
void CaptureAlien();
void PlayerMeetsStructures();

// --- Message pictures ----------------------------------------------------------
void NewTextMessage(MessagePicture picture, int delay);
// The messages showing swing on by 3 degrees, before they are drawn.
void SwingTextMessages();
// Only drawn: the messages whose delay has run out.
void DrawTextMessages();
// After the drawing: the waiting messages count their delay down, the ones
// showing zoom on and fade, and go once they are invisible.
void UpdateTextMessages();

// --- Backdrop and status line ------------------------------------------------
// The three parallax layers at their places, then the time bar and the
// status line; the landing draws the back layers and the front layer apart,
// with the module between them. Only drawn: ScrollLayers moves them after.
void DrawBackdrop();
void DrawBackLayers();
void DrawFrontLayer();
// Each layer brought back into its picture's width, then moved by the bike's
// speed at its own scroll factor.
void ScrollLayers();
// The status line's text (score, shields, sector) and its drawing at text
// column 1, row 28.6; the landing and take-off draw the same line.
String StatusLineText();
void DrawStatusLine();

// --- Structures -----------------------------------------------------------------
void CreateStructure(int x, int y, StructureKind kind, int sector);
// What the structures on screen do in a frame: the bonus bobs, guns and
// carriers fire, scenery hums.
void UpdateStructures();
// The structures on screen where the frame found them; the lunar module only
// when drawModule (the landing and take-off draw their own).
void DrawStructures(bool drawModule);
// Every structure drifts with the world, wrapping round the strip, the
// carriers drive on, and each steps its animation.
void ScrollStructures();

// --- Enemies --------------------------------------------------------------------
void NewEnemy(int x, int y, EnemyType type);
void UpdateEnemies();
// The spinners on screen turn, before they are drawn.
void TurnSpinners();
void DrawEnemies();

// --- Enemy bullets ---------------------------------------------------------------
// side: a missile leaves up to the left (0) or up to the right (1); aimed
// shots ignore it.
void NewEnemyBullet(int x, int y, ShotKind kind, int side);
// The shots past the band's edges or at the end of their life go; the rest
// age and fly, missiles homing once their straight run is over.
void UpdateEnemyBullets();
void DrawEnemyBullets();
// After the drawing: each missile's picture steps on.
void AnimateEnemyBullets();
// Each shot that touches the bike strikes it: an aimed shot costs a shield,
// a missile flashes and goes.
void EnemyBulletsHitPlayer();

// --- Player bullets and collision tests -------------------------------------
bool BoxesOverlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2);
// The bike's shots fly on; those past the band's edges go.
void UpdatePlayerBullets();
void DrawPlayerBullets();
// Each shot against the enemies on screen, then against the ground guns: a
// hit brings the enemy down or damages the gun, and the shot goes.
void PlayerBulletsHitTargets();

// --- Collisions with the bike -------------------------------------------------
void EnemiesHitPlayer();
void StructuresHitPlayer();

// --- Explosions -------------------------------------------------------------------
void NewExplosion(int x, int y, ExplosionKind kind, int drift);
void ScrollExplosions();
void DrawExplosions();
// After the drawing: each explosion steps its animation and goes after its
// last cell.
void AnimateExplosions();

// --- Shield effects, fragments and bursts -----------------------------------
// A new effect round the bike, with its sound and 90 frames' invulnerability.
void NewShieldEffect(ShieldEffect effect, int x, int y);
// The bike takes a hit that costs a shield: the bubble round it, the sound,
// one shield fewer. Every shield the bike loses goes through here.
void BikeLosesShield();
// The effects around the bike, following it wherever they were made.
void DrawShieldEffects();
// After the drawing: the bubble steps its cells, the flash fades; each goes
// when done.
void AnimateShieldEffects();
void NewFrag(int x, int y, EnemyType enemyType, int quarter);
void UpdateFrags();
void DrawFrags();
void BurstBonus(int x, int y);
// Each piece of the burst bonus falls, is drawn, and may vanish, one piece
// after the other.
void MoveAndDrawBonusPieces();

// --- Star field ----------------------------------------------------------------
// Fills the star field anew with 100 stars; the start-up makes it once.
void CreateStars();
void DrawStars();
// Every star drifts right by its own speed and comes round at the left; the
// sky is drawn first, so a frame shows the stars where the last one left them.
void MoveStars();

// --- Game over -----------------------------------------------------------------
void GameOver();
void ShatterPlayer(int x, int y);
void DrawBikePieces();
// After the drawing: each piece of the bike ages a frame, and flies on or,
// its life over, goes.
void UpdateBikePieces();
