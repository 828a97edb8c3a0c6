// The intro: footsteps in the dark, a light switching on, four small pictures
// brightening out of the black, a murmur, and a fade to black. It loads its
// own pictures and sounds each time it runs; they play whatever the sound
// option says.
#include "screens/screens.h"

namespace {


struct IntroScene {
  TImage* pilot;     // "intro1.png"
  TImage* lampBack;  // "intro3a.png"
  TImage* lampFront; // "intro3b.png"
  TImage* eyes;      // "intro2.png"
};

// One picture of the scene at grey g and alpha a; the small picture is drawn
// at twice the alpha with a flickering red channel.
void DrawScene(const IntroScene& s, int g, float a) {
  ClearDrawBuffer();
  SetDrawAlpha(a);
  SetDrawColour(g, g, g);
  DrawImageFrame(s.pilot, 262, 150, 0);
  SetDrawColour(g, g, 0);
  DrawImageFrame(s.lampBack, 260, 103, 0);
  DrawImageFrame(s.lampFront, 260, 103, 0);
  const int red = TruncateToInt(RandomRealInRange(200, 240));
  SetDrawColour(red, 255, 255);
  SetDrawAlpha(2 * a);
  DrawImageFrame(s.eyes, 312, 153, 0);
}

}  // namespace

void PlayIntro() {
  ClearDrawBuffer();
  PresentFrame(-1);
  SetDrawBlendMode(BlendMode::Alpha);

  IntroScene scene;
  scene.pilot = LoadImageResource(ResPath("intro1.png"), IMAGE_DEFAULT_FLAGS);
  scene.eyes = LoadImageResource(ResPath("intro2.png"), IMAGE_DEFAULT_FLAGS);
  scene.lampBack = LoadImageResource(ResPath("intro3a.png"), IMAGE_DEFAULT_FLAGS);
  scene.lampFront = LoadImageResource(ResPath("intro3b.png"), IMAGE_DEFAULT_FLAGS);
  TSound* footsteps = LoadSoundResource(ResPath("_footsteps-4.ogg"), 0);
  TSound* lights = LoadSoundResource(ResPath("_lights.ogg"), 0);
  TSound* murmur = LoadSoundResource(ResPath("_hmmmm.ogg"), 0);

  PlaySoundOnChannel(footsteps, nullptr);
  SleepMillis(2300);
  int grey = 32;
  float alpha = 0.01f;
  int brightFrames = 0;
  PlaySoundOnChannel(lights, nullptr);
  SleepMillis(350);

  // Grey rises by one a frame to full brightness (frame 224 on); about two
  // seconds later the scene ends by itself, or at once on Escape.
  for (;;) {
    DrawScene(scene, grey, alpha);
    alpha += 0.05f;  // clamped only when drawn
    if (grey < 256) ++grey;
    PresentFrame(-1);
    if (grey >= 255) {
      SleepMillis(1);
      if (++brightFrames == 40) PlaySoundOnChannel(murmur, nullptr);
    }
    if (grey >= 255 && brightFrames > 150) break;
    if (TakeKeyPressCount(KeyCode::Escape) > 0) break;
  }
  ClearKeyStates();
  SleepMillis(50);

  // The last picture once more, grabbed and faded to black in 128 frames.
  DrawScene(scene, grey, alpha);
  TImage* still = CreateEmptyImage(640, 480, 1, IMAGE_MASKED | IMAGE_DYNAMIC);
  GrabImageFromScreen(still, 0, 0, 0);
  float level = 255;
  do {
    const int g = TruncateToInt(level);
    SetDrawColour(g, g, g);
    DrawImageFrame(still, 0, 0, 0);
    level -= 2;
    PresentFrame(-1);
  } while (level > 0);

  SetDrawAlpha(1);
  SetDrawColour(255, 255, 255);
  ClearDrawBuffer();
}
