#include "view/view_navigation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "exchange/entity_store.h"
#include "view/extents.h"

namespace veldra {
namespace {

TViewState WithExtents(double l, double b, double r, double t) {
    TViewState v;
    v.extentLeft = l;
    v.extentBottom = b;
    v.extentRight = r;
    v.extentTop = t;
    return v;
}

// The window must match the canvas at the scale: width / scale view units wide.
void ExpectConsistent(const TViewState& v) {
    EXPECT_NEAR((v.viewRight - v.viewLeft) * v.viewScale, v.viewWidth, 1e-6);
    EXPECT_NEAR((v.viewTop - v.viewBottom) * v.viewScale, v.viewHeight, 1e-6);
}

TEST(ViewNavigation, FitTakesTheSmallerScaleAndCentres) {
    TViewState v = WithExtents(0, 0, 100, 10);
    FitViewToExtents(v, 100, 100);
    EXPECT_DOUBLE_EQ(v.viewScale, 0.95);  // width limits: 100/100*0.95 < 100/10*0.95
    EXPECT_DOUBLE_EQ((v.viewLeft + v.viewRight) / 2, 50.0);
    EXPECT_DOUBLE_EQ((v.viewBottom + v.viewTop) / 2, 5.0);
    ExpectConsistent(v);

    TViewState tall = WithExtents(-10, -200, 10, 200);
    FitViewToExtents(tall, 800, 400);
    EXPECT_DOUBLE_EQ(tall.viewScale, 400.0 / 400.0 * 0.95);
    ExpectConsistent(tall);
}

TEST(ViewNavigation, FitOfAStoreWithOneLine) {
    TJwwEntityStore store;
    InitStore(store);
    auto& line = AppendEntity(store, store.lines, EntityKind::Line);
    line.x2 = 300;
    TViewState v;
    FitView(v, store, 800, 400);
    EXPECT_EQ(v.extentLeft, -100.0);
    EXPECT_EQ(v.extentRight, 300.0);
    EXPECT_DOUBLE_EQ(v.viewScale, 1.9);
    EXPECT_DOUBLE_EQ((v.viewLeft + v.viewRight) / 2, 100.0);
    EXPECT_DOUBLE_EQ((v.viewBottom + v.viewTop) / 2, 0.0);
}

TEST(ViewNavigation, DegenerateExtentsAndCanvasStayFinite) {
    TViewState point = WithExtents(5, 5, 5, 5);
    FitViewToExtents(point, 640, 480);
    EXPECT_TRUE(std::isfinite(point.viewScale));
    EXPECT_GT(point.viewScale, 0.0);
    EXPECT_DOUBLE_EQ((point.viewLeft + point.viewRight) / 2, 5.0);

    TViewState empty = WithExtents(-100, -100, 100, 100);
    FitViewToExtents(empty, 0, 0);
    EXPECT_TRUE(std::isfinite(empty.viewScale));
    EXPECT_GT(empty.viewScale, 0.0);
    EXPECT_TRUE(std::isfinite(empty.viewLeft));
    EXPECT_TRUE(std::isfinite(empty.viewTop));

    TViewState huge = WithExtents(-1e8, -1e8, 1e8, 1e8);
    FitViewToExtents(huge, 640, 480);
    ExpectConsistent(huge);
}

TEST(ViewNavigation, ZoomAtKeepsThePointUnderThePixel) {
    TViewState v = WithExtents(-50, -20, 150, 80);
    FitViewToExtents(v, 640, 480);
    const double px = 123, py = 321;
    const double wx = PixelToViewX(v, px), wy = PixelToViewY(v, py);
    const TViewState before = v;

    ZoomAt(v, px, py, kZoomStep);
    EXPECT_DOUBLE_EQ(v.viewScale, before.viewScale * 1.5);
    EXPECT_NEAR(PixelToViewX(v, px), wx, 1e-9);
    EXPECT_NEAR(PixelToViewY(v, py), wy, 1e-9);
    ExpectConsistent(v);
    EXPECT_EQ(v.previousScale, before.viewScale);

    ZoomAt(v, px, py, 1 / kZoomStep);
    EXPECT_NEAR(v.viewScale, before.viewScale, 1e-12);
    EXPECT_NEAR(v.viewLeft, before.viewLeft, 1e-9);
    EXPECT_NEAR(v.viewTop, before.viewTop, 1e-9);
}

TEST(ViewNavigation, ZoomAtIgnoresUnusableFactors) {
    TViewState v = WithExtents(0, 0, 10, 10);
    FitViewToExtents(v, 100, 100);
    const TViewState before = v;
    for (double f : {0.0, -1.5, std::nan(""), double{INFINITY}}) {
        ZoomAt(v, 10, 10, f);
        EXPECT_EQ(v.viewScale, before.viewScale);
        EXPECT_EQ(v.viewLeft, before.viewLeft);
        EXPECT_EQ(v.previousScale, before.previousScale);
    }
}

TEST(ViewNavigation, EndlessZoomNeverCollapsesTheWindow) {
    TViewState v = WithExtents(1000, 1000, 1010, 1010);
    FitViewToExtents(v, 640, 480);
    for (int i = 0; i < 3000; ++i) ZoomAt(v, 17, 401, kZoomStep);
    EXPECT_TRUE(std::isfinite(v.viewScale));
    EXPECT_GT(v.viewRight, v.viewLeft);
    EXPECT_GT(v.viewTop, v.viewBottom);
    for (int i = 0; i < 6000; ++i) ZoomAt(v, 600, 3, 1 / kZoomStep);
    EXPECT_GT(v.viewScale, 0.0);
    EXPECT_TRUE(std::isfinite(v.viewLeft));
    EXPECT_TRUE(std::isfinite(v.viewRight));
    EXPECT_GT(v.viewRight, v.viewLeft);
}

TEST(ViewNavigation, ZoomToRectFillsTheCanvas) {
    TViewState v = WithExtents(0, 0, 1000, 1000);
    FitViewToExtents(v, 400, 200);
    ZoomToRect(v, 10, 50, 50, 10, 400, 200);  // drawn to the lower right
    EXPECT_DOUBLE_EQ(v.viewScale, 5.0);       // min(400/40, 200/40)
    EXPECT_DOUBLE_EQ((v.viewLeft + v.viewRight) / 2, 30.0);
    EXPECT_DOUBLE_EQ((v.viewBottom + v.viewTop) / 2, 30.0);
    ExpectConsistent(v);

    ZoomToRect(v, 7, 7, 7, 7, 400, 200);  // a click: widened to 0.001
    EXPECT_DOUBLE_EQ(v.viewScale, 200 / 0.001);
    EXPECT_DOUBLE_EQ((v.viewLeft + v.viewRight) / 2, 7.0);
}

TEST(ViewNavigation, ZoomOutHalvesTheScaleWhateverTheRectangle) {
    TViewState v = WithExtents(0, 0, 100, 100);
    FitViewToExtents(v, 300, 300);
    const double scale = v.viewScale;
    ZoomOutAt(v, 0, 100, 2, 98, 300, 300);
    EXPECT_DOUBLE_EQ(v.viewScale, scale / 2);
    EXPECT_DOUBLE_EQ((v.viewLeft + v.viewRight) / 2, 1.0);
    EXPECT_DOUBLE_EQ((v.viewBottom + v.viewTop) / 2, 99.0);
    ZoomOutAt(v, 0, 0, 500, 500, 300, 300);
    EXPECT_DOUBLE_EQ(v.viewScale, scale / 4);
}

TEST(ViewNavigation, CentreKeepsTheScale) {
    TViewState v = WithExtents(0, 0, 100, 100);
    FitViewToExtents(v, 200, 100);
    const double scale = v.viewScale;
    const double width = v.viewRight - v.viewLeft;
    CentreViewAt(v, -40, 70, 200, 100);
    EXPECT_EQ(v.viewScale, scale);
    EXPECT_DOUBLE_EQ(v.viewRight - v.viewLeft, width);
    EXPECT_DOUBLE_EQ((v.viewLeft + v.viewRight) / 2, -40.0);
    EXPECT_DOUBLE_EQ((v.viewBottom + v.viewTop) / 2, 70.0);

    CentreOnExtents(v);
    EXPECT_DOUBLE_EQ((v.viewLeft + v.viewRight) / 2, 50.0);
    EXPECT_DOUBLE_EQ((v.viewBottom + v.viewTop) / 2, 50.0);
    EXPECT_EQ(v.viewScale, scale);
}

TEST(ViewNavigation, PanMovesTheWindowAndSavesTheView) {
    TViewState v = WithExtents(0, 0, 100, 100);
    FitViewToExtents(v, 200, 200);
    const TViewState before = v;
    PanView(v, 10, -5);
    EXPECT_DOUBLE_EQ(v.viewLeft, before.viewLeft + 10);
    EXPECT_DOUBLE_EQ(v.viewTop, before.viewTop - 5);
    EXPECT_EQ(v.previousLeft, before.viewLeft);
    PanView(v, 0, 0);  // a release at the press point still saves the view
    EXPECT_EQ(v.previousLeft, v.viewLeft);
}

TEST(ViewNavigation, PreviousViewSwapsBackAndForth) {
    TViewState v = WithExtents(0, 0, 100, 100);
    // Before any change there is no previous view: nothing happens.
    const TViewState initial = v;
    SwapPreviousView(v);
    EXPECT_EQ(v.viewScale, initial.viewScale);
    EXPECT_EQ(v.viewLeft, initial.viewLeft);

    FitViewToExtents(v, 200, 200);
    const TViewState fitted = v;
    ZoomAt(v, 50, 50, 2.0);
    const TViewState zoomed = v;
    SwapPreviousView(v);
    EXPECT_EQ(v.viewScale, fitted.viewScale);
    EXPECT_EQ(v.viewLeft, fitted.viewLeft);
    SwapPreviousView(v);
    EXPECT_EQ(v.viewScale, zoomed.viewScale);
    EXPECT_EQ(v.viewTop, zoomed.viewTop);
}

}  // namespace
}  // namespace veldra
