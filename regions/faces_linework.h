#pragma once

// The linework of the faces mode, internal to the face build: every eligible entity as
// a polyline in paper units, the gap joins, and the edges handed to the arrangement.

#include <cstddef>
#include <vector>

#include "common/abort_poll.h"
#include "common/real_point.h"
#include "exchange/entity_store.h"
#include "regions/faces.h"
#include "regions/faces_arrangement.h"
#include "regions/regions.h"

namespace veldra {

// One entity as points: a line (2 points), an open arc (n + 1), a circle or whole
// ellipse (n + 1, closed: the last point is the first).
struct TFacePolyline {
    std::vector<TRealPoint> points;
    bool closed = false;
};

// The eligible circles, whole ellipses, lines and open arcs, split as the loop search
// splits them. An open arc ends exactly at the end points the loop search matches;
// entities with a coordinate that is not finite or beyond kMaxFaceCoordinate are left
// out and counted in `skipped`.
std::vector<TFacePolyline> CollectFaceLinework(const TJwwEntityStore& store, int32_t n,
                                               const TRegionFilter& filter, size_t& skipped);

// Moves the ends of open polylines that lie within 1e-8 of each other (per axis) onto
// one point, so ends the loop search would connect meet exactly.
void SnapCloseEnds(std::vector<TFacePolyline>& lines);

// The same without the quick check that skips the pass when no two ends are within
// 1e-8 without being equal (the yardstick of the check, for the benchmark).
void SnapCloseEndsAlways(std::vector<TFacePolyline>& lines);

// True when two ends of open polylines are within 1e-8 (per axis) and not equal, or
// might be.
bool EndsNeedSnapping(const std::vector<TFacePolyline>& lines);

// The edges of all polylines, zero-length pieces left out.
std::vector<TFaceEdge> EdgesOf(const std::vector<TFacePolyline>& lines);

// Joins horizontal edges on one Y, and vertical edges on one X, that overlap or touch
// into single edges; other edges are kept as they are. The linework is the same point
// set, so the faces are the same (only vertices where nothing else meets drop out of
// the rings), but the arrangement gets far fewer curves and no overlaps: a floor whose
// walls overshoot each other along a grid line becomes that grid line.
void MergeAxisParallelEdges(std::vector<TFaceEdge>& edges);

// What the gap tolerance adds: the edges that join free ends to what lies within the
// tolerance, and the joins to report. `tips` are the far ends of the added edges that
// reach slightly past their target so the exact noding sees the crossing; the short
// stub beyond is no open end.
struct TGapJoins {
    std::vector<TFaceEdge> edges;
    std::vector<TFaceJoin> joins;
    std::vector<TRealPoint> tips;
    bool aborted = false;
};

// How the linework is noded: on the power-of-two grid where the coordinates allow
// (the program's way), or always by the geometry library (the yardstick).
enum class TFaceNoding { Grid, LibraryOnly };

TFaceBuild BuildFacesUsing(TFaceNoding noding, const TJwwEntityStore& store, int32_t arcDivisions,
                           const TFaceOptions& options, const TRegionFilter& filter = {},
                           const AbortPoll& poll = {}, const FaceProgress& progress = {});

TGapJoins JoinGaps(const std::vector<TFacePolyline>& lines, const std::vector<TFaceEdge>& edges,
                   double tolerance, const AbortPoll& poll);

}  // namespace veldra
