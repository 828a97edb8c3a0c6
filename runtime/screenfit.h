// How the 640 x 480 picture is brought to the size of the screen: scaled as
// large as fits with its shape kept and black bars around it, in two steps
// so pixel edges stay sharp. First by a whole factor with plain (nearest)
// sampling into a larger picture, then with linear filtering to the final
// size, which then only blends along the edges of the enlarged pixels. At an
// exact whole factor the first step alone gives the final picture. (On SDL's
// OpenGL renderer a shader does both steps in one pass, sharpgl.cpp;
// elsewhere the enlarged picture is a texture of its own.)
#pragma once

#include <vector>

struct ScreenFit {
  // The whole factor of the first step (1: no first step).
  int factor = 1;
  // Whether the linear second step is needed (the final size is not an exact
  // whole multiple of the picture).
  bool linearStep = false;
  // Where the picture lands on the screen, in screen pixels.
  int x = 0, y = 0, width = 0, height = 0;
};

// maxTextureWidth / maxTextureHeight: the largest picture the renderer can
// hold (0: no limit); the first step stays within it.
ScreenFit FitPictureToScreen(int pictureWidth, int pictureHeight, int screenWidth,
                             int screenHeight, int maxTextureWidth = 0, int maxTextureHeight = 0);

// An overlay over the picture as it darkens it on average: each pixel
// becomes pixel x (1 - darkening) + added (in colour steps, 0-255).
struct OverlayShade {
  double darkening = 0;
  double added[3] = {0, 0, 0};
};

// That overlay as even dark rows over a picture shown `shownHeight` screen
// rows high: a band of `thickness` rows at the end of every `period` rows,
// about one picture row thick and two apart, rounded to whole screen rows so
// every band is alike. Mixed in at `alpha` (0-255) in `colour`, they darken
// the shown picture as much as the overlay darkens the picture on average.
struct EvenOverlay {
  int period = 2, thickness = 1;
  struct Band {
    int y = 0, height = 0;  // screen rows from the picture's top
  };
  std::vector<Band> bands;  // none when there is nothing to darken
  int alpha = 0;
  int colour[3] = {0, 0, 0};
};
EvenOverlay EvenOverlayFor(const OverlayShade& shade, int pictureHeight, int shownHeight);
