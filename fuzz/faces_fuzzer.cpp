// Fuzz target for the faces mode: any exchange file, with a gap tolerance, island mode
// and pick taken from its first bytes, must build without a crash, a hang or undefined
// behaviour into faces whose rings are closed and whose nesting is a tree.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exchange/exchange_reader.h"
#include "regions/faces.h"

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
        const int32_t expected = face.parent < 0 ? 0 : build.faces[face.parent].depth + 1;
        if (face.depth != expected) std::abort();
    }
    if (build.aborted) std::abort();  // nobody asked it to stop
    FilledFacePolygons(build.faces);
    for (const TRealPoint& p : options.picks) FaceAt(build.faces, p);
    ChainOpenEnds(store);
    return 0;
}
