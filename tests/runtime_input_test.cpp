// Keyboard and pad input through the real event path: press counts, held
// flags, clearing, the key map, the virtual pad and the close request.
#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <set>
#include <vector>

#include "harness/harness.h"
#include "runtime/headless.h"
#include "runtime/runtime.h"

namespace {

// Every code the key table names (the table's end marker 255 aside).
std::vector<int> TableCodes() {
  std::vector<int> codes = {8,   9,   13,  19,  20,  27,  32,  33,  34,  35,  36,  37,  38,  39,  40,
                            45,  46,  47,  91,  92,  106, 107, 109, 110, 111, 144, 145, 160, 161, 162,
                            163, 164, 165, 192, 219, 221, 226, 186, 222, 188, 190, 191};
  for (int c = 48; c <= 57; ++c) codes.push_back(c);
  for (int c = 65; c <= 90; ++c) codes.push_back(c);
  for (int c = 96; c <= 105; ++c) codes.push_back(c);
  for (int c = 112; c <= 123; ++c) codes.push_back(c);
  return codes;
}

using InputTest = harness::NullDrawingTest;

}  // namespace

TEST_F(InputTest, PressesAreCountedOnceAndTakenOnce) {
  ScriptKeyTap(KeyCode::Space);
  ScriptKeyTap(KeyCode::Space);
  ScriptKeyTap(KeyCode::Space);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Space), 3);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Space), 0);  // a second read in the same frame
  EXPECT_FALSE(IsKeyHeld(KeyCode::Space));          // a tap does not leave the key down

  // Counts gather between reads across frames, one key apart from another.
  harness::Script s;
  s.KeyTap(1, KeyCode::N).KeyTap(2, KeyCode::N).KeyTap(2, KeyCode::Y);
  s.Install();
  harness::RunFrames(4);
  EXPECT_TRUE(s.Done());
  EXPECT_EQ(TakeKeyPressCount(KeyCode::N), 2);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Y), 1);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Escape), 0);
  EXPECT_EQ(TakeKeyPressCount(-1), 0);
  EXPECT_EQ(TakeKeyPressCount(256), 0);
  EXPECT_FALSE(IsKeyHeld(1000));
}

TEST_F(InputTest, HeldKeysAndRepeatedDownEvents) {
  ScriptKeyDown(KeyCode::Left);
  EXPECT_TRUE(IsKeyHeld(KeyCode::Left));
  ScriptKeyDown(KeyCode::Left);  // what auto-repeat looks like: the key is already down
  ScriptKeyDown(KeyCode::Left);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Left), 1);
  EXPECT_TRUE(IsKeyHeld(KeyCode::Left));
  ScriptKeyUp(KeyCode::Left);
  EXPECT_FALSE(IsKeyHeld(KeyCode::Left));
  ScriptKeyUp(KeyCode::Left);  // a second release changes nothing
  EXPECT_FALSE(IsKeyHeld(KeyCode::Left));
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Left), 0);

  // Return and the keypad's Enter give one code: it is held while either is.
  ScriptKeyDown(KeyCode::Enter);
  EXPECT_TRUE(IsKeyHeld(KeyCode::Enter));
  ScriptKeyUp(KeyCode::Enter);
  EXPECT_FALSE(IsKeyHeld(KeyCode::Enter));
}

TEST_F(InputTest, ClearingForgetsPressesAndHeldKeys) {
  ScriptKeyDown(KeyCode::Tab);
  ScriptKeyTap('A');
  ClearKeyStates();
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Tab), 0);
  EXPECT_EQ(TakeKeyPressCount('A'), 0);
  EXPECT_FALSE(IsKeyHeld(KeyCode::Tab));  // still down on the desk, but pressed before the clear
  // Presses queued before the clear but not yet pumped are forgotten too.
  ScriptKeyTap('B');
  ClearKeyStates();
  EXPECT_EQ(TakeKeyPressCount('B'), 0);
  // The key held through the clear works again once released and pressed.
  ScriptKeyUp(KeyCode::Tab);
  EXPECT_FALSE(IsKeyHeld(KeyCode::Tab));
  ScriptKeyDown(KeyCode::Tab);
  EXPECT_TRUE(IsKeyHeld(KeyCode::Tab));
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Tab), 1);
  ScriptKeyUp(KeyCode::Tab);
}

