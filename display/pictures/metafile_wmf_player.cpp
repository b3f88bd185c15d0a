// Plays the records of a Windows metafile onto a QPainter: the logical window maps
// onto the target rectangle, GDI objects live in the metafile's object table, and
// every parameter read is checked against the record's length.

#include <QPainterPath>
#include <cmath>

#include "display/pictures/metafile_wmf_player.h"
#include "display/pictures/picture_dib.h"

namespace veldra {

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
            dc_.bkColor = WmfColor(U32(0));
            break;
        case wmf::kSetBkMode:
            dc_.opaqueBackground = U(0) == 2;
            break;
        case wmf::kSetTextColor:
            dc_.textColor = WmfColor(U32(0));
            break;
        case wmf::kSetTextAlign:
            dc_.textAlign = U(0);
            break;
        case wmf::kSetPolyFillMode:
            dc_.fillRule = U(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case wmf::kSaveDc:
            if (saved_.size() < kWmfMaxSavedStates) saved_.push_back(dc_);
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
            p_.fillRect(QRectF(Map(S(3), S(2)), QSizeF(1, 1)), WmfColor(U32(0)));
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
            o.kind = TWmfObjectKind::Pen;
            o.penStyle = U(0) & 0x0F;
            o.penWidth = S(1);
            o.color = WmfColor(U32(3));
            AddObject(o);
            break;
        case wmf::kCreateBrushIndirect:
            o.kind = TWmfObjectKind::Brush;
            o.brushStyle = U(0);
            o.color = WmfColor(U32(1));
            o.hatch = U(3);
            AddObject(o);
            break;
        case wmf::kDibCreatePatternBrush:
            o.kind = TWmfObjectKind::Brush;
            o.brushStyle = 5;
            o.color = Qt::gray;
            o.pattern = DecodePackedDib(Bytes(2), BytesLeft(2));
            AddObject(o);
            break;
        case wmf::kCreatePatternBrush:
            o.kind = TWmfObjectKind::Brush;
            o.color = Qt::gray;
            AddObject(o);
            break;
        case wmf::kCreateFontIndirect: {
            o.kind = TWmfObjectKind::Font;
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
            o.font.face = DecodeWmfText(face, o.font.charset);
            AddObject(o);
            break;
        }
        case wmf::kCreatePalette:
        case wmf::kCreateRegion:
            o.kind = TWmfObjectKind::Other;
            AddObject(o);
            break;
        case wmf::kSelectObject: {
            const size_t i = U(0);
            if (i >= objects_.size()) break;
            const TWmfObject& sel = objects_[i];
            if (sel.kind == TWmfObjectKind::Pen)
                dc_.pen = sel;
            else if (sel.kind == TWmfObjectKind::Brush)
                dc_.brush = sel;
            else if (sel.kind == TWmfObjectKind::Font)
                dc_.font = sel.font;
            break;
        }
        case wmf::kDeleteObject:
            DeleteObject(U(0));
            break;
        default:
            break;  // records that do not draw (palettes, escapes, ...)
    }
}

void TWmfPicture::Play(QPainter& painter, const QRectF& target, TMetafilePlayback* playback) const {
    if (target.width() <= 0 || target.height() <= 0) return;
    TWmfPlayer player(*this, painter, target, playback);
    player.Run();
}

}  // namespace veldra
