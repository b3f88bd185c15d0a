#include "view/view_state.h"

#include <algorithm>
#include <limits>

#include "common/my_func.h"

namespace veldra {

namespace {

// Points far outside the canvas saturate at the 32-bit range rather than wrap
// around onto the canvas.
int32_t ClampToPixel(int64_t v) {
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(v, kMin, kMax));
}

}  // namespace

int32_t ViewToPixelX(const TViewState& view, double x) {
    return ClampToPixel(RoundHalfAway((x - view.viewLeft) * view.viewScale));
}

int32_t ViewToPixelY(const TViewState& view, double y) {
    const int64_t up = RoundHalfAway((y - view.viewBottom) * view.viewScale);
    // RoundHalfAway saturates at +-9e18, so the subtraction cannot overflow.
    return ClampToPixel(static_cast<int64_t>(view.viewHeight) - up);
}

TPixelPoint ViewToPixel(const TViewState& view, double x, double y) {
    return {ViewToPixelX(view, x), ViewToPixelY(view, y)};
}

double ViewToScreenX(const TViewState& view, double x) {
    return (x - view.viewLeft) * view.viewScale;
}

double ViewToScreenY(const TViewState& view, double y) {
    return view.viewHeight - (y - view.viewBottom) * view.viewScale;
}

double PixelToViewX(const TViewState& view, double px) {
    return view.viewLeft + px / view.viewScale;
}

double PixelToViewY(const TViewState& view, double py) {
    return view.viewTop - py / view.viewScale;
}

}  // namespace veldra
