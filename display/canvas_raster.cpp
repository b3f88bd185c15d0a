#include "display/canvas_raster.h"

#include <algorithm>
#include <cmath>

namespace veldra {

namespace {

__extension__ typedef __int128 Int128;

// floor(a / b) for b > 0.
Int128 FloorDiv(Int128 a, Int128 b) {
    Int128 q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

// Whether pixel number `i` of a line is "on" under the dash pattern.
class TDashWalker {
  public:
    TDashWalker(const TDashCursor* dash, int64_t position) {
        if (dash == nullptr || dash->runs == nullptr || dash->runCount <= 0) return;
        int64_t total = 0;
        for (int32_t k = 0; k < dash->runCount; ++k) total += dash->runs[k];
        if (total <= 0) return;
        runs_ = dash->runs;
        runCount_ = dash->runCount;
        int64_t p = position % total;
        if (p < 0) p += total;
        while (p >= runs_[run_]) {
            p -= runs_[run_];
            run_ = (run_ + 1) % runCount_;
        }
        left_ = runs_[run_] - p;
    }
    bool On() const { return runs_ == nullptr || run_ % 2 == 0; }
    void Step() {
        if (runs_ == nullptr) return;
        if (--left_ > 0) return;
        // Zero-length runs are skipped; the total is positive, so this ends.
        do {
            run_ = (run_ + 1) % runCount_;
        } while (runs_[run_] == 0);
        left_ = runs_[run_];
    }

  private:
    const uint8_t* runs_ = nullptr;
    int32_t runCount_ = 0;
    int32_t run_ = 0;
    int64_t left_ = 0;
};

}  // namespace

void RasterThinLine(const TRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                    uint32_t rgb, bool xorMode, TDashCursor* dash) {
    const int64_t dx = int64_t{x1} - x0;
    const int64_t dy = int64_t{y1} - y0;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t len = xMajor ? std::llabs(dx) : std::llabs(dy);  // pixels, end left out
    const int64_t minorDelta = xMajor ? dy : dx;
    const int64_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int64_t major0 = xMajor ? x0 : y0;
    const int64_t minor0 = xMajor ? y0 : x0;
    const int64_t majorLimit = xMajor ? target.width : target.height;
    const int64_t minorLimit = xMajor ? target.height : target.width;
    const int64_t stepMajor = xMajor ? 1 : target.stride;
    const int64_t stepMinor = xMajor ? target.stride : 1;

    const int64_t startPosition = dash != nullptr ? dash->position : 0;
    if (dash != nullptr) dash->position = startPosition + len;  // whatever is visible
    if (target.bits == nullptr || majorLimit <= 0 || minorLimit <= 0) return;

    // Pixel i (0 <= i < len) lies at major0 + majorStep * i on the major axis and at
    // minor0 + floor(i * minorDelta / len + 1/2) on the minor one. The rounding is
    // taken in absolute terms, so a line and its reverse cover the same pixels.
    int64_t iLo = majorStep > 0 ? -major0 : major0 - (majorLimit - 1);
    int64_t iHi = majorStep > 0 ? majorLimit - 1 - major0 : major0;
    iLo = std::max<int64_t>(iLo, 0);
    iHi = std::min<int64_t>(iHi, len - 1);
    if (minorDelta == 0) {
        if (minor0 < 0 || minor0 >= minorLimit) return;
    } else {
        // Narrow the range to where the minor coordinate is on the target; the
        // estimate is widened and every pixel is still checked below.
        const double slope = static_cast<double>(minorDelta) / static_cast<double>(len);
        double a = (-1.0 - static_cast<double>(minor0)) / slope;
        double b = (static_cast<double>(minorLimit) - static_cast<double>(minor0)) / slope;
        if (a > b) std::swap(a, b);
        if (a > static_cast<double>(iHi) + 2.0 || b < static_cast<double>(iLo) - 2.0) return;
        if (a > static_cast<double>(iLo) + 2.0) iLo = static_cast<int64_t>(std::floor(a)) - 2;
        if (b < static_cast<double>(iHi) - 2.0) iHi = static_cast<int64_t>(std::ceil(b)) + 2;
    }
    if (iLo > iHi) return;

    // Exact start of the error term: num = 2 * i * minorDelta + len, q = floor(num / 2len).
    const int64_t twoLen = 2 * len;
    const Int128 num = Int128{2} * iLo * minorDelta + len;
    const Int128 q128 = FloorDiv(num, twoLen);
    int64_t minor = minor0 + static_cast<int64_t>(q128);
    int64_t rest = static_cast<int64_t>(num - q128 * twoLen);  // in [0, twoLen)
    int64_t major = major0 + majorStep * iLo;
    const int64_t twoDelta = 2 * minorDelta;

    TDashWalker walker(dash, startPosition + iLo);

    const uint32_t value = rgb & 0x00FFFFFFu;
    for (int64_t i = iLo; i <= iHi; ++i) {
        if (minor >= 0 && minor < minorLimit && walker.On()) {
            uint32_t* p = target.bits + major * stepMajor + minor * stepMinor;
            *p = xorMode ? (*p ^ value) : (0xFF000000u | value);
        }
        walker.Step();
        major += majorStep;
        rest += twoDelta;
        if (rest >= twoLen) {
            rest -= twoLen;
            ++minor;
        } else if (rest < 0) {
            rest += twoLen;
            --minor;
        }
    }
}

}  // namespace veldra
