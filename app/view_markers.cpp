#include "app/view_markers.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace veldra {

namespace {

// Cells start at this many pixels and double until the largest count fits in its
// circle; beyond the largest, a count may run over its circle but still reads.
constexpr double kSmallestCell = 32.0;
constexpr double kLargestCell = 256.0;
constexpr int kCountPixelSize = 11;
// The circle's room for the count: its diameter less the pen and a little air.
constexpr double kCirclePad = 3.0;

// A cell's gathered points, and the first of them for a cell that holds only it.
struct TCell {
    TMarkerCluster cluster;
    QPointF first;
};

std::vector<TCell> GatherInCells(const std::vector<QPointF>& points, double cell) {
    std::unordered_map<int64_t, size_t> index;
    std::vector<TCell> cells;
    for (const QPointF& p : points) {
        const double cx = std::floor(p.x() / cell), cy = std::floor(p.y() / cell);
        // Points are pixels near the view: the cell numbers are small.
        const int64_t key =
            (static_cast<int64_t>(cx) << 32) ^ static_cast<uint32_t>(static_cast<int32_t>(cy));
        const auto [it, added] = index.try_emplace(key, cells.size());
        if (added) cells.push_back({{QRectF(cx * cell, cy * cell, cell, cell), 0}, p});
        ++cells[it->second].cluster.count;
    }
    return cells;
}

bool CountsFit(const std::vector<TCell>& cells, double cell, const QFontMetricsF& metrics) {
    int largest = 0;
    for (const TCell& c : cells) largest = std::max(largest, c.cluster.count);
    const double room = cell - 2 * kCirclePad;
    return metrics.horizontalAdvance(QString::number(largest)) <= room * 0.85 &&
           metrics.height() <= room;
}

}  // namespace

QFont MarkerFont(const QFont& viewFont) {
    QFont font = viewFont;
    font.setPixelSize(kCountPixelSize);
    return font;
}

TMarkerLayout GatherMarkers(const std::vector<QPointF>& points, const QFontMetricsF& metrics) {
    TMarkerLayout layout;
    if (points.size() <= kMaxSingleMarkers) {
        layout.singles = points;
        return layout;
    }
    double cell = kSmallestCell;
    std::vector<TCell> cells = GatherInCells(points, cell);
    while (cell < kLargestCell && !CountsFit(cells, cell, metrics)) {
        cell *= 2;
        cells = GatherInCells(points, cell);
    }
    // A cell with one point marks it where it is.
    for (const TCell& c : cells) {
        if (c.cluster.count == 1) {
            layout.singles.push_back(c.first);
        } else {
            layout.clusters.push_back(c.cluster);
        }
    }
    return layout;
}

void DrawMarkers(QPainter& painter, const std::vector<QPointF>& points, double radius) {
    painter.save();
    const QFont font = MarkerFont(painter.font());
    painter.setFont(font);
    const TMarkerLayout layout = GatherMarkers(points, QFontMetricsF(font));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF& c : layout.singles) painter.drawEllipse(c, radius, radius);
    painter.setBrush(QColor(255, 255, 255, 190));
    for (const TMarkerCluster& c : layout.clusters) {
        const double r = c.cell.width() / 2 - kCirclePad;
        painter.drawEllipse(c.cell.center(), r, r);
        painter.drawText(c.cell, Qt::AlignCenter | Qt::TextDontClip, QString::number(c.count));
    }
    painter.restore();
}

}  // namespace veldra
