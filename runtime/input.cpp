// Keyboard and joystick input, and the one platform event pump.
//
// Keys are kept as Windows virtual-key codes 0-255. A key that gives a letter
// under the keyboard layout reports that letter, so "Y" is the key labelled Y
// on any layout; every other key (arrows, modifiers, digits) is known by its
// physical position, the scancode. Joystick port 0 is the first game
// controller, or else the first joystick; when it is unplugged the next
// device takes its place.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <deque>

#include "runtime/internal.h"

namespace {

// --- Scancode <-> virtual-key table ------------------------------------------

struct KeyPair {
  SDL_Scancode scancode;
  int vk;
};

// Where two physical keys give one code (Return and the keypad's Enter), the
// first one listed is the one a script presses.
const KeyPair kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},     {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_CLEAR, 12},        {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},     {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_CAPSLOCK, 20},     {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_SPACE, 32},        {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},     {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},         {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_UP, 38},           {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},         {SDL_SCANCODE_SELECT, 41},
    {SDL_SCANCODE_EXECUTE, 43},      {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_INSERT, 45},       {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_HELP, 47},         {SDL_SCANCODE_0, 48},
    {SDL_SCANCODE_1, 49},            {SDL_SCANCODE_2, 50},
    {SDL_SCANCODE_3, 51},            {SDL_SCANCODE_4, 52},
    {SDL_SCANCODE_5, 53},            {SDL_SCANCODE_6, 54},
    {SDL_SCANCODE_7, 55},            {SDL_SCANCODE_8, 56},
    {SDL_SCANCODE_9, 57},            {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},         {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_SLEEP, 95},        {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_KP_1, 97},         {SDL_SCANCODE_KP_2, 98},
    {SDL_SCANCODE_KP_3, 99},         {SDL_SCANCODE_KP_4, 100},
    {SDL_SCANCODE_KP_5, 101},        {SDL_SCANCODE_KP_6, 102},
    {SDL_SCANCODE_KP_7, 103},        {SDL_SCANCODE_KP_8, 104},
    {SDL_SCANCODE_KP_9, 105},        {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},     {SDL_SCANCODE_KP_COMMA, 108},
    {SDL_SCANCODE_KP_MINUS, 109},    {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},   {SDL_SCANCODE_F1, 112},
    {SDL_SCANCODE_F2, 113},          {SDL_SCANCODE_F3, 114},
    {SDL_SCANCODE_F4, 115},          {SDL_SCANCODE_F5, 116},
    {SDL_SCANCODE_F6, 117},          {SDL_SCANCODE_F7, 118},
    {SDL_SCANCODE_F8, 119},          {SDL_SCANCODE_F9, 120},
    {SDL_SCANCODE_F10, 121},         {SDL_SCANCODE_F11, 122},
    {SDL_SCANCODE_F12, 123},         {SDL_SCANCODE_F13, 124},
    {SDL_SCANCODE_F14, 125},         {SDL_SCANCODE_F15, 126},
    {SDL_SCANCODE_F16, 127},         {SDL_SCANCODE_F17, 128},
    {SDL_SCANCODE_F18, 129},         {SDL_SCANCODE_F19, 130},
    {SDL_SCANCODE_F20, 131},         {SDL_SCANCODE_F21, 132},
    {SDL_SCANCODE_F22, 133},         {SDL_SCANCODE_F23, 134},
    {SDL_SCANCODE_F24, 135},         {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},  {SDL_SCANCODE_KP_EQUALS, 146},
    {SDL_SCANCODE_LSHIFT, 160},      {SDL_SCANCODE_RSHIFT, 161},
    {SDL_SCANCODE_LCTRL, 162},       {SDL_SCANCODE_RCTRL, 163},
    {SDL_SCANCODE_LALT, 164},        {SDL_SCANCODE_RALT, 165},
    {SDL_SCANCODE_AC_BACK, 166},     {SDL_SCANCODE_AC_FORWARD, 167},
    {SDL_SCANCODE_AC_REFRESH, 168},  {SDL_SCANCODE_AC_STOP, 169},
    {SDL_SCANCODE_AC_SEARCH, 170},   {SDL_SCANCODE_AC_BOOKMARKS, 171},
    {SDL_SCANCODE_AC_HOME, 172},     {SDL_SCANCODE_MUTE, 173},
    {SDL_SCANCODE_VOLUMEDOWN, 174},  {SDL_SCANCODE_VOLUMEUP, 175},
    {SDL_SCANCODE_AUDIONEXT, 176},   {SDL_SCANCODE_AUDIOPREV, 177},
    {SDL_SCANCODE_AUDIOSTOP, 178},   {SDL_SCANCODE_AUDIOPLAY, 179},
    {SDL_SCANCODE_MAIL, 180},        {SDL_SCANCODE_MEDIASELECT, 181},
    {SDL_SCANCODE_SEMICOLON, 186},   {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},       {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},      {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},       {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},   {SDL_SCANCODE_NONUSHASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

struct KeyMaps {
  int vkOf[SDL_NUM_SCANCODES];
  int scancodeOf[256];
  KeyMaps() {
    std::fill(std::begin(vkOf), std::end(vkOf), 0);
    std::fill(std::begin(scancodeOf), std::end(scancodeOf), 0);
    for (int i = 0; i < 26; ++i) {
      vkOf[SDL_SCANCODE_A + i] = 65 + i;
      scancodeOf[65 + i] = SDL_SCANCODE_A + i;
    }
    for (const KeyPair& k : kKeys) {
      vkOf[k.scancode] = k.vk;
      if (!scancodeOf[k.vk]) scancodeOf[k.vk] = k.scancode;
    }
  }
};

const KeyMaps& Maps() {
  static const KeyMaps maps;
  return maps;
}

// --- The layout's letters ------------------------------------------------------

// What tests say a key gives instead of what the platform's layout says
// (SDL key codes; 0: the platform's).
SDL_Keycode g_layoutStandIn[SDL_NUM_SCANCODES];

bool ValidScancode(int scancode) { return scancode > 0 && scancode < SDL_NUM_SCANCODES; }

// The code of a key that gives `produces` under the layout. A letter key
// whose layout gives no letter there (the M position of a French keyboard
// gives a comma) keeps its position's letter.
int VirtualKeyOf(int scancode, SDL_Keycode produces) {
  if (g_layoutStandIn[scancode]) produces = g_layoutStandIn[scancode];
  if (produces >= SDLK_a && produces <= SDLK_z) return 'A' + (produces - SDLK_a);
  return Maps().vkOf[scancode];
}

// --- Keyboard state -------------------------------------------------------------

// For each physical key down, the code it reported when pressed (0: up). Its
// release takes back that code, so a layout changed while it is held leaves
// no key stuck down.
int g_codeOfKeyDown[SDL_NUM_SCANCODES];
int g_keysDown[256];   // physical keys now down that give this code
int g_keyPresses[256];

void KeyDown(int scancode, SDL_Keycode produces) {
  if (!ValidScancode(scancode) || g_codeOfKeyDown[scancode]) return;
  int vk = VirtualKeyOf(scancode, produces);
  if (!vk) return;
  g_codeOfKeyDown[scancode] = vk;
  ++g_keysDown[vk];
  ++g_keyPresses[vk];
}

void KeyUp(int scancode) {
  if (!ValidScancode(scancode) || !g_codeOfKeyDown[scancode]) return;
  int vk = g_codeOfKeyDown[scancode];
  g_codeOfKeyDown[scancode] = 0;
  if (g_keysDown[vk] > 0) --g_keysDown[vk];
}

void ResetKeys() {
  std::fill(std::begin(g_keysDown), std::end(g_keysDown), 0);
  std::fill(std::begin(g_keyPresses), std::end(g_keyPresses), 0);
  std::fill(std::begin(g_codeOfKeyDown), std::end(g_codeOfKeyDown), 0);
}

// --- Joystick port 0 --------------------------------------------------------------

constexpr int kButtons = 16;

struct Port {
  SDL_GameController* controller = nullptr;
  SDL_Joystick* joystick = nullptr;  // the controller's own, or a plain joystick
  SDL_JoystickID id = -1;
  bool held[kButtons] = {};
  int presses[kButtons] = {};
};
Port g_port;

// Controller buttons in the order pads number them for the player: the four
// face buttons, the shoulders, back and start, the sticks, guide, the pad.
int ButtonFromController(int b) {
  switch (b) {
    case SDL_CONTROLLER_BUTTON_A: return 0;
    case SDL_CONTROLLER_BUTTON_B: return 1;
    case SDL_CONTROLLER_BUTTON_X: return 2;
    case SDL_CONTROLLER_BUTTON_Y: return 3;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return 4;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return 5;
    case SDL_CONTROLLER_BUTTON_BACK: return 6;
    case SDL_CONTROLLER_BUTTON_START: return 7;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return 8;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return 9;
    case SDL_CONTROLLER_BUTTON_GUIDE: return 10;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return 11;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return 12;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return 13;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return 14;
    case SDL_CONTROLLER_BUTTON_MISC1: return 15;
    default: return -1;
  }
}

void ButtonEvent(int button, bool down) {
  if (button < 0 || button >= kButtons) return;
  if (down && !g_port.held[button]) ++g_port.presses[button];
  g_port.held[button] = down;
}

void ClosePort() {
  if (g_port.controller) SDL_GameControllerClose(g_port.controller);
  else if (g_port.joystick) SDL_JoystickClose(g_port.joystick);
  g_port = Port();
}

bool JoystickReady() { return SDL_WasInit(SDL_INIT_JOYSTICK) != 0; }

// Opens the first device present (other than one just removed) as port 0.
void OpenPort(SDL_JoystickID skip) {
  if (g_port.joystick || !JoystickReady()) return;
  int n = SDL_NumJoysticks();
  for (int pass = 0; pass < 2 && !g_port.joystick; ++pass) {
    // First pass: game controllers; second pass: any joystick.
    for (int i = 0; i < n; ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == skip) continue;
      bool isController = SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_IsGameController(i);
      if (pass == 0 && isController) {
        if (SDL_GameController* c = SDL_GameControllerOpen(i)) {
          g_port.controller = c;
          g_port.joystick = SDL_GameControllerGetJoystick(c);
        }
      } else if (pass == 1) {
        g_port.joystick = SDL_JoystickOpen(i);
      }
      if (g_port.joystick) {
        g_port.id = SDL_JoystickInstanceID(g_port.joystick);
        break;
      }
    }
  }
}

