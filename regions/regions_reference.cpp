#include "regions/regions_reference.h"

#include <vector>

#include "regions/regions_segments.h"

namespace veldra {

void BuildRegionsReference(const TJwwEntityStore& store, int32_t arcDivisions,
                           TAr2RealPoint& regionPolygons, const TRegionFilter& filter) {
    const int32_t n = LimitArcDivisions(arcDivisions);
    std::vector<TBoundarySegment> segments = CollectRegionSources(store, n, filter, regionPolygons);
    const int32_t count = static_cast<int32_t>(segments.size());
    std::vector<TBoundarySegment> chain;
    chain.reserve(segments.size());

    for (int32_t k = 0; k < count; ++k) {
        if (segments[k].State != kSegmentFree) continue;
        chain.clear();
        chain.push_back(ChainEntry(segments[k], k, false));
        segments[k].State = kSegmentInChain;
        bool closed = false;
        for (;;) {
            const TRealPoint end = chain.back().EndPoint;
            bool extended = false;
            for (int32_t j = 0; j < count; ++j) {
                // Closure is tested before any further extension.
                if (SamePoint(end, chain.front().StartPoint)) {
                    closed = true;
                    break;
                }
                if (j == k || segments[j].State != kSegmentFree) continue;
                bool forward = SamePoint(end, segments[j].StartPoint);
                if (forward || SamePoint(end, segments[j].EndPoint)) {
                    chain.push_back(ChainEntry(segments[j], j, !forward));
                    segments[j].State = kSegmentInChain;
                    extended = true;
                    break;
                }
            }
            if (closed) break;
            if (extended) continue;
            // Dead end: nothing continues the chain. Drop its last segment for the rest
            // of this attempt and go on from the entry before; the first segment alone
            // with nowhere to go ends the attempt.
            if (chain.size() == 1) break;
            segments[chain.back().State].State = kSegmentDeadEnd;
            chain.pop_back();
        }
        if (closed && chain.size() > 1) {
            TAryRealPoint polygon = ChainPolygon(chain, store, n);
            if (polygon.size() >= 4) {
                regionPolygons.push_back(std::move(polygon));
                for (const TBoundarySegment& entry : chain) {
                    segments[entry.State].State = kSegmentUsed;
                }
            }
        }
        for (TBoundarySegment& segment : segments) {
            if (segment.State == kSegmentInChain || segment.State == kSegmentDeadEnd) {
                segment.State = kSegmentFree;
            }
        }
    }
}

}  // namespace veldra
