#pragma once

// Even-odd polygon fill of the canvas for a solid brush in copy mode. A pixel is
// filled when its centre lies inside; pixel (x, y) has its centre at
// (x + 0.5, y + 0.5), so a vertex on integer coordinates leaves out the right and
// bottom edge, as the device context's Polygon does. Qt's rasteriser (used for
// hatched fills) agrees except for centres within its fixed-point precision of
// an edge.

#include <vector>

#include "display/canvas_guard.h"
#include "display/canvas_raster.h"

namespace veldra {

// `crossings` is scratch space kept by the caller so that no call allocates.
void FillPolygonEvenOdd(const TRasterTarget& target, const std::vector<TGuardPoint>& points,
                        uint32_t rgb, std::vector<double>& crossings);

}  // namespace veldra
