// The end-point index against a plain scan, on points placed where a grid goes wrong:
// on cell borders, exactly 1e-8 apart, far out and not finite.

#include "fill/region_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace veldra {
namespace {

int32_t FirstFreeByScan(const TRealPoint& p, const std::vector<TBoundarySegment>& segments) {
    for (size_t j = 0; j < segments.size(); ++j) {
        if (segments[j].State != kSegmentFree) continue;
        if (SamePoint(p, segments[j].StartPoint) || SamePoint(p, segments[j].EndPoint)) {
            return static_cast<int32_t>(j);
        }
    }
    return -1;
}

TBoundarySegment Segment(double x1, double y1, double x2, double y2) {
    return {kSegmentFree, kSegmentLine, 0, {x1, y1}, {x2, y2}};
}

TEST(RegionIndex, AgreesWithAScanAroundCellBordersAndTheTolerance) {
    std::mt19937_64 random(7);
    const double offsets[] = {0.0, 1e-8, -1e-8, 0.999e-8, 1.001e-8, 2e-8, -2e-8, 5e-9};
    for (double size : {1e-6, 1e-3, 1.0, 1000.0, 1e9}) {
        // Unit-length segments make the cell size `size`; their ends sit near borders.
        std::vector<TBoundarySegment> segments;
        std::vector<TRealPoint> queries;
        for (int i = 0; i < 300; ++i) {
            double border = (static_cast<double>(random() % 21) - 10.0 - 0.3183098861837907) * size;
            double x = border + offsets[random() % 8];
            double y = border + offsets[random() % 8];
            segments.push_back(Segment(x, y, x + size, y));
            double qx = x + offsets[random() % 8];
            queries.push_back(
                {std::nextafter(qx, random() % 2 ? 1e300 : -1e300), y + offsets[random() % 8]});
            queries.push_back({qx, y});
        }
        TEndPointIndex index(segments);
        EXPECT_NEAR(index.CellSize(), std::max(size, 1e-6), size * 1e-6);
        for (size_t q = 0; q < queries.size(); ++q) {
            ASSERT_EQ(index.FirstFree(queries[q], segments), FirstFreeByScan(queries[q], segments))
                << "cell size " << size << ", query " << q;
            // Use some up and mark some dead: the index must skip them like the scan.
            if (q % 3 == 0) segments[random() % segments.size()].State = kSegmentUsed;
            if (q % 7 == 0) segments[random() % segments.size()].State = kSegmentDeadEnd;
        }
    }
}

TEST(RegionIndex, FarAndNonFinitePointsAreSafe) {
    std::vector<TBoundarySegment> segments = {
        Segment(1e300, 1e300, -1e300, 1e300), Segment(1.7e308, 0, NAN, 0),
        Segment(INFINITY, 0, -INFINITY, 1),   Segment(1e300, 1e300, 0, 0),
        Segment(4.9e-324, 0, 1, 1),           Segment(0, 0, 5, 5)};
    TEndPointIndex index(segments);
    const TRealPoint queries[] = {{1e300, 1e300}, {-1e300, 1e300}, {1.7e308, 0},
                                  {NAN, 0},       {INFINITY, 0},   {0, 0},
                                  {1, 1},         {5, 5},          {-1.7e308, -1.7e308}};
    for (const TRealPoint& q : queries) {
        EXPECT_EQ(index.FirstFree(q, segments), FirstFreeByScan(q, segments)) << q.X;
    }
}

TEST(RegionIndex, ManyEndsInOneCellGiveTheLowestFree) {
    std::vector<TBoundarySegment> segments;
    for (int i = 0; i < 50; ++i) segments.push_back(Segment(1.0, 1.0, 1.0 + i * 1e-9, 1.0));
    TEndPointIndex index(segments);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(index.FirstFree({1.0, 1.0}, segments), i);
        segments[static_cast<size_t>(i)].State = (i % 2) ? kSegmentUsed : kSegmentInChain;
    }
    EXPECT_EQ(index.FirstFree({1.0, 1.0}, segments), -1);
}

}  // namespace
}  // namespace veldra
