// The game's pictures: one drawing routine per file, and the list of files.
#pragma once

#include <string>
#include <vector>

#include "pngout.h"
#include "raster.h"

namespace pic {

struct Picture {
    std::string file;
    int w, h;
    Format format;
    int cellW, cellH, cells;  // the strip the game cuts; whole pictures are one cell
    Edge edge;
    void (*draw)(Canvas&);
};

// Every picture file of the game's catalogue, in its order, each once.
const std::vector<Picture>& pictures();

// Shared palette of the look: a dusky violet planet under neon machines.
namespace pal {
inline Col ink() { return rgb(14, 10, 24); }       // dark outlines, never pure black
inline Col cyan() { return rgb(60, 230, 255); }
inline Col magenta() { return rgb(255, 60, 200); }
inline Col amber() { return rgb(255, 180, 60); }
inline Col lime() { return rgb(140, 255, 90); }
inline Col red() { return rgb(255, 70, 60); }
inline Col steel() { return rgb(120, 130, 160); }
inline Col steelDark() { return rgb(52, 56, 78); }
inline Col steelLight() { return rgb(190, 200, 225); }
inline Col white() { return rgb(245, 245, 255); }
}  // namespace pal

// Vertical gradient paint between two colours over [y0, y1].
Paint vgrad(float y0, float y1, Col top, Col bottom);
// Horizontal gradient paint.
Paint hgrad(float x0, float x1, Col left, Col right);

// Pixel-art shading: one of the ramp's colours (darkest first) for a shade
// v from 0 to 1, with a 4 x 4 ordered dither between the two nearest, so a
// slope of light reads as a few flat tones and a crisp pattern between them.
// The pattern repeats every 4 pixels both ways.
Col dither(const std::vector<Col>& ramp, float v, int x, int y);

// Drawing routines, one per picture.
void drawIntro1(Canvas&);
void drawIntro2(Canvas&);
void drawIntro3a(Canvas&);
void drawIntro3b(Canvas&);
void drawFont(Canvas&);
void drawBike(Canvas&);
void drawPlayerBullet(Canvas&);
void drawShotsEnemy(Canvas&);
void drawMissile(Canvas&);
void drawArrow(Canvas&);
void drawTesla(Canvas&);
void drawEnemies(Canvas&);
void drawGroundEnemies(Canvas&);
void drawFrags(Canvas&);
void drawShadows(Canvas&);
void drawPoof(Canvas&);
void drawBouncer(Canvas&);
void drawMine(Canvas&);
void drawRadar(Canvas&);
void drawTerraformer1(Canvas&);
void drawTerraformer2(Canvas&);
void drawTowers(Canvas&);
void drawExplosion(Canvas&);
void drawExplosion2(Canvas&);
void drawLunarExhaust(Canvas&);
void drawGlowing(Canvas&);
void drawMenuKeys(Canvas&);
void drawMenuArrow(Canvas&);
void drawMenuMain(Canvas&);
void drawMenuTitle(Canvas&);
void drawMenuText(Canvas&);
void drawLadyLiberty(Canvas&);
void drawBones(Canvas&);
void drawShieldFx(Canvas&);
void drawShield2(Canvas&);
void drawExhaust1(Canvas&);
void drawExhaust2(Canvas&);
void drawShieldFrags(Canvas&);
void drawMessages(Canvas&);
void drawLayer1(Canvas&);
void drawLayer2(Canvas&);
void drawLayer3(Canvas&);
void drawLayer4(Canvas&);
void drawScanlines1(Canvas&);
void drawScanlines2(Canvas&);
void drawPlanet(Canvas&);
void drawModule(Canvas&);
void drawPortal(Canvas&);
void drawLogo2(Canvas&);
void drawTimebar(Canvas&);
void drawTimebar2(Canvas&);

}  // namespace pic
