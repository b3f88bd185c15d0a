#include "fill/texture_fill.h"

#include <QBrush>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <cmath>

#include "display/canvas/canvas.h"
#include "display/pictures/picture_decode.h"
#include "display/pictures/picture_limits.h"

namespace veldra {

namespace {

int64_t PixelCount(const QSize& size) {
    return static_cast<int64_t>(size.width()) * size.height();
}

// A metafile played at its own pixel size onto a transparent picture, so that the
// canvas shows through where the metafile draws nothing.
QImage RasterizeMetafile(const QString& file) {
    for (TPictureFormat format : {TPictureFormat::EnhancedMetafile, TPictureFormat::Metafile}) {
        auto picture = DecodePictureFile(file, format);
        if (!picture || picture->Width() < 1 || picture->Height() < 1) continue;
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
    const QString name = QFile::decodeName(QByteArray(file.c_str()));
    QImageReader reader(name);
    // The extension may lie (a JPEG saved as .bmp still loads, as it does on Windows).
    reader.setDecideFormatFromContent(true);
    // A small file may declare a huge picture (a bitmap of 1-bit rows): refuse it
    // before any pixel is decoded, as picture placements do.
    if (reader.size().isValid() && PixelCount(reader.size()) > kMaxPicturePixels) return {};
    QImage image = reader.read();
    if (image.isNull()) image = RasterizeMetafile(name);
    if (image.isNull() || image.width() < 1 || image.height() < 1 ||
        PixelCount(image.size()) > kMaxPicturePixels)
        return {};
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
