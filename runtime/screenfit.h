// How the 640 x 480 picture is brought to the size of the screen: scaled as
// large as fits with its shape kept and black bars around it, in two steps
// so pixel edges stay sharp. First by a whole factor with plain (nearest)
// sampling into a larger picture, then with linear filtering to the final
// size, which then only blends along the edges of the enlarged pixels. At an
// exact whole factor the first step alone gives the final picture. (On SDL's
// OpenGL renderer a shader does both steps in one pass, sharpgl.cpp;
// elsewhere the enlarged picture is a texture of its own.)
#pragma once

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
