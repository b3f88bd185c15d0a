#pragma once

// Points of one ellipse, with the cosine and sine of its tilt taken once instead
// of at every point; the values are those of EllipsePoint.

#include <cmath>

#include "fill/regions.h"

namespace veldra {

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
    TRealPoint At(double t) const {
        const double u = r_ * std::cos(t);
        const double v = r_ * flatness_ * std::sin(t);
        return {cos_ * u - sin_ * v + cx_, sin_ * u + cos_ * v + cy_};
    }

  private:
    double cx_, cy_, r_, flatness_, cos_, sin_;
};

}  // namespace veldra
