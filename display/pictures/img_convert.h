#pragma once

// The conversion module for picture formats that are not drawn directly (PNG,
// TIFF, JPEG, GIF, PCX, FPX). This system converts none of them: callers are told
// the size is unknown and the conversion failed, and draw nothing.

#include <cstdint>
#include <string_view>

namespace veldra {

// The picture's pixel size; 0 in either means unknown (always, here).
void PictureSizeOf(std::string_view file, int32_t& width, int32_t& height);

// Writes `target` as a bitmap file made from `source`; true on success. Always
// false here, and nothing is written.
bool ConvertPictureToBitmap(std::string_view source, std::string_view target, int32_t option);

}  // namespace veldra
