#pragma once

// Keeps far-away pixel coordinates away from the rasteriser: segments and
// polygons are cut to a guard box a little larger than the canvas before they
// are stroked or filled. Inside the box the result is the same as uncut.

#include <vector>

namespace veldra {

struct TGuardPoint {
    double x = 0.0;
    double y = 0.0;
};

struct TGuardBox {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

// Cuts the segment to the box; false when nothing of it lies inside.
bool ClipSegmentToBox(TGuardPoint& a, TGuardPoint& b, const TGuardBox& box);

// Cuts a closed polygon to the box, keeping the even-odd (and winding) coverage
// of every point inside the box. `out` is cleared first; it may come out with
// fewer than 3 points when nothing is left.
void ClipPolygonToBox(const std::vector<TGuardPoint>& in, std::vector<TGuardPoint>& out,
                      std::vector<TGuardPoint>& scratch, const TGuardBox& box);

// True when every coordinate lies inside the box.
bool InsideBox(const std::vector<TGuardPoint>& points, const TGuardBox& box);

}  // namespace veldra
