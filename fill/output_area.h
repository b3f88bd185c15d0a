#pragma once

// Where the fill picture lies on paper and how many pixels it has.
//
// Resolution: "画面と同じ" (the paint box's pixels, the view's scale) or a resolution in
// dpi on paper (dpi / 25.4 pixels per paper millimetre). Area: "表示範囲" (the view
// window) or "塗り範囲" (the painted regions and the solids and pictures drawn under
// them, plus a margin of one pixel). The placement handed to the host is the area's
// lower-left corner and its width in paper units.

#include <cstdint>
#include <optional>
#include <string>

#include "exchange/entity_store.h"
#include "options/fill_options.h"
#include "regions/regions.h"
#include "view/view_state.h"

namespace veldra {

class TgraAttribute;

// The largest picture made: at most this many pixels a side and in all, and a file
// the 32-bit sizes of the bitmap headers can describe (readers take them as signed).
inline constexpr int64_t kMaxPictureSide = 100000;
inline constexpr int64_t kMaxPicturePixels = 600000000;
inline constexpr int64_t kMaxPictureFileBytes = 2147483647;

// A box on paper (view units, y up); empty until a point is added.
struct TPaperBox {
    double left = 0.0, bottom = 0.0, right = 0.0, top = 0.0;
    bool empty = true;

    void Add(double x, double y);
    void Add(const TPaperBox& box);
    bool Meets(const TPaperBox& box) const;
};

// The picture: its pixels, its scale and its place on paper. `view` maps paper to the
// picture's pixels exactly as a view maps paper to the paint box.
struct TOutputFrame {
    int64_t width = 0, height = 0;        // pixels
    double scale = 0.0;                   // pixels per paper millimetre
    double originX = 0.0, originY = 0.0;  // lower-left corner on paper: ImageOriginX, ImageOriginY
    double paperWidth = 0.0;              // ImageWidth
    int32_t dpi = kScreenResolution;      // the resolution asked for
    TViewState view;
};

// Pixels per paper millimetre of a resolution in dpi.
inline double PixelsPerMillimetre(int32_t dpi) {
    return dpi / 25.4;
}

// The view window at the resolution. "画面と同じ" is the view itself: the paint box's
// pixels, placement (viewLeft, viewBottom), width viewRight - viewLeft. At a dpi the
// lower-left corner stays the view's, the pixels are the window's width and height in
// mm x dpi / 25.4, each rounded to the nearest integer (halves away from zero, at least
// 1), and the width on paper is the pixel width / (dpi / 25.4), so both directions keep
// one scale.
TOutputFrame ViewOutputFrame(const TViewState& view, int32_t dpi);

// The content box on the pixel grid, widened by one pixel on every side. The grid is
// the view's (from its lower-left corner) for "画面と同じ", so the picture is a crop of
// the view's picture; at a dpi it starts at the paper origin (0, 0), so pictures of
// neighbouring fills share their pixel grid. Nothing for an empty or unusable box.
std::optional<TOutputFrame> FillOutputFrame(const TViewState& view, int32_t dpi,
                                            const TPaperBox& content);

// The painted regions and, with them, every solid and picture shown that lies over
// their box (when there are no regions: every solid and picture shown), in view units.
// Solids count with the box of their corner points or of their whole ellipse; pictures
// with their frame.
TPaperBox FillContentBox(const TAr2RealPoint& regionPolygons, const TJwwEntityStore& store,
                         const TgraAttribute& attributes);

// The message refusing a picture above the limits (its size in pixels and in bytes at
// the depth), or nothing when it may be made.
std::optional<std::string> PictureSizeRefusal(int64_t width, int64_t height, int bitsPerPixel);

// Bytes of an uncompressed bitmap file of that size and depth (headers and palette).
int64_t BmpFileBytes(int64_t width, int64_t height, int bitsPerPixel);

}  // namespace veldra
