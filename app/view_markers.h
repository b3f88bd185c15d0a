#pragma once

// Markers over the view (open ends, joins): one by one while they can be told apart,
// otherwise gathered into cells of one size over the whole view, each cell marked
// once with its count, the cell large enough for the largest count to be read.

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <vector>

class QFontMetricsF;
class QPainter;

namespace veldra {

struct TMarkerCluster {
    QRectF cell;  // the pixels it gathers
    int count = 0;
};

struct TMarkerLayout {
    std::vector<QPointF> singles;  // markers drawn at their own point
    std::vector<TMarkerCluster> clusters;
};

// Up to this many markers in the view are drawn one by one.
inline constexpr size_t kMaxSingleMarkers = 20000;

// The font the counts are written in, from the view's font.
QFont MarkerFont(const QFont& viewFont);

// The markers at `points` (pixels), as DrawMarkers draws them with `metrics` of the
// marker font.
TMarkerLayout GatherMarkers(const std::vector<QPointF>& points, const QFontMetricsF& metrics);

// Singles as circles of `radius`; clusters as a circle over their cell with the
// count in it, on a light ground so that the count reads over the drawing. The pen
// is the caller's.
void DrawMarkers(QPainter& painter, const std::vector<QPointF>& points, double radius);

}  // namespace veldra
