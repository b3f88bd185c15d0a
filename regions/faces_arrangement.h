#pragma once

// The planar arrangement of straight edges: the noding of every crossing, touch and
// overlap and the faces it bounds. Plain types only, so that the geometry library's
// heavy headers stay inside the one file that builds it.

#include <cstdint>
#include <functional>
#include <vector>

#include "common/abort_poll.h"
#include "common/real_point.h"

namespace veldra {

struct TFaceEdge {
    TRealPoint a;
    TRealPoint b;
};

// One bounded face: its boundary cycles (each closed, last point equal to the first),
// edges that have this face on both sides (dangling lines, bridges) left out.
struct TArrangementFace {
    TAr2RealPoint rings;
    // The face that has this one inside one of its holes (its outer ring being the
    // ring of largest area), or -1.
    int32_t parent = -1;
    // How many faces have this one inside one of their holes.
    int32_t depth = 0;
};

// A vertex with a single edge: an end that meets nothing.
struct TArrangementDangle {
    TRealPoint point;
    TRealPoint neighbour;  // the other end of its edge
};

struct TArrangementOutput {
    std::vector<TArrangementFace> faces;
    std::vector<TArrangementDangle> dangles;
    bool aborted = false;  // the poll asked to stop; nothing else is filled in
    bool failed = false;   // the library refused the input; nothing else is filled in
};

// Nodes the edges exactly (every coordinate must be finite, every edge of non-zero
// length) and returns the bounded faces and the dangling vertices. The poll is asked
// between the stages, between the events of the noding sweep and inside the passes
// over the result.
// Told how far the build has come (0..1) each time the poll is asked.
using FaceProgress = std::function<void(double fraction)>;

// `expectedEvents` (the edges' ends plus the crossings counted beforehand) scales the
// progress of the noding sweep; 0 reports none during the sweep.
TArrangementOutput BuildArrangementFaces(const std::vector<TFaceEdge>& edges, const AbortPoll& poll,
                                         const FaceProgress& progress = {},
                                         uint64_t expectedEvents = 0);

}  // namespace veldra
