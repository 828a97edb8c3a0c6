#include "art.h"

namespace pic {

const std::vector<Picture>& pictures() {
    using F = Format;
    using E = Edge;
    static const std::vector<Picture> list = {
        {"intro1.png", 118, 74, F::RGB, 118, 74, 1, E::Hard, drawIntro1},
        {"intro2.png", 24, 16, F::Palette, 24, 16, 1, E::Hard, drawIntro2},
        {"intro3a.png", 128, 128, F::RGBA, 128, 128, 1, E::Hard, drawIntro3a},
        {"intro3b.png", 128, 128, F::RGBA, 128, 128, 1, E::Hard, drawIntro3b},
        {"font.png", 320, 48, F::Palette, 16, 16, 60, E::Hard, drawFont},
        {"bike2.png", 120, 220, F::RGB, 120, 55, 4, E::Hard, drawBike},
        {"playerbullet.png", 23, 5, F::RGB, 23, 5, 1, E::Hard, drawPlayerBullet},
        {"Shots_Enemy.png", 13, 13, F::RGB, 13, 13, 1, E::Hard, drawShotsEnemy},
        {"MissileGFX.png", 92, 23, F::RGB, 23, 23, 4, E::Hard, drawMissile},
        {"arrow.png", 32, 42, F::RGBA, 32, 42, 1, E::Hard, drawArrow},
        {"teslathingy.png", 320, 60, F::RGB, 80, 60, 4, E::Hard, drawTesla},
        {"enemies.png", 160, 440, F::RGB, 40, 40, 44, E::Hard, drawEnemies},
        {"groundenemies.png", 240, 240, F::RGB, 40, 40, 36, E::Hard, drawGroundEnemies},
        {"frags.png", 40, 400, F::RGB, 20, 20, 40, E::Hard, drawFrags},
        {"shadows.png", 192, 64, F::RGB, 32, 32, 12, E::Hard, drawShadows},
        {"poof.png", 64, 16, F::RGB, 16, 16, 4, E::Glow, drawPoof},
        {"bouncer.png", 160, 40, F::RGB, 40, 40, 4, E::Hard, drawBouncer},
        {"mine_new.png", 160, 40, F::RGB, 40, 40, 4, E::Hard, drawMine},
        {"radar.png", 560, 120, F::RGB, 70, 120, 8, E::Hard, drawRadar},
        {"terraformer1.png", 42, 120, F::RGB, 42, 120, 1, E::Hard, drawTerraformer1},
        {"terraformer2.png", 56, 64, F::RGB, 7, 64, 8, E::Glow, drawTerraformer2},
        {"MoreTowers.png", 560, 240, F::RGB, 70, 120, 16, E::Hard, drawTowers},
        {"explosion.png", 256, 256, F::RGB, 64, 64, 16, E::Glow, drawExplosion},
        {"explosion2.png", 64, 832, F::RGB, 64, 64, 13, E::Glow, drawExplosion2},
        {"LunarExhaust.png", 256, 64, F::RGB, 64, 64, 4, E::Flame, drawLunarExhaust},
        {"Glowing.png", 132, 72, F::RGB, 132, 36, 2, E::Glow, drawGlowing},
        {"menukeys.png", 212, 10, F::Palette, 212, 10, 1, E::Hard, drawMenuKeys},
        {"menuarrow.png", 32, 256, F::Palette, 32, 32, 8, E::Hard, drawMenuArrow},
        {"menumain.png", 640, 480, F::RGB, 640, 480, 1, E::Hard, drawMenuMain},
        {"menutitle.png", 485, 110, F::RGB, 485, 110, 1, E::Hard, drawMenuTitle},
        {"menutext.png", 313, 265, F::RGB, 313, 265, 1, E::Hard, drawMenuText},
        {"LadyLiberty.png", 158, 222, F::RGB, 158, 222, 1, E::Hard, drawLadyLiberty},
        {"bones.png", 86, 22, F::RGB, 86, 22, 1, E::Hard, drawBones},
        {"shield_fx.png", 98, 976, F::RGB, 98, 61, 16, E::Flame, drawShieldFx},
        {"shield2.png", 128, 128, F::RGB, 128, 64, 2, E::Glow, drawShield2},
        {"exhaust1.png", 124, 976, F::RGB, 124, 61, 16, E::Flame, drawExhaust1},
        {"exhaust2.png", 124, 976, F::RGB, 124, 61, 16, E::Flame, drawExhaust2},
        {"ShieldFrags.png", 40, 40, F::RGB, 4, 4, 100, E::Hard, drawShieldFrags},
        {"messages.png", 480, 480, F::RGB, 480, 48, 10, E::Hard, drawMessages},
        {"layer1b.png", 1920, 480, F::RGB, 64, 480, 30, E::Hard, drawLayer1},
        {"layer2b.png", 1920, 480, F::RGB, 64, 480, 30, E::Hard, drawLayer2},
        {"layer3b.png", 1920, 480, F::RGB, 64, 480, 30, E::Hard, drawLayer3},
        {"layer4c.png", 8, 480, F::RGB, 8, 480, 1, E::Hard, drawLayer4},
        {"scanlines1.png", 320, 200, F::RGBA, 320, 200, 1, E::Hard, drawScanlines1},
        {"scanlines2.png", 320, 80, F::RGBA, 320, 80, 1, E::Hard, drawScanlines2},
        {"planet.png", 128, 67, F::RGB, 128, 67, 1, E::Hard, drawPlanet},
        {"module.png", 400, 60, F::RGB, 80, 60, 5, E::Hard, drawModule},
        {"portal.png", 320, 60, F::RGB, 80, 60, 4, E::Hard, drawPortal},
        {"logo2.png", 340, 84, F::RGB, 340, 84, 1, E::Hard, drawLogo2},
        {"timebar.png", 640, 32, F::RGB, 640, 32, 1, E::Hard, drawTimebar},
        {"timebar2.png", 1, 16, F::RGB, 1, 16, 1, E::Hard, drawTimebar2},
    };
    return list;
}

}  // namespace pic
