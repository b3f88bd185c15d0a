#include "view/view_state.h"

#include <gtest/gtest.h>

#include <limits>

namespace veldra {
namespace {

TViewState ViewAtOrigin(double scale, int32_t height) {
    TViewState v;
    v.viewLeft = 0;
    v.viewBottom = 0;
    v.viewScale = scale;
    v.viewHeight = height;
    return v;
}

TEST(ViewState, TransformFlipsTheYAxis) {
    const TViewState v = ViewAtOrigin(2.0, 100);
    const TPixelPoint p = ViewToPixel(v, 10, 10);
    EXPECT_EQ(p.x, 20);
    EXPECT_EQ(p.y, 80);
    // The origin lies one row below a canvas of height 100.
    const TPixelPoint o = ViewToPixel(v, 0, 0);
    EXPECT_EQ(o.x, 0);
    EXPECT_EQ(o.y, 100);
}

TEST(ViewState, HalvesRoundAwayFromZero) {
    const TViewState v = ViewAtOrigin(2.0, 100);
    EXPECT_EQ(ViewToPixelX(v, 0.25), 1);
    EXPECT_EQ(ViewToPixelX(v, -0.25), -1);
    EXPECT_EQ(ViewToPixelY(v, 0.25), 99);
    EXPECT_EQ(ViewToPixelY(v, -0.25), 101);
    EXPECT_EQ(ViewToPixelX(v, 0.24), 0);
}

TEST(ViewState, OffsetWindow) {
    TViewState v = ViewAtOrigin(0.5, 300);
    v.viewLeft = -100;
    v.viewBottom = 50;
    EXPECT_EQ(ViewToPixelX(v, -100), 0);
    EXPECT_EQ(ViewToPixelX(v, 100), 100);
    EXPECT_EQ(ViewToPixelY(v, 50), 300);
    EXPECT_EQ(ViewToPixelY(v, 250), 200);
}

TEST(ViewState, FarPointsSaturateInsteadOfWrapping) {
    const TViewState v = ViewAtOrigin(1000.0, 100);
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(ViewToPixelX(v, 1e300), kMax);
    EXPECT_EQ(ViewToPixelX(v, -1e300), kMin);
    EXPECT_EQ(ViewToPixelY(v, 1e300), kMin);
    EXPECT_EQ(ViewToPixelY(v, -1e300), kMax);
    // Just beyond the 32-bit range: still on the far side, not wrapped.
    EXPECT_EQ(ViewToPixelX(v, 3e6), kMax);
    EXPECT_EQ(ViewToPixelX(v, 1e-300), 0);
}

TEST(ViewState, UnroundedTransformAndItsInverse) {
    TViewState v = ViewAtOrigin(2.0, 100);
    v.viewTop = 50;  // consistent window: height 100 px at scale 2
    EXPECT_DOUBLE_EQ(ViewToScreenX(v, 0.25), 0.5);
    EXPECT_DOUBLE_EQ(ViewToScreenY(v, 0.25), 99.5);
    EXPECT_DOUBLE_EQ(PixelToViewX(v, ViewToScreenX(v, 12.3)), 12.3);
    EXPECT_DOUBLE_EQ(PixelToViewY(v, ViewToScreenY(v, 12.3)), 12.3);
    EXPECT_DOUBLE_EQ(ViewLengthToPixels(v, 7.0), 14.0);
}

}  // namespace
}  // namespace veldra
