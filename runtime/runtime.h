// The runtime layer: display, drawing, collision, sound, input, clock, random
// numbers, maths, strings, files, lists, embedded files and records.
//
// The game calls only what is declared here (and never an SDL header). Every
// operation keeps the promises the game relies on; how it is done (SDL2,
// libpng, libvorbisfile, our own mixer) stays inside runtime/.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/keycodes.h"

// ---------------------------------------------------------------------------
// Strings: sequences of 16-bit characters held by value (std::u16string), not
// immutable. Each copy is its holder's own: assigning or passing one by value
// copies it, and changing one in place (appending, setting a character)
// changes no other. The string operations below never change the strings
// they are given.
using String = std::u16string;

// ---------------------------------------------------------------------------
// Opaque handles. The layer creates and owns them; the game only holds them.
struct TImage;
struct TSound;
struct TChannel;
struct TStream;
struct TDisplay;

// ---------------------------------------------------------------------------
// Start of the layer.

// Starts the layer's core: sets the clock's origin. Called by ProgramEntry
// before GameMain, and by test fixtures.
void RuntimeStartCore();
// Starts every service of the layer (video, events, input, audio) and sets
// the clock's origin again. The game calls it once at the start of GameMain,
// after the embedded files are registered; StartRuntime (runtime/headless.h)
// calls it for tests, benchmarks and tools. A second call does nothing.
void RuntimeStartServices();
// Ends every service: closes the display and the audio device and frees
// every image and sound loaded (their handles are no longer valid).
// Idempotent.
void RuntimeShutdown();
// The layer's program entry: starts the core, calls gameMain once and
// returns its result as the exit status.
int ProgramEntry(int (*gameMain)());

// What to run when the player closes the window (or the desktop or a signal
// asks the game to quit), and when the display's connection is lost (the X
// server gone). The shell registers a routine that saves the settings; the
// layer runs it once and then ends the program, with status 0 after a close
// request, 1 when the display was lost. Null: nothing to run.
void SetCloseRequestHandler(std::function<void()> handler);

// ---------------------------------------------------------------------------
// Display and frame.

// depth 0: a 640 x 480 window; any other depth: full screen, the picture
// scaled to the desktop with its 4:3 shape kept. Reopening keeps every image
// and the drawing state. Returns null when no display could be opened.
TDisplay* OpenGraphicsDisplay(int width, int height, int depth, int hertz, int flags);
bool DisplayIsOpen();
// True when the open display fills the screen: false for a window, also the
// window that serves when full screen was asked for and refused.
bool DisplayIsFullScreen();
void SetAppTitle(const String& title);
String AppTitle();
void HideMousePointer();
void ClearDrawBuffer();
// Shows the back buffer and paces the loop: in a window 16 ms a frame plus
// 1 ms on 40 of every 60 (60 frames take 1000 ms; a late frame restarts the
// schedule), in full screen the display's retrace.
void PresentFrame(int sync);
void FillRectangle(float x, float y, float width, float height);

// A screen overlay (the scan lines): the image draws between these two calls
// lie over the picture as the player sees it. Where the picture is shown as
// it is, one pixel for one (a 640 x 480 window, and always on the headless
// path), they land in the back buffer like any other draw. Where it is scaled
// to the screen, lines on the picture's own rows would come out uneven (at
// 1.6 times, 2 or 3 screen rows apart), so the draws stay out of the back
// buffer and each present lays them over the scaled picture as even dark rows
// at the screen's resolution, as dark on average as they would have made the
// picture. The drawing state's colour, alpha and blend count; a second
// overlay before the back buffer is cleared darkens further, as it would in
// the back buffer; the overlay stays until ClearDrawBuffer. A turned or
// scaled draw is drawn as it is. Every draw is logged as any draw; the two
// calls themselves draw and log nothing. Screen reads then hold no overlay;
// a grab keeps the overlay over the part it takes and brings it back wherever
// it is drawn neither turned nor scaled, so the grab shows its lines as in
// the window, and a new overlay over it darkens it further as there.
void BeginScreenOverlay();
void EndScreenOverlay();

// ---------------------------------------------------------------------------
// Images and drawing state.

constexpr int IMAGE_MASKED = 1;   // black (0,0,0) is transparent without alpha
constexpr int IMAGE_FILTERED = 2; // smooth scaling
constexpr int IMAGE_DYNAMIC = 8;  // can receive grabs of the back buffer
constexpr int IMAGE_DEFAULT_FLAGS = IMAGE_MASKED | IMAGE_FILTERED;
// Flags -1 also asks for IMAGE_DEFAULT_FLAGS.

TImage* LoadImageResource(const String& path, int flags);
TImage* LoadImageCells(const String& path, int cellWidth, int cellHeight,
                       int firstCell, int cellCount, int flags);
