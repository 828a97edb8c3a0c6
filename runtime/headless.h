// Headless controls of the runtime layer: the null and headless paths that
// tests, benchmarks and tools use instead of a real window, clock and device.
// The game itself never calls these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/runtime.h"

struct RuntimeOptions {
  // Software renderer into an off-screen 640 x 480 picture, no window; SDL's
  // dummy video and audio drivers.
  bool headless = false;
  // Skip every drawing operation (state-only tests); images still load with
  // their pixels so collisions stay exact.
  bool nullDrawing = false;
  // PresentFrame and SleepMillis advance a virtual millisecond clock at once.
  bool virtualClock = false;
  // Do not open any audio device: sounds load and channels are kept, silent.
  bool nullAudio = false;

};

// Must be called before RuntimeStartServices.
void SetRuntimeOptions(const RuntimeOptions& options);
RuntimeOptions GetRuntimeOptions();

// The layer started as tests, benchmarks and tools start it: these options,
// the core, every service, then a 640 x 480 display at 60 Hz (depth 0 a
// window, any other full screen). Null when no display could be opened.
struct TDisplay;
TDisplay* StartRuntime(const RuntimeOptions& options, int depth = 0);

// A stand-in for the monitor of a full-screen display, for pacing tests.
struct MonitorStandIn {
  // The refresh rate the display mode reports (0: unknown).
  int modeHz = 60;
  // Whether the renderer accepts vsync.
  bool grantsVsync = true;
  // How often the retrace really comes: with vsync on, each present waits for
  // the next one. 0: presents never wait (vsync reported but not honoured).
  double retraceHz = 0;
  // Whether full screen is refused, so that a window serves instead.
  bool refusesFullScreen = false;
};
// Takes effect when the display next opens; RuntimeShutdown goes back to the
// real display.
void SetMonitorStandIn(const MonitorStandIn& monitor);

// Called at every PresentFrame (after the frame is shown) and at every
// SleepMillis, so a script can press keys at given frames or times.
void SetScriptHook(std::function<void()> hook);

// Number of frames presented since the services started.
int64_t PresentedFrameCount();
// True while the display's retrace paces the frames (vsync in full screen on
// a 60 Hz display that honours it); false while the millisecond schedule does.
bool FramesPacedByRetrace();
// Virtual clock: move time on by hand.
void AdvanceVirtualClock(int ms);

// A fingerprint of the random generator's position, for replays that check
// no routine draws a number more or less than before.
uint64_t RandomStateFingerprint();

// Scripted input. Key codes are virtual-key codes; each presses the physical
// key at that code's place on a US keyboard, through the same event path
// (scancode, then the layout's letter) as real key presses.
void ScriptKeyDown(int vk);
void ScriptKeyUp(int vk);
void ScriptKeyTap(int vk);  // down and up: one press, not held afterwards
// The same for a physical key given by its scancode (the USB key position:
// A is 4, Y 28, Z 29), as the platform delivers it.
void ScriptScancodeDown(int scancode);
void ScriptScancodeUp(int scancode);
void ScriptScancodeTap(int scancode);

// A stand-in for the keyboard layout, for the dummy driver whose layout is
// US: the physical key `scancode` gives `keycode` (the character the layout
// puts there, letters in lower case: a German layout's key 28 gives 'z'), or
// the platform's own again for 0. RuntimeShutdown forgets every stand-in.
void SetLayoutStandIn(int scancode, int keycode);

// A virtual pad on port 0 (SDL's virtual joystick). Axes -1..1.
bool ScriptAttachPad();
void ScriptDetachPad();
void ScriptPadAxis(int axis, float value);
void ScriptPadButton(int button, bool down);

// Asks the window to close, as the desktop's close button does.
void ScriptCloseRequest();
// Breaks the display's connection as the X server dying would: the close
// request handler runs (unless it already has), the program ends with status 1.
void ScriptDisplayLost();

// An image made from RGBA bytes in memory (w x h, rows top to bottom), cut
// into `cells` frames of cellW x cellH like LoadImageCells; flags as there
// (-1 the default). The mask makes black transparent unless some pixel has
// an alpha below 255. Null when the cells do not fit.
struct TImage;
TImage* CreateImageFromRGBA(const uint8_t* rgba, int w, int h, int cellW, int cellH, int cells,
                            int flags);

// The back buffer as 640 x 480 RGBA bytes, rows top to bottom.
std::vector<uint8_t> ReadScreenRGBA();
// One pixel of the back buffer as 0xRRGGBB.
uint32_t ReadScreenPixel(int x, int y);
bool SaveScreenPNG(const std::string& fileName);
// What the window shows after the last PresentFrame (the back buffer scaled
// to the window), as RGBA bytes; its size in *width, *height. Empty on the
// headless path. For tests on SDL's dummy driver, whose renderer keeps it.
std::vector<uint8_t> ReadShownScreenRGBA(int* width, int* height);

// The scancode <-> virtual-key mapping (for tests of the keyboard table): the
// code a physical key gives under the layout now in force, and the physical
// key at a code's place on a US keyboard.
int VirtualKeyFromScancode(int scancode);
int ScancodeFromVirtualKey(int vk);

// Sound: channels now playing (for tests) and the driver in use.
int PlayingChannelCount();

// The sound log: on the headless path every play, volume change and stop the
// game asks for is recorded in order (calls on the null channel do nothing
// and are not recorded), so tests can check what was played, how loud and
// when. Cleared when the services start.
struct TSound;
struct TChannel;
struct SoundEvent {
  enum class Kind { Play, Volume, Stop };
  Kind kind = Kind::Play;
  TChannel* channel = nullptr;
  // Play: the sound started. Volume, Stop: the sound on the channel at the
  // time, or null when the channel had already ended.
  TSound* sound = nullptr;
  std::string name;  // that sound's file name as loaded ("_bzzzt.ogg"), or ""
  float volume = 0;  // Play: the channel's starting volume; Volume: as set
  bool loop = false;  // the sound loops until its channel is stopped
  int64_t frame = 0;  // PresentedFrameCount() at the call
};
std::vector<SoundEvent> SoundLog();
void ClearSoundLog();
// Mixes frames of the current mix into out (stereo interleaved floats) as the
// device would; for tests of looping and volume with no device. `unlimited`,
// when given, receives the same frames as they were before the limiter.
void MixForTest(float* out, int frames, float* unlimited = nullptr);

// The draw log: while a logger is set, every drawing operation the game asks
// for is handed to it in order, with the picture by its file name and the
// drawing state in force, on any drawing path (also with nullDrawing). Tests
// read what was drawn, where and how, without reading pixels, so new art in
// the same pictures leaves it as it was. Frames end where PresentFrame runs
// the script hook.
struct DrawEvent {
  enum class Kind { Clear, Image, Rectangle, Grab };
  Kind kind = Kind::Clear;
  // Image, Grab: the picture's file name as loaded ("font.png"), "" for one
  // made in memory; the frame; one frame's size and the picture's handle.
  std::string picture;
  int frame = 0;
  float width = 0, height = 0;  // Rectangle: its size
  float handleX = 0, handleY = 0;
  float x = 0, y = 0;           // Image: where drawn; Grab: the screen point; Rectangle: its corner
  DrawState state{};            // Image, Rectangle: the drawing state in force
};
// An empty logger stops the log.
void SetDrawLog(std::function<void(const DrawEvent&)> logger);
