#pragma once

// The player of enhanced metafile records, shared by the files of the metafile
// module only: the device-context state, the object table and the handlers.
// Shapes are built in logical units and mapped through world, page and frame
// transforms into painter pixels, clamped near the target so that no drawing
// command meets coordinates far beyond it.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <vector>

#include "display/pictures/metafile_emf.h"
#include "display/pictures/metafile_gdi.h"
#include "display/pictures/metafile_playback.h"

namespace veldra {

inline constexpr size_t kEmfMaxSavedStates = 1024;

struct TEmfPen {
    bool null = false;
    int style = 0;     // PS_SOLID ... PS_INSIDEFRAME
    double width = 0;  // logical units; 0 = one pixel
    QColor color = Qt::black;
};

struct TEmfBrush {
    int style = 0;  // 0 solid, 1 none, 2 hatched, otherwise a pattern
    int hatch = 0;
    QColor color = Qt::white;
    QImage pattern;
};

enum class TEmfObjectKind { None, Pen, Brush, Font, Other };

struct TEmfObject {
    TEmfObjectKind kind = TEmfObjectKind::None;
    TEmfPen pen;
    TEmfBrush brush;
    TMetafileFont font;
};

struct TEmfDcState {
    int mapMode = 1;  // MM_TEXT
    QPointF windowOrg, viewportOrg;
    QSizeF windowExt{1, 1}, viewportExt{1, 1};
    QTransform world;
    TEmfPen pen;
    TEmfBrush brush;
    TMetafileFont font;
    QColor bkColor = Qt::white;
    QColor textColor = Qt::black;
    bool opaqueBackground = true;
    uint32_t textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    QPointF position;  // logical
    QRectF clip;       // painter pixels; empty = none
};

inline QColor EmfColor(uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

class TEmfPlayer {
  public:
    TEmfPlayer(const TEmfPicture& picture, QPainter& painter, const QRectF& target,
               TMetafilePlayback* playback);

    void Run();

  private:
    // Field readers of the current record: 0 beyond its end.
    uint32_t U32(uint32_t at) const {
        if (at > recBytes_ || recBytes_ - at < 4) return 0;
        const unsigned char* p = rec_ + at;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    int32_t S32(uint32_t at) const { return static_cast<int32_t>(U32(at)); }
    int16_t S16(uint32_t at) const {
        if (at > recBytes_ || recBytes_ - at < 2) return 0;
        return static_cast<int16_t>(rec_[at] | (rec_[at + 1] << 8));
    }
    float F32(uint32_t at) const;
    // Bytes from `at` to the record's end (0 when beyond it).
    uint32_t BytesLeft(uint32_t at) const { return at >= recBytes_ ? 0 : recBytes_ - at; }
    const unsigned char* Bytes(uint32_t at) const { return rec_ + at; }
    // A block given by offset and length fields, when it lies inside the record.
    bool Block(uint32_t offset, uint32_t length, const unsigned char*& data) const;

    // Mapping.
    void UpdateTransform();
    QPointF ClampPoint(QPointF p) const;
    QPointF Map(QPointF logical) const { return ClampPoint(toTarget_.map(logical)); }
    QPainterPath MapPath(const QPainterPath& logical) const;
    double PixelsPerUnit() const;

    // Points of a poly record: 16- or 32-bit pairs from `at`, at most `count`.
    QPolygonF ReadPoints(uint32_t at, uint32_t count, bool small);
    QRectF ReadBox(uint32_t at) const;

    void ApplyPen();
    void ApplyBrush();
    void ApplyClip();
    // Draws a shape given in logical units, or adds it to the open path.
    void Emit(const QPainterPath& logical, bool fill, bool stroke);

    void Play(uint32_t type);
    bool PlayState(uint32_t type);
    bool PlayObject(uint32_t type);
    bool PlayShape(uint32_t type);
    void PlayPoly(uint32_t type);
    void PlayPolyPoly(uint32_t type);
    void PlayArc(uint32_t type);
    void PlayPathRecord(uint32_t type);
    void PlayText(bool wide);
    void PlayBitmap(uint32_t type);
    void Select(uint32_t index);
    void PutObject(uint32_t index, TEmfObject object);
    QImage ReadDib(uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits) const;

    const TEmfPicture& pic_;
    QPainter& p_;
    QRectF target_;
    TMetafileWorkMeter meter_;
    double limit_ = 0;
    const unsigned char* rec_ = nullptr;
    uint32_t recBytes_ = 0;
    TEmfDcState dc_;
    std::vector<TEmfDcState> saved_;
    std::vector<TEmfObject> objects_;
    QTransform toTarget_;
    bool inPath_ = false;
    QPainterPath path_;  // logical units
};

}  // namespace veldra
