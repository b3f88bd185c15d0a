#pragma once

// Enhanced metafiles (.EMF): a small player of our own that draws the common GDI
// records (mapping modes and world transforms, pens, brushes, fonts, lines, curves,
// shapes, paths, text and embedded bitmaps) onto a QPainter. The header and the
// record chain are checked first; every parameter is then read with bounds checks,
// so a damaged file draws what it can and never reads outside its data.

#include <QByteArray>
#include <QRectF>
#include <cstdint>
#include <optional>

class QPainter;

namespace veldra {

struct TMetafilePlayback;

class TEmfPicture {
  public:
    // Nothing when the data is not an enhanced metafile, its header does not fit
    // its data, its records do not chain up to the end-of-file record, or its size
    // cannot be known.
    static std::optional<TEmfPicture> Parse(const QByteArray& data);

    // Picture size in pixels at 96 dots per inch, from the header's frame
    // (hundredths of a millimetre), or from its bounds when the frame is empty.
    int Width() const { return width_; }
    int Height() const { return height_; }
    int64_t DataBytes() const { return data_.size(); }

    // Draws the records so that the picture's frame fills `target` (painter
    // pixels). `playback` (may be null) carries the abort poll and receives the
    // work counts.
    void Play(QPainter& painter, const QRectF& target, TMetafilePlayback* playback = nullptr) const;

  private:
    friend class TEmfPlayer;
    QByteArray data_;
    QRectF frameDevice_;  // the frame in reference-device pixels
    double devicePerMmX_ = 0, devicePerMmY_ = 0;
    int objectCount_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// True when the data starts with an enhanced-metafile header and every record's
// size keeps the chain inside the data up to an end-of-file record.
bool EmfRecordChainIsSound(const QByteArray& data);

// Record types the player knows.
namespace emf {
inline constexpr uint32_t kHeader = 1;
inline constexpr uint32_t kPolyBezier = 2;
inline constexpr uint32_t kPolygon = 3;
inline constexpr uint32_t kPolyline = 4;
inline constexpr uint32_t kPolyBezierTo = 5;
inline constexpr uint32_t kPolylineTo = 6;
inline constexpr uint32_t kPolyPolyline = 7;
inline constexpr uint32_t kPolyPolygon = 8;
inline constexpr uint32_t kSetWindowExtEx = 9;
inline constexpr uint32_t kSetWindowOrgEx = 10;
inline constexpr uint32_t kSetViewportExtEx = 11;
inline constexpr uint32_t kSetViewportOrgEx = 12;
inline constexpr uint32_t kEof = 14;
inline constexpr uint32_t kSetPixelV = 15;
inline constexpr uint32_t kSetMapMode = 17;
inline constexpr uint32_t kSetBkMode = 18;
inline constexpr uint32_t kSetPolyFillMode = 19;
inline constexpr uint32_t kSetTextAlign = 22;
inline constexpr uint32_t kSetTextColor = 24;
inline constexpr uint32_t kSetBkColor = 25;
inline constexpr uint32_t kMoveToEx = 27;
inline constexpr uint32_t kIntersectClipRect = 30;
inline constexpr uint32_t kScaleViewportExtEx = 31;
inline constexpr uint32_t kScaleWindowExtEx = 32;
inline constexpr uint32_t kSaveDc = 33;
inline constexpr uint32_t kRestoreDc = 34;
inline constexpr uint32_t kSetWorldTransform = 35;
inline constexpr uint32_t kModifyWorldTransform = 36;
inline constexpr uint32_t kSelectObject = 37;
inline constexpr uint32_t kCreatePen = 38;
inline constexpr uint32_t kCreateBrushIndirect = 39;
inline constexpr uint32_t kDeleteObject = 40;
inline constexpr uint32_t kEllipse = 42;
inline constexpr uint32_t kRectangle = 43;
inline constexpr uint32_t kRoundRect = 44;
inline constexpr uint32_t kArc = 45;
inline constexpr uint32_t kChord = 46;
inline constexpr uint32_t kPie = 47;
inline constexpr uint32_t kLineTo = 54;
inline constexpr uint32_t kBeginPath = 59;
inline constexpr uint32_t kEndPath = 60;
inline constexpr uint32_t kCloseFigure = 61;
inline constexpr uint32_t kFillPath = 62;
inline constexpr uint32_t kStrokeAndFillPath = 63;
inline constexpr uint32_t kStrokePath = 64;
inline constexpr uint32_t kAbortPath = 68;
inline constexpr uint32_t kBitBlt = 76;
inline constexpr uint32_t kStretchBlt = 77;
inline constexpr uint32_t kStretchDiBits = 81;
inline constexpr uint32_t kExtCreateFontIndirectW = 82;
inline constexpr uint32_t kExtTextOutA = 83;
inline constexpr uint32_t kExtTextOutW = 84;
inline constexpr uint32_t kPolyBezier16 = 85;
inline constexpr uint32_t kPolygon16 = 86;
inline constexpr uint32_t kPolyline16 = 87;
inline constexpr uint32_t kPolyBezierTo16 = 88;
inline constexpr uint32_t kPolylineTo16 = 89;
inline constexpr uint32_t kPolyPolyline16 = 90;
inline constexpr uint32_t kPolyPolygon16 = 91;
inline constexpr uint32_t kCreateMonoBrush = 93;
inline constexpr uint32_t kCreateDibPatternBrushPt = 94;
inline constexpr uint32_t kExtCreatePen = 95;
}  // namespace emf

}  // namespace veldra
