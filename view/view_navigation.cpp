#include "view/view_navigation.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "view/extents.h"

namespace veldra {

namespace {

// A canvas of no pixels (a minimised window) is measured as one pixel so that the
// scale never becomes 0 and nothing divides by it.
double UsableSize(int32_t pixels) {
    return std::max<double>(pixels, 1.0);
}

// Larger scale wins only when it fits both ways: the smaller of the two.
double FittingScale(double sx, double sy) {
    return sx >= sy ? sy : sx;
}

bool IsUsableScale(double scale) {
    return std::isfinite(scale) && scale > 0.0;
}

bool IsUsableWindow(double left, double bottom, double right, double top) {
    return std::isfinite(left) && std::isfinite(bottom) && std::isfinite(right) &&
           std::isfinite(top) && right > left && top > bottom;
}

// The window of `scale` around (cx, cy) on the canvas of the view.
void SetWindowAround(TViewState& view, double cx, double cy) {
    const double halfWidth = view.viewWidth / 2.0 / view.viewScale;
    const double halfHeight = view.viewHeight / 2.0 / view.viewScale;
    view.viewLeft = cx - halfWidth;
    view.viewRight = cx + halfWidth;
    view.viewBottom = cy - halfHeight;
    view.viewTop = cy + halfHeight;
}

void ShiftWindow(TViewState& view, double dx, double dy) {
    view.viewLeft += dx;
    view.viewRight += dx;
    view.viewBottom += dy;
    view.viewTop += dy;
}

// Shared by ZoomToRect and ZoomOutAt once the two scales are known.
void ZoomAround(TViewState& view, double cx, double cy, double sx, double sy, int32_t width,
                int32_t height) {
    const double scale = FittingScale(sx, sy);
    if (!IsUsableScale(scale) || !std::isfinite(cx) || !std::isfinite(cy)) return;
    SavePreviousView(view);
    view.viewWidth = width;
    view.viewHeight = height;
    view.viewScale = scale;
    SetWindowAround(view, cx, cy);
}

}  // namespace

void SavePreviousView(TViewState& view) {
    view.previousLeft = view.viewLeft;
    view.previousBottom = view.viewBottom;
    view.previousRight = view.viewRight;
    view.previousTop = view.viewTop;
    view.previousScale = view.viewScale;
}

void SwapPreviousView(TViewState& view) {
    // Before the first change there is no previous view to go back to; a zero
    // scale would make every later conversion divide by zero.
    if (!IsUsableScale(view.previousScale)) return;
    std::swap(view.viewLeft, view.previousLeft);
    std::swap(view.viewBottom, view.previousBottom);
    std::swap(view.viewRight, view.previousRight);
    std::swap(view.viewTop, view.previousTop);
    std::swap(view.viewScale, view.previousScale);
}

void FitViewToExtents(TViewState& view, int32_t width, int32_t height) {
    SavePreviousView(view);
    view.viewWidth = width;
    view.viewHeight = height;
    const double ex = std::max(std::fabs(view.extentRight - view.extentLeft), kMinFitSize);
    const double ey = std::max(std::fabs(view.extentTop - view.extentBottom), kMinFitSize);
    const double sx = UsableSize(width) / ex * kFitMargin;
    const double sy = UsableSize(height) / ey * kFitMargin;
    view.viewScale = FittingScale(sx, sy);
    SetWindowAround(view, (view.extentRight + view.extentLeft) / 2,
                    (view.extentTop + view.extentBottom) / 2);
}

void FitView(TViewState& view, const TJwwEntityStore& store, int32_t width, int32_t height) {
    ComputeExtents(store, view);
    FitViewToExtents(view, width, height);
}

void ZoomAt(TViewState& view, double px, double py, double factor) {
    if (!IsUsableScale(factor)) return;
    const double wx = view.viewLeft + px / view.viewScale;
    const double wy = view.viewTop - py / view.viewScale;
    const double cx = (view.viewLeft + view.viewRight) / 2;
    const double cy = (view.viewBottom + view.viewTop) / 2;
    const double hw = (view.viewRight - view.viewLeft) / 2 / factor;
    const double hh = (view.viewTop - view.viewBottom) / 2 / factor;
    const double dx = wx - cx;
    const double dy = wy - cy;
    const double scale = view.viewScale * factor;
    const double left = cx - hw - dx / factor + dx;
    const double right = cx + hw - dx / factor + dx;
    const double bottom = cy - hh - dy / factor + dy;
    const double top = cy + hh - dy / factor + dy;
    // Zooming beyond what doubles resolve would collapse the window for good.
    if (!IsUsableScale(scale) || !IsUsableWindow(left, bottom, right, top)) return;
    SavePreviousView(view);
    view.viewScale = scale;
    view.viewLeft = left;
    view.viewRight = right;
    view.viewBottom = bottom;
    view.viewTop = top;
}

void ZoomToRect(TViewState& view, double x1, double y1, double x2, double y2, int32_t width,
                int32_t height) {
    const double w = std::max(std::fabs(x2 - x1), kMinZoomRectSize);
    const double h = std::max(std::fabs(y2 - y1), kMinZoomRectSize);
    ZoomAround(view, (x1 + x2) / 2, (y1 + y2) / 2, UsableSize(width) / w, UsableSize(height) / h,
               width, height);
}

void ZoomOutAt(TViewState& view, double x1, double y1, double x2, double y2, int32_t width,
               int32_t height) {
    const double w = std::max(view.viewRight - view.viewLeft, kMinFitSize);
    const double h = std::max(view.viewTop - view.viewBottom, kMinFitSize);
    ZoomAround(view, (x1 + x2) / 2, (y1 + y2) / 2, UsableSize(width) / (2 * w),
               UsableSize(height) / (2 * h), width, height);
}

void CentreViewAt(TViewState& view, double x, double y, int32_t width, int32_t height) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    SavePreviousView(view);
    view.viewWidth = width;
    view.viewHeight = height;
    ShiftWindow(view, x - (view.viewLeft + view.viewRight) / 2,
                y - (view.viewBottom + view.viewTop) / 2);
}

void PanView(TViewState& view, double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    SavePreviousView(view);
    ShiftWindow(view, dx, dy);
}

void CentreOnExtents(TViewState& view) {
    SavePreviousView(view);
    ShiftWindow(view,
                (view.extentLeft + view.extentRight) / 2 - (view.viewLeft + view.viewRight) / 2,
                (view.extentBottom + view.extentTop) / 2 - (view.viewBottom + view.viewTop) / 2);
}

}  // namespace veldra
