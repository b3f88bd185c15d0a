#include "fill/texture_fill.h"

#include <QBrush>
#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/file_system.h"
#include "display/pictures/picture_decode.h"
#include "display/pictures/picture_limits.h"

namespace veldra {

namespace {

int64_t PixelCount(const QSize& size) {
    return static_cast<int64_t>(size.width()) * size.height();
}

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

// Texture coordinate to tile index: floor, then the remainder in 0..n-1 (0 for a
// coordinate too large to floor exactly). Neighbouring pixels differ by a few tiles
// at most, so the remainder follows the last one by steps instead of dividing.
class TWrap {
  public:
    explicit TWrap(int64_t n) : n_(n) {}
    int32_t operator()(double t) {
        if (!(std::fabs(t) < 9.5e15)) return 0;
        int64_t whole = static_cast<int64_t>(t);  // toward zero; floor below
        if (static_cast<double>(whole) > t) --whole;
        if (!(std::fabs(static_cast<double>(whole)) < 9e15)) return 0;
        const int64_t step = whole - lastWhole_;
        if (haveLast_ && step > -4 * n_ && step < 4 * n_) {
            lastWrapped_ += step;
            while (lastWrapped_ >= n_) lastWrapped_ -= n_;
            while (lastWrapped_ < 0) lastWrapped_ += n_;
        } else {
            lastWrapped_ = whole % n_;
            if (lastWrapped_ < 0) lastWrapped_ += n_;
            haveLast_ = true;
        }
        lastWhole_ = whole;
        return static_cast<int32_t>(lastWrapped_);
    }

  private:
    int64_t n_;
    int64_t lastWhole_ = 0, lastWrapped_ = 0;
    bool haveLast_ = false;
};

// The tiles' rows, taken once, and whether every pixel is opaque.
struct TTileRows {
    explicit TTileRows(const QImage& tiles) : width(tiles.width()), height(tiles.height()) {
        rows.reserve(static_cast<size_t>(height));
        for (int y = 0; y < tiles.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(tiles.constScanLine(y));
            rows.push_back(row);
            for (int x = 0; x < tiles.width() && opaque; ++x) opaque = qAlpha(row[x]) == 255;
        }
    }
    const QRgb* Row(int32_t y) const { return rows[static_cast<size_t>(y)]; }
    int64_t width, height;
    std::vector<const QRgb*> rows;
    bool opaque = true;
};

// A premultiplied texture pixel over an opaque canvas pixel.
QRgb Over(QRgb t, QRgb d) {
    const int a = qAlpha(t);
    if (a == 255) return t;
    if (a == 0) return d;
    auto over = [a](int s, int b) { return s + (b * (255 - a) + 127) / 255; };
    return qRgb(over(qRed(t), qRed(d)), over(qGreen(t), qGreen(d)), over(qBlue(t), qBlue(d)));
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
    // A small file may declare a huge picture (a bitmap of 1-bit rows): refuse it
    // before any pixel is decoded, as picture placements do.
    if (reader.size().isValid() && PixelCount(reader.size()) > kMaxPicturePixels) return {};
    QImage image = reader.read();
    if (image.isNull()) image = RasterizeMetafile(bytes);
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
    // i12 and i21 are exact zeros when the tiles are not turned (sin 0 = 0).

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
    const TTileRows rows(tiles);
    const int width = image->width();
    // At angle 0 a column's texture column is the same on every row: found once.
    const bool upright = i12 == 0.0 && i21 == 0.0 && std::isfinite(ox) && std::isfinite(oy);
    std::vector<int32_t> columnOf;
    if (upright) {
        columnOf.resize(static_cast<size_t>(width));
        TWrap wrapU(rows.width);
        for (int x = 0; x < width; ++x)
            columnOf[static_cast<size_t>(x)] = wrapU(i11 * ((x - ox) + 0.5));
    }
    for (int y = 0; y < image->height(); ++y) {
        const uchar* covered = mask.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(image->scanLine(y));
        const double cy = (static_cast<double>(firstRow) + y - oy) + 0.5;
        const double rowU = i21 * cy, rowV = i22 * cy;
        TWrap wrapU(rows.width), wrapV(rows.height);
        const QRgb* uprightRow = upright ? rows.Row(wrapV(rowV + i12 * 0.5)) : nullptr;
        for (int x = 0; x < width;) {
            // One span of covered pixels at a time.
            while (x < width && covered[x] == 0) ++x;
            const int end =
                static_cast<int>(std::find(covered + x, covered + width, uchar{0}) - covered);
            if (upright) {
                if (rows.opaque) {
                    for (; x < end; ++x) dst[x] = uprightRow[columnOf[static_cast<size_t>(x)]];
                } else {
                    for (; x < end; ++x)
                        dst[x] = Over(uprightRow[columnOf[static_cast<size_t>(x)]], dst[x]);
                }
                continue;
            }
            for (; x < end; ++x) {
                // The same arithmetic per pixel as ever, so each pixel takes the same
                // texture pixel; only the look-up is cheaper.
                const double cx = (x - ox) + 0.5;
                const QRgb t = rows.Row(wrapV(rowV + i12 * cx))[wrapU(rowU + i11 * cx)];
                dst[x] = rows.opaque ? t : Over(t, dst[x]);
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

}  // namespace veldra
