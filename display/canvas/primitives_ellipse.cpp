// Filled, outlined and ring-shaped ellipses, tessellated into WorldPoints.

#include <bit>
#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"
#include "display/canvas/draw_context.h"
#include "display/canvas/primitives_geometry.h"

namespace veldra {

namespace {

// 5 degrees in radians, added up point by point for whole ellipses.
constexpr double kWholeStep = 0.0872664625997164739;
constexpr double kEqualTolerance = 1e-10;

bool Equals(double a, double b) {
    return std::fabs(a - b) <= kEqualTolerance;
}

}  // namespace

const TArcCosSin& TDrawContext::ArcAngles(double first, double start, double step) {
    const std::array<uint64_t, 3> key{std::bit_cast<uint64_t>(first),
                                      std::bit_cast<uint64_t>(start),
                                      std::bit_cast<uint64_t>(step)};
    if (arcAnglesValid_ && key == arcAnglesKey_) return arcAngles_;
    arcAngles_.cosT[0] = std::cos(first);
    arcAngles_.sinT[0] = std::sin(first);
    for (int32_t i = 1; i <= kArcPieces; ++i) {
        const double t = start + i * step;
        arcAngles_.cosT[static_cast<size_t>(i)] = std::cos(t);
        arcAngles_.sinT[static_cast<size_t>(i)] = std::sin(t);
    }
    arcAnglesKey_ = key;
    arcAnglesValid_ = true;
    return arcAngles_;
}

const TArcCosSin& TDrawContext::WholeEllipseAngles() {
    if (wholeAnglesValid_) return wholeAngles_;
    double t = 0.0;
    for (size_t i = 0; i <= size_t{kArcPieces}; ++i, t += kWholeStep) {
        wholeAngles_.cosT[i] = std::cos(t);
        wholeAngles_.sinT[i] = std::sin(t);
    }
    wholeAnglesValid_ = true;
    return wholeAngles_;
}

void TDrawContext::ArcPoints(double cx, double cy, double r, double flatness, double tilt,
                             double start, double sweep) {
    const double step = sweep / kArcPieces;
    const TEllipseWalker ellipse(cx, cy, r, flatness, tilt);
    const TArcCosSin& angles = ArcAngles(start + 0 * step, start, step);
    for (size_t i = 0; i <= size_t{kArcPieces}; ++i) {
        WorldPoints.push_back(ellipse.FromCosSin(angles.cosT[i], angles.sinT[i]));
    }
}

void TDrawContext::DrawSolidEllipse(TCanvas& canvas, TShapeKind kind, double cx, double cy,
                                    double r, double flatness, double tilt, double start,
                                    double sweep, double extra) {
    for (double v : {cx, cy, r, flatness, tilt, start, sweep, extra}) {
        if (!std::isfinite(v)) return;
    }
    WorldPoints.clear();
    WorldPoints.reserve(2 * size_t{kArcPieces + 1});
    const bool whole = Equals(extra, kFillWholeEllipse);
    switch (kind) {
        case TShapeKind::ShapeFill:
            if (whole) {
                const TEllipseWalker ellipse(cx, cy, r, flatness, tilt);
                const TArcCosSin& angles = WholeEllipseAngles();
                for (size_t i = 0; i < size_t{kArcPieces}; ++i) {
                    WorldPoints.push_back(ellipse.FromCosSin(angles.cosT[i], angles.sinT[i]));
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
                const TArcCosSin& angles = WholeEllipseAngles();
                for (size_t i = 0; i <= size_t{kArcPieces}; ++i) {
                    WorldPoints.push_back(ellipse.FromCosSin(angles.cosT[i], angles.sinT[i]));
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
