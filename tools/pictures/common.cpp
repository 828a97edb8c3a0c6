#include <cmath>

#include "art.h"

namespace pic {

Paint vgrad(float y0, float y1, Col top, Col bottom) {
    return [=](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); };
}

Paint hgrad(float x0, float x1, Col left, Col right) {
    return [=](float x, float) { return mix(left, right, clamp01((x - x0) / (x1 - x0))); };
}

Col dither(const std::vector<Col>& ramp, float v, int x, int y) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    float f = clamp01(v) * static_cast<float>(ramp.size() - 1);
    int i = static_cast<int>(f);
    float threshold = (bayer[y & 3][x & 3] + 0.5f) / 16;
    if (f - static_cast<float>(i) > threshold && i + 1 < static_cast<int>(ramp.size())) ++i;
    return ramp[static_cast<size_t>(i)];
}

}  // namespace pic
