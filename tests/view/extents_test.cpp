#include "view/extents.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/tolerances.h"
#include "exchange/entity_store.h"

namespace veldra {
namespace {

class Extents : public ::testing::Test {
  protected:
    void SetUp() override { InitStore(store); }

    TJwwEntLine& AddLine(double x1, double y1, double x2, double y2) {
        auto& e = AppendEntity(store, store.lines, EntityKind::Line);
        e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2;
        return e;
    }
    TJwwEntPoint& AddPoint(double x, double y) {
        auto& e = AppendEntity(store, store.points, EntityKind::Point);
        e.x = x, e.y = y;
        return e;
    }
    TJwwEntText& AddText(double x, double y, const std::string& text) {
        auto& e = AppendEntity(store, store.texts, EntityKind::Text);
        e.x = x, e.y = y, e.text = text;
        return e;
    }
    TJwwEntArc& AddArc(double cx, double cy, double r, double s, double e, double flat = 1,
                       double tilt = 0) {
        auto& a = AppendEntity(store, store.arcs, EntityKind::Arc);
        a.cx = cx, a.cy = cy, a.radius = r, a.startAngle = s, a.endAngle = e;
        a.flatness = flat, a.tiltAngle = tilt;
        return a;
    }

    void Expect(double l, double b, double r, double t, double tol = 1e-9) {
        EXPECT_NEAR(view.extentLeft, l, tol);
        EXPECT_NEAR(view.extentBottom, b, tol);
        EXPECT_NEAR(view.extentRight, r, tol);
        EXPECT_NEAR(view.extentTop, t, tol);
    }