TEST_F(InputTest, LeftAndRightModifiersAreApart) {
  const int pairs[][2] = {{160, 161}, {162, 163}, {164, 165}, {91, 92}};
  for (auto& p : pairs) {
    ScriptKeyDown(p[0]);
    EXPECT_TRUE(IsKeyHeld(p[0])) << p[0];
    EXPECT_FALSE(IsKeyHeld(p[1])) << p[1];
    ScriptKeyDown(p[1]);
    ScriptKeyUp(p[0]);
    EXPECT_FALSE(IsKeyHeld(p[0])) << p[0];
    EXPECT_TRUE(IsKeyHeld(p[1])) << p[1];
    ScriptKeyUp(p[1]);
    EXPECT_EQ(TakeKeyPressCount(p[0]), 1);
    EXPECT_EQ(TakeKeyPressCount(p[1]), 1);
  }
}

TEST_F(InputTest, EveryKeyTableCodeCanBePressedAndGivesOnlyItself) {
  for (int code : TableCodes()) {
    int sc = ScancodeFromVirtualKey(code);
    ASSERT_NE(sc, 0) << "no physical key gives code " << code;
    EXPECT_EQ(VirtualKeyFromScancode(sc), code);
    ScriptKeyTap(code);
    for (int other = 1; other < 256; ++other) {
      int n = TakeKeyPressCount(other);
      EXPECT_EQ(n, other == code ? 1 : 0) << "pressing " << code << " counted " << other;
    }
  }
}

TEST_F(InputTest, PhysicalPositionsGiveTheirCodes) {
  // SDL scancodes are the USB key positions: A is 4, Return 40, keypad
  // Enter 88, left Control 224, right Alt 230, the ISO key beside left Shift 100.
  EXPECT_EQ(VirtualKeyFromScancode(4), 'A');
  EXPECT_EQ(VirtualKeyFromScancode(29), 'Z');
  EXPECT_EQ(VirtualKeyFromScancode(39), '0');
  EXPECT_EQ(VirtualKeyFromScancode(40), KeyCode::Enter);
  EXPECT_EQ(VirtualKeyFromScancode(88), KeyCode::Enter);
  EXPECT_EQ(VirtualKeyFromScancode(224), KeyCode::LeftControl);
  EXPECT_EQ(VirtualKeyFromScancode(228), 163);
  EXPECT_EQ(VirtualKeyFromScancode(230), 165);
  EXPECT_EQ(VirtualKeyFromScancode(100), 226);
  EXPECT_EQ(VirtualKeyFromScancode(98), 96);   // keypad 0
  EXPECT_EQ(VirtualKeyFromScancode(87), KeyCode::NumpadPlus);  // keypad +
  EXPECT_EQ(VirtualKeyFromScancode(45), KeyCode::Minus);       // the minus key is not keypad -
  EXPECT_EQ(VirtualKeyFromScancode(0), 0);
  EXPECT_EQ(VirtualKeyFromScancode(-3), 0);
  EXPECT_EQ(VirtualKeyFromScancode(100000), 0);
  EXPECT_EQ(ScancodeFromVirtualKey(KeyCode::Enter), 40);  // a script's Return is the main one
  EXPECT_EQ(ScancodeFromVirtualKey(255), 0);
  EXPECT_EQ(ScancodeFromVirtualKey(-1), 0);
  // No two codes share a physical key.
  std::set<int> used;
  for (int code = 1; code < 256; ++code) {
    int sc = ScancodeFromVirtualKey(code);
    if (sc) {
      EXPECT_TRUE(used.insert(sc).second) << code;
    }
  }
}

