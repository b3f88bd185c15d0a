// The noding on a power-of-two grid: every coordinate times 2^scale is an integer, so
// whether two edges meet, where along each, and which meetings are one point are all
// decided exactly in integers. Here: the grid, the meetings sorted along each edge,
// meetings at one point made one vertex, and the pieces between vertices (the
// meetings themselves are found in faces_noding_meetings.cpp).

#include "regions/faces_noding.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>

namespace veldra {

namespace {

constexpr double kTwo62 = 4611686018427387904.0;
constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

// The exponent of the lowest set bit of a non-zero finite double.
int LowestBit(double v) {
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(v), &exponent);
    const auto bits = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    return exponent - 53 + std::countr_zero(bits);
}

// Union-find over the nodes; the smallest node of a set is its root, so a set with a
// drawn end has that end as its root.
uint32_t Root(std::vector<uint32_t>& parent, uint32_t v) {
    while (parent[v] != v) {
        parent[v] = parent[parent[v]];
        v = parent[v];
    }
    return v;
}

void Unite(std::vector<uint32_t>& parent, uint32_t a, uint32_t b) {
    a = Root(parent, a);
    b = Root(parent, b);
    if (a < b) {
        parent[b] = a;
    } else if (b < a) {
        parent[a] = b;
    }
}

}  // namespace

TGridNoding::TResult TGridNoding::Node(const std::vector<TFaceEdge>& edges, const AbortPoll& poll,
                                       const FaceProgress& progress) {
    auto stopAt = [&](double fraction) {
        if (progress) progress(fraction);
        return CheckAbort(poll);
    };
    // The grid: the coarsest power of two that holds every coordinate as an integer.
    int needed = std::numeric_limits<int>::min();
    for (const TFaceEdge& e : edges) {
        for (double v : {e.a.X, e.a.Y, e.b.X, e.b.Y}) {
            if (!std::isfinite(v)) return TResult::NotOnGrid;
            if (v != 0) needed = std::max(needed, -LowestBit(v));
        }
    }
    scale_ = needed == std::numeric_limits<int>::min() ? 0 : needed;
    if (scale_ > 1100 || scale_ < -1100) return TResult::NotOnGrid;
    auto grid = [this](double v, int64_t& out) {
        const double scaled = std::ldexp(v, scale_);
        if (!(std::fabs(scaled) < kTwo62)) return false;
        out = static_cast<int64_t>(scaled);
        return true;
    };
    std::vector<TSegment> raw(edges.size());
    int64_t minX = std::numeric_limits<int64_t>::max(), minY = minX;
    int64_t maxX = std::numeric_limits<int64_t>::min(), maxY = maxX;
    for (size_t i = 0; i < edges.size(); ++i) {
        TSegment& s = raw[i];
        if (!grid(edges[i].a.X, s.a.x) || !grid(edges[i].a.Y, s.a.y) ||
            !grid(edges[i].b.X, s.b.x) || !grid(edges[i].b.Y, s.b.y)) {
            return TResult::NotOnGrid;
        }
        minX = std::min({minX, s.a.x, s.b.x});
        minY = std::min({minY, s.a.y, s.b.y});
        maxX = std::max({maxX, s.a.x, s.b.x});
        maxY = std::max({maxY, s.a.y, s.b.y});
    }
    // Differences of grid points must stay below 2^62 (see faces_exact.h).
    if (edges.empty() || maxX - minX >= int64_t(1) << 62 || maxY - minY >= int64_t(1) << 62) {
        return edges.empty() ? TResult::Noded : TResult::NotOnGrid;
    }
    originX_ = minX;
    originY_ = minY;
    segments_.clear();
    segments_.reserve(raw.size());
    for (TSegment s : raw) {
        s.a.x -= minX, s.a.y -= minY, s.b.x -= minX, s.b.y -= minY;
        if (s.a.x == s.b.x && s.a.y == s.b.y) continue;
        segments_.push_back(s);
    }
    raw = {};

    // The drawn ends, each distinct point once, are the first vertices.
    const size_t n = segments_.size();
    std::vector<uint32_t> order(2 * n);
    std::iota(order.begin(), order.end(), 0u);
    auto endOf = [this](uint32_t k) -> const TIntPoint& {
        return k % 2 == 0 ? segments_[k / 2].a : segments_[k / 2].b;
    };
    std::sort(order.begin(), order.end(), [&](uint32_t p, uint32_t q) {
        const TIntPoint &u = endOf(p), &v = endOf(q);
        return u.x != v.x ? u.x < v.x : u.y < v.y;
    });
    segmentEnds_.assign(2 * n, 0);
    ends_.clear();
    for (size_t i = 0; i < order.size(); ++i) {
        const TIntPoint& p = endOf(order[i]);
        if (i == 0 || p.x != ends_.back().x || p.y != ends_.back().y) ends_.push_back(p);
        segmentEnds_[order[i]] = static_cast<uint32_t>(ends_.size() - 1);
    }
    order = {};
    endCount_ = static_cast<uint32_t>(ends_.size());
    nodeCount_ = endCount_;
    along_.clear();
    along_.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        const auto segment = static_cast<uint32_t>(i);
        along_.push_back({{0, 1}, segment, segmentEnds_[2 * i]});
        along_.push_back({{1, 1}, segment, segmentEnds_[2 * i + 1]});
    }

    std::vector<uint64_t> pairs;
    const TResult found = FindMeetings(poll, pairs);
    if (found != TResult::Noded) return found;
    if (stopAt(0.2)) return TResult::Aborted;
    for (uint64_t key : pairs) AddMeeting(uint32_t(key >> 32), uint32_t(key));
    pairs = {};
    if (!SortAlongSegments(poll) || stopAt(0.4)) return TResult::Aborted;
    MakeVertices();
    MakePieces();
    return stopAt(0.5) ? TResult::Aborted : TResult::Noded;
}

