// The two-sided bridge search of the bridge memo and the adjacency it walks.

#include <algorithm>

#include "regions/region_bridges.h"

namespace veldra {

void TBridgeMemo::BuildAdjacency() {
    const size_t points = vertex_.size();
    adjFirst_.assign(points + 1, 0);
    for (size_t p = 0; p < points; ++p) ++adjFirst_[static_cast<size_t>(vertex_[p]) + 1];
    for (size_t v = 0; v < points; ++v) adjFirst_[v + 1] += adjFirst_[v];
    adjLast_.assign(adjFirst_.begin(), adjFirst_.end() - 1);
    adjacency_.resize(points);
    for (size_t p = 0; p < points; ++p) {
        adjacency_[static_cast<size_t>(adjLast_[static_cast<size_t>(vertex_[p])]++)] =
            static_cast<int32_t>(p);
    }
    seenVertex_.assign(points, 0);
    seenSegment_.assign(points / 2, 0);
}

void TBridgeMemo::CompactAdjacency(int32_t vertex, const std::vector<TBoundarySegment>& segments) {
    const size_t v = static_cast<size_t>(vertex);
    auto first = adjacency_.begin() + adjFirst_[v];
    auto last = adjacency_.begin() + adjLast_[v];
    auto kept = std::remove_if(first, last, [&](int32_t point) {
        size_t segment = static_cast<size_t>(point / 2);
        return segments[segment].State == kSegmentUsed || bridge_[segment] != 0;
    });
    adjLast_[v] = static_cast<int32_t>(kept - adjacency_.begin());
}

int32_t TBridgeMemo::FirstFreeAt(int32_t point, const std::vector<TBoundarySegment>& segments) {
    const size_t v = static_cast<size_t>(vertex_[static_cast<size_t>(point)]);
    // The list is in end-point order, hence in segment order: the first free one wins.
    // Used and retired segments found on the way leave the list for good.
    int32_t write = adjFirst_[v];
    int32_t found = -1;
    for (int32_t read = adjFirst_[v]; read < adjLast_[v]; ++read) {
        const int32_t p = adjacency_[static_cast<size_t>(read)];
        const size_t segment = static_cast<size_t>(p / 2);
        if (segments[segment].State == kSegmentUsed || bridge_[segment] != 0) continue;
        adjacency_[static_cast<size_t>(write++)] = p;
        if (found < 0 && segments[segment].State == kSegmentFree) {
            found = static_cast<int32_t>(segment);
            if (write == read + 1) return found;  // nothing dropped: the rest can stay
        }
    }
    adjLast_[v] = write;
    return found;
}

bool TBridgeMemo::ProveBridge(int32_t k, const std::vector<TBoundarySegment>& segments) {
    const int32_t ends[2] = {vertex_[static_cast<size_t>(k) * 2],
                             vertex_[static_cast<size_t>(k) * 2 + 1]};
    if (ends[0] == ends[1]) return false;  // closes on itself at once: nothing to prove
    // Stamps tell this search's marks from older ones: 2 * stamp + side.
    if (searchStamp_ >= UINT32_MAX / 2 - 1) {
        std::fill(seenVertex_.begin(), seenVertex_.end(), 0);
        std::fill(seenSegment_.begin(), seenSegment_.end(), 0);
        searchStamp_ = 0;
    }
    ++searchStamp_;
    int32_t current[2] = {-1, -1}, cursor[2] = {0, 0};
    size_t head[2] = {0, 0};
    for (int side = 0; side < 2; ++side) {
        queue_[side].assign(1, ends[side]);
        sideEdges_[side].clear();
        seenVertex_[static_cast<size_t>(ends[side])] = 2 * searchStamp_ + side;
    }
    for (int side = 0;; side ^= 1) {
        // One step of this side: the next end point at its current vertex.
        while (current[side] < 0 || cursor[side] == adjLast_[static_cast<size_t>(current[side])]) {
            if (head[side] == queue_[side].size()) {
                // This side ran out without meeting the other: k is a bridge.
                sideEdges_[side].push_back(k);
                MarkBridges(sideEdges_[side]);
                bridge_[static_cast<size_t>(k)] = 1;
                index_.Retire(k);
                return true;
            }
            current[side] = queue_[side][head[side]++];
            CompactAdjacency(current[side], segments);
            cursor[side] = adjFirst_[static_cast<size_t>(current[side])];
        }
        const int32_t point = adjacency_[static_cast<size_t>(cursor[side]++)];
        const int32_t segment = point / 2;
        if (segment == k) continue;
        const uint32_t mark = 2 * searchStamp_ + static_cast<uint32_t>(side);
        if (seenSegment_[static_cast<size_t>(segment)] != mark) {
            seenSegment_[static_cast<size_t>(segment)] = mark;
            sideEdges_[side].push_back(segment);
        }
        const size_t other = static_cast<size_t>(vertex_[static_cast<size_t>(point ^ 1)]);
        const uint32_t seen = seenVertex_[other];
        if (seen == (mark ^ 1u)) return false;  // the searches met: k lies on a loop
        if (seen != mark) {
            seenVertex_[other] = mark;
            queue_[side].push_back(static_cast<int32_t>(other));
        }
    }
}

}  // namespace veldra
