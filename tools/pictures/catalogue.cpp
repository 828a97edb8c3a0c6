// Which routine draws each picture file, and how its edges are finished.
// Sizes, formats and cells come from the game's own catalogue (res/assets.h),
// so the generator draws exactly the pictures the game cuts.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "art.h"

namespace pic {

namespace {

struct Drawing {
    const char* file;
    Edge edge;
    void (*draw)(Canvas&);
};

const Drawing kDrawings[] = {
    {"intro1.png",        Edge::Hard,  drawIntro1},
    {"intro2.png",        Edge::Hard,  drawIntro2},
    {"intro3a.png",       Edge::Hard,  drawIntro3a},
    {"intro3b.png",       Edge::Hard,  drawIntro3b},
    {"font.png",          Edge::Hard,  drawFont},
    {"bike2.png",         Edge::Hard,  drawBike},
    {"playerbullet.png",  Edge::Hard,  drawPlayerBullet},
    {"Shots_Enemy.png",   Edge::Hard,  drawShotsEnemy},
    {"MissileGFX.png",    Edge::Hard,  drawMissile},
    {"arrow.png",         Edge::Hard,  drawArrow},
    {"teslathingy.png",   Edge::Hard,  drawTesla},
    {"enemies.png",       Edge::Hard,  drawEnemies},
    {"groundenemies.png", Edge::Hard,  drawGroundEnemies},
    {"frags.png",         Edge::Hard,  drawFrags},
    {"shadows.png",       Edge::Hard,  drawShadows},
    {"poof.png",          Edge::Glow,  drawPoof},
    {"bouncer.png",       Edge::Hard,  drawBouncer},
    {"mine_new.png",      Edge::Hard,  drawMine},
    {"radar.png",         Edge::Hard,  drawRadar},
    {"terraformer1.png",  Edge::Hard,  drawTerraformer1},
    {"terraformer2.png",  Edge::Glow,  drawTerraformer2},
    {"MoreTowers.png",    Edge::Hard,  drawTowers},
    {"explosion.png",     Edge::Glow,  drawExplosion},
    {"explosion2.png",    Edge::Glow,  drawExplosion2},
    {"LunarExhaust.png",  Edge::Flame, drawLunarExhaust},
    {"Glowing.png",       Edge::Glow,  drawGlowing},
    {"menukeys.png",      Edge::Hard,  drawMenuKeys},
    {"menuarrow.png",     Edge::Hard,  drawMenuArrow},
    {"menumain.png",      Edge::Hard,  drawMenuMain},
    {"menutitle.png",     Edge::Hard,  drawMenuTitle},
    {"menutext.png",      Edge::Hard,  drawMenuText},
    {"LadyLiberty.png",   Edge::Hard,  drawLadyLiberty},
    {"bones.png",         Edge::Hard,  drawBones},
    {"shield_fx.png",     Edge::Flame, drawShieldFx},
    {"shield2.png",       Edge::Glow,  drawShield2},
    {"exhaust1.png",      Edge::Flame, drawExhaust1},
    {"exhaust2.png",      Edge::Flame, drawExhaust2},
    {"ShieldFrags.png",   Edge::Hard,  drawShieldFrags},
    {"messages.png",      Edge::Hard,  drawMessages},
    {"layer1b.png",       Edge::Hard,  drawLayer1},
    {"layer2b.png",       Edge::Hard,  drawLayer2},
    {"layer3b.png",       Edge::Hard,  drawLayer3},
    {"layer4c.png",       Edge::Hard,  drawLayer4},
    {"scanlines1.png",    Edge::Hard,  drawScanlines1},
    {"scanlines2.png",    Edge::Hard,  drawScanlines2},
    {"planet.png",        Edge::Hard,  drawPlanet},
    {"module.png",        Edge::Hard,  drawModule},
    {"portal.png",        Edge::Hard,  drawPortal},
    {"logo2.png",         Edge::Hard,  drawLogo2},
    {"timebar.png",       Edge::Hard,  drawTimebar},
    {"timebar2.png",      Edge::Hard,  drawTimebar2},
};

const Drawing* drawingOf(const char* file) {
    for (const Drawing& d : kDrawings)
        if (std::strcmp(d.file, file) == 0) return &d;
    return nullptr;
}

// The files in catalogue order, each once, with their drawings; a file
// without a drawing, or a drawing of no file, stops the generator.
std::vector<Picture> collect() {
    std::vector<Picture> list;
    for (const PictureEntry& entry : PictureCatalogue()) {
        if (!IsMainCut(entry)) continue;
        const Drawing* d = drawingOf(entry.file);
        if (!d) {
            std::fprintf(stderr, "picgen: no drawing for %s\n", entry.file);
            std::exit(2);
        }
        list.push_back({entry.file, entry.width, entry.height, entry.format, entry.cellWidth, entry.cellHeight,
                        entry.cells, d->edge, d->draw});
    }
    if (list.size() != std::size(kDrawings)) {
        std::fprintf(stderr, "picgen: a drawing for a file the game's catalogue does not list\n");
        std::exit(2);
    }
    return list;
}

}  // namespace

const std::vector<Picture>& pictures() {
    static const std::vector<Picture> list = collect();
    return list;
}

}  // namespace pic
