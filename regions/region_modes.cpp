#include "regions/region_modes.h"

#include <cmath>

#include "common/my_func.h"

namespace veldra {

TFillRegionReport BuildFillRegions(const TJwwEntityStore& store, int32_t arcDivisions,
                                   const TFillRegionOptions& options, const TRegionFilter& filter,
                                   const AbortPoll& poll, const FaceProgress& progress) {
    TFillRegionReport report;
    if (options.mode == TRegionMode::Chain) {
        // The loop search is quick on any selection; it is not interrupted.
        BuildRegions(store, arcDivisions, report.polygons, filter);
        report.filledRegions = report.polygons.size();
        report.openEnds = ChainOpenEnds(store, filter);
        return report;
    }
    TFaceBuild build = BuildFaces(store, arcDivisions, options.faces, filter, poll, progress);
    report.aborted = build.aborted;
    report.failed = build.failed || build.tooManyCrossings;
    report.tooManyCrossings = build.tooManyCrossings;
    report.crossings = build.crossings;
    report.noPickHit = build.noPickHit;
    report.polygons = FilledFacePolygons(build.faces);
    for (const TFaceRegion& face : build.faces) report.filledRegions += face.filled ? 1 : 0;
    report.openEnds = std::move(build.openEnds);
    report.joins = std::move(build.joins);
    report.faces = std::move(build.faces);
    return report;
}

double ParseGapTolerance(std::string_view text) {
    const double value = ParseRealOrZero(text);
    return std::isfinite(value) && value > 0 ? value : 0.0;
}

}  // namespace veldra