float AxisValue(int axis) {
  if (!g_port.joystick) return 0;
  Sint16 raw;
  if (g_port.controller) {
    raw = SDL_GameControllerGetAxis(g_port.controller,
                                    axis == 0 ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY);
  } else {
    if (SDL_JoystickNumAxes(g_port.joystick) <= axis) return 0;
    raw = SDL_JoystickGetAxis(g_port.joystick, axis);
  }
  float v = static_cast<float>(raw) / 32767.0f;
  return std::clamp(v, -1.0f, 1.0f);
}

// --- Events of our own (scripts with no platform event queue) ----------------------

std::deque<SDL_Event> g_localEvents;

bool EventsReady() { return SDL_WasInit(SDL_INIT_EVENTS) != 0; }

void Post(SDL_Event& e) {
  if (EventsReady()) {
    if (SDL_PushEvent(&e) == 1) return;
  }
  g_localEvents.push_back(e);
}

void HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      rt::HandleQuitRequest();
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) rt::HandleQuitRequest();
      else rt::OnWindowEvent(e.window.event);
      break;
    case SDL_KEYDOWN:
      if (!e.key.repeat) KeyDown(e.key.keysym.scancode, e.key.keysym.sym);  // auto-repeat is not a press
      break;
    case SDL_KEYUP:
      KeyUp(e.key.keysym.scancode);
      break;
    case SDL_JOYDEVICEADDED:
      OpenPort(-1);
      break;
    case SDL_JOYDEVICEREMOVED:
      if (g_port.joystick && e.jdevice.which == g_port.id) {
        SDL_JoystickID gone = g_port.id;
        ClosePort();
        OpenPort(gone);
      }
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (g_port.controller && e.cbutton.which == g_port.id)
        ButtonEvent(ButtonFromController(e.cbutton.button), e.type == SDL_CONTROLLERBUTTONDOWN);
      break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      if (g_port.joystick && !g_port.controller && e.jbutton.which == g_port.id)
        ButtonEvent(e.jbutton.button, e.type == SDL_JOYBUTTONDOWN);
      break;
    default:
      break;
  }
}

