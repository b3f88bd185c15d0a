#include "fill/bmp_band_writer.h"

#include <algorithm>
#include <system_error>

#include "fill/bmp_writer.h"

namespace veldra {
namespace fs = std::filesystem;

TBmpBandWriter::~TBmpBandWriter() {
    Abandon();
}

void TBmpBandWriter::Abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!partial_.empty()) {
        std::error_code ec;
        if (!fs::is_directory(partial_, ec)) fs::remove(partial_, ec);
        partial_.clear();
    }
}

bool TBmpBandWriter::Open(const fs::path& path, int64_t width, int64_t height, int bitsPerPixel,
                          const QList<QRgb>& palette, int32_t pixelsPerMetre) {
    Abandon();
    if (path.empty() || !path.has_filename()) return false;
    const QByteArray headers = BmpHeaders(width, height, bitsPerPixel, palette, pixelsPerMetre);
    if (headers.isEmpty()) return false;
    path_ = path;
    partial_ = path;
    partial_ += ".part";
#ifdef _WIN32
    file_ = _wfopen(partial_.c_str(), L"wb");  // the wide name: a narrow one is the ANSI page
#else
    file_ = std::fopen(partial_.c_str(), "wb");
#endif
    if (file_ == nullptr) {
        partial_.clear();
        return false;
    }
    width_ = width;
    height_ = height;
    bits_ = bitsPerPixel;
    stride_ = BmpRowBytes(width, bitsPerPixel);
    offset_ = headers.size();
    rowsWritten_ = 0;
    if (std::fwrite(headers.constData(), 1, static_cast<size_t>(headers.size()), file_) !=
        static_cast<size_t>(headers.size())) {
        Abandon();
        return false;
    }
    return true;
}

bool TBmpBandWriter::WriteBand(const QImage& band, int64_t firstRow) {
    if (file_ == nullptr) return false;
    const int64_t rows = band.height();
    const bool fits =
        !band.isNull() && band.width() == width_ && firstRow >= 0 && firstRow + rows <= height_ &&
        band.format() == (bits_ <= 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (!fits) {
        Abandon();
        return false;
    }
    // The band's last row is the lowest and comes first in the file.
    buffer_.assign(static_cast<size_t>(rows * stride_), '\0');
    for (int64_t y = 0; y < rows; ++y) {
        PackBmpRow(band, static_cast<int>(y), bits_, buffer_.data() + (rows - 1 - y) * stride_);
    }
    const int64_t at = offset_ + (height_ - firstRow - rows) * stride_;
    if (fseeko(file_, static_cast<off_t>(at), SEEK_SET) != 0 ||
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        Abandon();
        return false;
    }
    rowsWritten_ += rows;
    return true;
}

bool TBmpBandWriter::Commit() {
    if (file_ == nullptr || rowsWritten_ != height_) {
        Abandon();
        return false;
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        Abandon();
        return false;
    }
    std::error_code ec;
    fs::rename(partial_, path_, ec);
    if (ec) {
        Abandon();
        return false;
    }
    partial_.clear();
    return true;
}

}  // namespace veldra
