#include "fill/bmp_band_writer.h"

#include "fill/bmp_writer.h"

#include <algorithm>

namespace veldra {
namespace fs = std::filesystem;

namespace {
// Small enough to stay in the second-level cache with the rows being read.
constexpr int64_t kChunkBytes = int64_t{256} * 1024;
}  // namespace

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
    // The band's last row is the lowest and comes first in the file. Rows are packed a
    // few at a time into a buffer that stays in the processor's cache while the system
    // copies it out: packing the whole band first made the copy read it back from memory.
    const int64_t chunkRows = std::clamp<int64_t>(kChunkBytes / stride_, 1, rows);
    buffer_.resize(static_cast<size_t>(chunkRows * stride_));
    for (int64_t done = 0; done < rows; done += chunkRows) {
        const int64_t n = std::min(chunkRows, rows - done);
        // File rows of this chunk: the band's rows rows-1-done down to rows-done-n.
        for (int64_t i = 0; i < n; ++i) {
            PackBmpRow(band, static_cast<int>(rows - 1 - done - i), bits_,
                       buffer_.data() + i * stride_);
        }
        const int64_t at = offset_ + (height_ - firstRow - rows + done) * stride_;
        if (file_->WriteAt(static_cast<uint64_t>(at), buffer_.data(),
                           static_cast<size_t>(n * stride_)) != TFileProblem::None) {
            Abandon();
            return false;
        }
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
