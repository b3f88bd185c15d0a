#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

#include "common/tolerances.h"
#include "fill/faces_linework.h"
#include "fill/regions_segments.h"

namespace veldra {

namespace {

bool Usable(const TRealPoint& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::fabs(p.X) <= kMaxFaceCoordinate &&
           std::fabs(p.Y) <= kMaxFaceCoordinate;
}

bool AllUsable(const std::vector<TRealPoint>& points) {
    for (const TRealPoint& p : points) {
        if (!Usable(p)) return false;
    }
    return true;
}

// Points within 1e-8 per axis fall into the same or a neighbouring cell of this grid.
// Cells are kept as doubles: beyond 2^53 * 1e-8 neighbouring doubles are farther apart
// than the tolerance anyway, so only equal coordinates share a cell there.
struct TCellKey {
    double x;
    double y;
    bool operator==(const TCellKey&) const = default;
};
struct TCellHash {
    size_t operator()(const TCellKey& k) const {
        return std::hash<double>()(k.x) * 31 + std::hash<double>()(k.y);
    }
};

TCellKey CellOf(const TRealPoint& p) {
    return {std::floor(p.X / kPointTolerance), std::floor(p.Y / kPointTolerance)};
}

// End points by cell, for "is another end within 1e-8".
class TEndGrid {
  public:
    void Add(const TRealPoint& p, size_t owner) { cells_[CellOf(p)].push_back({p, owner}); }

    // The first end within the tolerance that belongs to another owner, or null.
    const TRealPoint* Other(const TRealPoint& p, size_t owner) const {
        const TCellKey c = CellOf(p);
        for (double dx = -1; dx <= 1; ++dx) {
            for (double dy = -1; dy <= 1; ++dy) {
                auto it = cells_.find({c.x + dx, c.y + dy});
                if (it == cells_.end()) continue;
                for (const auto& [q, who] : it->second) {
                    if (who != owner && SamePoint(p, q)) return &q;
                }
            }
        }
        return nullptr;
    }

  private:
    std::unordered_map<TCellKey, std::vector<std::pair<TRealPoint, size_t>>, TCellHash> cells_;
};

}  // namespace

std::vector<TFacePolyline> CollectFaceLinework(const TJwwEntityStore& store, int32_t n,
                                               const TRegionFilter& filter, size_t& skipped) {
    skipped = 0;
    TAr2RealPoint closedFigures;
    const std::vector<TBoundarySegment> segments =
        CollectRegionSources(store, n, filter, closedFigures);
    std::vector<TFacePolyline> lines;
    lines.reserve(closedFigures.size() + segments.size());
    for (TAryRealPoint& figure : closedFigures) {
        // The accumulated angle ends a hair away from the start: close it exactly.
        figure.back() = figure.front();
        if (!AllUsable(figure)) {
            ++skipped;
            continue;
        }
        lines.push_back({std::move(figure), true});
    }
    for (const TBoundarySegment& segment : segments) {
        TFacePolyline line;
        if (segment.Kind == kSegmentLine) {
            line.points = {segment.StartPoint, segment.EndPoint};
        } else {
            line.points = ChainPolygon({ChainEntry(segment, 0, false)}, store, n);
            line.points.back() = segment.EndPoint;
        }
        if (!AllUsable(line.points)) {
            ++skipped;
            continue;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void SnapCloseEnds(std::vector<TFacePolyline>& lines) {
    TEndGrid grid;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].closed) continue;
        for (TRealPoint* end : {&lines[i].points.front(), &lines[i].points.back()}) {
            // The first end of a cluster stays; later ones move onto it.
            if (const TRealPoint* other = grid.Other(*end, i)) {
                *end = *other;
            } else {
                grid.Add(*end, i);
            }
        }
    }
}

std::vector<TFaceEdge> EdgesOf(const std::vector<TFacePolyline>& lines) {
    std::vector<TFaceEdge> edges;
    size_t count = 0;
    for (const TFacePolyline& line : lines) count += line.points.size() - 1;
    edges.reserve(count);
    for (const TFacePolyline& line : lines) {
        for (size_t i = 1; i < line.points.size(); ++i) {
            const TRealPoint& a = line.points[i - 1];
            const TRealPoint& b = line.points[i];
            if (a.X == b.X && a.Y == b.Y) continue;
            edges.push_back({a, b});
        }
    }
    return edges;
}

std::vector<TRealPoint> ChainOpenEnds(const TJwwEntityStore& store, const TRegionFilter& filter) {
    TAr2RealPoint closedFigures;
    const std::vector<TBoundarySegment> segments =
        CollectRegionSources(store, kMinArcDivisions, filter, closedFigures);
    TEndGrid grid;
    for (size_t i = 0; i < segments.size(); ++i) {
        grid.Add(segments[i].StartPoint, i);
        grid.Add(segments[i].EndPoint, i);
    }
    std::vector<TRealPoint> open;
    for (size_t i = 0; i < segments.size(); ++i) {
        for (const TRealPoint& end : {segments[i].StartPoint, segments[i].EndPoint}) {
            if (grid.Other(end, i) == nullptr) open.push_back(end);
        }
    }
    std::sort(open.begin(), open.end(), [](const TRealPoint& a, const TRealPoint& b) {
        return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
    });
    return open;
}

}  // namespace veldra
