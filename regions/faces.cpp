#include "regions/faces.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "regions/faces_crossings.h"
#include "regions/faces_linework.h"
#include "regions/faces_noding.h"
#include "regions/faces_rings.h"
#include "regions/regions_segments.h"

namespace veldra {

namespace {

// A stub left past a join is at most this long (see JoinGaps); longer ones are ends.
constexpr double kStubLength = 1e-5;

bool Lower(const TRealPoint& a, const TRealPoint& b) {
    return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
}

// The ring turned the given way round and started at its lowest (then leftmost) point.
void Canonical(TAryRealPoint& ring, bool counterClockwise) {
    if ((SignedArea(ring) > 0) != counterClockwise) std::reverse(ring.begin(), ring.end());
    ring.pop_back();
    std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end(), Lower), ring.end());
    ring.push_back(ring.front());
}

// Rounding the exact crossings to doubles can leave a ring with repeated points, with
// spikes (out along an edge and straight back) or with no area at all, where several
// lines cross within a few ulps of one point. Such points go; a ring left without area
// goes too.
bool SameDirectionBack(const TRealPoint& a, const TRealPoint& b, const TRealPoint& c) {
    const double ux = b.X - a.X, uy = b.Y - a.Y, vx = c.X - b.X, vy = c.Y - b.Y;
    const double cross = ux * vy - uy * vx;
    const double dot = ux * vx + uy * vy;
    return dot < 0 && std::fabs(cross) <= 1e-12 * std::hypot(ux, uy) * std::hypot(vx, vy);
}

bool Cleaned(TAryRealPoint& ring) {
    ring.pop_back();
    std::vector<TRealPoint> kept;
    kept.reserve(ring.size());
    auto equal = [](const TRealPoint& p, const TRealPoint& q) { return p.X == q.X && p.Y == q.Y; };
    for (const TRealPoint& p : ring) {
        if (!kept.empty() && equal(kept.back(), p)) continue;
        kept.push_back(p);
        // A spike folds away as soon as its far point is followed by the way back.
        while (kept.size() >= 3 &&
               SameDirectionBack(kept[kept.size() - 3], kept[kept.size() - 2], kept.back())) {
            kept.erase(kept.end() - 2);
            if (kept.size() >= 2 && equal(kept[kept.size() - 2], kept.back())) kept.pop_back();
        }
    }
    // The same across the closing point, until nothing changes.
    for (bool changed = true; changed && kept.size() >= 3;) {
        changed = false;
        if (equal(kept.front(), kept.back())) {
            kept.pop_back();
            changed = true;
            continue;
        }
        const size_t n = kept.size();
        if (SameDirectionBack(kept[n - 2], kept[n - 1], kept[0])) {
            kept.pop_back();
            changed = true;
        } else if (SameDirectionBack(kept[n - 1], kept[0], kept[1])) {
            kept.erase(kept.begin());
            changed = true;
        }
    }
    if (kept.size() < 3) return false;
    kept.push_back(kept.front());
    ring = std::move(kept);
    // Smaller or thinner than a point: what is left of lines crossing within a few
    // ulps of one point (exactly a face, but none anyone could see or fill).
    double scale = 1.0, minX = ring[0].X, maxX = minX, minY = ring[0].Y, maxY = minY;
    for (const TRealPoint& p : ring) {
        scale = std::max({scale, std::fabs(p.X), std::fabs(p.Y)});
        minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
    }
    const double size = std::hypot(maxX - minX, maxY - minY);
    const double grain = 1e-12 * scale;
    return size > 1e3 * grain && std::fabs(SignedArea(ring)) > grain * size;
}

