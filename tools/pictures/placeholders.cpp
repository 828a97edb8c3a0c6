// Numbered tiles for pictures not drawn yet.
#include "art.h"

namespace pic {
static void placeholderFor(Canvas& c, void (*fn)(Canvas&)) {
    for (const Picture& p : pictures())
        if (p.draw == fn) drawNumberedCells(c, p.cellW, p.cellH, p.cells);
}
void drawBike(Canvas& c) { placeholderFor(c, drawBike); }
void drawPlayerBullet(Canvas& c) { placeholderFor(c, drawPlayerBullet); }
void drawShotsEnemy(Canvas& c) { placeholderFor(c, drawShotsEnemy); }
void drawMissile(Canvas& c) { placeholderFor(c, drawMissile); }
void drawTesla(Canvas& c) { placeholderFor(c, drawTesla); }
void drawEnemies(Canvas& c) { placeholderFor(c, drawEnemies); }
void drawGroundEnemies(Canvas& c) { placeholderFor(c, drawGroundEnemies); }
void drawFrags(Canvas& c) { placeholderFor(c, drawFrags); }
void drawShadows(Canvas& c) { placeholderFor(c, drawShadows); }
void drawPoof(Canvas& c) { placeholderFor(c, drawPoof); }
void drawBouncer(Canvas& c) { placeholderFor(c, drawBouncer); }
void drawMine(Canvas& c) { placeholderFor(c, drawMine); }
void drawRadar(Canvas& c) { placeholderFor(c, drawRadar); }
void drawTerraformer1(Canvas& c) { placeholderFor(c, drawTerraformer1); }
void drawTerraformer2(Canvas& c) { placeholderFor(c, drawTerraformer2); }
void drawTowers(Canvas& c) { placeholderFor(c, drawTowers); }
void drawExplosion(Canvas& c) { placeholderFor(c, drawExplosion); }
void drawExplosion2(Canvas& c) { placeholderFor(c, drawExplosion2); }
void drawLunarExhaust(Canvas& c) { placeholderFor(c, drawLunarExhaust); }
void drawGlowing(Canvas& c) { placeholderFor(c, drawGlowing); }
void drawMenuMain(Canvas& c) { placeholderFor(c, drawMenuMain); }
void drawLadyLiberty(Canvas& c) { placeholderFor(c, drawLadyLiberty); }
void drawBones(Canvas& c) { placeholderFor(c, drawBones); }
void drawShieldFx(Canvas& c) { placeholderFor(c, drawShieldFx); }
void drawShield2(Canvas& c) { placeholderFor(c, drawShield2); }
void drawExhaust1(Canvas& c) { placeholderFor(c, drawExhaust1); }
void drawExhaust2(Canvas& c) { placeholderFor(c, drawExhaust2); }
void drawShieldFrags(Canvas& c) { placeholderFor(c, drawShieldFrags); }
void drawLayer1(Canvas& c) { placeholderFor(c, drawLayer1); }
void drawLayer2(Canvas& c) { placeholderFor(c, drawLayer2); }
void drawLayer3(Canvas& c) { placeholderFor(c, drawLayer3); }
void drawLayer4(Canvas& c) { placeholderFor(c, drawLayer4); }
void drawPlanet(Canvas& c) { placeholderFor(c, drawPlanet); }
void drawModule(Canvas& c) { placeholderFor(c, drawModule); }
void drawPortal(Canvas& c) { placeholderFor(c, drawPortal); }
}  // namespace pic
