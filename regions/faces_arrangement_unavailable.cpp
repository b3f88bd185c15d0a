// Stands in for the arrangement where the geometry library cannot be linked (the
// core cross-built for Windows): every build reports that it failed, so the faces
// mode says so instead of filling wrong faces.

#include "regions/faces_arrangement.h"

namespace veldra {

TArrangementOutput BuildArrangementFaces(const std::vector<TFaceEdge>&, const AbortPoll&) {
    TArrangementOutput output;
    output.failed = true;
    return output;
}

}  // namespace veldra
