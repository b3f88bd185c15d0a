#include "display/canvas/canvas.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "display/canvas/canvas_fill.h"
#include "display/canvas/canvas_guard.h"
#include "display/canvas/canvas_raster.h"
#include "display/canvas/canvas_wide.h"

namespace veldra {

namespace {

// Dash runs of the thin pen styles in pixels (on, off, ...), as a device context
// draws them; Qt's own dashes are shorter.
constexpr std::array<uint8_t, 2> kDashRuns = {18, 6};
constexpr std::array<uint8_t, 2> kDotRuns = {3, 3};
constexpr std::array<uint8_t, 4> kDashDotRuns = {9, 6, 3, 6};
constexpr std::array<uint8_t, 6> kDashDotDotRuns = {9, 3, 3, 3, 3, 3};

QRgb ToQRgb(uint32_t colorRef) {
    return qRgb(static_cast<int>(colorRef & 0xFFu), static_cast<int>((colorRef >> 8) & 0xFFu),
                static_cast<int>((colorRef >> 16) & 0xFFu));
}

// 0x00BBGGRR to the 0x00RRGGBB of the pixel buffer.
uint32_t ToPixelRgb(uint32_t colorRef) {
    return ((colorRef & 0xFFu) << 16) | (colorRef & 0xFF00u) | ((colorRef >> 16) & 0xFFu);
}

Qt::BrushStyle ToQtBrushStyle(TBrushStyle style) {
    switch (style) {
        case TBrushStyle::Solid:
            return Qt::SolidPattern;
        case TBrushStyle::Horizontal:
            return Qt::HorPattern;
        case TBrushStyle::Vertical:
            return Qt::VerPattern;
        case TBrushStyle::FDiagonal:
            return Qt::FDiagPattern;
        case TBrushStyle::BDiagonal:
            return Qt::BDiagPattern;
        case TBrushStyle::Cross:
            return Qt::CrossPattern;
        case TBrushStyle::DiagCross:
            return Qt::DiagCrossPattern;
        case TBrushStyle::Hollow:
            break;
    }
    return Qt::NoBrush;
}

QImage Blank(int32_t width, int32_t height) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    return image;
}

}  // namespace

struct TCanvas::Impl {
    QImage image;
    QPainter painter;
    uint32_t penColor = 0x000000;
    int32_t penWidth = 1;
    TPenStyle penStyle = TPenStyle::Solid;
    TMixMode mix = TMixMode::CopyPen;
    uint32_t brushColor = 0xFFFFFF;
    TBrushStyle brushStyle = TBrushStyle::Solid;
    TPixelPoint position;
    TDashCursor dash;
    std::vector<TGuardPoint> points, clipped, scratch;
    std::vector<int64_t> columns;
    std::vector<double> crossings;
    uint32_t* bits = nullptr;
    int64_t stride = 0;
    int32_t width = 0, height = 0;  // the image never changes its size

    bool Thin() const { return penWidth <= 1; }
    bool NullPen() const { return penStyle == TPenStyle::Null; }
    bool Xor() const { return mix == TMixMode::XorPen; }

    // A painter in the current mix mode. Copy mode blends over, so that the gaps
    // of hatch brushes leave the pixels as they were.
    QPainter& Painter() {
        if (!painter.isActive()) painter.begin(&image);
        painter.setCompositionMode(Xor() ? QPainter::RasterOp_SourceXorDestination
                                         : QPainter::CompositionMode_SourceOver);
        return painter;
    }

    // The pixel buffer, fetched once: QImage::bits() checks for sharing on every
    // call. Forgotten whenever the image is handed out (it may be copied then).
    TRasterTarget Target() {
        if (bits == nullptr) {
            bits = reinterpret_cast<uint32_t*>(image.bits());
            stride = image.bytesPerLine() / 4;
        }
        return {bits, stride, width, height};
    }

