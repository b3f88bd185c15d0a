#include "app/view_markers.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <cmath>

namespace veldra {
namespace {

size_t Total(const TMarkerLayout& layout) {
    size_t total = layout.singles.size();
    for (const TMarkerCluster& c : layout.clusters) total += static_cast<size_t>(c.count);
    return total;
}

// Up to the single-marker count every point is its own marker; past it, points
// share cells of one size with their count, a point alone in its cell keeps its own
// marker, and cells grow until the largest count fits in its circle.
TEST(GatherMarkers, SinglesUpToTheCountThenCellsThatHoldTheirCount) {
    const QFont font = MarkerFont(QFont());
    const QFontMetricsF metrics(font);
    std::vector<QPointF> points;
    for (size_t i = 0; i < kMaxSingleMarkers; ++i)
        points.emplace_back(static_cast<double>(i % 400), std::floor(static_cast<double>(i) / 400));
    EXPECT_EQ(GatherMarkers(points, metrics).singles.size(), kMaxSingleMarkers);

    points.emplace_back(900.5, 900.5);  // far from the others, alone in its cell
    TMarkerLayout layout = GatherMarkers(points, metrics);
    ASSERT_EQ(layout.singles.size(), 1u);
    EXPECT_EQ(layout.singles[0], QPointF(900.5, 900.5));
    EXPECT_EQ(Total(layout), points.size());
    for (const TMarkerCluster& c : layout.clusters)
        EXPECT_EQ(c.cell.size(), layout.clusters[0].cell.size());

    // 30,000 points on one spot: a count of five digits in a larger cell.
    std::vector<QPointF> heap(30000, QPointF(10, 10));
    heap.emplace_back(-3, -3);  // a neighbour across the cells' origin
    layout = GatherMarkers(heap, metrics);
    EXPECT_EQ(Total(layout), heap.size());
    ASSERT_FALSE(layout.clusters.empty());
    const QRectF cell = layout.clusters[0].cell;
    EXPECT_GT(cell.width(), metrics.horizontalAdvance(QStringLiteral("30000")));
    EXPECT_TRUE(cell.contains(QPointF(10, 10)));
    EXPECT_EQ(layout.singles, std::vector<QPointF>{QPointF(-3, -3)}) << "its own cell, left of 0";
}

}  // namespace
}  // namespace veldra
