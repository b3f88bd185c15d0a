#include "display/canvas/canvas_wide.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veldra {

namespace {

// Pixel centres are sampled a little off the exact centre, so that ties fall on
// one side: an even width covers exactly that many rows, and the caps of an odd
// width reach equally far beyond both ends.
constexpr double kBias = 1.0 / 64.0;

struct TSpan {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void Add(double a, double b) {
        if (a > b) std::swap(a, b);
        lo = std::min(lo, a);
        hi = std::max(hi, b);
    }
};

// X range of the row Y inside the disc of radius r around (cx, cy).
void AddDisc(TSpan& span, double Y, double cx, double cy, double r) {
    const double dy = Y - cy;
    const double h2 = r * r - dy * dy;
    if (h2 < 0.0) return;
    const double h = std::sqrt(h2);
    span.Add(cx - h, cx + h);
}

// X range of the row Y inside the band along the segment: 0 <= t <= len along
// the unit direction (ux, uy) from (ax, ay), and |s| <= r across it.
void AddBand(TSpan& span, double Y, double ax, double ay, double ux, double uy, double len,
             double r) {
    const double dy = Y - ay;
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    if (ux != 0.0) {
        double a = -dy * uy / ux, b = (len - dy * uy) / ux;
        if (a > b) std::swap(a, b);
        lo = std::max(lo, a);
        hi = std::min(hi, b);
    } else if (dy * uy < 0.0 || dy * uy > len) {
        return;
    }
    if (uy != 0.0) {
        double a = (dy * ux - r) / uy, b = (dy * ux + r) / uy;
        if (a > b) std::swap(a, b);
        lo = std::max(lo, a);
        hi = std::min(hi, b);
    } else if (std::fabs(dy * ux) > r) {
        return;
    }
    if (lo <= hi) span.Add(ax + lo, ax + hi);
}

}  // namespace

void RasterWideLine(const TRasterTarget& target, double x0, double y0, double x1, double y1,
                    double width, uint32_t rgb) {
    if (target.bits == nullptr || !(width > 0.0)) return;
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) {
        return;
    }
    const double r = width / 2.0;
    const double dx = x1 - x0, dy = y1 - y0;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double ux = len > 0.0 ? dx / len : 0.0, uy = len > 0.0 ? dy / len : 0.0;
    const double top = std::max(std::floor(std::min(y0, y1) - r), 0.0);
    const double bottom = std::min(std::ceil(std::max(y0, y1) + r), target.height - 1.0);
    const uint32_t value = 0xFF000000u | (rgb & 0x00FFFFFFu);
    for (double row = top; row <= bottom; row += 1.0) {
        const double Y = row + kBias;
        TSpan span;
        AddDisc(span, Y, x0, y0, r);
        AddDisc(span, Y, x1, y1, r);
        if (len > 0.0) AddBand(span, Y, x0, y0, ux, uy, len, r);
        if (!(span.lo <= span.hi)) continue;
        const double first = std::max(std::ceil(span.lo - kBias), 0.0);
        const double last = std::min(std::floor(span.hi - kBias), target.width - 1.0);
        if (first > last) continue;
        uint32_t* line = target.bits + static_cast<int64_t>(row) * target.stride;
        std::fill(line + static_cast<int64_t>(first), line + static_cast<int64_t>(last) + 1, value);
    }
}

}  // namespace veldra
