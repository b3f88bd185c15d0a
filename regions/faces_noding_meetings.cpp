// The meetings of the noding on a power-of-two grid: pairs of edges to test come from a
// uniform grid of cells an edge is listed in with a margin, so that rounding in the
// listing never loses a pair; each pair is then decided exactly in integers. The same
// cells find the piece straight above a point.

#include <algorithm>
#include <cmath>
#include <limits>

#include "regions/faces_noding.h"

namespace veldra {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
// Cells the poll is asked after.
constexpr size_t kPollCells = 256;
// Pair tests beyond this (many long edges sharing cells, where a sweep does better):
// the noding declines and the geometry library's sweep takes the linework. About two
// seconds of tests.
constexpr uint64_t kMaxPairTests = 200'000'000;

TInt128 DotProduct(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    return TInt128(ax) * bx + TInt128(ay) * by;
}

}  // namespace

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
