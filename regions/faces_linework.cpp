#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "common/tolerances.h"
#include "regions/faces_linework.h"
#include "regions/regions_segments.h"

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

// End points sorted by X then Y, for "is another end within 1e-8 per axis". The ends
// within the X window form runs of equal X, each sorted by Y, so a query is a few
// binary searches even when thousands of ends share a column.
class TEndIndex {
  public:
    void Add(const TRealPoint& p, size_t owner) { entries_.push_back({p, owner, false}); }

    // Sorts the ends; returns, for each end in the order added, its sorted position.
    std::vector<size_t> Build() {
        std::vector<size_t> order(entries_.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
            const TRealPoint& p = entries_[a].point;
            const TRealPoint& q = entries_[b].point;
            return p.X != q.X ? p.X < q.X : (p.Y != q.Y ? p.Y < q.Y : a < b);
        });
        std::vector<TEntry> sorted(entries_.size());
        std::vector<size_t> position(entries_.size());
        for (size_t k = 0; k < order.size(); ++k) {
            sorted[k] = entries_[order[k]];
            position[order[k]] = k;
        }
        entries_ = std::move(sorted);
        return position;
    }

    void Activate(size_t position) { entries_[position].active = true; }

    // The first end within the tolerance that belongs to another owner (and, when
    // `activeOnly`, was activated), or null. Not-a-number coordinates match nothing.
    const TRealPoint* Other(const TRealPoint& p, size_t owner, bool activeOnly) const {
        auto xLess = [](const TEntry& e, double x) { return e.point.X < x; };
        auto it = std::lower_bound(entries_.begin(), entries_.end(), p.X - kPointTolerance, xLess);
        while (it != entries_.end() && it->point.X <= p.X + kPointTolerance) {
            const double x = it->point.X;
            auto runEnd = std::upper_bound(it, entries_.end(), x,
                                           [](double v, const TEntry& e) { return v < e.point.X; });
            auto y = std::lower_bound(it, runEnd, p.Y - kPointTolerance,
                                      [](const TEntry& e, double v) { return e.point.Y < v; });
            for (; y != runEnd && y->point.Y <= p.Y + kPointTolerance; ++y) {
                if (y->owner != owner && (!activeOnly || y->active)) return &y->point;
            }
            it = runEnd;
        }
        return nullptr;
    }

  private:
    struct TEntry {
        TRealPoint point;
        size_t owner = 0;
        bool active = false;
    };
    std::vector<TEntry> entries_;
};

}  // namespace

std::vector<TFacePolyline> CollectFaceLinework(const TJwwEntityStore& store, int32_t n,
                                               const TRegionFilter& filter, size_t& skipped) {
    skipped = 0;
    TAr2RealPoint closedFigures;
    const std::vector<TBoundarySegment> segments =
        CollectAllRegionSources(store, n, filter, closedFigures);
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

bool EndsNeedSnapping(const std::vector<TFacePolyline>& lines) {
    // Ends hashed by cells much wider than the tolerance, each cell keeping its first
    // end: ends of one point meet in their cell, an end near another lies in the same
    // cell or within the tolerance of a side of it. A second, different end in a cell
    // might be near: then the whole pass decides. One look-up per end, no sort; the
    // table holds indices only, so that it stays in the cache.
    constexpr double kCell = 100 * kPointTolerance;
    constexpr double kPerCell = 1.0 / kCell;
    constexpr double kNear = 2 * kPointTolerance;  // side distance, with room for rounding
    // Sized for every end distinct at half load (grown should that not hold).
    size_t count = 0;
    for (const TFacePolyline& line : lines) count += line.closed ? 0 : 2;
    size_t size = std::bit_ceil(std::max<size_t>(1024, 2 * count));
    std::vector<uint64_t> table(size, 0);  // hash, 1 + index into `kept`; 0 when empty
    std::vector<TRealPoint> kept;
    // Cells centred on multiples of their width: round coordinates lie mid-cell, far
    // from a side, and need no look-up beyond their own cell.
    auto cellOf = [](double v) {
        const double t = v * kPerCell + 0.5;
        const auto c = static_cast<int64_t>(t);
        return c - (t < double(c) ? 1 : 0);
    };
    // Cells of drawn ends are multiples of large powers of two: every bit is mixed.
    auto hashOf = [](int64_t cx, int64_t cy) {
        uint64_t h = uint64_t(cx) * 0x9E3779B97F4A7C15ull + uint64_t(cy);
        h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDull;
        h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 33);
    };
    // The slot of the cell's end, or the empty slot where it would go. A slot holds
    // the cell's hash in its high half, so other cells are passed without reading
    // their end.
    auto find = [&](int64_t cx, int64_t cy) -> uint64_t& {
        const uint64_t h = hashOf(cx, cy);
        for (size_t slot = h & (size - 1);; slot = (slot + 1) & (size - 1)) {
            uint64_t& entry = table[slot];
            if (entry == 0) return entry;
            if ((entry >> 32) != (h >> 32)) continue;
            const TRealPoint& q = kept[uint32_t(entry) - 1];
            if (cellOf(q.X) == cx && cellOf(q.Y) == cy) return entry;
        }
    };
    auto near = [&kept](const TRealPoint& p, uint64_t entry) {
        if (entry == 0) return false;
        const TRealPoint& q = kept[uint32_t(entry) - 1];
        return !(p.X == q.X && p.Y == q.Y) && std::fabs(p.X - q.X) <= kPointTolerance &&
               std::fabs(p.Y - q.Y) <= kPointTolerance;
    };
    // Walls drawn one after another share ends: the end just seen needs no look-up.
    TRealPoint last{std::nan(""), 0.0};
    for (const TFacePolyline& line : lines) {
        if (line.closed) continue;
        for (const TRealPoint* p : {&line.points.front(), &line.points.back()}) {
            if (p->X == last.X && p->Y == last.Y) continue;
            last = *p;
            const int64_t cx = cellOf(p->X), cy = cellOf(p->Y);
            uint64_t& entry = find(cx, cy);
            if (entry == 0) {
                kept.push_back(*p);
                entry = (hashOf(cx, cy) >> 32 << 32) | kept.size();
                if (2 * kept.size() > size) {
                    size *= 2;
                    table.assign(size, 0);
                    for (uint32_t k = 0; k < kept.size(); ++k) {
                        const int64_t kx = cellOf(kept[k].X), ky = cellOf(kept[k].Y);
                        find(kx, ky) = (hashOf(kx, ky) >> 32 << 32) | (k + 1);
                    }
                }
            } else if (kept[uint32_t(entry) - 1].X != p->X || kept[uint32_t(entry) - 1].Y != p->Y) {
                return true;
            }
            const int dx0 = p->X - (double(cx) - 0.5) * kCell <= kNear ? -1 : 0;
            const int dx1 = (double(cx) + 0.5) * kCell - p->X <= kNear ? 1 : 0;
            const int dy0 = p->Y - (double(cy) - 0.5) * kCell <= kNear ? -1 : 0;
            const int dy1 = (double(cy) + 0.5) * kCell - p->Y <= kNear ? 1 : 0;
            for (int dx = dx0; dx <= dx1; ++dx) {
                for (int dy = dy0; dy <= dy1; ++dy) {
                    if ((dx != 0 || dy != 0) && near(*p, find(cx + dx, cy + dy))) return true;
                }
            }
        }
    }
    return false;
}

