#include "fill/color_reduction.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
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

// Nearest palette colour by squared RGB distance, cached per 5-bit cell. Palette
// colours themselves are looked up exactly so that they never drift; only the few
// cells holding one need that look-up.
class TNearestColor {
  public:
    explicit TNearestColor(const QList<QRgb>& palette)
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
        if (cache_[key] < 0)  // a palette index, below 256
            cache_[key] = static_cast<int16_t>(Search((r & ~7) + 4, (g & ~7) + 4, (b & ~7) + 4));
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
    // The nearest value, halves up.
    return std::clamp(static_cast<int>(std::floor(v + 0.5f)), 0, 255);
}

}  // namespace

// Floyd-Steinberg over the palette: 7/16 right, 3/16 below left, 5/16 below, 1/16 below
// right. The error of the row below is kept between calls, so rows given in bands
// diffuse exactly as in one pass.
class TColorReducer::Diffuser {
  public:
    Diffuser(int bits, int width)
        : bits_(bits),
          width_(width),
          palette_(StandardPalette(bits)),
          nearest_(palette_),
          cur_(static_cast<size_t>(width + 2) * (bits == 1 ? 1 : 3), 0.f),
          next_(cur_.size(), 0.f) {}

    void Row(const QRgb* src, uchar* dst) {
        if (bits_ == 1)
            BlackAndWhiteRow(src, dst);
        else
            PaletteRow(src, dst);
        std::swap(cur_, next_);
    }

  private:
    void PaletteRow(const QRgb* src, uchar* dst) {
        std::fill(next_.begin(), next_.end(), 0.f);
        for (int x = 0; x < width_; ++x) {
            float* e = &cur_[static_cast<size_t>(x + 1) * 3];
            int r = Clamp255(static_cast<float>(qRed(src[x])) + e[0]);
            int g = Clamp255(static_cast<float>(qGreen(src[x])) + e[1]);
            int b = Clamp255(static_cast<float>(qBlue(src[x])) + e[2]);
            int index = nearest_(r, g, b);
            dst[x] = static_cast<uchar>(index);
            const float err[3] = {float(r - qRed(palette_[index])),
                                  float(g - qGreen(palette_[index])),
                                  float(b - qBlue(palette_[index]))};
            float* right = e + 3;
            float* below = &next_[static_cast<size_t>(x + 1) * 3];
            for (int c = 0; c < 3; ++c) {
                right[c] += err[c] * (7.f / 16);
                below[c - 3] += err[c] * (3.f / 16);
                below[c] += err[c] * (5.f / 16);
                below[c + 3] += err[c] * (1.f / 16);
            }
        }
    }

    // Black and white by error diffusion on luminance: red, green and blue of the same
    // brightness give the same grey pattern instead of all turning black.
    void BlackAndWhiteRow(const QRgb* src, uchar* dst) {
        std::fill(next_.begin(), next_.end(), 0.f);
        for (int x = 0; x < width_; ++x) {
            float luma = (299.f * static_cast<float>(qRed(src[x])) +
                          587.f * static_cast<float>(qGreen(src[x])) +
                          114.f * static_cast<float>(qBlue(src[x]))) /
                         1000.f;
            float v = std::clamp(luma + cur_[x + 1], 0.f, 255.f);
            bool white = v >= 127.5f;
            dst[x] = white ? 1 : 0;
            float err = v - (white ? 255.f : 0.f);
            cur_[x + 2] += err * (7.f / 16);
            next_[x] += err * (3.f / 16);
            next_[x + 1] += err * (5.f / 16);
            next_[x + 2] += err * (1.f / 16);
        }
    }

    int bits_;
    int width_;
    QList<QRgb> palette_;
    TNearestColor nearest_;
    std::vector<float> cur_, next_;
};

TColorReducer::TColorReducer(int bitsPerPixel, int width) : bits_(bitsPerPixel), width_(width) {
    indexed_ = bits_ == 1 || bits_ == 4 || bits_ == 8;
}

TColorReducer::~TColorReducer() = default;

void TColorReducer::Survey(const QImage& band) {
    if (!indexed_ || overflow_ || band.isNull()) return;
    const QImage rgb = band.convertToFormat(QImage::Format_RGB32);
    const int maxColors = 1 << bits_;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        QRgb last = 0;
        bool haveLast = false;
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = src[x] | 0xFF000000u;
            if (haveLast && c == last) continue;
            last = c;
            haveLast = true;
            if (indexOf_.contains(c)) continue;
            if (exact_.size() == maxColors) {
                overflow_ = true;
                exact_.clear();
                indexOf_.clear();
                return;
            }
            indexOf_.insert(c, static_cast<int>(exact_.size()));
            exact_.push_back(c);
        }
    }
}

QList<QRgb> TColorReducer::ColorTable() const {
    if (!indexed_) return {};
    return overflow_ ? StandardPalette(bits_) : exact_;
}

QImage TColorReducer::Reduce(const QImage& band) {
    if (band.isNull() || !(indexed_ || bits_ == 24 || bits_ == 32)) return {};
    QImage rgb = band.convertToFormat(QImage::Format_RGB32);
    if (!indexed_) return rgb;
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    if (indexed.isNull()) return {};
    indexed.setColorTable(ColorTable());
    if (overflow_ && !diffuser_) diffuser_ = std::make_unique<Diffuser>(bits_, width_);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = indexed.scanLine(y);
        if (overflow_) {
            diffuser_->Row(src, dst);
            continue;
        }
        QRgb last = 0;
        int lastIndex = -1;
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = src[x] | 0xFF000000u;
            if (lastIndex < 0 || c != last) {
                // A colour the survey did not see (a band drawn differently) takes 0.
                lastIndex = indexOf_.value(c, 0);
                last = c;
            }
            dst[x] = static_cast<uchar>(lastIndex);
        }
    }
    return indexed;
}

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
    TColorReducer reducer(bitsPerPixel, canvas.width());
    reducer.Survey(canvas);
    return reducer.Reduce(canvas);
}

}  // namespace veldra