    // Wide strokes are centred on the pixel centres; otherwise round caps come
    // out lopsided.
    QPen WidePen() const {
        return QPen(QColor(ToQRgb(penColor)), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }

    // The canvas, widened enough that cut ends and caps stay out of sight.
    TGuardBox Guard() const {
        const double m = penWidth + 4.0;
        return {-m, -m, width + m, height + m};
    }

    // The pixels of LineTo from (x0, y0) to (x1, y1).
    void Segment(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        if (NullPen()) return;
        if (Thin()) {
            ThinLine(x0, y0, x1, y1);
            return;
        }
        // A wide pen has round caps: a line of no length is a round dot.
        if (x0 == x1 && y0 == y1) {
            if (!Xor()) {
                RasterWideLine(Target(), x1, y1, x1, y1, penWidth, ToPixelRgb(penColor));
                return;
            }
            const TGuardBox box = Guard();
            if (x1 >= box.left && x1 <= box.right && y1 >= box.top && y1 <= box.bottom) {
                WideDot(x1 + 0.5, y1 + 0.5);
            }
            return;
        }
        if (!Xor()) {
            RasterWideLine(Target(), x0, y0, x1, y1, penWidth, ToPixelRgb(penColor));
            return;
        }
        points.assign({{double(x0), double(y0)}, {double(x1), double(y1)}});
        StrokeWide(false);
    }

    void ThinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        RasterThinLine(Target(), x0, y0, x1, y1, ToPixelRgb(penColor), Xor(), &dash);
    }

    // One pixel in the pen colour and mix mode.
    void Plot(int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        TRasterTarget t = Target();
        uint32_t& px = t.bits[static_cast<int64_t>(y) * t.stride + x];
        const uint32_t rgb = ToPixelRgb(penColor);
        px = Xor() ? (px ^ rgb) : (0xFF000000u | rgb);
    }

    void WideDot(double x, double y) {
        QPainter& p = Painter();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(ToQRgb(penColor)));
        p.drawEllipse(QPointF(x, y), penWidth / 2.0, penWidth / 2.0);
    }

    // Wide outline through `points` (pixel centres on integer coordinates). In
    // copy mode each piece is rasterised on its own; in XOR mode all pieces go
    // into one path, so that each pixel is painted once (XOR twice restores).
    void StrokeWide(bool closed) {
        const size_t n = points.size();
        if (n < 2) return;
        const size_t pieces = closed ? n : n - 1;
        if (!Xor()) {
            const TRasterTarget target = Target();
            for (size_t i = 0; i < pieces; ++i) {
                const TGuardPoint& a = points[i];
                const TGuardPoint& b = points[(i + 1) % n];
                if (a.x == b.x && a.y == b.y) continue;
                RasterWideLine(target, a.x, a.y, b.x, b.y, penWidth, ToPixelRgb(penColor));
            }
            return;
        }
        const TGuardBox box = Guard();
        QPainterPath path;
        bool open = false;
        TGuardPoint last;
        for (size_t i = 0; i < pieces; ++i) {
            TGuardPoint a = points[i];
            TGuardPoint b = points[(i + 1) % n];
            if (a.x == b.x && a.y == b.y) continue;
            if (!ClipSegmentToBox(a, b, box)) {
                open = false;
                continue;
            }
            // Qt's pixel centres lie half a pixel off the integer coordinates.
            if (!open || a.x != last.x || a.y != last.y) path.moveTo(a.x + 0.5, a.y + 0.5);
            path.lineTo(b.x + 0.5, b.y + 0.5);
            last = b;
            open = true;
        }
        if (path.isEmpty()) return;
        QPainter& p = Painter();
        p.setPen(WidePen());
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    void FillPoints() {
        if (brushStyle == TBrushStyle::Hollow) return;
        const TGuardBox box{-2.0, -2.0, width + 2.0, height + 2.0};
        const std::vector<TGuardPoint>* fill = &points;
        if (!InsideBox(points, box)) {
            ClipPolygonToBox(points, clipped, scratch, box);
            fill = &clipped;
        }
        if (fill->size() < 3) return;
        if (brushStyle == TBrushStyle::Solid && !Xor()) {
            FillPolygonEvenOdd(Target(), *fill, ToPixelRgb(brushColor), crossings);
            return;
        }
        // Hatches and XOR: the same pixels, painted by Qt with the brush pattern
        // (anchored at the canvas origin), each once.
        QPainter& p = Painter();
        const QBrush brush(QColor(ToQRgb(brushColor)), ToQtBrushStyle(brushStyle));
        EvenOddSpans(width, height, *fill, crossings, [&](int32_t y, int32_t left, int32_t right) {
            p.fillRect(QRect(left, y, right - left, 1), brush);
        });
    }

    // Fills the pixel rectangle [left, right) x [top, bottom) with the brush.
    void FillPixels(int64_t left, int64_t top, int64_t right, int64_t bottom) {
        if (brushStyle == TBrushStyle::Hollow) return;
        left = std::max<int64_t>(left, 0);
        top = std::max<int64_t>(top, 0);
        right = std::min<int64_t>(right, image.width());
        bottom = std::min<int64_t>(bottom, image.height());
        if (left >= right || top >= bottom) return;
        QPainter& p = Painter();
        p.fillRect(QRect(static_cast<int>(left), static_cast<int>(top),
                         static_cast<int>(right - left), static_cast<int>(bottom - top)),
                   QBrush(QColor(ToQRgb(brushColor)), ToQtBrushStyle(brushStyle)));
    }

    void ResetDash() {
        dash.position = 0;
        switch (penStyle) {
            case TPenStyle::Dash:
                dash.runs = kDashRuns.data(), dash.runCount = 2;
                break;
            case TPenStyle::Dot:
                dash.runs = kDotRuns.data(), dash.runCount = 2;
                break;
            case TPenStyle::DashDot:
                dash.runs = kDashDotRuns.data(), dash.runCount = 4;
                break;
            case TPenStyle::DashDotDot:
                dash.runs = kDashDotDotRuns.data(), dash.runCount = 6;
                break;
            default:
                dash.runs = nullptr, dash.runCount = 0;
                break;
        }
    }
};

