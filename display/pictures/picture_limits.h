#pragma once

// Limits that keep picture decoding bounded whatever a file declares.

#include <cstdint>

namespace veldra {

// Largest picture decoded, in pixels (about 256 MB at four bytes a pixel).
inline constexpr int64_t kMaxPicturePixels = 64'000'000;
// Qt's decoder allocation limit in megabytes, a second guard behind the pixel count.
inline constexpr int kPictureAllocationLimitMb = 300;
// Largest picture file read into memory (metafiles are read whole).
inline constexpr int64_t kMaxMetafileBytes = 256LL * 1024 * 1024;
// Largest bitmap or icon file read: the largest picture at 32 bits and its headers.
inline constexpr int64_t kMaxPictureFileBytes = kMaxPicturePixels * 4 + int64_t{1024} * 1024;

// Decoded pixels one drawing pass keeps for pictures placed more than once.
inline constexpr int64_t kMaxCachedPictureBytes = 512LL * 1024 * 1024;

}  // namespace veldra
