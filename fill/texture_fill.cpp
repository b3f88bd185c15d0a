#include "fill/texture_fill.h"

#include <QBrush>
#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

#include "common/file_system.h"
#include "display/canvas/canvas.h"
#include "display/pictures/picture_decode.h"
#include "display/pictures/picture_limits.h"

namespace veldra {

namespace {

// A metafile played at its own pixel size onto a transparent picture, so that the
// canvas shows through where the metafile draws nothing. A metafile declaring more
// pixels than a raster picture may have is refused like such a picture.
QImage RasterizeMetafile(const QByteArray& bytes) {
    for (TPictureFormat format : {TPictureFormat::EnhancedMetafile, TPictureFormat::Metafile}) {
        auto picture = DecodePictureBytes(bytes, format);
        if (!picture || picture->Width() < 1 || picture->Height() < 1) continue;
        if (int64_t{picture->Width()} * picture->Height() > kMaxPicturePixels) return {};
        QImage image(picture->Width(), picture->Height(), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) continue;
        image.fill(Qt::transparent);
        QPainter painter(&image);
        picture->PlayMetafile(painter, QRectF(0, 0, image.width(), image.height()));
        return image;
    }
    return {};
}

}  // namespace

QImage LoadTexturePicture(const std::filesystem::path& file) {
    // Read through the file layer: a FIFO or device is refused without waiting.
    const TReadResult read = ReadWholeFile(
        file, static_cast<uint64_t>(std::max(kMaxPictureFileBytes, kMaxMetafileBytes)));
    if (!read.Ok() || read.bytes.empty()) return {};
    const QByteArray bytes = QByteArray::fromStdString(read.bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The extension may lie (a JPEG saved as .bmp still loads, as it does on Windows).
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) image = RasterizeMetafile(bytes);
    if (image.isNull() || image.width() < 1 || image.height() < 1) return {};
    return image;
}

QPainterPath BuildRegionPath(const TAr2RealPoint& regionPolygons, const TViewState& view) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    QPolygonF figure;
    for (const TAryRealPoint& polygon : regionPolygons) {
        if (polygon.size() < 2) continue;
        figure.clear();
        bool finite = true;
        for (const TRealPoint& p : polygon) {
            QPointF q(ViewToScreenX(view, p.X), ViewToScreenY(view, p.Y));
            finite = finite && std::isfinite(q.x()) && std::isfinite(q.y());
            figure.push_back(q);
        }
        // Qt would drop such points one by one and warn; leave the figure out instead.
        if (!finite) continue;
        path.addPolygon(figure);
        path.closeSubpath();
    }
    return path;
}

void FillRegionPath(QPainter& painter, const QPainterPath& path, const QImage& texture,
                    double magnification) {
    if (path.isEmpty() || texture.isNull()) return;
    const double m = std::isfinite(magnification) && magnification > 0 ? magnification : 1.0;
    QBrush brush(texture);
    brush.setTransform(QTransform::fromScale(m, m));
    painter.save();
    // The path is in device pixels and the tiles start at the device origin.
    painter.resetTransform();
    painter.setBrushOrigin(0, 0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(path);
    painter.restore();
}

void FillRegionsWithTexture(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                            const TViewState& view, const QImage& texture, double magnification) {
    QPainterPath path = BuildRegionPath(regionPolygons, view);
    canvas.PaintWith(
        [&](QPainter& painter) { FillRegionPath(painter, path, texture, magnification); });
}

TextureFillResult FillRegions(TCanvas& canvas, const TAr2RealPoint& regionPolygons,
                              const TViewState& view, const std::filesystem::path& picture,
                              double magnification) {
    QImage texture = LoadTexturePicture(picture);
    if (texture.isNull()) return TextureFillResult::PictureUnreadable;
    FillRegionsWithTexture(canvas, regionPolygons, view, texture, magnification);
    return TextureFillResult::Filled;
}

}  // namespace veldra
