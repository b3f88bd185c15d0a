#include "tests/regions/faces_reference.h"

#include <gmpxx.h>

#include <algorithm>
#include <map>
#include <set>

namespace veldra::test {

namespace {

struct TQPoint {
    mpq_class x, y;
    bool operator<(const TQPoint& o) const { return x != o.x ? x < o.x : y < o.y; }
    bool operator==(const TQPoint& o) const { return x == o.x && y == o.y; }
};

mpq_class Cross(const mpq_class& ax, const mpq_class& ay, const mpq_class& bx,
                const mpq_class& by) {
    return ax * by - ay * bx;
}

// The parameters (0..1 along `e`) of every point where `f` meets `e`.
void Meetings(const TQPoint& a, const TQPoint& b, const TQPoint& c, const TQPoint& d,
              std::vector<mpq_class>& at) {
    const mpq_class ex = b.x - a.x, ey = b.y - a.y, fx = d.x - c.x, fy = d.y - c.y;
    const mpq_class denom = Cross(ex, ey, fx, fy);
    const mpq_class px = c.x - a.x, py = c.y - a.y;
    if (denom == 0) {
        if (Cross(px, py, ex, ey) != 0) return;  // parallel, apart
        // Collinear: the ends of each inside the other.
        const mpq_class len2 = ex * ex + ey * ey;
        for (const TQPoint* p : {&c, &d}) {
            const mpq_class t = ((p->x - a.x) * ex + (p->y - a.y) * ey) / len2;
            if (t >= 0 && t <= 1) at.push_back(t);
        }
        return;
    }
    const mpq_class t = Cross(px, py, fx, fy) / denom;
    const mpq_class u = Cross(px, py, ex, ey) / denom;
    if (t >= 0 && t <= 1 && u >= 0 && u <= 1) at.push_back(t);
}

double ToDouble(const mpq_class& q) {
    return q.get_d();
}

// Quadrant-then-cross order of directions, counter-clockwise from the +x axis.
int Half(const mpq_class& x, const mpq_class& y) {
    return (y > 0 || (y == 0 && x > 0)) ? 0 : 1;
}

}  // namespace

TReferenceFaces ReferenceFaces(const std::vector<TFaceEdge>& edges) {
    std::vector<std::pair<TQPoint, TQPoint>> segs;
    for (const TFaceEdge& e : edges) {
        TQPoint a{e.a.X, e.a.Y}, b{e.b.X, e.b.Y};
        if (a == b) continue;
        segs.emplace_back(a, b);
    }
    // Noding: every segment cut at every point where another meets it.
    std::set<std::pair<TQPoint, TQPoint>> pieces;
    for (size_t i = 0; i < segs.size(); ++i) {
        std::vector<mpq_class> at{0, 1};
        for (size_t j = 0; j < segs.size(); ++j) {
            if (j != i) Meetings(segs[i].first, segs[i].second, segs[j].first, segs[j].second, at);
        }
        std::sort(at.begin(), at.end());
        at.erase(std::unique(at.begin(), at.end()), at.end());
        const TQPoint& a = segs[i].first;
        const TQPoint& b = segs[i].second;
        for (size_t k = 1; k < at.size(); ++k) {
            TQPoint p{a.x + at[k - 1] * (b.x - a.x), a.y + at[k - 1] * (b.y - a.y)};
            TQPoint q{a.x + at[k] * (b.x - a.x), a.y + at[k] * (b.y - a.y)};
            if (q < p) std::swap(p, q);
            pieces.insert({p, q});
        }
    }
    // Half-edges: 2k and 2k+1 are twins; around each vertex sorted by direction.
    std::map<TQPoint, int32_t> vertexOf;
    std::vector<TQPoint> vertices;
    auto vertex = [&](const TQPoint& p) {
        auto [it, fresh] = vertexOf.emplace(p, static_cast<int32_t>(vertices.size()));
        if (fresh) vertices.push_back(p);
        return it->second;
    };
    std::vector<int32_t> from, to;
    for (const auto& [p, q] : pieces) {
        const int32_t u = vertex(p), v = vertex(q);
        from.push_back(u), to.push_back(v);
        from.push_back(v), to.push_back(u);
    }
    const size_t h = from.size();
    std::vector<std::vector<int32_t>> around(vertices.size());
    for (size_t k = 0; k < h; ++k) around[from[k]].push_back(static_cast<int32_t>(k));
    auto dx = [&](int32_t k) { return mpq_class(vertices[to[k]].x - vertices[from[k]].x); };
    auto dy = [&](int32_t k) { return mpq_class(vertices[to[k]].y - vertices[from[k]].y); };
    std::vector<int32_t> rank(h);
    for (auto& list : around) {
        std::sort(list.begin(), list.end(), [&](int32_t a, int32_t b) {
            const int ha = Half(dx(a), dy(a)), hb = Half(dx(b), dy(b));
            if (ha != hb) return ha < hb;
            return Cross(dx(a), dy(a), dx(b), dy(b)) > 0;
        });
        for (size_t r = 0; r < list.size(); ++r) rank[list[r]] = static_cast<int32_t>(r);
    }
    // next(k): at the head of k, the edge just clockwise of the way back: the face on
    // the left of k continues there.
    auto next = [&](int32_t k) {
        const int32_t back = k ^ 1;
        const auto& list = around[from[back]];
        const size_t r = static_cast<size_t>(rank[back]);
        return list[(r + list.size() - 1) % list.size()];
    };
    std::vector<int32_t> cycleOf(h, -1);
    std::vector<mpq_class> cycleArea;
    std::vector<TQPoint> cycleLowest;
    for (size_t s = 0; s < h; ++s) {
        if (cycleOf[s] >= 0) continue;
        const int32_t c = static_cast<int32_t>(cycleArea.size());
        mpq_class twice = 0;
        TQPoint lowest = vertices[from[s]];
        int32_t k = static_cast<int32_t>(s);
        do {
            cycleOf[k] = c;
            const TQPoint& p = vertices[from[k]];
            const TQPoint& q = vertices[to[k]];
            twice += p.x * q.y - q.x * p.y;
            if (p.y < lowest.y || (p.y == lowest.y && p.x < lowest.x)) lowest = p;
            k = next(k);
        } while (k != static_cast<int32_t>(s));
        cycleArea.emplace_back(twice / 2);
        cycleLowest.push_back(lowest);
    }
    // The lowest point of each cycle's ring: on edges with another cycle on their
    // other side (a dangling line walked out and back is no part of the ring).
    std::vector<TQPoint> ringLowest = cycleLowest;
    std::vector<char> ringSeen(cycleArea.size(), 0);
    for (size_t k = 0; k < h; ++k) {
        const int32_t c = cycleOf[k];
        if (c == cycleOf[k ^ 1]) continue;
        const TQPoint& p = vertices[from[k]];
        TQPoint& low = ringLowest[static_cast<size_t>(c)];
        if (!ringSeen[c] || p.y < low.y || (p.y == low.y && p.x < low.x)) low = p;
        ringSeen[c] = 1;
    }
    // Bounded faces are the counter-clockwise cycles. A clockwise cycle is the outside
    // of one connected piece: it belongs to the smallest face whose outer cycle holds
    // the piece, or to the outside.
    const size_t cycles = cycleArea.size();
    auto inside = [&](size_t outer, const TQPoint& p) {
        // Even-odd on the exact ring, the point being a vertex of another piece.
        bool in = false;
        for (size_t k = 0; k < h; ++k) {
            if (cycleOf[k] != static_cast<int32_t>(outer)) continue;
            const TQPoint& a = vertices[from[k]];
            const TQPoint& b = vertices[to[k]];
            if ((a.y > p.y) != (b.y > p.y)) {
                const mpq_class x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
                if (p.x < x) in = !in;
            }
        }
        return in;
    };
    // Connected pieces, so that a piece is only ever tested against other pieces'
    // cycles: its lowest point then lies on none of their boundaries.
    std::vector<int32_t> root(vertices.size());
    for (size_t v = 0; v < root.size(); ++v) root[v] = static_cast<int32_t>(v);
    auto find = [&](int32_t v) {
        while (root[v] != v) v = root[v] = root[root[v]];
        return v;
    };
    for (size_t k = 0; k < h; k += 2) root[find(from[k])] = find(to[k]);
    std::vector<int32_t> pieceOfCycle(cycles);
    for (size_t k = 0; k < h; ++k) pieceOfCycle[cycleOf[k]] = find(from[k]);
    std::vector<int32_t> faceOfCycle(cycles, -1);  // -1: the outside
    for (size_t c = 0; c < cycles; ++c) {
        if (cycleArea[c] > 0) faceOfCycle[c] = static_cast<int32_t>(c);
    }
    for (size_t c = 0; c < cycles; ++c) {
        if (cycleArea[c] > 0) continue;
        int32_t best = -1;
        for (size_t o = 0; o < cycles; ++o) {
            if (cycleArea[o] <= 0 || pieceOfCycle[o] == pieceOfCycle[c]) continue;
            if (!inside(o, cycleLowest[c])) continue;
            if (best < 0 || cycleArea[o] < cycleArea[static_cast<size_t>(best)]) {
                best = static_cast<int32_t>(o);
            }
        }
        faceOfCycle[c] = best;
    }
    // Depth: how many faces enclose the face, a face G enclosing F when every way from
    // the outside to F passes through G (one walk from the outside per G, around it).
    const size_t outside = cycles;
    auto faceIndex = [&](int32_t k) {
        const int32_t f = faceOfCycle[cycleOf[k]];
        return f < 0 ? outside : static_cast<size_t>(f);
    };
    std::vector<std::vector<size_t>> neighbours(cycles + 1);
    for (size_t k = 0; k < h; ++k) {
        const size_t a = faceIndex(static_cast<int32_t>(k));
        const size_t b = faceIndex(static_cast<int32_t>(k ^ 1));
        if (a != b) neighbours[a].push_back(b);
    }
    std::vector<int32_t> distance(cycles + 1, 0);
    for (size_t g = 0; g < cycles; ++g) {
        if (cycleArea[g] <= 0) continue;
        std::vector<char> reached(cycles + 1, 0);
        std::vector<size_t> queue{outside};
        reached[outside] = 1;
        for (size_t head = 0; head < queue.size(); ++head) {
            for (size_t n : neighbours[queue[head]]) {
                if (n == g || reached[n]) continue;
                reached[n] = 1;
                queue.push_back(n);
            }
        }
        for (size_t f = 0; f < cycles; ++f) {
            if (f != g && cycleArea[f] > 0 && !reached[f]) ++distance[f];
        }
    }
    // Each cycle split into simple rings wherever it comes back to a vertex (edges with
    // the cycle on both sides left out): a hole touching its face's outer ring at a
    // corner is a ring of its own, and so is each of two holes touching each other.
    // Rings smaller than a point are none, as faces smaller than a point are none.
    mpq_class scale = 1;
    for (const TQPoint& v : vertices)
        scale = std::max({scale, mpq_class(abs(v.x)), mpq_class(abs(v.y))});
    const mpq_class point = mpq_class("1/1000000000000000") * scale * scale;
    std::vector<int32_t> rings(cycles, 0);
    std::vector<char> walked(cycles, 0);
    std::vector<int32_t> pathAt(vertices.size(), -1);
    for (size_t s = 0; s < h; ++s) {
        const int32_t c = cycleOf[s];
        if (walked[c]) continue;
        walked[c] = 1;
        std::vector<int32_t> path;
        int32_t k = static_cast<int32_t>(s);
        do {
            if (cycleOf[k ^ 1] != c) {
                pathAt[from[k]] = static_cast<int32_t>(path.size());
                path.push_back(k);
                const int32_t back = pathAt[to[k]];
                if (back >= 0) {
                    mpq_class twice = 0;
                    for (size_t i = static_cast<size_t>(back); i < path.size(); ++i) {
                        const TQPoint& p = vertices[from[path[i]]];
                        const TQPoint& q = vertices[to[path[i]]];
                        twice += p.x * q.y - q.x * p.y;
                        pathAt[from[path[i]]] = -1;
                    }
                    path.resize(static_cast<size_t>(back));
                    if (abs(twice) > 2 * point) ++rings[c];
                }
            }
            k = next(k);
        } while (k != static_cast<int32_t>(s));
        for (int32_t e : path) pathAt[from[e]] = -1;
    }
    TReferenceFaces out;
    std::vector<mpq_class> area(cycles);
    std::vector<int32_t> holes(cycles, 0);
    for (size_t c = 0; c < cycles; ++c) {
        if (cycleArea[c] > 0) holes[c] += std::max(0, rings[c] - 1);  // all but the outer
        if (cycleArea[c] < 0 && faceOfCycle[c] >= 0) {
            area[static_cast<size_t>(faceOfCycle[c])] += cycleArea[c];
            holes[static_cast<size_t>(faceOfCycle[c])] += rings[c];
        }
    }
    for (size_t c = 0; c < cycles; ++c) {
        if (cycleArea[c] <= 0) continue;
        out.faces.push_back({ToDouble(cycleArea[c] + area[c]),
                             {ToDouble(ringLowest[c].x), ToDouble(ringLowest[c].y)},
                             holes[c],
                             distance[c]});
    }
    std::sort(out.faces.begin(), out.faces.end(),
              [](const TReferenceFace& a, const TReferenceFace& b) {
                  if (a.lowest.Y != b.lowest.Y) return a.lowest.Y < b.lowest.Y;
                  if (a.lowest.X != b.lowest.X) return a.lowest.X < b.lowest.X;
                  return a.area < b.area;
              });
    for (size_t v = 0; v < vertices.size(); ++v) {
        if (around[v].size() == 1)
            out.openEnds.push_back({ToDouble(vertices[v].x), ToDouble(vertices[v].y)});
    }
    std::sort(out.openEnds.begin(), out.openEnds.end(),
              [](const TRealPoint& a, const TRealPoint& b) {
                  return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
              });
    return out;
}

}  // namespace veldra::test
