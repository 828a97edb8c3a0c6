// The grabbed screen's fades and the yes/no question over it.
#include "services/dialog.h"

#include "services/fonttext.h"
#include "services/controls.h"
#include "services/settings.h"

TImage* ScreenGrab = nullptr;

namespace {

constexpr float kDialogStep = 0.02f;
constexpr float kDimmedTo = 0.3f;

void DrawScreenGrab() {
  ClearDrawBuffer();
  DrawImageFrame(ScreenGrab, 0.0f, 0.0f, 0);
}

// Polls, with 1 ms sleeps, until an answer comes.
bool WaitForYesNo(bool padAnswers) {
  for (;;) {
    int answer = 0;
    if (TakeKeyPressCount(KeyCode::Y) > 0 || (padAnswers && TakePadPress(Settings.padFireButton))) answer = 1;
    if (TakeKeyPressCount(KeyCode::N) > 0 || TakeKeyPressCount(KeyCode::Escape) > 0 ||
        (padAnswers && TakePadPress(Settings.padClimbButton)))
      answer = 2;
    if (answer != 0) return answer == 1;
    SleepMillis(1);
  }
}

}  // namespace

void FadeFrames(float& fade, float step, float target, const std::function<void()>& drawPicture) {
  do {
    SetDrawAlpha(fade);
    drawPicture();
    fade += step;
    DrawScanlines();
    PresentFrame(-1);
  } while (step < 0 ? fade > target : fade < target);
}

void FadeScreenGrab(float& fade, float step, float target) { FadeFrames(fade, step, target, DrawScreenGrab); }

void BrightenScreenGrab(int step, int lastGrey) {
  for (int grey = 0; grey <= lastGrey; grey += step) {
    ClearDrawBuffer();
    SetDrawColour(grey, grey, grey);
    DrawImageFrame(ScreenGrab, 0.0f, 0.0f, 0);
    PresentFrame(-1);
  }
}

bool AskYesNo(float& fade, const YesNoQuestion& question) {
  SetDrawBlendMode(BlendMode::Alpha);
  ClearKeyStates();
  fade = 1.0f;
  GrabImageFromScreen(ScreenGrab, 0, 0, 0);
  if (question.onOpen) question.onOpen();

  do {  // 36 frames, the question in full over the dimming screen
    ClearDrawBuffer();
    SetDrawAlpha(fade);
    DrawImageFrame(ScreenGrab, 0.0f, 0.0f, 0);
    fade -= kDialogStep;
    SetDrawAlpha(1.0f);
    DrawFontText(question.text, question.column, question.row);
    DrawScanlines();
    PresentFrame(-1);
  } while (fade >= kDimmedTo);

  const bool yes = WaitForYesNo(question.padAnswers);
  if (question.onAnswer) question.onAnswer(yes);
  if (yes)
    FadeScreenGrab(fade, -kDialogStep, 0.0f);
  else
    FadeScreenGrab(fade, kDialogStep, 1.0f);
  ClearKeyStates();
  return yes;
}
