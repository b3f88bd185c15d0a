#include "regions/region_bridges.h"

#include <algorithm>
#include <cmath>

#include "common/tolerances.h"

namespace veldra {

namespace {

// Grouping end points looks at the points in the cells around each one; a drawing
// that piles far more points than this into single cells is left to the plain walk.
constexpr int64_t kLooksPerPoint = 64;
constexpr int64_t kLooksAllowance = 1 << 20;

const TRealPoint& EndOf(const std::vector<TBoundarySegment>& segments, int32_t point) {
    const TBoundarySegment& s = segments[static_cast<size_t>(point / 2)];
    return point % 2 == 0 ? s.StartPoint : s.EndPoint;
}

}  // namespace

TBridgeMemo::TBridgeMemo(const std::vector<TBoundarySegment>& segments, TEndPointIndex& index)
    : index_(index) {
    enabled_ = GroupPoints(segments, index);
    if (!enabled_) {
        vertex_.clear();
        return;
    }
    for (size_t p = 0; p < vertex_.size(); ++p) vertex_[p] = Root(static_cast<int32_t>(p));
    BuildAdjacency();
    bridge_.assign(segments.size(), 0);
    localOf_.assign(vertex_.size(), 0);
    stampOf_.assign(vertex_.size(), 0);
    std::vector<int32_t> all(segments.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int32_t>(i);
    MarkBridges(all);
}

void TBridgeMemo::LearnFromFailedAttempt(const std::vector<int32_t>& walked) {
    if (enabled_) MarkBridges(walked);
}

int32_t TBridgeMemo::Root(int32_t point) {
    int32_t root = point;
    while (vertex_[static_cast<size_t>(root)] != root) root = vertex_[static_cast<size_t>(root)];
    while (vertex_[static_cast<size_t>(point)] != root) {
        int32_t next = vertex_[static_cast<size_t>(point)];
        vertex_[static_cast<size_t>(point)] = root;
        point = next;
    }
    return root;
}

// Unites the end points that are the same point and checks that each group is tidy:
// its extent within 1e-8 on both axes, so that every two of its points are the same
// point (a rounded difference grows with the exact one, so the extreme pair decides).
bool TBridgeMemo::GroupPoints(const std::vector<TBoundarySegment>& segments,
                              TEndPointIndex& index) {
    const int32_t points = static_cast<int32_t>(segments.size() * 2);
    vertex_.resize(static_cast<size_t>(points));
    for (int32_t p = 0; p < points; ++p) vertex_[static_cast<size_t>(p)] = p;
    std::vector<std::pair<int32_t, int32_t>> pairs;
    if (!index.SamePointPairs(kLooksPerPoint * points + kLooksAllowance, pairs)) return false;
    for (const auto& [p, q] : pairs) {
        int32_t a = Root(p), b = Root(q);
        if (a != b) vertex_[static_cast<size_t>(std::max(a, b))] = std::min(a, b);
    }
    struct Extent {
        double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    };
    std::vector<Extent> extents(static_cast<size_t>(points));
    for (int32_t p = 0; p < points; ++p) {
        const TRealPoint& q = EndOf(segments, p);
        Extent& e = extents[static_cast<size_t>(Root(p))];
        e.minX = std::min(e.minX, q.X);
        e.maxX = std::max(e.maxX, q.X);
        e.minY = std::min(e.minY, q.Y);
        e.maxY = std::max(e.maxY, q.Y);
    }
    for (int32_t p = 0; p < points; ++p) {
        if (Root(p) != p) continue;
        const Extent& e = extents[static_cast<size_t>(p)];
        // A lone point that is not finite has a NaN extent: it is its own vertex anyway.
        if (e.maxX - e.minX > kPointTolerance || e.maxY - e.minY > kPointTolerance) {
            return false;
        }
    }
    return true;
}

// Bridges of the walked segments by one depth-first search (low links), without
// recursion so that long chains cannot exhaust the stack.
void TBridgeMemo::MarkBridges(const std::vector<int32_t>& walked) {
    if (walked.empty()) return;
    if (++stamp_ == 0) {
        std::fill(stampOf_.begin(), stampOf_.end(), 0);
        stamp_ = 1;
    }
    // Local numbers of the vertices touched.
    int32_t vertices = 0;
    auto local = [&](int32_t point) {
        size_t root = static_cast<size_t>(Root(point));
        if (stampOf_[root] != stamp_) {
            stampOf_[root] = stamp_;
            localOf_[root] = vertices++;
        }
        return localOf_[root];
    };
    const size_t edges = walked.size();
    std::vector<int32_t> from(edges), to(edges);
    for (size_t e = 0; e < edges; ++e) {
        from[e] = local(walked[e] * 2);
        to[e] = local(walked[e] * 2 + 1);
    }
    // Adjacency in compressed rows: (neighbour, edge) pairs.
    std::vector<int32_t> first(static_cast<size_t>(vertices) + 1, 0);
    for (size_t e = 0; e < edges; ++e) {
        ++first[static_cast<size_t>(from[e]) + 1];
        ++first[static_cast<size_t>(to[e]) + 1];
    }
    for (int32_t v = 0; v < vertices; ++v) first[v + 1] += first[v];
    std::vector<int32_t> fill(first.begin(), first.end() - 1);
    std::vector<int32_t> adjVertex(edges * 2), adjEdge(edges * 2);
    for (size_t e = 0; e < edges; ++e) {
        int32_t a = from[e], b = to[e];
        adjVertex[static_cast<size_t>(fill[a])] = b;
        adjEdge[static_cast<size_t>(fill[a]++)] = static_cast<int32_t>(e);
        adjVertex[static_cast<size_t>(fill[b])] = a;
        adjEdge[static_cast<size_t>(fill[b]++)] = static_cast<int32_t>(e);
    }

    std::vector<int32_t> order(static_cast<size_t>(vertices), -1), low(order.size(), 0);
    struct Frame {
        int32_t vertex, parentEdge, next;
    };
    std::vector<Frame> stack;
    int32_t time = 0;
    for (int32_t root = 0; root < vertices; ++root) {
        if (order[root] >= 0) continue;
        order[root] = low[root] = time++;
        stack.push_back({root, -1, first[root]});
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.next < first[f.vertex + 1]) {
                int32_t w = adjVertex[static_cast<size_t>(f.next)];
                int32_t e = adjEdge[static_cast<size_t>(f.next)];
                ++f.next;
                if (e == f.parentEdge) continue;
                if (order[w] < 0) {
                    order[w] = low[w] = time++;
                    stack.push_back({w, e, first[w]});
                } else {
                    low[f.vertex] = std::min(low[f.vertex], order[w]);
                }
                continue;
            }
            Frame done = f;
            stack.pop_back();
            if (stack.empty()) break;
            int32_t parent = stack.back().vertex;
            low[parent] = std::min(low[parent], low[done.vertex]);
            if (low[done.vertex] > order[parent]) {
                int32_t segment = walked[static_cast<size_t>(done.parentEdge)];
                bridge_[static_cast<size_t>(segment)] = 1;
                index_.Retire(segment);
            }
        }
    }
}

}  // namespace veldra
