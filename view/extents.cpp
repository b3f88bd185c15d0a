#include "view/extents.h"

#include <algorithm>
#include <cmath>

#include "attributes/picture_text.h"
#include "common/my_func.h"
#include "common/tolerances.h"
#include "exchange/entity_store.h"

namespace veldra {

namespace {

constexpr double kWholeEllipseSweep = 1e-8;
constexpr double kRadToDeg = 180.0 / kPi;

// Every extent, lower and upper, is kept within +-1e8. Bounding only the lower
// extents from below and the upper ones from above would let a drawing lying wholly
// beyond 1e8 end up with its left extent right of its right one.
void BoundExtents(TViewState& view) {
    view.extentLeft = std::clamp(view.extentLeft, -kExtentLimit, kExtentLimit);
    view.extentBottom = std::clamp(view.extentBottom, -kExtentLimit, kExtentLimit);
    view.extentRight = std::clamp(view.extentRight, -kExtentLimit, kExtentLimit);
    view.extentTop = std::clamp(view.extentTop, -kExtentLimit, kExtentLimit);
}

void SetDefaultExtents(TViewState& view) {
    view.extentLeft = -kSingleEntityMargin;
    view.extentBottom = -kSingleEntityMargin;
    view.extentRight = kSingleEntityMargin;
    view.extentTop = kSingleEntityMargin;
}

double Divisor(const TJwwEntityStore& store, const TJwwEntHead& head) {
    return EntityDivisor(store.state, head.layerGroup);
}

// The point where a picture's frame ends, measured as it is drawn: the width and
// height are view units added after the division, so the fitted view frames the
// picture whatever the layer group's scale.
void AddPictureCorner(TViewState& view, const TJwwEntText& text, double divisor) {
    const std::optional<TPictureText> picture = ParsePictureText(text.text);
    if (!picture) return;
    AddExtentPoint(view, text.x / divisor + picture->width, text.y / divisor + picture->height,
                   1.0);
}

void AddArcSolid(TViewState& view, const TJwwEntSolidSc& s, double divisor) {
    double start = s.startRad * kRadToDeg;
    double end = (s.startRad + s.sweepRad) * kRadToDeg;
    if (s.sweepRad < 0) SwapReals(start, end);
    AddArcExtents(view, s.cx, s.cy, s.radius, start, end, s.flatness, s.tiltRad * kRadToDeg,
                  divisor);
}

void AddRingSolid(TViewState& view, const TJwwEntSolidSo& s, double divisor) {
    double start = s.startRad * kRadToDeg;
    double end = (s.startRad + s.sweepRad) * kRadToDeg;
    if (s.sweepRad < 0) SwapReals(start, end);
    AddArcExtents(view, s.cx, s.cy, s.radius, start, end, s.flatness, s.tiltRad * kRadToDeg,
                  divisor);
}

// Seeds the extents with the first point of the first non-empty list; false when
// every measured list is empty.
bool SeedExtents(const TJwwEntityStore& store, TViewState& view) {
    auto seed = [&](const TJwwEntHead& head, double x, double y) {
        StartExtents(view, x, y, Divisor(store, head));
        return true;
    };
    if (!store.lines.empty())
        return seed(store.lines[0].head, store.lines[0].x1, store.lines[0].y1);
    if (!store.circles.empty())
        return seed(store.circles[0].head, store.circles[0].cx, store.circles[0].cy);
    if (!store.arcs.empty()) return seed(store.arcs[0].head, store.arcs[0].cx, store.arcs[0].cy);
    if (!store.points.empty())
        return seed(store.points[0].head, store.points[0].x, store.points[0].y);
    if (!store.pointExs.empty())
        return seed(store.pointExs[0].head, store.pointExs[0].x, store.pointExs[0].y);
    if (!store.texts.empty()) return seed(store.texts[0].head, store.texts[0].x, store.texts[0].y);
    if (!store.dims.empty())
        return seed(store.dims[0].head, store.dims[0].line.x1, store.dims[0].line.y1);
    if (!store.solid2s.empty())
        return seed(store.solid2s[0].head, store.solid2s[0].x1, store.solid2s[0].y1);
    if (!store.solid3s.empty())
        return seed(store.solid3s[0].head, store.solid3s[0].x1, store.solid3s[0].y1);
    if (!store.solid4s.empty())
        return seed(store.solid4s[0].head, store.solid4s[0].x1, store.solid4s[0].y1);
    if (!store.solidScs.empty())
        return seed(store.solidScs[0].head, store.solidScs[0].cx, store.solidScs[0].cy);
    if (!store.solidSes.empty())
        return seed(store.solidSes[0].head, store.solidSes[0].cx, store.solidSes[0].cy);
    if (!store.solidSos.empty())
        return seed(store.solidSos[0].head, store.solidSos[0].cx, store.solidSos[0].cy);
    if (!store.solidSgs.empty())
        return seed(store.solidSgs[0].head, store.solidSgs[0].cx, store.solidSgs[0].cy);
    return false;
}

void GrowExtents(const TJwwEntityStore& store, TViewState& view) {
    for (const TJwwEntLine& e : store.lines) {
        const double d = Divisor(store, e.head);
        AddExtentPoint(view, e.x1, e.y1, d);
        AddExtentPoint(view, e.x2, e.y2, d);
    }
    for (const TJwwEntCircle& e : store.circles) {
        AddArcExtents(view, e.cx, e.cy, e.radius, 0.0, 0.0, 1.0, 0.0, Divisor(store, e.head));
    }
    for (const TJwwEntArc& e : store.arcs) {
        AddArcExtents(view, e.cx, e.cy, e.radius, e.startAngle, e.endAngle, e.flatness, e.tiltAngle,
                      Divisor(store, e.head));
    }
    for (const TJwwEntPoint& e : store.points)
        AddExtentPoint(view, e.x, e.y, Divisor(store, e.head));
    for (const TJwwEntPointEx& e : store.pointExs) {
        AddExtentPoint(view, e.x, e.y, Divisor(store, e.head));
    }
    for (const TJwwEntText& e : store.texts) {
        const double d = Divisor(store, e.head);
        AddExtentPoint(view, e.x, e.y, d);
        AddPictureCorner(view, e, d);
    }
    for (const TJwwEntDim& e : store.dims) {
        const double d = Divisor(store, e.head);
        AddExtentPoint(view, e.line.x1, e.line.y1, d);
        AddExtentPoint(view, e.line.x2, e.line.y2, d);
        AddExtentPoint(view, e.text.x, e.text.y, d);
    }
    for (const TJwwEntSolid2& e : store.solid2s) {
        const double d = Divisor(store, e.head);
        AddExtentPoint(view, e.x1, e.y1, d);
        AddExtentPoint(view, e.x2, e.y2, d);
    }
    for (const TJwwEntSolid3& e : store.solid3s) {
        const double d = Divisor(store, e.head);
        AddExtentPoint(view, e.x1, e.y1, d);
        AddExtentPoint(view, e.x2, e.y2, d);
        AddExtentPoint(view, e.x3, e.y3, d);
    }
    for (const TJwwEntSolid4& e : store.solid4s) {
        const double d = Divisor(store, e.head);
        AddExtentPoint(view, e.x1, e.y1, d);
        AddExtentPoint(view, e.x2, e.y2, d);
        AddExtentPoint(view, e.x3, e.y3, d);
        AddExtentPoint(view, e.x4, e.y4, d);
    }
    for (const TJwwEntSolidSc& e : store.solidScs) AddArcSolid(view, e, Divisor(store, e.head));
    for (const TJwwEntSolidSe& e : store.solidSes) AddArcSolid(view, e, Divisor(store, e.head));
    for (const TJwwEntSolidSo& e : store.solidSos) AddRingSolid(view, e, Divisor(store, e.head));
    for (const TJwwEntSolidSg& e : store.solidSgs) AddRingSolid(view, e, Divisor(store, e.head));
}

}  // namespace

void StartExtents(TViewState& view, double x, double y, double divisor) {
    // An overflowed coordinate (NaN) has no place; it starts at the origin instead.
    const double vx = x / divisor;
    const double vy = y / divisor;
    view.extentLeft = view.extentRight = std::isnan(vx) ? 0.0 : vx;
    view.extentBottom = view.extentTop = std::isnan(vy) ? 0.0 : vy;
    BoundExtents(view);
}

void AddExtentPoint(TViewState& view, double x, double y, double divisor) {
    const double vx = x / divisor;
    const double vy = y / divisor;
    // NaN arises only from overflowed geometry; it would poison every comparison.
    if (std::isnan(vx) || std::isnan(vy)) return;
    view.extentLeft = std::min(view.extentLeft, vx);
    view.extentBottom = std::min(view.extentBottom, vy);
    view.extentRight = std::max(view.extentRight, vx);
    view.extentTop = std::max(view.extentTop, vy);
    BoundExtents(view);
}

void AddArcExtents(TViewState& view, double cx, double cy, double r, double startDeg, double endDeg,
                   double flatness, double tiltDeg, double divisor) {
    const double tilt = tiltDeg * kPi / 180.0;
    auto add = [&](double t) {
        const double u = r * std::cos(t);
        const double v = r * flatness * std::sin(t);
        AddExtentPoint(view, cx + RotatedX(u, v, 0.0, 0.0, tilt),
                       cy + RotatedY(u, v, 0.0, 0.0, tilt), divisor);
    };

    const double d = NormalizeDegrees(endDeg - startDeg);
    if (std::fabs(d) <= kWholeEllipseSweep) {
        add(0.0);
        add(kPi / 2);
        add(kPi);
        add(3 * kPi / 2);
        return;
    }
    add(startDeg * kPi / 180.0);
    add(endDeg * kPi / 180.0);
    const double f = NormalizeDegrees(startDeg);
    if (d >= 360.0 - f) add(0.0);
    if (d >= NormalizeDegrees(90.0 - f)) add(kPi / 2);
    if (d >= NormalizeDegrees(180.0 - f)) add(kPi);
    if (d >= NormalizeDegrees(270.0 - f)) add(3 * kPi / 2);
}

void ComputeExtents(const TJwwEntityStore& store, TViewState& view) {
    const bool seeded = SeedExtents(store, view);
    if (store.EntityCount() == 0 || !seeded) {
        // Nothing measurable: a fixed frame around the origin rather than whatever
        // the last fit left behind.
        SetDefaultExtents(view);
    } else if (store.EntityCount() == 1) {
        view.extentLeft -= kSingleEntityMargin;
        view.extentBottom -= kSingleEntityMargin;
        view.extentRight += kSingleEntityMargin;
        view.extentTop += kSingleEntityMargin;
        BoundExtents(view);
    }
    GrowExtents(store, view);
}

}  // namespace veldra
