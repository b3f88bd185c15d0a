#pragma once

// The options of one fill, typed: what the window's panel and the command line's
// arguments become once, at their edge, and what the fill command takes. The texts the
// user types (division count, gap) are read by the rules below, the same for both.

#include <cstdint>
#include <string>
#include <string_view>

#include "options/option_limits.h"
#include "regions/region_modes.h"
#include "regions/regions.h"

namespace veldra {

// Where the fill picture lies: "表示範囲" (the view window) or "塗り範囲" (the fill).
enum class TOutputArea : int32_t { View = 0, Fill = 1 };

// The picture for print: resolution in dpi on paper (kScreenResolution: the paint box's
// pixels; any other value outside 10..4800 is refused by the fill command), area, and
// texture tiles tied to the paper (width in paper mm, 0 = off: tiled in screen pixels
// from the canvas corner) turned by an angle in degrees. The settings file keeps the
// same record.
struct TPrintOptions {
    int32_t dpi = kScreenResolution;
    TOutputArea area = TOutputArea::View;
    double tileWidthMm = 0.0;
    double tileAngleDeg = 0.0;
};

struct TFillOptions {
    std::string texturePath;                               // the texture picture (UTF-8)
    std::string outputName;                                // the output bitmap (.bmp, UTF-8)
    int32_t arcDivisions = kDefaultArcDivisions;           // 3..3600
    int32_t bitsPerPixel = kDefaultBitsPerPixel;           // 1, 4, 8, 24 or 32
    int32_t magnificationPercent = kDefaultMagnification;  // 10..500
    TFillRegionOptions regions;  // region mode; gap, islands and picks of faces
    TPrintOptions print;
};

// The division count as typed: a whole number (anything else reads as 0) limited to
// 3..3600.
int32_t ArcDivisionsOfText(std::string_view text);

// Bits per pixel of an item of the depth list; an item out of range is clamped.
int32_t BitsPerPixelOfDepthItem(int32_t item);

}  // namespace veldra
