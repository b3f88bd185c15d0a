#pragma once

// Windows bitmap files of 1, 4, 8, 24 and 32 bits per pixel: a BITMAPFILEHEADER, a
// BITMAPINFOHEADER (uncompressed), the palette for 1, 4 and 8 bits, and the rows
// bottom-up, each padded to a multiple of 4 bytes.

#include <QByteArray>
#include <QImage>
#include <QList>

#include <cstdint>
#include <filesystem>

#include "options/option_limits.h"

namespace veldra {

// The file's bytes. For 1, 4 and 8 bits the image must be Format_Indexed8 with at
// most 2^bits colours (ReduceColors gives that); 24 and 32 bits take any image and
// write its opaque colours (the fourth byte of a 32-bit pixel is 0, as Windows writes).
// Empty for a null image, another depth, an unfit image or a picture too large for the
// format's 32-bit sizes.
QByteArray EncodeBmp(const QImage& image, int bitsPerPixel);

// The file and info headers and, for 1, 4 and 8 bits, the palette padded to 2^bits
// entries: everything before the rows. Empty for another depth, a palette too long, a
// size below 1 or a file the 32-bit sizes cannot describe.
QByteArray BmpHeaders(int64_t width, int64_t height, int bitsPerPixel, const QList<QRgb>& palette,
                      int32_t pixelsPerMetre = kScreenPixelsPerMetre);
// Bytes of one stored row, padded to a multiple of 4.
int64_t BmpRowBytes(int64_t width, int bitsPerPixel);
// Row y of an image packed as the file stores it: indices of a Format_Indexed8 image for
// 1, 4 and 8 bits, blue-green-red of a Format_RGB32 image for 24 and 32. Writes all
// BmpRowBytes bytes of `row`, the padding as zeros.
void PackBmpRow(const QImage& image, int y, int bitsPerPixel, char* row);

// Writes the bytes of a file: under a new temporary name in the same folder, then
// renamed over `path`, so a failure never leaves a partial file and never destroys an
// older file of that name; a folder, FIFO or device under that name is refused.
// False on any failure.
bool WriteFileReplacing(const std::filesystem::path& path, const QByteArray& bytes);

}  // namespace veldra
