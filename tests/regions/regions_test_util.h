#pragma once

// Small builders of selections for the region tests, and the areas of what they give.

#include "exchange/entity_store.h"
#include "regions/faces.h"
#include "regions/regions.h"

namespace veldra::test {

inline TJwwEntityStore EmptyStore() {
    TJwwEntityStore store;
    InitStore(store);
    for (double& s : store.state.groupScale) s = 1.0;
    return store;
}

inline TJwwEntLine& AddLine(TJwwEntityStore& store, double x1, double y1, double x2, double y2) {
    TJwwEntLine& line = AppendEntity(store, store.lines, EntityKind::Line);
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
    return line;
}

inline TJwwEntCircle& AddCircle(TJwwEntityStore& store, double cx, double cy, double r) {
    TJwwEntCircle& circle = AppendEntity(store, store.circles, EntityKind::Circle);
    circle.cx = cx;
    circle.cy = cy;
    circle.radius = r;
    return circle;
}

inline TJwwEntArc& AddArc(TJwwEntityStore& store, double cx, double cy, double r, double startAngle,
                          double endAngle, double flatness = 1.0, double tilt = 0.0) {
    TJwwEntArc& arc = AppendEntity(store, store.arcs, EntityKind::Arc);
    arc.cx = cx;
    arc.cy = cy;
    arc.radius = r;
    arc.startAngle = startAngle;
    arc.endAngle = endAngle;
    arc.flatness = flatness;
    arc.tiltAngle = tilt;
    return arc;
}

// Signed area of a closed ring: positive counter-clockwise.
inline double RingArea(const TAryRealPoint& ring) {
    double twice = 0.0;
    for (size_t i = 1; i < ring.size(); ++i) {
        twice += ring[i - 1].X * ring[i].Y - ring[i].X * ring[i - 1].Y;
    }
    return twice / 2.0;
}

// Outer area minus the holes (holes run clockwise, so their area is negative).
inline double FaceArea(const TFaceRegion& face) {
    double area = RingArea(face.outer);
    for (const TAryRealPoint& hole : face.holes) area += RingArea(hole);
    return area;
}

}  // namespace veldra::test