// --- The scripted pad ---------------------------------------------------------------

int g_virtualIndex = -1;
SDL_Joystick* g_virtualHandle = nullptr;
void DetachVirtualPad();

std::chrono::steady_clock::time_point g_lastPlatformPump;

// --- Hang-up --------------------------------------------------------------------------
// SDL turns an interrupt or a termination into a quit event; a hang-up (the
// terminal the game runs in has closed) would end the program on the spot,
// losing what the quit handler saves. It is taken the same way: noted by
// the signal handler, acted on at the next event pump.

volatile std::sig_atomic_t g_hangUp = 0;
bool g_hangUpHandled = false;
struct sigaction g_hangUpBefore;

void NoteHangUp(int sig) {
  g_hangUp = 1;
  rt::NoteTerminationRequest(sig);
}

void CatchHangUp() {
  g_hangUp = 0;
  // As SDL does for its own: not when asked to leave signals alone, and not
  // when the program was started with hang-ups ignored (nohup).
  if (g_hangUpHandled || SDL_GetHintBoolean(SDL_HINT_NO_SIGNAL_HANDLERS, SDL_FALSE)) return;
  if (sigaction(SIGHUP, nullptr, &g_hangUpBefore) != 0 || g_hangUpBefore.sa_handler != SIG_DFL) return;
  struct sigaction action {};
  action.sa_handler = NoteHangUp;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  g_hangUpHandled = sigaction(SIGHUP, &action, nullptr) == 0;
}