// Outer ring (the one of largest area) and holes of one face of the arrangement; no
// outer ring when the face has no area once rounded.
TFaceRegion RegionOf(TArrangementFace& face) {
    TFaceRegion region;
    std::erase_if(face.rings, [](TAryRealPoint& ring) { return !Cleaned(ring); });
    if (face.rings.empty()) return region;
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
    std::vector<int32_t> rawDepth;
    for (size_t i = 0; i < raw.size(); ++i) {
        TFaceRegion region = RegionOf(raw[i]);
        if (region.outer.empty()) continue;
        kept[i] = static_cast<int32_t>(faces.size());
        faces.push_back(std::move(region));
        rawParent.push_back(raw[i].parent);
        rawDepth.push_back(raw[i].depth);
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
    for (size_t i = 0; i < faces.size(); ++i) sorted[position[i]] = std::move(faces[i]);
    // A parent left out for want of area hands its place to its own parent.
    for (size_t i = 0; i < faces.size(); ++i) {
        int32_t p = rawParent[i];
        while (p >= 0 && kept[static_cast<size_t>(p)] < 0) p = raw[static_cast<size_t>(p)].parent;
        const int32_t k = p < 0 ? -1 : kept[static_cast<size_t>(p)];
        sorted[position[i]].parent = k < 0 ? -1 : position[k];
        sorted[position[i]].depth = rawDepth[i];
    }
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
                      const AbortPoll& poll, const FaceProgress& progress) {
    return BuildFacesUsing(TFaceNoding::Grid, store, arcDivisions, options, filter, poll, progress);
}

TFaceBuild BuildFacesUsing(TFaceNoding noding, const TJwwEntityStore& store, int32_t arcDivisions,
                           const TFaceOptions& options, const TRegionFilter& filter,
                           const AbortPoll& poll, const FaceProgress& progress) {
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

    // The cost is known before the expensive step: too many crossings are refused at
    // once instead of running for minutes into gigabytes.
    const TCrossingCount crossings = CountCrossings(edges, kMaxFaceCrossings, poll);
    if (crossings.aborted) {
        out.aborted = true;
        return out;
    }
    out.crossings = crossings.crossings;
    if (crossings.crossings > kMaxFaceCrossings) {
        out.tooManyCrossings = true;
        return out;
    }

    // Coordinates on a common power-of-two grid (whole or binary-fraction millimetres)
    // are noded in integers with a few dozen bytes per crossing; the rest, and faces
    // too thin to be sure of in doubles, go to the geometry library.
    // Progress never goes back when the library starts over after the integer noding.
    double reported = 0.0;
    const FaceProgress rising = [&](double fraction) {
        reported = std::max(reported, fraction);
        if (progress) progress(reported);
    };
    TArrangementOutput arrangement;
    if (noding == TFaceNoding::LibraryOnly || !BuildGridFaces(edges, poll, rising, arrangement)) {
        arrangement =
            BuildArrangementFaces(edges, poll, rising, 2 * edges.size() + crossings.crossings);
    }
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
    out.noPickHit = !MarkFilledFaces(out.faces, options.islands, options.picks);
    return out;
}

bool MarkFilledFaces(std::vector<TFaceRegion>& faces, TIslandMode islands,
                     const std::vector<TRealPoint>& picks) {
    if (picks.empty()) {
        for (TFaceRegion& face : faces) face.filled = FilledAtDepth(islands, face.depth);
        return true;
    }
    std::vector<char> picked(faces.size(), 0);
    bool any = false;
    for (const TRealPoint& p : picks) {
        const int32_t f = FaceAt(faces, p);
        if (f < 0) continue;
        picked[f] = 1;
        any = true;
    }
    // Each picked face fills itself and its islands as the mode says, counted from its
    // own depth; several picks fill the union of that. Parents are decided first.
    std::vector<int32_t> order(faces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int32_t a, int32_t b) { return faces[a].depth < faces[b].depth; });
    // Per face, which parities of depth the picked faces at or above it have (bit 0:
    // even, bit 1: odd): enough to tell whether any of them fills the face.
    std::vector<uint8_t> pickedAbove(faces.size(), 0);
    for (int32_t f : order) {
        const int32_t parent = faces[f].parent;
        uint8_t above = parent < 0 ? 0 : pickedAbove[parent];
        const uint8_t own = faces[f].depth % 2 == 0 ? 1 : 2;
        if (picked[f]) above |= own;
        pickedAbove[f] = above;
        switch (islands) {
            case TIslandMode::OuterOnly:
                faces[f].filled = picked[f] != 0;
                break;
            case TIslandMode::Ignore:
                faces[f].filled = above != 0;
                break;
            case TIslandMode::Normal:
                faces[f].filled = (above & own) != 0;
                break;
        }
    }
    return any;
}

std::string TooManyCrossingsMessage(uint64_t crossings) {
    // Two significant figures, grouped by thousands: an estimate, said as one.
    uint64_t scale = 1;
    while (crossings / scale >= 100) scale *= 10;
    const std::string plain = std::to_string((crossings + scale / 2) / scale * scale);
    std::string digits;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (i > 0 && (plain.size() - i) % 3 == 0) digits += ',';
        digits += plain[i];
    }
    return "選択範囲に交点が多すぎます（約 " + digits +
           " 箇所）。範囲を狭めるか「端点連結」で実行してください。";
}

AbortPoll StopFlagPoll(const std::atomic<bool>& stop, AbortPoll also) {
    return [&stop, also = std::move(also)] {
        return stop.load(std::memory_order_relaxed) || CheckAbort(also);
    };
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
