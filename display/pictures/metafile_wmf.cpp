// Windows metafile parsing: the optional placeable header, the standard header and
// the chain of records. Playing the records is in metafile_wmf_player.cpp.

#include "display/pictures/metafile_wmf.h"

#include <cmath>
#include <cstdlib>

namespace veldra {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr uint32_t kPlaceableHeaderBytes = 22;
constexpr uint32_t kStandardHeaderBytes = 18;
// Logical units per inch of a placeable file that gives none.
constexpr int kDefaultUnitsPerInch = 1440;
constexpr double kScreenDpi = 96.0;

uint16_t U16(const QByteArray& d, uint32_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
int16_t S16(const QByteArray& d, uint32_t at) {
    return static_cast<int16_t>(U16(d, at));
}
uint32_t U32(const QByteArray& d, uint32_t at) {
    return static_cast<uint32_t>(U16(d, at)) | (static_cast<uint32_t>(U16(d, at + 2)) << 16);
}

// The window of the first SetWindowOrg / SetWindowExt records, for files without a
// placeable header.
std::optional<QRect> WindowFromRecords(const QByteArray& d, const std::vector<TWmfRecord>& rs) {
    int orgX = 0, orgY = 0;
    std::optional<QSize> ext;
    for (const TWmfRecord& r : rs) {
        if (r.paramWords < 2) continue;
        if (r.function == wmf::kSetWindowOrg) {
            orgY = S16(d, r.paramOffset);
            orgX = S16(d, r.paramOffset + 2);
        } else if (r.function == wmf::kSetWindowExt && !ext) {
            ext = QSize(S16(d, r.paramOffset + 2), S16(d, r.paramOffset));
        }
    }
    if (!ext || ext->width() == 0 || ext->height() == 0) return std::nullopt;
    return QRect(orgX, orgY, ext->width(), ext->height());
}

}  // namespace

std::optional<TWmfPicture> TWmfPicture::Parse(const QByteArray& data) {
    const auto size = static_cast<uint32_t>(data.size());
    TWmfPicture picture;
    uint32_t at = 0;
    std::optional<QRect> placeableFrame;
    int unitsPerInch = kDefaultUnitsPerInch;
    if (size >= kPlaceableHeaderBytes && U32(data, 0) == kPlaceableKey) {
        const int left = S16(data, 6), top = S16(data, 8);
        const int right = S16(data, 10), bottom = S16(data, 12);
        placeableFrame = QRect(left, top, right - left, bottom - top);
        if (U16(data, 14) > 0) unitsPerInch = U16(data, 14);
        at = kPlaceableHeaderBytes;
    }
    if (size < at + kStandardHeaderBytes) return std::nullopt;
    const uint16_t type = U16(data, at);
    const uint16_t headerWords = U16(data, at + 2);
    if ((type != 1 && type != 2) || headerWords != kStandardHeaderBytes / 2) return std::nullopt;
    picture.objectCount_ = U16(data, at + 10);
    at += kStandardHeaderBytes;

    // Walk the records; a size that runs past the data ends the walk (truncated file).
    while (at + 6 <= size) {
        const uint32_t words = U32(data, at);
        const uint16_t function = U16(data, at + 4);
        if (words < 3 || words > (size - at) / 2) break;
        if (function == wmf::kEof) break;
        picture.records_.push_back({function, at + 6, words - 3});
        at += words * 2;
    }

    QRect frame;
    if (placeableFrame) {
        frame = *placeableFrame;
        const double w = std::abs(placeableFrame->width());
        const double h = std::abs(placeableFrame->height());
        picture.width_ = static_cast<int>(std::lround(w * kScreenDpi / unitsPerInch));
        picture.height_ = static_cast<int>(std::lround(h * kScreenDpi / unitsPerInch));
    } else {
        const std::optional<QRect> window = WindowFromRecords(data, picture.records_);
        if (!window) return std::nullopt;
        frame = *window;
        picture.width_ = std::abs(window->width());
        picture.height_ = std::abs(window->height());
    }
    if (picture.width_ <= 0 || picture.height_ <= 0) return std::nullopt;
    picture.frame_ = frame;
    picture.data_ = data;
    return picture;
}

}  // namespace veldra
