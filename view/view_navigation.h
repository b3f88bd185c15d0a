#pragma once

// View changes as pure arithmetic on the view state: fitting the drawing, zooming,
// centring, panning and the one-step view history. Drawing is the caller's job
// (the window redraws after each change, the command line renders once).
// Every change except SwapPreviousView first saves the current view as the
// previous one.

#include <cstdint>

#include "view/view_state.h"

namespace veldra {

struct TJwwEntityStore;

// Share of the canvas the fitted drawing takes.
inline constexpr double kFitMargin = 0.95;
// Factor of one wheel step or Page Up / Page Down.
inline constexpr double kZoomStep = 1.5;
// Extents smaller than this are widened before dividing.
inline constexpr double kMinFitSize = 1e-10;
// Zoom rectangles smaller than this are widened before dividing.
inline constexpr double kMinZoomRectSize = 0.001;

// Copies the current window and scale into the previous view.
void SavePreviousView(TViewState& view);

// Exchanges the current window and scale with the previous ones (a second call
// returns). Does nothing while there is no previous view (previousScale not > 0).
void SwapPreviousView(TViewState& view);

// Fits the extents already in `view` into a canvas of width x height pixels at 95 %.
void FitViewToExtents(TViewState& view, int32_t width, int32_t height);

// Computes the extents of the store, then FitViewToExtents.
void FitView(TViewState& view, const TJwwEntityStore& store, int32_t width, int32_t height);

// Scale times `factor`; the view point under the canvas pixel (px, py) stays put.
// A factor that is not finite and positive, or a result that is not finite, changes
// nothing.
void ZoomAt(TViewState& view, double px, double py, double factor);

// The view rectangle (x1, y1)-(x2, y2) fills the canvas.
void ZoomToRect(TViewState& view, double x1, double y1, double x2, double y2, int32_t width,
                int32_t height);

// Half the current scale, centred on the rectangle's centre.
void ZoomOutAt(TViewState& view, double x1, double y1, double x2, double y2, int32_t width,
               int32_t height);

// Same scale, the view point (x, y) at the centre of the canvas.
void CentreViewAt(TViewState& view, double x, double y, int32_t width, int32_t height);

// Moves the window by (dx, dy) view units.
void PanView(TViewState& view, double dx, double dy);

// Same scale, the window centred on the centre of the last computed extents.
void CentreOnExtents(TViewState& view);

}  // namespace veldra
