// Plays the records of an enhanced metafile onto a QPainter: the device-context
// state, the mapping from logical units into the target and the object table.
// Shapes, text and bitmaps are in metafile_emf_draw.cpp.

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/pictures/metafile_emf_player.h"
#include "display/pictures/picture_dib.h"

namespace veldra {

namespace {

constexpr uint32_t kStockObject = 0x80000000u;
// Millimetres per logical unit of the fixed mapping modes MM_LOMETRIC ... MM_TWIPS.
constexpr double kMmPerUnit[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440.0};

// The stock objects: brushes 0 to 5, pens 6 to 8, fonts 10 to 17, the DC brush 18
// and the DC pen 19.
TEmfObject StockObject(uint32_t index) {
    TEmfObject o;
    static constexpr int kGrays[] = {0xFF, 0xC0, 0x80, 0x40, 0x00};
    if (index <= 4 || index == 18) {
        o.kind = TEmfObjectKind::Brush;
        const int g = index == 18 ? 0xFF : kGrays[index];
        o.brush.color = QColor(g, g, g);
    } else if (index == 5) {
        o.kind = TEmfObjectKind::Brush;
        o.brush.style = 1;
    } else if (index >= 6 && index <= 8) {
        o.kind = TEmfObjectKind::Pen;
        o.pen.color = index == 6 ? Qt::white : Qt::black;
        o.pen.null = index == 8;
    } else if (index == 19) {
        o.kind = TEmfObjectKind::Pen;
    } else if (index >= 10 && index <= 17) {
        o.kind = TEmfObjectKind::Font;
    }
    return o;
}

bool IsFinite(const QTransform& t) {
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

TEmfPlayer::TEmfPlayer(const TEmfPicture& picture, QPainter& painter, const QRectF& target,
                       TMetafilePlayback* playback)
    : pic_(picture), p_(painter), target_(target), meter_(playback) {
    limit_ = 4.0 * std::max(target.width(), target.height()) + 4096.0;
    UpdateTransform();
}

void TEmfPlayer::Run() {
    p_.save();
    p_.setClipRect(target_, Qt::IntersectClip);
    const auto* data = reinterpret_cast<const unsigned char*>(pic_.data_.constData());
    const auto size = static_cast<uint32_t>(pic_.data_.size());
    // The chain was checked when parsing: every size is at least 8, a multiple of 4
    // and inside the data, and an end-of-file record ends it.
    for (uint32_t at = 0; size - at >= 8;) {
        rec_ = data + at;
        recBytes_ = 8;
        recBytes_ = U32(4);
        if (recBytes_ < 8 || recBytes_ > size - at) break;
        const uint32_t type = U32(0);
        if (type == emf::kEof || meter_.NextRecordStops()) break;
        Play(type);
        at += recBytes_;
    }
    p_.restore();
    meter_.Report();
}

float TEmfPlayer::F32(uint32_t at) const {
    const uint32_t bits = U32(at);
    float v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

bool TEmfPlayer::Block(uint32_t offset, uint32_t length, const unsigned char*& data) const {
    if (offset > recBytes_ || length > recBytes_ - offset) return false;
    data = rec_ + offset;
    return true;
}

void TEmfPlayer::UpdateTransform() {
    // Page space to reference-device pixels by the mapping mode.
    double sx = 1, sy = 1;
    const TEmfDcState& s = dc_;
    if (s.mapMode >= 2 && s.mapMode <= 6) {
        const double mm = kMmPerUnit[s.mapMode - 2];
        sx = pic_.devicePerMmX_ * mm;
        sy = -pic_.devicePerMmY_ * mm;  // y grows upwards
    } else if (s.mapMode == 7 || s.mapMode == 8) {
        sx = s.windowExt.width() == 0 ? 0 : s.viewportExt.width() / s.windowExt.width();
        sy = s.windowExt.height() == 0 ? 0 : s.viewportExt.height() / s.windowExt.height();
        if (s.mapMode == 7) {  // isotropic: the smaller scale on both axes
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    const QTransform page = QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y()) *
                            QTransform::fromScale(sx, sy) *
                            QTransform::fromTranslate(s.viewportOrg.x(), s.viewportOrg.y());
    // Reference-device pixels to the target: the picture's frame fills it.
    const QRectF& f = pic_.frameDevice_;
    const QTransform frame =
        QTransform::fromTranslate(-f.left(), -f.top()) *
        QTransform::fromScale(target_.width() / f.width(), target_.height() / f.height()) *
        QTransform::fromTranslate(target_.left(), target_.top());
    toTarget_ = s.world * page * frame;
    if (!IsFinite(toTarget_)) toTarget_ = QTransform::fromScale(0, 0);
}

QPointF TEmfPlayer::ClampPoint(QPointF p) const {
    const QPointF c = target_.center();
    const auto clamp = [this](double v, double centre) {
        if (!std::isfinite(v)) return centre;
        return std::clamp(v, centre - limit_, centre + limit_);
    };
    return {clamp(p.x(), c.x()), clamp(p.y(), c.y())};
}

QPainterPath TEmfPlayer::MapPath(const QPainterPath& logical) const {
    QPainterPath mapped = toTarget_.map(logical);
    for (int i = 0; i < mapped.elementCount(); ++i) {
        const QPointF p = ClampPoint(mapped.elementAt(i));
        mapped.setElementPositionAt(i, p.x(), p.y());
    }
    return mapped;
}

double TEmfPlayer::PixelsPerUnit() const {
    const double perUnit = std::sqrt(std::abs(toTarget_.determinant()));
    return std::isfinite(perUnit) ? perUnit : 0.0;
}

void TEmfPlayer::ApplyPen() {
    const TEmfPen& o = dc_.pen;
    p_.setPen(o.null ? QPen(Qt::NoPen)
                     : MetafileQPen(o.style, o.color, o.width * PixelsPerUnit(), limit_));
}

void TEmfPlayer::ApplyBrush() {
    const TEmfBrush& o = dc_.brush;
    p_.setBrush(MetafileQBrush(o.style, o.color, o.hatch, o.pattern));
    p_.setBackgroundMode(dc_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    p_.setBackground(dc_.bkColor);
}

void TEmfPlayer::ApplyClip() {
    p_.setClipRect(target_);
    if (!dc_.clip.isEmpty()) p_.setClipRect(dc_.clip, Qt::IntersectClip);
}

void TEmfPlayer::Play(uint32_t type) {
    if (PlayState(type) || PlayObject(type) || PlayShape(type)) return;
    // Records that do not draw (palettes, comments, ...) are passed over.
}

bool TEmfPlayer::PlayState(uint32_t type) {
    switch (type) {
        case emf::kSetWindowExtEx:
            dc_.windowExt = QSizeF(S32(8), S32(12));
            break;
        case emf::kSetWindowOrgEx:
            dc_.windowOrg = QPointF(S32(8), S32(12));
            break;
        case emf::kSetViewportExtEx:
            dc_.viewportExt = QSizeF(S32(8), S32(12));
            break;
        case emf::kSetViewportOrgEx:
            dc_.viewportOrg = QPointF(S32(8), S32(12));
            break;
        case emf::kScaleViewportExtEx:
        case emf::kScaleWindowExtEx: {
            if (S32(12) == 0 || S32(20) == 0) return true;
            QSizeF& ext = type == emf::kScaleWindowExtEx ? dc_.windowExt : dc_.viewportExt;
            ext = QSizeF(ext.width() * S32(8) / S32(12), ext.height() * S32(16) / S32(20));
            break;
        }
        case emf::kSetMapMode:
            if (U32(8) >= 1 && U32(8) <= 8) dc_.mapMode = static_cast<int>(U32(8));
            break;
        case emf::kSetWorldTransform:
        case emf::kModifyWorldTransform: {
            const QTransform x(F32(8), F32(12), F32(16), F32(20), F32(24), F32(28));
            const uint32_t mode = type == emf::kSetWorldTransform ? 4 : U32(32);
            if (!IsFinite(x)) return true;
            if (mode == 1)
                dc_.world = QTransform();
            else if (mode == 2)
                dc_.world = x * dc_.world;
            else if (mode == 3)
                dc_.world = dc_.world * x;
            else if (mode == 4)
                dc_.world = x;
            break;
        }
        case emf::kSaveDc:
            if (saved_.size() < kEmfMaxSavedStates) saved_.push_back(dc_);
            return true;
        case emf::kRestoreDc: {
            const int64_t n = S32(8);
            const int64_t count = static_cast<int64_t>(saved_.size());
            const int64_t keep = n < 0 ? count + n : n - 1;  // states that stay saved
            if (n == 0 || keep < 0 || keep >= count) return true;
            dc_ = saved_[static_cast<size_t>(keep)];
            saved_.resize(static_cast<size_t>(keep));
            ApplyClip();
            break;
        }
        case emf::kIntersectClipRect: {
            const QRectF box =
                toTarget_.mapRect(ReadBox(8))
                    .intersected(QRectF(ClampPoint({-1e300, -1e300}), ClampPoint({1e300, 1e300})));
            dc_.clip = dc_.clip.isEmpty() ? box : dc_.clip.intersected(box);
            if (dc_.clip.isEmpty()) dc_.clip = QRectF(target_.topLeft(), QSizeF(0.001, 0.001));
            ApplyClip();
            return true;
        }
        case emf::kSetBkMode:
            dc_.opaqueBackground = U32(8) == 2;
            return true;
        case emf::kSetPolyFillMode:
            dc_.fillRule = U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            return true;
        case emf::kSetTextAlign:
            dc_.textAlign = U32(8);
            return true;
        case emf::kSetTextColor:
            dc_.textColor = EmfColor(U32(8));
            return true;
        case emf::kSetBkColor:
            dc_.bkColor = EmfColor(U32(8));
            return true;
        case emf::kMoveToEx:
            dc_.position = QPointF(S32(8), S32(12));
            if (inPath_) path_.moveTo(dc_.position);
            return true;
        default:
            return false;
    }
    UpdateTransform();
    return true;
}

void TEmfPlayer::PutObject(uint32_t index, TEmfObject object) {
    // Index 0 is the metafile itself; a table full or too small drops the object.
    if (index == 0 || index >= static_cast<uint32_t>(pic_.objectCount_)) return;
    // The table grows as it is used: a header may declare 65,535 handles for few objects.
    if (index >= objects_.size()) objects_.resize(index + size_t{1});
    objects_[index] = std::move(object);
}

void TEmfPlayer::Select(uint32_t index) {
    const TEmfObject o = (index & kStockObject) != 0 ? StockObject(index & ~kStockObject)
                         : index < objects_.size()   ? objects_[index]
                                                     : TEmfObject{};
    if (o.kind == TEmfObjectKind::Pen)
        dc_.pen = o.pen;
    else if (o.kind == TEmfObjectKind::Brush)
        dc_.brush = o.brush;
    else if (o.kind == TEmfObjectKind::Font)
        dc_.font = o.font;
}

QImage TEmfPlayer::ReadDib(uint32_t offBmi, uint32_t cbBmi, uint32_t offBits,
                           uint32_t cbBits) const {
    const unsigned char* bmi = nullptr;
    const unsigned char* bits = nullptr;
    if (cbBmi == 0 || !Block(offBmi, cbBmi, bmi) || !Block(offBits, cbBits, bits)) return {};
    // The header with its colour table and the pixels may lie apart: join them.
    QByteArray packed(reinterpret_cast<const char*>(bmi), cbBmi);
    packed.append(reinterpret_cast<const char*>(bits), cbBits);
    return DecodePackedDib(reinterpret_cast<const unsigned char*>(packed.constData()),
                           static_cast<size_t>(packed.size()));
}

bool TEmfPlayer::PlayObject(uint32_t type) {
    TEmfObject o;
    switch (type) {
        case emf::kCreatePen:
            o.kind = TEmfObjectKind::Pen;
            o.pen.style = static_cast<int>(U32(12) & 0x0F);
            o.pen.width = std::abs(static_cast<double>(S32(16)));
            o.pen.color = EmfColor(U32(24));
            PutObject(U32(8), o);
            return true;
        case emf::kExtCreatePen:
            o.kind = TEmfObjectKind::Pen;
            o.pen.style = static_cast<int>(U32(28) & 0x0F);
            o.pen.width = (U32(28) & 0x00010000) != 0 ? U32(32) & 0x7FFFFFFF : 0;  // geometric
            o.pen.null = U32(36) == 1;                                             // BS_NULL brush
            o.pen.color = EmfColor(U32(40));
            PutObject(U32(8), o);
            return true;
        case emf::kCreateBrushIndirect:
            o.kind = TEmfObjectKind::Brush;
            o.brush.style = static_cast<int>(std::min<uint32_t>(U32(12), 9));
            o.brush.color = EmfColor(U32(16));
            o.brush.hatch = static_cast<int>(std::min<uint32_t>(U32(20), 5));
            PutObject(U32(8), o);
            return true;
        case emf::kCreateMonoBrush:
        case emf::kCreateDibPatternBrushPt:
            o.kind = TEmfObjectKind::Brush;
            o.brush.style = 5;
            o.brush.color = Qt::gray;
            o.brush.pattern = ReadDib(U32(16), U32(20), U32(24), U32(28));
            PutObject(U32(8), o);
            return true;
        case emf::kExtCreateFontIndirectW: {
            o.kind = TEmfObjectKind::Font;
            o.font.height = S32(12);
            o.font.escapement = S32(20);
            o.font.weight = S32(28);
            o.font.italic = (U32(32) & 0xFF) != 0;
            o.font.underline = ((U32(32) >> 8) & 0xFF) != 0;
            o.font.strikeOut = ((U32(32) >> 16) & 0xFF) != 0;
            o.font.charset = static_cast<uint8_t>(U32(32) >> 24);
            QString face;
            for (uint32_t i = 0; i < 32 && BytesLeft(40 + 2 * i) >= 2; ++i) {
                const auto c = static_cast<char16_t>(static_cast<uint16_t>(S16(40 + 2 * i)));
                if (c == 0) break;
                face.append(QChar(c));
            }
            o.font.face = face;
            PutObject(U32(8), o);
            return true;
        }
        case emf::kSelectObject:
            Select(U32(8));
            return true;
        case emf::kDeleteObject:
            if (U32(8) < objects_.size()) objects_[U32(8)] = TEmfObject{};
            return true;
        default:
            return false;
    }
}

}  // namespace veldra
