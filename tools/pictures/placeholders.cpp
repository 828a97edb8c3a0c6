// Numbered tiles for pictures not drawn yet.
#include "art.h"

namespace pic {
static void placeholderFor(Canvas& c, void (*fn)(Canvas&)) {
    for (const Picture& p : pictures())
        if (p.draw == fn) drawNumberedCells(c, p.cellW, p.cellH, p.cells);
}
void drawIntro1(Canvas& c) { placeholderFor(c, drawIntro1); }
void drawIntro2(Canvas& c) { placeholderFor(c, drawIntro2); }
void drawIntro3a(Canvas& c) { placeholderFor(c, drawIntro3a); }
void drawIntro3b(Canvas& c) { placeholderFor(c, drawIntro3b); }
void drawFont(Canvas& c) { placeholderFor(c, drawFont); }
void drawBike(Canvas& c) { placeholderFor(c, drawBike); }
void drawPlayerBullet(Canvas& c) { placeholderFor(c, drawPlayerBullet); }
void drawShotsEnemy(Canvas& c) { placeholderFor(c, drawShotsEnemy); }
void drawMissile(Canvas& c) { placeholderFor(c, drawMissile); }
void drawArrow(Canvas& c) { placeholderFor(c, drawArrow); }
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
void drawMenuKeys(Canvas& c) { placeholderFor(c, drawMenuKeys); }
void drawMenuArrow(Canvas& c) { placeholderFor(c, drawMenuArrow); }
void drawMenuMain(Canvas& c) { placeholderFor(c, drawMenuMain); }
void drawMenuTitle(Canvas& c) { placeholderFor(c, drawMenuTitle); }
void drawMenuText(Canvas& c) { placeholderFor(c, drawMenuText); }
void drawLadyLiberty(Canvas& c) { placeholderFor(c, drawLadyLiberty); }
void drawBones(Canvas& c) { placeholderFor(c, drawBones); }
void drawShieldFx(Canvas& c) { placeholderFor(c, drawShieldFx); }
void drawShield2(Canvas& c) { placeholderFor(c, drawShield2); }
void drawExhaust1(Canvas& c) { placeholderFor(c, drawExhaust1); }
void drawExhaust2(Canvas& c) { placeholderFor(c, drawExhaust2); }
void drawShieldFrags(Canvas& c) { placeholderFor(c, drawShieldFrags); }
void drawMessages(Canvas& c) { placeholderFor(c, drawMessages); }
void drawLayer1(Canvas& c) { placeholderFor(c, drawLayer1); }
void drawLayer2(Canvas& c) { placeholderFor(c, drawLayer2); }
void drawLayer3(Canvas& c) { placeholderFor(c, drawLayer3); }
void drawLayer4(Canvas& c) { placeholderFor(c, drawLayer4); }
void drawScanlines1(Canvas& c) { placeholderFor(c, drawScanlines1); }
void drawScanlines2(Canvas& c) { placeholderFor(c, drawScanlines2); }
void drawPlanet(Canvas& c) { placeholderFor(c, drawPlanet); }
void drawModule(Canvas& c) { placeholderFor(c, drawModule); }
void drawPortal(Canvas& c) { placeholderFor(c, drawPortal); }
void drawLogo2(Canvas& c) { placeholderFor(c, drawLogo2); }
void drawTimebar(Canvas& c) { placeholderFor(c, drawTimebar); }
void drawTimebar2(Canvas& c) { placeholderFor(c, drawTimebar2); }
}  // namespace pic
