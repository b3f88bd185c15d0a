#include "fill/color_reduction.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace veldra {
namespace {

// Windows' 16-colour bitmap palette, in its usual order.
constexpr std::array<QRgb, 16> kWindows16 = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

QList<QRgb> BuildPalette256() {
    QList<QRgb> palette(kWindows16.begin(), kWindows16.end());
    auto add = [&palette](QRgb c) {
        if (!palette.contains(c)) palette.push_back(c);
    };
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) add(qRgb(r * 51, g * 51, b * 51));
        }
    }
    // Greys between the cube's six, for the many grey tones of scanned textures.
    for (int i = 1; palette.size() < 256; ++i) {
        int v = (i * 255 + 16) / 33;
        add(qRgb(v, v, v));
    }
    return palette;
}

// Palette and indices when the picture holds at most maxColors distinct colours.
bool ReduceExactly(const QImage& rgb, int maxColors, QImage& out) {
    QList<QRgb> palette;
    QHash<QRgb, int> indexOf;
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = indexed.scanLine(y);
        QRgb last = 0;
        int lastIndex = -1;
        for (int x = 0; x < rgb.width(); ++x) {
            QRgb c = src[x] | 0xFF000000u;
            if (lastIndex < 0 || c != last) {
                auto it = indexOf.constFind(c);
                if (it == indexOf.constEnd()) {
                    if (palette.size() == maxColors) return false;
                    it = indexOf.insert(c, static_cast<int>(palette.size()));
                    palette.push_back(c);
                }
                last = c;
                lastIndex = it.value();
            }
            dst[x] = static_cast<uchar>(lastIndex);
        }
    }
    indexed.setColorTable(palette);
    out = indexed;
    return true;
}

// Nearest palette colour by squared RGB distance, cached per 5-bit cell. Palette
// colours themselves are looked up exactly so that they never drift; only the few
// cells holding one need that look-up.
class NearestColor {
  public:
    explicit NearestColor(const QList<QRgb>& palette)
        : palette_(palette), cache_(kCells, -1), holdsPaletteColour_(kCells, false) {
        for (int i = 0; i < palette.size(); ++i) {
            QRgb c = palette[i] | 0xFF000000u;
            exact_.insert(c, i);
            holdsPaletteColour_[Key(qRed(c), qGreen(c), qBlue(c))] = true;
        }
    }
    int operator()(int r, int g, int b) {
        const int key = Key(r, g, b);
        if (holdsPaletteColour_[key]) {
            auto it = exact_.constFind(qRgb(r, g, b));
            if (it != exact_.constEnd()) return it.value();
        }
        if (cache_[key] < 0) cache_[key] = Search((r & ~7) + 4, (g & ~7) + 4, (b & ~7) + 4);
        return cache_[key];
    }

  private:
    static constexpr int kCells = 32768;
    static int Key(int r, int g, int b) { return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3); }
    int Search(int r, int g, int b) const {
        int best = 0;
        int bestDistance = INT32_MAX;
        for (int i = 0; i < palette_.size(); ++i) {
            int dr = qRed(palette_[i]) - r, dg = qGreen(palette_[i]) - g,
                db = qBlue(palette_[i]) - b;
            int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) bestDistance = d, best = i;
        }
        return best;
    }
    const QList<QRgb>& palette_;
    QHash<QRgb, int> exact_;
    std::vector<int16_t> cache_;
    std::vector<bool> holdsPaletteColour_;
};

int Clamp255(float v) {
    return std::clamp(static_cast<int>(v + 0.5f), 0, 255);
}

// Floyd-Steinberg over the palette: 7/16 right, 3/16 below left, 5/16 below, 1/16 below right.
QImage DiffuseToPalette(const QImage& rgb, const QList<QRgb>& palette) {
    const int w = rgb.width();
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    NearestColor nearest(palette);
    std::vector<float> cur(static_cast<size_t>(w + 2) * 3, 0.f), next(cur.size(), 0.f);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = indexed.scanLine(y);
        std::fill(next.begin(), next.end(), 0.f);
        for (int x = 0; x < w; ++x) {
            float* e = &cur[static_cast<size_t>(x + 1) * 3];
            int r = Clamp255(qRed(src[x]) + e[0]);
            int g = Clamp255(qGreen(src[x]) + e[1]);
            int b = Clamp255(qBlue(src[x]) + e[2]);
            int index = nearest(r, g, b);
            dst[x] = static_cast<uchar>(index);
            const float err[3] = {float(r - qRed(palette[index])),
                                  float(g - qGreen(palette[index])),
                                  float(b - qBlue(palette[index]))};
            float* right = e + 3;
            float* below = &next[static_cast<size_t>(x + 1) * 3];
            for (int c = 0; c < 3; ++c) {
                right[c] += err[c] * (7.f / 16);
                below[c - 3] += err[c] * (3.f / 16);
                below[c] += err[c] * (5.f / 16);
                below[c + 3] += err[c] * (1.f / 16);
            }
        }
        std::swap(cur, next);
    }
    return indexed;
}

// Black and white by error diffusion on luminance: red, green and blue of the same
// brightness give the same grey pattern instead of all turning black.
QImage DiffuseToBlackAndWhite(const QImage& rgb) {
    const int w = rgb.width();
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(StandardPalette(1));
    std::vector<float> cur(static_cast<size_t>(w + 2), 0.f), next(cur.size(), 0.f);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = indexed.scanLine(y);
        std::fill(next.begin(), next.end(), 0.f);
        for (int x = 0; x < w; ++x) {
            float luma =
                (299.f * qRed(src[x]) + 587.f * qGreen(src[x]) + 114.f * qBlue(src[x])) / 1000.f;
            float v = std::clamp(luma + cur[x + 1], 0.f, 255.f);
            bool white = v >= 127.5f;
            dst[x] = white ? 1 : 0;
            float err = v - (white ? 255.f : 0.f);
            cur[x + 2] += err * (7.f / 16);
            next[x] += err * (3.f / 16);
            next[x + 1] += err * (5.f / 16);
            next[x + 2] += err * (1.f / 16);
        }
        std::swap(cur, next);
    }
    return indexed;
}

}  // namespace

QList<QRgb> StandardPalette(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return {0xFF000000, 0xFFFFFFFF};
        case 4:
            return QList<QRgb>(kWindows16.begin(), kWindows16.end());
        case 8: {
            static const QList<QRgb> palette = BuildPalette256();
            return palette;
        }
        default:
            return {};
    }
}

QImage ReduceColors(const QImage& canvas, int bitsPerPixel) {
    if (canvas.isNull()) return {};
    QImage rgb = canvas.convertToFormat(QImage::Format_RGB32);
    if (bitsPerPixel == 24 || bitsPerPixel == 32) return rgb;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) return {};
    QImage exact;
    if (ReduceExactly(rgb, 1 << bitsPerPixel, exact)) return exact;
    if (bitsPerPixel == 1) return DiffuseToBlackAndWhite(rgb);
    return DiffuseToPalette(rgb, StandardPalette(bitsPerPixel));
}

}  // namespace veldra
