#include "fill/picture_bands.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/pictures/picture_decode.h"
#include "display/render/render.h"
#include "fill/bmp_band_writer.h"
#include "fill/color_reduction.h"
#include "fill/texture_fill.h"

namespace veldra {

QImage RenderPictureBand(const TPictureScene& scene, int32_t firstRow, int32_t rows) {
    // Same window, same scale: only the rows move. The view maps a paper point to row
    // viewHeight - round(...), so a view `firstRow` rows shorter puts it firstRow rows up.
    TViewState band = scene.view;
    band.viewHeight = scene.view.viewHeight - firstRow;
    TCanvas canvas(scene.view.viewWidth, rows);
    TDrawContext context(band, scene.attributes);
    context.ClearCanvas(canvas, scene.view.viewWidth, rows);
    TRenderTarget target{context, canvas, scene.store.state, scene.cache};
    DrawSolidsAndPictures(target, scene.store);
    canvas.PaintWith([&](QPainter& painter) {
        if (scene.sampled) {
            FillRegionPathSampled(painter, scene.regionPath, scene.texture, scene.brushTransform,
                                  firstRow);
        } else {
            FillRegionPath(painter, scene.regionPath, scene.texture, scene.brushTransform,
                           firstRow);
        }
    });
    return canvas.Image();
}

int32_t BandRowsFor(int64_t width, int64_t height, int64_t bandPixels) {
    const int64_t rows = bandPixels / std::max<int64_t>(width, 1);
    return static_cast<int32_t>(std::clamp<int64_t>(rows, 1, std::max<int64_t>(height, 1)));
}

TPreviewSampler::TPreviewSampler(const TViewState& screen, const TViewState& picture, QRgb fill)
    : image_(std::max(screen.viewWidth, 1), std::max(screen.viewHeight, 1), QImage::Format_RGB32) {
    image_.fill(fill);
    sourceColumn_.assign(static_cast<size_t>(image_.width()), -1);
    sourceRow_.assign(static_cast<size_t>(image_.height()), -1);
    for (int x = 0; x < image_.width(); ++x) {
        const double paperX = screen.viewLeft + (x + 0.5) / screen.viewScale;
        const double c = std::floor(ViewToScreenX(picture, paperX));
        if (c >= 0 && c < picture.viewWidth) sourceColumn_[size_t(x)] = static_cast<int32_t>(c);
    }
    for (int y = 0; y < image_.height(); ++y) {
        const double paperY =
            screen.viewBottom + (screen.viewHeight - (y + 0.5)) / screen.viewScale;
        const double r = std::floor(ViewToScreenY(picture, paperY));
        if (r >= 0 && r < picture.viewHeight) sourceRow_[size_t(y)] = static_cast<int32_t>(r);
    }
}

void TPreviewSampler::Take(const QImage& reducedBand, int32_t firstRow) {
    const QImage rgb = reducedBand.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image_.height(); ++y) {
        const int32_t row = sourceRow_[size_t(y)] - firstRow;
        if (row < 0 || row >= rgb.height()) continue;
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(row));
        auto* dst = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = 0; x < image_.width(); ++x) {
            const int32_t c = sourceColumn_[size_t(x)];
            if (c >= 0 && c < rgb.width()) dst[x] = src[c];
        }
    }
}

TBandedSaveResult SaveBandedPicture(const TPictureScene& scene, const std::filesystem::path& path,
                                    const TBandedSave& how) {
    const int64_t width = scene.view.viewWidth, height = scene.view.viewHeight;
    if (width < 1 || height < 1) return TBandedSaveResult::Failed;
    const int32_t rows = how.bandRows > 0 ? std::min<int32_t>(how.bandRows, int32_t(height))
                                          : BandRowsFor(width, height);
    TColorReducer reducer(how.bitsPerPixel, static_cast<int>(width));
    const int64_t bands = (height + rows - 1) / rows;
    const int64_t steps = reducer.NeedsSurvey() ? 2 * bands : bands;
    int64_t step = 0;
    auto stopped = [&] {
        ++step;
        return how.progress && how.progress(double(step) / double(steps));
    };
    auto bandAt = [&](int64_t y0) {
        return RenderPictureBand(scene, static_cast<int32_t>(y0),
                                 static_cast<int32_t>(std::min<int64_t>(rows, height - y0)));
    };
    // A picture of one band is drawn once, whatever the depth.
    QImage single;
    if (reducer.NeedsSurvey()) {
        for (int64_t y0 = 0; y0 < height; y0 += rows) {
            QImage band = bandAt(y0);
            if (band.isNull()) return TBandedSaveResult::Failed;
            reducer.Survey(band);
            if (bands == 1) single = band;
            if (stopped()) return TBandedSaveResult::Cancelled;
        }
    }
    TBmpBandWriter writer;
    if (!writer.Open(path, width, height, how.bitsPerPixel, reducer.ColorTable(),
                     how.pixelsPerMetre)) {
        return TBandedSaveResult::Failed;
    }
    for (int64_t y0 = 0; y0 < height; y0 += rows) {
        const QImage reduced = reducer.Reduce(single.isNull() ? bandAt(y0) : single);
        if (reduced.isNull() || !writer.WriteBand(reduced, y0)) return TBandedSaveResult::Failed;
        if (how.preview) how.preview->Take(reduced, static_cast<int32_t>(y0));
        if (how.whole && bands == 1) *how.whole = reduced;
        if (stopped()) return TBandedSaveResult::Cancelled;
    }
    return writer.Commit() ? TBandedSaveResult::Saved : TBandedSaveResult::Failed;
}

}  // namespace veldra
