#pragma once

// Splitting a face's boundary walk into simple rings.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/real_point.h"

namespace veldra {

// The area of a closed ring, positive counter-clockwise. Taken about the ring's first
// point: far from the origin the products of raw coordinates would lose the area of a
// small ring to rounding.
inline double SignedArea(const TAryRealPoint& ring) {
    if (ring.empty()) return 0.0;
    const TRealPoint o = ring.front();
    double twice = 0.0;
    for (size_t i = 1; i < ring.size(); ++i) {
        const double ax = ring[i - 1].X - o.X, ay = ring[i - 1].Y - o.Y;
        const double bx = ring[i].X - o.X, by = ring[i].Y - o.Y;
        twice += ax * by - bx * ay;
    }
    return twice / 2.0;
}

// Emits the simple loops of a closed walk: wherever the walk comes back to a vertex it
// has already passed, the edges since then are a loop of their own. A hole that touches
// its face's outer boundary at one vertex is walked as a detour of that boundary; split
// off, it is a ring turning the other way round, and the face inside it lies one level
// deeper. `vertexOf(edge, end)` gives the index of an edge's start (end = false) or end
// vertex; `slots` holds one entry per vertex, all zero, and is left so.
template <class Edge, class VertexOf, class Emit>
void EmitSimpleLoops(std::vector<Edge>& walk, VertexOf vertexOf, std::vector<uint32_t>& slots,
                     Emit emit) {
    std::vector<Edge> path;
    path.reserve(walk.size());
    for (Edge& e : walk) {
        // Slot = 1 + the position on the path of the edge leaving the vertex.
        slots[vertexOf(e, false)] = static_cast<uint32_t>(path.size() + 1);
        path.push_back(std::move(e));
        const uint32_t back = slots[vertexOf(path.back(), true)];
        if (back == 0) continue;
        std::vector<Edge> loop(path.begin() + (back - 1), path.end());
        for (const Edge& l : loop) slots[vertexOf(l, false)] = 0;
        path.resize(back - 1);
        emit(loop);
    }
    for (const Edge& e : path) slots[vertexOf(e, false)] = 0;
    if (!path.empty()) emit(path);  // a walk that was not closed, as it came
}

}  // namespace veldra
