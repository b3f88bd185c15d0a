#pragma once

// Even-odd polygon fill of the canvas. A pixel is filled when its centre lies
// inside; pixel (x, y) has its centre at (x, y), as for the thin-line
// rasteriser, so that along a sloped edge the thin outline covers every pixel
// the fill leaves out. Centres on an edge count for left and top edges only, so
// a vertex on integer coordinates leaves out the right and bottom edge, as the
// device context's Polygon does. Qt's rasteriser agrees for the polygon moved by
// half a pixel (its pixel centres), except for centres within its fixed-point
// precision of an edge, where it breaks ties the other way.

#include <cstdint>
#include <functional>
#include <vector>

#include "display/canvas/canvas_guard.h"
#include "display/canvas/canvas_raster.h"

namespace veldra {

// Calls `span(y, left, right)` for each run of pixels [left, right) of row y inside
// the polygon, on a canvas of width x height; runs never overlap. `crossings` is
// scratch space kept by the caller so that no call allocates.
void EvenOddSpans(int32_t width, int32_t height, const std::vector<TGuardPoint>& points,
                  std::vector<double>& crossings,
                  const std::function<void(int32_t y, int32_t left, int32_t right)>& span);

// Writes `rgb` (0x00RRGGBB) into the pixels of EvenOddSpans.
void FillPolygonEvenOdd(const TRasterTarget& target, const std::vector<TGuardPoint>& points,
                        uint32_t rgb, std::vector<double>& crossings);

}  // namespace veldra
