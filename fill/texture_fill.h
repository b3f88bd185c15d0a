#pragma once

// The texture fill: every closed region becomes one figure of a single path in
// fractional canvas pixels, and the path is filled once with the even-odd rule, so a
// region inside another (or the overlap of two) stays unpainted: that is how holes
// are made. The brush repeats the texture picture edge to edge, scaled uniformly by
// the magnification about the canvas's top-left pixel, so the tiling grid is anchored
// there whatever the position of the regions. No antialiasing.

#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include <filesystem>

#include "regions/regions.h"
#include "view/view_state.h"

class QPainter;

namespace veldra {

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

// The same with the brush given as a transform from texture pixels to device pixels.
// `firstRow` is the device row the painter's device starts at: a band of a taller
// picture holds rows firstRow.., and path and tiles are moved up by that much.
void FillRegionPath(QPainter& painter, const QPainterPath& path, const QImage& texture,
                    const QTransform& brushTransform, int32_t firstRow);

// The same by sampling the texture itself at every covered pixel centre: the pixel's
// offset from the transform's origin (whole pixels when the origin lies on one) goes
// through the inverse of the transform's linear part, so a pixel at the same place on
// the paper takes the same texture pixel in every picture and every band, wherever its
// row of the region starts. Transparent texture pixels blend over the canvas.
void FillRegionPathSampled(QPainter& painter, const QPainterPath& path, const QImage& texture,
                           const QTransform& brushTransform, int32_t firstRow);

// The screen tiling (screen pixels times the magnification from the canvas corner)
// seen from a picture of another resolution or area: the texture scaled by the
// magnification times the ratio of the picture's pixels per paper mm to the screen's,
// its grid anchored at the view window's top-left corner. For the view's own pixels
// this is exactly the scale by the magnification about the canvas origin.
QTransform ScreenTilingTransform(double magnification, const TViewState& screenView,
                                 const TViewState& pictureView);

// Tiles tied to the paper: `tileWidthMm` wide on paper (their height by the texture's
// aspect), turned by `angleDeg` counter-clockwise, tiled from the paper origin (0, 0),
// so the texture looks the same at every zoom and resolution. One tile spans
// tileWidthMm x pixels per mm device pixels. Identity for an unusable width.
QTransform PaperTilingTransform(const QImage& texture, double tileWidthMm, double angleDeg,
                                const TViewState& pictureView);

}  // namespace veldra
