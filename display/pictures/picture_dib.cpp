#include "display/pictures/picture_dib.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "display/pictures/picture_limits.h"

namespace veldra {

namespace {

constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kRle8Compression = 1;
constexpr uint32_t kRle4Compression = 2;
constexpr uint32_t kBitfieldsCompression = 3;
// Pixels one byte of run-length data may stand for: a run of 255 in two bytes, with
// room for the escapes that skip ahead.
constexpr uint64_t kMaxRlePixelsPerByte = 256;

uint32_t Read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Read16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void Put32(QByteArray& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

QImage DecodePackedDib(const unsigned char* data, size_t size) {
    if (data == nullptr || size < kCoreHeaderBytes) return {};
    const uint32_t headerBytes = Read32(data);
    if (headerBytes != kCoreHeaderBytes && (headerBytes < kInfoHeaderBytes || headerBytes > size))
        return {};
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, colourEntryBytes = 4, coloursUsed = 0, compression = 0;
    if (headerBytes == kCoreHeaderBytes) {
        width = Read16(data + 4);
        height = Read16(data + 6);
        bitCount = Read16(data + 10);
        colourEntryBytes = 3;
    } else {
        width = static_cast<int32_t>(Read32(data + 4));
        height = static_cast<int32_t>(Read32(data + 8));
        bitCount = Read16(data + 14);
        compression = Read32(data + 16);
        coloursUsed = Read32(data + 32);
    }
    width = std::llabs(width);
    height = std::llabs(height);
    if (width == 0 || height == 0 || width * height > kMaxPicturePixels) return {};
    uint32_t colours = coloursUsed;
    if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
    if (colours > 256 && bitCount <= 8) colours = 256;
    uint64_t paletteBytes = static_cast<uint64_t>(colours) * colourEntryBytes;
    if (compression == kBitfieldsCompression && headerBytes == kInfoHeaderBytes) paletteBytes += 12;
    if (headerBytes + paletteBytes > size) return {};
    // The reader allocates the whole picture before it reads a pixel: refuse pixels the
    // data cannot hold, so that a header of a few bytes cannot cost hundreds of megabytes.
    const uint64_t pixelBytes = size - headerBytes - paletteBytes;
    const uint64_t rowBytes =
        (static_cast<uint64_t>(width) * std::max<uint32_t>(bitCount, 1) + 31) / 32 * 4;
    if (compression == kRle8Compression || compression == kRle4Compression) {
        if (static_cast<uint64_t>(width * height) > pixelBytes * kMaxRlePixelsPerByte) return {};
    } else if (rowBytes * static_cast<uint64_t>(height) > pixelBytes) {
        return {};
    }

    // Give Qt's BMP reader a whole file: the file header in front of the packed DIB.
    QByteArray file;
    file.reserve(static_cast<qsizetype>(size) + kFileHeaderBytes);
    file.append("BM", 2);
    Put32(file, static_cast<uint32_t>(kFileHeaderBytes + size));
    Put32(file, 0);
    Put32(file, static_cast<uint32_t>(kFileHeaderBytes + headerBytes + paletteBytes));
    file.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(kPictureAllocationLimitMb);
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

}  // namespace veldra
