#include "display/canvas/canvas_raster.h"

#include <algorithm>
#include <cmath>

namespace veldra {

namespace {

__extension__ using Int128 = __int128;

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
    bool Solid() const { return runs_ == nullptr; }
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

// Where a line's walk over its pixels starts and how it steps.
struct TLineWalk {
    int64_t minor = 0, rest = 0, twoLen = 0, twoDelta = 0, minorLimit = 0;
    int64_t major = 0, majorStep = 0, count = 0;
    int64_t stepMajor = 0, stepMinor = 0;  // pointer steps
};

// Visits the pixels of the walk that lie on the target. The major coordinate is
// on the target throughout; the minor one is monotone, so once it has entered
// the target and left again the rest is off the target too.
template <class Plot>
void Walk(const TRasterTarget& target, int64_t majorStride, TLineWalk w, Plot plot,
          TDashWalker* dash) {
    int64_t n = w.count;
    auto step = [&w]() {
        w.rest += w.twoDelta;
        if (w.rest >= w.twoLen) {
            w.rest -= w.twoLen;
            ++w.minor;
            return 1;
        }
        if (w.rest < 0) {
            w.rest += w.twoLen;
            --w.minor;
            return -1;
        }
        return 0;
    };
    // Skip the few pixels before the minor coordinate enters the target.
    while (n > 0 && (w.minor < 0 || w.minor >= w.minorLimit)) {
        if (dash != nullptr) dash->Step();
        w.major += w.majorStep;
        step();
        --n;
    }
    if (n <= 0) return;
    uint32_t* p = target.bits + w.major * majorStride + w.minor * w.stepMinor;
    for (; n > 0; --n) {
        if (dash == nullptr || dash->On()) plot(*p);
        if (dash != nullptr) dash->Step();
        if (n == 1) return;
        p += w.stepMajor;
        const int moved = step();
        if (moved != 0) {
            if (w.minor < 0 || w.minor >= w.minorLimit) return;
            p += moved * w.stepMinor;
        }
    }
}

}  // namespace

void RasterThinLine(const TRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                    uint32_t rgb, bool xorMode, TDashCursor* dash) {
    const int64_t dx = int64_t{x1} - x0;
    const int64_t dy = int64_t{y1} - y0;
    if (dx == 0 && dy == 0) return;
    if ((dash == nullptr || dash->runs == nullptr) && PixelOnTarget(target, x0, y0) &&
        PixelOnTarget(target, x1, y1)) {
        const int64_t len = std::max(std::llabs(dx), std::llabs(dy));
        if (dash != nullptr) dash->position += len;
        RasterSolidInside(target, x0, y0, x1, y1, rgb, xorMode);
        return;
    }
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
    TLineWalk walk;
    if (iLo < (int64_t{1} << 30) && std::llabs(minorDelta) < (int64_t{1} << 31)) {
        const int64_t num = 2 * iLo * minorDelta + len;
        int64_t q = num / twoLen;
        if (num % twoLen != 0 && num < 0) --q;
        walk.minor = minor0 + q;
        walk.rest = num - q * twoLen;
    } else {
        const Int128 num = Int128{2} * iLo * minorDelta + len;
        const Int128 q = FloorDiv(num, twoLen);
        walk.minor = minor0 + static_cast<int64_t>(q);
        walk.rest = static_cast<int64_t>(num - q * twoLen);
    }
    walk.twoLen = twoLen;
    walk.twoDelta = 2 * minorDelta;
    walk.minorLimit = minorLimit;
    walk.major = major0 + majorStep * iLo;
    walk.majorStep = majorStep;
    walk.count = iHi - iLo + 1;
    walk.stepMajor = stepMajor * majorStep;
    walk.stepMinor = stepMinor;

    const uint32_t value = rgb & 0x00FFFFFFu;
    TDashWalker walker(dash, startPosition + iLo);
    if (walker.Solid()) {
        if (xorMode) {
            Walk(
                target, stepMajor, walk, [&](uint32_t& px) { px ^= value; }, nullptr);
        } else {
            Walk(
                target, stepMajor, walk, [&](uint32_t& px) { px = 0xFF000000u | value; }, nullptr);
        }
    } else if (xorMode) {
        Walk(
            target, stepMajor, walk, [&](uint32_t& px) { px ^= value; }, &walker);
    } else {
        Walk(
            target, stepMajor, walk, [&](uint32_t& px) { px = 0xFF000000u | value; }, &walker);
    }
}

}  // namespace veldra
