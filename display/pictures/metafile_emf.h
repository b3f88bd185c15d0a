#pragma once

// Enhanced metafiles (.EMF): converted in memory to SVG by libemf2svg and drawn by
// Qt's SVG renderer. The record chain is checked first, so that damaged files are
// refused before the converter sees them.

#include <QByteArray>
#include <QRectF>
#include <memory>
#include <optional>

class QPainter;
class QSvgRenderer;

namespace veldra {

class TEmfPicture {
  public:
    // Nothing when the data is not an enhanced metafile, its records do not chain
    // up to the end-of-file record, or the conversion fails.
    static std::optional<TEmfPicture> Parse(const QByteArray& data);

    // Picture size in pixels at 96 dots per inch, from the header's frame
    // (hundredths of a millimetre), or from its bounds when the frame is empty.
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Play(QPainter& painter, const QRectF& target) const;

  private:
    std::shared_ptr<QSvgRenderer> renderer_;
    bool hasText_ = false;
    int width_ = 0;
    int height_ = 0;
};

// True when the data starts with an enhanced-metafile header and every record's
// size keeps the chain inside the data up to an end-of-file record.
bool EmfRecordChainIsSound(const QByteArray& data);

}  // namespace veldra
