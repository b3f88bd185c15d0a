// View primitives for lines, polylines and polygons: clip in view units against
// the visible window, then convert to pixels and draw.

#include <cmath>

#include "common/my_func.h"
#include "display/canvas/canvas_guard.h"
#include "display/canvas/clipping.h"
#include "display/canvas/draw_context.h"
#include "display/canvas/primitives_clip.h"

namespace veldra {

namespace {

// Polygon vertices farther than this from the canvas (pixels) are cut away before
// the polygon is handed to the canvas, so that 32-bit pixels never saturate and
// bend an edge that crosses the canvas.
constexpr double kFarPixels = 4194304.0;
// Margin of that cut around the canvas, wider than the widest pen.
constexpr double kCutMarginPixels = 512.0;

bool Finite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

}  // namespace

int32_t TDrawContext::WindowCode(double x, double y) const {
    return OutCode(x, y, view_.viewLeft, view_.viewBottom, view_.viewRight, view_.viewTop);
}

int32_t TDrawContext::CommonWindowCode() const {
    int32_t all = kOutLeft | kOutRight | kOutBelow | kOutAbove;
    for (const TRealPoint& p : WorldPoints) {
        all &= WindowCode(p.X, p.Y);
        if (all == 0) break;
    }
    return all;
}

void TDrawContext::DrawWorldLine(TCanvas& canvas, double x1, double y1, double x2, double y2) {
    TPixelPoint a, b;
    if (ClipLineToPixels(view_, x1, y1, x2, y2, a, b)) EmitScreenLine(canvas, a, b);
}

void TDrawContext::EmitScreenLine(TCanvas& canvas, TPixelPoint a, TPixelPoint b) {
    if (batching_) {
        lineBatch_.push_back(a);
        lineBatch_.push_back(b);
        return;
    }
    DrawScreenLine(canvas, a.x, a.y, b.x, b.y);
}

void TDrawContext::DrawWorldPolyline(TCanvas& canvas) {
    const size_t count = WorldPoints.size();
    if (count < 2) return;
    if (CommonWindowCode() != 0) return;
    ScreenPoints.clear();
    for (size_t j = 1; j < count; ++j) {
        double x1 = WorldPoints[j - 1].X, y1 = WorldPoints[j - 1].Y;
        double x2 = WorldPoints[j].X, y2 = WorldPoints[j].Y;
        int32_t result = kSegmentOutside;
        if (Finite(x1, y1, x2, y2)) {
            result = ClipSegment(x1, y1, x2, y2, view_.viewLeft, view_.viewBottom, view_.viewRight,
                                 view_.viewTop);
        }
        if (result != kSegmentOutside) {
            if (ScreenPoints.empty()) ScreenPoints.push_back(ToPixel(x1, y1));
            ScreenPoints.push_back(ToPixel(x2, y2));
            // A cut piece is a run of its own; the run that follows starts afresh.
            if (result == kSegmentCut && ScreenPoints.size() >= 2) {
                DrawScreenPolyline(canvas);
                ScreenPoints.clear();
            }
        } else if (ScreenPoints.size() >= 2) {
            DrawScreenPolyline(canvas);
            ScreenPoints.clear();
        } else {
            ScreenPoints.clear();
        }
    }
    if (ScreenPoints.size() >= 2) DrawScreenPolyline(canvas);
    ScreenPoints.clear();
}

void TDrawContext::DrawWorldPolygon(TCanvas& canvas) {
    const size_t count = WorldPoints.size();
    if (count < 3) return;
    for (const TRealPoint& p : WorldPoints) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return;
    }
    if (CommonWindowCode() != 0) return;
    const TRealPoint& p0 = WorldPoints[0];
    const TRealPoint& p1 = WorldPoints[1];
    if (Distance2D(p0.X, p0.Y, p1.X, p1.Y) * view_.viewScale > kMaxFilledEdgePixels) {
        // Huge polygons are not filled: the closed outline is clipped piece by piece.
        WorldPoints.push_back(p0);
        DrawWorldPolyline(canvas);
        WorldPoints.pop_back();
        return;
    }
    ScreenPoints.clear();
    bool far = false;
    for (const TRealPoint& p : WorldPoints) {
        const double px = ViewToScreenX(view_, p.X), py = ViewToScreenY(view_, p.Y);
        if (!(std::fabs(px) < kFarPixels && std::fabs(py) < kFarPixels)) far = true;
    }
    if (far) {
        CutFarPolygon(canvas);
        for (const TRealPoint& p : farClipped_) ScreenPoints.push_back(ToPixel(p.X, p.Y));
    } else {
        for (const TRealPoint& p : WorldPoints) ScreenPoints.push_back(ToPixel(p.X, p.Y));
    }
    if (ScreenPoints.size() >= 3) DrawScreenPolygon(canvas);
    ScreenPoints.clear();
}

void TDrawContext::CutFarPolygon(const TCanvas& canvas) {
    // The box: the canvas (or the view, if larger) plus a margin, in view units.
    const double w = std::max<double>(canvas.Width(), view_.viewWidth) + kCutMarginPixels;
    const double h = std::max<double>(canvas.Height(), view_.viewHeight) + kCutMarginPixels;
    const TGuardBox box{PixelToViewX(view_, -kCutMarginPixels),
                        view_.viewBottom + (view_.viewHeight - h) / view_.viewScale,
                        PixelToViewX(view_, w),
                        view_.viewBottom + (view_.viewHeight + kCutMarginPixels) / view_.viewScale};
    std::vector<TGuardPoint> in;
    in.reserve(WorldPoints.size());
    for (const TRealPoint& p : WorldPoints) in.push_back({p.X, p.Y});
    std::vector<TGuardPoint> out, scratch;
    ClipPolygonToBox(in, out, scratch, box);
    farClipped_.clear();
    for (const TGuardPoint& p : out) farClipped_.push_back({p.x, p.y});
}

}  // namespace veldra
