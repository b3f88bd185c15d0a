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
    const double m = std::isfinite(magnification) && magnification > 0 ? magnification : 1.0;
    FillRegionPath(painter, path, texture, QTransform::fromScale(m, m), 0);
}

void FillRegionPath(QPainter& painter, const QPainterPath& path, const QImage& texture,
                    const QTransform& brushTransform, int32_t firstRow) {
    if (path.isEmpty() || texture.isNull()) return;
    QBrush brush(texture);
    brush.setTransform(brushTransform);
    painter.save();
    // The path is in device pixels and the tiles start at the device origin; a band
    // sees both moved up by its first row, an integer, so every band samples the
    // picture's pixel centres as the whole picture would.
    painter.resetTransform();
    if (firstRow != 0) painter.translate(0, -firstRow);
    painter.setBrushOrigin(0, 0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(path);
    painter.restore();
}

void FillRegionPathSampled(QPainter& painter, const QPainterPath& path, const QImage& texture,
                           const QTransform& brushTransform, int32_t firstRow) {
    if (path.isEmpty() || texture.isNull() || painter.device() == nullptr ||
        painter.device()->devType() != QInternal::Image) {
        return;
    }
    auto* image = static_cast<QImage*>(painter.device());
    if (image->format() != QImage::Format_RGB32) return;
    const double det =
        brushTransform.m11() * brushTransform.m22() - brushTransform.m12() * brushTransform.m21();
    if (!std::isfinite(det) || std::fabs(det) < 1e-300) return;
    // Device (x, y) = (m11 u + m21 v, m12 u + m22 v) + origin; its inverse, linear part.
    const double i11 = brushTransform.m22() / det, i21 = -brushTransform.m21() / det;
    const double i12 = -brushTransform.m12() / det, i22 = brushTransform.m11() / det;
    const double ox = brushTransform.dx(), oy = brushTransform.dy();

    // Which pixels the path covers: the same rasteriser and rule as the brush fill.
    QImage mask(image->size(), QImage::Format_Grayscale8);
    if (mask.isNull()) return;
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (firstRow != 0) p.translate(0, -firstRow);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(path);
    }
    const QImage tiles = texture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int64_t tw = tiles.width(), th = tiles.height();
    auto wrap = [](double t, int64_t n) {
        const double f = std::floor(t);
        if (!(std::fabs(f) < 9e15)) return int64_t{0};
        int64_t i = static_cast<int64_t>(f) % n;
        return i < 0 ? i + n : i;
    };
    for (int y = 0; y < image->height(); ++y) {
        const uchar* covered = mask.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(image->scanLine(y));
        const double cy = (static_cast<double>(firstRow) + y - oy) + 0.5;
        const double rowU = i21 * cy, rowV = i22 * cy;
        for (int x = 0; x < image->width(); ++x) {
            if (covered[x] == 0) continue;
            const double cx = (x - ox) + 0.5;
            const QRgb t = reinterpret_cast<const QRgb*>(tiles.constScanLine(
                static_cast<int>(wrap(rowV + i12 * cx, th))))[wrap(rowU + i11 * cx, tw)];
            const int a = qAlpha(t);
            if (a == 255) {
                dst[x] = t;
            } else if (a != 0) {
                const QRgb d = dst[x];
                auto over = [a](int s, int b) { return s + (b * (255 - a) + 127) / 255; };
                dst[x] = qRgb(over(qRed(t), qRed(d)), over(qGreen(t), qGreen(d)),
                              over(qBlue(t), qBlue(d)));
            }
        }
    }
}

QTransform ScreenTilingTransform(double magnification, const TViewState& screenView,
                                 const TViewState& pictureView) {
    const double m = std::isfinite(magnification) && magnification > 0 ? magnification : 1.0;
    const double ratio = pictureView.viewScale / screenView.viewScale;
    // The paint box's top-left pixel: row 0 of the screen lies viewHeight / viewScale
    // above viewBottom.
    double ox = ViewToScreenX(pictureView, screenView.viewLeft);
    double oy = ViewToScreenY(pictureView,
                              screenView.viewBottom + screenView.viewHeight / screenView.viewScale);
    if (!std::isfinite(ratio) || !(ratio > 0) || !std::isfinite(ox) || !std::isfinite(oy)) {
        return QTransform::fromScale(m, m);
    }
    if (ratio == 1.0) {
        // At the screen's own scale the anchor lies on whole pixels; keep it there.
        ox = std::round(ox);
        oy = std::round(oy);
        if (ox == 0.0 && oy == 0.0) return QTransform::fromScale(m, m);
    }
    return QTransform(m * ratio, 0, 0, m * ratio, ox, oy);
}

QTransform PaperTilingTransform(const QImage& texture, double tileWidthMm, double angleDeg,
                                const TViewState& pictureView) {
    if (texture.isNull() || !(tileWidthMm > 0) || !std::isfinite(tileWidthMm) ||
        !std::isfinite(angleDeg)) {
        return {};
    }
    // Texture pixel (u, v) on paper: s (u, -v) turned by the angle, v running down.
    const double ks = pictureView.viewScale * tileWidthMm / texture.width();
    const double rad = angleDeg * M_PI / 180.0;
    const double c = std::cos(rad), s = std::sin(rad);
    // A picture on the paper's pixel grid has the origin on a whole pixel: keep it
    // exactly there, so that pictures of neighbouring fills sample the same tiles.
    auto snap = [](double v) {
        const double whole = std::round(v);
        return std::fabs(v - whole) < 1e-6 ? whole : v;
    };
    return QTransform(ks * c, -ks * s, ks * s, ks * c, snap(ViewToScreenX(pictureView, 0.0)),
                      snap(ViewToScreenY(pictureView, 0.0)));
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