TCanvas::TCanvas(int32_t width, int32_t height) : impl_(std::make_unique<Impl>()) {
    impl_->image = Blank(width, height);
    impl_->width = impl_->image.width();
    impl_->height = impl_->image.height();
}

TCanvas::TCanvas(const QImage& image) : impl_(std::make_unique<Impl>()) {
    impl_->image = image.isNull() ? Blank(1, 1) : image.convertToFormat(QImage::Format_RGB32);
    impl_->width = impl_->image.width();
    impl_->height = impl_->image.height();
}

TCanvas::~TCanvas() {
    if (impl_->painter.isActive()) impl_->painter.end();
}

int32_t TCanvas::Width() const {
    return impl_->width;
}
int32_t TCanvas::Height() const {
    return impl_->height;
}

void TCanvas::SetPenColor(uint32_t color) {
    impl_->penColor = color & 0xFFFFFFu;
}
uint32_t TCanvas::PenColor() const {
    return impl_->penColor;
}
void TCanvas::SetPenWidth(int32_t width) {
    impl_->penWidth = std::max(width, 0);
}
int32_t TCanvas::PenWidth() const {
    return impl_->penWidth;
}
void TCanvas::SetPenStyle(TPenStyle style) {
    impl_->penStyle = style;
    impl_->ResetDash();
}
TPenStyle TCanvas::PenStyle() const {
    return impl_->penStyle;
}
void TCanvas::SetROP2(TMixMode mode) {
    impl_->mix = mode;
}
TMixMode TCanvas::MixMode() const {
    return impl_->mix;
}
void TCanvas::SetBrushColor(uint32_t color) {
    impl_->brushColor = color & 0xFFFFFFu;
}
uint32_t TCanvas::BrushColor() const {
    return impl_->brushColor;
}
void TCanvas::SetBrushStyle(TBrushStyle style) {
    impl_->brushStyle = style;
}
TBrushStyle TCanvas::BrushStyle() const {
    return impl_->brushStyle;
}

void TCanvas::MoveToEx(int32_t x, int32_t y) {
    impl_->position = {x, y};
    impl_->dash.position = 0;
}

TPixelPoint TCanvas::PenPosition() const {
    return impl_->position;
}

