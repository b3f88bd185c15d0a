// Gap tolerance: every free end of a line or open arc is extended along its own
// direction by the tolerance; where the extension meets other linework (or the
// extension of another free end) it is joined there, and two free ends that still
// see nothing are joined when they lie within the tolerance of each other. Hits are
// found here in doubles on a uniform grid, so an extension never crosses more than it
// joins and a huge tolerance cannot multiply the crossings of the exact noding.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

#include "common/tolerances.h"
#include "regions/faces_linework.h"

namespace veldra {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// A free end that lies this close to other linework meets it already.
constexpr double kTouching = 1e-12;
// Candidates looked at per end when pairing free ends: bounds the work when a huge
// tolerance puts every end into one cell.
constexpr size_t kMaxPairCandidates = 256;

double Cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

// A free end: the point, its unit direction outwards, its polyline and which end.
struct TFreeEnd {
    TRealPoint point;
    double dx = 0.0, dy = 0.0;
    size_t line = 0;
    bool front = false;
    double reach = 0.0;         // distance to the first hit; kInf when none
    size_t hitLine = SIZE_MAX;  // the polyline the first hit is on, if any
    bool paired = false;
};

// An edge of the grid: a polyline piece (owner = polyline, index = piece) or an
// extension (owner = free end).
struct TGridEdge {
    TRealPoint a, b;
    size_t owner;
    size_t index;
};

// Edges by the cells they pass through, in one flat array.
class TEdgeGrid {
  public:
    TEdgeGrid(std::vector<TGridEdge> edges, double minX, double minY, double cell, size_t nx,
              size_t ny)
        : edges_(std::move(edges)), minX_(minX), minY_(minY), cell_(cell), nx_(nx), ny_(ny) {
        std::vector<uint32_t> counts(nx_ * ny_ + 1, 0);
        for (const TGridEdge& e : edges_) {
            Walk(e.a, e.b, [&](size_t c, double) { return ++counts[c], true; });
        }
        start_.assign(counts.size() + 1, 0);
        for (size_t c = 0; c < counts.size(); ++c) start_[c + 1] = start_[c] + counts[c];
        items_.resize(start_.back());
        std::vector<uint32_t> fill(start_.begin(), start_.end() - 1);
        for (uint32_t i = 0; i < edges_.size(); ++i) {
            Walk(edges_[i].a, edges_[i].b,
                 [&](size_t c, double) { return items_[fill[c]++] = i, true; });
        }
        seen_.assign(edges_.size(), 0);
    }

    const TGridEdge& Edge(uint32_t i) const { return edges_[i]; }

    // Visits the cells from a to b in order with the segment parameter (0..1) at which
    // each is entered; stops when `visit` returns false.
    template <class Visit>
    void Walk(const TRealPoint& a, const TRealPoint& b, Visit&& visit) const {
        auto cellX = [&](double x) {
            return static_cast<size_t>(
                std::clamp(std::floor((x - minX_) / cell_), 0.0, double(nx_ - 1)));
        };
        auto cellY = [&](double y) {
            return static_cast<size_t>(
                std::clamp(std::floor((y - minY_) / cell_), 0.0, double(ny_ - 1)));
        };
        size_t ix = cellX(a.X), iy = cellY(a.Y);
        const size_t ex = cellX(b.X), ey = cellY(b.Y);
        const double dx = b.X - a.X, dy = b.Y - a.Y;
        const int sx = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
        const int sy = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
        double tx = sx == 0 ? kInf : (minX_ + (double(ix) + (sx > 0)) * cell_ - a.X) / dx;
        double ty = sy == 0 ? kInf : (minY_ + (double(iy) + (sy > 0)) * cell_ - a.Y) / dy;
        const double stepX = sx == 0 ? kInf : cell_ / std::fabs(dx);
        const double stepY = sy == 0 ? kInf : cell_ / std::fabs(dy);
        double t = 0.0;
        for (size_t guard = nx_ + ny_ + 2; guard > 0; --guard) {
            if (!visit(iy * nx_ + ix, t)) return;
            if (ix == ex && iy == ey) return;
            if (tx < ty) {
                if ((sx < 0 && ix == 0) || (sx > 0 && ix + 1 >= nx_)) return;
                ix += sx;
                t = tx;
                tx += stepX;
            } else {
                if (sy == 0 || (sy < 0 && iy == 0) || (sy > 0 && iy + 1 >= ny_)) return;
                iy += sy;
                t = ty;
                ty += stepY;
            }
        }
    }

