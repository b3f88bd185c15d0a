#include "display/pictures/metafile_text.h"

#include <QFontMetricsF>
#include <QRectF>

namespace veldra {

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
