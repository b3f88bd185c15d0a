// Fuzz target for texture and bitmap decoding: the bytes as a packed DIB (our own
// header checks in front of Qt's reader), as a bitmap or icon file of a picture
// placement, and as a texture file decoded by its content. Whatever decodes stays
// within the picture limits and fills a small canvas.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/code_page_932.h"
#include "display/pictures/picture_decode.h"
#include "display/pictures/picture_dib.h"
#include "display/pictures/picture_limits.h"
#include "fill/texture_fill.h"
#include "fuzz/fuzz_gui_app.h"

namespace {

using namespace veldra;

void CheckLimits(const QImage& image) {
    if (image.isNull()) return;
    if (image.width() < 1 || image.height() < 1 ||
        static_cast<int64_t>(image.width()) * image.height() > kMaxPicturePixels)
        std::abort();
}

// One file per process, rewritten for every input (in memory where /dev/shm exists)
// and removed when the process ends.
class TInputFile {
  public:
    TInputFile() {
        std::error_code ec;
        const std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", ec)
                                              ? std::filesystem::path("/dev/shm")
                                              : std::filesystem::temp_directory_path();
        path_ = dir / ("veldra-texture-fuzz-" + std::to_string(QCoreApplication::applicationPid()) +
                       ".bmp");
    }
    ~TInputFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

const std::filesystem::path& InputFile() {
    static const TInputFile file;
    return file.Path();
}

void FillWith(const QImage& texture) {
    QImage canvas(40, 30, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainterPath path;
    path.addEllipse(QRectF(2, 3, 33, 25));
    QPainter painter(&canvas);
    FillRegionPath(painter, path, texture, 0.7);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    CheckLimits(DecodePackedDib(data, size));
    // A bitmap file holds a packed DIB after its 14-byte file header.
    if (size >= 14 && data[0] == 'B' && data[1] == 'M')
        CheckLimits(DecodePackedDib(data + 14, size - 14));

    const std::filesystem::path& file = InputFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const QString name = QString::fromStdU16String(Utf16FromPath(file));
    for (TPictureFormat format : {TPictureFormat::Bitmap, TPictureFormat::Icon}) {
        if (auto picture = DecodePictureFile(name, format)) {
            CheckLimits(picture->Raster());
            if (picture->Raster().isNull()) std::abort();
        }
    }
    const QImage texture = LoadTexturePicture(file);
    CheckLimits(texture);
    if (!texture.isNull()) FillWith(texture);
    return 0;
}
