#pragma once

// The view the print tests start from.

#include "view/view_state.h"

namespace veldra::test {

// A view of width x height pixels at `scale` pixels per paper unit, its lower left
// corner at (left, bottom).
inline TViewState ViewOf(double left, double bottom, double scale, int width, int height) {
    TViewState v;
    v.viewLeft = left;
    v.viewBottom = bottom;
    v.viewScale = scale;
    v.viewWidth = width;
    v.viewHeight = height;
    v.viewRight = left + width / scale;
    v.viewTop = bottom + height / scale;
    return v;
}

}  // namespace veldra::test
