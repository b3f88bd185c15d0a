// The noding on a power-of-two grid: every coordinate times 2^scale is an integer, so
// whether two edges meet, where along each, and which meetings are one point are all
// decided exactly in integers. Pairs to test come from a uniform grid whose cells an
// edge is listed in with a margin, so rounding in the listing never loses a pair.

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
// Cells the poll is asked after.
constexpr size_t kPollCells = 256;
// Pair tests beyond this (many long edges sharing cells, where a sweep does better):
// the noding declines and the geometry library's sweep takes the linework. About two
// seconds of tests.
constexpr uint64_t kMaxPairTests = 200'000'000;

// The exponent of the lowest set bit of a non-zero finite double.
int LowestBit(double v) {
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(v), &exponent);
    const auto bits = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    return exponent - 53 + std::countr_zero(bits);
}

TInt128 DotProduct(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    return TInt128(ax) * bx + TInt128(ay) * by;
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
    for (uint32_t i = 0; i < n; ++i) {
        along_.push_back({{0, 1}, i, segmentEnds_[2 * i]});
        along_.push_back({{1, 1}, i, segmentEnds_[2 * i + 1]});
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

template <class Visit>
void TGridNoding::CellsOf(const TSegment& s, Visit&& visit) const {
    auto column = [this](double x) {
        return std::clamp<int64_t>(static_cast<int64_t>(std::floor(x / cell_)), 0, nx_ - 1);
    };
    auto row = [this](double y) {
        return std::clamp<int64_t>(static_cast<int64_t>(std::floor(y / cell_)), 0, ny_ - 1);
    };
    const double ax = double(s.a.x), ay = double(s.a.y), bx = double(s.b.x), by = double(s.b.y);
    const double x0 = std::min(ax, bx), x1 = std::max(ax, bx);
    const int64_t c0 = column(x0 - margin_), c1 = column(x1 + margin_);
    for (int64_t c = c0; c <= c1; ++c) {
        double ylo = std::min(ay, by), yhi = std::max(ay, by);
        if (s.a.x != s.b.x) {
            // The segment's heights where it enters and leaves the column.
            const double lo = std::max(x0, double(c) * cell_ - margin_);
            const double hi = std::min(x1, double(c + 1) * cell_ + margin_);
            const double slope = (by - ay) / (bx - ax);
            const double y0 = ay + (lo - ax) * slope, y1 = ay + (hi - ax) * slope;
            ylo = std::max(ylo, std::min(y0, y1));
            yhi = std::min(yhi, std::max(y0, y1));
        }
        const int64_t r1 = row(yhi + margin_);
        for (int64_t r = row(ylo - margin_); r <= r1; ++r) visit(size_t(r * nx_ + c));
    }
}

namespace {

// Whether two segments meet, exactly; fills the fractions along each when they cross
// or touch in one point (collinear overlaps are handled by the caller).
enum class TMeet { None, Point, Collinear };

TMeet Meet(const TIntPoint& a, const TIntPoint& b, const TIntPoint& c, const TIntPoint& d,
           TParam& onE, TParam& onF) {
    if (std::max(a.x, b.x) < std::min(c.x, d.x) || std::max(c.x, d.x) < std::min(a.x, b.x) ||
        std::max(a.y, b.y) < std::min(c.y, d.y) || std::max(c.y, d.y) < std::min(a.y, b.y)) {
        return TMeet::None;
    }
    const int64_t rx = b.x - a.x, ry = b.y - a.y, sx = d.x - c.x, sy = d.y - c.y;
    const int64_t qx = c.x - a.x, qy = c.y - a.y;
    TInt128 den = Cross(rx, ry, sx, sy);
    if (den == 0) return Cross(qx, qy, rx, ry) == 0 ? TMeet::Collinear : TMeet::None;
    TInt128 t = Cross(qx, qy, sx, sy), u = Cross(qx, qy, rx, ry);
    if (den < 0) den = -den, t = -t, u = -u;
    if (t < 0 || t > den || u < 0 || u > den) return TMeet::None;
    onE = {t, den};
    onF = {u, den};
    return TMeet::Point;
}

bool AtAnEnd(const TParam& p) {
    return p.n == 0 || p.n == p.d;
}

}  // namespace

TGridNoding::TResult TGridNoding::FindMeetings(const AbortPoll& poll,
                                               std::vector<uint64_t>& pairs) {
    const size_t n = segments_.size();
    double w = 0, h = 0, length = 0;
    for (const TSegment& s : segments_) {
        w = std::max({w, double(s.a.x), double(s.b.x)});
        h = std::max({h, double(s.a.y), double(s.b.y)});
        length += std::hypot(double(s.b.x - s.a.x), double(s.b.y - s.a.y));
    }
    const double count = double(std::max<size_t>(n, 1));
    cell_ = std::max({std::sqrt(std::max(w, 1.0) * std::max(h, 1.0) / count), length / (8 * count),
                      (w + h) / (2 * count + 1), (w + h) * 1e-9, 1.0});
    nx_ = static_cast<int64_t>(w / cell_) + 1;
    ny_ = static_cast<int64_t>(h / cell_) + 1;
    // Doubles hold grid points to 2^-53 of their size: the margin covers that many
    // times over, and is far below a cell.
    margin_ = 1e-9 * (w + h) + 1e-6 * cell_ + 1.0;

    const size_t cells = size_t(nx_ * ny_);
    cellStart_.assign(cells + 1, 0);
    for (const TSegment& s : segments_) CellsOf(s, [&](size_t c) { ++cellStart_[c + 1]; });
    for (size_t c = 1; c <= cells; ++c) cellStart_[c] += cellStart_[c - 1];
    cellItems_.resize(cellStart_.back());
    {
        std::vector<uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
        for (uint32_t i = 0; i < n; ++i) {
            CellsOf(segments_[i], [&](size_t c) { cellItems_[fill[c]++] = i; });
        }
    }
    uint64_t tests = 0, nextPoll = 1u << 22;
    for (size_t c = 0; c < cells; ++c) {
        if (c % kPollCells == kPollCells - 1 && CheckAbort(poll)) return TResult::Aborted;
        for (uint32_t i = cellStart_[c]; i < cellStart_[c + 1]; ++i) {
            const uint32_t e = cellItems_[i];
            const TSegment& se = segments_[e];
            tests += cellStart_[c + 1] - i - 1;
            if (tests > kMaxPairTests) return TResult::Declined;
            // Crowded cells: the poll is also asked every few million tests.
            if (tests > nextPoll) {
                if (CheckAbort(poll)) return TResult::Aborted;
                nextPoll = tests + (1u << 22);
            }
            for (uint32_t j = i + 1; j < cellStart_[c + 1]; ++j) {
                const uint32_t f = cellItems_[j];
                const TSegment& sf = segments_[f];
                TParam onE, onF;
                const TMeet meet = Meet(se.a, se.b, sf.a, sf.b, onE, onF);
                // A shared drawn end is one vertex already.
                if (meet == TMeet::None || (meet == TMeet::Point && AtAnEnd(onE) && AtAnEnd(onF))) {
                    continue;
                }
                pairs.push_back(uint64_t(std::min(e, f)) << 32 | std::max(e, f));
            }
        }
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return TResult::Noded;
}

void TGridNoding::AddMeeting(uint32_t e, uint32_t f) {
    const TSegment& se = segments_[e];
    const TSegment& sf = segments_[f];
    auto add = [&](const TParam& onE, const TParam& onF) {
        if (AtAnEnd(onE) && AtAnEnd(onF)) return;
        along_.push_back({onE, e, nodeCount_});
        along_.push_back({onF, f, nodeCount_});
        ++nodeCount_;
    };
    TParam onE, onF;
    const TMeet meet = Meet(se.a, se.b, sf.a, sf.b, onE, onF);
    if (meet == TMeet::Point) {
        add(onE, onF);
        return;
    }
    if (meet != TMeet::Collinear) return;
    // An overlap: each segment's ends that lie on the other.
    const int64_t rx = se.b.x - se.a.x, ry = se.b.y - se.a.y;
    const int64_t sx = sf.b.x - sf.a.x, sy = sf.b.y - sf.a.y;
    const TInt128 lenE = DotProduct(rx, ry, rx, ry), lenF = DotProduct(sx, sy, sx, sy);
    auto onSegment = [](TInt128 t, TInt128 len) { return t >= 0 && t <= len; };
    const TInt128 tc = DotProduct(sf.a.x - se.a.x, sf.a.y - se.a.y, rx, ry);
    const TInt128 td = DotProduct(sf.b.x - se.a.x, sf.b.y - se.a.y, rx, ry);
    const TInt128 ua = DotProduct(se.a.x - sf.a.x, se.a.y - sf.a.y, sx, sy);
    const TInt128 ub = DotProduct(se.b.x - sf.a.x, se.b.y - sf.a.y, sx, sy);
    if (onSegment(tc, lenE)) add({tc, lenE}, {0, 1});
    if (onSegment(td, lenE)) add({td, lenE}, {1, 1});
    if (onSegment(ua, lenF)) add({0, 1}, {ua, lenF});
    if (onSegment(ub, lenF)) add({1, 1}, {ub, lenF});
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
    for (size_t i = 0; i < order.size(); ++i) {
        const TPiece& p = raw[order[i]];
        if (pieces_.empty() || pieces_.back().from != p.from || pieces_.back().to != p.to) {
            pieces_.push_back(p);
        }
        unique[order[i]] = uint32_t(pieces_.size() - 1);
    }
    for (uint32_t& p : pieceAfter_) {
        if (p != kNone) p = unique[p];
    }
}

uint32_t TGridNoding::PieceAbove(TIntPoint p) const {
    const int64_t column = std::clamp<int64_t>(
        static_cast<int64_t>(std::floor((double(p.x) - 0.5) / cell_)), 0, nx_ - 1);
    int64_t row = std::clamp<int64_t>(
        static_cast<int64_t>(std::floor((double(p.y) - margin_) / cell_)), 0, ny_ - 1);
    // The best hit as its height times its width, its width and its rise.
    uint32_t best = kNone;
    TInt128 bestHeight = 0;
    int64_t bestWidth = 1, bestRise = 0;
    double bestY = 0;
    for (; row < ny_; ++row) {
        if (best != kNone && double(row) * cell_ > bestY + margin_) break;
        const size_t c = size_t(row * nx_ + column);
        for (uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
            const uint32_t i = cellItems_[k];
            const TSegment& s = segments_[i];
            if (s.a.x == s.b.x) continue;
            const TIntPoint& l = s.a.x < s.b.x ? s.a : s.b;
            const TIntPoint& r = s.a.x < s.b.x ? s.b : s.a;
            if (!(l.x < p.x && p.x <= r.x)) continue;
            const int64_t width = r.x - l.x, rise = r.y - l.y;
            const TInt128 height = TInt128(l.y) * width + TInt128(p.x - l.x) * rise;
            if (height <= TInt128(p.y) * width) continue;
            if (best != kNone) {
                const int order = CompareProducts(height, bestWidth, bestHeight, width);
                // At one height, the steeper is the lower just left of it.
                if (order > 0 ||
                    (order == 0 && TInt128(rise) * bestWidth <= TInt128(bestRise) * width)) {
                    continue;
                }
            }
            best = i;
            bestHeight = height;
            bestWidth = width;
            bestRise = rise;
            bestY = double(height) / double(width);
        }
    }
    if (best == kNone) return kNone;
    // The piece of that segment just left of the ray.
    const TSegment& s = segments_[best];
    auto first = along_.begin() + segmentStart_[best],
         last = along_.begin() + segmentStart_[best + 1];
    if (s.b.x > s.a.x) {
        const TParam at{p.x - s.a.x, s.b.x - s.a.x};
        auto after = std::partition_point(
            first, last, [&](const TOnSegment& q) { return CompareParams(q.at, at) < 0; });
        return pieceAfter_[size_t(after - along_.begin()) - 1];
    }
    const TParam at{s.a.x - p.x, s.a.x - s.b.x};
    auto after = std::partition_point(
        first, last, [&](const TOnSegment& q) { return CompareParams(q.at, at) <= 0; });
    return pieceAfter_[size_t(after - along_.begin()) - 1];
}

}  // namespace veldra
