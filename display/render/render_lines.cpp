// Drawers of lines, circles, arcs and ellipses.

#include <algorithm>
#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"
#include "display/render/render.h"

namespace veldra {

namespace {

// Width of a line's own width field: hundredths of a millimetre.
constexpr double kLineWidthUnit = 0.01;
// A sweep this close to 0 degrees (after reduction) is a whole ellipse.
constexpr double kWholeSweepDegrees = 1e-8;

// True when an ellipse (centre, first semi-axis r, flatness) lies wholly beyond one
// border of the window. Every piece of it would then be clipped away without
// touching the pattern phase, so skipping it draws exactly the same.
bool CurveBeyondWindow(const TViewState& v, double cx, double cy, double r, double flatness) {
    const double reach = std::fabs(r) * std::max(1.0, std::fabs(flatness)) * (1.0 + 1e-9) + 1e-9;
    if (!std::isfinite(reach) || !std::isfinite(cx) || !std::isfinite(cy)) return false;
    return cx + reach < v.viewLeft || cx - reach > v.viewRight || cy + reach < v.viewBottom ||
           cy - reach > v.viewTop;
}

int32_t ApplyLinePen(TRenderTarget& t, const TJwwEntHead& head) {
    const int32_t key = LayerKeyOf(head);
    t.context.ApplyEntityPen(t.canvas, key, head.color, head.lineType,
                             EntityPenWidth(t.context.Attributes(), head));
    return key;
}

}  // namespace

double EntityPenWidth(const TgraAttribute& attributes, const TJwwEntHead& head) {
    if (head.lineWidth != 0) return head.lineWidth * kLineWidthUnit;
    return attributes.PenWidth(head.color);
}

void DrawLineEntity(TRenderTarget& t, const TJwwEntLine& line) {
    const int32_t key = ApplyLinePen(t, line.head);
    const double d = EntityDivisor(t.state, line.head.layerGroup);
    t.context.DrawPatternLine(key, line.head.lineType, t.canvas, line.x1 / d, line.y1 / d,
                              line.x2 / d, line.y2 / d);
}

void DrawCircleEntity(TRenderTarget& t, const TJwwEntCircle& circle) {
    const int32_t key = ApplyLinePen(t, circle.head);
    const double d = EntityDivisor(t.state, circle.head.layerGroup);
    if (CurveBeyondWindow(t.context.View(), circle.cx / d, circle.cy / d, circle.radius / d, 1.0))
        return;
    t.context.DrawPatternArc(key, circle.head.lineType, t.canvas, circle.cx / d, circle.cy / d,
                             circle.radius / d, 1.0, 0.0, 0.0, kTwoPi);
}

void DrawArcEntity(TRenderTarget& t, const TJwwEntArc& arc) {
    const int32_t key = ApplyLinePen(t, arc.head);
    // Both reductions bound the angle first, so huge stored angles cannot hang.
    const double s = NormalizeDegrees(arc.startAngle);
    const double w = NormalizeDegrees(arc.endAngle - arc.startAngle);
    double start = 0.0, sweep = kTwoPi;
    if (std::fabs(w) > kWholeSweepDegrees) {
        start = s * kPi / 180.0;
        sweep = w * kPi / 180.0;
    }
    const double d = EntityDivisor(t.state, arc.head.layerGroup);
    if (CurveBeyondWindow(t.context.View(), arc.cx / d, arc.cy / d, arc.radius / d, arc.flatness))
        return;
    t.context.DrawPatternArc(key, arc.head.lineType, t.canvas, arc.cx / d, arc.cy / d,
                             arc.radius / d, arc.flatness, arc.tiltAngle * kPi / 180.0, start,
                             sweep);
}

}  // namespace veldra
