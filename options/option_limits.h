#pragma once

// The limits of the user's options, declared once: the window's controls, the command
// line, the settings file and the fill command all take them from here.

#include <cstdint>

namespace veldra {

// Magnification of the texture in percent (the track bar's range).
inline constexpr int32_t kMinMagnification = 10;
inline constexpr int32_t kMaxMagnification = 500;
inline constexpr int32_t kDefaultMagnification = 200;

// Output resolution in dpi on paper; 0 means "画面と同じ" (the paint box's pixels).
inline constexpr int32_t kScreenResolution = 0;
inline constexpr int32_t kMinOutputDpi = 10;
inline constexpr int32_t kMaxOutputDpi = 4800;

// 96 dots per inch, the screen resolution, in a bitmap header's pixels per metre.
inline constexpr int32_t kScreenPixelsPerMetre = 3780;

// Texture tiles tied to the paper: width in paper mm (0 = off) and angle in degrees.
inline constexpr double kMaxTileMm = 10000.0;
inline constexpr double kMaxTileAngleDeg = 360.0;

// The colour depths of the saved bitmap, by item of the depth list: "2色", "16色",
// "256色", "24bit色", "32bit色".
inline constexpr int32_t kColourDepthBits[] = {1, 4, 8, 24, 32};
inline constexpr int32_t kLastColourDepthItem = 4;
inline constexpr int32_t kDefaultBitsPerPixel = 24;

}  // namespace veldra
