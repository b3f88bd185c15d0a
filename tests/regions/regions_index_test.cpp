// The end-point index against a plain scan, on points placed where a grid goes wrong:
// on cell borders, exactly 1e-8 apart, far out and not finite.

#include "regions/region_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace veldra {
namespace {

int32_t FirstFreeByScan(const TRealPoint& p, const std::vector<TBoundarySegment>& segments,
                        const std::vector<bool>& retired = {}) {
    for (size_t j = 0; j < segments.size(); ++j) {
        if (segments[j].State != kSegmentFree || (j < retired.size() && retired[j])) continue;
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
    segments.reserve(50);
    for (int i = 0; i < 50; ++i) segments.push_back(Segment(1.0, 1.0, 1.0 + i * 1e-9, 1.0));
    TEndPointIndex index(segments);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(index.FirstFree({1.0, 1.0}, segments), i);
        segments[static_cast<size_t>(i)].State = (i % 2) ? kSegmentUsed : kSegmentInChain;
    }
    EXPECT_EQ(index.FirstFree({1.0, 1.0}, segments), -1);
}

// Short segments packed densely, some sharing an end exactly or within the tolerance,
// queried at their ends, nudged ends and random points while segments get used up.
void ExpectDenseAgreement(std::vector<TBoundarySegment> segments, std::mt19937_64& random,
                          const char* what) {
    TEndPointIndex index(segments);
    EXPECT_LE(index.LargestCell(), TEndPointIndex::kCellCapacity) << what;
    std::vector<bool> retired(segments.size(), false);
    const double nudges[] = {0.0, 1e-8, -1e-8, 0.999e-8, 1.001e-8, -2e-8, 3e-9};
    for (int q = 0; q < 4000; ++q) {
        const TBoundarySegment& s = segments[random() % segments.size()];
        TRealPoint p = random() % 2 ? s.StartPoint : s.EndPoint;
        p.X += nudges[random() % 7];
        p.Y += nudges[random() % 7];
        if (q % 5 == 0)
            p = {p.X + static_cast<double>(random() % 1000) * 1e-3,
                 p.Y - static_cast<double>(random() % 1000) * 1e-3};
        ASSERT_EQ(index.FirstFree(p, segments), FirstFreeByScan(p, segments, retired))
            << what << ", query " << q;
        if (q % 3 == 0) segments[random() % segments.size()].State = kSegmentUsed;
        if (q % 11 == 0) {
            const size_t j = random() % segments.size();
            index.Retire(static_cast<int32_t>(j));
            retired[j] = true;
        }
    }
}

TEST(RegionIndex, DenseDrawingsAreSplitIntoSmallCellsAndAgreeWithAScan) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto segmentNear = [&](double x, double y, double reach) {
        return Segment(x, y, x + (unit(random) - 0.5) * reach, y + (unit(random) - 0.5) * reach);
    };
    // Uniformly dense: lengths up to a fifth of the box, so the typical length makes a
    // coarse grid; a chain every few segments shares ends.
    std::vector<TBoundarySegment> box;
    for (int i = 0; i < 6000; ++i) {
        if (i % 4 == 1) {
            const TRealPoint end = box.back().EndPoint;
            box.push_back(segmentNear(end.X + (i % 8 == 1 ? 0.7e-8 : 0.0), end.Y, 0.4));
        } else {
            box.push_back(segmentNear(unit(random), unit(random), 0.4));
        }
    }
    ExpectDenseAgreement(box, random, "box");

    // A tight cluster beside sparse long lines: the typical length is that of the lines.
    std::vector<TBoundarySegment> cluster;
    cluster.reserve(3000);
    for (int i = 0; i < 3000; ++i) {
        cluster.push_back(i % 3 == 0 ? segmentNear(unit(random) * 1e4, unit(random) * 1e4, 4e3)
                                     : segmentNear(5e3 + unit(random), 5e3 + unit(random), 1e-3));
    }
    ExpectDenseAgreement(cluster, random, "cluster");

    // All ends on one horizontal line, far from the origin: a flat extent.
    std::vector<TBoundarySegment> line;
    for (int i = 0; i < 3000; ++i) {
        const double x = 1e7 + unit(random) * 50.0;
        line.push_back(Segment(x, -3e6, x + unit(random) * 30.0, -3e6));
    }
    ExpectDenseAgreement(line, random, "line");
}

TEST(RegionIndex, EndsAcrossTheBordersOfFinerCellsAreFound) {
    // So many ends in a box 1e-5 wide that the finer cells are as small as cells get:
    // of the pairs of ends just within the tolerance of each other, many straddle a
    // border of a finer cell, in every direction.
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1e-5);
    const double nudges[] = {0.95e-8, -0.95e-8, 1e-8, -1e-8, 0.0};
    std::vector<TBoundarySegment> segments;
    for (int i = 0; i < 3000; ++i) {
        const double x = unit(random), y = unit(random);
        // The partner comes first, so that it is the answer when the index finds it.
        segments.push_back(
            Segment(x + nudges[random() % 5], y + nudges[random() % 5], 0.6, 0.3 + i * 1e-4));
        segments.push_back(Segment(x, y, 0.3 + i * 1e-4, 0.6));
    }
    TEndPointIndex index(segments);
    EXPECT_LT(index.LargestCell(), 200u);  // the finer grids did split the box
    for (size_t j = 1; j < segments.size(); j += 2) {
        const TRealPoint& p = segments[j].StartPoint;
        ASSERT_EQ(index.FirstFree(p, segments), FirstFreeByScan(p, segments)) << j;
    }
}

TEST(RegionIndex, PointsThatCannotBeToldApartStayInOneCell) {
    // 40 ends within the tolerance of one another and a few far out: no grid can
    // separate the first, and splitting must stop instead of recursing without end.
    std::vector<TBoundarySegment> segments;
    segments.reserve(41);
    for (int i = 0; i < 40; ++i) segments.push_back(Segment(2.0, 2.0, 2.0 + i * 2e-10, 2.0));
    segments.push_back(Segment(1e300, 1e300, -1e300, -1e300));
    segments.push_back(Segment(1e300, 1.5e300, 1.7e308, 1e300));
    // Far out, spread so widely that the area of their extent overflows.
    for (int i = 0; i < 20; ++i) {
        segments.push_back(Segment(1e307 * (i + 1), 1.7e308 - 8e306 * i, 1.6e308, 1e307 * i));
    }
    TEndPointIndex index(segments);
    EXPECT_EQ(index.LargestCell(), 80u);
    EXPECT_EQ(index.FirstFree({2.0, 2.0 + 1e-8}, segments), 0);
    EXPECT_EQ(index.FirstFree({1.7e308, 1e300}, segments), 41);
    EXPECT_EQ(index.FirstFree({1.6e308, 1e307 * 5}, segments), 47);
    // 2.0 + 25 * 2e-10 is just too far from 2.0 + 1.51e-8, 2.0 + 26 * 2e-10 is not.
    EXPECT_EQ(index.FirstFree({2.0 + 1.51e-8, 2.0}, segments), 26);
}

}  // namespace
}  // namespace veldra
