#pragma once

// What both metafile players draw with: logical fonts, pens and brushes as Qt's, and
// the placement of text records (alignment flags, escapement, opaque background).

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QString>

#include <cstdint>

namespace veldra {

// A logical font as both formats describe it.
struct TMetafileFont {
    int height = 0;
    int escapement = 0;  // tenths of a degree
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    uint8_t charset = 0;
    QString face;
};

// The font at `pixelsPerUnit` pixels per logical unit, its height kept to 1..4096 px.
QFont MetafileQFont(const TMetafileFont& font, double pixelsPerUnit);

// A pen of GDI style `style` (5 is no pen) `widthPixels` wide: cosmetic below 1.5 px,
// where the dashed styles 1..4 apply, and never wider than `maxWidth`.
QPen MetafileQPen(int style, const QColor& color, double widthPixels, double maxWidth);

// A brush of style 0 solid, 1 none, 2 hatched (`hatch` 0..5), else the pattern when
// there is one.
QBrush MetafileQBrush(int style, const QColor& color, int hatch, const QImage& pattern);

struct TMetafileTextStyle {
    uint32_t textAlign = 0;  // TA_ flags: centre / right, baseline / bottom
    int escapement = 0;      // tenths of a degree
    bool opaqueBackground = true;
    QColor bkColor = Qt::white;
    QColor textColor = Qt::black;
};

// Draws `text` in `font` at `at` (pixels) as the alignment flags place it and returns
// its advance width in pixels.
double DrawMetafileText(QPainter& painter, const QFont& font, QPointF at, const QString& text,
                        const TMetafileTextStyle& style);

}  // namespace veldra
