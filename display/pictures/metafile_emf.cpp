#include "display/pictures/metafile_emf.h"

#include <emf2svg.h>

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <cstdlib>

namespace veldra {

namespace {

constexpr uint32_t kHeaderRecord = 1;
constexpr uint32_t kEofRecord = 14;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kMinHeaderBytes = 88;
constexpr double kHundredthsMmPerInch = 2540.0;
constexpr double kScreenDpi = 96.0;

uint32_t U32(const QByteArray& d, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t S32(const QByteArray& d, qsizetype at) {
    return static_cast<int32_t>(U32(d, at));
}

}  // namespace

bool EmfRecordChainIsSound(const QByteArray& data) {
    const qsizetype size = data.size();
    if (size < kMinHeaderBytes || U32(data, 0) != kHeaderRecord || U32(data, 40) != kEmfSignature)
        return false;
    qsizetype at = 0;
    while (at + 8 <= size) {
        const uint32_t type = U32(data, at);
        const uint32_t bytes = U32(data, at + 4);
        if (bytes < 8 || bytes % 4 != 0 || bytes > size - at) return false;
        if (type == kEofRecord) return true;
        at += bytes;
    }
    return false;
}

std::optional<TEmfPicture> TEmfPicture::Parse(const QByteArray& data) {
    if (!EmfRecordChainIsSound(data)) return std::nullopt;
    TEmfPicture picture;
    const double frameW = static_cast<double>(S32(data, 32)) - S32(data, 24);
    const double frameH = static_cast<double>(S32(data, 36)) - S32(data, 28);
    if (frameW > 0 && frameH > 0) {
        picture.width_ = static_cast<int>(std::lround(frameW * kScreenDpi / kHundredthsMmPerInch));
        picture.height_ = static_cast<int>(std::lround(frameH * kScreenDpi / kHundredthsMmPerInch));
    } else {
        picture.width_ =
            static_cast<int>(std::llabs(static_cast<int64_t>(S32(data, 16)) - S32(data, 8)));
        picture.height_ =
            static_cast<int>(std::llabs(static_cast<int64_t>(S32(data, 20)) - S32(data, 12)));
    }
    if (picture.width_ <= 0 || picture.height_ <= 0) return std::nullopt;

    QByteArray copy = data;  // the converter takes a non-const buffer
    char nameSpace[] = "svg";
    generatorOptions options{};
    options.nameSpace = nameSpace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* svg = nullptr;
    size_t svgLength = 0;
    const int ok =
        emf2svg(copy.data(), static_cast<size_t>(copy.size()), &svg, &svgLength, &options);
    QByteArray document;
    if (svg != nullptr) document = QByteArray(svg, static_cast<qsizetype>(svgLength));
    std::free(svg);
    if (ok == 0 || document.isEmpty()) return std::nullopt;
    picture.hasText_ = document.contains("<svg:text") || document.contains("<text");
    picture.renderer_ = std::make_shared<QSvgRenderer>(document);
    if (!picture.renderer_->isValid()) return std::nullopt;
    return picture;
}

void TEmfPicture::Play(QPainter& painter, const QRectF& target) const {
    if (!renderer_ || target.width() <= 0 || target.height() <= 0) return;
    // Text needs fonts, and fonts a GUI application: without one such a picture
    // is not drawn rather than bringing the program down.
    if (hasText_ && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    renderer_->render(&painter, target);
}

}  // namespace veldra
