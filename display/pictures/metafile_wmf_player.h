#pragma once

// The player of Windows metafile records, shared by the files of the metafile
// module only: the device-context state, the object table and the handlers.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "display/pictures/lowest_free_slots.h"
#include "display/pictures/metafile_gdi.h"
#include "display/pictures/metafile_playback.h"
#include "display/pictures/metafile_wmf.h"

namespace veldra {

inline constexpr int kWmfMaxSavedStates = 1024;
inline constexpr int kWmfMaxObjects = 65535;
inline constexpr uint8_t kWmfShiftJisCharset = 128;

enum class TWmfObjectKind { None, Pen, Brush, Font, Other };

struct TWmfObject {
    TWmfObjectKind kind = TWmfObjectKind::None;
    int penStyle = 0;
    int penWidth = 0;
    QColor color;
    int brushStyle = 0;
    int hatch = 0;
    QImage pattern;
    TMetafileFont font;
};

struct TWmfDcState {
    QPointF windowOrg;
    QSizeF windowExt;
    TWmfObject pen, brush;
    TMetafileFont font;
    QColor bkColor = Qt::white;
    bool opaqueBackground = true;
    QColor textColor = Qt::black;
    uint16_t textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    QPointF position;  // logical
    QRectF clip;       // device; empty = none
};

inline QColor WmfColor(uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// Text bytes of a font with this character set (Shift-JIS or Western).
QString DecodeWmfText(const QByteArray& bytes, uint8_t charset);

class TWmfPlayer {
  public:
    TWmfPlayer(const TWmfPicture& picture, QPainter& painter, const QRectF& target,
               TMetafilePlayback* playback)
        : pic_(picture),
          p_(painter),
          target_(target),
          meter_(playback),
          slots_(std::clamp(picture.objectCount_, 0, kWmfMaxObjects)) {
        dc_.windowOrg = picture.frame_.topLeft();
        dc_.windowExt = picture.frame_.size();
        dc_.pen.kind = TWmfObjectKind::Pen;
        dc_.pen.color = Qt::black;
        dc_.brush.kind = TWmfObjectKind::Brush;
        dc_.brush.color = Qt::white;
        limit_ = 4.0 * std::max(target.width(), target.height()) + 4096.0;
    }

    void Run() {
        p_.save();
        p_.setClipRect(target_, Qt::IntersectClip);
        for (const TWmfRecord& r : pic_.records_) {
            if (meter_.NextRecordStops()) break;
            rec_ = &r;
            Play(r.function);
        }
        p_.restore();
        meter_.Add(slots_.Steps());
        meter_.Report();
    }

  private:
    // Parameter word i of the current record; 0 beyond its end.
    int S(uint32_t i) const { return static_cast<int16_t>(U(i)); }
    uint16_t U(uint32_t i) const {
        if (i >= rec_->paramWords) return 0;
        const auto* d = reinterpret_cast<const unsigned char*>(pic_.data_.constData());
        const uint32_t at = rec_->paramOffset + 2 * i;
        return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
    }
    uint32_t U32(uint32_t i) const { return U(i) | (static_cast<uint32_t>(U(i + 1)) << 16); }
    const unsigned char* Bytes(uint32_t i) const {
        if (i >= rec_->paramWords) return nullptr;
        return reinterpret_cast<const unsigned char*>(pic_.data_.constData()) + rec_->paramOffset +
               2 * size_t{i};
    }
    uint32_t BytesLeft(uint32_t i) const {
        return i >= rec_->paramWords ? 0 : 2 * (rec_->paramWords - i);
    }

    double Sx() const {
        return dc_.windowExt.width() == 0 ? 0 : target_.width() / dc_.windowExt.width();
    }
    double Sy() const {
        return dc_.windowExt.height() == 0 ? 0 : target_.height() / dc_.windowExt.height();
    }
    double Clamp(double v, double centre) const {
        return std::clamp(v, centre - limit_, centre + limit_);
    }
    QPointF Map(double x, double y) const {
        return {Clamp(target_.left() + (x - dc_.windowOrg.x()) * Sx(), target_.center().x()),
                Clamp(target_.top() + (y - dc_.windowOrg.y()) * Sy(), target_.center().y())};
    }
    // Rectangle given as bottom, right, top, left from parameter word i.
    QRectF MapBox(uint32_t i) const {
        return QRectF(Map(S(i + 3), S(i + 2)), Map(S(i + 1), S(i))).normalized();
    }

    void ApplyPen() {
        const TWmfObject& o = dc_.pen;
        p_.setPen(MetafileQPen(o.penStyle, o.color, o.penWidth * std::abs(Sx()), limit_));
    }
    void ApplyBrush() {
        const TWmfObject& o = dc_.brush;
        p_.setBrush(MetafileQBrush(o.brushStyle, o.color, o.hatch, o.pattern));
        p_.setBackgroundMode(dc_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
        p_.setBackground(dc_.bkColor);
    }
    void ApplyClip() {
        p_.setClipRect(target_);
        if (!dc_.clip.isEmpty()) p_.setClipRect(dc_.clip, Qt::IntersectClip);
    }

    // A created object takes the lowest free slot; a full table drops it.
    void AddObject(TWmfObject o) {
        const int slot = slots_.Take();
        if (slot < 0) return;
        // The table grows as it is used: a header may declare 65,535 slots for few objects.
        if (static_cast<size_t>(slot) >= objects_.size()) objects_.resize(slot + size_t{1});
        objects_[static_cast<size_t>(slot)] = std::move(o);
    }
    void DeleteObject(int slot) {
        if (!slots_.IsUsed(slot)) return;
        slots_.Free(slot);
        objects_[static_cast<size_t>(slot)] = TWmfObject{};
    }

    QPolygonF Points(uint32_t first, int count) {
        QPolygonF polygon;
        count = std::clamp(count, 0, static_cast<int>(BytesLeft(first) / 4));
        meter_.Add(count);
        polygon.reserve(count);
        for (int k = 0; k < count; ++k) polygon << Map(S(first + 2 * k), S(first + 2 * k + 1));
        return polygon;
    }

    void Play(uint16_t f);
    void PlayObjectRecord(uint16_t f);
    void PlayArc(uint16_t f);
    void PlayText(bool extended);
    void PlayBitmap(uint16_t f);

    const TWmfPicture& pic_;
    QPainter& p_;
    QRectF target_;
    double limit_ = 0;
    const TWmfRecord* rec_ = nullptr;
    TMetafileWorkMeter meter_;
    TWmfDcState dc_;
    std::vector<TWmfDcState> saved_;
    TLowestFreeSlots slots_;
    std::vector<TWmfObject> objects_;
};

}  // namespace veldra
