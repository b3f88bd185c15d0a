// The region build on small selections whose polygons can be worked out by hand.

#include "regions/regions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/my_func.h"
#include "common/tolerances.h"
#include "tests/regions/regions_test_util.h"

namespace veldra {
namespace {

using test::AddArc;
using test::AddCircle;
using test::AddLine;
using test::EmptyStore;

void ExpectPoint(const TRealPoint& p, double x, double y) {
    EXPECT_EQ(p.X, x);
    EXPECT_EQ(p.Y, y);
}

TRealPoint ArcPointAt(const TJwwEntArc& arc, double degrees) {
    TRealPoint p;
    EllipsePointDeg(p.X, p.Y, arc.cx, arc.cy, arc.radius, arc.flatness, arc.tiltAngle, degrees);
    return p;
}

TEST(Regions, SamePointUsesTheToleranceBoxInclusively) {
    EXPECT_TRUE(SamePoint({1.0, 2.0}, {1.0 + 0.9e-8, 2.0 - 0.9e-8}));
    EXPECT_TRUE(SamePoint({0.0, 0.0}, {1e-8, -1e-8}));
    EXPECT_FALSE(SamePoint({0.0, 0.0}, {1.1e-8, 0.0}));
    EXPECT_FALSE(SamePoint({0.0, 0.0}, {0.0, 1.1e-8}));
    EXPECT_FALSE(SamePoint({NAN, 0.0}, {NAN, 0.0}));
    EXPECT_FALSE(SamePoint({INFINITY, 0.0}, {INFINITY, 0.0}));
}

TEST(Regions, TwoLinesAloneNeverMakeARegionEvenWhenTheyCoincide) {
    TJwwEntityStore store = EmptyStore();
    AddLine(store, 0, 0, 10, 0);
    AddLine(store, 10, 0, 0, 0);
    TAr2RealPoint regions{{{1, 1}}};  // a stale result is replaced
    BuildRegions(store, 24, regions);
    EXPECT_TRUE(regions.empty());
}

TEST(Regions, TriangleGivesFourPointsWithTheFirstRepeated) {
    TJwwEntityStore store = EmptyStore();
    AddLine(store, 0, 0, 10, 0);
    AddLine(store, 0, 10, 10, 0);  // stored the other way round: walked backwards
    AddLine(store, 0, 10, 0, 0);
    TAr2RealPoint regions;
    BuildRegions(store, 24, regions);
    ASSERT_EQ(regions.size(), 1u);
    ASSERT_EQ(regions[0].size(), 4u);
    ExpectPoint(regions[0][0], 0, 0);
    ExpectPoint(regions[0][1], 10, 0);
    ExpectPoint(regions[0][2], 0, 10);
    ExpectPoint(regions[0][3], 0, 0);
}

TEST(Regions, CircleHasDivisionsPlusOnePointsFromAngleZero) {
    TJwwEntityStore store = EmptyStore();
    AddCircle(store, 5, -3, 2);
    TAr2RealPoint regions;
    BuildRegions(store, 3, regions);
    ASSERT_EQ(regions.size(), 1u);
    ASSERT_EQ(regions[0].size(), 4u);
    ExpectPoint(regions[0][0], 7, -3);
    double theta = 2.0 * kPi / 3;
    ExpectPoint(regions[0][1], 5 + 2 * std::cos(theta), -3 + 2 * std::sin(theta));
    EXPECT_TRUE(SamePoint(regions[0][3], regions[0][0]));

    BuildRegions(store, 3600, regions);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].size(), 3601u);
    EXPECT_TRUE(SamePoint(regions[0].back(), regions[0].front()));
}

TEST(Regions, HugeCirclesAndWholeEllipsesEndOnTheirFirstPointExactly) {
    // Computed at a full turn, the last point of a circle of radius 1e9 misses the first
    // by far more than 1e-8; it must be the first point itself.
    TJwwEntityStore store = EmptyStore();
    AddCircle(store, 3e8, -7e8, 1e9);
    AddCircle(store, 0.5, 0.25, 4.5e7);
    AddArc(store, -2e9, 1e9, 1.5e9, 30, 390, 0.75, 33);
    AddArc(store, 1e9, 1e9, 2e9, 0, 0, 1.0, 0);
    store.state.groupScale[0] = 3.0;
    for (int32_t n : {3, 7, 24, 360, 1000, 3599, 3600}) {
        TAr2RealPoint regions;
        BuildRegions(store, n, regions);
        ASSERT_EQ(regions.size(), 4u);
        for (const TAryRealPoint& polygon : regions) {
            ASSERT_EQ(polygon.size(), static_cast<size_t>(n) + 1);
            EXPECT_EQ(polygon.back().X, polygon.front().X) << n;
            EXPECT_EQ(polygon.back().Y, polygon.front().Y) << n;
            // The point before the last is still a computed one, not a second copy.
            EXPECT_FALSE(SamePoint(polygon[polygon.size() - 2], polygon.front())) << n;
        }
        ExpectPoint(regions[0][0], (3e8 + 1e9) / 3.0, -7e8 / 3.0);
    }
}

