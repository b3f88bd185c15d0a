#pragma once

// The clip-and-map step every view-unit line goes through, inline for the
// per-piece loops of curves and patterned lines.

#include <cmath>

#include "display/canvas/clipping.h"
#include "display/canvas/primitives_geometry.h"

namespace veldra {

// Cuts the line (x1, y1)-(x2, y2) to the view's window; false when nothing of it
// lies inside.
inline bool ClipToWindow(const TViewState& view, double& x1, double& y1, double& x2, double& y2) {
    const int32_t side = ClassifySegment(x1, y1, x2, y2, view.viewLeft, view.viewBottom,
                                         view.viewRight, view.viewTop);
    if (side == kSegmentOutside) return false;
    if (side == kSegmentCut && ClipSegment(x1, y1, x2, y2, view.viewLeft, view.viewBottom,
                                           view.viewRight, view.viewTop) == kSegmentOutside) {
        return false;
    }
    return true;
}

// The part of the line (x1, y1)-(x2, y2) inside the view's window, as pixels. False
// when nothing of it is visible or a coordinate is not finite.
inline bool ClipLineToPixels(const TViewState& view, double x1, double y1, double x2, double y2,
                             TPixelPoint& a, TPixelPoint& b) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        return false;
    }
    if (!ClipToWindow(view, x1, y1, x2, y2)) return false;
    a = InlineViewToPixel(view, x1, y1);
    b = InlineViewToPixel(view, x2, y2);
    return true;
}

}  // namespace veldra
