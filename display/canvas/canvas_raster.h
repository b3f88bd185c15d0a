#pragma once

// Thin-pen line rasteriser of the canvas, on a plain 32-bit pixel buffer. It
// reproduces what the canvas promises and a general rasteriser does not: the end
// pixel is left out in the drawing direction, every pixel is touched once (so XOR
// twice restores), and the dash pattern of a styled pen runs on from one line to
// the next. Lines of any length cost at most one step per canvas row or column.

#include <cstdint>

namespace veldra {

// Pixels of a 32-bit RGB image; `stride` counts pixels, not bytes.
struct TRasterTarget {
    uint32_t* bits = nullptr;
    int64_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// On/off run lengths (pixels) of a thin dash pattern, starting with "on", and the
// position reached along it.
struct TDashCursor {
    const uint8_t* runs = nullptr;  // nullptr: solid
    int32_t runCount = 0;
    int64_t position = 0;
};

inline bool PixelOnTarget(const TRasterTarget& target, int32_t x, int32_t y) {
    return target.bits != nullptr && x >= 0 && y >= 0 && x < target.width && y < target.height;
}

// RasterThinLine without a dash pattern for a line whose two ends lie on the
// target (so every pixel between does): the same pixels, without the set-up that
// cuts long lines to the target. Pixel i lies at floor(i * minorDelta / len + 1/2)
// on the minor axis, walked with the same error term.
inline void RasterSolidInside(const TRasterTarget& target, int32_t x0, int32_t y0, int32_t x1,
                              int32_t y1, uint32_t rgb, bool xorMode) {
    const int64_t dx = int64_t{x1} - x0;
    const int64_t dy = int64_t{y1} - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const int64_t len = xMajor ? adx : ady;
    if (len == 0) return;
    const int64_t twoLen = 2 * len;
    const int64_t twoDelta = 2 * (xMajor ? dy : dx);
    const int64_t stepMajor =
        xMajor ? (dx > 0 ? 1 : -1) : (dy > 0 ? target.stride : -target.stride);
    const int64_t stepMinor = xMajor ? target.stride : 1;
    uint32_t* p = target.bits + int64_t{y0} * target.stride + x0;
    const uint32_t value = rgb & 0x00FFFFFFu;
    int64_t rest = len;
    for (int64_t n = len;;) {
        if (xorMode) {
            *p ^= value;
        } else {
            *p = 0xFF000000u | value;
        }
        if (--n == 0) return;
        p += stepMajor;
        rest += twoDelta;
        if (rest >= twoLen) {
            rest -= twoLen;
            p += stepMinor;
        } else if (rest < 0) {
            rest += twoLen;
            p -= stepMinor;
        }
    }
}

// The pixels (x0, y0) .. (x1, y1) of one line, (x1, y1) left out. `rgb` is
// 0x00RRGGBB; with `xorMode` it is XORed into the pixels, else written. Pixels off
// the target are skipped. The cursor (may be null) advances by the line's length.
void RasterThinLine(const TRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                    uint32_t rgb, bool xorMode, TDashCursor* dash);

}  // namespace veldra
