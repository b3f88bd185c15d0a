#pragma once

// Line clipping against the visible window in view units (y up). A point on the
// border, or within 1e-12 of it, counts as outside.

#include <cstdint>

#include "common/tolerances.h"

namespace veldra {

// Outcode bits.
inline constexpr int32_t kOutLeft = 1;
inline constexpr int32_t kOutRight = 2;
inline constexpr int32_t kOutBelow = 4;
inline constexpr int32_t kOutAbove = 8;

// Results of ClassifySegment and ClipSegment.
inline constexpr int32_t kSegmentInside = 0;   // both ends inside, unchanged
inline constexpr int32_t kSegmentCut = 1;      // crosses a border (ends moved by ClipSegment)
inline constexpr int32_t kSegmentOutside = 2;  // nothing to draw

// Sum of the bits of the borders the point lies on or beyond. (Inline: every
// piece of every curve passes here.)
inline int32_t OutCode(double x, double y, double xmin, double ymin, double xmax, double ymax) {
    return (x - xmin < kTiny ? kOutLeft : 0) + (x - xmax > -kTiny ? kOutRight : 0) +
           (y - ymin < kTiny ? kOutBelow : 0) + (y - ymax > -kTiny ? kOutAbove : 0);
}

// 0 both ends inside, 2 both ends beyond the same border, 1 otherwise.
inline int32_t ClassifySegment(double x1, double y1, double x2, double y2, double xmin, double ymin,
                               double xmax, double ymax) {
    const int32_t c1 = OutCode(x1, y1, xmin, ymin, xmax, ymax);
    const int32_t c2 = OutCode(x2, y2, xmin, ymin, xmax, ymax);
    if (c1 == 0 && c2 == 0) return kSegmentInside;
    if ((c1 & c2) != 0) return kSegmentOutside;
    return kSegmentCut;
}

// Classifies like ClassifySegment and, for 1, moves each end onto the borders it
// lies beyond, in one pass (left, right, below, above), along the line of the
// unmoved segment. A piece that passes outside a corner may stay partly outside;
// the canvas cuts it. A piece shrunk below 1e-12 in both axes gives 2.
int32_t ClipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin,
                    double xmax, double ymax);

}  // namespace veldra
