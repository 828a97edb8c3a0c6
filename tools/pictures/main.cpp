// picgen <res-dir> [<contact-sheet.png>]
// Draws every picture of the game into <res-dir>, the same bytes on every run,
// and optionally a contact sheet showing them all with their cells outlined.
#include <algorithm>
#include <cstdio>
#include <string>

#include "art.h"

using namespace pic;

namespace {

// Lays the pictures out on shelves; big ones are shown at half size.
Canvas contactSheet(const std::vector<std::pair<const Picture*, Canvas>>& drawn) {
    const int sheetW = 2000, pad = 10, label = 14;
    struct Place {
        int x, y, s;  // s: 1 full size, 2 half size
    };
    std::vector<Place> places;
    int x = pad, y = pad, shelf = 0;
    for (auto& [p, c] : drawn) {
        int s = (p->w > 700 || p->h > 700) ? 2 : 1;
        int w = p->w / s, h = p->h / s + label;
        int need = std::max(w, Canvas::textWidth(p->file, 1));
        if (x + need + pad > sheetW) {
            x = pad;
            y += shelf + pad;
            shelf = 0;
        }
        places.push_back({x, y, s});
        x += need + pad;
        shelf = std::max(shelf, h);
    }
    Canvas sheet(sheetW, y + shelf + pad);
    sheet.rect(0, 0, sheet.w, sheet.h, rgb(40, 40, 48));
    for (size_t i = 0; i < drawn.size(); ++i) {
        const Picture& p = *drawn[i].first;
        std::vector<uint8_t> rgbPx = toRgb(drawn[i].second, p.edge);
        const Canvas& src = drawn[i].second;
        Place pl = places[i];
        sheet.text(p.file, pl.x, pl.y, 1, rgb(230, 230, 240));
        int ox = pl.x, oy = pl.y + label;
        int w = p.w / pl.s, h = p.h / pl.s;
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                int sx = xx * pl.s, sy = yy * pl.s;
                size_t k = static_cast<size_t>(sy) * p.w + sx;
                Col c;
                if (p.format == Format::RGBA) {
                    // alpha pictures over a checker so their transparency shows
                    Col base = ((xx / 4 + yy / 4) & 1) ? rgb(90, 90, 100) : rgb(60, 60, 70);
                    const Col& s = src.px[k];
                    c = Col{s.r + base.r * (1 - s.a), s.g + base.g * (1 - s.a), s.b + base.b * (1 - s.a), 1};
                } else if (rgbPx[k * 3] | rgbPx[k * 3 + 1] | rgbPx[k * 3 + 2]) {
                    c = rgb(rgbPx[k * 3], rgbPx[k * 3 + 1], rgbPx[k * 3 + 2]);
                } else {
                    c = rgb(0, 0, 0);  // the transparent colour, shown as black
                }
                sheet.put(ox + xx, oy + yy, c);
            }
        // cell outlines
        Col line = rgb(255, 255, 0, 0.45f);
        int cols = p.w / p.cellW, rows = p.h / p.cellH;
        for (int r = 0; r < rows; ++r)
            for (int cc = 0; cc < cols; ++cc) {
                int idx = r * cols + cc;
                float cx = ox + static_cast<float>(cc * p.cellW) / pl.s, cy = oy + static_cast<float>(r * p.cellH) / pl.s;
                float cw = static_cast<float>(p.cellW) / pl.s, ch = static_cast<float>(p.cellH) / pl.s;
                Col l = idx < p.cells ? line : rgb(255, 60, 60, 0.45f);
                if (cw >= 3 && ch >= 3) {
                    for (int t = 0; t < static_cast<int>(cw); ++t) {
                        sheet.over(static_cast<int>(cx) + t, static_cast<int>(cy), l);
                        sheet.over(static_cast<int>(cx) + t, static_cast<int>(cy + ch) - 1, l);
                    }
                    for (int t = 1; t < static_cast<int>(ch) - 1; ++t) {
                        sheet.over(static_cast<int>(cx), static_cast<int>(cy) + t, l);
                        sheet.over(static_cast<int>(cx + cw) - 1, static_cast<int>(cy) + t, l);
                    }
                }
            }
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: picgen <res-dir> [<contact-sheet.png>]\n");
        return 2;
    }
    std::string dir = argv[1];
    std::vector<std::pair<const Picture*, Canvas>> drawn;
    int failures = 0;
    for (const Picture& p : pictures()) {
        Canvas c(p.w, p.h);
        p.draw(c);
        if (!writePng(dir + "/" + p.file, c, p.format, p.edge)) {
            std::fprintf(stderr, "picgen: cannot write %s/%s\n", dir.c_str(), p.file.c_str());
            ++failures;
        }
        if (argc == 3) drawn.emplace_back(&p, std::move(c));
    }
    if (argc == 3) {
        if (!writePng(argv[2], contactSheet(drawn), Format::RGB, Edge::Hard)) {
            std::fprintf(stderr, "picgen: cannot write %s\n", argv[2]);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
