#include "display/canvas/clipping.h"

#include <gtest/gtest.h>

namespace veldra {
namespace {

// Window [0, 10] x [0, 10].
int32_t Code(double x, double y) {
    return OutCode(x, y, 0, 0, 10, 10);
}

TEST(ClippingTest, BorderAndNearBorderPointsCountAsOutside) {
    EXPECT_EQ(Code(5, 5), 0);
    EXPECT_EQ(Code(0, 5), kOutLeft);
    EXPECT_EQ(Code(10, 5), kOutRight);
    EXPECT_EQ(Code(5, 0), kOutBelow);
    EXPECT_EQ(Code(5, 10), kOutAbove);
    EXPECT_EQ(Code(5e-13, 5), kOutLeft);
    EXPECT_EQ(Code(2e-12, 5), 0);
    EXPECT_EQ(Code(10 - 5e-13, 5), kOutRight);
    EXPECT_EQ(Code(-1, -1), kOutLeft + kOutBelow);
    EXPECT_EQ(Code(11, 11), kOutRight + kOutAbove);
}

TEST(ClippingTest, ClassifiesInsideCrossingAndBeyondOneBorder) {
    EXPECT_EQ(ClassifySegment(1, 1, 9, 9, 0, 0, 10, 10), kSegmentInside);
    EXPECT_EQ(ClassifySegment(-5, 5, 15, 5, 0, 0, 10, 10), kSegmentCut);
    EXPECT_EQ(ClassifySegment(-1, -1, 11, -1, 0, 0, 10, 10), kSegmentOutside);
    // Lying on the left border: both ends beyond it.
    EXPECT_EQ(ClassifySegment(0, 2, 0, 8, 0, 0, 10, 10), kSegmentOutside);
}

TEST(ClippingTest, MovesCrossingEndsOntoTheBorders) {
    double x1 = -5, y1 = 2, x2 = 15, y2 = 7;
    EXPECT_EQ(ClipSegment(x1, y1, x2, y2, 0, 0, 10, 10), kSegmentCut);
    EXPECT_DOUBLE_EQ(x1, 0);
    EXPECT_DOUBLE_EQ(y1, 3.25);
    EXPECT_DOUBLE_EQ(x2, 10);
    EXPECT_DOUBLE_EQ(y2, 5.75);

    // A vertical segment skips the left and right moves.
    x1 = 4, y1 = -6, x2 = 4, y2 = 16;
    EXPECT_EQ(ClipSegment(x1, y1, x2, y2, 0, 0, 10, 10), kSegmentCut);
    EXPECT_DOUBLE_EQ(x1, 4);
    EXPECT_DOUBLE_EQ(y1, 0);
    EXPECT_DOUBLE_EQ(y2, 10);

    // One end inside stays where it is; a corner end is moved twice.
    x1 = 5, y1 = 5, x2 = -5, y2 = -15;
    EXPECT_EQ(ClipSegment(x1, y1, x2, y2, 0, 0, 10, 10), kSegmentCut);
    EXPECT_DOUBLE_EQ(x1, 5);
    EXPECT_DOUBLE_EQ(y1, 5);
    EXPECT_DOUBLE_EQ(x2, 2.5);
    EXPECT_DOUBLE_EQ(y2, 0);

    // Inside and beyond-one-border segments are left unchanged.
    x1 = -3, y1 = -3, x2 = 20, y2 = -1;
    EXPECT_EQ(ClipSegment(x1, y1, x2, y2, 0, 0, 10, 10), kSegmentOutside);
    EXPECT_DOUBLE_EQ(x1, -3);
    EXPECT_DOUBLE_EQ(x2, 20);
}

TEST(ClippingTest, ASegmentPassingOutsideACornerShrinksToNothing) {
    // The line y = x + 13 misses the window's top-left corner: both ends end up
    // on the same point of the top border line.
    double x1 = -5, y1 = 8, x2 = 5, y2 = 18;
    EXPECT_EQ(ClipSegment(x1, y1, x2, y2, 0, 0, 10, 10), kSegmentOutside);
}

}  // namespace
}  // namespace veldra
