#include "regions/faces.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "regions/faces_linework.h"
#include "regions/regions_segments.h"

namespace veldra {

namespace {

// A stub left past a join is at most this long (see JoinGaps); longer ones are ends.
constexpr double kStubLength = 1e-5;

bool Lower(const TRealPoint& a, const TRealPoint& b) {
    return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
}

double SignedArea(const TAryRealPoint& ring) {
    double twice = 0.0;
    for (size_t i = 1; i < ring.size(); ++i) {
        twice += ring[i - 1].X * ring[i].Y - ring[i].X * ring[i - 1].Y;
    }
    return twice / 2.0;
}

// The ring turned the given way round and started at its lowest (then leftmost) point.
void Canonical(TAryRealPoint& ring, bool counterClockwise) {
    if ((SignedArea(ring) > 0) != counterClockwise) std::reverse(ring.begin(), ring.end());
    ring.pop_back();
    std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end(), Lower), ring.end());
    ring.push_back(ring.front());
}

// Outer ring (the one of largest area) and holes of one face of the arrangement.
TFaceRegion RegionOf(TArrangementFace& face) {
    TFaceRegion region;
    size_t outer = 0;
    for (size_t i = 1; i < face.rings.size(); ++i) {
        if (SignedArea(face.rings[i]) > SignedArea(face.rings[outer])) outer = i;
    }
    for (size_t i = 0; i < face.rings.size(); ++i) {
        TAryRealPoint& ring = face.rings[i];
        Canonical(ring, i == outer);
        if (i == outer) {
            region.outer = std::move(ring);
        } else {
            region.holes.push_back(std::move(ring));
        }
    }
    std::sort(region.holes.begin(), region.holes.end(),
              [](const TAryRealPoint& a, const TAryRealPoint& b) { return Lower(a[0], b[0]); });
    return region;
}

// Faces in their stated order, with parents and depths renumbered to match.
std::vector<TFaceRegion> OrderedFaces(std::vector<TArrangementFace>& raw) {
    std::vector<TFaceRegion> faces;
    std::vector<int32_t> rawParent;
    std::vector<int32_t> kept(raw.size(), -1);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i].rings.empty()) continue;
        kept[i] = static_cast<int32_t>(faces.size());
        faces.push_back(RegionOf(raw[i]));
        rawParent.push_back(raw[i].parent);
    }
    std::vector<double> area(faces.size());
    for (size_t i = 0; i < faces.size(); ++i) area[i] = SignedArea(faces[i].outer);
    std::vector<int32_t> order(faces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        const TRealPoint& pa = faces[a].outer[0];
        const TRealPoint& pb = faces[b].outer[0];
        if (pa.Y != pb.Y || pa.X != pb.X) return Lower(pa, pb);
        return area[a] < area[b];
    });
    std::vector<int32_t> position(faces.size());
    for (size_t i = 0; i < order.size(); ++i) position[order[i]] = static_cast<int32_t>(i);
    std::vector<TFaceRegion> sorted(faces.size());
    for (size_t i = 0; i < faces.size(); ++i) {
        const int32_t p = rawParent[i] < 0 ? -1 : kept[static_cast<size_t>(rawParent[i])];
        faces[i].parent = p < 0 ? -1 : position[p];
        sorted[position[i]] = std::move(faces[i]);
    }
    // Depth by walking up to a face whose depth is known; no recursion, so deep nests
    // of islands cannot exhaust the stack.
    std::vector<int32_t> depth(sorted.size(), -1);
    std::vector<int32_t> path;
    for (size_t i = 0; i < sorted.size(); ++i) {
        int32_t f = static_cast<int32_t>(i);
        while (f >= 0 && depth[f] < 0) {
            path.push_back(f);
            f = sorted[f].parent;
        }
        int32_t d = f < 0 ? -1 : depth[f];
        while (!path.empty()) {
            depth[path.back()] = ++d;
            path.pop_back();
        }
    }
    for (size_t i = 0; i < sorted.size(); ++i) sorted[i].depth = depth[i];
    return sorted;
}

bool FilledAtDepth(TIslandMode islands, int32_t relativeDepth) {
    switch (islands) {
        case TIslandMode::OuterOnly:
            return relativeDepth == 0;
        case TIslandMode::Ignore:
            return true;
        case TIslandMode::Normal:
            break;
    }
    return relativeDepth % 2 == 0;
}

bool InsideRing(const TAryRealPoint& ring, const TRealPoint& p) {
    bool inside = false;
    for (size_t i = 1; i < ring.size(); ++i) {
        const TRealPoint& a = ring[i - 1];
        const TRealPoint& b = ring[i];
        if ((a.Y > p.Y) != (b.Y > p.Y) && p.X < a.X + (p.Y - a.Y) * (b.X - a.X) / (b.Y - a.Y)) {
            inside = !inside;
        }
    }
    return inside;
}

