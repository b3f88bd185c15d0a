// Filled, outlined and ring-shaped ellipses, tessellated into WorldPoints.

#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"
#include "display/draw_context.h"
#include "display/primitives_geometry.h"

namespace veldra {

namespace {

// 5 degrees in radians, added up point by point for whole ellipses.
constexpr double kWholeStep = 0.0872664625997164739;
constexpr double kEqualTolerance = 1e-10;

bool Equals(double a, double b) {
    return std::fabs(a - b) <= kEqualTolerance;
}

}  // namespace

void TDrawContext::ArcPoints(double cx, double cy, double r, double flatness, double tilt,
                             double start, double sweep) {
    const double step = sweep / kArcPieces;
    const TEllipseWalker ellipse(cx, cy, r, flatness, tilt);
    for (int32_t i = 0; i <= kArcPieces; ++i) WorldPoints.push_back(ellipse.At(start + i * step));
}

void TDrawContext::DrawSolidEllipse(TCanvas& canvas, TShapeKind kind, double cx, double cy,
                                    double r, double flatness, double tilt, double start,
                                    double sweep, double extra) {
    for (double v : {cx, cy, r, flatness, tilt, start, sweep, extra}) {
        if (!std::isfinite(v)) return;
    }
    WorldPoints.clear();
    WorldPoints.reserve(2 * (kArcPieces + 1));
    const bool whole = Equals(extra, kFillWholeEllipse);
    switch (kind) {
        case TShapeKind::ShapeFill:
            if (whole) {
                const TEllipseWalker ellipse(cx, cy, r, flatness, tilt);
                double t = 0.0;
                for (int32_t i = 0; i < kArcPieces; ++i, t += kWholeStep) {
                    WorldPoints.push_back(ellipse.At(t));
                }
                break;
            }
            ArcPoints(cx, cy, r, flatness, tilt, start, sweep);
            if (Equals(extra, kFillSector)) {
                WorldPoints.push_back({cx, cy});
            } else if (!Equals(extra, kFillSegment)) {
                // The region between the arc and the tangents at its ends: the
                // corner is where the two tangent lines meet, the centre when they
                // are parallel.
                const TRealPoint first = WorldPoints.front();
                const TRealPoint last = WorldPoints.back();
                const double a1 = start + tilt + kPi / 2;
                const double a2 = start + sweep + tilt - kPi / 2;
                TRealPoint corner{cx, cy};
                double x = 0.0, y = 0.0;
                if (SegmentIntersection(x, y, first.X, first.Y, first.X + 10 * std::cos(a1),
                                        first.Y + 10 * std::sin(a1), last.X, last.Y,
                                        last.X + 10 * std::cos(a2),
                                        last.Y + 10 * std::sin(a2)) != 0) {
                    corner = {x, y};
                }
                WorldPoints.push_back(corner);
            }
            break;
        case TShapeKind::ShapeOutline:
            if (whole) {
                const TEllipseWalker ellipse(cx, cy, r, flatness, tilt);
                double t = 0.0;
                for (int32_t i = 0; i <= kArcPieces; ++i, t += kWholeStep) {
                    WorldPoints.push_back(ellipse.At(t));
                }
            } else {
                ArcPoints(cx, cy, r, flatness, tilt, start, sweep);
            }
            DrawWorldPolyline(canvas);
            WorldPoints.clear();
            return;
        case TShapeKind::ShapeRing: {
            ArcPoints(cx, cy, r, flatness, tilt, start, sweep);
            const double step = sweep / kArcPieces;
            const TEllipseWalker inner(cx, cy, extra, flatness, tilt);
            for (int32_t i = 0; i <= kArcPieces; ++i) {
                WorldPoints.push_back(inner.At(start + sweep - i * step));
            }
            break;
        }
    }
    DrawWorldPolygon(canvas);
    WorldPoints.clear();
}

}  // namespace veldra