bool TGridNoding::SortAlongSegments(const AbortPoll& poll) {
    const size_t n = segments_.size();
    segmentStart_.assign(n + 1, 0);
    for (const TOnSegment& p : along_) ++segmentStart_[p.segment + 1];
    for (size_t i = 1; i <= n; ++i) segmentStart_[i] += segmentStart_[i - 1];
    {
        std::vector<TOnSegment> sorted(along_.size());
        std::vector<uint32_t> fill(segmentStart_.begin(), segmentStart_.end() - 1);
        for (const TOnSegment& p : along_) sorted[fill[p.segment]++] = p;
        along_ = std::move(sorted);
    }
    nodeVertex_.resize(nodeCount_);
    std::iota(nodeVertex_.begin(), nodeVertex_.end(), 0u);
    for (size_t i = 0; i < n; ++i) {
        if (i % 4096 == 4095 && CheckAbort(poll)) return false;
        auto first = along_.begin() + segmentStart_[i],
             last = along_.begin() + segmentStart_[i + 1];
        std::sort(first, last, [](const TOnSegment& p, const TOnSegment& q) {
            return CompareParams(p.at, q.at) < 0;
        });
        // Meetings at one point of a segment are one vertex.
        for (auto it = first; it + 1 < last; ++it) {
            if (CompareParams(it->at, (it + 1)->at) == 0)
                Unite(nodeVertex_, it->node, (it + 1)->node);
        }
    }
    return true;
}

void TGridNoding::MakeVertices() {
    std::vector<uint32_t>& parent = nodeVertex_;
    for (uint32_t v = 0; v < nodeCount_; ++v) parent[v] = Root(parent, v);
    // Roots keep their order; drawn ends are the first vertices, with their ids.
    std::vector<uint32_t> id(nodeCount_, kNone);
    uint32_t next = 0;
    for (uint32_t v = 0; v < nodeCount_; ++v) {
        if (parent[v] == v) id[v] = next++;
    }
    for (uint32_t v = 0; v < nodeCount_; ++v) parent[v] = id[parent[v]];
    points_.assign(next, TRealPoint{});
    std::vector<char> placed(next, 0);
    auto real = [this](long double x, int64_t origin) {
        return static_cast<double>(std::ldexp(x + static_cast<long double>(origin), -scale_));
    };
    for (uint32_t v = 0; v < endCount_; ++v) {
        points_[v] = {real(ends_[v].x, originX_), real(ends_[v].y, originY_)};
        placed[v] = 1;
    }
    for (const TOnSegment& p : along_) {
        const uint32_t v = parent[p.node];
        if (placed[v]) continue;
        const TSegment& s = segments_[p.segment];
        const long double t = static_cast<long double>(p.at.n) / static_cast<long double>(p.at.d);
        points_[v] = {real(s.a.x + t * static_cast<long double>(s.b.x - s.a.x), originX_),
                      real(s.a.y + t * static_cast<long double>(s.b.y - s.a.y), originY_)};
        placed[v] = 1;
    }
}

void TGridNoding::MakePieces() {
    // Every run between two vertices of a segment, then each once.
    std::vector<TPiece> raw;
    pieceAfter_.assign(along_.size(), kNone);
    for (size_t i = 0; i < segments_.size(); ++i) {
        const TSegment& s = segments_[i];
        const int64_t dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
        size_t runStart = segmentStart_[i];
        for (size_t k = runStart + 1; k < segmentStart_[i + 1]; ++k) {
            const uint32_t from = nodeVertex_[along_[runStart].node];
            const uint32_t to = nodeVertex_[along_[k].node];
            if (from == to) continue;
            for (size_t j = runStart; j < k; ++j) pieceAfter_[j] = uint32_t(raw.size());
            raw.push_back(from < to ? TPiece{from, to, dx, dy} : TPiece{to, from, -dx, -dy});
            runStart = k;
        }
    }
    std::vector<uint32_t> order(raw.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&raw](uint32_t p, uint32_t q) {
        return raw[p].from != raw[q].from ? raw[p].from < raw[q].from : raw[p].to < raw[q].to;
    });
    std::vector<uint32_t> unique(raw.size());
    pieces_.clear();
    for (const uint32_t index : order) {
        const TPiece& p = raw[index];
        if (pieces_.empty() || pieces_.back().from != p.from || pieces_.back().to != p.to) {
            pieces_.push_back(p);
        }
        unique[index] = uint32_t(pieces_.size() - 1);
    }
    for (uint32_t& p : pieceAfter_) {
        if (p != kNone) p = unique[p];
    }
}

}  // namespace veldra
