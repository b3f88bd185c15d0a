#pragma once

// The texture fill: every closed region becomes one figure of a single path in
// fractional canvas pixels, and the path is filled once with the even-odd rule, so a
// region inside another (or the overlap of two) stays unpainted: that is how holes
// are made. The brush repeats the texture picture edge to edge, scaled uniformly by
// the magnification about the canvas's top-left pixel, so the tiling grid is anchored
// there whatever the position of the regions. No antialiasing.

#include <QImage>
#include <QPainterPath>

#include <filesystem>

#include "display/view_state.h"
#include "fill/regions.h"

class QPainter;

namespace veldra {

class TCanvas;

// Decodes a texture picture by its content: bitmap, JPEG, icon, PNG, GIF, TIFF and
// WebP through Qt's image plugins, Windows and enhanced metafiles through the picture
// decoding. A null image when the file cannot be read or decoded, or when the picture
// holds more pixels than the picture limit.
QImage LoadTexturePicture(const std::filesystem::path& file);

// The regions as one path in canvas pixels, through the view transform without
// rounding: px = (x - viewLeft) * viewScale, py = viewHeight - (y - viewBottom) * viewScale.
// Each polygon is one closed figure; a polygon of fewer than 2 points adds no edge,
// and one with a coordinate that is not finite is left out.
QPainterPath BuildRegionPath(const TAr2RealPoint& regionPolygons, const TViewState& view);

// Fills the path on the painter's device with the texture tiled from the device's
// origin and scaled by `magnification` (1 = unscaled; a value that is not finite and
// positive counts as 1). The painter's state is left as it was.
void FillRegionPath(QPainter& painter, const QPainterPath& path, const QImage& texture,
                    double magnification);

enum class TextureFillResult {
    Filled,             // the regions are painted (an empty set of regions included)
    PictureUnreadable,  // the texture could not be decoded: the canvas is unchanged
};

// Builds the path of the regions and fills it on the canvas with a decoded texture.
void FillRegionsWithTexture(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                            const TViewState& view, const QImage& texture, double magnification);

// Builds the path of the regions, decodes the texture once and fills the path on the
// canvas. The canvas is unchanged when the texture cannot be decoded.
TextureFillResult FillRegions(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                              const TViewState& view, const std::filesystem::path& picture,
                              double magnification);

}  // namespace veldra
