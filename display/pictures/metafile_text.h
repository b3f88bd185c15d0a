#pragma once

// Text placement shared by both metafile players: the alignment flags, escapement
// and opaque background of a text record.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>

#include <cstdint>

namespace veldra {

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