void TCanvas::LineTo(int32_t x, int32_t y) {
    Impl& d = *impl_;
    const TPixelPoint from = d.position;
    d.position = {x, y};
    d.Segment(from.x, from.y, x, y);
}

void TCanvas::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Impl& d = *impl_;
    d.dash.position = 0;
    d.position = {x2, y2};
    d.Segment(x1, y1, x2, y2);
}

void TCanvas::DrawLinesWithEnds(const TPixelPoint* ends, int32_t pairCount) {
    Impl& d = *impl_;
    if (ends == nullptr || pairCount <= 0) return;
    if (d.NullPen() || !d.Thin() || d.Xor() || d.dash.runs != nullptr) {
        for (ptrdiff_t i = 0; i < pairCount; ++i) {
            const TPixelPoint& a = ends[2 * i];
            const TPixelPoint& b = ends[2 * i + 1];
            DrawLine(a.x, a.y, b.x, b.y);
            if (!d.NullPen() && d.Thin()) d.Plot(b.x, b.y);
        }
        return;
    }
    // Copy mode with a thin solid pen: every pixel takes the pen colour whichever
    // piece sets it, so an end pixel that the next piece starts on is left to it.
    const TRasterTarget target = d.Target();
    const uint32_t rgb = ToPixelRgb(d.penColor);
    TPixelPoint end = ends[1];
    int64_t length = 0;
    for (ptrdiff_t i = 0; i < pairCount; ++i) {
        const TPixelPoint& a = ends[2 * i];
        const TPixelPoint& b = ends[2 * i + 1];
        if (i > 0 && (a.x != end.x || a.y != end.y)) d.Plot(end.x, end.y);
        length = std::max(std::llabs(int64_t{b.x} - a.x), std::llabs(int64_t{b.y} - a.y));
        if (length > 0) {
            if (PixelOnTarget(target, a.x, a.y) && PixelOnTarget(target, b.x, b.y)) {
                RasterSolidInside(target, a.x, a.y, b.x, b.y, rgb, false);
            } else {
                RasterThinLine(target, a.x, a.y, b.x, b.y, rgb, false, nullptr);
            }
        }
        end = b;
    }
    d.Plot(end.x, end.y);
    d.position = end;
    d.dash.position = length;
}

void TCanvas::SetPixel(int32_t x, int32_t y, uint32_t color) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    Impl& d = *impl_;
    TRasterTarget t = d.Target();
    t.bits[static_cast<int64_t>(y) * t.stride + x] = 0xFF000000u | ToPixelRgb(color & 0xFFFFFFu);
}

void TCanvas::PlotPenPixel(int32_t x, int32_t y) {
    impl_->Plot(x, y);
}

uint32_t TCanvas::GetPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return kInvalidColor;
    const QRgb p = impl_->image.pixel(x, y);
    return static_cast<uint32_t>(qRed(p)) | (static_cast<uint32_t>(qGreen(p)) << 8) |
           (static_cast<uint32_t>(qBlue(p)) << 16);
}

void TCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Impl& d = *impl_;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left == right || top == bottom) return;
    // The outline runs through the pixels left..right-1 and top..bottom-1; a null
    // pen leaves the fill that much smaller.
    const int64_t r1 = int64_t{right} - 1, b1 = int64_t{bottom} - 1;
    if (d.NullPen()) {
        d.FillPixels(left, top, r1, b1);
        return;
    }
    d.FillPixels(int64_t{left} + 1, int64_t{top} + 1, r1, b1);
    const int32_t r = static_cast<int32_t>(r1), b = static_cast<int32_t>(b1);
    if (d.Thin()) {
        d.dash.position = 0;
        if (r == left || b == top) {  // one row or column: each pixel once
            d.ThinLine(left, top, r, b);
            d.Plot(r, b);  // the far end belongs to the outline too
            return;
        }
        d.ThinLine(left, top, r, top);
        d.ThinLine(r, top, r, b);
        d.ThinLine(r, b, left, b);
        d.ThinLine(left, b, left, top);
        return;
    }
    d.points.assign({{double(left), double(top)},
                     {double(r), double(top)},
                     {double(r), double(b)},
                     {double(left), double(b)}});
    d.StrokeWide(true);
}

