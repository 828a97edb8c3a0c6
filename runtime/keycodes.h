// Names for the key codes the keyboard routines take and report: Windows
// virtual-key codes, 0-255. The settings file keeps the bound keys as these
// numbers, so a value here never changes. A letter's code is its capital
// (KeyCode::N == 'N'), a digit's is the digit character.
#pragma once

namespace KeyCode {

inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;  // Return, and the keypad's Enter
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Left = 37;  // the cursor keys
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int M = 'M';
inline constexpr int N = 'N';
inline constexpr int Y = 'Y';
inline constexpr int NumpadPlus = 107;
inline constexpr int LeftControl = 162;
inline constexpr int LeftAlt = 164;
inline constexpr int Minus = 189;  // the main keyboard's, not the keypad's

}  // namespace KeyCode
