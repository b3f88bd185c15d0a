#include "fill/fill_reference.h"

#include <QPainter>
#include <QPainterPath>

#include "display/canvas/canvas.h"
#include "fill/bmp_writer.h"
#include "fill/color_reduction.h"
#include "fill/texture_fill.h"

namespace veldra {

void FillRegionsWithTexture(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                            const TViewState& view, const QImage& texture, double magnification) {
    QPainterPath path = BuildRegionPath(regionPolygons, view);
    canvas.PaintWith(
        [&](QPainter& painter) { FillRegionPath(painter, path, texture, magnification); });
}

TTextureFillResult FillRegions(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                               const TViewState& view, const std::filesystem::path& picture,
                               double magnification) {
    QImage texture = LoadTexturePicture(picture);
    if (texture.isNull()) return TTextureFillResult::PictureUnreadable;
    FillRegionsWithTexture(canvas, regionPolygons, view, texture, magnification);
    return TTextureFillResult::Filled;
}

bool SaveBmpFile(const std::filesystem::path& path, const QImage& canvas, int bitsPerPixel) {
    return WriteFileReplacing(path, EncodeBmp(ReduceColors(canvas, bitsPerPixel), bitsPerPixel));
}

}  // namespace veldra
