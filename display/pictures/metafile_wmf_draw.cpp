// Records of a Windows metafile that draw curves, text and bitmaps.

#include <QGuiApplication>
#include <QPainterPath>
#include <QStringDecoder>
#include <cmath>

#include "common/code_page_932.h"
#include "display/pictures/metafile_gdi.h"
#include "display/pictures/metafile_wmf_player.h"
#include "display/pictures/picture_dib.h"

namespace veldra {

QString DecodeWmfText(const QByteArray& bytes, uint8_t charset) {
    if (charset == kWmfShiftJisCharset)
        return QString::fromStdU16String(
            DecodeCodePage932(
                std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))
                .text);
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
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
    const QString text = DecodeWmfText(
        QByteArray(reinterpret_cast<const char*>(Bytes(textWord)), count), dc_.font.charset);
    const QFont font = MetafileQFont(dc_.font, Sy());
    const bool updateCp = (dc_.textAlign & 1) != 0;
    const QPointF at = updateCp ? Map(dc_.position.x(), dc_.position.y()) : Map(x, y);
    const double width = DrawMetafileText(
        p_, font, at, text,
        {dc_.textAlign, dc_.font.escapement, dc_.opaqueBackground, dc_.bkColor, dc_.textColor});
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

}  // namespace veldra
