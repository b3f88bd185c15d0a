// Records of an enhanced metafile that draw: lines, polygons and curves, boxes and
// arcs, paths, text and bitmaps.

#include <QGuiApplication>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

#include "common/code_page_932.h"
#include "display/pictures/metafile_emf_player.h"
#include "display/pictures/metafile_gdi.h"

namespace veldra {

namespace {

constexpr uint8_t kShiftJisCharset = 128;

bool IsSmallPoly(uint32_t type) {
    return type >= emf::kPolyBezier16 && type <= emf::kPolyPolygon16;
}

}  // namespace

QRectF TEmfPlayer::ReadBox(uint32_t at) const {
    // left, top, right, bottom
    return QRectF(QPointF(S32(at), S32(at + 4)), QPointF(S32(at + 8), S32(at + 12))).normalized();
}

QPolygonF TEmfPlayer::ReadPoints(uint32_t at, uint32_t count, bool small) {
    const uint32_t size = small ? 4 : 8;
    count = std::min(count, BytesLeft(at) / size);
    meter_.Add(count);
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (uint32_t k = 0; k < count; ++k) {
        const uint32_t p = at + k * size;
        points << (small ? QPointF(S16(p), S16(p + 2)) : QPointF(S32(p), S32(p + 4)));
    }
    return points;
}

void TEmfPlayer::Emit(const QPainterPath& logical, bool fill, bool stroke) {
    if (inPath_) {
        path_.addPath(logical);
        return;
    }
    const QPainterPath mapped = MapPath(logical);
    ApplyPen();
    if (!stroke) p_.setPen(Qt::NoPen);
    if (fill) {
        ApplyBrush();
        p_.drawPath(mapped);
    } else {
        p_.strokePath(mapped, p_.pen());
    }
}

bool TEmfPlayer::PlayShape(uint32_t type) {
    switch (type) {
        case emf::kRectangle:
        case emf::kEllipse:
        case emf::kRoundRect: {
            const QRectF box = ReadBox(8);
            QPainterPath shape;
            shape.setFillRule(dc_.fillRule);
            if (type == emf::kRectangle)
                shape.addRect(box);
            else if (type == emf::kEllipse)
                shape.addEllipse(box);
            else
                shape.addRoundedRect(box, std::abs(static_cast<double>(S32(24))) / 2,
                                     std::abs(static_cast<double>(S32(28))) / 2);
            Emit(shape, true, true);
            return true;
        }
        case emf::kArc:
        case emf::kChord:
        case emf::kPie:
            PlayArc(type);
            return true;
        case emf::kLineTo: {
            const QPointF to(S32(8), S32(12));
            if (inPath_) {
                if (path_.elementCount() == 0 || path_.currentPosition() != dc_.position)
                    path_.moveTo(dc_.position);
                path_.lineTo(to);
            } else {
                ApplyPen();
                p_.drawLine(Map(dc_.position), Map(to));
            }
            dc_.position = to;
            return true;
        }
        case emf::kSetPixelV:
            if (!inPath_)
                p_.fillRect(QRectF(Map(QPointF(S32(8), S32(12))), QSizeF(1, 1)), EmfColor(U32(16)));
            return true;
        case emf::kPolyBezier:
        case emf::kPolygon:
        case emf::kPolyline:
        case emf::kPolyBezierTo:
        case emf::kPolylineTo:
        case emf::kPolyBezier16:
        case emf::kPolygon16:
        case emf::kPolyline16:
        case emf::kPolyBezierTo16:
        case emf::kPolylineTo16:
            PlayPoly(type);
            return true;
        case emf::kPolyPolyline:
        case emf::kPolyPolygon:
        case emf::kPolyPolyline16:
        case emf::kPolyPolygon16:
            PlayPolyPoly(type);
            return true;
        case emf::kBeginPath:
        case emf::kEndPath:
        case emf::kCloseFigure:
        case emf::kFillPath:
        case emf::kStrokeAndFillPath:
        case emf::kStrokePath:
        case emf::kAbortPath:
            PlayPathRecord(type);
            return true;
        case emf::kExtTextOutA:
        case emf::kExtTextOutW:
            PlayText(type == emf::kExtTextOutW);
            return true;
        case emf::kBitBlt:
        case emf::kStretchBlt:
        case emf::kStretchDiBits:
            PlayBitmap(type);
            return true;
        default:
            return false;
    }
}

void TEmfPlayer::PlayPoly(uint32_t type) {
    const bool small = IsSmallPoly(type);
    const uint32_t kind = small ? type - emf::kPolyBezier16 + emf::kPolyBezier : type;
    const QPolygonF points = ReadPoints(28, U32(24), small);
    const bool continues = kind == emf::kPolyBezierTo || kind == emf::kPolylineTo;
    const bool bezier = kind == emf::kPolyBezier || kind == emf::kPolyBezierTo;
    if (points.isEmpty()) return;
    QPainterPath shape;
    shape.setFillRule(dc_.fillRule);
    qsizetype next = 0;
    if (continues) {
        shape.moveTo(dc_.position);
    } else {
        shape.moveTo(points[0]);
        next = 1;
    }
    if (bezier) {
        for (; next + 2 < points.size(); next += 3)
            shape.cubicTo(points[next], points[next + 1], points[next + 2]);
    } else {
        for (; next < points.size(); ++next) shape.lineTo(points[next]);
    }
    if (continues) dc_.position = shape.currentPosition();
    if (kind == emf::kPolygon) shape.closeSubpath();
    if (inPath_ && continues) {
        // A continued figure extends the open path rather than starting a new one.
        if (path_.elementCount() == 0 || path_.currentPosition() != shape.elementAt(0))
            path_.moveTo(shape.elementAt(0));
        for (int i = 1; i < shape.elementCount(); ++i) {
            const QPainterPath::Element e = shape.elementAt(i);
            if (e.isLineTo()) {
                path_.lineTo(e);
            } else if (e.type == QPainterPath::CurveToElement && i + 2 < shape.elementCount()) {
                path_.cubicTo(e, shape.elementAt(i + 1), shape.elementAt(i + 2));
                i += 2;
            }
        }
        return;
    }
    Emit(shape, kind == emf::kPolygon, true);
}

void TEmfPlayer::PlayPolyPoly(uint32_t type) {
    const bool small = IsSmallPoly(type);
    const bool polygon = type == emf::kPolyPolygon || type == emf::kPolyPolygon16;
    const uint32_t figures = std::min(U32(24), BytesLeft(32) / 4);
    uint32_t at = 32 + 4 * figures;
    QPainterPath shape;
    shape.setFillRule(dc_.fillRule);
    for (uint32_t k = 0; k < figures && BytesLeft(at) > 0; ++k) {
        const QPolygonF points = ReadPoints(at, U32(32 + 4 * k), small);
        at += static_cast<uint32_t>(points.size()) * (small ? 4 : 8);
        if (points.isEmpty()) continue;
        shape.addPolygon(points);
        if (polygon) shape.closeSubpath();
    }
    Emit(shape, polygon, true);
}

void TEmfPlayer::PlayArc(uint32_t type) {
    const QRectF box = ReadBox(8);
    if (box.width() <= 0 || box.height() <= 0) return;
    // GDI runs from the ray through the start point to the ray through the end
    // point, counter-clockwise on the device; angles here are Qt's, in logical units.
    const auto angle = [&](QPointF p) {
        const QPointF d = p - box.center();
        return std::atan2(-d.y() / box.height(), d.x() / box.width()) * 180.0 / M_PI;
    };
    const double start = angle(QPointF(S32(24), S32(28)));
    double sweep = angle(QPointF(S32(32), S32(36))) - start;
    if (toTarget_.determinant() >= 0) {
        while (sweep <= 0) sweep += 360.0;
    } else {  // the mapping mirrors: counter-clockwise on the device is clockwise here
        while (sweep >= 0) sweep -= 360.0;
    }
    QPainterPath shape;
    if (type == emf::kPie)
        shape.moveTo(box.center()), shape.arcTo(box, start, sweep);
    else
        shape.arcMoveTo(box, start), shape.arcTo(box, start, sweep);
    if (type != emf::kArc) shape.closeSubpath();
    Emit(shape, type != emf::kArc, true);
}

void TEmfPlayer::PlayPathRecord(uint32_t type) {
    switch (type) {
        case emf::kBeginPath:
            inPath_ = true;
            path_ = QPainterPath();
            path_.moveTo(dc_.position);
            break;
        case emf::kEndPath:
            inPath_ = false;
            break;
        case emf::kCloseFigure:
            if (inPath_) path_.closeSubpath();
            break;
        case emf::kAbortPath:
            inPath_ = false;
            path_ = QPainterPath();
            break;
        default: {  // fill, stroke, or both: the path is used up
            if (inPath_) break;
            QPainterPath shape = path_;
            path_ = QPainterPath();
            shape.setFillRule(dc_.fillRule);
            Emit(shape, type != emf::kStrokePath, type != emf::kFillPath);
            break;
        }
    }
}

void TEmfPlayer::PlayText(bool wide) {
    // EMRTEXT after the bounds, graphics mode and scales: reference point, count,
    // string offset, options, rectangle and the offset of the spacing.
    const QPointF reference(S32(36), S32(40));
    const uint32_t count = U32(44), offset = U32(48);
    const uint64_t bytes = static_cast<uint64_t>(count) * (wide ? 2 : 1);
    const unsigned char* chars = nullptr;
    if (count == 0 || bytes > recBytes_ || !Block(offset, static_cast<uint32_t>(bytes), chars))
        return;
    QString text;
    if (wide) {
        text.resize(static_cast<qsizetype>(count));
        for (uint32_t i = 0; i < count; ++i)
            text[i] = QChar(
                static_cast<char16_t>(chars[size_t{2} * i] | (chars[size_t{2} * i + 1] << 8)));
    } else {
        const QByteArray raw(reinterpret_cast<const char*>(chars), static_cast<qsizetype>(count));
        if (dc_.font.charset == kShiftJisCharset) {
            text = QString::fromStdU16String(
                DecodeCodePage932(std::string_view(raw.constData(), count)).text);
        } else {
            QStringDecoder decoder("windows-1252");
            text = decoder.isValid() ? decoder.decode(raw) : QString::fromLatin1(raw);
        }
    }
    meter_.Add(count);
    // Fonts need a GUI application; without one (a plain command-line run) text is
    // left out rather than brought down.
    if (inPath_ || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    const QFont font = MetafileQFont(dc_.font, PixelsPerUnit());
    const bool updateCp = (dc_.textAlign & 1) != 0;
    const QPointF at = Map(updateCp ? dc_.position : reference);
    const double width = DrawMetafileText(
        p_, font, at, text,
        {dc_.textAlign, dc_.font.escapement, dc_.opaqueBackground, dc_.bkColor, dc_.textColor});
    const double perUnit = PixelsPerUnit();
    if (updateCp && perUnit > 0) dc_.position.rx() += width / perUnit;
}

void TEmfPlayer::PlayBitmap(uint32_t type) {
    // Destination, source and bitmap fields by record kind.
    QRectF dest, source;  // in doubles: corners of 32-bit fields may overflow an int
    uint32_t rop = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
    bool fromBottom = false;
    if (type == emf::kStretchDiBits) {
        dest = QRectF(S32(24), S32(28), S32(72), S32(76));
        source = QRectF(S32(32), S32(36), S32(40), S32(44));
        offBmi = U32(48), cbBmi = U32(52), offBits = U32(56), cbBits = U32(60);
        rop = U32(68);
        fromBottom = true;
    } else {
        dest = QRectF(S32(24), S32(28), S32(32), S32(36));
        rop = U32(40);
        const double w = type == emf::kStretchBlt ? S32(100) : S32(32);
        const double h = type == emf::kStretchBlt ? S32(104) : S32(36);
        source = QRectF(S32(44), S32(48), w, h);
        offBmi = U32(84), cbBmi = U32(88), offBits = U32(92), cbBits = U32(96);
    }
    if (inPath_) return;
    const QRectF box = QRectF(Map(dest.topLeft()), Map(dest.bottomRight())).normalized();
    if (cbBmi == 0) {  // no source: the raster operation alone
        if (rop == 0x00000042)
            p_.fillRect(box, Qt::black);  // BLACKNESS
        else if (rop == 0x00FF0062)
            p_.fillRect(box, Qt::white);  // WHITENESS
        else if (rop == 0x00F00021)
            ApplyBrush(), p_.fillRect(box, p_.brush());  // PATCOPY
        return;
    }
    const QImage image = ReadDib(offBmi, cbBmi, offBits, cbBits);
    if (image.isNull()) return;
    meter_.Add(image.width());
    if (source.width() <= 0 || source.height() <= 0) {
        source = QRectF(image.rect());
    } else if (fromBottom) {  // StretchDIBits counts the source from the bottom row
        source.moveTop(image.height() - source.top() - source.height());
    }
    p_.save();
    if (rop == 0x008800C6)
        p_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    else if (rop == 0x00EE0086)
        p_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    else if (rop == 0x00660046)
        p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // Only the part of the source on the bitmap, into its share of the box.
    const QRectF inside = source.intersected(QRectF(image.rect()));
    if (inside.isEmpty()) {
        p_.restore();
        return;
    }
    const double sx = box.width() / source.width(), sy = box.height() / source.height();
    const QRectF part(box.left() + (inside.left() - source.left()) * sx,
                      box.top() + (inside.top() - source.top()) * sy, inside.width() * sx,
                      inside.height() * sy);
    p_.drawImage(part, image, inside);
    p_.restore();
}

}  // namespace veldra