TEST_F(InputTest, NamedKeyCodesComeFromTheirKeys) {
  // A wrong number among the names would put a menu or a default control on
  // another key.
  const std::pair<int, SDL_Scancode> named[] = {
      {KeyCode::Backspace, SDL_SCANCODE_BACKSPACE}, {KeyCode::Tab, SDL_SCANCODE_TAB},
      {KeyCode::Enter, SDL_SCANCODE_RETURN},        {KeyCode::Escape, SDL_SCANCODE_ESCAPE},
      {KeyCode::Space, SDL_SCANCODE_SPACE},         {KeyCode::Left, SDL_SCANCODE_LEFT},
      {KeyCode::Up, SDL_SCANCODE_UP},               {KeyCode::Right, SDL_SCANCODE_RIGHT},
      {KeyCode::Down, SDL_SCANCODE_DOWN},           {KeyCode::M, SDL_SCANCODE_M},
      {KeyCode::N, SDL_SCANCODE_N},                 {KeyCode::Y, SDL_SCANCODE_Y},
      {KeyCode::NumpadPlus, SDL_SCANCODE_KP_PLUS},  {KeyCode::LeftControl, SDL_SCANCODE_LCTRL},
      {KeyCode::LeftAlt, SDL_SCANCODE_LALT},        {KeyCode::Minus, SDL_SCANCODE_MINUS},
  };
  for (auto [code, key] : named) {
    EXPECT_EQ(ScancodeFromVirtualKey(code), key) << code;
    EXPECT_EQ(VirtualKeyFromScancode(key), code) << SDL_GetScancodeName(key);
  }
}

TEST_F(InputTest, LettersFollowTheLayoutOtherKeysTheirPlace) {
  // A German keyboard: the Y and Z keys change places.
  SetLayoutStandIn(SDL_SCANCODE_Y, 'z');
  SetLayoutStandIn(SDL_SCANCODE_Z, 'y');
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_Y), 'Z');
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_Z), 'Y');
  ScriptScancodeTap(SDL_SCANCODE_Y);
  EXPECT_EQ(TakeKeyPressCount('Z'), 1);
  EXPECT_EQ(TakeKeyPressCount('Y'), 0);
  ScriptScancodeDown(SDL_SCANCODE_Z);
  EXPECT_TRUE(IsKeyHeld('Y'));
  EXPECT_FALSE(IsKeyHeld('Z'));
  EXPECT_EQ(TakeKeyPressCount('Y'), 1);
  // The layout switched while the key is down: its release still lets go
  // of the letter it pressed.
  SetLayoutStandIn(SDL_SCANCODE_Z, 0);
  ScriptScancodeUp(SDL_SCANCODE_Z);
  EXPECT_FALSE(IsKeyHeld('Y'));
  EXPECT_FALSE(IsKeyHeld('Z'));
  ScriptScancodeTap(SDL_SCANCODE_Z);  // now the platform's own layout
  EXPECT_EQ(TakeKeyPressCount('Z'), 1);

  // A French keyboard: M sits right of L, where the M position gives a comma;
  // that key, with no letter, keeps its place's code. Both hold M apart.
  SetLayoutStandIn(SDL_SCANCODE_SEMICOLON, 'm');
  SetLayoutStandIn(SDL_SCANCODE_M, ',');
  ScriptScancodeDown(SDL_SCANCODE_SEMICOLON);
  ScriptScancodeDown(SDL_SCANCODE_M);
  EXPECT_EQ(TakeKeyPressCount('M'), 2);
  EXPECT_EQ(TakeKeyPressCount(186), 0);
  ScriptScancodeUp(SDL_SCANCODE_M);
  EXPECT_TRUE(IsKeyHeld('M'));
  ScriptScancodeUp(SDL_SCANCODE_SEMICOLON);
  EXPECT_FALSE(IsKeyHeld('M'));
  // Digits stay by place whatever the layout prints on them.
  SetLayoutStandIn(SDL_SCANCODE_1, '&');
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_1), '1');

  // The next run has the platform's layout again.
  RuntimeShutdown();
  ASSERT_NE(StartRuntime(Options()), nullptr);
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_Y), 'Y');
  EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_SEMICOLON), 186);
}

