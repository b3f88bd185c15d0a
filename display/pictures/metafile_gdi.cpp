#include "display/pictures/metafile_gdi.h"

#include <QFontMetricsF>
#include <QRectF>
#include <algorithm>
#include <cmath>

namespace veldra {

QFont MetafileQFont(const TMetafileFont& font, double pixelsPerUnit) {
    QFont qfont(font.face.isEmpty() ? QStringLiteral("Sans") : font.face);
    const double pixels = std::abs(font.height * pixelsPerUnit);
    qfont.setPixelSize(
        std::isfinite(pixels) ? static_cast<int>(std::lround(std::clamp(pixels, 1.0, 4096.0))) : 1);
    qfont.setBold(font.weight >= 600);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    return qfont;
}

QPen MetafileQPen(int style, const QColor& color, double widthPixels, double maxWidth) {
    if (style == 5) return QPen(Qt::NoPen);
    QPen pen(color, widthPixels < 1.5 ? 0.0 : std::min(widthPixels, maxWidth));
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                               Qt::DashDotLine, Qt::DashDotDotLine};
    if (style >= 1 && style <= 4 && pen.widthF() == 0.0) pen.setStyle(kStyles[style]);
    return pen;
}

QBrush MetafileQBrush(int style, const QColor& color, int hatch, const QImage& pattern) {
    static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                  Qt::FDiagPattern, Qt::BDiagPattern,
                                                  Qt::CrossPattern, Qt::DiagCrossPattern};
    if (style == 1) return QBrush(Qt::NoBrush);
    if (style == 2) return QBrush(color, kHatches[std::clamp(hatch, 0, 5)]);
    if (!pattern.isNull()) return QBrush(pattern);
    return QBrush(color);
}

double DrawMetafileText(QPainter& painter, const QFont& font, QPointF at, const QString& text,
                        const TMetafileTextStyle& style) {
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    double dx = 0, dy = metrics.ascent();  // TA_TOP
    if ((style.textAlign & 6) == 6)
        dx = -width / 2;
    else if (style.textAlign & 2)
        dx = -width;
    if ((style.textAlign & 24) == 24)
        dy = 0;
    else if (style.textAlign & 8)
        dy = -metrics.descent();
    painter.save();
    painter.translate(at);
    painter.rotate(-style.escapement / 10.0);
    if (style.opaqueBackground)
        painter.fillRect(QRectF(dx, dy - metrics.ascent(), width, metrics.height()), style.bkColor);
    painter.setFont(font);
    painter.setPen(style.textColor);
    painter.drawText(QPointF(dx, dy), text);
    painter.restore();
    return width;
}

}  // namespace veldra
