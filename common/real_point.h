#pragma once

// Points and closed polygons in paper units: the plain values the regions, the
// drawing and the fill pass between them.

#include <vector>

namespace veldra {

struct TRealPoint {
    double X = 0.0;
    double Y = 0.0;
};

// One closed polygon: its last point repeats its first (within 1e-8 per axis) and it
// holds at least 4 points.
using TAryRealPoint = std::vector<TRealPoint>;
// A set of polygons.
using TAr2RealPoint = std::vector<TAryRealPoint>;

}  // namespace veldra
