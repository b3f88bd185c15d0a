#pragma once

// Points of one ellipse, with the cosine and sine of its tilt taken once instead
// of at every point; the values are those of EllipsePoint.

#include <cmath>
#include <cstdint>

#include "common/real_point.h"
#include "view/view_state.h"

namespace veldra {

// The view-to-pixel mapping of ViewToPixel, inline for the hot paths: rounding
// half away from zero (saturating, NaN to 0), then saturation to 32 bits.
inline int64_t InlineRoundHalfAway(double x) {
    constexpr double kLimit = 9.0e18;
    if (!(x == x)) return 0;
    if (x >= kLimit) return static_cast<int64_t>(kLimit);
    if (x <= -kLimit) return -static_cast<int64_t>(kLimit);
    // The host's rule, as in RoundHalfAway: the truncation of x + 0.5 (x - 0.5).
    return x >= 0 ? static_cast<int64_t>(x + 0.5)   // NOLINT(bugprone-incorrect-roundings)
                  : static_cast<int64_t>(x - 0.5);  // NOLINT(bugprone-incorrect-roundings)
}

inline int32_t SaturatePixel(int64_t v) {
    constexpr int64_t kMin = INT32_MIN, kMax = INT32_MAX;
    return static_cast<int32_t>(v < kMin ? kMin : v > kMax ? kMax : v);
}

inline TPixelPoint InlineViewToPixel(const TViewState& view, double x, double y) {
    return {SaturatePixel(InlineRoundHalfAway((x - view.viewLeft) * view.viewScale)),
            SaturatePixel(int64_t{view.viewHeight} -
                          InlineRoundHalfAway((y - view.viewBottom) * view.viewScale))};
}

class TEllipseWalker {
  public:
    TEllipseWalker(double cx, double cy, double r, double flatness, double tilt)
        : cx_(cx),
          cy_(cy),
          r_(r),
          flatness_(flatness),
          cos_(std::cos(tilt)),
          sin_(std::sin(tilt)) {}

    // The point of parameter t: the axes (r, r * flatness) turned by the tilt.
    TRealPoint At(double t) const { return FromCosSin(std::cos(t), std::sin(t)); }
    // The same from cos t and sin t.
    TRealPoint FromCosSin(double cosT, double sinT) const {
        const double u = r_ * cosT;
        const double v = r_ * flatness_ * sinT;
        return {cos_ * u - sin_ * v + cx_, sin_ * u + cos_ * v + cy_};
    }

  private:
    double cx_, cy_, r_, flatness_, cos_, sin_;
};

}  // namespace veldra