TEST_F(InputTest, PadAxesButtonsAndPlugging) {
  EXPECT_EQ(CountJoysticks(), 0);
  EXPECT_EQ(JoyAxisX(0), 0.0f);
  EXPECT_FALSE(IsJoyButtonHeld(0, 0));
  ASSERT_TRUE(ScriptAttachPad());
  EXPECT_EQ(CountJoysticks(), 1);

  ScriptPadAxis(0, -1.0f);
  ScriptPadAxis(1, 0.5f);
  EXPECT_FLOAT_EQ(JoyAxisX(0), -1.0f);
  EXPECT_NEAR(JoyAxisY(0), 0.5f, 1e-4);
  ScriptPadAxis(0, 3.0f);  // beyond the end reads as the end
  EXPECT_FLOAT_EQ(JoyAxisX(0), 1.0f);
  EXPECT_EQ(JoyAxisX(1), 0.0f);  // only port 0 exists

  ScriptPadButton(1, true);
  EXPECT_TRUE(IsJoyButtonHeld(1, 0));
  EXPECT_FALSE(IsJoyButtonHeld(0, 0));
  EXPECT_EQ(TakeJoyButtonPresses(1, 0), 1);
  EXPECT_EQ(TakeJoyButtonPresses(1, 0), 0);
  ScriptPadButton(1, false);
  EXPECT_FALSE(IsJoyButtonHeld(1, 0));
  for (int i = 0; i < 3; ++i) {
    ScriptPadButton(15, true);  // pressed and released between two polls
    ScriptPadButton(15, false);
  }
  EXPECT_EQ(TakeJoyButtonPresses(15, 0), 3);
  EXPECT_FALSE(IsJoyButtonHeld(15, 0));
  EXPECT_EQ(TakeJoyButtonPresses(16, 0), 0);
  EXPECT_EQ(TakeJoyButtonPresses(-1, 0), 0);
  // Key clearing leaves pad presses alone: the pad has its own reset.
  ScriptPadButton(2, true);
  PollSystemEvents();
  ClearKeyStates();
  EXPECT_EQ(TakeJoyButtonPresses(2, 0), 1);

  // Unplugged while held: nothing stays held or tilted.
  ScriptDetachPad();
  EXPECT_EQ(CountJoysticks(), 0);
  EXPECT_FALSE(IsJoyButtonHeld(2, 0));
  EXPECT_EQ(JoyAxisX(0), 0.0f);
  // Plugged in again while running: port 0 works at once.
  ASSERT_TRUE(ScriptAttachPad());
  EXPECT_EQ(CountJoysticks(), 1);
  ScriptPadAxis(1, -0.25f);
  EXPECT_NEAR(JoyAxisY(0), -0.25f, 1e-4);
  ScriptPadButton(0, true);
  EXPECT_EQ(TakeJoyButtonPresses(0, 0), 1);
  ScriptDetachPad();
}

TEST_F(InputTest, ScriptedPadThroughTheHarness) {
  harness::Script s;
  s.AttachPad(0).PadAxis(1, 0, 0.75f).PadButton(2, 3, true).PadButton(3, 3, false);
  s.Install();
  harness::RunFrames(4);
  EXPECT_TRUE(s.Done());
  EXPECT_NEAR(JoyAxisX(0), 0.75f, 1e-4);
  EXPECT_EQ(TakeJoyButtonPresses(3, 0), 1);
  EXPECT_FALSE(IsJoyButtonHeld(3, 0));
}

TEST_F(InputTest, ClosingTheWindowRunsTheHandlerAndEndsCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetCloseRequestHandler([] { std::fprintf(stderr, "settings saved\n"); });
        ScriptCloseRequest();
        PollSystemEvents();
        std::fprintf(stderr, "still running\n");
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(0), "settings saved");
}

TEST_F(InputTest, AHangUpEndsLikeClosingTheWindow) {
  // The terminal the game was started from has closed.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetCloseRequestHandler([] { std::fprintf(stderr, "settings saved\n"); });
        std::raise(SIGHUP);
        PollSystemEvents();
        std::fprintf(stderr, "still running\n");
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(0), "settings saved");
  // Started with hang-ups ignored (nohup): they stay ignored.
  EXPECT_EXIT(
      {
        RuntimeShutdown();
        std::signal(SIGHUP, SIG_IGN);
        RuntimeStartServices();
        SetCloseRequestHandler([] { std::fprintf(stderr, "settings saved\n"); });
        std::raise(SIGHUP);
        PollSystemEvents();
        std::fprintf(stderr, "still running\n");
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(3), "still running");
}

