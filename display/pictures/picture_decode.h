#pragma once

// Decoding of picture files named by picture-placement texts. Bitmaps and icons go
// through Qt's image readers (format fixed by the extension, size checked before
// decoding); metafiles through our WMF player and the EMF converter. Everything
// that cannot be decoded, or would be larger than the picture limits, gives no
// picture.

#include <QImage>
#include <QString>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "display/pictures/metafile_emf.h"
#include "display/pictures/metafile_wmf.h"

class QPainter;

namespace veldra {

enum class TPictureFormat {
    Bitmap,            // .BMP
    Metafile,          // .WMF
    EnhancedMetafile,  // .EMF
    Icon,              // .ICO
    Converted,         // .PNG .TIF .TIFF .JPG .JPE .JPEG .GIF .PCX .FPX: handed to ImgConvert
    Other              // not drawn
};

// The group of a file name's extension, compared in upper case.
TPictureFormat PictureFormatOf(std::string_view path);
inline bool IsDirectFormat(TPictureFormat f) {
    return f != TPictureFormat::Converted && f != TPictureFormat::Other;
}

// The file a Shift-JIS path names on this system: decoded from Shift-JIS; when it
// does not exist as written and holds backslashes, the same path with slashes.
QString PictureFilePath(std::string_view shiftJisPath);

// The native path of a file named by the toolkit's text (UTF-16 on Windows, UTF-8
// elsewhere), for the file layer.
std::filesystem::path NativeFilePath(const QString& file);

// A decoded picture of one of the direct formats.
class TDecodedPicture {
  public:
    TDecodedPicture(TPictureFormat format, QImage raster);
    explicit TDecodedPicture(TWmfPicture wmf);
    explicit TDecodedPicture(TEmfPicture emf);

    TPictureFormat Format() const { return format_; }
    // Pixel size (metafiles: their frame at 96 dots per inch).
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bitmaps and icons; null for metafiles.
    const QImage& Raster() const { return raster_; }
    // Plays a metafile into the target rectangle of the painter; `playback` (may be
    // null) carries the abort poll and receives the work counts.
    void PlayMetafile(QPainter& painter, const QRectF& target,
                      TMetafilePlayback* playback = nullptr) const;
    // Memory the picture holds (pixels, or the metafile's data).
    int64_t MemoryBytes() const;

  private:
    TPictureFormat format_;
    QImage raster_;
    std::optional<TWmfPicture> wmf_;
    std::optional<TEmfPicture> emf_;
    int width_ = 0;
    int height_ = 0;
};

// Decodes a file of a direct format; nullptr when it is missing, no regular file,
// damaged, not of its extension's format, or too large. The file is read through the
// file layer, so a FIFO or device under its name never blocks.
std::shared_ptr<const TDecodedPicture> DecodePictureFile(const QString& file,
                                                         TPictureFormat format);
// The same for the bytes of a file already read.
std::shared_ptr<const TDecodedPicture> DecodePictureBytes(const QByteArray& bytes,
                                                          TPictureFormat format);

// Decoded pictures of one drawing pass, so that a picture placed many times is
// read once. Failures are remembered too.
class TPictureCache {
  public:
    std::shared_ptr<const TDecodedPicture> Load(const QString& file, TPictureFormat format);
    void Clear() {
        pictures_.clear();
        bytes_ = 0;
    }
    size_t Size() const { return pictures_.size(); }

  private:
    std::map<std::pair<QString, int>, std::shared_ptr<const TDecodedPicture>> pictures_;
    int64_t bytes_ = 0;
};

}  // namespace veldra
