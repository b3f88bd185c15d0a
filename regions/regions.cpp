#include "regions/regions.h"

#include <utility>

#include "common/my_func.h"
#include "regions/region_bridges.h"
#include "regions/region_index.h"
#include "regions/regions_segments.h"

namespace veldra {

bool SamePoint(const TRealPoint& a, const TRealPoint& b) {
    return PointsEqual(a.X, a.Y, b.X, b.Y);
}

void ClearRegions(TAr2RealPoint& regionPolygons) {
    // Swap with an empty list so the storage is freed, not only emptied.
    TAr2RealPoint().swap(regionPolygons);
}

// The loop search: from every free segment in list order, extend the chain by the
// lowest-numbered free segment that meets its end (closure tested first), drop dead
// ends for the rest of the attempt, and keep a closed chain of at least 4 points as a
// region. The end-point index gives the same segment a full scan of the list would, and
// the bridge memo skips attempts that would walk a large dead part again only to fail.
void BuildRegions(const TJwwEntityStore& store, int32_t arcDivisions, TAr2RealPoint& regionPolygons,
                  const TRegionFilter& filter) {
    const int32_t n = LimitArcDivisions(arcDivisions);
    std::vector<TBoundarySegment> segments = CollectRegionSources(store, n, filter, regionPolygons);
    if (segments.empty()) return;
    TEndPointIndex index(segments);
    TBridgeMemo bridges(segments, index);
    const int32_t count = static_cast<int32_t>(segments.size());
    std::vector<TBoundarySegment> chain;
    // Segments put in the chain or marked dead during one attempt, to free them again
    // without sweeping the whole list.
    std::vector<int32_t> touched;

    for (int32_t k = 0; k < count; ++k) {
        if (segments[k].State != kSegmentFree || bridges.KnownBridge(k)) continue;
        // An attempt from a bridge would walk the part beyond it and fail.
        if (bridges.Enabled() && bridges.ProveBridge(k, segments)) continue;
        chain.clear();
        touched.clear();
        chain.push_back(ChainEntry(segments[k], k, false));
        segments[k].State = kSegmentInChain;
        touched.push_back(k);
        bool closed = false;
        for (;;) {
            const TRealPoint end = chain.back().EndPoint;
            if (SamePoint(end, chain.front().StartPoint)) {
                closed = true;
                break;
            }
            const TBoundarySegment& last = chain.back();
            int32_t j =
                bridges.Enabled()
                    ? bridges.FirstFreeAt(last.State * 2 + (last.Kind >= kSegmentReversed ? 0 : 1),
                                          segments)
                    : index.FirstFree(end, segments);
            if (j >= 0) {
                bool forward = SamePoint(end, segments[j].StartPoint);
                chain.push_back(ChainEntry(segments[j], j, !forward));
                segments[j].State = kSegmentInChain;
                touched.push_back(j);
                continue;
            }
            if (chain.size() == 1) break;
            segments[chain.back().State].State = kSegmentDeadEnd;
            chain.pop_back();
        }
        if (!closed) bridges.LearnFromFailedAttempt(touched);
        if (closed && chain.size() > 1) {
            TAryRealPoint polygon = ChainPolygon(chain, store, n);
            if (polygon.size() >= 4) {
                regionPolygons.push_back(std::move(polygon));
                for (const TBoundarySegment& entry : chain) {
                    segments[entry.State].State = kSegmentUsed;
                }
            }
        }
        for (int32_t t : touched) {
            int32_t& state = segments[t].State;
            if (state == kSegmentInChain || state == kSegmentDeadEnd) state = kSegmentFree;
        }
    }
}

}  // namespace veldra
