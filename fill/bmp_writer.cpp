#include "fill/bmp_writer.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "common/file_system.h"

namespace veldra {
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void PutU16(char* p, uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}
void PutU32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// One row of palette indices packed most significant bits first; every byte of the
// stored row is written, the padding as zeros, so the row needs no clearing first.
void PackIndices(const uchar* src, int width, int bits, char* dst, int64_t rowBytes) {
    int64_t put = 0;
    if (bits == 8) {
        std::memcpy(dst, src, static_cast<size_t>(width));
        put = width;
    } else {
        const int perByte = 8 / bits;
        for (int x = 0; x < width; x += perByte, ++put) {
            unsigned byte = 0;
            const int end = std::min(width, x + perByte);
            for (int i = x; i < end; ++i)
                byte |= static_cast<unsigned>(src[i]) << (8 - bits * (i - x + 1));
            dst[put] = static_cast<char>(byte);
        }
    }
    std::memset(dst + put, 0, static_cast<size_t>(rowBytes - put));
}

// The bytes of a row after its pixels are zeros.
void Pad(char* row, int64_t used, int64_t rowBytes) {
    std::memset(row + used, 0, static_cast<size_t>(rowBytes - used));
}

#if defined(__x86_64__) || defined(__i386__)
// Groups of four pixels shuffled into twelve bytes by one instruction, each stored
// as sixteen whose last four the next group overwrites; stops while two pixels are
// left, so no store passes the row's end. Returns the pixels packed.
__attribute__((target("ssse3"))) int64_t PackBgrGroupsSsse3(const QRgb* src, int64_t width,
                                                            char* dst) {
    const __m128i bgr = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int64_t x = 0;
    for (; x + 6 <= width; x += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * x), _mm_shuffle_epi8(four, bgr));
    }
    return x;
}

int64_t PackBgrGroups(const QRgb* src, int64_t width, char* dst) {
    static const bool hasSsse3 = __builtin_cpu_supports("ssse3");
    return hasSsse3 ? PackBgrGroupsSsse3(src, width, dst) : 0;
}
#else
int64_t PackBgrGroups(const QRgb*, int64_t, char*) {
    return 0;
}
#endif

// Blue, green, red (and a zero byte for 32 bits) per pixel. A QRgb in memory on a
// little-endian machine is blue, green, red, alpha: at 24 bits four pixels are shifted
// into three whole words.
void PackColours(const QRgb* src, int64_t width, int bits, char* dst, int64_t rowBytes) {
    const int64_t step = bits / 8;
    if constexpr (std::endian::native == std::endian::little) {
        if (step == 4) {
            for (int64_t x = 0; x < width; ++x) {
                const uint32_t bgr = src[x] & 0x00FFFFFFu;
                std::memcpy(dst + 4 * x, &bgr, 4);
            }
        } else if (width > 0) {
            int64_t x = PackBgrGroups(src, width, dst);
            // Four pixels make three whole words.
            for (; x + 4 <= width; x += 4) {
                const uint32_t p0 = src[x], p1 = src[x + 1], p2 = src[x + 2], p3 = src[x + 3];
                const uint32_t words[3] = {(p0 & 0x00FFFFFFu) | (p1 << 24),
                                           ((p1 >> 8) & 0xFFFFu) | (p2 << 16),
                                           ((p2 >> 16) & 0xFFu) | (p3 << 8)};
                std::memcpy(dst + 3 * x, words, sizeof words);
            }
            for (; x + 1 < width; ++x) std::memcpy(dst + 3 * x, &src[x], 4);
            if (x >= width) return Pad(dst, width * 3, rowBytes);
            const QRgb last = src[width - 1];
            char* p = dst + 3 * (width - 1);
            p[0] = static_cast<char>(qBlue(last));
            p[1] = static_cast<char>(qGreen(last));
            p[2] = static_cast<char>(qRed(last));
        }
    } else {
        for (int64_t x = 0; x < width; ++x) {
            char* p = dst + step * x;
            p[0] = static_cast<char>(qBlue(src[x]));
            p[1] = static_cast<char>(qGreen(src[x]));
            p[2] = static_cast<char>(qRed(src[x]));
            if (step == 4) p[3] = 0;
        }
    }
    Pad(dst, width * step, rowBytes);
}

}  // namespace

