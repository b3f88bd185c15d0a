#pragma once

// What the exact noding will cost, known before it starts: the crossings of the edges
// counted in doubles on a uniform grid. Dense cross-hatching has crossings by the
// million, and the arrangement holds every one of them as a vertex.

#include <cstdint>
#include <vector>

#include "common/abort_poll.h"
#include "regions/faces_arrangement.h"

namespace veldra {

// Above this many crossings the faces are refused: the geometry library's arrangement
// would need well over 2 GB and minutes, the integer noding about 1 GB and seconds.
inline constexpr uint64_t kMaxFaceCrossings = 2'000'000;

struct TCrossingCount {
    uint64_t crossings = 0;  // pairs of edges that cross, touch or overlap
    bool estimated = false;  // counted on part of the pairs and scaled up
    bool aborted = false;
};

// Counts the pairs of edges that meet, stopping once the count is past `limit` (the
// count is then at least limit + 1). When the pairs to test run past a fixed budget
// (many long edges sharing cells) the rest is estimated from those tested.
TCrossingCount CountCrossings(const std::vector<TFaceEdge>& edges, uint64_t limit,
                              const AbortPoll& poll = {});

}  // namespace veldra
