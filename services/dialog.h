// The grabbed screen: its fades, and the yes/no question asked over it by the
// pause dialog and the exit dialog. Each caller keeps its own fade counter.
#pragma once

#include <functional>

#include "runtime/runtime.h"

extern TImage* ScreenGrab;  // the screen as last grabbed, 640 x 480

// Frames of a picture at draw alpha `fade` under the scan lines: each frame
// sets the alpha, draws the picture (which clears the screen first), moves
// fade by step, adds the scan lines and is presented; until fade has passed
// target, so always at least one frame. The alpha stays as the last frame's.
void FadeFrames(float& fade, float step, float target, const std::function<void()>& drawPicture);
// The same with the screen grab as the picture.
void FadeScreenGrab(float& fade, float step, float target);
// Frames of the screen grab brightening out of black: drawn in grey 0, then
// step by step up to the last grey not above lastGrey, which stays set.
void BrightenScreenGrab(int step, int lastGrey);

struct YesNoQuestion {
  const char16_t* text = u"";
  float column = 0, row = 0;  // where the text stands, in font cells
  bool padAnswers = false;    // the pad's fire button says yes, its climb button no
  std::function<void()> onOpen = {};            // once the screen is grabbed, before it dims
  std::function<void(bool yes)> onAnswer = {};  // before the screen fades away (yes) or back (no)
};
// Grabs the screen and dims it under the question to an alpha below 0.3,
// then waits for Y, or N or Escape (N wins when both come at once),
// presenting nothing meanwhile. On yes the grab fades out to black, on no
// back in; the keys pressed meanwhile are forgotten. True for yes.
bool AskYesNo(float& fade, const YesNoQuestion& question);