void TCanvas::Polyline(const TPixelPoint* points, int32_t count) {
    Impl& d = *impl_;
    if (points == nullptr || count < 2 || d.NullPen()) return;
    if (d.Thin()) {
        d.dash.position = 0;
        for (int32_t i = 1; i < count; ++i) {
            d.ThinLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
        }
        return;
    }
    d.points.clear();
    for (int32_t i = 0; i < count; ++i)
        d.points.push_back({double(points[i].x), double(points[i].y)});
    d.StrokeWide(false);
}

void TCanvas::Polygon(const TPixelPoint* points, int32_t count) {
    Impl& d = *impl_;
    if (points == nullptr || count < 2) return;
    // The fill takes the vertices as they are: it covers [round(left), round(right)),
    // which leaves out the right and bottom edge as the device context does.
    d.points.clear();
    for (int32_t i = 0; i < count; ++i)
        d.points.push_back({double(points[i].x), double(points[i].y)});
    if (count >= 3) d.FillPoints();
    if (d.NullPen()) return;
    if (d.Thin()) {
        d.dash.position = 0;
        for (int32_t i = 0; i < count; ++i) {
            const TPixelPoint& a = points[i];
            const TPixelPoint& b = points[(i + 1) % count];
            d.ThinLine(a.x, a.y, b.x, b.y);
        }
        return;
    }
    d.StrokeWide(true);
}

void TCanvas::StretchDraw(int32_t left, int32_t top, int32_t right, int32_t bottom,
                          const QImage& picture) {
    if (picture.isNull() || left == right || top == bottom) return;
    const bool mirrorX = right < left, mirrorY = bottom < top;
    if (mirrorX) std::swap(left, right);
    if (mirrorY) std::swap(top, bottom);
    // Only the part of the rectangle on the canvas is visited, so a huge frame costs
    // no more than the canvas. Each pixel takes the picture pixel under its centre.
    const int64_t cl = std::max<int64_t>(left, 0), ct = std::max<int64_t>(top, 0);
    const int64_t cr = std::min<int64_t>(right, Width()), cb = std::min<int64_t>(bottom, Height());
    if (cl >= cr || ct >= cb) return;
    const QImage source = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);  // opaque
    const int64_t pw = source.width(), ph = source.height();
    const double w = double(right) - left, h = double(bottom) - top;
    auto sample = [](int64_t dest, int64_t origin, double extent, int64_t size, bool mirror) {
        const double f = (double(dest - origin) + 0.5) * double(size) / extent;
        int64_t i = std::clamp<int64_t>(static_cast<int64_t>(f), 0, size - 1);
        return mirror ? size - 1 - i : i;
    };
    std::vector<int64_t>& columns = impl_->columns;
    columns.resize(static_cast<size_t>(cr - cl));
    for (int64_t x = cl; x < cr; ++x) columns[size_t(x - cl)] = sample(x, left, w, pw, mirrorX);
    const TRasterTarget target = impl_->Target();
    for (int64_t y = ct; y < cb; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(
            source.constScanLine(static_cast<int>(sample(y, top, h, ph, mirrorY))));
        uint32_t* dst = target.bits + y * target.stride;
        for (int64_t x = cl; x < cr; ++x) dst[x] = src[columns[size_t(x - cl)]] | 0xFF000000u;
    }
}

void TCanvas::Draw(int32_t x, int32_t y, const QImage& picture) {
    StretchDraw(
        x, y, static_cast<int32_t>(std::min<int64_t>(int64_t{x} + picture.width(), INT32_MAX)),
        static_cast<int32_t>(std::min<int64_t>(int64_t{y} + picture.height(), INT32_MAX)), picture);
}

void TCanvas::PaintWith(const std::function<void(QPainter&)>& paint) {
    if (!paint) return;
    QPainter& p = impl_->Painter();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::NoBrush);
    paint(p);
    p.restore();
}

const QImage& TCanvas::Image() {
    if (impl_->painter.isActive()) impl_->painter.end();
    impl_->bits = nullptr;
    return impl_->image;
}

}  // namespace veldra