TEST(Regions, DivisionsOutsideTheRangeAreLimited) {
    TJwwEntityStore store = EmptyStore();
    AddCircle(store, 0, 0, 1);
    TAr2RealPoint regions;
    for (int32_t n : {INT32_MIN, -5, 0, 1, 2}) {
        BuildRegions(store, n, regions);
        ASSERT_EQ(regions.size(), 1u);
        EXPECT_EQ(regions[0].size(), 4u) << n;
    }
    BuildRegions(store, INT32_MAX, regions);
    EXPECT_EQ(regions[0].size(), 3601u);
}

TEST(Regions, CoordinatesAreDividedByTheGroupScaleUnlessBz) {
    TJwwEntityStore store = EmptyStore();
    store.state.groupScale[2] = 100.0;
    store.state.groupScale[3] = 0.0;  // outside the format: taken as 1
    store.state.curLayerGroup = 2;
    AddCircle(store, 500, 0, 100);
    store.state.curLayerGroup = 3;
    AddCircle(store, 7, 0, 1);
    TAr2RealPoint regions;
    BuildRegions(store, 4, regions);
    ASSERT_EQ(regions.size(), 2u);
    ExpectPoint(regions[0][0], 6, 0);
    ExpectPoint(regions[1][0], 8, 0);

    store.state.bzFlag = true;
    BuildRegions(store, 4, regions);
    ExpectPoint(regions[0][0], 600, 0);
}

TEST(Regions, WholeArcBecomesAnEllipseStartingAtAngleZero) {
    TJwwEntityStore store = EmptyStore();
    const TJwwEntArc arc = AddArc(store, 1, 2, 10, 90, 450, 0.5, 30);
    AddArc(store, 0, 0, 1, 45, 45 + 1e-9);  // within 1e-8 of a full turn
    TAr2RealPoint regions;
    BuildRegions(store, 8, regions);
    ASSERT_EQ(regions.size(), 2u);
    ASSERT_EQ(regions[0].size(), 9u);
    for (int i = 0; i < 8; ++i) {
        TRealPoint expected = ArcPointAt(arc, i * (360.0 / 8));
        ExpectPoint(regions[0][static_cast<size_t>(i)], expected.X, expected.Y);
    }
    // Closed by its first point, not by one computed at 360 degrees.
    ExpectPoint(regions[0][8], regions[0][0].X, regions[0][0].Y);
    EXPECT_EQ(regions[1].size(), 9u);
}

TEST(Regions, ChordThenArcWalkedForward) {
    TJwwEntityStore store = EmptyStore();
    const TJwwEntArc arc = AddArc(store, 0, 0, 10, 0, 90);
    TRealPoint a = ArcPointAt(arc, 0), b = ArcPointAt(arc, 90);
    AddLine(store, b.X, b.Y, a.X, a.Y);
    TAr2RealPoint regions;
    BuildRegions(store, 6, regions);
    ASSERT_EQ(regions.size(), 1u);
    const TAryRealPoint& poly = regions[0];
    ASSERT_EQ(poly.size(), 8u);  // N + 2
    ExpectPoint(poly[0], b.X, b.Y);
    ExpectPoint(poly[1], a.X, a.Y);
    double angle = 0;
    for (size_t q = 1; q <= 6; ++q) {
        angle += 90.0 / 6;  // accumulated, not multiplied
        TRealPoint expected = ArcPointAt(arc, angle);
        ExpectPoint(poly[q + 1], expected.X, expected.Y);
    }
    EXPECT_TRUE(SamePoint(poly.back(), poly.front()));
}

