#include "display/pictures/picture_frame.h"

#include <algorithm>
#include <cmath>

namespace veldra {

namespace {
constexpr double kTrimZero = 1e-10;
constexpr double kRoundLimit = 1e18;  // sums of two stay within 64 bits
}  // namespace

int64_t RoundHalfEven(double v) {
    if (std::isnan(v)) return 0;
    v = std::clamp(v, -kRoundLimit, kRoundLimit);
    double whole = std::floor(v);
    const double fraction = v - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<int64_t>(whole);
}

TPictureFrame PlacePictureFrame(double x1, double y1, double x2, double y2, double aspect) {
    TPictureFrame f;
    f.left = std::min(x1, x2);
    f.right = std::max(x1, x2);
    const double height = std::fabs(x2 - x1) / aspect;
    if (y2 > y1) {
        f.bottom = y1;
        f.top = y1 + height;
    } else {
        f.bottom = y1 - height;
        f.top = y1;
    }
    return f;
}

TTrim NormalizeTrim(double trimX, double trimY, double trimSize) {
    TTrim t{trimX, trimY, trimSize};
    if (!(t.size > kTrimZero)) t.size = 1.0;  // also a NaN size
    if (!(t.x > kTrimZero)) t.x = 0.0;
    if (!(t.y > kTrimZero)) t.y = 0.0;
    return t;
}

TSourceRect TrimSourceRect(int32_t width, int32_t height, const TTrim& trim) {
    const int64_t cw = RoundHalfEven(width * trim.size);
    const int64_t ch = RoundHalfEven(height * trim.size);
    const int64_t ox = RoundHalfEven(width * trim.x);
    const int64_t oy = RoundHalfEven(height * trim.y);
    TSourceRect r;
    r.left = ox;
    r.right = ox + cw;
    if (trim.size > 1.0) {
        r.top = 0;
        r.bottom = ch;
    } else {
        r.top = height - oy - ch;
        r.bottom = height - oy;
    }
    return r;
}

}  // namespace veldra
