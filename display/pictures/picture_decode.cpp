#include "display/pictures/picture_decode.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cctype>

#include "common/code_page_932.h"
#include "common/file_system.h"
#include "common/my_func.h"
#include "display/pictures/picture_limits.h"

namespace veldra {

namespace {

std::string UpperExtension(std::string_view path) {
    // The extension starts after the last '.' that follows the last separator.
    // Neither byte can be a Shift-JIS lead byte, but '\\' can be a trail byte:
    // walk the characters rather than search backwards.
    size_t dot = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(b)) {
            ++i;
            continue;
        }
        if (b == '\\' || b == '/' || b == ':')
            dot = std::string_view::npos;
        else if (b == '.')
            dot = i;
    }
    if (dot == std::string_view::npos) return {};
    std::string ext(path.substr(dot));
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

QImage ReadRaster(const QByteArray& bytes, const char* format) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kPictureAllocationLimitMb);
    // Refuse what the header declares too large before any pixel is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        static_cast<int64_t>(size.width()) * size.height() > kMaxPicturePixels)
        return {};
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

// Through the file layer: a FIFO or device under a picture's name is never opened
// in a way that could wait, and never read.
QByteArray ReadWholeFile(const QString& file, int64_t maxBytes) {
    TReadResult read = veldra::ReadWholeFile(NativeFilePath(file), static_cast<uint64_t>(maxBytes));
    if (!read.Ok()) return {};
    return QByteArray::fromStdString(read.bytes);
}

}  // namespace

TPictureFormat PictureFormatOf(std::string_view path) {
    const std::string ext = UpperExtension(path);
    if (ext == ".BMP") return TPictureFormat::Bitmap;
    if (ext == ".WMF") return TPictureFormat::Metafile;
    if (ext == ".EMF") return TPictureFormat::EnhancedMetafile;
    if (ext == ".ICO") return TPictureFormat::Icon;
    static constexpr std::array<std::string_view, 9> kConverted = {
        ".PNG", ".TIF", ".TIFF", ".JPG", ".JPE", ".JPEG", ".GIF", ".PCX", ".FPX"};
    if (std::find(kConverted.begin(), kConverted.end(), ext) != kConverted.end())
        return TPictureFormat::Converted;
    return TPictureFormat::Other;
}

std::filesystem::path NativeFilePath(const QString& file) {
    return PathFromUtf16(file.toStdU16String());
}

QString PictureFilePath(std::string_view shiftJisPath) {
    QString path = QString::fromStdU16String(DecodeCodePage932(shiftJisPath).text);
    if (!QFileInfo::exists(path) && path.contains(u'\\')) {
        QString slashed = path;
        slashed.replace(u'\\', u'/');
        if (QFileInfo::exists(slashed)) return slashed;
    }
    return path;
}

TDecodedPicture::TDecodedPicture(TPictureFormat format, QImage raster)
    : format_(format), raster_(std::move(raster)) {
    width_ = raster_.width();
    height_ = raster_.height();
}

TDecodedPicture::TDecodedPicture(TWmfPicture wmf)
    : format_(TPictureFormat::Metafile), wmf_(std::move(wmf)) {
    width_ = wmf_->Width();
    height_ = wmf_->Height();
}

TDecodedPicture::TDecodedPicture(TEmfPicture emf)
    : format_(TPictureFormat::EnhancedMetafile), emf_(std::move(emf)) {
    width_ = emf_->Width();
    height_ = emf_->Height();
}

void TDecodedPicture::PlayMetafile(QPainter& painter, const QRectF& target,
                                   TMetafilePlayback* playback) const {
    if (wmf_) wmf_->Play(painter, target, playback);
    if (emf_) emf_->Play(painter, target, playback);
}

int64_t TDecodedPicture::MemoryBytes() const {
    if (wmf_) return wmf_->DataBytes();
    if (emf_) return emf_->DataBytes();
    return raster_.sizeInBytes();
}

std::shared_ptr<const TDecodedPicture> DecodePictureFile(const QString& file,
                                                         TPictureFormat format) {
    if (!IsDirectFormat(format)) return nullptr;
    const bool raster = format == TPictureFormat::Bitmap || format == TPictureFormat::Icon;
    return DecodePictureBytes(
        ReadWholeFile(file, raster ? kMaxPictureFileBytes : kMaxMetafileBytes), format);
}

std::shared_ptr<const TDecodedPicture> DecodePictureBytes(const QByteArray& bytes,
                                                          TPictureFormat format) {
    if (bytes.isEmpty()) return nullptr;
    switch (format) {
        case TPictureFormat::Bitmap:
        case TPictureFormat::Icon: {
            QImage image = ReadRaster(bytes, format == TPictureFormat::Bitmap ? "bmp" : "ico");
            if (image.isNull()) return nullptr;
            // Bitmaps are drawn opaque: convert once here rather than at every draw.
            if (format == TPictureFormat::Bitmap && image.format() != QImage::Format_RGB32)
                image = image.convertToFormat(QImage::Format_RGB32);
            return std::make_shared<const TDecodedPicture>(format, std::move(image));
        }
        case TPictureFormat::Metafile: {
            std::optional<TWmfPicture> wmf = TWmfPicture::Parse(bytes);
            if (!wmf) return nullptr;
            return std::make_shared<const TDecodedPicture>(std::move(*wmf));
        }
        case TPictureFormat::EnhancedMetafile: {
            std::optional<TEmfPicture> emf = TEmfPicture::Parse(bytes);
            if (!emf) return nullptr;
            return std::make_shared<const TDecodedPicture>(std::move(*emf));
        }
        default:
            return nullptr;
    }
}

std::shared_ptr<const TDecodedPicture> TPictureCache::Load(const QString& file,
                                                           TPictureFormat format) {
    const auto key = std::make_pair(file, static_cast<int>(format));
    const auto found = pictures_.find(key);
    if (found != pictures_.end()) return found->second;
    auto picture = DecodePictureFile(file, format);
    const int64_t bytes = picture ? picture->MemoryBytes() : 0;
    // Many large pictures in one pass: drop what is kept rather than grow unbounded.
    if (bytes_ + bytes > kMaxCachedPictureBytes) Clear();
    bytes_ += bytes;
    pictures_.emplace(key, picture);
    return picture;
}

}  // namespace veldra