TEST(Regions, ChordThenArcWalkedBackwards) {
    TJwwEntityStore store = EmptyStore();
    const TJwwEntArc arc = AddArc(store, 3, 4, 10, 300, 60, 0.5, 15);  // crosses 0
    TRealPoint a = ArcPointAt(arc, 300), b = ArcPointAt(arc, 60);
    AddLine(store, a.X, a.Y, b.X, b.Y);
    TAr2RealPoint regions;
    BuildRegions(store, 4, regions);
    ASSERT_EQ(regions.size(), 1u);
    const TAryRealPoint& poly = regions[0];
    ASSERT_EQ(poly.size(), 6u);
    double angle = 60;
    for (size_t q = 1; q <= 4; ++q) {
        angle -= 120.0 / 4;
        TRealPoint expected = ArcPointAt(arc, angle);
        ExpectPoint(poly[q + 1], expected.X, expected.Y);
    }
    EXPECT_TRUE(SamePoint(poly.back(), poly.front()));
}

TEST(Regions, ArcStoredWithMoreThanAFullTurnIsWalkedAsDrawn) {
    // End - start = 370 is drawn as a 10 degree arc; the polygon must stay in that
    // sector instead of winding round once more. Likewise -370 is a 350 degree arc.
    for (double end : {370.0, -370.0}) {
        TJwwEntityStore store = EmptyStore();
        const TJwwEntArc arc = AddArc(store, 0, 0, 10, 0, end);
        TRealPoint a = ArcPointAt(arc, 0), b = ArcPointAt(arc, end);
        AddLine(store, b.X, b.Y, a.X, a.Y);
        TAr2RealPoint regions;
        BuildRegions(store, 12, regions);
        ASSERT_EQ(regions.size(), 1u);
        double sweep = NormalizeDegrees(end);
        for (size_t q = 2; q < regions[0].size(); ++q) {
            double deg = std::atan2(regions[0][q].Y, regions[0][q].X) * 180.0 / kPi;
            EXPECT_NEAR(NormalizeDegrees(deg + 1e-9), (q - 1) * sweep / 12, 1e-6) << end;
        }
    }
}

TEST(Regions, SplitRectangleGivesTheOutsideLoopOnly) {
    TJwwEntityStore store = EmptyStore();
    AddLine(store, 0, 0, 5, 0);
    AddLine(store, 5, 0, 10, 0);
    AddLine(store, 10, 0, 10, 5);
    AddLine(store, 10, 5, 5, 5);
    AddLine(store, 5, 5, 0, 5);
    AddLine(store, 0, 5, 0, 0);
    AddLine(store, 5, 0, 5, 5);  // the divider comes last
    TAr2RealPoint regions;
    BuildRegions(store, 24, regions);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].size(), 7u);
}

TEST(Regions, DanglingLineListedFirstDoesNotHideTheLoop) {
    TJwwEntityStore store = EmptyStore();
    AddLine(store, 10, 0, 20, -5);  // hangs off the square's corner
    AddLine(store, 0, 0, 10, 0);
    AddLine(store, 10, 0, 10, 10);
    AddLine(store, 10, 10, 0, 10);
    AddLine(store, 0, 10, 0, 0);
    TAr2RealPoint regions;
    BuildRegions(store, 24, regions);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].size(), 5u);
}

TEST(Regions, DeadEndRightAfterTheFirstSegmentStillFindsTheLoop) {
    // Every corner of the triangle carries a dangling line listed first, so each
    // attempt's first extension is a dead end; the search must go on from the first
    // segment instead of giving up.
    TJwwEntityStore store = EmptyStore();
    AddLine(store, 0, 0, -5, -5);
    AddLine(store, 10, 0, 15, -5);
    AddLine(store, 0, 10, 0, 15);
    AddLine(store, 0, 0, 10, 0);
    AddLine(store, 10, 0, 0, 10);
    AddLine(store, 0, 10, 0, 0);
    TAr2RealPoint regions;
    BuildRegions(store, 24, regions);
    ASSERT_EQ(regions.size(), 1u);
    ASSERT_EQ(regions[0].size(), 4u);
    ExpectPoint(regions[0][0], 0, 0);
    ExpectPoint(regions[0][2], 0, 10);
}

TEST(Regions, DroppedTwoLineChainFreesItsSegmentsForLaterLoops) {
    TJwwEntityStore store = EmptyStore();
    AddLine(store, 0, 0, 10, 0);
    AddLine(store, 0, 0, 10, 0);  // duplicate: the first attempts close with 3 points
    AddLine(store, 10, 0, 0, 10);
    AddLine(store, 0, 10, 0, 0);
    TAr2RealPoint regions;
    BuildRegions(store, 24, regions);
    ASSERT_EQ(regions.size(), 1u);
    ASSERT_EQ(regions[0].size(), 4u);
    ExpectPoint(regions[0][0], 10, 0);
    ExpectPoint(regions[0][1], 0, 10);
    ExpectPoint(regions[0][2], 0, 0);
    ExpectPoint(regions[0][3], 10, 0);
}

