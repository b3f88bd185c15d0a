#pragma once

// The work shared by the region searches: which entities take part, the circle and
// whole-ellipse polygons, the segment list of lines and open arcs, and the polygon of
// a closed chain. Internal to the region build.

#include <cstdint>
#include <vector>

#include "exchange/entity_store.h"
#include "regions/regions.h"

namespace veldra {

// States of a segment in the segment list.
inline constexpr int32_t kSegmentFree = 0;
inline constexpr int32_t kSegmentInChain = 1;
inline constexpr int32_t kSegmentDeadEnd = 2;
inline constexpr int32_t kSegmentUsed = 3;

// Kinds: a line or an arc as stored; in a chain +2 marks one walked from end to start.
inline constexpr int32_t kSegmentLine = 0;
inline constexpr int32_t kSegmentArc = 1;
inline constexpr int32_t kSegmentReversed = 2;

// One line or open arc. In the boundary chain `State` holds the position of the
// segment in the segment list instead of a state.
struct TBoundarySegment {
    int32_t State = kSegmentFree;
    int32_t Kind = kSegmentLine;
    int32_t SourceIndex = 0;  // in the store's line list (lines) or arc list (arcs)
    TRealPoint StartPoint;    // in the direction of walking, paper units
    TRealPoint EndPoint;
};

int32_t LimitArcDivisions(int32_t n);

// True when the entity takes part in regions (layer state, "z3", auxiliary attributes).
bool TakesPart(const TJwwEntHead& head, const TRegionFilter& filter);

// The first part of a build: empties `regionPolygons`, appends the circles and whole
// ellipses to it and returns the segment list of lines and open arcs, all in list
// order. An empty list also when the selection is too small to hold a region.
std::vector<TBoundarySegment> CollectRegionSources(const TJwwEntityStore& store, int32_t n,
                                                   const TRegionFilter& filter,
                                                   TAr2RealPoint& regionPolygons);

// The same without the early stop for small selections: the faces mode gets the faces,
// open ends and joins of one or two lines too.
std::vector<TBoundarySegment> CollectAllRegionSources(const TJwwEntityStore& store, int32_t n,
                                                      const TRegionFilter& filter,
                                                      TAr2RealPoint& regionPolygons);

// The chain entry for segment `position` of the list, walked forward or reversed.
TBoundarySegment ChainEntry(const TBoundarySegment& segment, int32_t position, bool reversed);

// The closed polygon walked along `chain` (at least two entries): the first entry's
// start, then every point along the chain, each arc split into n pieces.
TAryRealPoint ChainPolygon(const std::vector<TBoundarySegment>& chain, const TJwwEntityStore& store,
                           int32_t n);

}  // namespace veldra