    // Calls `f(edgeIndex)` once for every edge of the cells along a to b, in walking
    // order, while `f` returns true; `stopAt(t)` ends the walk before a cell entered at t.
    template <class F, class StopAt>
    void ForEdgesAlong(const TRealPoint& a, const TRealPoint& b, F&& f, StopAt&& stopAt) {
        ++stamp_;
        Walk(a, b, [&](size_t c, double t) {
            if (stopAt(t)) return false;
            for (uint32_t k = start_[c]; k < start_[c + 1]; ++k) {
                const uint32_t i = items_[k];
                if (seen_[i] == stamp_) continue;
                seen_[i] = stamp_;
                f(i);
            }
            return true;
        });
    }

  private:
    std::vector<TGridEdge> edges_;
    double minX_, minY_, cell_;
    size_t nx_, ny_;
    std::vector<uint32_t> start_;
    std::vector<uint32_t> items_;
    std::vector<uint32_t> seen_;
    uint32_t stamp_ = 0;
};

struct TBounds {
    double minX = kInf, minY = kInf, maxX = -kInf, maxY = -kInf;
    double length = 0.0;
    size_t edges = 0;
    void Add(const TRealPoint& a, const TRealPoint& b) {
        minX = std::min({minX, a.X, b.X});
        minY = std::min({minY, a.Y, b.Y});
        maxX = std::max({maxX, a.X, b.X});
        maxY = std::max({maxY, a.Y, b.Y});
        length += std::hypot(b.X - a.X, b.Y - a.Y);
        ++edges;
    }
    double Diagonal() const { return edges == 0 ? 0.0 : std::hypot(maxX - minX, maxY - minY); }
};

// A cell size that keeps both the cell count and the entries within a few per edge.
TEdgeGrid MakeGrid(std::vector<TGridEdge> edges, const TBounds& b) {
    const double w = b.maxX - b.minX, h = b.maxY - b.minY, diag = b.Diagonal();
    const double n = static_cast<double>(std::max<size_t>(b.edges, 1));
    double cell = std::max({std::sqrt(w * h / (2.0 * n)), b.length / (8.0 * n),
                            diag / (2.0 * n + 1.0), diag * 1e-9, kTiny});
    const size_t nx = static_cast<size_t>(w / cell) + 1, ny = static_cast<size_t>(h / cell) + 1;
    return TEdgeGrid(std::move(edges), b.minX, b.minY, cell, nx, ny);
}

double PointSegmentDistance(const TRealPoint& p, const TRealPoint& a, const TRealPoint& b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    double u = len2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2 : 0.0;
    u = std::clamp(u, 0.0, 1.0);
    return std::hypot(p.X - (a.X + u * dx), p.Y - (a.Y + u * dy));
}

// Distance along the ray (origin o, unit direction d) to segment a-b within [0, limit];
// kInf when it misses. A collinear overlap counts from its nearest point.
double RayHit(const TFreeEnd& o, double limit, const TRealPoint& a, const TRealPoint& b) {
    const double ex = b.X - a.X, ey = b.Y - a.Y;
    const double px = a.X - o.point.X, py = a.Y - o.point.Y;
    const double denom = Cross(o.dx, o.dy, ex, ey);
    const double scale = std::max(std::hypot(ex, ey), kTiny);
    if (std::fabs(denom) <= 1e-12 * scale) {
        if (std::fabs(Cross(px, py, o.dx, o.dy)) > 1e-12 * std::max(1.0, std::hypot(px, py))) {
            return kInf;
        }
        const double sa = px * o.dx + py * o.dy;
        const double sb = (b.X - o.point.X) * o.dx + (b.Y - o.point.Y) * o.dy;
        if (std::max(sa, sb) < 0) return kInf;
        const double s = std::max(0.0, std::min(sa, sb));
        return s <= limit ? s : kInf;
    }
    const double s = Cross(px, py, ex, ey) / denom;
    const double u = Cross(px, py, o.dx, o.dy) / denom;
    if (s < -1e-12 || s > limit || u < -1e-12 || u > 1.0 + 1e-12) return kInf;
    return std::max(s, 0.0);
}

// The free ends: ends of open polylines that no other linework touches.
std::vector<TFreeEnd> FreeEnds(const std::vector<TFacePolyline>& lines, TEdgeGrid& grid) {
    std::vector<TFreeEnd> ends;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<TRealPoint>& pts = lines[i].points;
        if (lines[i].closed || pts.size() < 2) continue;
        for (bool front : {true, false}) {
            TFreeEnd end;
            end.point = front ? pts.front() : pts.back();
            end.line = i;
            end.front = front;
            // The direction of the last piece of non-zero length, pointing outwards.
            for (size_t k = 1; k < pts.size(); ++k) {
                const TRealPoint& q = front ? pts[k] : pts[pts.size() - 1 - k];
                const double dx = end.point.X - q.X, dy = end.point.Y - q.Y;
                const double len = std::hypot(dx, dy);
                if (len > 0 && std::isfinite(len)) {
                    end.dx = dx / len;
                    end.dy = dy / len;
                    break;
                }
            }
            if (end.dx == 0 && end.dy == 0) continue;
            const size_t ownPiece = front ? 0 : pts.size() - 2;
            bool touching = false;
            grid.ForEdgesAlong(
                end.point, end.point,
                [&](uint32_t k) {
                    const TGridEdge& e = grid.Edge(k);
                    if (e.owner == i && e.index == ownPiece) return;
                    if (PointSegmentDistance(end.point, e.a, e.b) <= kTouching) touching = true;
                },
                [](double) { return false; });
            if (!touching) ends.push_back(end);
        }
    }
    return ends;
}

