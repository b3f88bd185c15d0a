#include "fill/bmp_band_writer.h"

#include "fill/bmp_writer.h"

namespace veldra {
namespace fs = std::filesystem;

TBmpBandWriter::~TBmpBandWriter() {
    Abandon();
}

void TBmpBandWriter::Abandon() {
    if (file_) file_->Abandon();
    file_.reset();
}

bool TBmpBandWriter::Open(const fs::path& path, int64_t width, int64_t height, int bitsPerPixel,
                          const QList<QRgb>& palette, int32_t pixelsPerMetre) {
    Abandon();
    if (path.empty() || !path.has_filename()) return false;
    const QByteArray headers = BmpHeaders(width, height, bitsPerPixel, palette, pixelsPerMetre);
    if (headers.isEmpty()) return false;
    file_ = std::make_unique<TReplacingFile>(path);
    // The picture is a working file of one folder: a link of its name is no place to
    // write, and a power cut may lose it.
    file_->RefuseLinkAtTarget();
    file_->SkipSyncAtCommit();
    if (file_->Create() != TFileProblem::None ||
        file_->Write(headers.constData(), static_cast<size_t>(headers.size())) !=
            TFileProblem::None) {
        Abandon();
        return false;
    }
    width_ = width;
    height_ = height;
    bits_ = bitsPerPixel;
    stride_ = BmpRowBytes(width, bitsPerPixel);
    offset_ = headers.size();
    rowsWritten_ = 0;
    return true;
}

bool TBmpBandWriter::WriteBand(const QImage& band, int64_t firstRow) {
    if (!file_) return false;
    const int64_t rows = band.height();
    const bool fits =
        !band.isNull() && band.width() == width_ && firstRow >= 0 && firstRow + rows <= height_ &&
        band.format() == (bits_ <= 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (!fits) {
        Abandon();
        return false;
    }
    // The band's last row is the lowest and comes first in the file.
    buffer_.resize(static_cast<size_t>(rows * stride_));
    for (int64_t y = 0; y < rows; ++y) {
        PackBmpRow(band, static_cast<int>(y), bits_, buffer_.data() + (rows - 1 - y) * stride_);
    }
    const int64_t at = offset_ + (height_ - firstRow - rows) * stride_;
    if (file_->WriteAt(static_cast<uint64_t>(at), buffer_.data(), buffer_.size()) !=
        TFileProblem::None) {
        Abandon();
        return false;
    }
    rowsWritten_ += rows;
    return true;
}

bool TBmpBandWriter::Commit() {
    if (!file_ || rowsWritten_ != height_) {
        Abandon();
        return false;
    }
    const bool done = file_->Commit() == TFileProblem::None;
    file_.reset();
    return done;
}

}  // namespace veldra