void SnapCloseEnds(std::vector<TFacePolyline>& lines) {
    // Most drawings share their ends exactly or keep them apart: one sort of the
    // points tells, and the indexed pass below is skipped.
    if (!EndsNeedSnapping(lines)) return;
    SnapCloseEndsAlways(lines);
}

void SnapCloseEndsAlways(std::vector<TFacePolyline>& lines) {
    TEndIndex index;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].closed) continue;
        index.Add(lines[i].points.front(), i);
        index.Add(lines[i].points.back(), i);
    }
    const std::vector<size_t> position = index.Build();
    size_t n = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].closed) continue;
        for (TRealPoint* end : {&lines[i].points.front(), &lines[i].points.back()}) {
            // The first end of a cluster in list order stays; later ones move onto it.
            if (const TRealPoint* other = index.Other(*end, i, true)) {
                *end = *other;
            } else {
                index.Activate(position[n]);
            }
            ++n;
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

void MergeAxisParallelEdges(std::vector<TFaceEdge>& edges) {
    // An edge along an axis as the coordinate of its line and its extent along it.
    struct TSpan {
        double line;
        double low;
        double high;
    };
    std::vector<TSpan> horizontal;
    std::vector<TSpan> vertical;
    size_t kept = 0;
    for (const TFaceEdge& e : edges) {
        if (e.a.Y == e.b.Y) {
            horizontal.push_back({e.a.Y, std::min(e.a.X, e.b.X), std::max(e.a.X, e.b.X)});
        } else if (e.a.X == e.b.X) {
            vertical.push_back({e.a.X, std::min(e.a.Y, e.b.Y), std::max(e.a.Y, e.b.Y)});
        } else {
            edges[kept++] = e;
        }
    }
    edges.resize(kept);
    auto merge = [&edges](std::vector<TSpan>& spans, bool isHorizontal) {
        std::sort(spans.begin(), spans.end(), [](const TSpan& p, const TSpan& q) {
            return p.line != q.line ? p.line < q.line : p.low < q.low;
        });
        for (size_t i = 0; i < spans.size();) {
            TSpan run = spans[i];
            for (++i; i < spans.size() && spans[i].line == run.line && spans[i].low <= run.high;
                 ++i) {
                run.high = std::max(run.high, spans[i].high);
            }
            if (run.low == run.high) continue;
            edges.push_back(isHorizontal ? TFaceEdge{{run.low, run.line}, {run.high, run.line}}
                                         : TFaceEdge{{run.line, run.low}, {run.line, run.high}});
        }
    };
    merge(horizontal, true);
    merge(vertical, false);
}

std::vector<TRealPoint> ChainOpenEnds(const TJwwEntityStore& store, const TRegionFilter& filter) {
    TAr2RealPoint closedFigures;
    const std::vector<TBoundarySegment> segments =
        CollectRegionSources(store, kMinArcDivisions, filter, closedFigures);
    // An end that is not a finite point meets nothing and has no place to be marked.
    auto finite = [](const TRealPoint& p) { return std::isfinite(p.X) && std::isfinite(p.Y); };
    TEndIndex index;
    for (size_t i = 0; i < segments.size(); ++i) {
        for (const TRealPoint& end : {segments[i].StartPoint, segments[i].EndPoint}) {
            if (finite(end)) index.Add(end, i);
        }
    }
    index.Build();
    std::vector<TRealPoint> open;
    for (size_t i = 0; i < segments.size(); ++i) {
        for (const TRealPoint& end : {segments[i].StartPoint, segments[i].EndPoint}) {
            if (finite(end) && index.Other(end, i, false) == nullptr) open.push_back(end);
        }
    }
    std::sort(open.begin(), open.end(), [](const TRealPoint& a, const TRealPoint& b) {
        return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
    });
    return open;
}

}  // namespace veldra