bool InsideBox(const TAryRealPoint& ring, const TRealPoint& p) {
    double minX = ring[0].X, maxX = minX, minY = ring[0].Y, maxY = minY;
    for (const TRealPoint& q : ring) {
        minX = std::min(minX, q.X);
        maxX = std::max(maxX, q.X);
        minY = std::min(minY, q.Y);
        maxY = std::max(maxY, q.Y);
    }
    return p.X >= minX && p.X <= maxX && p.Y >= minY && p.Y <= maxY;
}

std::vector<TRealPoint> OpenEnds(const TArrangementOutput& arrangement,
                                 std::vector<TRealPoint> tips) {
    std::sort(tips.begin(), tips.end(), Lower);
    std::vector<TRealPoint> open;
    for (const TArrangementDangle& d : arrangement.dangles) {
        const bool isTip = std::binary_search(tips.begin(), tips.end(), d.point, Lower);
        const double stub = std::hypot(d.point.X - d.neighbour.X, d.point.Y - d.neighbour.Y);
        if (isTip && stub <= kStubLength) continue;
        open.push_back(d.point);
    }
    std::sort(open.begin(), open.end(), Lower);
    return open;
}

}  // namespace

TFaceBuild BuildFaces(const TJwwEntityStore& store, int32_t arcDivisions,
                      const TFaceOptions& options, const TRegionFilter& filter,
                      const AbortPoll& poll) {
    TFaceBuild out;
    const int32_t n = LimitArcDivisions(arcDivisions);
    std::vector<TFacePolyline> lines = CollectFaceLinework(store, n, filter, out.skippedEntities);
    SnapCloseEnds(lines);
    std::vector<TFaceEdge> edges = EdgesOf(lines);
    if (edges.empty()) return out;

    const double tolerance = options.gapTolerance;
    TGapJoins gaps;
    if (std::isfinite(tolerance) && tolerance > 0) {
        gaps = JoinGaps(lines, edges, tolerance, poll);
        if (gaps.aborted) {
            out.aborted = true;
            return out;
        }
        edges.insert(edges.end(), gaps.edges.begin(), gaps.edges.end());
    }
    lines = {};
    MergeAxisParallelEdges(edges);

    TArrangementOutput arrangement = BuildArrangementFaces(edges, poll);
    if (arrangement.aborted || arrangement.failed) {
        out.aborted = arrangement.aborted;
        out.failed = arrangement.failed;
        return out;
    }
    out.faces = OrderedFaces(arrangement.faces);
    out.openEnds = OpenEnds(arrangement, std::move(gaps.tips));
    out.joins = std::move(gaps.joins);
    std::sort(out.joins.begin(), out.joins.end(),
              [](const TFaceJoin& a, const TFaceJoin& b) { return Lower(a.from, b.from); });
    MarkFilledFaces(out.faces, options.islands, options.picks);
    return out;
}

void MarkFilledFaces(std::vector<TFaceRegion>& faces, TIslandMode islands,
                     const std::vector<TRealPoint>& picks) {
    std::vector<char> picked(faces.size(), 0);
    bool any = false;
    for (const TRealPoint& p : picks) {
        const int32_t f = FaceAt(faces, p);
        if (f >= 0) picked[f] = picked[f] == 0 ? 1 : 0;
    }
    for (char p : picked) any = any || p;
    if (!any) {
        for (TFaceRegion& face : faces) face.filled = FilledAtDepth(islands, face.depth);
        return;
    }
    // The nearest picked face at or above each face decides it; parents first.
    std::vector<int32_t> order(faces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int32_t a, int32_t b) { return faces[a].depth < faces[b].depth; });
    std::vector<int32_t> nearest(faces.size(), -1);
    for (int32_t f : order) {
        const int32_t parent = faces[f].parent;
        nearest[f] = picked[f] ? f : (parent < 0 ? -1 : nearest[parent]);
        faces[f].filled =
            nearest[f] >= 0 && FilledAtDepth(islands, faces[f].depth - faces[nearest[f]].depth);
    }
}

int32_t FaceAt(const std::vector<TFaceRegion>& faces, TRealPoint point) {
    if (!std::isfinite(point.X) || !std::isfinite(point.Y)) return -1;
    for (size_t i = 0; i < faces.size(); ++i) {
        const TFaceRegion& face = faces[i];
        if (face.outer.empty() || !InsideBox(face.outer, point)) continue;
        bool inside = InsideRing(face.outer, point);
        for (const TAryRealPoint& hole : face.holes) inside ^= InsideRing(hole, point);
        if (inside) return static_cast<int32_t>(i);
    }
    return -1;
}

TAr2RealPoint FilledFacePolygons(const std::vector<TFaceRegion>& faces) {
    TAr2RealPoint rings;
    for (const TFaceRegion& face : faces) {
        if (!face.filled) continue;
        rings.push_back(face.outer);
        rings.insert(rings.end(), face.holes.begin(), face.holes.end());
    }
    return rings;
}

}  // namespace veldra
