#include <cmath>

#include "art.h"

namespace pic {

Paint vgrad(float y0, float y1, Col top, Col bottom) {
    return [=](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); };
}

Paint hgrad(float x0, float x1, Col left, Col right) {
    return [=](float x, float) { return mix(left, right, clamp01((x - x0) / (x1 - x0))); };
}

}  // namespace pic
