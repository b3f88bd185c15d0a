#pragma once

// Windows metafiles (.WMF): a small player of our own that draws the common GDI
// records (pens, brushes, fonts, lines, shapes, text and embedded bitmaps) onto a
// QPainter. Every parameter is read with bounds checks: a truncated or damaged
// file draws what it can and never reads outside its data.

#include <QByteArray>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace veldra {

struct TMetafilePlayback;

// One record of the metafile: where its parameters start and how many 16-bit words
// they hold.
struct TWmfRecord {
    uint16_t function = 0;
    uint32_t paramOffset = 0;  // bytes from the start of the data
    uint32_t paramWords = 0;
};

class TWmfPicture {
  public:
    // Parses the header and the record chain; nothing when the data is not a
    // metafile or its frame cannot be known.
    static std::optional<TWmfPicture> Parse(const QByteArray& data);

    // Picture size in pixels at 96 dots per inch (the frame of a placeable file,
    // otherwise the window extent in logical units).
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The logical frame the records draw into.
    QRect Frame() const { return frame_; }
    size_t RecordCount() const { return records_.size(); }
    int ObjectCount() const { return objectCount_; }
    int64_t DataBytes() const {
        return data_.size() + static_cast<int64_t>(records_.size() * sizeof(TWmfRecord));
    }

    // Draws the records so that the logical frame fills `target` (painter pixels).
    // `playback` (may be null) carries the abort poll and receives the work counts.
    void Play(QPainter& painter, const QRectF& target, TMetafilePlayback* playback = nullptr) const;

  private:
    friend class TWmfPlayer;
    QByteArray data_;
    std::vector<TWmfRecord> records_;
    QRect frame_;
    int objectCount_ = 0;
    int width_ = 0;
    int height_ = 0;
};

// Record functions the player knows (the function word of each record).
namespace wmf {
inline constexpr uint16_t kEof = 0x0000;
inline constexpr uint16_t kSaveDc = 0x001E;
inline constexpr uint16_t kRealizePalette = 0x0035;
inline constexpr uint16_t kSetBkMode = 0x0102;
inline constexpr uint16_t kSetMapMode = 0x0103;
inline constexpr uint16_t kSetRop2 = 0x0104;
inline constexpr uint16_t kSetPolyFillMode = 0x0106;
inline constexpr uint16_t kSetTextAlign = 0x012E;
inline constexpr uint16_t kSelectObject = 0x012D;
inline constexpr uint16_t kRestoreDc = 0x0127;
inline constexpr uint16_t kDibCreatePatternBrush = 0x0142;
inline constexpr uint16_t kDeleteObject = 0x01F0;
inline constexpr uint16_t kCreatePatternBrush = 0x01F9;
inline constexpr uint16_t kSetBkColor = 0x0201;
inline constexpr uint16_t kSetTextColor = 0x0209;
inline constexpr uint16_t kSetWindowOrg = 0x020B;
inline constexpr uint16_t kSetWindowExt = 0x020C;
inline constexpr uint16_t kOffsetWindowOrg = 0x020F;
inline constexpr uint16_t kLineTo = 0x0213;
inline constexpr uint16_t kMoveTo = 0x0214;
inline constexpr uint16_t kCreatePalette = 0x00F7;
inline constexpr uint16_t kCreatePenIndirect = 0x02FA;
inline constexpr uint16_t kCreateFontIndirect = 0x02FB;
inline constexpr uint16_t kCreateBrushIndirect = 0x02FC;
inline constexpr uint16_t kPolygon = 0x0324;
inline constexpr uint16_t kPolyline = 0x0325;
inline constexpr uint16_t kScaleWindowExt = 0x0410;
inline constexpr uint16_t kIntersectClipRect = 0x0416;
inline constexpr uint16_t kEllipse = 0x0418;
inline constexpr uint16_t kRectangle = 0x041B;
inline constexpr uint16_t kSetPixel = 0x041F;
inline constexpr uint16_t kTextOut = 0x0521;
inline constexpr uint16_t kPolyPolygon = 0x0538;
inline constexpr uint16_t kRoundRect = 0x061C;
inline constexpr uint16_t kCreateRegion = 0x06FF;
inline constexpr uint16_t kArc = 0x0817;
inline constexpr uint16_t kPie = 0x081A;
inline constexpr uint16_t kChord = 0x0830;
inline constexpr uint16_t kDibBitBlt = 0x0940;
inline constexpr uint16_t kExtTextOut = 0x0A32;
inline constexpr uint16_t kDibStretchBlt = 0x0B41;
inline constexpr uint16_t kStretchDib = 0x0F43;
}  // namespace wmf

}  // namespace veldra
