#include "fill/output_area.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "attributes/gra_attribute.h"
#include "attributes/picture_text.h"
#include "common/my_func.h"
#include "display/render/render.h"

namespace veldra {

namespace {

constexpr uint32_t kBmpHeaderBytes = 14 + 40;
// Pixel counts beyond this are absurd anyway; kept finite for the message.
constexpr double kAbsurdPixels = 1e15;

int64_t PixelCount(double v) {
    return static_cast<int64_t>(std::clamp(v, -kAbsurdPixels, kAbsurdPixels));
}

// The picture's own view: its canvas is the whole picture.
TViewState PictureView(double left, double bottom, double scale, int64_t width, int64_t height) {
    TViewState v;
    v.viewLeft = left;
    v.viewBottom = bottom;
    v.viewScale = scale;
    v.viewWidth = static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX));
    v.viewHeight = static_cast<int32_t>(std::min<int64_t>(height, INT32_MAX));
    v.viewRight = left + static_cast<double>(width) / scale;
    v.viewTop = bottom + static_cast<double>(height) / scale;
    return v;
}

TPaperBox EllipseBox(double cx, double cy, double r, double flatness, double tilt) {
    // Half extents of a tilted ellipse with semi-axes a and b.
    const double a = std::fabs(r), b = std::fabs(r * flatness);
    const double c = std::cos(tilt), s = std::sin(tilt);
    const double hx = std::hypot(a * c, b * s), hy = std::hypot(a * s, b * c);
    TPaperBox box;
    box.Add(cx - hx, cy - hy);
    box.Add(cx + hx, cy + hy);
    return box;
}

}  // namespace

void TPaperBox::Add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (empty) {
        left = right = x;
        bottom = top = y;
        empty = false;
        return;
    }
    left = std::min(left, x);
    right = std::max(right, x);
    bottom = std::min(bottom, y);
    top = std::max(top, y);
}

void TPaperBox::Add(const TPaperBox& box) {
    if (box.empty) return;
    Add(box.left, box.bottom);
    Add(box.right, box.top);
}

bool TPaperBox::Meets(const TPaperBox& box) const {
    return !empty && !box.empty && left <= box.right && box.left <= right && bottom <= box.top &&
           box.bottom <= top;
}

TOutputFrame ViewOutputFrame(const TViewState& view, int32_t dpi) {
    TOutputFrame frame;
    frame.dpi = dpi;
    if (dpi == kScreenResolution) {
        frame.width = view.viewWidth;
        frame.height = view.viewHeight;
        frame.scale = view.viewScale;
        frame.originX = view.viewLeft;
        frame.originY = view.viewBottom;
        frame.paperWidth = view.viewRight - view.viewLeft;
        frame.view = view;
        return frame;
    }
    const double k = PixelsPerMillimetre(dpi);
    frame.scale = k;
    frame.width = std::max<int64_t>(
        1, PixelCount(static_cast<double>(RoundHalfAway((view.viewRight - view.viewLeft) * k))));
    frame.height = std::max<int64_t>(
        1, PixelCount(static_cast<double>(RoundHalfAway((view.viewTop - view.viewBottom) * k))));
    frame.originX = view.viewLeft;
    frame.originY = view.viewBottom;
    frame.paperWidth = static_cast<double>(frame.width) / k;
    frame.view = PictureView(frame.originX, frame.originY, k, frame.width, frame.height);
    return frame;
}

std::optional<TOutputFrame> FillOutputFrame(const TViewState& view, int32_t dpi,
                                            const TPaperBox& content) {
    if (content.empty) return std::nullopt;
    const bool screen = dpi == kScreenResolution;
    const double k = screen ? view.viewScale : PixelsPerMillimetre(dpi);
    if (!(k > 0.0) || !std::isfinite(k)) return std::nullopt;
    const double ax = screen ? view.viewLeft : 0.0, ay = screen ? view.viewBottom : 0.0;
    const double l = std::floor((content.left - ax) * k) - 1.0;
    const double r = std::ceil((content.right - ax) * k) + 1.0;
    const double b = std::floor((content.bottom - ay) * k) - 1.0;
    const double t = std::ceil((content.top - ay) * k) + 1.0;
    if (!std::isfinite(l) || !std::isfinite(r) || !std::isfinite(b) || !std::isfinite(t)) {
        return std::nullopt;
    }
    TOutputFrame frame;
    frame.dpi = dpi;
    frame.scale = k;
    frame.width = PixelCount(r - l);
    frame.height = PixelCount(t - b);
    frame.originX = ax + l / k;
    frame.originY = ay + b / k;
    frame.paperWidth = (r - l) / k;
    frame.view = PictureView(frame.originX, frame.originY, k, frame.width, frame.height);
    return frame;
}

