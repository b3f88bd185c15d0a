#pragma once

// The second region mode, "交点で分割": the regions are the bounded faces of the
// selection's linework split at every crossing, touch and overlap, each an outer ring
// with its holes, instead of the loops the end-to-end search finds. Free ends within
// a gap tolerance are joined, nested pieces of linework give islands, and the ends
// that stay open are reported for the view to mark.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/abort_poll.h"
#include "common/real_point.h"
#include "exchange/entity_store.h"
#include "regions/faces_arrangement.h"
#include "regions/regions.h"

namespace veldra {

// "端点連結" (the loop search, the default) or "交点で分割" (faces).
enum class TRegionMode : int32_t { Chain = 0, Faces = 1 };
// Which depths are filled: "通常" 0, 2, 4, ...; "外側のみ" 0 only; "無視" every face.
enum class TIslandMode : int32_t { Normal = 0, OuterOnly = 1, Ignore = 2 };

struct TFaceOptions {
    // Paper mm: a free end this close to other linework, along its own direction, or to
    // another free end, is joined to it. Negative, NaN or infinite counts as 0; a
    // value beyond the drawing's size acts as the drawing's size.
    double gapTolerance = 0.0;
    TIslandMode islands = TIslandMode::Normal;
    // Points in paper units; when there are any, only the picked faces (with their
    // islands as the island mode says, counted from the picked face) are filled: the
    // union of what each pick fills alone. A pick outside every face fills nothing.
    std::vector<TRealPoint> picks;
};

// One bounded face. The outer ring runs counter-clockwise and the holes clockwise,
// each closed and starting at its lowest (then leftmost) point.
struct TFaceRegion {
    TAryRealPoint outer;
    TAr2RealPoint holes;
    // The boundaries a way in from outside the drawing must cross to reach the face,
    // less one: 0 for a room, 1 for an island in it, whether or not a line joins the
    // island to the room around it.
    int32_t depth = 0;
    // The face that has this one's linework inside one of its holes, or -1; always
    // shallower than this face.
    int32_t parent = -1;
    bool filled = false;
};

struct TFaceJoin {
    TRealPoint from;  // the free end
    TRealPoint to;    // where the tolerance joined it
};

struct TFaceBuild {
    // Ordered by the lowest point of the outer ring: bottom to top, then left to right,
    // then the smaller face first.
    std::vector<TFaceRegion> faces;
    std::vector<TRealPoint> openEnds;  // ends that meet nothing, sorted by Y then X
    std::vector<TFaceJoin> joins;      // sorted by their free end
    // Lines or arcs left out: a coordinate not finite or beyond kMaxFaceCoordinate.
    size_t skippedEntities = 0;
    bool aborted = false;    // the poll stopped the build: no faces
    bool failed = false;     // the geometry library refused the linework: no faces
    bool noPickHit = false;  // there were picks and none lies in a face: nothing filled
    // The crossings counted before the exact noding (at least this many when refused).
    uint64_t crossings = 0;
    // Refused before the noding: more than kMaxFaceCrossings crossings. No faces.
    bool tooManyCrossings = false;
};

// What the user is told when the faces are refused for their crossings (UTF-8).
std::string TooManyCrossingsMessage(uint64_t crossings);

// The poll for a build run off the interface thread: true once `stop` is set (and
// whenever `also` says so). The window sets the flag from its key event, so a quick
// tap between two polls still stops the build. `stop` must outlive the build.
AbortPoll StopFlagPoll(const std::atomic<bool>& stop, AbortPoll also = {});

// Coordinates beyond this (paper mm) are no drawing: such an entity is left out.
inline constexpr double kMaxFaceCoordinate = 1e12;

// Builds the faces of the eligible circles, lines, arcs and whole ellipses. Curves are
// split into `arcDivisions` pieces (limited to 3..3600) exactly as the loop search
// splits them; ends closer than 1e-8 are the same point, as there.
// `progress` is told how far the build has come (0..1) each time the poll is asked,
// on the thread that runs the build.
TFaceBuild BuildFaces(const TJwwEntityStore& store, int32_t arcDivisions,
                      const TFaceOptions& options, const TRegionFilter& filter = {},
                      const AbortPoll& poll = {}, const FaceProgress& progress = {});

// Sets `filled` from the island mode and the picks (called by BuildFaces; again after
// a change of picks or mode without rebuilding). False when there are picks and none
// lies in a face; then nothing is filled and the window ignores the click.
bool MarkFilledFaces(std::vector<TFaceRegion>& faces, TIslandMode islands,
                     const std::vector<TRealPoint>& picks);

// The face under a point (paper units), or -1.
int32_t FaceAt(const std::vector<TFaceRegion>& faces, TRealPoint point);

// The rings of the filled faces, outer rings and holes alike: filled together with the
// even-odd rule they paint exactly the filled faces.
TAr2RealPoint FilledFacePolygons(const std::vector<TFaceRegion>& faces);

// The ends of lines and open arcs where the loop search finds no continuation: no
// other eligible line or arc ends within 1e-8. Sorted by Y then X.
std::vector<TRealPoint> ChainOpenEnds(const TJwwEntityStore& store,
                                      const TRegionFilter& filter = {});

}  // namespace veldra