bool Near(const TRealPoint& p, const TRealPoint& q) {
    const double scale = std::max({1.0, std::fabs(p.X), std::fabs(p.Y)});
    return std::fabs(p.X - q.X) <= 1e-9 * scale && std::fabs(p.Y - q.Y) <= 1e-9 * scale;
}

// Where two extensions cross: along the first (s) and along the second (u), each within
// its length; false when they miss or run along one line (two ends facing each other
// on one line meet end to end, found with the linework).
bool ExtensionsCross(const TFreeEnd& a, double lengthA, const TFreeEnd& b, double lengthB,
                     double& s, double& u) {
    const double denom = Cross(a.dx, a.dy, b.dx, b.dy);
    if (std::fabs(denom) <= 1e-12) return false;
    const double px = b.point.X - a.point.X, py = b.point.Y - a.point.Y;
    s = Cross(px, py, b.dx, b.dy) / denom;
    u = Cross(px, py, a.dx, a.dy) / denom;
    const double slack = 1e-12 * std::max(1.0, std::hypot(px, py));
    if (s < -slack || s > lengthA || u < -slack || u > lengthB) return false;
    s = std::max(s, 0.0);
    u = std::max(u, 0.0);
    return true;
}

// Decides which extensions end at a crossing with another extension. Shortest first:
// two ends still free to stop there both do; an end meets an extension that is
// already decided only where that extension really reaches. So a join never ends on
// an extension that was cut shorter elsewhere and never made.
void ResolveExtensionCrossings(std::vector<TFreeEnd>& ends, double t, const AbortPoll& poll,
                               TGapJoins& out) {
    if (ends.empty()) return;
    auto limitOf = [t](const TFreeEnd& e) { return std::isfinite(e.reach) ? e.reach : t; };
    TBounds bounds;
    std::vector<TGridEdge> extensions;
    for (size_t n = 0; n < ends.size(); ++n) {
        const TFreeEnd& e = ends[n];
        const double len = limitOf(e);
        const TRealPoint far{e.point.X + e.dx * len, e.point.Y + e.dy * len};
        extensions.push_back({e.point, far, n, 0});
        bounds.Add(e.point, far);
    }
    TEdgeGrid grid = MakeGrid(std::move(extensions), bounds);
    struct TCandidate {
        double key, s, u;
        size_t a, b;
    };
    std::vector<TCandidate> candidates;
    for (size_t n = 0; n < ends.size(); ++n) {
        if (n % 1024 == 1023 && CheckAbort(poll)) {
            out.aborted = true;
            return;
        }
        const TFreeEnd& end = ends[n];
        const double limit = limitOf(end);
        const TRealPoint far{end.point.X + end.dx * limit, end.point.Y + end.dy * limit};
        grid.ForEdgesAlong(
            end.point, far,
            [&](uint32_t k) {
                const size_t m = grid.Edge(k).owner;
                if (m <= n) return;
                double s = 0, u = 0;
                if (ExtensionsCross(end, limit, ends[m], limitOf(ends[m]), s, u)) {
                    candidates.push_back({std::max(s, u), s, u, n, m});
                }
            },
            [](double) { return false; });
    }
    std::sort(candidates.begin(), candidates.end(), [](const TCandidate& p, const TCandidate& q) {
        if (p.key != q.key) return p.key < q.key;
        return p.a != q.a ? p.a < q.a : p.b < q.b;
    });
    // The decided length of each extension; negative while undecided.
    std::vector<double> decided(ends.size(), -1.0);
    auto reaches = [&](size_t n, double at) {
        return decided[n] < 0 ? at <= limitOf(ends[n]) : decided[n] >= at;
    };
    for (const TCandidate& c : candidates) {
        if (decided[c.a] >= 0 && decided[c.b] >= 0) continue;
        if (!reaches(c.a, c.s) || !reaches(c.b, c.u)) continue;
        if (decided[c.a] < 0) decided[c.a] = c.s;
        if (decided[c.b] < 0) decided[c.b] = c.u;
    }
    for (size_t n = 0; n < ends.size(); ++n) {
        if (decided[n] >= 0) {
            ends[n].reach = decided[n];
            ends[n].hitLine = SIZE_MAX;
        }
    }
}

}  // namespace

