// Stands in for the arrangement where the exact numbers (GMP and MPFR) are not built:
// the core alone cross-built for Windows without scripts/qt-windows.sh's prefix. Every
// build reports that it failed, so the faces mode says so instead of filling wrong faces.

#include "regions/faces_arrangement.h"

namespace veldra {

TArrangementOutput BuildArrangementFaces(const std::vector<TFaceEdge>&, const AbortPoll&,
                                         const FaceProgress&, uint64_t) {
    TArrangementOutput output;
    output.failed = true;
    return output;
}

}  // namespace veldra
