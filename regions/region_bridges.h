#pragma once

// Finds the segments that are bridges of the free segments, so that the loop search
// neither starts an attempt from them nor wanders across them: either would only walk a
// dead part of the drawing, fail and undo the walk.
//
// Why the polygons stay exactly the same: when every group of end points that are the
// same point (within 1e-8) is the same point pairwise, end points form vertices and
// free segments the edges of a graph. An attempt from segment k walks depth first from
// k's end, never reusing a segment, so it reaches every free segment connected to k's
// end and closes exactly when k is no bridge. A walk that steps onto a bridge from the
// chain's side can never come back to the chain's start (the chain itself connects the
// start with that side), so everything it walks beyond is dropped as a dead end and the
// walk goes on as if the bridge had not been free. A failed attempt changes nothing,
// used segments only ever leave the graph (which keeps a bridge a bridge), and a loop
// never uses a bridge. So the bridges found at the start, and those among the segments
// a failed attempt walked, can be retired for the rest of the build.
// When the end points are not that tidy (points each within 1e-8 of the next but not
// of all others) the memo stays off and every attempt is walked in full.

#include <cstdint>
#include <vector>

#include "regions/region_index.h"
#include "regions/regions_segments.h"

namespace veldra {

class TBridgeMemo {
  public:
    TBridgeMemo(const std::vector<TBoundarySegment>& segments, TEndPointIndex& index);

    bool Enabled() const { return enabled_; }
    // True for a segment found to be a bridge (never when the memo is off).
    bool KnownBridge(int32_t segment) const {
        return enabled_ && bridge_[static_cast<size_t>(segment)] != 0;
    }
    // After the attempt from a segment failed: `walked` lists every segment it put in the
    // chain (the first one included). Retires the bridges among them.
    void LearnFromFailedAttempt(const std::vector<int32_t>& walked);

    // The lowest free segment, not retired, with an end at the vertex of end point
    // `point` (2 * segment + end); -1 when there is none. With the memo on this is what
    // the end-point index answers for that point, without hashing.
    int32_t FirstFreeAt(int32_t point, const std::vector<TBoundarySegment>& segments);

    // True when free segment k is a bridge now, so that an attempt from it would fail.
    // Searches from both of k's ends at once, one step each in turn, and stops as soon as
    // the two searches meet (no bridge) or one runs out (a bridge): the cost is that of
    // the smaller side. The bridges of the side that ran out are retired too. Call only
    // between attempts (every segment free or used) and only when the memo is on.
    bool ProveBridge(int32_t k, const std::vector<TBoundarySegment>& segments);

  private:
    // Marks and retires the bridges of the graph made of `edges`, which must hold whole
    // connected parts of the free segments without the known bridges.
    void MarkBridges(const std::vector<int32_t>& edges);
    int32_t Root(int32_t point);
    bool GroupPoints(const std::vector<TBoundarySegment>& segments, TEndPointIndex& index);
    void BuildAdjacency();
    // Drops used and retired segments from a vertex's list.
    void CompactAdjacency(int32_t vertex, const std::vector<TBoundarySegment>& segments);

    TEndPointIndex& index_;
    bool enabled_ = false;
    std::vector<int32_t> vertex_;  // per end point (2 * segment + end): its vertex
    // End points at each vertex: adjacency_[adjFirst_[v] .. adjLast_[v]).
    std::vector<int32_t> adjacency_, adjFirst_, adjLast_;
    std::vector<uint8_t> bridge_;
    // Scratch of the bridge search, reused between calls.
    std::vector<int32_t> localOf_, stampOf_;
    int32_t stamp_ = 0;
    // Scratch of the two-sided search.
    std::vector<uint32_t> seenVertex_, seenSegment_;
    uint32_t searchStamp_ = 0;
    std::vector<int32_t> queue_[2], sideEdges_[2];
};

}  // namespace veldra
