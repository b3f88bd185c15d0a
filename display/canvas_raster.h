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

// The pixels (x0, y0) .. (x1, y1) of one line, (x1, y1) left out. `rgb` is
// 0x00RRGGBB; with `xorMode` it is XORed into the pixels, else written. Pixels off
// the target are skipped. The cursor (may be null) advances by the line's length.
void RasterThinLine(const TRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                    uint32_t rgb, bool xorMode, TDashCursor* dash);

}  // namespace veldra
