// Fuzz target for the faces mode: any exchange file, with a gap tolerance, island mode
// and pick taken from its first bytes, must build without a crash, a hang or undefined
// behaviour into faces whose rings are closed and whose nesting is a tree.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "exchange/exchange_reader.h"
#include "regions/faces.h"
#include "regions/faces_crossings.h"

namespace {

double RingArea(const veldra::TAryRealPoint& ring) {
    double twice = 0.0;
    for (size_t i = 1; i < ring.size(); ++i) {
        twice += ring[i - 1].X * ring[i].Y - ring[i].X * ring[i - 1].Y;
    }
    return twice / 2.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace veldra;
    if (size < 2) return 0;
    // Byte 0: tolerance (0, tiny, small, large, beyond the drawing, negative, NaN) and
    // island mode; byte 1: arc divisions.
    static const double kGaps[] = {0.0, 1e-9, 0.01, 0.5, 5.0, 1e9, -1.0, NAN};
    TFaceOptions options;
    options.gapTolerance = kGaps[data[0] & 7];
    options.islands = static_cast<TIslandMode>((data[0] >> 3) % 3);
    if (data[0] & 0x80) options.picks = {{0.5, 0.5}, {5, 5}, {-3, 2}};
    if ((data[0] & 0x80) && (data[1] & 0x80)) options.picks = {{1e6, -1e6}};  // hits nothing
    const int32_t divisions = 3 + data[1] % 30;

    TJwwEntityStore store;
    InitStore(store);
    ReadExchangeBytes(store, std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
    ResetCurrentAttributes(store);
    const TFaceBuild build = BuildFaces(store, divisions, options);

    const int32_t count = static_cast<int32_t>(build.faces.size());
    for (int32_t i = 0; i < count; ++i) {
        const TFaceRegion& face = build.faces[i];
        auto closedRing = [](const TAryRealPoint& ring) {
            return ring.size() >= 4 && ring.front().X == ring.back().X &&
                   ring.front().Y == ring.back().Y;
        };
        if (!closedRing(face.outer)) std::abort();
        for (const TAryRealPoint& hole : face.holes)
            if (!closedRing(hole)) std::abort();
        if (face.parent < -1 || face.parent >= count || face.parent == i) std::abort();
        // An island is deeper than the face around it; no face is empty or spiked.
        if (face.depth < 0) std::abort();
        if (face.parent >= 0 && face.depth <= build.faces[face.parent].depth) std::abort();
        if (RingArea(face.outer) <= 0) std::abort();
        for (const TAryRealPoint& hole : face.holes)
            if (RingArea(hole) >= 0) std::abort();
        for (size_t k = 1; k < face.outer.size(); ++k) {
            if (face.outer[k].X == face.outer[k - 1].X && face.outer[k].Y == face.outer[k - 1].Y)
                std::abort();
        }
    }
    if (build.aborted) std::abort();  // nobody asked it to stop
    // Refused for its crossings: nothing else; picks that miss fill nothing.
    if (build.tooManyCrossings && (!build.faces.empty() || build.crossings <= kMaxFaceCrossings))
        std::abort();
    if (build.noPickHit) {
        for (const TFaceRegion& face : build.faces)
            if (face.filled) std::abort();
    }
    // Every open end is a drawn end: no end left in empty space by a join.
    for (const TRealPoint& end : build.openEnds) {
        if (!std::isfinite(end.X) || !std::isfinite(end.Y)) std::abort();
    }
    // The crossing count alone, with a small limit: stops early, never hangs.
    std::vector<TFaceEdge> edges;
    for (const TJwwEntLine& l : store.lines) edges.push_back({{l.x1, l.y1}, {l.x2, l.y2}});
    std::erase_if(edges, [](const TFaceEdge& e) {
        return !std::isfinite(e.a.X) || !std::isfinite(e.a.Y) || !std::isfinite(e.b.X) ||
               !std::isfinite(e.b.Y) || std::fabs(e.a.X) > 1e12 || std::fabs(e.a.Y) > 1e12 ||
               std::fabs(e.b.X) > 1e12 || std::fabs(e.b.Y) > 1e12;
    });
    CountCrossings(edges, 1000);
    FilledFacePolygons(build.faces);
    for (const TRealPoint& p : options.picks) FaceAt(build.faces, p);
    ChainOpenEnds(store);
    return 0;
}
