#pragma once

// A bitmap file written band by band, for pictures too large to hold whole: the
// headers first, then each horizontal band (top band first) at its place in the file,
// whose rows run bottom-up. The file grows through the file layer's replacing file (a
// new name of its own, created exclusively, never through a link or into a FIFO) and
// is renamed over the path only when every band is written; anything else removes it,
// so a failed or cancelled picture leaves no file and never destroys an older one.

#include <QImage>
#include <QList>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/file_system.h"

namespace veldra {

class TBmpBandWriter {
  public:
    TBmpBandWriter() = default;
    ~TBmpBandWriter();
    TBmpBandWriter(const TBmpBandWriter&) = delete;
    TBmpBandWriter& operator=(const TBmpBandWriter&) = delete;

    // Creates the temporary file and writes the headers. The palette is that of the
    // reduced bands for 1, 4 and 8 bits, empty for 24 and 32.
    bool Open(const std::filesystem::path& path, int64_t width, int64_t height, int bitsPerPixel,
              const QList<QRgb>& palette, int32_t pixelsPerMetre);
    // The picture's rows firstRow .. firstRow + band height - 1, as TColorReducer gives
    // them. False (and the file dropped) when the band does not fit or writing fails.
    bool WriteBand(const QImage& band, int64_t firstRow);
    // Renames the complete file over the path; false when rows are missing or it fails.
    bool Commit();
    // Drops the temporary file (also done by the destructor unless committed).
    void Abandon();

  private:
    std::unique_ptr<TReplacingFile> file_;
    int64_t width_ = 0, height_ = 0, offset_ = 0, stride_ = 0, rowsWritten_ = 0;
    int bits_ = 0;
    std::vector<char> buffer_;
};

}  // namespace veldra