QByteArray BmpHeaders(int64_t width, int64_t height, int bitsPerPixel, const QList<QRgb>& palette,
                      int32_t pixelsPerMetre) {
    const int bits = bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return {};
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX) return {};
    const bool indexed = bits <= 8;
    if (indexed && palette.size() > (1 << bits)) return {};
    const int64_t stride = BmpRowBytes(width, bits);
    const int64_t paletteBytes = indexed ? 4LL << bits : 0;
    const int64_t offset = kFileHeaderSize + kInfoHeaderSize + paletteBytes;
    // The headers hold 32-bit sizes, which readers take as signed.
    if (stride > (INT32_MAX - offset) / height) return {};
    const int64_t total = offset + stride * height;

    QByteArray bytes(static_cast<qsizetype>(offset), '\0');
    char* p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, static_cast<uint32_t>(total));
    PutU32(p + 10, static_cast<uint32_t>(offset));
    char* info = p + kFileHeaderSize;
    PutU32(info, kInfoHeaderSize);
    PutU32(info + 4, static_cast<uint32_t>(width));
    PutU32(info + 8, static_cast<uint32_t>(height));  // positive: rows bottom-up
    PutU16(info + 12, 1);
    PutU16(info + 14, static_cast<uint16_t>(bits));
    PutU32(info + 16, 0);  // no compression
    PutU32(info + 20, static_cast<uint32_t>(stride * height));
    PutU32(info + 24, static_cast<uint32_t>(pixelsPerMetre));
    PutU32(info + 28, static_cast<uint32_t>(pixelsPerMetre));
    PutU32(info + 32, indexed ? 1u << bits : 0);  // colours used: the whole table
    PutU32(info + 36, 0);
    if (indexed) {
        char* entry = info + kInfoHeaderSize;
        for (int i = 0; i < palette.size(); ++i, entry += 4) {
            entry[0] = static_cast<char>(qBlue(palette[i]));
            entry[1] = static_cast<char>(qGreen(palette[i]));
            entry[2] = static_cast<char>(qRed(palette[i]));
        }
    }
    return bytes;
}

int64_t BmpRowBytes(int64_t width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

void PackBmpRow(const QImage& image, int y, int bitsPerPixel, char* row) {
    const int width = image.width();
    const int64_t rowBytes = BmpRowBytes(width, bitsPerPixel);
    if (bitsPerPixel <= 8) {
        PackIndices(image.constScanLine(y), width, bitsPerPixel, row, rowBytes);
    } else {
        PackColours(reinterpret_cast<const QRgb*>(image.constScanLine(y)), width, bitsPerPixel, row,
                    rowBytes);
    }
}

QByteArray EncodeBmp(const QImage& image, int bitsPerPixel) {
    const int bits = bitsPerPixel;
    if (image.isNull() || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        return {};
    }
    const bool indexed = bits <= 8;
    QImage source = image;
    if (indexed) {
        if (image.format() != QImage::Format_Indexed8 || image.colorCount() > (1 << bits)) {
            return {};
        }
    } else {
        source = image.convertToFormat(QImage::Format_RGB32);
    }
    const int64_t width = source.width(), height = source.height();
    QByteArray bytes =
        BmpHeaders(width, height, bits, indexed ? source.colorTable() : QList<QRgb>{});
    if (bytes.isEmpty()) return {};
    const int64_t offset = bytes.size();
    const int64_t stride = BmpRowBytes(width, bits);
    const int64_t total = offset + stride * height;
    bytes.resize(static_cast<qsizetype>(total), '\0');
    char* p = bytes.data();
    for (int64_t y = 0; y < height; ++y) {
        PackBmpRow(source, static_cast<int>(y), bits, p + offset + (height - 1 - y) * stride);
    }
    return bytes;
}

bool WriteFileReplacing(const fs::path& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) return false;
    return ReplaceFileContent(
               path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))) ==
           TFileProblem::None;
}

}  // namespace veldra