TImage* CreateEmptyImage(int width, int height, int frames, int flags);
void CentreImageHandle(TImage* image);
void SetImageHandle(TImage* image, float x, float y);
int ImageWidth(TImage* image);   // of one frame
int ImageHeight(TImage* image);
int ImageFrameCount(TImage* image);
float ImageHandleX(TImage* image);
float ImageHandleY(TImage* image);
void GrabImageFromScreen(TImage* image, int x, int y, int frame);
void DrawImageFrame(TImage* image, float x, float y, int frame);
void SetDrawColour(int red, int green, int blue);
void SetDrawAlpha(float alpha);
// How a drawn frame meets the picture under it: mixed by its alpha, or added
// to it (light: glows, flames, flashes).
enum class BlendMode { Alpha = 3, Light = 4 };
void SetDrawBlendMode(BlendMode mode);
void SetDrawRotation(float degrees);
void SetDrawScale(float sx, float sy);
// The drawing state as it stands (for routines and tests that check it).
struct DrawState {
  int red, green, blue;
  float alpha;
  BlendMode blend;
  float rotation;
  float scaleX, scaleY;
};
DrawState GetDrawState();

// ---------------------------------------------------------------------------
// Collision: exact to the pixel, both frames placed, turned and scaled by the
// current rotation and scale as DrawImageFrame would draw them now.
bool ImagesOverlap(TImage* a, int ax, int ay, int aframe, TImage* b, int bx, int by, int bframe);

// ---------------------------------------------------------------------------
// Sound.

constexpr int SOUND_LOOPS = 1;  // plays over and over until stopped (the tunes)

// Flags 0 or SOUND_LOOPS. Safe to call from several threads at once (the
// start-up decodes its sounds on worker threads while it loads the pictures):
// it only reads the registry of embedded files and builds a sound of its own.
TSound* LoadSoundResource(const String& path, int flags);
TChannel* PlaySoundOnChannel(TSound* sound, TChannel* channel);
void SetSoundChannelVolume(TChannel* channel, float volume);
void StopSoundChannel(TChannel* channel);
bool SoundChannelPlaying(TChannel* channel);
std::vector<String> ListAudioDriverNames();
bool SelectAudioDriver(const String& name);
String CurrentAudioDriverName();

// ---------------------------------------------------------------------------
// Keyboard: Windows virtual-key codes 0-255, named in runtime/keycodes.h.
// Polling pumps events first.

int TakeKeyPressCount(int key);
bool IsKeyHeld(int key);
void ClearKeyStates();
void PollSystemEvents();  // pumps the platform's events without reading input

// ---------------------------------------------------------------------------
// Joystick port 0: the first game controller or joystick.

int CountJoysticks();
float JoyAxisX(int port);
float JoyAxisY(int port);
bool IsJoyButtonHeld(int button, int port);
int TakeJoyButtonPresses(int button, int port);

// ---------------------------------------------------------------------------
// Clock and sleep.

int32_t MillisecondClock();
void SleepMillis(int ms);

// ---------------------------------------------------------------------------
// Random numbers.

void SetRandomSeed(int32_t seed);
int RandomIntInRange(int a, int b);            // both ends included
double RandomRealInRange(double lo, double hi);  // lower included, upper excluded

// ---------------------------------------------------------------------------
// Maths (degrees throughout).

int32_t TruncateToInt(double v);  // toward zero, saturating at the int range
double SinDegrees(double deg);
double CosDegrees(double deg);
double ATan2Degrees(double y, double x);
double SquareRoot(double v);
double FloatMod(double a, double b);
double FloatAbs(double v);
int IntAbs(int v);

// ---------------------------------------------------------------------------
// Strings.

String StringConcat(const String& a, const String& b);
String StringFromInt(int32_t v);
String StringFromAscii(const char* text);  // 8-bit text to a string
std::string StringToAscii(const String& s);  // low byte of each character
std::string StringToUtf8(const String& s);   // as the system takes file names
int StringCompare(const String& a, const String& b);
int StringFind(const String& text, const String& what, int start);
String StringFromChar(int code);
String SubstringAt(const String& text, int position, int count);  // position from 1
String LeadingChars(const String& text, int n);
String TrailingChars(const String& text, int n);
String ReplaceText(const String& text, const String& what, const String& with);
String LowerCaseText(const String& text);
char* StringToCString(const String& s);   // free with MemFree
String StringFromCString(const char* block);
void MemFree(void* block);

// Arrays of strings (high-score tables, version lists).
using StringArray = std::vector<String>;
StringArray ArrayNew(const String& elementType, int count);

// The program's built-in data list, read in order.
struct DataValue {
  bool isText;
  String text;
  double number;
};
DataValue DataText(const char* text);
DataValue DataNumber(double number);
// Installs the data list and its labels (name -> index of the first value).
void SetProgramData(std::vector<DataValue> values,
                    std::vector<std::pair<std::string, size_t>> labels);
