#include "cli/regions_json.h"

namespace veldra::cli {
namespace {

void PutPoints(TJsonWriter& out, const std::vector<TRealPoint>& points) {
    out.Raw('[');
    for (size_t i = 0; i < points.size(); ++i) {
        if (i > 0) out.Raw(',');
        out.Pair(points[i].X, points[i].Y);
    }
    out.Raw(']');
}

void PutRings(TJsonWriter& out, const TAr2RealPoint& rings) {
    out.Raw('[');
    for (size_t i = 0; i < rings.size(); ++i) {
        if (i > 0) out.Raw(',');
        PutPoints(out, rings[i]);
    }
    out.Raw(']');
}

}  // namespace

void WriteLoopsJson(const TAr2RealPoint& regions, const std::vector<TRealPoint>& openEnds,
                    TJsonWriter& out) {
    out.Raw("{\"polygons\":");
    PutRings(out, regions);
    out.Raw(",\"openEnds\":");
    PutPoints(out, openEnds);
    out.Raw('}');
}

void WriteFacesJson(const TFaceBuild& build, TJsonWriter& out) {
    out.Raw("{\"faces\":[");
    for (size_t f = 0; f < build.faces.size(); ++f) {
        const TFaceRegion& face = build.faces[f];
        out.Raw(f > 0 ? ",{\"outer\":" : "{\"outer\":");
        PutPoints(out, face.outer);
        out.Raw(",\"holes\":");
        PutRings(out, face.holes);
        out.Raw(",\"depth\":");
        out.Number(static_cast<int64_t>(face.depth));
        out.Raw(",\"filled\":");
        out.Bool(face.filled);
        out.Raw('}');
    }
    out.Raw("],\"openEnds\":");
    PutPoints(out, build.openEnds);
    out.Raw(",\"joins\":[");
    for (size_t i = 0; i < build.joins.size(); ++i) {
        const TFaceJoin& j = build.joins[i];
        out.Raw(i > 0 ? ",[" : "[");
        out.Pair(j.from.X, j.from.Y);
        out.Raw(',');
        out.Pair(j.to.X, j.to.Y);
        out.Raw(']');
    }
    out.Raw("]}");
}

}  // namespace veldra::cli
