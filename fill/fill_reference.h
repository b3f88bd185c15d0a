#pragma once

// The fill and save of the whole canvas in one call each: decode the texture and fill
// the regions on the canvas, reduce the canvas to the depth and write it as one bitmap.
// The program fills and writes in bands (fill/fill_pipeline.h); tests and benchmarks
// still use these to paint and write whole pictures. The program never links them.

#include <QImage>

#include <filesystem>

#include "regions/regions.h"
#include "view/view_state.h"

namespace veldra {

class TCanvas;

enum class TTextureFillResult {
    Filled,             // the regions are painted (an empty set of regions included)
    PictureUnreadable,  // the texture could not be decoded: the canvas is unchanged
};

// Builds the path of the regions and fills it on the canvas with a decoded texture.
void FillRegionsWithTexture(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                            const TViewState& view, const QImage& texture, double magnification);

// Builds the path of the regions, decodes the texture once and fills the path on the
// canvas. The canvas is unchanged when the texture cannot be decoded.
TTextureFillResult FillRegions(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                               const TViewState& view, const std::filesystem::path& picture,
                               double magnification);

// Reduces the canvas to the depth (ReduceColors), encodes it and writes the file with
// WriteFileReplacing. False on any failure.
bool SaveBmpFile(const std::filesystem::path& path, const QImage& canvas, int bitsPerPixel);

}  // namespace veldra