void ReleaseHangUp() {
  if (g_hangUpHandled) sigaction(SIGHUP, &g_hangUpBefore, nullptr);
  g_hangUpHandled = false;
}

}  // namespace

namespace rt {

void PumpEvents() {
  if (g_hangUp) {
    g_hangUp = 0;
    rt::HandleQuitRequest();
  }
  while (!g_localEvents.empty()) {
    SDL_Event e = g_localEvents.front();
    g_localEvents.pop_front();
    HandleEvent(e);
  }
  if (!EventsReady()) return;
  // Asking the platform for news costs system calls, and a screen may poll
  // a hundred keys a frame: ask at most once a millisecond. Events already
  // queued (scripted keys and pad changes among them) are taken every time.
  auto now = std::chrono::steady_clock::now();
  if (now - g_lastPlatformPump >= std::chrono::milliseconds(1)) {
    g_lastPlatformPump = now;
    SDL_PumpEvents();
  }
  SDL_Event e;
  while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) HandleEvent(e);
}

void InputStart() {
  ResetKeys();
  CatchHangUp();
  // Without a focused window SDL would drop pad events; a headless run has
  // no window to focus.
  if (rt::Options().headless) SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (JoystickReady()) {
    SDL_JoystickEventState(SDL_ENABLE);
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) SDL_GameControllerEventState(SDL_ENABLE);
  }
  OpenPort(-1);
}

void InputShutdown() {
  ReleaseHangUp();
  DetachVirtualPad();
  ClosePort();
  g_localEvents.clear();
  ResetKeys();
  std::fill(std::begin(g_layoutStandIn), std::end(g_layoutStandIn), 0);
}

}  // namespace rt

// --- Keyboard --------------------------------------------------------------------------

int TakeKeyPressCount(int key) {
  rt::PumpEvents();
  if (key < 0 || key > 255) return 0;
  int n = g_keyPresses[key];
  g_keyPresses[key] = 0;
  return n;
}

bool IsKeyHeld(int key) {
  rt::PumpEvents();
  if (key < 0 || key > 255) return false;
  return g_keysDown[key] > 0;
}

void ClearKeyStates() {
  // Keys down now count as up until pressed again: nothing pressed before
  // this call is seen after it, including presses still in the event queue.
  rt::PumpEvents();
  ResetKeys();
}

void PollSystemEvents() { rt::PumpEvents(); }

// --- Joystick ---------------------------------------------------------------------------

int CountJoysticks() {
  rt::PumpEvents();
  if (!JoystickReady()) return 0;
  int n = SDL_NumJoysticks();
  return n > 0 ? n : 0;
}

