#include "display/canvas_fill.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace veldra {

void FillPolygonEvenOdd(const TRasterTarget& target, const std::vector<TGuardPoint>& points,
                        uint32_t rgb, std::vector<double>& crossings) {
    const size_t n = points.size();
    if (target.bits == nullptr || n < 3) return;
    double top = points[0].y, bottom = points[0].y;
    for (const TGuardPoint& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // Rows whose centre line y + 0.5 lies in [top, bottom).
    const double firstRow = std::max(std::ceil(top - 0.5), 0.0);
    const double lastRow = std::min(std::ceil(bottom - 0.5) - 1.0, target.height - 1.0);
    const uint32_t value = 0xFF000000u | (rgb & 0x00FFFFFFu);
    for (double row = firstRow; row <= lastRow; row += 1.0) {
        const double y = row + 0.5;
        crossings.clear();
        for (size_t i = 0; i < n; ++i) {
            const TGuardPoint& a = points[i];
            const TGuardPoint& b = points[(i + 1) % n];
            // Half-open in y, so a vertex on the line counts once.
            if ((a.y <= y) == (b.y <= y)) continue;
            crossings.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        uint32_t* line = target.bits + static_cast<int64_t>(row) * target.stride;
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            // Pixels whose centre x + 0.5 lies in [left, right).
            const double first = std::max(std::ceil(crossings[k] - 0.5), 0.0);
            const double last =
                std::min(std::ceil(crossings[k + 1] - 0.5) - 1.0, target.width - 1.0);
            if (first > last) continue;
            std::fill(line + static_cast<int64_t>(first), line + static_cast<int64_t>(last) + 1,
                      value);
        }
    }
}

}  // namespace veldra