// A second device plugged in beside the scripted pad, straight through SDL.
class ExtraDevice {
 public:
  explicit ExtraDevice(SDL_JoystickType type, int axes, int buttons) {
    int index = SDL_JoystickAttachVirtual(type, axes, buttons, 0);
    if (index >= 0) handle_ = SDL_JoystickOpen(index);
  }
  ~ExtraDevice() { Unplug(); }
  bool ok() const { return handle_ != nullptr; }
  // Each change is reported at once, as a device's report would arrive.
  void Axis(int axis, int16_t v) {
    SDL_JoystickSetVirtualAxis(handle_, axis, v);
    SDL_JoystickUpdate();
  }
  void Button(int b, bool down) {
    SDL_JoystickSetVirtualButton(handle_, b, down ? 1 : 0);
    SDL_JoystickUpdate();
  }
  void Unplug() {
    if (!handle_) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(handle_);
    SDL_JoystickClose(handle_);
    handle_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
  }

 private:
  SDL_Joystick* handle_ = nullptr;
};

TEST_F(InputTest, PortZeroMovesToTheNextDeviceWhenUnplugged) {
  ASSERT_TRUE(ScriptAttachPad());
  ExtraDevice second(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 16);
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(CountJoysticks(), 2);
  second.Axis(0, -32768);
  second.Button(5, true);
  ScriptPadAxis(0, 0.5f);
  EXPECT_NEAR(JoyAxisX(0), 0.5f, 1e-4);  // the first device is port 0
  EXPECT_FALSE(IsJoyButtonHeld(5, 0));   // the second one's buttons are not
  ScriptDetachPad();
  EXPECT_EQ(CountJoysticks(), 1);
  EXPECT_FLOAT_EQ(JoyAxisX(0), -1.0f);   // now the second device answers
  second.Button(5, false);
  PollSystemEvents();
  second.Button(5, true);
  EXPECT_TRUE(IsJoyButtonHeld(5, 0));
  EXPECT_GE(TakeJoyButtonPresses(5, 0), 1);
  second.Unplug();
  EXPECT_EQ(CountJoysticks(), 0);
  EXPECT_FALSE(IsJoyButtonHeld(5, 0));
}

TEST_F(InputTest, GameControllersUseTheLeftStickAndPadButtonOrder) {
  ExtraDevice pad(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX);
  ASSERT_TRUE(pad.ok());
  PollSystemEvents();
  if (!SDL_IsGameController(0)) GTEST_SKIP() << "this SDL gives virtual devices no controller mapping";
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, -32768);  // the right stick is not read
  EXPECT_FLOAT_EQ(JoyAxisY(0), 1.0f);
  EXPECT_FLOAT_EQ(JoyAxisX(0), 0.0f);
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  pad.Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
  PollSystemEvents();
  EXPECT_TRUE(IsJoyButtonHeld(0, 0));
  EXPECT_TRUE(IsJoyButtonHeld(4, 0));
  EXPECT_EQ(TakeJoyButtonPresses(0, 0), 1);
  EXPECT_EQ(TakeJoyButtonPresses(9, 0), 0);
}

// Without the platform's services a script's keys still reach the counts.
TEST(InputWithoutServices, ScriptedKeysStillCount) {
  ClearKeyStates();
  ScriptKeyTap(KeyCode::Escape);
  ScriptKeyDown(KeyCode::Down);
  EXPECT_EQ(TakeKeyPressCount(KeyCode::Escape), 1);
  EXPECT_TRUE(IsKeyHeld(KeyCode::Down));
  ScriptKeyUp(KeyCode::Down);
  EXPECT_FALSE(IsKeyHeld(KeyCode::Down));
  EXPECT_EQ(CountJoysticks(), 0);
  EXPECT_FALSE(ScriptAttachPad());
}
