#include "display/canvas/clipping.h"

#include <cmath>

#include "common/tolerances.h"

namespace veldra {

namespace {

// Moves one end onto the borders it lies beyond, each test on the code of the end
// as moved so far; the line stays the one through (x0, y0) with slope dy / dx.
void MoveEnd(double& x, double& y, double x0, double y0, double dx, double dy, double xmin,
             double ymin, double xmax, double ymax) {
    if ((OutCode(x, y, xmin, ymin, xmax, ymax) & kOutLeft) != 0 && std::fabs(dx) > kTiny) {
        x = xmin;
        y = y0 + (xmin - x0) * dy / dx;
    }
    if ((OutCode(x, y, xmin, ymin, xmax, ymax) & kOutRight) != 0 && std::fabs(dx) > kTiny) {
        x = xmax;
        y = y0 + (xmax - x0) * dy / dx;
    }
    if ((OutCode(x, y, xmin, ymin, xmax, ymax) & kOutBelow) != 0 && std::fabs(dy) > kTiny) {
        y = ymin;
        x = x0 + (ymin - y0) * dx / dy;
    }
    if ((OutCode(x, y, xmin, ymin, xmax, ymax) & kOutAbove) != 0 && std::fabs(dy) > kTiny) {
        y = ymax;
        x = x0 + (ymax - y0) * dx / dy;
    }
}

}  // namespace

int32_t ClipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin,
                    double xmax, double ymax) {
    const int32_t result = ClassifySegment(x1, y1, x2, y2, xmin, ymin, xmax, ymax);
    if (result != kSegmentCut) return result;
    const double x0 = x1, y0 = y1;
    const double dx = x2 - x1, dy = y2 - y1;
    MoveEnd(x1, y1, x0, y0, dx, dy, xmin, ymin, xmax, ymax);
    MoveEnd(x2, y2, x0, y0, dx, dy, xmin, ymin, xmax, ymax);
    if (std::fabs(x2 - x1) < kTiny && std::fabs(y2 - y1) < kTiny) return kSegmentOutside;
    return kSegmentCut;
}

}  // namespace veldra
