#include "display/canvas/canvas_fill.h"

#include <algorithm>
#include <cmath>

namespace veldra {

void EvenOddSpans(int32_t width, int32_t height, const std::vector<TGuardPoint>& points,
                  std::vector<double>& crossings,
                  const std::function<void(int32_t y, int32_t left, int32_t right)>& span) {
    const size_t n = points.size();
    if (n < 3 || width <= 0 || height <= 0) return;
    double top = points[0].y, bottom = points[0].y;
    for (const TGuardPoint& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // Rows y in [top, bottom).
    const double firstRow = std::max(std::ceil(top), 0.0);
    const double lastRow = std::min(std::ceil(bottom) - 1.0, height - 1.0);
    for (double y = firstRow; y <= lastRow; y += 1.0) {
        crossings.clear();
        for (size_t i = 0; i < n; ++i) {
            const TGuardPoint& a = points[i];
            const TGuardPoint& b = points[(i + 1) % n];
            // Half-open in y, so a vertex on the row counts once.
            if ((a.y <= y) == (b.y <= y)) continue;
            crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            // Pixels x in [left, right).
            const double first = std::max(std::ceil(crossings[k]), 0.0);
            const double end = std::min(std::ceil(crossings[k + 1]), double(width));
            if (first >= end) continue;
            span(static_cast<int32_t>(y), static_cast<int32_t>(first), static_cast<int32_t>(end));
        }
    }
}

void FillPolygonEvenOdd(const TRasterTarget& target, const std::vector<TGuardPoint>& points,
                        uint32_t rgb, std::vector<double>& crossings) {
    if (target.bits == nullptr) return;
    const uint32_t value = 0xFF000000u | (rgb & 0x00FFFFFFu);
    EvenOddSpans(target.width, target.height, points, crossings,
                 [&target, value](int32_t y, int32_t left, int32_t right) {
                     uint32_t* line = target.bits + int64_t{y} * target.stride;
                     std::fill(line + left, line + right, value);
                 });
}

}  // namespace veldra
