#include <cmath>
#include <string>

#include "art.h"

namespace pic {

Paint vgrad(float y0, float y1, Col top, Col bottom) {
    return [=](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); };
}

Paint hgrad(float x0, float x1, Col left, Col right) {
    return [=](float x, float) { return mix(left, right, clamp01((x - x0) / (x1 - x0))); };
}

void drawNumberedCells(Canvas& c, int cw, int ch, int cells) {
    int cols = c.w / cw;
    for (int i = 0; i < cells; ++i) {
        int x = (i % cols) * cw, y = (i / cols) * ch;
        Col col = rgb(80 + (i * 53) % 170, 80 + (i * 97) % 170, 80 + (i * 31) % 170);
        c.roundRect(x + 1, y + 1, cw - 2, ch - 2, std::min(cw, ch) / 4.0f, col);
        std::string n = std::to_string(i);
        if (Canvas::textWidth(n, 1) < cw - 2 && ch >= 9) c.text(n, x + 2, y + 2, 1, pal::ink());
    }
}

}  // namespace pic
