#pragma once

// The faces of straight segments the slow and obviously correct way, for the tests
// only: every crossing, touch and overlap found in exact rationals, the pieces between
// them joined into a half-edge graph, and every face walked with its left hand on the
// wall. Depth is how many faces enclose the face (every way in from outside passes
// through them).

#include <cstdint>
#include <vector>

#include "regions/faces_arrangement.h"

namespace veldra::test {

struct TReferenceFace {
    double area = 0.0;  // outer ring less the holes
    TRealPoint lowest;  // lowest (then leftmost) point of the outer ring
    int32_t holes = 0;
    int32_t depth = 0;
};

struct TReferenceFaces {
    std::vector<TReferenceFace> faces;  // ordered by lowest point, then area
    std::vector<TRealPoint> openEnds;   // vertices with one edge, sorted by Y then X
};

TReferenceFaces ReferenceFaces(const std::vector<TFaceEdge>& edges);

}  // namespace veldra::test
