// Numbered tiles for pictures not drawn yet.
#include "art.h"

namespace pic {
static void placeholderFor(Canvas& c, void (*fn)(Canvas&)) {
    for (const Picture& p : pictures())
        if (p.draw == fn) drawNumberedCells(c, p.cellW, p.cellH, p.cells);
}
void drawTesla(Canvas& c) { placeholderFor(c, drawTesla); }
void drawRadar(Canvas& c) { placeholderFor(c, drawRadar); }
void drawTerraformer1(Canvas& c) { placeholderFor(c, drawTerraformer1); }
void drawTerraformer2(Canvas& c) { placeholderFor(c, drawTerraformer2); }
void drawTowers(Canvas& c) { placeholderFor(c, drawTowers); }
void drawMenuMain(Canvas& c) { placeholderFor(c, drawMenuMain); }
void drawLadyLiberty(Canvas& c) { placeholderFor(c, drawLadyLiberty); }
void drawBones(Canvas& c) { placeholderFor(c, drawBones); }
void drawLayer1(Canvas& c) { placeholderFor(c, drawLayer1); }
void drawLayer2(Canvas& c) { placeholderFor(c, drawLayer2); }
void drawLayer3(Canvas& c) { placeholderFor(c, drawLayer3); }
void drawLayer4(Canvas& c) { placeholderFor(c, drawLayer4); }
void drawPlanet(Canvas& c) { placeholderFor(c, drawPlanet); }
void drawModule(Canvas& c) { placeholderFor(c, drawModule); }
void drawPortal(Canvas& c) { placeholderFor(c, drawPortal); }
}  // namespace pic
