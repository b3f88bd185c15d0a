// Plays the records of a Windows metafile onto a QPainter: the logical window maps
// onto the target rectangle, GDI objects live in the metafile's object table, and
// every parameter read is checked against the record's length.

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <vector>

#include "display/metafile_wmf.h"
#include "display/picture_dib.h"

namespace veldra {

namespace {

constexpr int kMaxSavedStates = 1024;
constexpr int kMaxObjects = 65535;
constexpr uint8_t kShiftJisCharset = 128;

enum class ObjectKind { None, Pen, Brush, Font, Other };

struct TWmfFont {
    int height = 0;
    int escapement = 0;  // tenths of a degree
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    uint8_t charset = 0;
    QString face;
};

struct TWmfObject {
    ObjectKind kind = ObjectKind::None;
    int penStyle = 0;
    int penWidth = 0;
    QColor color;
    int brushStyle = 0;
    int hatch = 0;
    QImage pattern;
    TWmfFont font;
};

struct TDcState {
    QPointF windowOrg;
    QSizeF windowExt;
    TWmfObject pen, brush;
    TWmfFont font;
    QColor bkColor = Qt::white;
    bool opaqueBackground = true;
    QColor textColor = Qt::black;
    uint16_t textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    QPointF position;  // logical
    QRectF clip;       // device; empty = none
};

QColor ColorFrom(uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QString DecodeText(const QByteArray& bytes, uint8_t charset) {
    QStringDecoder decoder(charset == kShiftJisCharset ? "Shift_JIS" : "windows-1252");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

}  // namespace

class TWmfPlayer {
  public:
    TWmfPlayer(const TWmfPicture& picture, QPainter& painter, const QRectF& target)
        : pic_(picture), p_(painter), target_(target) {
        dc_.windowOrg = picture.frame_.topLeft();
        dc_.windowExt = picture.frame_.size();
        dc_.pen.kind = ObjectKind::Pen;
        dc_.pen.color = Qt::black;
        dc_.brush.kind = ObjectKind::Brush;
        dc_.brush.color = Qt::white;
        objects_.resize(std::clamp(picture.objectCount_, 0, kMaxObjects));
        limit_ = 4.0 * std::max(target.width(), target.height()) + 4096.0;
    }

    void Run() {
        p_.save();
        p_.setClipRect(target_, Qt::IntersectClip);
        for (const TWmfRecord& r : pic_.records_) {
            rec_ = &r;
            Play(r.function);
        }
        p_.restore();
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
               2 * i;
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
        if (o.penStyle == 5) {
            p_.setPen(Qt::NoPen);
            return;
        }
        const double width = o.penWidth * std::abs(Sx());
        QPen pen(o.color, width < 1.5 ? 0.0 : std::min(width, limit_));
        static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                                   Qt::DashDotLine, Qt::DashDotDotLine};
        if (o.penStyle >= 1 && o.penStyle <= 4 && pen.widthF() == 0.0)
            pen.setStyle(kStyles[o.penStyle]);
        p_.setPen(pen);
    }
    void ApplyBrush() {
        const TWmfObject& o = dc_.brush;
        static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                      Qt::FDiagPattern, Qt::BDiagPattern,
                                                      Qt::CrossPattern, Qt::DiagCrossPattern};
        if (o.brushStyle == 1)
            p_.setBrush(Qt::NoBrush);
        else if (o.brushStyle == 2)
            p_.setBrush(QBrush(o.color, kHatches[std::clamp(o.hatch, 0, 5)]));
        else if (!o.pattern.isNull())
            p_.setBrush(QBrush(o.pattern));
        else
            p_.setBrush(QBrush(o.color));
        p_.setBackgroundMode(dc_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
        p_.setBackground(dc_.bkColor);
    }
    void ApplyClip() {
        p_.setClipRect(target_);
        if (!dc_.clip.isEmpty()) p_.setClipRect(dc_.clip, Qt::IntersectClip);
    }

    int FreeSlot() const {
        for (size_t i = 0; i < objects_.size(); ++i)
            if (objects_[i].kind == ObjectKind::None) return static_cast<int>(i);
        return -1;
    }
    void AddObject(TWmfObject o) {
        const int slot = FreeSlot();
        if (slot >= 0) objects_[static_cast<size_t>(slot)] = std::move(o);
    }

    QPolygonF Points(uint32_t first, int count) const {
        QPolygonF polygon;
        count = std::clamp(count, 0, static_cast<int>(BytesLeft(first) / 4));
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
    TDcState dc_;
    std::vector<TDcState> saved_;
    std::vector<TWmfObject> objects_;
};

void TWmfPlayer::Play(uint16_t f) {
    switch (f) {
        case wmf::kSetWindowOrg:
            dc_.windowOrg = QPointF(S(1), S(0));
            break;
        case wmf::kSetWindowExt:
            dc_.windowExt = QSizeF(S(1), S(0));
            break;
        case wmf::kOffsetWindowOrg:
            dc_.windowOrg += QPointF(S(1), S(0));
            break;
        case wmf::kScaleWindowExt:
            if (S(0) != 0 && S(2) != 0)
                dc_.windowExt = QSizeF(dc_.windowExt.width() * S(3) / S(2),
                                       dc_.windowExt.height() * S(1) / S(0));
            break;
        case wmf::kSetBkColor:
            dc_.bkColor = ColorFrom(U32(0));
            break;
        case wmf::kSetBkMode:
            dc_.opaqueBackground = U(0) == 2;
            break;
        case wmf::kSetTextColor:
            dc_.textColor = ColorFrom(U32(0));
            break;
        case wmf::kSetTextAlign:
            dc_.textAlign = U(0);
            break;
        case wmf::kSetPolyFillMode:
            dc_.fillRule = U(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case wmf::kSaveDc:
            if (saved_.size() < kMaxSavedStates) saved_.push_back(dc_);
            break;
        case wmf::kRestoreDc: {
            const int n = S(0);
            size_t keep = saved_.size();
            if (n < 0)
                keep = saved_.size() - std::min<size_t>(saved_.size(), -n - 1);
            else if (n > 0 && static_cast<size_t>(n) <= saved_.size())
                keep = n;
            if (keep == 0 || keep > saved_.size()) break;
            dc_ = saved_[keep - 1];
            saved_.resize(keep - 1);
            ApplyClip();
            break;
        }
        case wmf::kIntersectClipRect: {
            const QRectF box = MapBox(0);
            dc_.clip = dc_.clip.isEmpty() ? box : dc_.clip.intersected(box);
            if (dc_.clip.isEmpty()) dc_.clip = QRectF(target_.topLeft(), QSizeF(0.001, 0.001));
            ApplyClip();
            break;
        }
        case wmf::kMoveTo:
            dc_.position = QPointF(S(1), S(0));
            break;
        case wmf::kLineTo: {
            const QPointF to(S(1), S(0));
            ApplyPen();
            p_.drawLine(Map(dc_.position.x(), dc_.position.y()), Map(to.x(), to.y()));
            dc_.position = to;
            break;
        }
        case wmf::kSetPixel:
            p_.fillRect(QRectF(Map(S(3), S(2)), QSizeF(1, 1)), ColorFrom(U32(0)));
            break;
        case wmf::kPolyline:
            ApplyPen();
            p_.drawPolyline(Points(1, S(0)));
            break;
        case wmf::kPolygon:
            ApplyPen();
            ApplyBrush();
            p_.drawPolygon(Points(1, S(0)), dc_.fillRule);
            break;
        case wmf::kPolyPolygon: {
            const int polygons = std::clamp(S(0), 0, static_cast<int>(rec_->paramWords));
            uint32_t at = 1 + static_cast<uint32_t>(polygons);
            QPainterPath path;
            path.setFillRule(dc_.fillRule);
            for (int k = 0; k < polygons; ++k) {
                const int count = std::max(0, S(1 + k));
                const QPolygonF polygon = Points(at, count);
                if (!polygon.isEmpty()) path.addPolygon(polygon), path.closeSubpath();
                at += 2 * static_cast<uint32_t>(count);
            }
            ApplyPen();
            ApplyBrush();
            p_.drawPath(path);
            break;
        }
        case wmf::kRectangle:
            ApplyPen();
            ApplyBrush();
            p_.drawRect(MapBox(0));
            break;
        case wmf::kEllipse:
            ApplyPen();
            ApplyBrush();
            p_.drawEllipse(MapBox(0));
            break;
        case wmf::kRoundRect:
            ApplyPen();
            ApplyBrush();
            p_.drawRoundedRect(MapBox(2), std::abs(S(1) * Sx()) / 2, std::abs(S(0) * Sy()) / 2);
            break;
        case wmf::kArc:
        case wmf::kPie:
        case wmf::kChord:
            PlayArc(f);
            break;
        case wmf::kTextOut:
            PlayText(false);
            break;
        case wmf::kExtTextOut:
            PlayText(true);
            break;
        case wmf::kDibBitBlt:
        case wmf::kDibStretchBlt:
        case wmf::kStretchDib:
            PlayBitmap(f);
            break;
        default:
            PlayObjectRecord(f);
            break;
    }
}

void TWmfPlayer::PlayObjectRecord(uint16_t f) {
    TWmfObject o;
    switch (f) {
        case wmf::kCreatePenIndirect:
            o.kind = ObjectKind::Pen;
            o.penStyle = U(0) & 0x0F;
            o.penWidth = S(1);
            o.color = ColorFrom(U32(3));
            AddObject(o);
            break;
        case wmf::kCreateBrushIndirect:
            o.kind = ObjectKind::Brush;
            o.brushStyle = U(0);
            o.color = ColorFrom(U32(1));
            o.hatch = U(3);
            AddObject(o);
            break;
        case wmf::kDibCreatePatternBrush:
            o.kind = ObjectKind::Brush;
            o.brushStyle = 5;
            o.color = Qt::gray;
            o.pattern = DecodePackedDib(Bytes(2), BytesLeft(2));
            AddObject(o);
            break;
        case wmf::kCreatePatternBrush:
            o.kind = ObjectKind::Brush;
            o.color = Qt::gray;
            AddObject(o);
            break;
        case wmf::kCreateFontIndirect: {
            o.kind = ObjectKind::Font;
            o.font.height = S(0);
            o.font.escapement = S(2);
            o.font.weight = S(4);
            o.font.italic = (U(5) & 0xFF) != 0;
            o.font.underline = (U(5) >> 8) != 0;
            o.font.strikeOut = (U(6) & 0xFF) != 0;
            o.font.charset = static_cast<uint8_t>(U(6) >> 8);
            const uint32_t faceBytes = std::min<uint32_t>(32, BytesLeft(9));
            QByteArray face(reinterpret_cast<const char*>(Bytes(9)), faceBytes);
            face.truncate(face.indexOf('\0') < 0 ? face.size() : face.indexOf('\0'));
            o.font.face = DecodeText(face, o.font.charset);
            AddObject(o);
            break;
        }
        case wmf::kCreatePalette:
        case wmf::kCreateRegion:
            o.kind = ObjectKind::Other;
            AddObject(o);
            break;
        case wmf::kSelectObject: {
            const size_t i = U(0);
            if (i >= objects_.size()) break;
            const TWmfObject& sel = objects_[i];
            if (sel.kind == ObjectKind::Pen)
                dc_.pen = sel;
            else if (sel.kind == ObjectKind::Brush)
                dc_.brush = sel;
            else if (sel.kind == ObjectKind::Font)
                dc_.font = sel.font;
            break;
        }
        case wmf::kDeleteObject:
            if (U(0) < objects_.size()) objects_[U(0)] = TWmfObject{};
            break;
        default:
            break;  // records that do not draw (palettes, escapes, ...)
    }
}

void TWmfPlayer::PlayArc(uint16_t f) {
    const QRectF box = MapBox(4);
    if (box.width() <= 0 || box.height() <= 0) return;
    // GDI starts and ends the arc where the rays to the radial points meet the
    // ellipse, counter-clockwise on screen; Qt takes parametric angles.
    const auto angle = [&](int x, int y) {
        const QPointF d = Map(x, y) - box.center();
        return std::atan2(-d.y() / box.height(), d.x() / box.width()) * 180.0 / M_PI;
    };
    const double start = angle(S(3), S(2));
    double sweep = angle(S(1), S(0)) - start;
    while (sweep <= 0) sweep += 360.0;
    QPainterPath path;
    if (f == wmf::kPie)
        path.moveTo(box.center()), path.arcTo(box, start, sweep);
    else
        path.arcMoveTo(box, start), path.arcTo(box, start, sweep);
    ApplyPen();
    if (f == wmf::kArc) {
        p_.strokePath(path, p_.pen());
        return;
    }
    path.closeSubpath();
    ApplyBrush();
    p_.drawPath(path);
}

void TWmfPlayer::PlayText(bool extended) {
    // Fonts need a GUI application; without one (a plain command-line run) text is
    // left out rather than brought down.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    int x = 0, y = 0, count = 0;
    uint32_t textWord = 0;
    if (extended) {
        y = S(0), x = S(1), count = S(2);
        textWord = (U(3) & 0x0006) != 0 ? 8 : 4;  // opaque or clipped: a rectangle follows
    } else {
        count = S(0);
        textWord = 1;
        const uint32_t after = 1 + (static_cast<uint32_t>(std::max(count, 0)) + 1) / 2;
        y = S(after), x = S(after + 1);
    }
    count = std::clamp(count, 0, static_cast<int>(BytesLeft(textWord)));
    if (count == 0) return;
    const QString text = DecodeText(
        QByteArray(reinterpret_cast<const char*>(Bytes(textWord)), count), dc_.font.charset);
    QFont font(dc_.font.face.isEmpty() ? QStringLiteral("Sans") : dc_.font.face);
    const double pixels = std::abs(dc_.font.height * Sy());
    font.setPixelSize(std::clamp(static_cast<int>(std::lround(pixels)), 1, 4096));
    font.setBold(dc_.font.weight >= 600);
    font.setItalic(dc_.font.italic);
    font.setUnderline(dc_.font.underline);
    font.setStrikeOut(dc_.font.strikeOut);
    const bool updateCp = (dc_.textAlign & 1) != 0;
    const QPointF at = updateCp ? Map(dc_.position.x(), dc_.position.y()) : Map(x, y);
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    double dx = 0, dy = metrics.ascent();  // TA_TOP
    if ((dc_.textAlign & 6) == 6)
        dx = -width / 2;
    else if (dc_.textAlign & 2)
        dx = -width;
    if ((dc_.textAlign & 24) == 24)
        dy = 0;
    else if (dc_.textAlign & 8)
        dy = -metrics.descent();
    p_.save();
    p_.translate(at);
    p_.rotate(-dc_.font.escapement / 10.0);
    if (dc_.opaqueBackground)
        p_.fillRect(QRectF(dx, dy - metrics.ascent(), width, metrics.height()), dc_.bkColor);
    p_.setFont(font);
    p_.setPen(dc_.textColor);
    p_.drawText(QPointF(dx, dy), text);
    p_.restore();
    if (updateCp && Sx() != 0) dc_.position.rx() += width / Sx();
}

void TWmfPlayer::PlayBitmap(uint16_t f) {
    const uint32_t rop = U32(0);
    // Word layout after the raster operation, by record kind.
    uint32_t dest = 0, dib = 0, src = 0;
    bool stretched = true, hasBitmap = rec_->paramWords > static_cast<uint32_t>(f >> 8);
    if (f == wmf::kStretchDib)
        dest = 7, src = 5, dib = 11, hasBitmap = true;
    else if (f == wmf::kDibStretchBlt)
        dest = 6, src = 4, dib = 10;
    else
        dest = 5, src = 3, dib = 9, stretched = false;
    if (!hasBitmap) --dest;  // a reserved word replaces the bitmap's place
    const int destH = S(dest), destW = S(dest + 1);
    const QRectF box =
        QRectF(Map(S(dest + 3), S(dest + 2)), Map(S(dest + 3) + destW, S(dest + 2) + destH))
            .normalized();
    if (!hasBitmap) {
        if (rop == 0x00000042)
            p_.fillRect(box, Qt::black);  // BLACKNESS
        else if (rop == 0x00FF0062)
            p_.fillRect(box, Qt::white);  // WHITENESS
        else if (rop == 0x00F00021)
            ApplyBrush(), p_.fillRect(box, p_.brush());  // PATCOPY
        return;
    }
    const QImage image = DecodePackedDib(Bytes(dib), BytesLeft(dib));
    if (image.isNull()) return;
    QRect source = image.rect();
    if (stretched) {
        const int srcH = S(src), srcW = S(src + 1), ySrc = S(src + 2), xSrc = S(src + 3);
        // StretchDIBits counts the source from the bottom row of the bitmap.
        const int top = f == wmf::kStretchDib ? image.height() - ySrc - srcH : ySrc;
        if (srcW > 0 && srcH > 0) source = QRect(xSrc, top, srcW, srcH);
    }
    p_.save();
    if (rop == 0x008800C6)
        p_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    else if (rop == 0x00EE0086)
        p_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    else if (rop == 0x00660046)
        p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p_.drawImage(box, image, source);
    p_.restore();
}

void TWmfPicture::Play(QPainter& painter, const QRectF& target) const {
    if (target.width() <= 0 || target.height() <= 0) return;
    TWmfPlayer player(*this, painter, target);
    player.Run();
}

}  // namespace veldra