TPaperBox FillContentBox(const TAr2RealPoint& regionPolygons, const TJwwEntityStore& store,
                         const TgraAttribute& attributes) {
    TPaperBox regions;
    for (const TAryRealPoint& polygon : regionPolygons) {
        for (const TRealPoint& p : polygon) regions.Add(p.X, p.Y);
    }
    const TJwwDrawingState& state = store.state;
    TPaperBox content = regions;
    auto take = [&](const TPaperBox& box) {
        if (regions.empty || regions.Meets(box)) content.Add(box);
    };
    auto points = [&](const TJwwEntHead& head, std::initializer_list<double> xy) {
        if (!EntityIsDrawn(attributes, head, false)) return;
        const double d = EntityDivisor(state, head.layerGroup);
        TPaperBox box;
        for (auto it = xy.begin(); it != xy.end(); it += 2) box.Add(*it / d, *(it + 1) / d);
        take(box);
    };
    auto ellipse = [&](const auto& s) {
        if (!EntityIsDrawn(attributes, s.head, false)) return;
        const double d = EntityDivisor(state, s.head.layerGroup);
        take(EllipseBox(s.cx / d, s.cy / d, s.radius / d, s.flatness, s.tiltRad));
    };
    for (const TJwwEntText& text : store.texts) {
        if (!EntityIsDrawn(attributes, text.head, false)) continue;
        const std::optional<TPictureText> picture = ParsePictureText(text.text);
        if (!picture) continue;
        const double d = EntityDivisor(state, text.head.layerGroup);
        TPaperBox box;
        box.Add(text.x / d, text.y / d);
        box.Add(text.x / d + picture->width, text.y / d + picture->height);
        take(box);
    }
    for (const auto& s : store.solid2s) points(s.head, {s.x1, s.y1, s.x2, s.y2});
    for (const auto& s : store.solid3s) points(s.head, {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3});
    for (const auto& s : store.solid4s) {
        points(s.head, {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3, s.x4, s.y4});
    }
    for (const auto& s : store.solidScs) ellipse(s);
    for (const auto& s : store.solidSes) ellipse(s);
    for (const auto& s : store.solidSos) ellipse(s);
    for (const auto& s : store.solidSgs) ellipse(s);
    return content;
}

int64_t BmpFileBytes(int64_t width, int64_t height, int bitsPerPixel) {
    const int64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    const int64_t palette = bitsPerPixel <= 8 ? 4LL << bitsPerPixel : 0;
    return kBmpHeaderBytes + palette + stride * height;
}

std::optional<std::string> PictureSizeRefusal(int64_t width, int64_t height, int bitsPerPixel) {
    const bool fits = width >= 1 && height >= 1 && width <= kMaxPictureSide &&
                      height <= kMaxPictureSide && width * height <= kMaxPicturePixels &&
                      BmpFileBytes(width, height, bitsPerPixel) <= kMaxPictureFileBytes;
    if (fits) return std::nullopt;
    const double megabytes =
        width >= 1 && height >= 1 &&
                static_cast<double>(width) <=
                    kAbsurdPixels / static_cast<double>(std::max<int64_t>(height, 1))
            ? static_cast<double>(BmpFileBytes(width, height, bitsPerPixel)) / 1e6
            : kAbsurdPixels;
    char text[320];
    std::snprintf(text, sizeof text,
                  "作成する画像が大きすぎます（%lld × %lld ピクセル、約 %.0f MB）。"
                  "上限は一辺 %lld ピクセル、全体で %lld 万ピクセル、ファイル 2 GB です。"
                  "解像度を下げるか、出力範囲を小さくして下さい。",
                  static_cast<long long>(width), static_cast<long long>(height), megabytes,
                  static_cast<long long>(kMaxPictureSide),
                  static_cast<long long>(kMaxPicturePixels / 10000));
    return std::string(text);
}

}  // namespace veldra
