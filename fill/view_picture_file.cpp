#include "fill/view_picture_file.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <array>
#include <cctype>

#include "fill/bmp_writer.h"

namespace veldra {
namespace fs = std::filesystem;

namespace {

// zlib level 1 in the toolkit's PNG writer (it maps 0..100 to levels 0..9).
constexpr int kFastestCompression = 11;

// The picture's colours to palette indices, found by a small open hash; fails past 256
// colours. Neighbouring pixels mostly share a colour, so the last one is kept at hand.
class TPaletteIndex {
  public:
    // The index of the colour, added when new; -1 when the palette is full.
    int IndexOf(QRgb colour) {
        if (colour == lastColour_ && lastIndex_ >= 0) return lastIndex_;
        size_t slot = (colour * 2654435761u) >> 22 & (kSlots - 1);
        while (slots_[slot] >= 0) {
            if (colours_[static_cast<size_t>(slots_[slot])] == colour)
                return Remember(colour, slots_[slot]);
            slot = (slot + 1) & (kSlots - 1);
        }
        if (count_ == 256) return -1;
        colours_[count_] = colour;
        slots_[slot] = static_cast<int16_t>(count_);
        return Remember(colour, static_cast<int>(count_++));
    }
    QList<QRgb> Colours() const { return QList<QRgb>(colours_.begin(), colours_.begin() + count_); }

  private:
    static constexpr size_t kSlots = 1024;  // at most a quarter full
    int Remember(QRgb colour, int index) {
        lastColour_ = colour;
        lastIndex_ = index;
        return index;
    }
    std::array<int16_t, kSlots> slots_ = [] {
        std::array<int16_t, kSlots> empty;
        empty.fill(-1);
        return empty;
    }();
    std::array<QRgb, 256> colours_{};
    size_t count_ = 0;
    QRgb lastColour_ = 0;
    int lastIndex_ = -1;
};

// The picture as palette indices; null when it has more than 256 colours.
QImage Indexed(const QImage& opaque) {
    QImage indexed(opaque.size(), QImage::Format_Indexed8);
    if (indexed.isNull()) return {};
    TPaletteIndex palette;
    for (int y = 0; y < opaque.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(opaque.constScanLine(y));
        uchar* to = indexed.scanLine(y);
        for (int x = 0; x < opaque.width(); ++x) {
            const int index = palette.IndexOf(from[x] | 0xFF000000u);
            if (index < 0) return {};
            to[x] = static_cast<uchar>(index);
        }
    }
    indexed.setColorTable(palette.Colours());
    return indexed;
}

}  // namespace

std::optional<TViewPictureFormat> ViewPictureFormatOf(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png") return TViewPictureFormat::Png;
    if (extension == ".bmp") return TViewPictureFormat::Bmp;
    return std::nullopt;
}

QByteArray EncodeViewPng(const QImage& picture) {
    if (picture.isNull()) return {};
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    const QImage indexed = Indexed(opaque);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    QImageWriter writer(&buffer, "png");
    writer.setCompression(kFastestCompression);
    if (!writer.write(indexed.isNull() ? opaque : indexed)) return {};
    return bytes;
}

bool SaveViewPicture(const fs::path& path, const QImage& picture, TViewPictureFormat format) {
    const QByteArray bytes =
        format == TViewPictureFormat::Png ? EncodeViewPng(picture) : EncodeBmp(picture, 24);
    return WriteFileReplacing(path, bytes);
}

}  // namespace veldra
