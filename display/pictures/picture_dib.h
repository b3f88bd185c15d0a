#pragma once

// Device-independent bitmaps embedded in metafiles ("packed DIB": header, colour
// table, pixels, without the file header of a .BMP file).

#include <QImage>
#include <cstddef>

namespace veldra {

// Decodes a packed DIB through Qt's BMP reader. A null image when the data is
// damaged, truncated past its header, or larger than the picture limits.
QImage DecodePackedDib(const unsigned char* data, size_t size);

}  // namespace veldra