TEST(Regions, PolygonOrderIsCirclesThenEllipsesThenLoops) {
    TJwwEntityStore store = EmptyStore();
    AddLine(store, 0, 0, 1, 0);
    AddLine(store, 1, 0, 0, 1);
    AddLine(store, 0, 1, 0, 0);
    AddArc(store, 0, 0, 7, 0, 360);
    AddCircle(store, 0, 0, 3);
    TAr2RealPoint regions;
    BuildRegions(store, 4, regions);
    ASSERT_EQ(regions.size(), 3u);
    ExpectPoint(regions[0][0], 3, 0);
    ExpectPoint(regions[1][0], 7, 0);
    EXPECT_EQ(regions[2].size(), 4u);
}

TEST(Regions, HiddenLayersZ3AndAuxiliaryEntitiesNeverTakePart) {
    auto square = [](TJwwEntityStore& store) {
        AddLine(store, 0, 0, 1, 0);
        AddLine(store, 1, 0, 1, 1);
        AddLine(store, 1, 1, 0, 1);
        return &AddLine(store, 0, 1, 0, 0);
    };
    TRegionFilter filter;
    TAr2RealPoint regions;

    TJwwEntityStore store = EmptyStore();
    square(store)->head.zFlags = kZFlagHidden;
    AddCircle(store, 5, 5, 1).head.zFlags = kZFlagHidden | 1;
    BuildRegions(store, 24, regions, filter);
    EXPECT_TRUE(regions.empty());

    store = EmptyStore();
    TJwwEntLine* last = square(store);
    last->head.layerGroup = 2;
    last->head.layer = 5;
    filter.layerState[2 * 16 + 5] = 3;
    BuildRegions(store, 24, regions, filter);
    EXPECT_TRUE(regions.empty());
    filter.layerState[2 * 16 + 5] = 2;  // drawn grey: still takes part
    BuildRegions(store, 24, regions, filter);
    EXPECT_EQ(regions.size(), 1u);

    store = EmptyStore();
    square(store)->head.color = 9;
    AddArc(store, 5, 5, 1, 0, 360).head.lineType = 9;
    filter = TRegionFilter{};
    BuildRegions(store, 24, regions, filter);
    EXPECT_EQ(regions.size(), 2u);  // auxiliary entities shown
    filter.showAuxiliary = false;
    BuildRegions(store, 24, regions, filter);
    EXPECT_TRUE(regions.empty());
}

TEST(Regions, LayerKeysOutsideTheTableCountAsNormal) {
    TJwwEntityStore store = EmptyStore();
    AddCircle(store, 0, 0, 1).head.layerGroup = INT32_MAX;
    AddCircle(store, 0, 0, 1).head.layerGroup = -1;
    TRegionFilter filter;
    filter.layerState.fill(3);
    TAr2RealPoint regions;
    BuildRegions(store, 24, regions, filter);
    EXPECT_EQ(regions.size(), 2u);
}

TEST(Regions, ExtremeCoordinatesNeitherCrashNorHang) {
    TAr2RealPoint regions;
    for (double scale : {1e300, 1e-300, 1.7e308}) {
        TJwwEntityStore store = EmptyStore();
        AddLine(store, 0, 0, scale, 0);
        AddLine(store, scale, 0, 0, scale);
        AddLine(store, 0, scale, 0, 0);
        BuildRegions(store, 24, regions);
        // Far apart the triangle closes; squeezed below 1e-8 every line closes on itself.
        EXPECT_EQ(regions.size(), scale > 1 ? 1u : 0u) << scale;
    }
    TJwwEntityStore store = EmptyStore();
    AddLine(store, NAN, 0, 1, 0);
    AddLine(store, 1, 0, INFINITY, 1);
    AddLine(store, INFINITY, 1, NAN, 0);
    AddCircle(store, 0, 0, INFINITY);
    AddArc(store, 0, 0, 1, NAN, 90);
    AddArc(store, 0, 0, 1e308, 1e300, 1e300);
    BuildRegions(store, 24, regions);
    EXPECT_EQ(regions.size(), 3u);  // the circle and the two arcs read as whole turns
}

TEST(Regions, ClearRegionsEmptiesTheList) {
    TAr2RealPoint regions{{{0, 0}, {1, 0}, {0, 1}, {0, 0}}};
    ClearRegions(regions);
    EXPECT_TRUE(regions.empty());
}

}  // namespace
}  // namespace veldra