    TJwwEntityStore store;
    TViewState view;
};

TEST_F(Extents, EmptyStoreGetsTheDefaultFrame) {
    view.extentLeft = 7;
    ComputeExtents(store, view);
    Expect(-100, -100, 100, 100);
}

TEST_F(Extents, SingleEntityIsWidenedBeforeGrowing) {
    AddLine(0, 0, 300, 0);
    ComputeExtents(store, view);
    Expect(-100, -100, 300, 100);
}

TEST_F(Extents, TwoEntitiesAtOnePointGetNoMargin) {
    AddPoint(5, 5);
    AddPoint(5, 5);
    store.state.groupScale[0] = 2.0;
    ComputeExtents(store, view);
    Expect(2.5, 2.5, 2.5, 2.5);
}

TEST_F(Extents, SeedComesFromTheFirstListInOrder) {
    // The text was stored first, but lines seed before texts; both count anyway.
    AddText(-50, 20, "a");
    AddLine(10, 10, 30, 40);
    ComputeExtents(store, view);
    Expect(-50, 10, 30, 40);
}

TEST_F(Extents, EveryStoredEntityCountsAlsoHiddenOnes) {
    AddLine(0, 0, 1, 1).head.zFlags = kZFlagHidden;
    AddLine(0, 0, 2, 2).head.color = 9;
    auto& dim = AppendEntity(store, store.dims, EntityKind::Dim);
    dim.line.x1 = -3, dim.line.y1 = 0, dim.line.x2 = 4, dim.line.y2 = 0;
    dim.text.x = 0, dim.text.y = 9;
    auto& pex = AppendEntity(store, store.pointExs, EntityKind::PointEx);
    pex.x = 0, pex.y = -6;
    ComputeExtents(store, view);
    Expect(-3, -6, 4, 9);
}

TEST_F(Extents, SolidsContributeEveryCorner) {
    auto& s4 = AppendEntity(store, store.solid4s, EntityKind::Solid4);
    s4.x1 = 0, s4.y1 = 0, s4.x2 = 10, s4.y2 = 0, s4.x3 = 10, s4.y3 = 10, s4.x4 = -2, s4.y4 = 12;
    auto& s3 = AppendEntity(store, store.solid3s, EntityKind::Solid3);
    s3.x1 = 1, s3.y1 = 1, s3.x2 = 2, s3.y2 = 2, s3.x3 = 3, s3.y3 = -4;
    ComputeExtents(store, view);
    Expect(-2, -4, 10, 12);
}

TEST_F(Extents, CircleContributesItsFourQuadrantPoints) {
    auto& c = AppendEntity(store, store.circles, EntityKind::Circle);
    c.cx = 10, c.cy = 20, c.radius = 5;
    AddPoint(10, 20);
    ComputeExtents(store, view);
    Expect(5, 15, 15, 25);
}

TEST_F(Extents, ArcThroughZeroDegrees) {
    // From 350 to 10 degrees: both ends and the point of t = 0, no other quadrant.
    AddArc(0, 0, 10, 350, 10);
    AddPoint(0, 0);
    ComputeExtents(store, view);
    const double c10 = 10 * std::cos(10 * kPi / 180), s10 = 10 * std::sin(10 * kPi / 180);
    Expect(0, -s10, 10, s10);
    EXPECT_LT(c10, 10.0);
}

TEST_F(Extents, ArcThroughThreeQuadrants) {
    // 45 to 315 passes 90, 180 and 270 but not 0.
    AddArc(0, 0, 10, 45, 315);
    AddPoint(0, 0);
    ComputeExtents(store, view);
    Expect(-10, -10, 10 * std::cos(kPi / 4), 10);
}

TEST_F(Extents, ArcWithEqualAnglesIsAWholeEllipse) {
    AddArc(0, 0, 10, 30, 390, 0.5);
    AddPoint(0, 0);
    ComputeExtents(store, view);
    Expect(-10, -5, 10, 5);
}

TEST_F(Extents, TiltedEllipseUsesUntiltedQuadrants) {
    AddArc(0, 0, 10, 0, 0, 0.5, 90);
    AddPoint(0, 0);
    ComputeExtents(store, view);
    Expect(-5, -10, 5, 10);
}

TEST_F(Extents, ArcSolidAnglesAreRadiansAndNegativeSweepsSwap) {
    // A quarter from 90 to 180 degrees, given as start pi and sweep -pi/2.
    auto& sc = AppendEntity(store, store.solidScs, EntityKind::SolidSc);
    sc.cx = 0, sc.cy = 0, sc.radius = 10, sc.flatness = 1;
    sc.startRad = kPi, sc.sweepRad = -kPi / 2;
    AddPoint(0, 0);
    ComputeExtents(store, view);
    Expect(-10, 0, 0, 10, 1e-9);
}

TEST_F(Extents, CoordinatesAreDividedByTheLayerGroupScale) {
    store.state.curLayerGroup = 3;
    AddLine(0, 0, 100, 50);
    store.state.curLayerGroup = 0;
    AddPoint(-10, -10);
    store.state.groupScale[3] = 10.0;
    ComputeExtents(store, view);
    Expect(-10, -10, 10, 5);

    store.state.bzFlag = true;  // "bz": nothing is divided
    ComputeExtents(store, view);
    Expect(-10, -10, 100, 50);
}

TEST_F(Extents, PictureCornerIsMeasuredWhereThePictureIsDrawn) {
    store.state.groupScale[0] = 2.0;
    AddText(100, 40, "^@BMa.bmp,30");
    AddText(0, 0, "^@BMno-comma");
    ComputeExtents(store, view);
    // (100 / 2 + 30, 40 / 2 + 30): the width is in view units, not divided.
    Expect(0, 0, 80, 50);
}

TEST_F(Extents, PictureWithNegativeHeightReachesDown) {
    AddText(10, 10, "^@BMa.bmp,20,-5");
    AddPoint(10, 10);
    ComputeExtents(store, view);
    Expect(10, 5, 30, 10);
}

TEST_F(Extents, BoundedToPlusMinusOneE8) {
    AddLine(-5e8, 3, 2e8, 4);
    AddPoint(0, 1e300);
    AddPoint(0, -1e300);
    ComputeExtents(store, view);
    Expect(-1e8, -1e8, 1e8, 1e8);

    // A single far point: the seed is bounded and the margin keeps within bounds.
    TJwwEntityStore one;
    InitStore(one);
    AppendEntity(one, one.points, EntityKind::Point).x = 5e9;
    ComputeExtents(one, view);
    EXPECT_EQ(view.extentRight, 1e8);
    EXPECT_EQ(view.extentLeft, 1e8 - 100);
}

TEST_F(Extents, DrawingWhollyBeyondTheBoundIsNotInverted) {
    AddPoint(2e8, -3e8);
    AddPoint(4e8, -5e8);
    ComputeExtents(store, view);
    Expect(1e8, -1e8, 1e8, -1e8);
}

TEST_F(Extents, ExtremeGeometryStaysFinite) {
    AddArc(1e300, -1e300, 1e300, 10, 350, 1e300, 33);
    AddArc(1e-300, 1e-300, 1e-300, 0, 0, 1e-300, 0);
    auto& c = AppendEntity(store, store.circles, EntityKind::Circle);
    c.cx = -1e300, c.radius = 1e308;
    AddLine(1e-300, -1e-300, 0, 0);
    store.state.groupScale[0] = 1e-300;
    ComputeExtents(store, view);
    for (double e : {view.extentLeft, view.extentBottom, view.extentRight, view.extentTop}) {
        EXPECT_TRUE(std::isfinite(e));
        EXPECT_LE(std::fabs(e), 1e8);
    }
    EXPECT_LE(view.extentLeft, view.extentRight);
    EXPECT_LE(view.extentBottom, view.extentTop);
}

TEST_F(Extents, ZeroScaleGroupIsMeasuredUndivided) {
    store.state.groupScale[0] = 0.0;
    AddLine(1, 2, 3, 4);
    AddPoint(-1, -2);
    ComputeExtents(store, view);
    Expect(-1, -2, 3, 4);
}

TEST_F(Extents, OnlyBlocksGiveTheDefaultFrameEveryTime) {
    AppendEntity(store, store.blocks, EntityKind::Blk).x = 5000;
    view.extentLeft = -7;
    ComputeExtents(store, view);
    Expect(-100, -100, 100, 100);
    ComputeExtents(store, view);
    Expect(-100, -100, 100, 100);
}

}  // namespace
}  // namespace veldra
