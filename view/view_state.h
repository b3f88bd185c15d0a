#pragma once

// The view: which window of the drawing the canvas shows and at what scale, the
// drawing extents and the one-step view history. View units are paper
// millimetres (stored values divided by the entity's divisor), y up; canvas
// pixels have y down.

#include <cstdint>

namespace veldra {

struct TViewState {
    // Window of the drawing shown on the canvas, in view units.
    double viewLeft = -100.0, viewBottom = -100.0, viewRight = 100.0, viewTop = 100.0;
    // Pixels per view unit.
    double viewScale = 1.0;
    // Canvas size in pixels.
    int32_t viewWidth = 200, viewHeight = 200;
    // Extents of the drawing in view units (written when the view is fitted).
    double extentLeft = -100.0, extentBottom = -100.0, extentRight = 100.0, extentTop = 100.0;
    // The view before the last change; a scale of 0 means there is none yet.
    double previousLeft = 0.0, previousBottom = 0.0, previousRight = 0.0, previousTop = 0.0;
    double previousScale = 0.0;
};

// A canvas pixel (32-bit; far-away points saturate instead of wrapping).
struct TPixelPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// View point to pixel: px = RoundHalfAway((x - viewLeft) * viewScale),
// py = viewHeight - RoundHalfAway((y - viewBottom) * viewScale).
int32_t ViewToPixelX(const TViewState& view, double x);
int32_t ViewToPixelY(const TViewState& view, double y);
TPixelPoint ViewToPixel(const TViewState& view, double x, double y);

// The same mapping without rounding (texture fill).
double ViewToScreenX(const TViewState& view, double x);
double ViewToScreenY(const TViewState& view, double y);

// Paint-box pixel back to view units, as the mouse handling does:
// x = viewLeft + px / viewScale, y = viewTop - py / viewScale.
double PixelToViewX(const TViewState& view, double px);
double PixelToViewY(const TViewState& view, double py);

// A length in view units to pixels.
inline double ViewLengthToPixels(const TViewState& view, double length) {
    return length * view.viewScale;
}

}  // namespace veldra
