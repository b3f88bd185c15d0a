#pragma once

// The regions of the fill in either mode, with what the view marks afterwards: the
// loops of the end-to-end search ("端点連結") or the filled faces ("交点で分割"), as
// closed polygons for the one even-odd texture fill, plus the open ends and joins.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/abort_poll.h"
#include "common/real_point.h"
#include "exchange/entity_store.h"
#include "regions/faces.h"
#include "regions/regions.h"

namespace veldra {

struct TFillRegionOptions {
    TRegionMode mode = TRegionMode::Chain;
    TFaceOptions faces;  // faces mode only
};

struct TFillRegionReport {
    // The polygons to fill: loops, or the rings of the filled faces.
    TAr2RealPoint polygons;
    size_t filledRegions = 0;  // loops, or filled faces
    std::vector<TRealPoint> openEnds;
    std::vector<TFaceJoin> joins;    // faces mode only
    std::vector<TFaceRegion> faces;  // faces mode only: every face, for picking
    bool aborted = false;
    // Failed also when refused for too many crossings (then tooManyCrossings is set,
    // with the count for TooManyCrossingsMessage).
    bool failed = false;
    bool tooManyCrossings = false;
    uint64_t crossings = 0;
    bool noPickHit = false;  // faces mode: there were picks and none lies in a face
};

// `progress` (faces mode only) is told how far the face build has come, 0..1.
TFillRegionReport BuildFillRegions(const TJwwEntityStore& store, int32_t arcDivisions,
                                   const TFillRegionOptions& options, const TRegionFilter& filter,
                                   const AbortPoll& poll = {}, const FaceProgress& progress = {});

// The gap tolerance as typed: a decimal number of paper mm; anything else, a negative
// or a non-finite value is 0.
double ParseGapTolerance(std::string_view text);

}  // namespace veldra
