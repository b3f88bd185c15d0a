// Enhanced metafile parsing: the header and the chain of records. Playing the
// records is in metafile_emf_player.cpp.

#include "display/pictures/metafile_emf.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "display/pictures/metafile_emf_player.h"

namespace veldra {

namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kMinHeaderBytes = 88;
constexpr double kHundredthsMmPerInch = 2540.0;
constexpr double kScreenDpi = 96.0;
// Largest side in pixels a header may declare; beyond it the size is not believed.
constexpr int64_t kMaxDeclaredSide = 1 << 30;

uint32_t U32(const QByteArray& d, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int64_t S32(const QByteArray& d, qsizetype at) {
    return static_cast<int32_t>(U32(d, at));
}

// Reference-device pixels per millimetre from the header's device size in pixels
// and millimetres; a screen at 96 dots per inch when they are not usable.
double DevicePerMm(int64_t pixels, int64_t millimetres) {
    if (pixels <= 0 || millimetres <= 0) return kScreenDpi / 25.4;
    return static_cast<double>(pixels) / static_cast<double>(millimetres);
}

}  // namespace

bool EmfRecordChainIsSound(const QByteArray& data) {
    const qsizetype size = data.size();
    if (size < kMinHeaderBytes || U32(data, 0) != emf::kHeader || U32(data, 40) != kEmfSignature)
        return false;
    qsizetype at = 0;
    while (at + 8 <= size) {
        const uint32_t type = U32(data, at);
        const uint32_t bytes = U32(data, at + 4);
        if (bytes < 8 || bytes % 4 != 0 || bytes > size - at) return false;
        if (at == 0 && bytes < kMinHeaderBytes) return false;  // the header holds its fields
        if (type == emf::kEof) return true;
        at += bytes;
    }
    return false;
}

std::optional<TEmfPicture> TEmfPicture::Parse(const QByteArray& data) {
    if (!EmfRecordChainIsSound(data)) return std::nullopt;
    TEmfPicture picture;
    const int64_t frameL = S32(data, 24), frameT = S32(data, 28);
    const int64_t frameW = S32(data, 32) - frameL, frameH = S32(data, 36) - frameT;
    const int64_t boundsL = S32(data, 8), boundsT = S32(data, 12);
    const int64_t boundsW = S32(data, 16) - boundsL, boundsH = S32(data, 20) - boundsT;
    picture.devicePerMmX_ = DevicePerMm(S32(data, 72), S32(data, 80));
    picture.devicePerMmY_ = DevicePerMm(S32(data, 76), S32(data, 84));
    int64_t width = 0, height = 0;
    if (frameW > 0 && frameH > 0) {
        width = std::llround(static_cast<double>(frameW) * kScreenDpi / kHundredthsMmPerInch);
        height = std::llround(static_cast<double>(frameH) * kScreenDpi / kHundredthsMmPerInch);
        const double toDevX = picture.devicePerMmX_ / 100.0, toDevY = picture.devicePerMmY_ / 100.0;
        picture.frameDevice_ =
            QRectF(static_cast<double>(frameL) * toDevX, static_cast<double>(frameT) * toDevY,
                   static_cast<double>(frameW) * toDevX, static_cast<double>(frameH) * toDevY);
    } else {
        width = std::llabs(boundsW);
        height = std::llabs(boundsH);
        picture.frameDevice_ = QRectF(static_cast<double>(boundsL), static_cast<double>(boundsT),
                                      static_cast<double>(boundsW), static_cast<double>(boundsH))
                                   .normalized();
    }
    if (width <= 0 || height <= 0 || width > kMaxDeclaredSide || height > kMaxDeclaredSide)
        return std::nullopt;
    if (!(picture.frameDevice_.width() > 0) || !(picture.frameDevice_.height() > 0))
        return std::nullopt;
    picture.width_ = static_cast<int>(width);
    picture.height_ = static_cast<int>(height);
    picture.objectCount_ = static_cast<int>(U32(data, 56) & 0xFFFF);
    picture.data_ = data;
    return picture;
}

void TEmfPicture::Play(QPainter& painter, const QRectF& target, TMetafilePlayback* playback) const {
    if (!(target.width() > 0) || !(target.height() > 0)) return;
    TEmfPlayer player(*this, painter, target, playback);
    player.Run();
}

}  // namespace veldra