void RestoreData(const std::string& label);   // move the read position to a label
void RestoreDataIndex(size_t index);
size_t DataReadPosition();
String TaggedValueToString();   // value at the read position as text; moves on
double TaggedValueToNumber();   // ... as a number; moves on

// ---------------------------------------------------------------------------
// Files and little-endian streams.

TStream* OpenFileForReading(const String& name);
TStream* OpenFileForWriting(const String& name);
void CloseFileStream(TStream* stream);  // flushes and closes; tells nothing of failures
bool StreamEof(TStream* stream);
bool StreamFailed(TStream* stream);  // a read ran past the end or a write failed
int32_t ReadStreamInt32(TStream* stream);
void WriteStreamInt32(TStream* stream, int32_t v);
String ReadStreamTextLine(TStream* stream);
void WriteStreamTextLine(TStream* stream, const String& line);
// Closes a stream opened for writing, flushed to the disk, and tells whether
// every byte reached the file.
bool CloseFileStreamChecked(TStream* stream);
bool RenameFile(const String& from, const String& to);
bool DeleteFile(const String& name);

// ---------------------------------------------------------------------------
// Objects, records and lists.

struct Object {
  virtual ~Object() = default;
};
using ObjectRef = std::shared_ptr<Object>;

// A new record with every field zero, except a field with an initialiser of
// its own, which gets that.
template <class T>
std::shared_ptr<T> ObjectNew() {
  return std::make_shared<T>();
}

template <class T>
T* ObjectDowncast(Object* o) {
  return dynamic_cast<T*>(o);
}

struct TListLink;
class TListEnum;

// A doubly linked list of records. The list owns its records: a record
// removed from its list ends unless someone still holds it. Removed links are
// marked dead, so an enumerator standing on or before one skips it and never
// touches a freed record.
class TList {
 public:
  TList();
  ~TList();
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  TListLink* AddLast(ObjectRef record);
  bool Remove(Object* record);  // false when the record is not in the list
  void Clear();
  int Count() const;
  bool IsEmpty() const { return Count() == 0; }
  TListEnum ObjectEnumerator();
  Object* First() const;

 private:
  friend class TListEnum;
  std::shared_ptr<TListLink> head_;  // sentinel
  int count_ = 0;
};

class TListEnum {
 public:
  explicit TListEnum(std::shared_ptr<TListLink> start);
  TListEnum(const TListEnum& other);
  TListEnum& operator=(const TListEnum& other);
  ~TListEnum();
  bool HasNext();
  // Moves past the record before returning it; the record returned stays
  // alive until the enumerator moves on, even when it is removed meanwhile.
  Object* NextObject();

 private:
  void SkipDead();
  // Both links are pinned while the enumerator stands on them: a pinned link
  // outlives its removal, and the current one keeps its record.
  TListLink* next_ = nullptr;
  TListLink* current_ = nullptr;
};

// Range-for over the records of one type in a list, skipping records of any
// other type: for (Enemies* e : Each<Enemies>(world.enemies))
template <class T>
class Each {
 public:
  explicit Each(TList* list) : list_(list) {}
  class iterator {
   public:
    explicit iterator(TListEnum* e) : e_(e) { advance(); }
    T* operator*() const { return cur_; }
    iterator& operator++() {
      advance();
      return *this;
    }
    bool operator!=(const iterator&) const { return cur_ != nullptr; }

   private:
    void advance() {
      cur_ = nullptr;
      while (e_ && e_->HasNext()) {
        if (T* t = ObjectDowncast<T>(e_->NextObject())) {
          cur_ = t;
          return;
        }
      }
    }
    TListEnum* e_;
    T* cur_ = nullptr;
  };
  iterator begin() {
    en_ = std::make_unique<TListEnum>(list_->ObjectEnumerator());
    return iterator(en_.get());
  }
  iterator end() { return iterator(nullptr); }

 private:
  TList* list_;
  std::unique_ptr<TListEnum> en_;
};

// ---------------------------------------------------------------------------
// Embedded files. Load paths are "IncBin::" + registered name; the protocol
// is matched without regard to case, the name exactly.

// The bytes are copied: the caller's buffer may go.
void IncbinRegister(const String& name, const void* data, size_t size);
// For bytes that stay where they are for the whole run, such as the files
// compiled into the program: used where they lie, without a copy.
void IncbinRegisterInPlace(const String& name, const void* data, size_t size);
bool IncbinLookup(const String& name, const void** data, size_t* size);
void IncbinClear();  // tests only

// Resolves a load path ("IncBin::res\\font.png" or a plain file name) to
// bytes. Returns false when nothing is there.
bool ReadResourceBytes(const String& path, std::vector<uint8_t>* out);
