#pragma once

// Wide-pen rasteriser of the canvas for the copy mix mode: a wide line with round
// caps covers the pixels whose centres lie within half the pen width of the
// segment. Joined segments overlap at their joins, which gives round joins; in
// copy mode painting a pixel twice does no harm. Cost is one span per covered row.

#include "display/canvas/canvas_raster.h"

namespace veldra {

// Pixel centres lie on integer coordinates. A segment of no length is a round dot.
void RasterWideLine(const TRasterTarget& target, double x0, double y0, double x1, double y1,
                    double width, uint32_t rgb);

}  // namespace veldra
