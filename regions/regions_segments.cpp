#include "regions/regions_segments.h"

#include <algorithm>
#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"

namespace veldra {

namespace {

// The auxiliary colour number and line type number (construction lines).
constexpr int32_t kAuxiliaryColor = 9;
constexpr int32_t kAuxiliaryLineType = 9;

// An arc's counter-clockwise sweep in [0, 360). The same reduction decides whether the
// arc is a whole ellipse, so an arc stored with |end - start| >= 360 is walked the way
// it is drawn instead of winding round more than once or the wrong way.
double ArcSweep(const TJwwEntArc& arc) {
    return NormalizeDegrees(arc.endAngle - arc.startAngle);
}

bool IsWholeEllipse(const TJwwEntArc& arc) {
    double sweep = ArcSweep(arc);
    return std::fabs(sweep) <= kPointTolerance || std::fabs(sweep - 360.0) <= kPointTolerance;
}

TRealPoint ArcPoint(const TJwwEntArc& arc, double degrees, double divisor) {
    double x = 0.0, y = 0.0;
    EllipsePointDeg(x, y, arc.cx, arc.cy, arc.radius, arc.flatness, arc.tiltAngle, degrees);
    return {x / divisor, y / divisor};
}

TAryRealPoint CirclePolygon(const TJwwEntCircle& circle, int32_t n, double divisor) {
    TAryRealPoint polygon;
    polygon.reserve(static_cast<size_t>(n) + 1);
    const double step = 2.0 * kPi / n;
    double theta = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        polygon.push_back({(circle.cx + circle.radius * std::cos(theta)) / divisor,
                           (circle.cy + circle.radius * std::sin(theta)) / divisor});
        theta += step;
    }
    // The point at a full turn is the first one: computed, its rounding errors grow with
    // the radius and would leave a large circle open.
    polygon.push_back(polygon.front());
    return polygon;
}

// A whole ellipse starts at angle 0 whatever its stored start angle, and is closed by
// repeating its first point, like a circle.
TAryRealPoint EllipsePolygon(const TJwwEntArc& arc, int32_t n, double divisor) {
    TAryRealPoint polygon;
    polygon.reserve(static_cast<size_t>(n) + 1);
    const double step = 360.0 / n;
    for (int32_t i = 0; i < n; ++i) polygon.push_back(ArcPoint(arc, i * step, divisor));
    polygon.push_back(polygon.front());
    return polygon;
}

}  // namespace

int32_t LimitArcDivisions(int32_t n) {
    return std::clamp(n, kMinArcDivisions, kMaxArcDivisions);
}

bool TakesPart(const TJwwEntHead& head, const TRegionFilter& filter) {
    int64_t layerKey = static_cast<int64_t>(head.layerGroup) * 16 + head.layer;
    if (filter.LayerState(layerKey) == 3) return false;
    if ((head.zFlags & kZFlagHidden) != 0) return false;
    if (!filter.showAuxiliary &&
        (head.color == kAuxiliaryColor || head.lineType == kAuxiliaryLineType)) {
        return false;
    }
    return true;
}

std::vector<TBoundarySegment> CollectRegionSources(const TJwwEntityStore& store, int32_t n,
                                                   const TRegionFilter& filter,
                                                   TAr2RealPoint& regionPolygons) {
    // Fewer than three lines and nothing round cannot hold a loop; the count is that
    // of the whole list, before any exclusion.
    if (store.lines.size() < 3 && store.circles.empty() && store.arcs.empty()) {
        ClearRegions(regionPolygons);
        return {};
    }
    return CollectAllRegionSources(store, n, filter, regionPolygons);
}

std::vector<TBoundarySegment> CollectAllRegionSources(const TJwwEntityStore& store, int32_t n,
                                                      const TRegionFilter& filter,
                                                      TAr2RealPoint& regionPolygons) {
    ClearRegions(regionPolygons);
    std::vector<TBoundarySegment> segments;
    const TJwwDrawingState& state = store.state;
    for (const TJwwEntCircle& circle : store.circles) {
        if (!TakesPart(circle.head, filter)) continue;
        regionPolygons.push_back(
            CirclePolygon(circle, n, EntityDivisor(state, circle.head.layerGroup)));
    }

    segments.reserve(store.lines.size() + store.arcs.size());
    for (size_t i = 0; i < store.lines.size(); ++i) {
        const TJwwEntLine& line = store.lines[i];
        if (!TakesPart(line.head, filter)) continue;
        double s = EntityDivisor(state, line.head.layerGroup);
        segments.push_back({kSegmentFree,
                            kSegmentLine,
                            static_cast<int32_t>(i),
                            {line.x1 / s, line.y1 / s},
                            {line.x2 / s, line.y2 / s}});
    }
    for (size_t i = 0; i < store.arcs.size(); ++i) {
        const TJwwEntArc& arc = store.arcs[i];
        if (!TakesPart(arc.head, filter)) continue;
        double s = EntityDivisor(state, arc.head.layerGroup);
        if (IsWholeEllipse(arc)) {
            regionPolygons.push_back(EllipsePolygon(arc, n, s));
            continue;
        }
        segments.push_back({kSegmentFree, kSegmentArc, static_cast<int32_t>(i),
                            ArcPoint(arc, arc.startAngle, s), ArcPoint(arc, arc.endAngle, s)});
    }
    segments.shrink_to_fit();
    return segments;
}

TBoundarySegment ChainEntry(const TBoundarySegment& segment, int32_t position, bool reversed) {
    TBoundarySegment entry = segment;
    entry.State = position;
    if (reversed) {
        entry.Kind += kSegmentReversed;
        std::swap(entry.StartPoint, entry.EndPoint);
    }
    return entry;
}

TAryRealPoint ChainPolygon(const std::vector<TBoundarySegment>& chain, const TJwwEntityStore& store,
                           int32_t n) {
    size_t count = 1;
    for (const TBoundarySegment& entry : chain) {
        count += (entry.Kind % kSegmentReversed == kSegmentLine) ? 1 : static_cast<size_t>(n);
    }
    TAryRealPoint polygon;
    polygon.reserve(count);
    bool first = true;
    for (const TBoundarySegment& entry : chain) {
        if (entry.Kind % kSegmentReversed == kSegmentLine) {
            if (first) polygon.push_back(entry.StartPoint);
            polygon.push_back(entry.EndPoint);
            first = false;
            continue;
        }
        const TJwwEntArc& arc = store.arcs[static_cast<size_t>(entry.SourceIndex)];
        const double s = EntityDivisor(store.state, arc.head.layerGroup);
        const double step = ArcSweep(arc) / n;
        // The angle is accumulated step by step; the arc's own first point equals the
        // previous point and is written only for the chain's first entry.
        if (entry.Kind == kSegmentArc) {
            double angle = arc.startAngle;
            if (first) polygon.push_back(ArcPoint(arc, angle, s));
            for (int32_t q = 1; q <= n; ++q) {
                angle += step;
                polygon.push_back(ArcPoint(arc, angle, s));
            }
        } else {
            double angle = arc.endAngle;
            for (int32_t q = 1; q <= n; ++q) {
                angle -= step;
                polygon.push_back(ArcPoint(arc, angle, s));
            }
        }
        first = false;
    }
    return polygon;
}

}  // namespace veldra