TGapJoins JoinGaps(const std::vector<TFacePolyline>& lines, const std::vector<TFaceEdge>& edges,
                   double tolerance, const AbortPoll& poll) {
    TGapJoins out;
    TBounds bounds;
    for (const TFaceEdge& e : edges) bounds.Add(e.a, e.b);
    // Beyond the drawing's size an extension meets nothing more.
    const double t = std::min(tolerance, bounds.Diagonal());
    if (!(t > 0) || edges.empty()) return out;

    std::vector<TGridEdge> pieces;
    pieces.reserve(edges.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<TRealPoint>& pts = lines[i].points;
        for (size_t k = 1; k < pts.size(); ++k) pieces.push_back({pts[k - 1], pts[k], i, k - 1});
    }
    TEdgeGrid grid = MakeGrid(std::move(pieces), bounds);
    std::vector<TFreeEnd> ends = FreeEnds(lines, grid);
    if (CheckAbort(poll)) return out.aborted = true, out;
    std::vector<std::vector<size_t>> endsOfLine(lines.size());
    for (size_t n = 0; n < ends.size(); ++n) endsOfLine[ends[n].line].push_back(n);

    // First hits on the linework itself.
    for (size_t n = 0; n < ends.size(); ++n) {
        TFreeEnd& end = ends[n];
        if (n % 1024 == 1023 && CheckAbort(poll)) return out.aborted = true, out;
        const TRealPoint far{end.point.X + end.dx * t, end.point.Y + end.dy * t};
        const size_t ownPiece = end.front ? 0 : lines[end.line].points.size() - 2;
        end.reach = kInf;
        grid.ForEdgesAlong(
            end.point, far,
            [&](uint32_t k) {
                const TGridEdge& e = grid.Edge(k);
                if (e.owner == end.line && e.index == ownPiece) return;
                const double hit = RayHit(end, t, e.a, e.b);
                if (hit < end.reach) {
                    end.reach = hit;
                    end.hitLine = e.owner;
                }
            },
            [&](double at) { return at * t > end.reach; });
    }

    // Then the extensions among themselves: two ends that both stop short of a corner
    // meet where their extensions cross.
    ResolveExtensionCrossings(ends, t, poll, out);
    if (out.aborted) return out;

    // Free ends that still see nothing: the nearest other such end within the
    // tolerance, each end joined once.
    std::unordered_map<int64_t, std::vector<size_t>> cells;
    auto key = [t](const TRealPoint& p, int64_t dx, int64_t dy) {
        // Clamped before the conversion: a tiny tolerance gives huge cell numbers.
        const auto cx = static_cast<int64_t>(std::clamp(std::floor(p.X / t), -1e15, 1e15)) + dx;
        const auto cy = static_cast<int64_t>(std::clamp(std::floor(p.Y / t), -1e15, 1e15)) + dy;
        // Mixed in unsigned arithmetic: the products overflow for far cells.
        return static_cast<int64_t>(static_cast<uint64_t>(cx) * 73856093u ^
                                    static_cast<uint64_t>(cy) * 19349663u);
    };
    for (size_t n = 0; n < ends.size(); ++n) {
        if (!std::isfinite(ends[n].reach)) cells[key(ends[n].point, 0, 0)].push_back(n);
    }
    for (size_t n = 0; n < ends.size(); ++n) {
        TFreeEnd& end = ends[n];
        if (std::isfinite(end.reach) || end.paired) continue;
        size_t best = n, looked = 0;
        double bestDistance = t;
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                auto it = cells.find(key(end.point, dx, dy));
                if (it == cells.end()) continue;
                for (size_t m : it->second) {
                    if (++looked > kMaxPairCandidates) break;
                    const TFreeEnd& other = ends[m];
                    if (m == n || other.paired || other.line == end.line) continue;
                    const double d =
                        std::hypot(other.point.X - end.point.X, other.point.Y - end.point.Y);
                    if (d <= bestDistance) {
                        bestDistance = d;
                        best = m;
                    }
                }
            }
        }
        if (best == n) continue;
        end.paired = ends[best].paired = true;
        out.edges.push_back({end.point, ends[best].point});
        out.joins.push_back({end.point, ends[best].point});
    }

    // Two ends on one line facing each other each hit the other's end: one join, from
    // end to end exactly.
    auto partnerOf = [&](size_t n) -> size_t {
        const TFreeEnd& end = ends[n];
        if (!std::isfinite(end.reach) || end.hitLine == SIZE_MAX) return SIZE_MAX;
        const TRealPoint hit{end.point.X + end.dx * end.reach, end.point.Y + end.dy * end.reach};
        for (size_t m : endsOfLine[end.hitLine]) {
            if (m != n && Near(ends[m].point, hit)) return m;
        }
        return SIZE_MAX;
    };
    std::vector<char> done(ends.size(), 0);
    for (size_t n = 0; n < ends.size(); ++n) {
        const size_t m = partnerOf(n);
        if (m == SIZE_MAX || done[n] || partnerOf(m) != n) continue;
        done[n] = done[m] = 1;
        out.edges.push_back({ends[n].point, ends[m].point});
        out.joins.push_back({ends[n].point, ends[m].point});
    }

    // The other joining edges reach a hair past the hit, so the exact noding sees
    // them cross.
    const double overshoot = std::min(1e-6, t * 1e-3);
    for (size_t n = 0; n < ends.size(); ++n) {
        const TFreeEnd& end = ends[n];
        if (done[n] || !std::isfinite(end.reach)) continue;
        const double s = end.reach + overshoot;
        const TRealPoint tip{end.point.X + end.dx * s, end.point.Y + end.dy * s};
        out.edges.push_back({end.point, tip});
        out.tips.push_back(tip);
        if (end.reach > kPointTolerance) {
            out.joins.push_back(
                {end.point, {end.point.X + end.dx * end.reach, end.point.Y + end.dy * end.reach}});
        }
    }
    return out;
}

}  // namespace veldra