float JoyAxisX(int port) {
  rt::PumpEvents();
  return port == 0 ? AxisValue(0) : 0;
}

float JoyAxisY(int port) {
  rt::PumpEvents();
  return port == 0 ? AxisValue(1) : 0;
}

bool IsJoyButtonHeld(int button, int port) {
  rt::PumpEvents();
  if (port != 0 || button < 0 || button >= kButtons) return false;
  return g_port.held[button];
}

int TakeJoyButtonPresses(int button, int port) {
  rt::PumpEvents();
  if (port != 0 || button < 0 || button >= kButtons) return 0;
  int n = g_port.presses[button];
  g_port.presses[button] = 0;
  return n;
}

// --- Headless controls ----------------------------------------------------------------

int VirtualKeyFromScancode(int scancode) {
  if (!ValidScancode(scancode)) return 0;
  return VirtualKeyOf(scancode, SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode)));
}

int ScancodeFromVirtualKey(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return Maps().scancodeOf[vk];
}

void SetLayoutStandIn(int scancode, int keycode) {
  if (ValidScancode(scancode)) g_layoutStandIn[scancode] = keycode;
}

namespace {
void PostKey(int sc, bool down) {
  if (!ValidScancode(sc)) return;
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.timestamp = EventsReady() ? SDL_GetTicks() : 0;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = 0;
  e.key.keysym.scancode = static_cast<SDL_Scancode>(sc);
  e.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc));
  Post(e);
}
}  // namespace

void ScriptScancodeDown(int scancode) { PostKey(scancode, true); }
void ScriptScancodeUp(int scancode) { PostKey(scancode, false); }
void ScriptScancodeTap(int scancode) {
  PostKey(scancode, true);
  PostKey(scancode, false);
}
void ScriptKeyDown(int vk) { ScriptScancodeDown(ScancodeFromVirtualKey(vk)); }
void ScriptKeyUp(int vk) { ScriptScancodeUp(ScancodeFromVirtualKey(vk)); }
void ScriptKeyTap(int vk) { ScriptScancodeTap(ScancodeFromVirtualKey(vk)); }

bool ScriptAttachPad() {
  if (g_virtualIndex >= 0) return true;
  if (!JoystickReady()) return false;
  int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, kButtons, 0);
  if (index < 0) return false;
  g_virtualIndex = index;
  g_virtualHandle = SDL_JoystickOpen(index);
  if (!g_virtualHandle) {
    SDL_JoystickDetachVirtual(index);
    g_virtualIndex = -1;
    return false;
  }
  rt::PumpEvents();  // the device-added event opens port 0 if it is free
  return true;
}

void ScriptDetachPad() {
  DetachVirtualPad();
  rt::PumpEvents();
}

namespace {
void DetachVirtualPad() {
  if (g_virtualIndex < 0) return;
  SDL_JoystickID id = g_virtualHandle ? SDL_JoystickInstanceID(g_virtualHandle) : -1;
  // Opening a device twice shares one handle with a count: this closes only
  // the script's own opening.
  if (g_virtualHandle) SDL_JoystickClose(g_virtualHandle);
  g_virtualHandle = nullptr;
  // The virtual device's index may have moved since it was attached.
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == id) {
      SDL_JoystickDetachVirtual(i);
      break;
    }
  }
  g_virtualIndex = -1;
  if (g_port.joystick && g_port.id == id) {
    ClosePort();
    OpenPort(id);
  }
}
}  // namespace

void ScriptPadAxis(int axis, float value) {
  if (!g_virtualHandle) return;
  float v = std::clamp(value, -1.0f, 1.0f);
  SDL_JoystickSetVirtualAxis(g_virtualHandle, axis, static_cast<Sint16>(v * 32767.0f + (v < 0 ? -0.5f : 0.5f)));
  SDL_JoystickUpdate();
}

void ScriptPadButton(int button, bool down) {
  if (!g_virtualHandle) return;
  SDL_JoystickSetVirtualButton(g_virtualHandle, button, down ? SDL_PRESSED : SDL_RELEASED);
  // Turn the change into an event now, so a press and release scripted
  // before the next poll still count as a press, as taps of keys do.
  SDL_JoystickUpdate();
}

void ScriptCloseRequest() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  Post(e);
}
