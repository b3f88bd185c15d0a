#include "display/pictures/picture.h"

#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>

#include "display/canvas/clipping.h"
#include "display/pictures/img_convert.h"
#include "display/pictures/picture_decode.h"
#include "display/pictures/picture_frame.h"

namespace veldra {

namespace {

// Pixel rectangle of the placed frame: left, top, right, bottom.
struct TPixelFrame {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
using TFrameDrawer = std::function<void(const TPixelFrame&)>;

// A metafile frame larger than this (pixels) is played into a picture of at most
// kMaxMetafileRaster pixels a side first, so that no drawing command meets
// coordinates far beyond the canvas.
constexpr double kMaxDirectMetafilePixels = 16384.0;
constexpr double kMaxMetafileRaster = 4096.0;
// File the conversion module is asked to write a trimmed converted picture to.
constexpr char kConvertedTemp[] = "$IMGTEMP.BMP";

// Steps shared by both drawings before the file is touched: a frame below 2 pixels
// or wholly beyond one border of the window is not drawn.
bool WorthDrawing(const TDrawContext& context, double x1, double y1, double x2, double y2) {
    const TViewState& v = context.View();
    if (std::fabs(x2 - x1) * v.viewScale < kMinPictureFramePixels ||
        std::fabs(y2 - y1) * v.viewScale < kMinPictureFramePixels)
        return false;
    return ClassifySegment(x1, y1, x2, y2, v.viewLeft, v.viewBottom, v.viewRight, v.viewTop) !=
           kSegmentOutside;
}

std::shared_ptr<const TDecodedPicture> Load(const QString& path, TPictureFormat format,
                                            TPictureCache* cache) {
    if (cache != nullptr) return cache->Load(path, format);
    return DecodePictureFile(path, format);
}

// Places the frame with the aspect ratio and draws the placeholder or the picture.
void PlaceAndDraw(TDrawContext& context, TCanvas& canvas, double x1, double y1, double x2,
                  double y2, double aspect, const TFrameDrawer& draw) {
    if (!(aspect > 0.0) || !std::isfinite(aspect)) return;
    const TPictureFrame frame = PlacePictureFrame(x1, y1, x2, y2, aspect);
    const TPixelPoint lb = context.ToPixel(frame.left, frame.bottom);
    const TPixelPoint rt = context.ToPixel(frame.right, frame.top);
    const int64_t w = std::llabs(int64_t{rt.x} - lb.x), h = std::llabs(int64_t{rt.y} - lb.y);
    if (w <= kPlaceholderMaxPixels || h <= kPlaceholderMaxPixels) {
        context.ApplyEntityPen(canvas, -1, 0, 0, 0.5);
        context.SetCanvasBrush(canvas, 0xFFFFFF, 1);
        context.DrawScreenRect(canvas, lb.x, lb.y, rt.x, rt.y);
        return;
    }
    draw({lb.x, rt.y, rt.x, lb.y});
}

// Draws an image with its transparency into the frame, nearest neighbour, visiting
// only the part of the frame on the canvas.
void DrawBlended(TCanvas& canvas, const TPixelFrame& f, const QImage& image) {
    const QRectF target(QPointF(f.left, f.top), QPointF(f.right, f.bottom));
    const QRectF visible = target.intersected(QRectF(0, 0, canvas.Width(), canvas.Height()));
    if (visible.isEmpty() || image.isNull()) return;
    const double sx = image.width() / target.width(), sy = image.height() / target.height();
    const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                        visible.width() * sx, visible.height() * sy);
    canvas.PaintWith([&](QPainter& p) { p.drawImage(visible, image, source); });
}

void DrawMetafile(TCanvas& canvas, const TPixelFrame& f, const TDecodedPicture& picture,
                  TMetafilePlayback* playback) {
    const QRectF target(QPointF(f.left, f.top), QPointF(f.right, f.bottom));
    if (target.width() <= kMaxDirectMetafilePixels && target.height() <= kMaxDirectMetafilePixels) {
        canvas.PaintWith([&](QPainter& p) {
            p.setClipRect(QRect(0, 0, canvas.Width(), canvas.Height()));
            picture.PlayMetafile(p, target, playback);
        });
        return;
    }
    const double shrink = kMaxMetafileRaster / std::max(target.width(), target.height());
    QImage raster(std::max(1, static_cast<int>(target.width() * shrink)),
                  std::max(1, static_cast<int>(target.height() * shrink)),
                  QImage::Format_ARGB32_Premultiplied);
    raster.fill(Qt::transparent);
    QPainter painter(&raster);
    picture.PlayMetafile(painter, QRectF(0, 0, raster.width(), raster.height()), playback);
    painter.end();
    DrawBlended(canvas, f, raster);
}

// The whole picture into the frame: bitmaps opaque, icons and metafiles with
// their transparency.
void DrawWhole(TCanvas& canvas, const TPixelFrame& f, const TDecodedPicture& picture,
               TMetafilePlayback* playback) {
    switch (picture.Format()) {
        case TPictureFormat::Bitmap:
            canvas.StretchDraw(f.left, f.top, f.right, f.bottom, picture.Raster());
            break;
        case TPictureFormat::Icon:
            DrawBlended(canvas, f, picture.Raster());
            break;
        default:
            DrawMetafile(canvas, f, picture, playback);
            break;
    }
}

// The part `r` of a bitmap stretched over the frame. Only the part that lies on
// the picture is drawn; the rest of the frame stays as it is.
void DrawBitmapPart(TCanvas& canvas, const TPixelFrame& f, const QImage& image,
                    const TSourceRect& r) {
    const int64_t cw = r.right - r.left, ch = r.bottom - r.top;
    if (cw <= 0 || ch <= 0) return;
    const int64_t il = std::max<int64_t>(r.left, 0), it = std::max<int64_t>(r.top, 0);
    const int64_t ir = std::min<int64_t>(r.right, image.width());
    const int64_t ib = std::min<int64_t>(r.bottom, image.height());
    if (il >= ir || it >= ib) return;
    const double fw = static_cast<double>(f.right) - f.left;
    const double fh = static_cast<double>(f.bottom) - f.top;
    const auto at = [](double origin, double span, int64_t offset, int64_t whole) {
        return static_cast<int32_t>(
            std::lround(origin + span * static_cast<double>(offset) / static_cast<double>(whole)));
    };
    const QImage part = image.copy(static_cast<int>(il), static_cast<int>(it),
                                   static_cast<int>(ir - il), static_cast<int>(ib - it));
    canvas.StretchDraw(at(f.left, fw, il - r.left, cw), at(f.top, fh, it - r.top, ch),
                       at(f.left, fw, ir - r.left, cw), at(f.top, fh, ib - r.top, ch), part);
}

}  // namespace

void DrawPicture(TDrawContext& context, TCanvas& canvas, double x1, double y1, double x2, double y2,
                 std::string_view file, TPictureCache* cache, TMetafilePlayback* metafiles) {
    if (!WorthDrawing(context, x1, y1, x2, y2)) return;
    const QString path = PictureFilePath(file);
    if (!QFileInfo::exists(path)) return;
    const TPictureFormat format = PictureFormatOf(file);
    if (!IsDirectFormat(format)) {
        int32_t w = 0, h = 0;
        PictureSizeOf(file, w, h);
        return;  // the conversion module knows no size, so nothing can be placed
    }
    const auto picture = Load(path, format, cache);
    if (!picture) return;
    const double aspect = static_cast<double>(picture->Width()) / picture->Height();
    PlaceAndDraw(context, canvas, x1, y1, x2, y2, aspect,
                 [&](const TPixelFrame& f) { DrawWhole(canvas, f, *picture, metafiles); });
}

void DrawTrimmedPicture(TDrawContext& context, TCanvas& canvas, double x1, double y1, double x2,
                        double y2, double trimX, double trimY, double trimSize,
                        std::string_view file, TPictureCache* cache, TMetafilePlayback* metafiles) {
    const TTrim trim = NormalizeTrim(trimX, trimY, trimSize);
    if (!WorthDrawing(context, x1, y1, x2, y2)) return;
    QString path = PictureFilePath(file);
    if (!QFileInfo::exists(path)) return;
    TPictureFormat format = PictureFormatOf(file);
    if (format == TPictureFormat::Converted) {
        if (!ConvertPictureToBitmap(file, kConvertedTemp, -1)) return;
        path = QString::fromLatin1(kConvertedTemp);
        format = TPictureFormat::Bitmap;
    }
    if (!IsDirectFormat(format)) return;
    const auto picture = Load(path, format, cache);
    if (!picture) return;
    const int32_t w = picture->Width(), h = picture->Height();
    if (format == TPictureFormat::Bitmap) {
        const TSourceRect part = TrimSourceRect(w, h, trim);
        PlaceAndDraw(
            context, canvas, x1, y1, x2, y2, static_cast<double>(w) / h,
            [&](const TPixelFrame& f) { DrawBitmapPart(canvas, f, picture->Raster(), part); });
        return;
    }
    // Metafiles and icons: drawn whole, in the aspect ratio of the trimmed part.
    const double partW = static_cast<double>(RoundHalfEven(w * trim.size));
    const double partH = static_cast<double>(RoundHalfEven(h * trim.size));
    if (partW <= 0.0 || partH <= 0.0) return;
    PlaceAndDraw(context, canvas, x1, y1, x2, y2, partW / partH,
                 [&](const TPixelFrame& f) { DrawWhole(canvas, f, *picture, metafiles); });
}

}  // namespace veldra
