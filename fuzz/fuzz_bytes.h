#pragma once

// Reads fuzz input as a stream of small values; past the end every read gives zero,
// so any input is a complete stream.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace veldra {

class TFuzzBytes {
  public:
    TFuzzBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Done() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int32_t Int32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
        return static_cast<int32_t>(v);
    }
    double RawReal() {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(Byte()) << (8 * i);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    // Mostly small numbers on a half-unit grid, so that end points meet; the top of
    // the byte range gives the extremes and any bit pattern at all.
    double Real() {
        const uint8_t b = Byte();
        if (b < 0x80) return static_cast<double>(b) - 64.0;
        if (b < 0xF0) return (static_cast<double>(b) - 0x80 - 56.0) * 0.5;
        constexpr double kExtremes[] = {std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN(),
                                        std::numeric_limits<double>::max(),
                                        -1e308,
                                        std::numeric_limits<double>::denorm_min(),
                                        1e16,
                                        1e-9};
        if (b < 0xF8) return kExtremes[b - 0xF0];
        return RawReal();
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace veldra
