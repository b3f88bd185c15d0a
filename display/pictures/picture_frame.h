#pragma once

// Placement arithmetic of pictures: the frame a picture takes in view units (the
// given width, the picture's own aspect ratio, the sign of the given height
// choosing up or down) and the part of a picture a trimmed placement shows.

#include <cstdint>

namespace veldra {

// Frame in view units; top > bottom, right >= left.
struct TPictureFrame {
    double left = 0.0, bottom = 0.0, right = 0.0, top = 0.0;
};

// A frame on the canvas narrower or lower than this (pixels) shows a placeholder.
inline constexpr int32_t kPlaceholderMaxPixels = 8;
// Frames below this many pixels in either direction are not drawn at all.
inline constexpr double kMinPictureFramePixels = 2.0;

// Horizontally from min(x1, x2) to max(x1, x2); vertically |x2 - x1| / aspect
// above y1 when y2 > y1, otherwise below it. `aspect` is width / height.
TPictureFrame PlacePictureFrame(double x1, double y1, double x2, double y2, double aspect);

// Trim values as the trimmed drawing uses them: a size at or below 1e-10 becomes
// 1, offsets at or below 1e-10 become 0.
struct TTrim {
    double x = 0.0, y = 0.0, size = 1.0;
};
TTrim NormalizeTrim(double trimX, double trimY, double trimSize);

// Pixel rectangle [left, right) x [top, bottom) of a W x H picture that a trim
// shows: cw = round(W * size), ch = round(H * size), ox = round(W * x),
// oy = round(H * y), halves to even; trim y counts from the bottom edge, except
// that a size above 1 takes the rows from the top. May reach beyond the picture.
struct TSourceRect {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
};
TSourceRect TrimSourceRect(int32_t width, int32_t height, const TTrim& trim);

// Round half to even, saturated to +-1e18 (trim products of any size stay finite).
int64_t RoundHalfEven(double v);

}  // namespace veldra
