// The crossing count before the exact noding: edges listed by the grid cells they pass
// through, every pair in a cell tested in doubles, a crossing counted only in the cell
// that holds its point so that pairs sharing several cells count once.

#include "regions/faces_crossings.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/tolerances.h"

namespace veldra {

namespace {

// Pair tests beyond this are not made: the rest of the pairs are estimated from the
// tested ones. Keeps the count well under a second on any input.
constexpr uint64_t kMaxPairTests = 60'000'000;
// Grid entries beyond this: a coarser grid.
constexpr uint64_t kMaxEntriesPerEdge = 64;

struct TGrid {
    double minX = 0, minY = 0, cell = 1;
    size_t nx = 1, ny = 1;

    size_t CellX(double x) const {
        return static_cast<size_t>(std::clamp(std::floor((x - minX) / cell), 0.0, double(nx - 1)));
    }
    size_t CellY(double y) const {
        return static_cast<size_t>(std::clamp(std::floor((y - minY) / cell), 0.0, double(ny - 1)));
    }

    // Calls visit(cell) for the cells from a to b, in order.
    template <class Visit>
    void Walk(const TRealPoint& a, const TRealPoint& b, Visit&& visit) const {
        constexpr double kInf = std::numeric_limits<double>::infinity();
        size_t ix = CellX(a.X), iy = CellY(a.Y);
        const size_t ex = CellX(b.X), ey = CellY(b.Y);
        const double dx = b.X - a.X, dy = b.Y - a.Y;
        const int sx = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
        const int sy = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
        double tx = sx == 0 ? kInf : (minX + (double(ix) + (sx > 0)) * cell - a.X) / dx;
        double ty = sy == 0 ? kInf : (minY + (double(iy) + (sy > 0)) * cell - a.Y) / dy;
        const double stepX = sx == 0 ? kInf : cell / std::fabs(dx);
        const double stepY = sy == 0 ? kInf : cell / std::fabs(dy);
        for (size_t guard = nx + ny + 2; guard > 0; --guard) {
            visit(iy * nx + ix);
            if (ix == ex && iy == ey) return;
            if (tx < ty) {
                if ((sx < 0 && ix == 0) || (sx > 0 && ix + 1 >= nx)) return;
                ix += sx;
                tx += stepX;
            } else {
                if (sy == 0 || (sy < 0 && iy == 0) || (sy > 0 && iy + 1 >= ny)) return;
                iy += sy;
                ty += stepY;
            }
        }
    }
};

double Orient(const TRealPoint& a, const TRealPoint& b, const TRealPoint& c) {
    return (b.X - a.X) * (c.Y - a.Y) - (b.Y - a.Y) * (c.X - a.X);
}

bool Same(const TRealPoint& p, const TRealPoint& q) {
    return p.X == q.X && p.Y == q.Y;
}

// Where two edges meet, or false. Edges that only share an end are no crossing: that
// point is a vertex of the linework anyway.
bool MeetingPoint(const TFaceEdge& e, const TFaceEdge& f, TRealPoint& at) {
    if (std::max(e.a.X, e.b.X) < std::min(f.a.X, f.b.X) ||
        std::max(f.a.X, f.b.X) < std::min(e.a.X, e.b.X) ||
        std::max(e.a.Y, e.b.Y) < std::min(f.a.Y, f.b.Y) ||
        std::max(f.a.Y, f.b.Y) < std::min(e.a.Y, e.b.Y)) {
        return false;
    }
    const double d1 = Orient(e.a, e.b, f.a), d2 = Orient(e.a, e.b, f.b);
    const double d3 = Orient(f.a, f.b, e.a), d4 = Orient(f.a, f.b, e.b);
    if (d1 == 0 && d2 == 0) {
        // Collinear with overlapping boxes: they overlap; counted at the overlap's low corner.
        at = {std::max(std::min(e.a.X, e.b.X), std::min(f.a.X, f.b.X)),
              std::max(std::min(e.a.Y, e.b.Y), std::min(f.a.Y, f.b.Y))};
        return true;
    }
    if ((d1 > 0 && d2 > 0) || (d1 < 0 && d2 < 0) || (d3 > 0 && d4 > 0) || (d3 < 0 && d4 < 0)) {
        return false;
    }
    if (Same(e.a, f.a) || Same(e.a, f.b) || Same(e.b, f.a) || Same(e.b, f.b)) return false;
    const double denom = d1 - d2;
    const double t = denom != 0 ? d1 / denom : 0.0;
    at = {f.a.X + t * (f.b.X - f.a.X), f.a.Y + t * (f.b.Y - f.a.Y)};
    return true;
}

}  // namespace

TCrossingCount CountCrossings(const std::vector<TFaceEdge>& edges, uint64_t limit,
                              const AbortPoll& poll) {
    TCrossingCount out;
    if (edges.size() < 2) return out;
    double minX = edges[0].a.X, maxX = minX, minY = edges[0].a.Y, maxY = minY, length = 0;
    for (const TFaceEdge& e : edges) {
        minX = std::min({minX, e.a.X, e.b.X});
        maxX = std::max({maxX, e.a.X, e.b.X});
        minY = std::min({minY, e.a.Y, e.b.Y});
        maxY = std::max({maxY, e.a.Y, e.b.Y});
        length += std::hypot(e.b.X - e.a.X, e.b.Y - e.a.Y);
    }
    const double n = static_cast<double>(edges.size());
    const double w = maxX - minX, h = maxY - minY, diag = std::hypot(w, h);
    TGrid grid;
    grid.minX = minX;
    grid.minY = minY;
    // About one cell per edge, and about as many entries as the edges have cells.
    grid.cell = std::max({std::sqrt(w * h / n), length / (double(kMaxEntriesPerEdge) * n / 8),
                          diag / (2.0 * n + 1.0), diag * 1e-9, kTiny});
    grid.nx = static_cast<size_t>(w / grid.cell) + 1;
    grid.ny = static_cast<size_t>(h / grid.cell) + 1;

    const size_t cells = grid.nx * grid.ny;
    std::vector<uint32_t> start(cells + 1, 0);
    for (const TFaceEdge& e : edges) grid.Walk(e.a, e.b, [&](size_t c) { ++start[c + 1]; });
    uint64_t pairs = 0;
    for (size_t c = 1; c <= cells; ++c) {
        const uint64_t k = start[c];
        pairs += k * (k - (k > 0)) / 2;
        start[c] += start[c - 1];
    }
    std::vector<uint32_t> items(start.back());
    {
        std::vector<uint32_t> fill(start.begin(), start.end() - 1);
        for (uint32_t i = 0; i < edges.size(); ++i) {
            grid.Walk(edges[i].a, edges[i].b, [&](size_t c) { items[fill[c]++] = i; });
        }
    }

    uint64_t tested = 0, found = 0;
    for (size_t c = 0; c < cells; ++c) {
        if (c % 4096 == 4095 && CheckAbort(poll)) {
            out.aborted = true;
            return out;
        }
        const size_t cx = c % grid.nx, cy = c / grid.nx;
        for (uint32_t i = start[c]; i < start[c + 1]; ++i) {
            const TFaceEdge& e = edges[items[i]];
            for (uint32_t j = i + 1; j < start[c + 1]; ++j) {
                TRealPoint at;
                if (!MeetingPoint(e, edges[items[j]], at)) continue;
                if (grid.CellX(at.X) == cx && grid.CellY(at.Y) == cy) ++found;
            }
            tested += start[c + 1] - i - 1;
        }
        if (found > limit) break;
        if (tested > kMaxPairTests) {
            // The rest in proportion to the pairs tested so far.
            out.estimated = true;
            found = static_cast<uint64_t>(double(found) * double(pairs) / double(tested));
            break;
        }
    }
    out.crossings = found;
    return out;
}

}  // namespace veldra
