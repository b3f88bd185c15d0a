#pragma once

// The texture the fill benchmarks paint with.

#include <QImage>

#include <cstdint>

namespace veldra::bench {

// A noisy 64 x 64 texture, so that the reduced depths have real work to do.
inline QImage NoiseTexture() {
    QImage texture(64, 64, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            seed = seed * 1103515245u + 12345u;
            texture.setPixel(x, y,
                             qRgb(static_cast<int>(seed >> 24),
                                  static_cast<int>((seed >> 16) & 0xFF), (x * 4 + y) & 0xFF));
        }
    }
    return texture;
}

}  // namespace veldra::bench
